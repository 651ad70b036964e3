// The bootstrapper over a pseudo-terminal: the bytes the board gets against
// an image drawn here from the records' own byte counts, the questions on
// bytes left out, and the port's records around the run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "common/format.h"
#include "debugger/terminal/serial_baud.h"
#include "debugger/terminal/terminal.h"
#include "tests/terminal/pty_board.h"

namespace zun::term {
namespace {

using namespace test;
namespace fs = std::filesystem;

// S1 records (16 data bytes each) for the bytes of `memory`.
std::string s1_records(const std::map<uint32_t, uint8_t>& memory) {
  std::string out = "S00600004844521B\r\n";
  for (auto it = memory.begin(); it != memory.end();) {
    uint32_t address = it->first;
    std::vector<uint8_t> data;
    while (it != memory.end() && it->first == address + data.size() && data.size() < 16) data.push_back((it++)->second);
    unsigned sum = unsigned(data.size() + 3) + (address >> 8) + (address & 0xFF);
    std::string line = format("S1%02X%04X", unsigned(data.size() + 3), address);
    for (uint8_t b : data) {
      line += format("%02X", b);
      sum += b;
    }
    out += line + format("%02X\r\n", ~sum & 0xFF);
  }
  return out + "S9030000FC\r\n";
}

// What the board should get: the window of `count` bytes from `offset`.
std::string rendering(const std::map<uint32_t, uint8_t>& memory, uint32_t offset, size_t count) {
  std::string out(count, '\0');
  for (auto [a, b] : memory)
    if (a >= offset && a - offset < count) out[a - offset] = char(b);
  return out;
}

std::map<uint32_t, uint8_t> span(uint32_t from, uint32_t to) {
  std::map<uint32_t, uint8_t> m;
  for (uint32_t a = from; a <= to; ++a) m[a] = uint8_t(a * 7 + (a >> 8));
  return m;
}

class Ui : public BootUi {
 public:
  std::vector<std::string> asked, statuses;
  std::vector<bool> answers;
  int prepared = 0;
  long last_count = 0;
  bool ask(const std::string& q) override {
    asked.push_back(q);
    bool a = answers.empty() || answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return a;
  }
  void prepare_target() override { ++prepared; }
  void status(const std::string& t) override { statuses.push_back(t); }
  void label(const std::string&) override {}
  void count(long n) override { last_count = n; }
  void wait(std::chrono::milliseconds ms) override { std::this_thread::sleep_for(ms); }
  void pump() override {}
};

class BootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PortSettings s = slots.for_port(0);
    s.record(Record::Binary).baud = 19200;
    s.record(Record::Application).baud = 9600;
    slots.store(0, s);
    ASSERT_TRUE(terminal.open(board.path()));
  }
  std::string file(const std::string& text) { return files.make(text); }
  // One run; returns what the board got.
  std::string run(BootOptions o, int expected_code = boot_done) {
    const size_t before = board.received().size();
    last = boot_run(o, terminal, ui, BootTiming{std::chrono::milliseconds(0)});
    EXPECT_EQ(last.code, expected_code);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(port_baud(board.slave()), 4800u) << "the terminal record is back";
    return board.received().substr(before);
  }

  PtyBoard board;
  TerminalSettings slots;
  RecordingHost host;
  Terminal terminal{0, slots, host};
  Ui ui;
  TempFiles files;
  BootResult last;
};

TEST_F(BootTest, SendsTheImageCroppedToItsWindow) {
  BootOptions o;
  o.offset = 0xE000;
  o.size = 256;
  o.boot_path = file(s1_records(span(0xE000, 0xE0FF)));
  EXPECT_EQ(run(o), rendering(span(0xE000, 0xE0FF), 0xE000, 256));
  EXPECT_TRUE(ui.asked.empty());
  EXPECT_EQ(ui.prepared, 1);
  EXPECT_EQ(ui.last_count, 256);

  o.size = 192;
  o.leading_ff = true;
  o.boot_path = file(s1_records(span(0xE000, 0xE100)));
  EXPECT_EQ(run(o), "\xFF" + rendering(span(0xE000, 0xE100), 0xE000, 192));
  EXPECT_EQ(ui.asked, (std::vector<std::string>{"WARNING: 65 bytes are omitted due to size setting\rContinue?"}));

  // Beyond the 4,192-byte image: the rest is left out by the size.
  o.leading_ff = false;
  o.offset = 0x1000;
  o.size = 6000;
  o.boot_path = file(s1_records(span(0x1000, 0x2400)));
  EXPECT_EQ(run(o), rendering(span(0x1000, 0x2400), 0x1000, 4192));
  EXPECT_EQ(ui.asked.back(), "WARNING: 929 bytes are omitted due to size setting\rContinue?");

  // File size: the span the records cover from the offset, gaps as zeros.
  auto memory = span(0x0F00, 0x0F0F);
  memory.merge(span(0x1000, 0x100F));
  memory.merge(span(0x1100, 0x1104));
  o.size = 0;
  o.boot_path = file(s1_records(memory));
  EXPECT_EQ(run(o), rendering(memory, 0x1000, 0x105));
  EXPECT_EQ(ui.asked.back(), "WARNING: 16 bytes are omitted due to offset setting\rContinue?");
}

TEST_F(BootTest, SendsTheApplicationUpToItsDebugRecords) {
  BootOptions o;
  o.size = 192;
  o.boot_path = file(s1_records(span(0, 191)));
  o.load_app = true;
  o.app_delay_ms = 1;
  const std::string app = "S1051000ABCD72\r\nS9031000EC\r\n";
  o.app_path = file(app + "SX:C:s:1000\r\nS1051000ABCD72\r\n");
  EXPECT_EQ(run(o), rendering(span(0, 191), 0, 192) + app);
  EXPECT_EQ(ui.statuses, (std::vector<std::string>{"Binary download, please wait", "Optional delay...",
                                                   "Downloading 'Application', please wait"}));
}

TEST_F(BootTest, FailuresAndRefusalsLeaveNoFileOpenAndTheTerminalRecordOn) {
  const int fds = open_fd_count();
  BootOptions o;
  o.size = 16;
  o.boot_path = file(s1_records(span(0, 31)));
  ui.answers = {false};
  EXPECT_EQ(run(o), "");
  EXPECT_EQ(ui.prepared, 0);
  EXPECT_EQ(open_fd_count(), fds);

  o.boot_path = file("S00600004844521B\nS5030001FB\n");
  EXPECT_EQ(run(o, -2), "");
  EXPECT_EQ(boot_result_text(last), "Corrupt binary download file (line 2: unknown record type 'S5')");
  o.boot_path = "/nonexistent/boot.s19";
  run(o, -1);
  o.boot_path = file(s1_records(span(0, 15)));
  o.load_app = true;
  run(o, -3);

  // The application record is refused after the binary part went out.
  PortSettings s = terminal.settings();
  terminal.settings().record(Record::Application).data_bits = 4;
  o.app_path = o.boot_path;
  EXPECT_EQ(run(o, -5), rendering(span(0, 15), 0, 16));
  EXPECT_EQ(open_fd_count(), fds);
  terminal.settings() = s;
}

// A record whose count or checksum does not hold is refused with its line
// before anything goes to the board, in either file.
TEST_F(BootTest, DamagedRecordsAreRefusedBeforeAnythingIsSent) {
  BootOptions o;
  o.size = 16;
  std::string boot = s1_records(span(0, 15));
  o.boot_path = file(boot.substr(0, boot.size() - 12) + "S9030000FD\r\n");
  EXPECT_EQ(run(o, -2), "");
  EXPECT_EQ(boot_result_text(last), "Corrupt binary download file (line 3: bad checksum)");
  // One data digit changed; then one byte more than the count says.
  std::string damaged = boot;
  damaged[30] = damaged[30] == '0' ? '1' : '0';
  o.boot_path = file(damaged);
  EXPECT_EQ(run(o, -2), "");
  EXPECT_EQ(boot_result_text(last), "Corrupt binary download file (line 2: bad checksum)");
  o.boot_path = file("S1061000860120FEB1\n");
  EXPECT_EQ(run(o, -2), "");
  EXPECT_EQ(boot_result_text(last), "Corrupt binary download file (line 1: bad count)");

  o.boot_path = file(boot);
  o.load_app = true;
  o.app_path = file("S1051000ABCD72\r\nS1051002ABCD73\r\nS9031000EC\r\n");
  EXPECT_EQ(run(o, -4), "");
  EXPECT_EQ(ui.prepared, 0);
  EXPECT_EQ(boot_result_text(last), "Corrupt 'Application' file (line 2: bad checksum)");
  // Debug records after the data are not S-records and are never sent.
  const std::string app = "S1051000ABCD72\r\nS9031000EC\r\n";
  o.app_path = file(app + "SX:C:s:1000\r\nSX:not a record\r\n");
  EXPECT_EQ(run(o), rendering(span(0, 15), 0, 16) + app);
}

}  // namespace
}  // namespace zun::term
