// The serial port and the ordinary load over pseudo-terminal pairs, with a
// thread on the master side playing the board.
#include <gtest/gtest.h>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "debugger/terminal/serial_baud.h"
#include "debugger/terminal/terminal.h"
#include "tests/terminal/pty_board.h"

namespace zun::term {
namespace {

using namespace test;
namespace fs = std::filesystem;

class SerialTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(board.path().empty()); }
  std::string file(const std::string& text) { return files.make(text); }
  // Runs one load to its end.
  void load(Terminal& t, const std::string& path, LoadTiming timing) {
    ASSERT_TRUE(t.start_load(path, timing));
    for (auto end = Clock::now() + 20s; !t.finish_load() && Clock::now() < end;) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(t.loading());
  }
  termios slave_termios() {
    termios t{};
    tcgetattr(board.slave(), &t);
    return t;
  }

  PtyBoard board;
  TerminalSettings slots;
  RecordingHost host;
  TempFiles files;
};

TEST_F(SerialTest, PortOpensOnceAndAFailedSetupClosesIt) {
  Terminal first(0, slots, host);
  ASSERT_TRUE(first.open(board.path()));
  EXPECT_TRUE(slots.valid(0));
  Terminal second(1, slots, host);
  std::string why;
  EXPECT_FALSE(second.open(board.path(), &why));
  EXPECT_EQ(why, "the port is in use");
  EXPECT_FALSE(com_port_present(board.path()));
  EXPECT_TRUE(host.errors.empty());

  PortSettings bad = slots.for_port(2);
  bad.record(Record::Terminal).data_bits = 4;
  slots.store(2, bad);
  PtyBoard other;
  const int fds = open_fd_count();
  {
    Terminal third(2, slots, host);
    EXPECT_FALSE(third.open(other.path()));
  }
  EXPECT_EQ(open_fd_count(), fds);
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Can't set comm state", "Can't set serial port parameters"}));
  EXPECT_EQ(host.out, "COM3: 4 data bits are not supported on this system\n");
  EXPECT_TRUE(com_port_present(other.path()));
}

TEST_F(SerialTest, RecordsBecomeTermios) {
  PortSettings s = slots.for_port(0);
  SerialSettings& r = s.record(Record::Terminal);
  r.baud = 0;
  r.data_bits = 9;
  r.stop_bits = 7;
  r.parity = 3;
  r.flow = flow_xon_out | flow_xon_in;
  r.set_dtr(2);
  slots.store(0, s);
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  termios tio = slave_termios();
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
  // (A pseudo-terminal keeps no data bits and no parity enable.)
  EXPECT_EQ(tio.c_cflag & (PARODD | CMSPAR | CSTOPB), tcflag_t(PARODD | CMSPAR));
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
  EXPECT_EQ(tio.c_cc[VSTART], 0x12);
  EXPECT_EQ(tio.c_cc[VSTOP], 0x10);
  EXPECT_EQ(tio.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.caption(), "(COM1:9600,M,8,1)");

  t.settings().record(Record::Terminal).baud = 14400;  // beyond the termios table
  t.settings().record(Record::Terminal).stop_bits = 2;
  EXPECT_TRUE(t.apply_setup(r));
  EXPECT_EQ(port_baud(board.slave()), 14400u);
  EXPECT_TRUE(slave_termios().c_cflag & CSTOPB);
  EXPECT_EQ(slots.for_port(0).record(Record::Terminal).baud, 14400u);
  EXPECT_EQ(t.caption(), "(COM1:14400,M,8,2)");
  // A record the port refuses leaves the one it had.
  t.settings().record(Record::Terminal).stop_bits = 1;
  EXPECT_FALSE(t.apply_setup(slots.for_port(0).record(Record::Terminal)));
  EXPECT_EQ(t.caption(), "(COM1:14400,M,8,2)");
  EXPECT_EQ(host.out,
            "COM1: DTR handshake is not supported on this system; DTR is switched on instead\n"
            "COM1: 1.5 stop bits are supported only with 5 data bits\n");
}

// The README's socat line gives a pseudo-terminal: Setup's 9600 8N1 takes.
// A line whose other end has gone refuses, and says why.
TEST_F(SerialTest, APseudoTerminalTakes9600AndAGoneLineSaysWhy) {
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  EXPECT_EQ(t.caption(), "(COM1:4800,N,8,1)");
  const SerialSettings before = t.settings().record(Record::Terminal);
  SerialSettings& r = t.settings().record(Record::Terminal);
  r.baud = 9600;
  r.data_bits = 8;
  r.parity = 0;
  r.stop_bits = 0;
  EXPECT_TRUE(t.apply_setup(before));
  EXPECT_EQ(port_baud(board.slave()), 9600u);
  termios tio = slave_termios();
  EXPECT_EQ(cfgetospeed(&tio), speed_t(B9600));
  EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(t.caption(), "(COM1:9600,N,8,1)");
  EXPECT_EQ(slots.for_port(0).record(Record::Terminal).baud, 9600u);
  EXPECT_TRUE(host.errors.empty());

  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  Terminal gone(1, slots, host);
  ASSERT_TRUE(gone.open(name));
  ::close(master);
  gone.settings().record(Record::Terminal).baud = 9600;
  EXPECT_FALSE(gone.apply_setup(before));
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Can't set Comm Buffer: Input/output error",
                                                   "Can't set serial port parameters"}));
  EXPECT_EQ(gone.caption(), "(COM2:4800,N,8,1)");
  ::close(slave);
}

TEST_F(SerialTest, LoadSendsTheCommandThenEachLineUpToTheDebugRecords) {
  const std::string records = "S00600004844521B\r\nS1051000ABCD72\r\nS10410023FAA\nS9031000EC\r\n";
  std::string path = file(records + "SX:C:s:1000\r\nS1051000ABCD72\r\n");
  slots.defaults().load_command = "l\\r";
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  const auto start = Clock::now();
  load(t, path, LoadTiming{});
  // 250 ms after the command, then 50 ms before and after every line.
  EXPECT_GE(Clock::now() - start, 250ms + 4 * 100ms);
  EXPECT_TRUE(board.wait_for_size(2 + 17 + 15 + 13 + 11));
  std::this_thread::sleep_for(150ms);
  EXPECT_EQ(board.received(), "l\rS00600004844521B\nS1051000ABCD72\nS10410023FAA\nS9031000EC\n");
  EXPECT_EQ(t.last_loaded(), path);
  EXPECT_EQ(host.statuses, (std::vector<std::string>{"Loading to target", "Ready"}));

  // Seen from the board (which reads a little late at times).
  std::string got = board.received();
  std::vector<Clock::time_point> times = board.times();
  std::vector<Clock::time_point> line_ends;
  for (size_t i = 0; i < got.size(); ++i)
    if (got[i] == '\n') line_ends.push_back(times[i]);
  ASSERT_EQ(line_ends.size(), 4u);
  EXPECT_GE(line_ends[0] - start, 300ms);
  for (size_t i = 1; i < line_ends.size(); ++i) EXPECT_GE(line_ends[i] - line_ends[i - 1], 80ms) << i;

  // A file that begins with its debug records sends nothing after the command.
  load(t, file("SX:C:s:1000\nS1051000ABCD72\n"), LoadTiming{1ms, 1ms, 1ms});
  // A last line without LF goes as it stands.
  load(t, file("S9031000EC"), LoadTiming{1ms, 1ms, 1ms});
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(board.received().substr(got.size()), "l\rl\rS9031000EC");
}

TEST_F(SerialTest, StopLoadFinishesTheLineAndSendsEndOfTransmission) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "S1051000ABCD72\r\n";
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  ASSERT_TRUE(t.start_load(file(text), LoadTiming{1ms, 20ms, 20ms}));
  ASSERT_TRUE(board.wait_for_size(2 + 2 * 15));
  t.stop_load();
  for (auto end = Clock::now() + 5s; !t.finish_load() && Clock::now() < end;) std::this_thread::sleep_for(5ms);
  EXPECT_FALSE(t.loading());
  std::this_thread::sleep_for(100ms);
  std::string got = board.received();
  size_t eot = got.find('\x04');
  ASSERT_NE(eot, std::string::npos);
  EXPECT_EQ(got.substr(0, 2), "l\r");
  // Whole lines only, and at most the one being sent after the 0x04.
  std::string lines = got.substr(2, eot - 2) + got.substr(eot + 1);
  EXPECT_EQ(lines.size() % 15, 0u) << got;
  EXPECT_EQ(lines, [&] { std::string s; for (size_t i = 0; i < lines.size() / 15; ++i) s += "S1051000ABCD72\n"; return s; }());
  EXPECT_LE(got.size() - eot - 1, 15u);
  EXPECT_LT(lines.size() / 15, 10u);
}

TEST_F(SerialTest, XoffHoldsTheSenderAndXonLetsItGoOn) {
  PortSettings s = slots.for_port(0);
  s.record(Record::Terminal).flow = flow_xon_out;
  slots.store(0, s);
  std::string text;
  for (int i = 0; i < 8; ++i) text += "S1051000ABCD7" + std::to_string(i) + "\n";
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  ASSERT_TRUE(t.start_load(file(text), LoadTiming{1ms, 10ms, 10ms}));
  ASSERT_TRUE(board.wait_for_size(2 + 15));
  board.send("\x10");
  std::this_thread::sleep_for(30ms);
  const size_t held = board.received().size();
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(board.received().size(), held);
  EXPECT_LT(held, 2 + text.size());
  EXPECT_TRUE(t.loading());
  board.send("\x12");
  EXPECT_TRUE(board.wait_for_size(2 + text.size()));
  for (auto end = Clock::now() + 5s; !t.finish_load() && Clock::now() < end;) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(board.received(), "l\r" + text);
  // Flow characters do not reach the screen; the rest does.
  board.send("ok\x10\x12!");
  for (auto end = Clock::now() + 2s; t.screen().cursor_column() < 3 && Clock::now() < end;) {
    t.poll();
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(t.screen().row_text(0).substr(0, 4), "ok! ");
}

TEST_F(SerialTest, OnePollTakesAllThatArrived) {
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  std::string text;
  for (int i = 0; i < 3000; ++i) text += char('a' + i % 26);
  board.send(text);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(t.poll());
  EXPECT_FALSE(t.poll());
  // 3000 characters wrap on 80 columns: 37 full rows and 40 on the last.
  EXPECT_EQ(t.screen().cursor_column(), 40);
  EXPECT_EQ(t.screen().row_text(24).substr(0, 40), text.substr(2960));
}

TEST_F(SerialTest, LoadCommandEscapesAndTyping) {
  EXPECT_EQ(expand_load_command("l\\n\\r").bytes, "l\n\r");
  LoadCommand odd = expand_load_command("a\\xb\\");
  EXPECT_EQ(odd.bytes, "ab");
  EXPECT_EQ(odd.illegal, (std::vector<char>{'x', '\\'}));

  slots.defaults().load_command = "L\\q";
  slots.defaults().enter_translation = 0;
  Terminal t(0, slots, host);
  ASSERT_TRUE(t.open(board.path()));
  EXPECT_FALSE(t.start_load("/nonexistent/app.s19"));
  load(t, file("S9031000EC\n"), LoadTiming{1ms, 1ms, 1ms});
  EXPECT_EQ(host.errors, (std::vector<std::string>{"Can't open (load): /nonexistent/app.s19",
                                                   "Illegal escape character 'q' in load command, ignored"}));
  t.type('G');
  t.type('\r');
  t.settings().enter_translation = 1;
  t.type('\r');
  EXPECT_TRUE(board.wait_for_size(1 + 11 + 4));
  EXPECT_EQ(board.received(), "LS9031000EC\nG\n\r\n");
}

}  // namespace
}  // namespace zun::term
