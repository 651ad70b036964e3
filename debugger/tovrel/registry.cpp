// The library's C interface: one registry maps handles to device objects. It
// is the library's only global state, as its callers address devices by plain
// integer handles through a C interface.
#include "debugger/tovrel/tovrel.h"

#include <cstring>
#include <map>
#include <memory>

namespace zun::tovrel {

namespace {

struct DeviceTypeRow {
  DeviceKind kind;
  const char* name;
  int32_t space;
  const char* description;
};

// The list GetIOList hands out: number, type name, addresses one instance
// occupies, description.
constexpr DeviceTypeRow device_types[] = {
    {DeviceKind::Terminal, "TERMINAL", 2, "Serial terminal (outside side of an ACIA)"},
    {DeviceKind::Leds,     "LEDS",     1, "8 LEDs"},
    {DeviceKind::Switches, "SWITCHES", 1, "8 switches"},
    {DeviceKind::PiaPanel, "PIAPANEL", 2, "PIA panel: lamps on side A, switches on side B"},
    {DeviceKind::Probe,    "PROBE",    8, "Scriptable probe for tests"},
};

constexpr int32_t library_version = 100;

struct Registry {
  std::map<int32_t, std::shared_ptr<Device>> devices;
  int32_t next_handle = 0;
};

Registry& registry() {
  static Registry r;
  return r;
}

std::string device_list() {
  std::string text;
  for (const auto& t : device_types) {
    text += std::to_string(int32_t(t.kind)) + "\t" + t.name + "\t" + std::to_string(t.space) + "\t" +
            t.description + "\r\n";
  }
  return text;
}

std::unique_ptr<Device> make_device(int32_t kind, std::string name) {
  switch (DeviceKind(kind)) {
  case DeviceKind::Terminal: return std::make_unique<SerialTerminal>(std::move(name));
  case DeviceKind::Leds: return std::make_unique<Leds>(std::move(name));
  case DeviceKind::Switches: return std::make_unique<Switches>(std::move(name));
  case DeviceKind::PiaPanel: return std::make_unique<PiaPanel>(std::move(name));
  case DeviceKind::Probe: return std::make_unique<Probe>(std::move(name));
  }
  return nullptr;
}

Device* live_device(int32_t handle) {
  Device* d = find_device(handle);
  return d && d->alive ? d : nullptr;
}

}  // namespace

std::shared_ptr<Device> share_device(int32_t handle) {
  auto& devices = registry().devices;
  auto it = devices.find(handle);
  return it == devices.end() ? nullptr : it->second;
}

Device* find_device(int32_t handle) {
  auto& devices = registry().devices;
  auto it = devices.find(handle);
  return it == devices.end() ? nullptr : it->second.get();
}

}  // namespace zun::tovrel

using namespace zun::tovrel;

extern "C" {

int32_t GetIOVersion(void) { return library_version; }

int32_t QueryIOListSize(void) { return static_cast<int32_t>(device_list().size()); }

int32_t GetIOList(char* buffer) {
  if (!buffer) return 0;
  std::string text = device_list();
  std::memcpy(buffer, text.data(), text.size());
  return static_cast<int32_t>(text.size());
}

int32_t OpenSim(int32_t device, const char* name, int32_t) {
  auto d = make_device(device, name ? name : "");
  if (!d) return -1;
  auto& r = registry();
  int32_t handle = r.next_handle++;
  r.devices.emplace(handle, std::move(d));
  return handle;
}

int32_t CloseSim(int32_t handle) {
  auto& devices = registry().devices;
  auto it = devices.find(handle);
  if (it == devices.end()) return 0;
  it->second->alive = false;
  devices.erase(it);
  return 1;
}

int32_t InputSim(int32_t handle, int32_t reg) {
  Device* d = live_device(handle);
  return d ? d->input(reg) : 0;
}

int32_t OutputSim(int32_t handle, int32_t value, int32_t reg) {
  Device* d = live_device(handle);
  if (!d) return 0;
  d->output(value, reg);
  return 1;
}

int32_t QuerySim(int32_t handle) { return live_device(handle) ? 1 : 0; }

int32_t GetOptionSim(int32_t handle) {
  Device* d = find_device(handle);
  return d ? d->option() : 0;
}

int32_t SetOptionSim(int32_t handle, int32_t option) {
  Device* d = find_device(handle);
  if (!d) return 0;
  d->set_option(option);
  return 1;
}

int32_t IsTovrPendingIrq(int32_t handle) {
  Device* d = live_device(handle);
  return d && d->irq_pending() ? 1 : 0;
}

int32_t PeekSim(int32_t handle, int32_t reg) {
  Device* d = live_device(handle);
  return d ? d->peek(reg) : -1;
}

}  // extern "C"
