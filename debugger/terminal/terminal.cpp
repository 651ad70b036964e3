// The context of one terminal window: the port opened and set up from its
// slot, received bytes into the screen and the log, typed characters out by
// the Enter translation, the caption, and the ordinary load around its
// sender thread.
#include <algorithm>

#include "common/format.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace {
constexpr auto type_timeout = std::chrono::milliseconds(200);
}

std::string serial_caption(int port_index, const SerialSettings& r, bool logging) {
  static constexpr const char* parity[] = {"N,", "O,", "E,", "M,", "S,"};
  static constexpr const char* stop[] = {"1)", "1.5)", "2)"};
  std::string text = format("(COM%d:%u,", port_index + 1, r.baud);
  text += parity[std::min<int>(r.parity, 4)];
  text += format("%d,", int(r.data_bits));
  text += stop[std::min<int>(r.stop_bits, 2)];
  if (logging) text += "  Terminal log= logfile.log";
  return text;
}

Terminal::Terminal(int port_index, TerminalSettings& slots, TerminalHost& host)
    : port_index_(port_index), slots_(slots), host_(host) {}

Terminal::~Terminal() {
  if (sender_) sender_->stop_and_join();
  if (opened_) keep_settings();
  log_.reset();
  port_.close();
}

bool Terminal::open(const std::string& device, std::string* open_error) {
  if (!port_.open(device, open_error)) return false;
  settings_ = slots_.for_port(port_index_);
  if (!apply(Record::Terminal)) {
    host_.error("Can't set serial port parameters");
    port_.close();
    return false;
  }
  opened_ = true;
  keep_settings();
  return true;
}

void Terminal::report(const ApplyResult& r) {
  for (const std::string& note : r.notes) {
    if (std::find(noted_.begin(), noted_.end(), note) != noted_.end()) continue;
    noted_.push_back(note);
    host_.output(format("COM%d: %s\n", port_index_ + 1, note.c_str()));
  }
  if (!r.ok && !r.error.empty()) host_.error(r.error);
}

bool Terminal::apply(Record which) {
  ApplyResult r = port_.apply(settings_.record(which));
  report(r);
  return r.ok;
}

bool Terminal::apply_setup(const SerialSettings& before) {
  bool ok = apply(Record::Terminal);
  if (!ok) {
    // The port keeps what it had, and so does the record.
    host_.error("Can't set serial port parameters");
    settings_.record(Record::Terminal) = before;
    port_.apply(settings_.record(Record::Terminal));
  }
  keep_settings();
  return ok;
}

std::string Terminal::caption() const {
  return serial_caption(port_index_, settings_.record(Record::Terminal), logging());
}

bool Terminal::poll() {
  if (!opened_) return false;
  std::string bytes = port_.read(read_limit_per_poll);
  if (bytes.empty()) return false;
  receive(bytes);
  return true;
}

void Terminal::receive(std::string_view bytes) {
  for (char c : bytes) {
    if (log_ && c != '\r') std::fputc(c, log_.get());
    screen_.feed(uint8_t(c), settings_.receive_translation);
  }
  if (log_) std::fflush(log_.get());
}

bool Terminal::write_now(std::string_view bytes) {
  bool ok = true;
  for (char c : bytes) ok = port_.write(std::string_view(&c, 1), type_timeout) && ok;
  return ok;
}

void Terminal::type(char c) {
  if (c != '\r') {
    write_now(std::string_view(&c, 1));
    return;
  }
  switch (settings_.enter_translation) {
    case 0: write_now("\n\r"); break;
    case 1: write_now("\n"); break;
    default: write_now("\r"); break;
  }
}

// A new log starts empty: writing over an old one would leave its tail.
bool Terminal::start_logging() {
  if (log_) return true;
  log_.reset(std::fopen("logfile.log", "wb"));
  if (!log_) host_.error("Cannot create logfile");
  return log_ != nullptr;
}

void Terminal::stop_logging() { log_.reset(); }

bool Terminal::start_load(const std::string& path, LoadTiming timing) {
  if (sender_) return false;
  Sender::FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    host_.error(format("Can't open (load): %s", path.c_str()));
    return false;
  }
  LoadCommand command = expand_load_command(settings_.load_command);
  for (char c : command.illegal) host_.error(format("Illegal escape character '%c' in load command, ignored", c));
  write_now(command.bytes);
  host_.status("Loading to target");
  auto sender = std::make_unique<Sender>();
  if (!sender->start(std::move(file), port_, timing)) {
    host_.error("Can't create thread.Operation aborted");
    host_.status("Ready");
    return false;
  }
  sender_ = std::move(sender);
  loading_path_ = path;
  return true;
}

void Terminal::stop_load() {
  if (!sender_) return;
  sender_->request_stop();
  write_now("\x04");
}

bool Terminal::finish_load() {
  if (!sender_ || !sender_->collect()) return false;
  sender_.reset();
  last_loaded_ = loading_path_;
  host_.status("Ready");
  return true;
}

}  // namespace zun::term
