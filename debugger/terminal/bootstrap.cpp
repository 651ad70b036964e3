// The bootstrapper download: a small program read from its S-records into a
// binary image of 4,192 bytes and sent raw, one byte every 20 ms, under the
// port's binary record; then, optionally, the application's S-record text
// character by character under the application record. The terminal record
// is put back whatever way the run ends.
#include <algorithm>

#include "common/format.h"
#include "common/srecord.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace {

// "line %d: reason" for a walk that ended at fault; empty for one that did not.
std::string fault_text(const SRecordFault& fault) {
  return fault.line == 0 ? std::string() : format("line %d: %s", fault.line, fault.reason.c_str());
}

// Stores one record's data bytes.
void take_record(const SRecord& record, uint32_t offset, uint64_t limit, BootImage& img, long& highest) {
  for (size_t k = 0; k < record.data.size(); ++k) {
    const uint64_t a = uint64_t(record.address) + k;
    if (a < offset) {
      ++img.omitted_by_offset;
    } else if (a - offset >= limit) {
      ++img.omitted_by_size;
    } else {
      img.bytes[size_t(a - offset)] = record.data[k];
      highest = std::max(highest, long(a - offset));
    }
  }
}

}  // namespace

BootImage read_boot_image(std::FILE* file, uint32_t offset, uint32_t size) {
  BootImage img;
  img.bytes.assign(boot_image_size, 0);
  const uint64_t limit = size == 0 ? boot_image_size : std::min<uint64_t>(size, boot_image_size);
  long highest = -1;
  SRecordFault fault = walk_srecords(file, [&](const SRecord& record, std::string& reason) {
    if (record.type == '5' || record.type == '6') {
      reason = format("unknown record type 'S%c'", record.type);
      return false;
    }
    if (record.type >= '7') return false;
    if (record.type != '0') take_record(record, offset, limit, img, highest);
    return true;
  });
  img.fault = fault_text(fault);
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

std::string boot_result_text(const BootResult& result) {
  std::string text = boot_result_text(result.code);
  if (!result.fault.empty()) text += " (" + result.fault + ")";
  return text;
}

namespace {

constexpr auto byte_timeout = std::chrono::seconds(2);

// The first record of an application file, up to its debug records, whose
// count or checksum does not hold: "line %d: reason"; empty when all hold.
std::string application_fault(std::FILE* file) {
  return fault_text(walk_srecords(file, [](const SRecord&, std::string&) { return true; }));
}

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

BootResult boot_run(const BootOptions& options, Terminal& terminal, BootUi& ui, BootTiming timing) {
  Sender::FilePtr boot(options.boot_path.empty() ? nullptr : std::fopen(options.boot_path.c_str(), "rb"));
  if (!boot) return {-1, {}};
  Sender::FilePtr app;
  if (options.load_app) {
    app.reset(options.app_path.empty() ? nullptr : std::fopen(options.app_path.c_str(), "rb"));
    if (!app) return {-3, {}};
  }
  BootImage img = read_boot_image(boot.get(), options.offset, options.size);
  boot.reset();
  if (!img.fault.empty()) return {-2, img.fault};
  // The application goes out as it stands, so its records are checked first:
  // a damaged one must not reach the board after the binary part.
  if (app) {
    std::string fault = application_fault(app.get());
    if (!fault.empty() || std::fseek(app.get(), 0, SEEK_SET) != 0) return {-4, fault};
  }
  if (img.omitted_by_offset &&
      !ui.ask(format("WARNING: %ld bytes are omitted due to offset setting\rContinue?", img.omitted_by_offset)))
    return {boot_done, {}};
  if (img.omitted_by_size &&
      !ui.ask(format("WARNING: %ld bytes are omitted due to size setting\rContinue?", img.omitted_by_size)))
    return {boot_done, {}};

  // From here on the port carries other records; every way out puts the
  // terminal's back.
  auto finish = [&](int code) {
    app.reset();
    bool ok = terminal.apply(Record::Terminal);
    return BootResult{code == boot_done && !ok ? -5 : code, {}};
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
