// The bootstrapper download: a small program read from its S-records into a
// binary image of 4,192 bytes and sent raw, one byte every 20 ms, under the
// port's binary record; then, optionally, the application's S-record text
// character by character under the application record. The terminal record
// is put back whatever way the run ends.
#include <algorithm>

#include "common/format.h"
#include "common/line_reader.h"
#include "common/number.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace {

bool hex_value(std::string_view digits, uint32_t& value) {
  value = 0;
  for (char c : digits) {
    int d = hex_digit(c);
    if (d < 0) return false;
    value = value << 4 | uint32_t(d);
  }
  return !digits.empty();
}

// Stores one record's data bytes; false when the line is not one we know.
bool take_record(std::string_view line, uint32_t offset, uint64_t limit, BootImage& img, long& highest) {
  const size_t digits = line[1] == '1' ? 4 : line[1] == '2' ? 6 : 8;
  uint32_t address = 0;
  if (line.size() < 4 + digits || !hex_value(line.substr(4, digits), address)) return false;
  std::string_view data = line.substr(4 + digits);
  // The last pair is the checksum.
  const size_t pairs = data.size() / 2;
  for (size_t k = 0; k + 1 < pairs; ++k) {
    uint32_t byte = 0;
    if (!hex_value(data.substr(2 * k, 2), byte)) return false;
    const uint64_t a = uint64_t(address) + k;
    if (a < offset) {
      ++img.omitted_by_offset;
    } else if (a - offset >= limit) {
      ++img.omitted_by_size;
    } else {
      img.bytes[size_t(a - offset)] = uint8_t(byte);
      highest = std::max(highest, long(a - offset));
    }
  }
  return true;
}

}  // namespace

BootImage read_boot_image(std::FILE* file, uint32_t offset, uint32_t size) {
  BootImage img;
  img.bytes.assign(boot_image_size, 0);
  const uint64_t limit = size == 0 ? boot_image_size : std::min<uint64_t>(size, boot_image_size);
  long highest = -1;
  std::string line;
  while (read_line(file, line)) {
    if (line.empty()) continue;
    const char type = line.size() >= 2 && line[0] == 'S' ? line[1] : '?';
    if (type == '0') continue;
    if (type == '7' || type == '8' || type == '9' || type == 'X') break;
    if ((type != '1' && type != '2' && type != '3') || !take_record(line, offset, limit, img, highest)) {
      img.corrupt = true;
      break;
    }
  }
  img.send_count = size == 0 ? size_t(highest + 1) : size_t(limit);
  return img;
}

std::string boot_result_text(int code) {
  switch (code) {
    case -1: return "Can't find binary download file";
    case -2: return "Corrupt binary download file";
    case -3: return "Can't find 'Application' file";
    case -4: return "Corrupt 'Application' file";
    case -5: return "Can't set serial port parameters";
    default: return {};
  }
}

namespace {

constexpr auto byte_timeout = std::chrono::seconds(2);

// The application's S-record text up to, not including, the first "SX".
int send_application(std::FILE* app, Terminal& terminal, BootUi& ui) {
  long sent = 0;
  for (int c; (c = std::fgetc(app)) != EOF;) {
    if (c == 'S') {
      int next = std::fgetc(app);
      if (next == 'X') break;
      if (next != EOF) std::ungetc(next, app);
    }
    char byte = char(c);
    terminal.port().write(std::string_view(&byte, 1), byte_timeout);
    ui.pump();
    ui.count(++sent);
  }
  return std::ferror(app) ? -4 : boot_done;
}

}  // namespace

int boot_run(const BootOptions& options, Terminal& terminal, BootUi& ui, BootTiming timing) {
  Sender::FilePtr boot(options.boot_path.empty() ? nullptr : std::fopen(options.boot_path.c_str(), "rb"));
  if (!boot) return -1;
  Sender::FilePtr app;
  if (options.load_app) {
    app.reset(options.app_path.empty() ? nullptr : std::fopen(options.app_path.c_str(), "rb"));
    if (!app) return -3;
  }
  BootImage img = read_boot_image(boot.get(), options.offset, options.size);
  boot.reset();
  if (img.corrupt) return -2;
  if (img.omitted_by_offset &&
      !ui.ask(format("WARNING: %ld bytes are omitted due to offset setting\rContinue?", img.omitted_by_offset)))
    return boot_done;
  if (img.omitted_by_size &&
      !ui.ask(format("WARNING: %ld bytes are omitted due to size setting\rContinue?", img.omitted_by_size)))
    return boot_done;

  // From here on the port carries other records; every way out puts the
  // terminal's back.
  auto finish = [&](int code) {
    app.reset();
    bool ok = terminal.apply(Record::Terminal);
    return code == boot_done && !ok ? -5 : code;
  };
  if (!terminal.apply(Record::Binary)) return finish(-5);
  ui.prepare_target();
  if (options.leading_ff) terminal.port().write("\xFF", byte_timeout);
  ui.status("Binary download, please wait");
  ui.label("Bytes transferred:");
  for (size_t i = 0; i < img.send_count; ++i) {
    terminal.port().write(std::string_view(reinterpret_cast<const char*>(&img.bytes[i]), 1), byte_timeout);
    ui.wait(timing.per_byte);
    ui.count(long(i + 1));
  }
  if (!terminal.apply(Record::Application)) return finish(-5);
  if (!app) return finish(boot_done);
  if (options.app_delay_ms) {
    ui.status("Optional delay...");
    ui.wait(std::chrono::milliseconds(options.app_delay_ms));
  }
  ui.status("Downloading 'Application', please wait");
  int code = send_application(app.get(), terminal, ui);
  ui.pump();
  return finish(code);
}

}  // namespace zun::term
