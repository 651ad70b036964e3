// Shared between the board's source files: the address constants of the map.
#pragma once
#include <cstdint>

namespace zun::board_detail {

constexpr uint32_t ram_end = 0xE000;      // RAM is 0x0000 .. ram_end - 1
constexpr uint32_t attached_end = 0xE020; // attached window 0xE000 .. 0xE01F
constexpr uint32_t rom_base = 0xE100;     // ROM is rom_base .. 0xFFFF
constexpr uint32_t onboard_window_first = 0xE020, onboard_window_last = 0xE0FF;

}  // namespace zun::board_detail
