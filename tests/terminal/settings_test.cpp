// The settings slots and their "#+" lines: what the project file gets, what
// reading it back gives, and the lines the reader must pass over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/line_reader.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {
namespace {

// Every "#+" pair of a text, the way the project reader hands them over.
void read_all(TerminalSettings& all, std::string_view text) {
  size_t pos = 0;
  std::string_view line, value;
  while (next_line(text, pos, line))
    if (line.substr(0, 2) == "#+" && next_line(text, pos, value)) read_terminal_setting(all, line.substr(2), value);
}

SerialSettings record(uint32_t baud, uint8_t bits, uint8_t parity, uint8_t stop, uint32_t flow, int dtr, int rts) {
  SerialSettings r;
  r.baud = baud;
  r.data_bits = bits;
  r.parity = parity;
  r.stop_bits = stop;
  r.flow = flow;
  r.set_dtr(dtr);
  r.set_rts(rts);
  return r;
}

TEST(TerminalSettings, KindSetterResetsTheDefaultsAndThePorts) {
  TerminalSettings all;
  PortSettings com1 = all.for_port(0);
  EXPECT_EQ(com1.record(Record::Binary), record(4800, 8, 0, 0, 0, 0, 0));
  EXPECT_EQ(com1.load_command, "l\\r");
  EXPECT_EQ(com1.enter_translation, 2);
  EXPECT_EQ(com1.receive_translation, 1);
  EXPECT_EQ(com1.back_colour, 0xFFFF00u);

  com1.record(Record::Terminal).baud = 19200;
  all.store(0, com1);
  EXPECT_EQ(all.set_cpu_kind(22), -1);  // no board: nothing changes
  EXPECT_TRUE(all.valid(0));
  EXPECT_EQ(all.set_cpu_kind(12), 0);
  EXPECT_FALSE(all.valid(0));
  EXPECT_EQ(all.defaults().load_command, "l\\n");
  EXPECT_EQ(all.defaults().record(Record::Terminal).baud, 9600u);
  EXPECT_EQ(all.defaults().receive_translation, 1);
  EXPECT_EQ(all.set_cpu_kind(24), 0);  // keeps the load command
  EXPECT_EQ(all.defaults().load_command, "l\\n");
  EXPECT_EQ(all.defaults().record(Record::Terminal).baud, 115200u);
  EXPECT_EQ(all.cpu_kind(), 24);
}

TEST(TerminalSettings, OnlyCom2WritesTheDefaultAndItsSlot) {
  TerminalSettings all;
  PortSettings com2 = all.for_port(1);
  com2.back_colour = 0xFFFFFF;
  com2.text_colour = 0x800000;
  com2.enter_translation = 0;
  com2.receive_translation = 2;
  com2.load_command = "L\\n";
  com2.record(Record::Terminal) = record(9600, 8, 0, 0, flow_xon_out, 1, 1);
  com2.record(Record::Application) = record(19200, 7, 2, 2, flow_cts, 0, 0);
  com2.record(Record::Binary) = record(115200, 8, 3, 0, flow_dsr | flow_xon_in, 0, 0);
  all.store(1, com2);
  std::ifstream golden(std::string(ZUN_SOURCE_DIR) + "/tests/terminal/golden/com2_only.m09part", std::ios::binary);
  std::ostringstream expected;
  expected << golden.rdbuf();
  const std::string written = write_terminal_settings(all);
  EXPECT_EQ(written, expected.str());

  TerminalSettings back;
  back.set_cpu_kind(12);  // as the project manager does, then the lines
  back.set_cpu_kind(17);
  read_all(back, written);
  EXPECT_EQ(back.for_port(1), com2);
  EXPECT_FALSE(back.valid(0));
  EXPECT_EQ(write_terminal_settings(back), written);
}

TEST(TerminalSettings, EverySlotRoundTrips) {
  TerminalSettings all;
  all.defaults().load_command = "load\\n\\r";
  all.defaults().back_colour = 0x123456;
  all.defaults().record(Record::Terminal) = record(115200, 7, 4, 2, flow_cts | flow_xon_in, 2, 3);
  for (int i = 0; i < TerminalSettings::port_slots; ++i) {
    PortSettings s = all.for_port(i);
    s.text_colour = 0x10101u * uint32_t(i);
    s.enter_translation = i % 3;
    s.receive_translation = (i + 1) % 3;
    s.load_command = std::string(size_t(i), 'x');
    for (int m = 0; m < 3; ++m)
      s.records[size_t(m)] = record(1200u << (i % 5), uint8_t(5 + (i + m) % 4), uint8_t((i + m) % 5),
                                    uint8_t(m), uint32_t((i * 3 + m) % 16), (i + m) % 3, (i + 2 * m) % 4);
    all.store(i, s);
  }
  const std::string written = write_terminal_settings(all);
  TerminalSettings back;
  read_all(back, written);
  EXPECT_EQ(back.defaults(), all.defaults());
  for (int i = 0; i < TerminalSettings::port_slots; ++i) {
    EXPECT_TRUE(back.valid(i));
    EXPECT_EQ(back.for_port(i), all.for_port(i)) << "COM" << i + 1;
  }
  EXPECT_EQ(write_terminal_settings(back), written);
}

TEST(TerminalSettings, ReaderTakesSinglePairsAndPassesOverTheRest) {
  TerminalSettings all;
  EXPECT_TRUE(read_terminal_setting(all, "[Baud(3)(2)]=", "#+19200"));
  ASSERT_TRUE(all.valid(2));
  // A slot made valid by a line starts from the default slot, never from
  // zeros (black on black at 0 baud).
  PortSettings com3 = all.for_port(2);
  EXPECT_EQ(com3.record(Record::Binary).baud, 19200u);
  EXPECT_EQ(com3.record(Record::Terminal).baud, 4800u);
  EXPECT_EQ(com3.back_colour, 0xFFFF00u);
  EXPECT_EQ(com3.load_command, "l\\r");

  SerialSettings& term3 = com3.record(Record::Terminal);
  term3.line_control = 0xC;  // RTS toggle
  all.store(2, com3);
  EXPECT_TRUE(read_terminal_setting(all, "[Dtr(3)(0)]=", "#+2"));
  EXPECT_EQ(all.for_port(2).record(Record::Terminal).line_control, 0xEu);
  EXPECT_TRUE(read_terminal_setting(all, "[Cts(3)(1)]=", "#+3"));
  EXPECT_EQ(all.for_port(2).record(Record::Application).flow, flow_cts);

  // Lines for a port only become that port's settings with a Baud line.
  EXPECT_TRUE(read_terminal_setting(all, "[BackCol(4)]=", "#+255"));
  EXPECT_FALSE(all.valid(3));
  EXPECT_TRUE(read_terminal_setting(all, "[Baud(4)(0)]=", "#+9600\r\n"));
  EXPECT_EQ(all.for_port(3).back_colour, 255u);
  EXPECT_EQ(all.for_port(3).record(Record::Terminal).baud, 9600u);

  EXPECT_TRUE(read_terminal_setting(all, "[LoadCom(0)]=", "#+0123456789012345678901234567890123\n"));
  EXPECT_EQ(all.defaults().load_command, "0123456789012345678901234567890");
  EXPECT_TRUE(read_terminal_setting(all, "[LoadCom(1)]=", "#+ab\tc"));
  EXPECT_EQ(all.for_port(0).load_command, all.defaults().load_command);  // COM1 is not valid yet
  EXPECT_TRUE(read_terminal_setting(all, "[Baud(1)(0)]=", "#+  -0"));
  EXPECT_EQ(all.for_port(0).load_command, "ab");
  const std::string before = write_terminal_settings(all);
  for (auto [key, value] : {std::pair{"[Baud(9)(0)]=", "#+1200"}, {"[Baud(2)(3)]=", "#+1200"},
                            {"[Speed(2)(0)]=", "#+1200"}, {"[Baud(2)(0)]=", "#+fast"},
                            {"[NewLine(2)]=", "#+7"}, {"[TextCol(-1)]=", "#+0"}, {"[Baud(2)(0)]=", "#"}})
    EXPECT_FALSE(read_terminal_setting(all, key, value)) << key << value;
  EXPECT_EQ(write_terminal_settings(all), before);
}

TEST(TerminalSettings, PortsBeyondCom8UseTheDefaultSlot) {
  TerminalSettings all;
  PortSettings s = all.for_port(8);
  EXPECT_EQ(s, all.for_port(0));
  s.back_colour = 1;
  all.store(8, s);
  all.store(200, s);
  EXPECT_EQ(all.for_port(8), all.for_port(0));
  EXPECT_EQ(write_terminal_settings(all).size(), write_terminal_settings(TerminalSettings{}).size());
}

TEST(ComMap, FileAndSystemPorts) {
  ComMap map = ComMap::parse("# ports\r\nCOM1=/dev/ttyUSB0\r\n COM3 = C:\\dev\\x \nCOM9=/dev/ttyS9\nCOMX=1\nrubbish\n");
  EXPECT_EQ(map.device(0), "/dev/ttyUSB0");
  EXPECT_EQ(map.device(1), "");
  EXPECT_EQ(map.device(2), "C:/dev/x");
  EXPECT_EQ(map.device(8), "");
  EXPECT_EQ(ComMap::parse(map.text()).text(), map.text());

  // A sysfs tty folder: two real UARTs among placeholders, USB and ACM ports.
  namespace fs = std::filesystem;
  fs::path sys = fs::temp_directory_path() / ("zun_tty_" + std::to_string(::getpid()));
  for (auto [name, type] : {std::pair{"ttyS10", "4"}, {"ttyS2", "4"}, {"ttyS1", "0"}, {"ttyUSB1", ""},
                            {"ttyUSB0", ""}, {"ttyACM0", ""}, {"tty5", nullptr}}) {
    fs::create_directories(sys / name);
    if (type) fs::create_directories(sys / name / "device");
    if (type && *type) std::ofstream(sys / name / "type") << type << "\n";
  }
  EXPECT_EQ(ComMap::system_ports(sys.string()),
            (std::vector<std::string>{"/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0"}));
  ComMap made;
  made.load((sys / "conf" / "ports.conf").string(), sys.string());
  EXPECT_EQ(made.device(1), "/dev/ttyS10");
  ComMap again;
  again.load((sys / "conf" / "ports.conf").string(), "/nonexistent");
  EXPECT_EQ(again.text(), made.text());
  fs::remove_all(sys);
}

}  // namespace
}  // namespace zun::term
