// tovrel: the outside I/O-simulator library. The simulated board reaches
// devices that are not on the board (a serial terminal, lamps, switches, a
// panel, a test probe) only through the twelve C functions below; the device
// models behind them are C++ objects that a program's views may look at.
//
// Conventions of the C interface:
// - every argument and result is a 32-bit int, text arguments are char*;
// - OpenSim returns a handle of 0 or more, -1 on failure; handles are never
//   reused within a run; every function accepts -1 and closed handles and
//   then does nothing (QuerySim, InputSim and the others answer 0);
// - "zero means nothing arrived": where the board polls a device for input
//   (an ACIA's receive side, a PIA's input pins) a result of 0 means no data,
//   and any non-zero result carries the byte in its low 8 bits. A device that
//   has a NUL byte or all-zero pins to deliver answers 0x100 | byte.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
int32_t GetIOVersion(void);
// Length of the device list text, without a terminating 0.
int32_t QueryIOListSize(void);
// Writes the list into a buffer of at least QueryIOListSize() bytes: one line
// per device type, "number TAB name TAB space TAB description CR LF".
int32_t GetIOList(char* buffer);
int32_t OpenSim(int32_t device, const char* name, int32_t reserved);
int32_t CloseSim(int32_t handle);
int32_t InputSim(int32_t handle, int32_t reg);
int32_t OutputSim(int32_t handle, int32_t value, int32_t reg);
// Non-zero while the instance is alive.
int32_t QuerySim(int32_t handle);
int32_t GetOptionSim(int32_t handle);
int32_t SetOptionSim(int32_t handle, int32_t option);
int32_t IsTovrPendingIrq(int32_t handle);
// What InputSim of the register would give (its low 8 bits), asked without
// changing the instance; -1 when the device cannot answer without a change
// (reading takes a byte from it) and for -1 and closed handles. Views of
// memory ask this; programs never do.
int32_t PeekSim(int32_t handle, int32_t reg);
}

namespace zun::tovrel {

// Device numbers in the library's list.
enum class DeviceKind : int32_t { Terminal = 1, Leds = 2, Switches = 3, PiaPanel = 4, Probe = 5 };

class Device {
public:
  Device(DeviceKind kind, std::string name) : kind(kind), name(std::move(name)) {}
  virtual ~Device() = default;
  virtual int32_t input(int32_t reg) = 0;
  virtual void output(int32_t value, int32_t reg) = 0;
  // The byte input() would give, without a change; -1 when reading the
  // register changes the device (the default).
  virtual int32_t peek(int32_t reg) const { return -1; }
  bool irq_pending() const { return irq; }
  // The option is saved in target descriptors; its meaning is the device's.
  virtual int32_t option() const { return option_value; }
  virtual void set_option(int32_t value) { option_value = value; }
  // A device whose view the user closed is gone: QuerySim answers 0.
  void go_away() { alive = false; }

  const DeviceKind kind;
  const std::string name;  // the instance name given to OpenSim ("$E028")
  // Cleared when the view is closed and when CloseSim drops the instance, so
  // whoever still holds the object sees it gone.
  bool alive = true;
  // The interrupt line: set and cleared by the device as its state changes,
  // so asking needs no call into the device. Only a device that says it
  // `interrupts` ever raises it.
  bool irq = false;
  bool interrupts = false;
  // Clear while input() would answer 0 and change nothing, so a caller that
  // polls on every step may skip the call. Devices that do not keep it up to
  // date leave it set.
  bool input_pending = true;
  // Bumped on every change a view would show.
  uint64_t revision = 0;

protected:
  int32_t option_value = 0;
};

// The outside side of an ACIA. Register 0 read: the next typed byte, offered
// only after `option` polls (default 300, about one character time of a
// 9600-baud line for a 1 MHz MC6809) since the last one was taken, so a
// program that keeps up with the real line sees no overrun. Register 0 write:
// the board took the byte. Register 1 write: a byte the program sent.
class SerialTerminal : public Device {
public:
  explicit SerialTerminal(std::string name) : Device(DeviceKind::Terminal, std::move(name)) {
    update_input_pending();
  }
  int32_t input(int32_t reg) override;
  void output(int32_t value, int32_t reg) override;
  // Register 0 hands over a typed byte: it has no such read.
  int32_t peek(int32_t reg) const override { return reg == 0 ? -1 : 0; }
  void set_option(int32_t value) override;
  void type_text(std::string_view bytes);
  std::string take_output();
  bool has_output() const { return !sent.empty(); }
  size_t pending_input() const { return typed.size(); }
  int32_t gap() const { return option_value > 0 ? option_value : 300; }

private:
  void update_input_pending() { input_pending = !typed.empty() || polls_since_taken < gap(); }
  std::deque<uint8_t> typed;
  std::string sent;
  int32_t polls_since_taken = 1 << 30;
};

// Eight lamps driven by writes to register 0; they drive nothing back.
class Leds : public Device {
public:
  explicit Leds(std::string name) : Device(DeviceKind::Leds, std::move(name)) {}
  int32_t input(int32_t reg) override { return 0; }
  void output(int32_t value, int32_t reg) override;
  int32_t peek(int32_t reg) const override { return 0; }
  uint8_t lamps = 0;
};

// Eight switches, read at every register.
class Switches : public Device {
public:
  explicit Switches(std::string name) : Device(DeviceKind::Switches, std::move(name)) {}
  int32_t input(int32_t reg) override { return 0x100 | state; }
  void output(int32_t value, int32_t reg) override {}
  int32_t peek(int32_t reg) const override { return state; }
  void set(uint8_t bits);
  uint8_t state = 0;
};

// A PIA's outside side: lamps on side A (register 0), switches on side B
// (register 1).
class PiaPanel : public Device {
public:
  explicit PiaPanel(std::string name) : Device(DeviceKind::PiaPanel, std::move(name)) {}
  int32_t input(int32_t reg) override { return reg == 1 ? 0x100 | switches : 0; }
  void output(int32_t value, int32_t reg) override;
  int32_t peek(int32_t reg) const override { return reg == 1 ? switches : 0; }
  void set_switches(uint8_t bits);
  uint8_t lamps = 0, switches = 0;
};

// A scriptable device for tests: reads take queued values per register (then
// the register's default), every call is logged, the interrupt line (`irq`)
// is set by hand.
class Probe : public Device {
public:
  struct Event {
    bool output;   // false: input
    int32_t reg;
    int32_t value; // the value written, or the value the input returned
    bool operator==(const Event&) const = default;
  };
  explicit Probe(std::string name) : Device(DeviceKind::Probe, std::move(name)) { interrupts = true; }
  int32_t input(int32_t reg) override;
  void output(int32_t value, int32_t reg) override;
  // The value the next input() would take, neither taken nor logged.
  int32_t peek(int32_t reg) const override;
  void queue(int32_t reg, int32_t value);
  void set_default(int32_t reg, int32_t value);

  std::vector<Event> log;

private:
  std::vector<std::deque<int32_t>> queued = std::vector<std::deque<int32_t>>(8);
  std::vector<int32_t> defaults = std::vector<int32_t>(8, 0);
};

// The device model behind a handle, or nullptr for -1 and closed handles.
Device* find_device(int32_t handle);
// The same, shared: the object outlives CloseSim for whoever keeps it (the
// board's cached connections, the device windows) and then reads as gone.
std::shared_ptr<Device> share_device(int32_t handle);

template <class T>
T* find(int32_t handle) {
  return dynamic_cast<T*>(find_device(handle));
}

}  // namespace zun::tovrel
