// run09 through its library entry with scripted standard streams.
#include "debugger/engine/engine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace zun {
namespace {

class ScriptedIo : public Run09Io {
public:
  void out(std::string_view bytes) override { stdout_text += bytes; }
  void err(std::string_view text) override { stderr_text += text; }
  bool poll_input(std::string& bytes) override {
    bytes += input;
    input.clear();
    return false;
  }
  std::string input, stdout_text, stderr_text;
};

std::string write_file(const std::string& name, const std::string& text) {
  auto p = (std::filesystem::temp_directory_path() / name).generic_string();
  std::ofstream(p, std::ios::binary) << text;
  return p;
}

// 2000: LDA #3; STA $E028; LDA #$15; STA $E028; LDB #3
// 200C: LDA $E028; BITA #1; BEQ 200C; LDA $E029; INCA; STA $E029; DECB; BNE 200C
// 201D: JMP $201D
const char* echo_program =
    "S12320008603B7E0288615B7E028C603B6E028850127F9B6E0294CB7E0295A26EF7E201DF8\n"
    "S9032000DC\n";

TEST(Run09, EchoesInputThroughAcia1) {
  Run09Options o;
  o.file = write_file("zun_run09_echo.s19", echo_program);
  o.regs = true;
  ScriptedIo io;
  io.input = "abc";
  EXPECT_EQ(run09(o, io), 0);
  EXPECT_EQ(io.stdout_text, "bcd");
  EXPECT_EQ(io.stderr_text, "PC=201D A=64 B=00 X=0000 Y=0000 U=0000 S=0000 DP=00 CC=54\n");
  std::filesystem::remove(o.file);
}

// 2000: master reset and 8N1 on ACIA 1; LDB #8
// 200C: LDA $E028; BITA #1; BEQ 200C; LDA $E029; STA $E029
// 2019: LDX #500; LEAX -1,X; BNE 201C (about 1000 instructions a byte)
// 2020: DECB; BNE 200C; JMP $2023
const char* slow_echo_program =
    "S12920008603B7E0288615B7E028C608B6E028850127F9B6E029B7E0298E01F4301F26FC5A26E97E202345\n"
    "S9032000DC\n";

TEST(Run09, PipedInputWaitsForASlowReader) {
  Run09Options o;
  o.file = write_file("zun_run09_slow.s19", slow_echo_program);
  ScriptedIo io;
  io.input = "abcdefgh";
  EXPECT_EQ(run09(o, io), 0);
  EXPECT_EQ(io.stdout_text, "abcdefgh");
  EXPECT_EQ(io.stderr_text, "");
  std::filesystem::remove(o.file);
}

TEST(Run09, TraceAndMaxCountInstructions) {
  Run09Options o;
  o.file = write_file("zun_run09_max.s19", echo_program);
  o.trace = true;
  o.max = 2;
  ScriptedIo io;
  EXPECT_EQ(run09(o, io), 3);
  EXPECT_EQ(io.stderr_text,
            "PC=2000 A=00 B=00 X=0000 Y=0000 U=0000 S=0000 DP=00 CC=50\n"
            "PC=2002 A=03 B=00 X=0000 Y=0000 U=0000 S=0000 DP=00 CC=50\n"
            "run09: stopped after 2 instructions\n");
  std::filesystem::remove(o.file);
}

// The echo program above rests at a jump to itself outside any call: 0. This
// one rests where its outermost calls return to, as a C program does in
// __lowexit, and hands over its status in D (above 255: 255).
// 2000: LDS #$1000; JSR $2010; JSR $2014; BRA $200A
// 2010: LDD #7; RTS      2014: LDD #$123; RTS
TEST(Run09, EndsWithTheStatusWhereTheOutermostCallReturns) {
  Run09Options o;
  o.file = write_file("zun_run09_status.s19",
                      "S11B200010CE1000BD2010BD201420FE12121212CC000739CC0123395D\nS9032000DC\n");
  ScriptedIo io;
  EXPECT_EQ(run09(o, io), 255);
  EXPECT_EQ(io.stderr_text, "");
  std::filesystem::remove(o.file);
}

// Timer and receive interrupts; the handler logs each byte at $2000 with
// the rounds and timer ticks it came at and sends the ticks back (the program
// of run_paths_test.cpp, with its vectors). Traced, run09 takes single steps;
// untraced, many at a time: the program must not tell.
TEST(Run09, InterruptDrivenProgramEndsTheSameTracedOrNot) {
  Run09Options o;
  o.file = write_file("zun_run09_irq.s19",
                      "S123100010CE08008E20009F428601B7E0E1CC2000FDE0E28650B7E0E08603B7E0288695FD\n"
                      "S1231020B7E0288603B7E0248615B7E0241CEF9E4030019F40FCE0E2DD44F7E0251F10C48C\n"
                      "S10B10403F26EC3CEF20E80020\n"
                      "S1233000B6E0E185012708B6E0E2B6E0E30C50B6E028850127149E42B6E029A7809641A770\n"
                      "S10F302080D650E7809F42F7E0293B0077\n"
                      "S10BFFF83000000000001000BD\n"
                      "S9030000FC\n");
  o.max = 30000;
  o.regs = o.dump = true;
  o.dump_from = 0x2000;
  o.dump_to = 0x200F;
  const std::string end = "run09: stopped after 30000 instructions\n"
                          "PC=103F A=09 B=94 X=0994 Y=0000 U=0000 S=0800 DP=00 CC=C0\n"
                          "2000: 61 00 00 62 18 06 63 31 0D 00 00 00 00 00 00 00\n";
  for (bool trace : {false, true}) {
    o.trace = trace;
    ScriptedIo io;
    io.input = "abc";
    EXPECT_EQ(run09(o, io), 3);
    EXPECT_EQ(io.stdout_text, std::string("\x00\x06\x0D", 3)) << trace;
    ASSERT_GE(io.stderr_text.size(), end.size());
    EXPECT_EQ(io.stderr_text.substr(io.stderr_text.size() - end.size()), end) << trace;
  }
  std::filesystem::remove(o.file);
}

// Standard input that stays open for a number of polls after its bytes, as a
// terminal does, then ends (or never, with polls_left < 0).
class OpenIo : public ScriptedIo {
public:
  bool poll_input(std::string& bytes) override {
    bytes += input;
    input.clear();
    return polls_left < 0 || polls_left-- > 0;
  }
  int polls_left = 0;
};

// The program rests in a branch to itself at once, while its receive
// interrupt echoes every byte one higher:
// 2000: LDS #$1000; master reset, then 8N1 with receive interrupts on ACIA 1
// 200E: ANDCC #$EF; BRA $2010
// 2012: LDA $E029; INCA; STA $E029; RTI (the IRQ vector at $FFF8)
const char* resting_echo_program =
    "S11D200010CE10008603B7E0288695B7E0281CEF20FEB6E0294CB7E0293B83\n"
    "S105FFF82012D1\n"
    "S9032000DC\n";

// With --stay the board goes on at rest while input is open: the interrupt
// still answers, and run09 ends when the input ends, with the status of the
// rest, or after --max when it never ends.
TEST(Run09, StayKeepsTheBoardRunningAtRestUntilInputEnds) {
  Run09Options o;
  o.file = write_file("zun_run09_stay.s19", resting_echo_program);
  OpenIo plain;
  plain.input = "abc";
  plain.polls_left = 100;
  EXPECT_EQ(run09(o, plain), 0);
  EXPECT_EQ(plain.stdout_text, "b");  // ended at the rest: only the byte already there
  EXPECT_GT(plain.polls_left, 90);

  o.stay = true;
  OpenIo open;
  open.input = "abc";
  open.polls_left = 100;
  EXPECT_EQ(run09(o, open), 0);
  EXPECT_EQ(open.stdout_text, "bcd");
  EXPECT_EQ(open.stderr_text, "");
  EXPECT_EQ(open.polls_left, -1);  // it read up to the end of the input

  // A pipe ends at once, but what it held still reaches the board.
  ScriptedIo piped;
  piped.input = "abc";
  EXPECT_EQ(run09(o, piped), 0);
  EXPECT_EQ(piped.stdout_text, "bcd");

  OpenIo endless;
  endless.input = "x";
  endless.polls_left = -1;
  o.max = 50000;
  EXPECT_EQ(run09(o, endless), 3);
  EXPECT_EQ(endless.stdout_text, "y");
  EXPECT_EQ(endless.stderr_text, "run09: stopped after 50000 instructions\n");
  std::filesystem::remove(o.file);
}

TEST(Run09, LoadFailureSaysWhereTheWriteWasRefused) {
  Run09Options o;
  // One byte for 0xE020, an on-board chip address that no load may write.
  o.file = write_file("zun_run09_io.s19", "S104E02012E9\nS9032000DC\n");
  ScriptedIo io;
  EXPECT_EQ(run09(o, io), 1);
  EXPECT_EQ(io.stdout_text, "");
  EXPECT_EQ(io.stderr_text, "VM: Can't write to simulator memory at 0x0000E020\n"
                            "run09: can't load '" + o.file + "': line 1: the simulator memory refused the write\n");
  std::filesystem::remove(o.file);
}

TEST(Run09, AFileWithoutDataIsRefusedInsteadOfRunningEmptyMemory) {
  Run09Options o;
  for (const char* text : {"", "S0030000FC\nS9030000FC\n"}) {
    o.file = write_file("zun_run09_empty.s19", text);
    ScriptedIo io;
    EXPECT_EQ(run09(o, io), 1) << text;
    EXPECT_EQ(io.stderr_text, "run09: no data records in '" + o.file + "'\n");
    std::filesystem::remove(o.file);
  }
}

TEST(Run09, Arguments) {
  std::string error;
  auto o = parse_run09_args({"--max", "12", "--dump", "e0-1ff", "--regs", "x.s19"}, error);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->max, 12u);
  EXPECT_EQ(o->dump_from, 0xE0u);
  EXPECT_EQ(o->dump_to, 0x1FFu);
  EXPECT_TRUE(o->regs);
  EXPECT_EQ(o->file, "x.s19");
  EXPECT_FALSE(o->stay);
  EXPECT_TRUE(parse_run09_args({"--stay", "x.s19"}, error)->stay);
  EXPECT_FALSE(parse_run09_args({"--dump", "20-10", "x.s19"}, error));
  EXPECT_EQ(error, "run09: bad dump range '20-10' (want FROM-TO in hex)\n");
  EXPECT_FALSE(parse_run09_args({"--max", "x.s19"}, error));
  EXPECT_FALSE(parse_run09_args({"--max"}, error));
  EXPECT_EQ(error, "run09: --max needs a value\n");
  EXPECT_FALSE(parse_run09_args({}, error));
  EXPECT_FALSE(parse_run09_args({"a.s19", "b.s19"}, error));
}

}  // namespace
}  // namespace zun
