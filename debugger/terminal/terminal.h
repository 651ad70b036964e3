// The serial terminal without windows: the per-port settings slots and their
// "#+" lines in the project file, the COM-name map, the serial port over
// termios, the character screen, the terminal context of one window (port,
// screen, log, typing), the ordinary download with its sender thread and the
// bootstrapper. The Qt views in this folder only show and drive these.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zun::term {

// ---- settings.cpp ----

// One serial settings record: what a port is set to for one use.
struct SerialSettings {
  uint32_t baud = 0;          // 0 is applied as 9600
  uint32_t line_control = 0;  // bits 0-1 DTR control (0 off, 1 on, 2 handshake),
                              // bits 2-3 RTS control (0 off, 1 on, 2 handshake, 3 toggle)
  uint8_t data_bits = 8;      // 4 to 8
  uint8_t parity = 0;         // 0 none, 1 odd, 2 even, 3 mark, 4 space
  uint8_t stop_bits = 0;      // 0 one, 1 one and a half, 2 two
  uint32_t flow = 0;          // flow_* bits

  int dtr() const { return int(line_control & 3); }
  int rts() const { return int(line_control >> 2 & 3); }
  void set_dtr(int v) { line_control = (line_control & ~3u) | (uint32_t(v) & 3); }
  void set_rts(int v) { line_control = (line_control & ~12u) | (uint32_t(v) & 3) << 2; }
  bool operator==(const SerialSettings&) const = default;
};
inline constexpr uint32_t flow_cts = 1, flow_dsr = 2, flow_xon_out = 4, flow_xon_in = 8;

// The three records of a port, by their index in the project file.
enum class Record : uint8_t { Terminal = 0, Application = 1, Binary = 2 };

inline constexpr size_t load_command_max = 31;
inline constexpr uint32_t default_back_colour = 0xFFFF00;

// What a terminal carries of its port's slot. Colours are 0x00BBGGRR.
struct PortSettings {
  uint32_t back_colour = default_back_colour;
  uint32_t text_colour = 0;
  int enter_translation = 2;    // 0 LF CR, 1 LF, 2 CR
  int receive_translation = 1;  // 0 NL/CR, 1 LF ends a line, 2 CR ends a line
  std::string load_command;     // with the escapes \n and \r, at most 31 characters
  std::array<SerialSettings, 3> records{};  // by Record

  SerialSettings& record(Record r) { return records[size_t(r)]; }
  const SerialSettings& record(Record r) const { return records[size_t(r)]; }
  bool operator==(const PortSettings&) const = default;
};

// The default slot and the slots of COM1 to COM8 for one run of the workbench.
// An invalid port slot means the port uses the default slot.
class TerminalSettings {
 public:
  static constexpr int port_slots = 8;
  static constexpr int ky09_cpu_kind = 17;

  TerminalSettings() { set_cpu_kind(ky09_cpu_kind); }

  // Records the kind; for the kinds with a known board it resets the default
  // slot and makes every port slot invalid (0), else it changes nothing more (-1).
  int set_cpu_kind(int kind);
  int cpu_kind() const { return cpu_kind_; }

  // The default slot; only its terminal record is used.
  const PortSettings& defaults() const { return default_; }
  PortSettings& defaults() { return default_; }
  // What a terminal on port index 0-based opens with: the port's own slot
  // when valid, else the default slot with its record for all three.
  PortSettings for_port(int port_index) const;
  bool valid(int port_index) const;
  // Keeps a terminal's settings in its port's slot and makes it valid. Ports
  // beyond COM8 have no slot: nothing is kept for them.
  void store(int port_index, const PortSettings& settings);

  // The slot of COMn (1-8) for the project-file reader; a slot is seeded
  // from the default slot the first time it is touched, so it never becomes
  // valid half-empty.
  PortSettings& touch_slot(int n);
  void mark_valid(int n);

 private:
  struct Slot {
    bool valid = false;
    bool seeded = false;
    PortSettings settings;
  };
  friend std::string write_terminal_settings(const TerminalSettings& all);
  int cpu_kind_ = 0;
  PortSettings default_;
  std::array<Slot, port_slots> slots_;
};

// Every "#+" key and value line of the project file: the default slot, then
// each valid port slot.
std::string write_terminal_settings(const TerminalSettings& all);
// One pair: `key` is the key line's text behind its "#+" (for example
// "[Baud(3)(2)]="), `value_line` the whole line after it (its first two
// characters are skipped). False when the pair was not used.
bool read_terminal_setting(TerminalSettings& all, std::string_view key, std::string_view value_line);

// ---- com_map.cpp ----

// Which device stands behind COM1 to COM8: a small file of "COMn=device"
// lines of our own. Without the file, the serial ports the system lists are
// taken in order and the file is written with them for the user to edit.
class ComMap {
 public:
  static constexpr int ports = 8;
  // Reads `file`; when it does not exist it is written from the system's
  // ports found below `sys_class_tty` (normally "/sys/class/tty").
  void load(const std::string& file, const std::string& sys_class_tty = "/sys/class/tty");
  // "" when the port is not mapped.
  const std::string& device(int port_index) const;
  void set(int port_index, std::string device);
  std::string text() const;  // the file's contents
  static ComMap parse(std::string_view text);
  // Device paths of the real serial ports below a sysfs tty folder, in the
  // order ttyS*, ttyUSB*, ttyACM*, then the rest, each by number.
  static std::vector<std::string> system_ports(const std::string& sys_class_tty);

 private:
  std::array<std::string, ports> devices_;
};

// ---- serial_port.cpp ----

// The outcome of setting a port up: the error box text on failure, and the
// notes on what the port cannot do, for the output window.
struct ApplyResult {
  bool ok = false;
  std::string error;
  std::vector<std::string> notes;
};

// Brings a record into the range the port takes: baud 0 is 9600, data bits
// outside 4..8 are 8, parity above 4 is none, stop bits above 2 are one.
void repair_record(SerialSettings& record);

// A serial device opened exclusively. Reads never wait; writes wait while
// the line is held (flow control) up to the time given.
class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort() { close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // False when the device is missing, busy (another terminal holds it) or
  // not a device we may open; `error` then says why.
  bool open(const std::string& device, std::string* error = nullptr);
  // False when the close itself failed.
  bool close(std::string* error = nullptr);
  bool is_open() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Lets written bytes leave, clears the receive queue and sets the port
  // from the record (repaired in place).
  ApplyResult apply(SerialSettings& record);
  // What has arrived, at most `max` bytes; empty when nothing (or an error).
  std::string read(size_t max);
  // Writes all bytes. While the port takes nothing, waits in short slices up
  // to `timeout` or until `give_up` says so; false when not all went out.
  bool write(std::string_view bytes, std::chrono::milliseconds timeout,
             const std::function<bool()>& give_up = nullptr);

 private:
  int fd_ = -1;
};

// Opens and closes the device; false when it cannot be opened, or when the
// close fails (its reason in `close_error`).
bool com_port_present(const std::string& device, std::string* close_error = nullptr);

// ---- screen.cpp ----

// The terminal's character screen: a ring of rows mapped to the screen rows
// by a row table, a cursor, and the translation of received line ends.
class Screen {
 public:
  static constexpr int max_cells = 65535;
  Screen(int columns = 80, int rows = 25);
  void feed(uint8_t byte, int receive_translation);
  // False (and the screen unchanged) when the new grid is too large.
  bool resize(int columns, int rows);
  int columns() const { return columns_; }
  int rows() const { return rows_; }
  int cursor_column() const { return column_; }
  int cursor_row() const { return row_; }
  // The text of a screen row, `columns` characters.
  std::string_view row_text(int screen_row) const;
  std::string text() const;  // all rows, each ended by '\n'

 private:
  void new_line();
  void blank_to_end();
  char* row_cells(int screen_row) { return &cells_[size_t(row_table_[size_t(screen_row)]) * size_t(columns_)]; }
  int columns_, rows_;
  std::string cells_;
  std::vector<int> row_table_;  // screen row -> buffer row
  int column_ = 0, row_ = 0;    // row_ is also the number of rows in use
};

// ---- download.cpp ----

// The load command's bytes: "\n" is LF, "\r" CR; any other escape (a lone
// backslash at the end too) is left out and its character reported.
struct LoadCommand {
  std::string bytes;
  std::vector<char> illegal;
};
LoadCommand expand_load_command(std::string_view text);

// The pauses of the ordinary load; tests may shorten them.
struct LoadTiming {
  std::chrono::milliseconds after_command{250};
  std::chrono::milliseconds before_line{50};
  std::chrono::milliseconds after_line{50};
};

// The sender of one ordinary load: on its own thread it sends the load
// file's lines (CR dropped, LF kept) until the end of the file or the first
// "SX" line, and stops before the next line once the stop flag is set.
class Sender {
 public:
  struct File {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  using FilePtr = std::unique_ptr<std::FILE, File>;

  Sender() = default;
  ~Sender() { stop_and_join(); }
  Sender(const Sender&) = delete;
  Sender& operator=(const Sender&) = delete;

  // False when the thread cannot be started.
  bool start(FilePtr file, SerialPort& port, LoadTiming timing);
  bool running() const { return thread_.joinable(); }
  bool finished() const { return done_.load(); }
  // Stop load: the line being sent still goes out.
  void request_stop() { stop_ = true; }
  bool stop_requested() const { return stop_.load(); }
  // Joins a finished thread (and closes the file); false while it still runs.
  bool collect();
  void stop_and_join();
  int lines_sent() const { return lines_.load(); }

 private:
  void run(SerialPort& port, LoadTiming timing);
  FilePtr file_;
  std::thread thread_;
  std::atomic<bool> stop_{false}, done_{false};
  std::atomic<int> lines_{0};
};

// ---- terminal.cpp ----

// What a terminal tells its user: error boxes, warnings, output-window
// lines and the status bar.
class TerminalHost {
 public:
  virtual ~TerminalHost() = default;
  virtual void error(const std::string& text) = 0;
  virtual void warning(const std::string& text) = 0;
  virtual void output(const std::string& text) = 0;
  virtual void status(const std::string& text) = 0;
};

// The bootstrapper's settings of one terminal.
struct BootOptions {
  std::string boot_path, app_path;
  bool load_app = false;
  uint32_t size = 0;  // bytes to send; 0 is "File size"
  uint32_t offset = 0;
  bool leading_ff = false;
  uint32_t app_delay_ms = 0;
};

// The context of one terminal window: its port, settings, screen and log,
// typing, the ordinary load and the bootstrapper settings.
class Terminal {
 public:
  static constexpr size_t read_chunk = 512;
  static constexpr size_t read_limit_per_poll = 64 * 1024;

  Terminal(int port_index, TerminalSettings& slots, TerminalHost& host);
  // Keeps the settings in the port's slot, ends a load, closes port and log.
  ~Terminal();

  // Opens the device and sets it up from the port's slot. False (port closed,
  // nothing kept) when it cannot be opened or set up; `open_error` says why
  // it could not be opened.
  bool open(const std::string& device, std::string* open_error = nullptr);
  int port_index() const { return port_index_; }
  SerialPort& port() { return port_; }
  PortSettings& settings() { return settings_; }
  const PortSettings& settings() const { return settings_; }
  Screen& screen() { return screen_; }
  const Screen& screen() const { return screen_; }
  BootOptions& boot() { return boot_; }

  // Sets the port from one of its records; errors are reported, and notes on
  // what the port cannot do go to the output once per terminal.
  bool apply(Record which);
  // After the settings dialog: applies the terminal record and keeps the
  // settings in the slot; a record the port refuses gives way to `before`.
  bool apply_setup(const SerialSettings& before);
  void keep_settings() { slots_.store(port_index_, settings_); }
  std::string caption() const;

  // Reads what arrived (bounded per call) into the screen and the log; true
  // when anything arrived.
  bool poll();
  void receive(std::string_view bytes);
  // A typed character; Enter (13) goes out by the Enter translation.
  void type(char c);
  bool write_now(std::string_view bytes);

  // "logfile.log" in the current directory.
  bool start_logging();
  void stop_logging();
  bool logging() const { return log_ != nullptr; }

  // The ordinary load: false when the file cannot be opened or the sender
  // not started (reported). While it runs `loading()` is true; `finish_load`
  // settles a finished sender and returns true once.
  bool start_load(const std::string& path, LoadTiming timing = {});
  bool loading() const { return sender_ != nullptr; }
  void stop_load();
  bool finish_load();
  const std::string& last_loaded() const { return last_loaded_; }
  // Set while the bootstrapper runs: the window may not close meanwhile.
  bool busy() const { return loading() || boot_running_; }
  void set_boot_running(bool on) { boot_running_ = on; }

 private:
  void report(const ApplyResult& r);
  int port_index_;
  TerminalSettings& slots_;
  TerminalHost& host_;
  SerialPort port_;
  PortSettings settings_;
  Screen screen_;
  std::unique_ptr<std::FILE, Sender::File> log_;
  std::unique_ptr<Sender> sender_;
  std::string loading_path_, last_loaded_;
  std::vector<std::string> noted_;
  BootOptions boot_;
  bool opened_ = false;
  bool boot_running_ = false;
};

std::string serial_caption(int port_index, const SerialSettings& record, bool logging);

// ---- bootstrap.cpp ----

inline constexpr size_t boot_image_size = 4192;

// The bootstrapper file read into the binary image: byte i holds the byte for
// address offset + i.
struct BootImage {
  std::vector<uint8_t> bytes;  // boot_image_size bytes, cleared for each run
  size_t send_count = 0;       // what goes to the board
  long omitted_by_offset = 0, omitted_by_size = 0;
  // "line %d: reason" of the first record that does not hold (a wrong count
  // or checksum, a type other than S0-S3 and S7-S9); empty for a whole file.
  std::string fault;
};
// Reads S1/S2/S3 records up to the first S7, S8, S9 or SX line. With size 0
// (File size) the span up to the highest byte is sent; a size beyond the
// image is cut to it, its bytes counted as left out by the size.
BootImage read_boot_image(std::FILE* file, uint32_t offset, uint32_t size);

// What the bootstrapper asks of its dialog.
class BootUi {
 public:
  virtual ~BootUi() = default;
  virtual bool ask(const std::string& question) = 0;  // Yes
  virtual void prepare_target() = 0;                   // "Prepare target ..." box
  virtual void status(const std::string& text) = 0;
  virtual void label(const std::string& text) = 0;
  virtual void count(long n) = 0;
  // Waits, keeping the terminal's screen alive.
  virtual void wait(std::chrono::milliseconds ms) = 0;
  // Lets the terminal show what the board answered.
  virtual void pump() = 0;
};

inline constexpr int boot_done = 256;
struct BootTiming {
  std::chrono::milliseconds per_byte{20};
};
struct BootResult {
  int code = boot_done;  // boot_done, or a negative code whose text is boot_result_text
  std::string fault;     // with -2 and -4: the line of the damaged record
};
// The bootstrapper download: the binary image byte by byte, then the
// application's S-records character by character. A damaged record in either
// file stops the run before anything is sent.
BootResult boot_run(const BootOptions& options, Terminal& terminal, BootUi& ui, BootTiming timing = {});
std::string boot_result_text(int code);
// The dialog's status line for a result: the code's text, then the fault.
std::string boot_result_text(const BootResult& result);

}  // namespace zun::term
