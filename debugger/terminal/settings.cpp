// The terminal settings slots: the default slot, one slot per port COM1 to
// COM8, the CPU-kind setter that resets them, and the "#+" key and value
// lines through which the project file keeps them.
#include <climits>

#include "common/format.h"
#include "debugger/terminal/terminal.h"

namespace zun::term {

namespace {

// The defaults of the boards the kinds stand for.
struct KindDefaults {
  int first, last;
  uint32_t baud;
  const char* load_command;  // null: unchanged
  int enter, receive;
};
constexpr KindDefaults kind_table[] = {
    {10, 10, 9600, "l\\r", 2, 2},      {11, 11, 9600, "l\\n\\r", 2, 2}, {12, 14, 9600, "l\\n", 1, 1},
    {15, 16, 9600, "l\\n", 2, 2},      {17, 20, 4800, "l\\r", 2, 1},    {24, 24, 115200, nullptr, 2, 2},
};

// The serial keys in the order they are written.
enum class Key : uint8_t { Baud, Dtr, Rts, Cts, Dsr, ByteS, Parity, StopB, EXonO, EXonI };
constexpr const char* serial_keys[] = {"Baud", "Dtr", "Rts", "Cts", "Dsr", "ByteS", "Parity", "StopB", "EXonO", "EXonI"};

int32_t serial_value(const SerialSettings& r, Key key) {
  switch (key) {
    case Key::Baud: return int32_t(r.baud);
    case Key::Dtr: return r.dtr();
    case Key::Rts: return r.rts();
    case Key::Cts: return r.flow & flow_cts ? 1 : 0;
    case Key::Dsr: return r.flow & flow_dsr ? 1 : 0;
    case Key::ByteS: return r.data_bits;
    case Key::Parity: return r.parity;
    case Key::StopB: return r.stop_bits;
    case Key::EXonO: return r.flow & flow_xon_out ? 1 : 0;
    case Key::EXonI: return r.flow & flow_xon_in ? 1 : 0;
  }
  return 0;
}

void set_flow_bit(SerialSettings& r, uint32_t bit, int32_t value) {
  r.flow = value & 1 ? r.flow | bit : r.flow & ~bit;
}

void set_serial_value(SerialSettings& r, Key key, int32_t v) {
  switch (key) {
    case Key::Baud: r.baud = uint32_t(v); break;
    case Key::Dtr: r.set_dtr(v); break;
    case Key::Rts: r.set_rts(v); break;
    case Key::Cts: set_flow_bit(r, flow_cts, v); break;
    case Key::Dsr: set_flow_bit(r, flow_dsr, v); break;
    case Key::ByteS: r.data_bits = uint8_t(v); break;
    case Key::Parity: r.parity = uint8_t(v); break;
    case Key::StopB: r.stop_bits = uint8_t(v); break;
    case Key::EXonO: set_flow_bit(r, flow_xon_out, v); break;
    case Key::EXonI: set_flow_bit(r, flow_xon_in, v); break;
  }
}

// The five keys of a slot that carry one number n.
void write_slot_head(std::string& out, int n, const PortSettings& s) {
  out += format("#+[BackCol(%d)]=\n#+%d\n", n, int32_t(s.back_colour));
  out += format("#+[TextCol(%d)]=\n#+%d\n", n, int32_t(s.text_colour));
  out += format("#+[NewLine(%d)]=\n#+%d\n", n, s.enter_translation);
  out += format("#+[LineFeed(%d)]=\n#+%d\n", n, s.receive_translation);
  out += format("#+[LoadCom(%d)]=\n#+%s\n", n, s.load_command.c_str());
}

// A decimal number with optional blanks and sign in front; values beyond
// 32 bits are held at the limit.
bool scan_int(std::string_view& text, long long& value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  size_t digits = i;
  long long v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) v = std::min<long long>(v * 10 + (text[i] - '0'), 1LL << 32);
  if (i == digits) return false;
  value = negative ? -v : v;
  text.remove_prefix(i);
  return true;
}

// "[<name>(n)]" or "[<name>(n)(m)]" at the start of the key text.
bool match_key(std::string_view key, std::string_view name, int numbers, long long& n, long long& m) {
  if (key.size() < name.size() + 2 || key[0] != '[' || key.substr(1, name.size()) != name) return false;
  key.remove_prefix(name.size() + 1);
  for (int i = 0; i < numbers; ++i) {
    if (key.empty() || key[0] != '(') return false;
    key.remove_prefix(1);
    if (!scan_int(key, i == 0 ? n : m) || key.empty() || key[0] != ')') return false;
    key.remove_prefix(1);
  }
  return !key.empty() && key[0] == ']';
}

}  // namespace

int TerminalSettings::set_cpu_kind(int kind) {
  cpu_kind_ = kind;
  const KindDefaults* row = nullptr;
  for (const KindDefaults& k : kind_table)
    if (kind >= k.first && kind <= k.last) row = &k;
  if (!row) return -1;
  SerialSettings& r = default_.records[0];
  r.baud = row->baud;
  if (row->load_command) default_.load_command = row->load_command;
  default_.enter_translation = row->enter;
  default_.receive_translation = row->receive;
  r.line_control = 0;
  r.flow = 0;
  default_.back_colour = default_back_colour;
  default_.text_colour = 0;
  r.data_bits = 8;
  r.parity = 0;
  r.stop_bits = 0;
  for (Slot& s : slots_) s = Slot{};
  return 0;
}

PortSettings TerminalSettings::for_port(int port_index) const {
  if (port_index >= 0 && port_index < port_slots && slots_[size_t(port_index)].valid)
    return slots_[size_t(port_index)].settings;
  PortSettings s = default_;
  s.records.fill(default_.records[0]);
  return s;
}

bool TerminalSettings::valid(int port_index) const {
  return port_index >= 0 && port_index < port_slots && slots_[size_t(port_index)].valid;
}

void TerminalSettings::store(int port_index, const PortSettings& settings) {
  if (port_index < 0 || port_index >= port_slots) return;
  Slot& slot = slots_[size_t(port_index)];
  slot.settings = settings;
  slot.seeded = slot.valid = true;
}

PortSettings& TerminalSettings::touch_slot(int n) {
  Slot& slot = slots_[size_t(n - 1)];
  if (!slot.seeded) {
    slot.settings = for_port(-1);
    slot.seeded = true;
  }
  return slot.settings;
}

void TerminalSettings::mark_valid(int n) {
  touch_slot(n);
  slots_[size_t(n - 1)].valid = true;
}

std::string write_terminal_settings(const TerminalSettings& all) {
  std::string out;
  const PortSettings& d = all.default_;
  write_slot_head(out, 0, d);
  for (size_t k = 0; k < std::size(serial_keys); ++k)
    out += format("#+[%s(0)(0)]=\n#+%d\n", serial_keys[k], serial_value(d.records[0], Key(k)));
  for (int n = 1; n <= TerminalSettings::port_slots; ++n) {
    const auto& slot = all.slots_[size_t(n - 1)];
    if (!slot.valid) continue;
    write_slot_head(out, n, slot.settings);
    for (size_t k = 0; k < std::size(serial_keys); ++k)
      for (int m = 0; m < 3; ++m)
        out += format("#+[%s(%d)(%d)]=\n#+%d\n", serial_keys[k], n, m,
                      serial_value(slot.settings.records[size_t(m)], Key(k)));
  }
  return out;
}

bool read_terminal_setting(TerminalSettings& all, std::string_view key, std::string_view value_line) {
  if (value_line.size() < 2) return false;
  std::string_view value = value_line.substr(2);
  long long n = 0, m = 0;
  static constexpr const char* slot_keys[] = {"NewLine", "LineFeed", "BackCol", "TextCol", "LoadCom"};
  int slot_key = -1, serial_key = -1;
  for (int i = 0; i < 5 && slot_key < 0; ++i)
    if (match_key(key, slot_keys[i], 1, n, m)) slot_key = i;
  for (int i = 0; i < 10 && slot_key < 0 && serial_key < 0; ++i)
    if (match_key(key, serial_keys[i], 2, n, m)) serial_key = i;
  if ((slot_key < 0 && serial_key < 0) || n < 0 || n > TerminalSettings::port_slots) return false;

  long long v = 0;
  std::string text;
  if (slot_key == 4) {
    for (char c : value) {
      if (static_cast<unsigned char>(c) < 32 || text.size() == load_command_max) break;
      text += c;
    }
  } else if (!scan_int(value, v)) {
    return false;
  }
  if ((slot_key == 0 || slot_key == 1) && (v < 0 || v > 2)) return false;
  if (serial_key >= 0 && n > 0 && (m < 0 || m > 2)) return false;

  PortSettings& s = n == 0 ? all.defaults() : all.touch_slot(int(n));
  switch (slot_key) {
    case 0: s.enter_translation = int(v); return true;
    case 1: s.receive_translation = int(v); return true;
    case 2: s.back_colour = uint32_t(v); return true;
    case 3: s.text_colour = uint32_t(v); return true;
    case 4: s.load_command = text; return true;
    default: break;
  }
  set_serial_value(s.records[n == 0 ? 0 : size_t(m)], Key(serial_key), int32_t(uint32_t(v)));
  if (n > 0 && Key(serial_key) == Key::Baud) all.mark_valid(int(n));
  return true;
}

}  // namespace zun::term
