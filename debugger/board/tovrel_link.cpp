// The board's link to the real I/O-simulator library: each method forwards to
// the C function of the same name.
#include "debugger/board/board.h"
#include "debugger/tovrel/tovrel.h"

namespace zun {

int32_t TovrelLibrary::get_io_version() { return GetIOVersion(); }
int32_t TovrelLibrary::query_io_list_size() { return QueryIOListSize(); }
int32_t TovrelLibrary::get_io_list(char* buffer) { return GetIOList(buffer); }
int32_t TovrelLibrary::open_sim(int32_t device, const char* name, int32_t zero) { return OpenSim(device, name, zero); }
int32_t TovrelLibrary::close_sim(int32_t handle) { return CloseSim(handle); }
int32_t TovrelLibrary::input_sim(int32_t handle, int32_t reg) { return InputSim(handle, reg); }
int32_t TovrelLibrary::output_sim(int32_t handle, int32_t value, int32_t reg) { return OutputSim(handle, value, reg); }
int32_t TovrelLibrary::query_sim(int32_t handle) { return QuerySim(handle); }
int32_t TovrelLibrary::get_option_sim(int32_t handle) { return GetOptionSim(handle); }
int32_t TovrelLibrary::set_option_sim(int32_t handle, int32_t option) { return SetOptionSim(handle, option); }
int32_t TovrelLibrary::is_tovr_pending_irq(int32_t handle) { return IsTovrPendingIrq(handle); }
int32_t TovrelLibrary::peek_sim(int32_t handle, int32_t reg) { return PeekSim(handle, reg); }
std::shared_ptr<tovrel::Device> TovrelLibrary::direct(int32_t handle) { return tovrel::share_device(handle); }

}  // namespace zun
