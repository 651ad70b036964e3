// Host model of the runtime library's IEEE single arithmetic: round to
// nearest even, subnormals flushed to zero on the way in and out, NaNs
// passed through made quiet, 0x7FC00000 for invalid operations, saturating
// conversions. Values are raw 32-bit patterns.
#pragma once

#include <cstdint>

namespace zun::rt_test {

uint32_t model_addf(uint32_t a, uint32_t b);
uint32_t model_subf(uint32_t a, uint32_t b);
uint32_t model_mulf(uint32_t a, uint32_t b);
uint32_t model_divf(uint32_t a, uint32_t b);
uint32_t model_sltof(uint32_t a);
uint32_t model_ultof(uint32_t a);
uint32_t model_ftosl(uint32_t a);
uint32_t model_ftoul(uint32_t a);
// N, Z, V, C of the compare as the routine leaves them.
uint8_t model_cmpf(uint32_t a, uint32_t b);

}  // namespace zun::rt_test
