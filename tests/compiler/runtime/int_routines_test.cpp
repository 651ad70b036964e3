// The integer runtime routines under run09 against host arithmetic: add,
// subtract, logic, shifts, multiply, divide and remainder of every size,
// and the 32-bit compare, over edge and random vectors.
#include "tests/compiler/runtime/rt_harness.h"

#include <functional>
#include <gtest/gtest.h>

namespace zun::rt_test {
namespace {

std::vector<std::pair<uint32_t, uint32_t>> cases32(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::pair<uint32_t, uint32_t>> v;
    for (size_t i = 0; i < n; ++i) v.emplace_back(edgy32(rng), edgy32(rng));
    return v;
}

// Every pair of 8-bit values when the full count asks for it, else a spread.
std::vector<std::pair<uint32_t, uint32_t>> cases8(size_t n) {
    std::vector<std::pair<uint32_t, uint32_t>> v;
    size_t step = n >= 65536 ? 1 : 65536 / n;
    for (size_t k = 0; k < 65536; k += step) v.emplace_back(k >> 8, k & 0xFF);
    for (uint32_t e : {0u, 1u, 0x7Fu, 0x80u, 0x81u, 0xFFu})
        for (uint32_t f : {0u, 1u, 0x7Fu, 0x80u, 0xFEu, 0xFFu}) v.emplace_back(e, f);
    return v;
}

int32_t s32(uint32_t x) { return int32_t(x); }

// Truncating division with the library's answers for a zero divisor and
// for the one overflowing quotient.
template <typename S, typename U>
U div_model(U l, U r, bool is_signed, bool remainder) {
    if (r == 0) return remainder ? l : U(~U(0));
    if (!is_signed) return remainder ? U(l % r) : U(l / r);
    S a = S(l), b = S(r);
    if (b == -1) return remainder ? U(0) : U(U(0) - l);
    return remainder ? U(a % b) : U(a / b);
}

TEST(RuntimeInt, AddSubLogic32) {
    auto c = cases32(vector_count(10000), 1);
    expect_routine("add32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return l + r; }, ~0u);
    expect_routine("sub32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return l - r; }, ~0u);
    expect_routine("and32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return l & r; }, ~0u);
    expect_routine("or32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return l | r; }, ~0u);
    expect_routine("eor32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return l ^ r; }, ~0u);
}

TEST(RuntimeInt, Shifts32) {
    std::mt19937 rng(2);
    std::vector<std::pair<uint32_t, uint32_t>> c;
    for (size_t i = 0; i < vector_count(10000); ++i) {
        uint32_t count = rng() % 4 ? rng() % 40 : edgy32(rng);
        c.emplace_back(edgy32(rng), count);
    }
    expect_routine("shl32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return r >= 32 ? 0 : l << r; }, ~0u);
    expect_routine("shru32", Shape::Bin4, c, [](uint32_t l, uint32_t r) { return r >= 32 ? 0 : l >> r; }, ~0u);
    expect_routine(
        "shrs32", Shape::Bin4, c,
        [](uint32_t l, uint32_t r) { return uint32_t(s32(l) >> (r >= 32 ? 31 : r)); }, ~0u);
}

TEST(RuntimeInt, Shift32InPlace) {
    std::mt19937 rng(3);
    std::vector<std::pair<uint32_t, uint32_t>> c;
    for (int a : {0, 1, -1, 31, -31, 32, -32, 127, -127, -128}) c.emplace_back(0x80000001u, uint32_t(uint8_t(a)));
    for (size_t i = 0; i < vector_count(10000); ++i) c.emplace_back(edgy32(rng), uint8_t(rng() % 4 ? rng() % 80 - 40 : rng()));
    expect_routine("SHIFT32", Shape::Shift32, c,
                   [](uint32_t l, uint32_t r) {
                       int n = int8_t(r);
                       if (n >= 32 || n <= -32) return 0u;
                       return n >= 0 ? l >> n : l << -n;
                   },
                   ~0u);
}

TEST(RuntimeInt, Multiply) {
    auto c8 = cases8(vector_count(10000));
    auto mul = [](uint32_t l, uint32_t r) { return uint32_t(int8_t(l) * int8_t(r)); };
    expect_routine("MULS8", Shape::RegsAB, c8, mul, 0xFFFF);
    expect_routine("muls8", Shape::RegsAB, c8, mul, 0xFF);
    auto c32 = cases32(vector_count(10000), 4);
    expect_routine("muls16", Shape::Bin2, c32, [](uint32_t l, uint32_t r) { return l * r; }, 0xFFFF);
    expect_routine("mulu16", Shape::Bin2, c32, [](uint32_t l, uint32_t r) { return l * r; }, 0xFFFF);
    expect_routine("muls32", Shape::Bin4, c32, [](uint32_t l, uint32_t r) { return l * r; }, ~0u);
    expect_routine("mulu32", Shape::Bin4, c32, [](uint32_t l, uint32_t r) { return l * r; }, ~0u);
}

TEST(RuntimeInt, Divide8) {
    auto c = cases8(vector_count(10000));
    for (bool sgn : {false, true})
        for (bool rem : {false, true})
            expect_routine(std::string(rem ? "mod" : "div") + (sgn ? "s8" : "u8"), Shape::Bin1, c,
                           [=](uint32_t l, uint32_t r) { return div_model<int8_t, uint8_t>(l, r, sgn, rem); }, 0xFF);
}

TEST(RuntimeInt, Divide16) {
    auto c = cases32(vector_count(10000), 5);
    for (size_t i = 0; i < c.size(); i += 4) c[i].second %= 7;  // small divisors, zero among them
    for (bool sgn : {false, true})
        for (bool rem : {false, true})
            expect_routine(std::string(rem ? "mod" : "div") + (sgn ? "s16" : "u16"), Shape::Bin2, c,
                           [=](uint32_t l, uint32_t r) { return div_model<int16_t, uint16_t>(l, r, sgn, rem); },
                           0xFFFF);
}

TEST(RuntimeInt, Divide32) {
    auto c = cases32(vector_count(10000), 6);
    for (size_t i = 0; i < c.size(); i += 3) c[i].second >>= c[i].first % 32;  // quotients of every length
    for (bool sgn : {false, true})
        for (bool rem : {false, true})
            expect_routine(std::string(rem ? "mod" : "div") + (sgn ? "s32" : "u32"), Shape::Bin4, c,
                           [=](uint32_t l, uint32_t r) { return div_model<int32_t, uint32_t>(l, r, sgn, rem); }, ~0u);
}

// The answer of cmp32 as N, Z, V, C; D and Y must come back unchanged.
TEST(RuntimeInt, Compare32) {
    auto c = cases32(vector_count(10000), 7);
    for (size_t i = 0; i < c.size(); i += 5) c[i].second = c[i].first;
    for (size_t i = 1; i < c.size(); i += 5) c[i].second = c[i].first ^ 1;
    for (size_t i = 2; i < c.size(); i += 5) c[i].second = c[i].first ^ 0x10000;
    std::vector<Vector> vectors;
    for (auto [l, r] : c) vectors.push_back(pack(Shape::Cmp4, l, r));
    std::string error;
    auto got = run_routine("cmp32", Shape::Cmp4, vectors, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(got.size(), c.size());
    int reported = 0;
    for (size_t i = 0; i < c.size() && reported < 5; ++i) {
        auto [l, r] = c[i];
        uint8_t want = (s32(l) < s32(r) ? 8 : 0) | (l == r ? 4 : 0) | (l < r ? 1 : 0);
        // I and F as the reset left them: the routine must not open interrupts.
        want |= 0x50;
        if ((got[i].cc & 0x5F) != want || got[i].d != 0x7E81 || got[i].flags != 0) {
            ++reported;
            ADD_FAILURE() << std::hex << "cmp32 (" << l << ", " << r << "): cc " << int(got[i].cc) << " want "
                          << int(want) << " d " << got[i].d << " flags " << int(got[i].flags);
        }
    }
}

}  // namespace
}  // namespace zun::rt_test
