// The reference arithmetic for the floating-point routine tests. Results
// are computed in double, where products of singles are exact and sums and
// quotients are rounded once; rounding that to 24 bits again gives the
// correctly rounded single (53 >= 2 * 24 + 2).
#include "tests/compiler/runtime/float_model.h"

#include <cmath>
#include <cstring>

namespace zun::rt_test {

namespace {

constexpr uint32_t sign_bit = 0x80000000u;
constexpr uint32_t default_nan = 0x7FC00000u;

bool is_nan(uint32_t x) { return (x & 0x7F800000u) == 0x7F800000u && (x & 0x007FFFFFu) != 0; }

uint32_t flush(uint32_t x) { return (x & 0x7F800000u) == 0 ? x & sign_bit : x; }

double to_double(uint32_t x) {
    float f;
    std::memcpy(&f, &x, 4);
    return f;
}

// Packs a finite double: a signed zero below FLT_MIN (before rounding),
// else rounded to 24 bits, nearest even, and infinity above the range.
uint32_t pack(double r) {
    uint32_t sign = std::signbit(r) ? sign_bit : 0;
    if (r == 0) return sign;
    if (std::isinf(r)) return sign | 0x7F800000u;
    int e = 0;
    double f = std::frexp(std::fabs(r), &e);  // [0.5, 1)
    if (e + 126 <= 0) return sign;            // flushed before rounding
    double s = std::ldexp(f, 24);
    double whole = std::floor(s);
    double rest = s - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) == 1.0)) whole += 1;
    if (whole == 16777216.0) {
        whole = 8388608.0;
        ++e;
    }
    int biased = e + 126;
    if (biased >= 255) return sign | 0x7F800000u;
    return sign | uint32_t(biased) << 23 | (uint32_t(whole) - 0x800000u);
}

uint32_t add_numbers(uint32_t a, uint32_t b) {
    double x = to_double(flush(a)), y = to_double(flush(b));
    if (std::isinf(x) && std::isinf(y) && std::signbit(x) != std::signbit(y)) return default_nan;
    return pack(x + y);
}

}  // namespace

uint32_t model_addf(uint32_t a, uint32_t b) {
    if (is_nan(a)) return a | 0x400000u;
    if (is_nan(b)) return b | 0x400000u;
    return add_numbers(a, b);
}

uint32_t model_subf(uint32_t a, uint32_t b) {
    if (is_nan(a)) return a | 0x400000u;
    if (is_nan(b)) return b | 0x400000u;
    return add_numbers(a, b ^ sign_bit);
}

uint32_t model_mulf(uint32_t a, uint32_t b) {
    if (is_nan(a)) return a | 0x400000u;
    if (is_nan(b)) return b | 0x400000u;
    double x = to_double(flush(a)), y = to_double(flush(b));
    if ((std::isinf(x) && y == 0) || (x == 0 && std::isinf(y))) return default_nan;
    return pack(x * y);
}

uint32_t model_divf(uint32_t a, uint32_t b) {
    if (is_nan(a)) return a | 0x400000u;
    if (is_nan(b)) return b | 0x400000u;
    double x = to_double(flush(a)), y = to_double(flush(b));
    if ((x == 0 && y == 0) || (std::isinf(x) && std::isinf(y))) return default_nan;
    return pack(x / y);
}

uint32_t model_sltof(uint32_t a) { return pack(double(int32_t(a))); }
uint32_t model_ultof(uint32_t a) { return pack(double(a)); }

uint32_t model_ftosl(uint32_t a) {
    if (is_nan(a)) return 0;
    double v = std::trunc(to_double(flush(a)));
    if (v >= 2147483648.0) return 0x7FFFFFFFu;
    if (v <= -2147483648.0) return 0x80000000u;
    return uint32_t(int32_t(v));
}

uint32_t model_ftoul(uint32_t a) {
    if (is_nan(a)) return 0;
    double v = std::trunc(to_double(flush(a)));
    if (v <= 0) return 0;
    if (v >= 4294967296.0) return 0xFFFFFFFFu;
    return uint32_t(v);
}

uint8_t model_cmpf(uint32_t a, uint32_t b) {
    if (is_nan(a) || is_nan(b)) return 0x0A;
    double x = to_double(flush(a)), y = to_double(flush(b));
    if (x == y) return 0x04;
    return x < y ? 0x09 : 0x00;
}

}  // namespace zun::rt_test
