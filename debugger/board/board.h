// The simulated KY09 board around the CPU: 56 KB RAM, the I/O page and 8 KB
// ROM, the on-board chips (MC6840 timer, two MC6850 ACIAs, two MC6821 PIAs,
// floppy latch and WD2795 pass-throughs), the table of attached outside
// devices and the target descriptor files that save it.
// Outside devices are reached only through IoLibrary; the CPU reaches the
// board only through zun::Bus.
#pragma once
#include "debugger/board/board_internal.h"
#include "debugger/cpu/bus.h"
#include "debugger/tovrel/tovrel.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zun {

// The outside I/O-simulator library, one method per function it exports.
// All values are 32-bit; -1 is the handle of no instance.
class IoLibrary {
public:
  virtual ~IoLibrary() = default;
  virtual int32_t get_io_version() = 0;
  virtual int32_t query_io_list_size() = 0;
  virtual int32_t get_io_list(char* buffer) = 0;
  virtual int32_t open_sim(int32_t device, const char* name, int32_t zero) = 0;
  virtual int32_t close_sim(int32_t handle) = 0;
  virtual int32_t input_sim(int32_t handle, int32_t reg) = 0;
  virtual int32_t output_sim(int32_t handle, int32_t value, int32_t reg) = 0;
  virtual int32_t query_sim(int32_t handle) = 0;
  virtual int32_t get_option_sim(int32_t handle) = 0;
  virtual int32_t set_option_sim(int32_t handle, int32_t option) = 0;
  virtual int32_t is_tovr_pending_irq(int32_t handle) = 0;
  // What input_sim would give, without a change to the instance; -1 when it
  // cannot say (the default, for a library without such a read).
  virtual int32_t peek_sim(int32_t handle, int32_t reg) { return -1; }
  // The device object behind a handle, for the board to keep and ask
  // directly on every step; nullptr (the default) makes the board use the
  // calls above. A library that answers the calls differently from its
  // device objects must not hand them out.
  virtual std::shared_ptr<tovrel::Device> direct(int32_t handle) { return nullptr; }
};

// The real library, linked at load time.
class TovrelLibrary : public IoLibrary {
public:
  int32_t get_io_version() override;
  int32_t query_io_list_size() override;
  int32_t get_io_list(char* buffer) override;
  int32_t open_sim(int32_t device, const char* name, int32_t zero) override;
  int32_t close_sim(int32_t handle) override;
  int32_t input_sim(int32_t handle, int32_t reg) override;
  int32_t output_sim(int32_t handle, int32_t value, int32_t reg) override;
  int32_t query_sim(int32_t handle) override;
  int32_t get_option_sim(int32_t handle) override;
  int32_t set_option_sim(int32_t handle, int32_t option) override;
  int32_t is_tovr_pending_irq(int32_t handle) override;
  int32_t peek_sim(int32_t handle, int32_t reg) override;
  std::shared_ptr<tovrel::Device> direct(int32_t handle) override;
};

// ---- chips ----

class Mc6840 {
public:
  void reset();
  // Counts the cycles elapsed since the last update; called before every
  // instruction, so the common case (held in reset) is kept inline.
  void update(uint32_t cycle_counter) {
    uint32_t elapsed = cycle_counter - last_update;
    // Refreshed also while held in reset, so that leaving reset does not
    // count the whole time spent in it as one huge step.
    last_update = cycle_counter;
    if (!(cr[0] & 0x01)) count(elapsed);
  }
  void count(uint32_t elapsed);
  // Cycles after last_update within which update() takes no counter below
  // zero, so that it may wait that long: one more than the smallest counter
  // of the timers that count, or no limit.
  uint32_t quiet_span() const {
    uint32_t span = UINT32_MAX;
    if (cr[0] & 0x01) return span;
    for (int t = 0; t < 3; ++t)
      if (((cr[t] >> 2) & 0x0F) == 0x4) span = std::min(span, uint32_t(counter[t]) + 1);
    return span;
  }
  uint8_t read(int reg);
  uint8_t peek(int reg) const;
  void write(int reg, uint8_t value);
  bool irq() const { return enabled && (status & 0x80) != 0; }

  std::array<uint8_t, 3> cr{};          // CR1, CR2, CR3
  std::array<uint16_t, 3> latch{};
  std::array<uint16_t, 3> counter{};
  uint8_t status = 0;                   // bits 0-2 timer 1-3, bit 7 composite
  // Flag-clearing sequence per timer: 0 idle, 3 flag set, 2 status read while
  // set, 1 high counter byte read; the low byte read then clears the flag.
  std::array<uint8_t, 3> stage{};
  bool enabled = true;
  uint32_t last_update = 0;
};

class Mc6850 {
public:
  enum : uint8_t { RDRF = 0x01, TDRE = 0x02, OVRN = 0x20, IRQ = 0x80 };
  void reset();
  uint8_t read(int reg);
  uint8_t peek(int reg) const;
  void write(int reg, uint8_t value);
  void receive(uint8_t byte);
  // The byte to send to the outside side, if the CPU wrote one.
  std::optional<uint8_t> transmit() {
    if (!transmit_due()) return std::nullopt;
    return take_transmit();
  }
  bool transmit_due() const { return activity == 2 && !(status & TDRE); }
  uint8_t take_transmit();
  bool irq() const { return (status & IRQ) != 0; }

  uint8_t control = 0, status = 0, tx_data = 0, rx_data = 0;
  bool tx_irq_armed = false, rx_irq_pending = false;
  int activity = 0;  // 0 not connected, 1 connected before master reset, 2 running
};

class Mc6821 {
public:
  void reset();
  uint8_t read(int reg) const;
  void write(int reg, uint8_t value);
  void input(int side, uint8_t value);

  uint8_t cra = 0, crb = 0, ddra = 0, ddrb = 0, ora = 0, orb = 0;
  uint8_t pins_a = 0, pins_b = 0;
  bool changed_a = false, changed_b = false;
  bool present = false;
};

// ---- on-board device table ----

enum class Onboard : int { Acia2, Acia1, Pia1, Pia2, FdcLatch, FdcControl, Timer, Count };

struct OnboardRow {
  uint16_t base;
  int registers;
  const char* name;
  int32_t connection;  // -1 free, -2 never connectable, else the outside handle
};

// ---- attached outside devices ----

struct DeviceType {
  uint32_t space = 0;        // addresses one instance occupies
  std::string name;          // at most 15 characters
  std::string description;   // at most 63 characters
};

// One outside instance as the board reaches it on every step: through the
// device object when the library hands it out (no lookup by handle), else
// through the library's calls. Bound lazily to the handle it serves.
struct IoPort {
  int32_t handle = -1;
  std::shared_ptr<tovrel::Device> device;
};

struct DeviceSlot {
  uint32_t base = 0;
  int32_t handle = -1;         // -1: free
  uint32_t device = 0;         // index into the device type table
  bool setup = false;          // connected during the board setup dialog still open
  int32_t onboard = -1;        // on-board row it stands in for, -1 none
};

constexpr int device_slot_count = 20;
constexpr int device_type_count = 15;

enum class RunMode : uint8_t { Stopped, Slow, Fast };

struct DescriptorResult {
  bool ok = true;
  std::string message;  // the error box text when not ok
};

class Board : public Bus {
public:
  explicit Board(IoLibrary& io);
  // The bus's pages point into this board's memory.
  Board(const Board&) = delete;
  Board& operator=(const Board&) = delete;

  // ---- memory_map.cpp ----
  int board_read(uint32_t addr, uint8_t& out) override;
  int board_write(uint32_t addr, uint8_t value) override;
  // What a read would give, without touching a chip or an outside device;
  // 0 where that cannot be known (board_look), 0xFF at an invalid address.
  uint8_t board_peek(uint32_t addr) const {
    return addr < board_detail::ram_end ? ram[addr] : peek_above_ram(addr);
  }
  // What a view of memory shows: what a read would give, asked without a
  // change to a chip or an outside device; nothing where that cannot be
  // known (an outside device whose read takes something from it) and at an
  // invalid address.
  std::optional<uint8_t> board_look(uint32_t addr) const;
  void board_clear_memory();
  static bool board_is_io_page(uint32_t addr) { return addr >= 0xE000 && addr < 0xE100; }
  static bool board_is_onboard(uint32_t addr) { return addr >= 0xE020 && addr < 0xE100; }
  // RAM, or ROM while writable: where the loader may store.
  bool is_loadable(uint32_t addr) const;
  void board_configuration_set(int n);
  int board_configuration_get();
  bool board_irq_pending() const { return timer.irq() || acia[1].irq() || acia[0].irq(); }

  // ---- onboard.cpp ----
  void onboard_rewind() { onboard_cursor = 0; }
  bool onboard_next(uint16_t& base, int32_t& connection, const char*& name);
  int32_t onboard_connection(int index) const;
  uint16_t onboard_base(int index) const;
  void onboard_connect(int index, int32_t handle);
  int32_t onboard_release(int index);
  void onboard_reset_connections();
  void board_reset_devices();
  void reset_timer() { timer.reset(); }
  // Cycles a step stands for: stopped 3, running slowly 1800, fast 180.
  uint32_t step_cycles() const {
    static constexpr uint32_t cycles[] = {3, 1800, 180};
    return cycles[int(run_mode)];
  }
  // Around every instruction: time advances, the outside devices are polled
  // for input and what the chips wrote goes out. Rows without a connection and
  // chips with nothing to send cost a comparison each; the rest is out of line.
  void device_pre_step() {
    cycle_counter += step_cycles();
    timer.update(cycle_counter);
    if (poll_due(Onboard::Acia1) || poll_due(Onboard::Acia2) || poll_due(Onboard::Pia1) ||
        poll_due(Onboard::Pia2))
      poll_outside();
  }
  void device_post_step() {
    if (send_due) send_outside();
  }

  // Quiet steps. While no chip or outside device requests an interrupt, has
  // input to be polled or output to be sent, a step needs nothing of them but
  // the cycles it stands for; the timer's update may wait until a counter is
  // due to go below zero (quiet_cycles from now) or the program reaches for
  // the timer, and is made at the latest when the quiet steps end.
  // devices_quiet tells whether that holds now (and starts watching for
  // decoded_access); it holds until an instruction reaches past the bus's
  // pages or the timer is updated.
  bool devices_quiet();
  uint32_t quiet_cycles() const { return timer.quiet_span() - (cycle_counter - timer.last_update); }
  // Brings the timer up to the cycle counter.
  void update_timer() { timer.update(cycle_counter); }
  // Set by every access that the bus's pages do not serve.
  bool decoded_access = false;

  // ---- attached.cpp ----
  void load_device_types();
  int dev_open(uint32_t device, uint32_t base, int32_t option);
  void dev_release(int slot);
  void dev_close_all();
  void dev_purge();
  void dev_end_setup(bool commit);
  // Asked before every instruction: the occupied slots in slot order (free
  // ones, handle -1, would answer 0), through their device objects when the
  // library hands them out.
  bool dev_irq_pending() {
    if (!irq_lines_direct) return irq_through_library();
    for (int k = 0; k < irq_line_count; ++k)
      if (irq_lines[k]->alive && irq_lines[k]->irq_pending()) return true;
    return false;
  }
  int dev_find_by_handle(int32_t handle) const;
  int find_slot(uint32_t addr) const;
  // Disconnects the slot's on-board chip, closes the instance and frees the slot.
  void dev_detach(int slot);
  // The base typed for a new device ("$E010", "e010"): the address, or the
  // message that refuses it. With `outside_only` (a device attached on its
  // own rather than for an on-board chip) only the window the board routes to
  // outside devices, 0xE000-0xE01F, is accepted: anywhere else the device
  // could never be reached.
  std::optional<uint32_t> check_new_base(const std::string& text, std::string& message,
                                         bool outside_only = false) const;

  // ---- descriptor.cpp ----
  void descriptor_read(std::istream& in);
  void descriptor_write(std::ostream& out);
  // With `remember` clear the file's devices are opened but it does not
  // become the current descriptor (the board's own default).
  DescriptorResult descriptor_load(const std::string& path, bool remember = true);
  DescriptorResult descriptor_save(const std::string& path);
  void sim_set_descriptor(const std::string& path);
  const std::string& sim_descriptor_name();

  IoLibrary& io;
  std::vector<uint8_t> ram;   // 0x0000-0xDFFF
  std::vector<uint8_t> rom;   // 0xE100-0xFFFF
  bool rom_writable = false;
  bool stop_on_device_access = false;
  RunMode run_mode = RunMode::Stopped;
  // Break on IO refuses a device access while running (not while stepping).
  bool refuses_device_access() const { return stop_on_device_access && run_mode != RunMode::Stopped; }
  // Set by a refused device access; the engine takes the instruction back
  // and stops. Until it is cleared no write reaches memory either, so an
  // instruction that got no device value stores nothing with it.
  bool stop_requested = false;
  void clear_stop_request() {
    stop_requested = false;
    map_pages(true);
  }
  uint32_t cycle_counter = 0;
  int configuration = 1;

  // Set by every chip register write (the only way a chip gets something to
  // send) and by the device reset; cleared once the exchange after the
  // instruction has sent what there was.
  bool send_due = false;

  Mc6840 timer;
  std::array<Mc6850, 2> acia;        // [0] ACIA 2 at 0xE024, [1] ACIA 1 at 0xE028
  std::array<Mc6821, 2> pia;         // [0] PIA 1 at 0xE048, [1] PIA 2 at 0xE050
  bool fdc_present = false;
  std::array<uint8_t, 4> fdc_reg{};
  std::array<bool, 4> fdc_pending{};
  std::array<OnboardRow, 7> onboard;
  int onboard_cursor = 0;

  std::array<DeviceSlot, device_slot_count> slots;
  std::array<DeviceType, device_type_count> types;
  bool types_parsed = false;
  int last_opened_device = -1, last_opened_slot = -1;
  std::string descriptor_path;   // canonical, '/' separators; empty: none
  std::string descriptor_name;

private:
  // RAM and ROM as the bus's pages: read directly, and RAM written directly
  // unless a refused access holds the writes back (`writes` clear).
  void map_pages(bool writes);
  uint8_t peek_above_ram(uint32_t addr) const;
  std::optional<uint8_t> look_outside(int32_t handle, int32_t reg) const;
  // Everything outside the pages, decoded address by address.
  int read_decoded(uint32_t addr, uint8_t& out);
  int write_decoded(uint32_t addr, uint8_t value);
  void poll_outside();
  void send_outside();
  bool device_access_refused();
  IoPort& bind(IoPort& port, int32_t handle);
  // Whether the on-board row's outside instance lives; a dead one drops the
  // connection. The input and output go to a live connection. Asked around
  // every instruction, so the common cases are inline.
  bool alive(Onboard row) {
    int32_t& connection = onboard[int(row)].connection;
    if (connection < 0) return false;
    const IoPort& port = onboard_ports[int(row)];
    if (port.handle != connection || !port.device) return alive_through_library(row);
    if (port.device->alive) return true;
    connection = -1;
    return false;
  }
  bool alive_through_library(Onboard row);
  // Whether the row's poll may do anything: it has a connection, and its
  // device object is not known to be alive with nothing to deliver.
  bool poll_due(Onboard row) const {
    int32_t connection = onboard[int(row)].connection;
    if (connection < 0) return false;
    const IoPort& port = onboard_ports[int(row)];
    return port.handle != connection || !port.device || !port.device->alive || port.device->input_pending;
  }
  // False only when the device object says input() would do nothing.
  bool input_pending(Onboard row) const {
    const IoPort& port = onboard_ports[int(row)];
    return !port.device || port.device->input_pending;
  }
  int32_t onboard_input(Onboard row, int32_t reg) {
    const IoPort& port = onboard_ports[int(row)];
    return port.device ? port.device->input(reg) : io.input_sim(port.handle, reg);
  }
  void onboard_output(Onboard row, int32_t value, int32_t reg) {
    const IoPort& port = onboard_ports[int(row)];
    if (port.device)
      port.device->output(value, reg);
    else
      io.output_sim(port.handle, value, reg);
  }
  bool slot_alive(int slot);
  bool irq_through_library();
  // Rebuilds irq_lines after a slot was taken or freed.
  void collect_irq_lines();
  // The on-board row and register offset of an address, if a chip decodes it.
  std::optional<std::pair<Onboard, int>> decode_onboard(uint16_t addr) const;
  uint8_t read_onboard(uint16_t addr);
  void write_onboard(uint16_t addr, uint8_t value);
  uint8_t read_attached(uint16_t addr);
  void write_attached(uint16_t addr, uint8_t value);
  void release_dead_slot(int slot);
  void parse_device_list(const char* text);

  std::array<IoPort, int(Onboard::Count)> onboard_ports;
  std::array<IoPort, device_slot_count> slot_ports;
  // The device objects of the occupied slots that can interrupt, in slot
  // order; unused while a slot's library hands out none (irq_lines_direct
  // clear).
  std::array<const tovrel::Device*, device_slot_count> irq_lines{};
  int irq_line_count = 0;
  bool irq_lines_direct = true;
};

}  // namespace zun
