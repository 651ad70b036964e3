// The ordinary load to the board: the monitor's load command with its two
// escapes, then a sender thread that writes the load file line by line with
// a pause before and after each, LF line ends, and no "SX" debug lines. It
// shares only the port and the stop flag with the GUI thread.
#include <system_error>

#include "debugger/terminal/terminal.h"

namespace zun::term {

LoadCommand expand_load_command(std::string_view text) {
  LoadCommand out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.bytes += text[i];
      continue;
    }
    // A backslash at the very end has no character behind it to read.
    if (i + 1 == text.size()) {
      out.illegal.push_back('\\');
      break;
    }
    char c = text[++i];
    if (c == 'n')
      out.bytes += '\n';
    else if (c == 'r')
      out.bytes += '\r';
    else
      out.illegal.push_back(c);
  }
  return out;
}

bool Sender::start(FilePtr file, SerialPort& port, LoadTiming timing) {
  if (thread_.joinable()) return false;
  file_ = std::move(file);
  stop_ = false;
  done_ = false;
  lines_ = 0;
  try {
    thread_ = std::thread(&Sender::run, this, std::ref(port), timing);
  } catch (const std::system_error&) {
    file_.reset();
    return false;
  }
  return true;
}

// One line: its bytes without CR, ended by its LF (sent) or by the end of
// the file; empty at the end of the file.
static std::string next_load_line(std::FILE* file) {
  std::string line;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    if (c == '\r') continue;
    line += char(c);
    if (c == '\n') break;
  }
  return line;
}

void Sender::run(SerialPort& port, LoadTiming timing) {
  std::this_thread::sleep_for(timing.after_command);
  auto stop = [this] { return stop_.load(); };
  for (std::string line; !(line = next_load_line(file_.get())).empty();) {
    if (line.compare(0, 2, "SX") == 0) stop_ = true;
    if (stop_) break;
    std::this_thread::sleep_for(timing.before_line);
    // A line held back by the board's XOFF is given up only when the load
    // is stopped; otherwise it always goes out whole.
    if (!port.write(line, std::chrono::hours(24), stop)) break;
    ++lines_;
    std::this_thread::sleep_for(timing.after_line);
  }
  done_ = true;
}

bool Sender::collect() {
  if (!thread_.joinable()) return true;
  if (!done_) return false;
  thread_.join();
  file_.reset();
  return true;
}

void Sender::stop_and_join() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  file_.reset();
}

}  // namespace zun::term
