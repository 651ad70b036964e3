// The floating-point runtime routines under run09 against the host model:
// add, subtract, multiply, divide, the conversions from and to long, and
// the compare and test, over special values (zeros, subnormals, limits,
// infinities, NaNs), rounding ties and random patterns.
#include "tests/compiler/runtime/float_model.h"
#include "tests/compiler/runtime/rt_harness.h"

#include <functional>
#include <gtest/gtest.h>

namespace zun::rt_test {
namespace {

using Pairs = std::vector<std::pair<uint32_t, uint32_t>>;

constexpr uint32_t specials[] = {
    0x00000000, 0x80000000, 0x00000001, 0x807FFFFF, 0x00400000,  // zeros and subnormals
    0x00800000, 0x80800000, 0x00800001, 0x7F7FFFFF, 0xFF7FFFFF,  // limits
    0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00000, 0x7F800001,  // infinities, NaNs
    0x7FBFFFFF, 0x3F800000, 0xBF800000, 0x3F000000, 0x40000000,  // 1, -1, 0.5, 2
    0x4F000000, 0xCF000000, 0x4F800000, 0x4EFFFFFF, 0x4F7FFFFF,  // around 2^31 and 2^32
    0xCF000001, 0x3FFFFFFF, 0x00FFFFFF, 0x34000000, 0x33800000,  // 2^-23, 2^-24
    0x3F7FFFFE, 0x3F7FFFFF, 0xBF7FFFFF, 0x3F800001, 0x7F000000,  // around 1; 2^127
};

uint32_t random_float(std::mt19937& rng) {
    switch (rng() % 6) {
    case 0: return specials[rng() % std::size(specials)];
    case 1: return rng();
    // Exponents near 1.0, where sums and products stay in range.
    default: return (rng() & 0x807FFFFFu) | (100u + rng() % 55) << 23;
    }
}

// Pairs whose second value is near the first: equal, negated, a few units
// in the last place away, or a few binades below (rounding ties, carries
// and cancellations), and pairs of short mantissas.
Pairs float_pairs(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Pairs v;
    for (uint32_t a : specials)
        for (uint32_t b : specials) v.emplace_back(a, b);
    while (v.size() < n) {
        uint32_t a = random_float(rng);
        uint32_t b = random_float(rng);
        switch (rng() % 6) {
        case 0: b = a ^ (rng() % 2 ? 0x80000000u : 0); break;
        case 1: b = a + rng() % 5 - 2; break;
        case 2: {
            uint32_t exp = (a >> 23) & 0xFF;
            uint32_t k = rng() % 30;
            if (exp > k + 1) b = (b & 0x807FFFFFu) | (exp - k) << 23;
            break;
        }
        // Short mantissas: exact products and sums, and ties to round.
        case 3:
            a &= 0xFFFFF800u;
            b &= 0xFFFFF800u;
            break;
        default: break;
        }
        v.emplace_back(a, b);
    }
    return v;
}

TEST(RuntimeFloat, AddSubtract) {
    Pairs c = float_pairs(vector_count(10000), 11);
    // Small values whose difference falls under FLT_MIN, and large ones
    // whose sum passes FLT_MAX.
    std::mt19937 rng(18);
    for (size_t i = 0; i < c.size() / 8; ++i) {
        uint32_t e = i % 2 ? 1 + rng() % 3 : 252 + rng() % 3;
        c.emplace_back((rng() & 0x807FFFFFu) | e << 23, (rng() & 0x807FFFFFu) | (e + rng() % 2) << 23);
    }
    expect_routine("addf", Shape::Bin4, c, model_addf);
    expect_routine("subf", Shape::Bin4, c, model_subf);
}

TEST(RuntimeFloat, Multiply) {
    Pairs c = float_pairs(vector_count(10000), 12);
    // Products that land at the edges of the range: around FLT_MIN, where
    // they flush, and around FLT_MAX, where they overflow.
    std::mt19937 rng(13);
    for (size_t n = c.size() / 4; n > 0;) {
        int target = rng() % 2 ? 126 + int(rng() % 4) : 379 + int(rng() % 4);
        int ea = 1 + int(rng() % 254), eb = target - ea;
        if (eb < 1 || eb > 254) continue;
        c.emplace_back((rng() & 0x807FFFFFu) | uint32_t(ea) << 23, (rng() & 0x807FFFFFu) | uint32_t(eb) << 23);
        --n;
    }
    expect_routine("mulf", Shape::Bin4, c, model_mulf);
}

TEST(RuntimeFloat, Divide) {
    Pairs c = float_pairs(vector_count(10000), 14);
    // Quotients around FLT_MIN and FLT_MAX.
    std::mt19937 rng(19);
    for (size_t n = c.size() / 4; n > 0;) {
        int diff = rng() % 2 ? -127 + int(rng() % 4) : 126 + int(rng() % 4);
        int ea = 1 + int(rng() % 254), eb = ea - diff;
        if (eb < 1 || eb > 254) continue;
        c.emplace_back((rng() & 0x807FFFFFu) | uint32_t(ea) << 23, (rng() & 0x807FFFFFu) | uint32_t(eb) << 23);
        --n;
    }
    expect_routine("divf", Shape::Bin4, c, model_divf);
}

TEST(RuntimeFloat, ConvertFromLong) {
    std::mt19937 rng(15);
    Pairs c;
    for (size_t i = 0; i < vector_count(10000); ++i) {
        uint32_t x = edgy32(rng);
        // Values just past 24 bits, where ties and carries happen.
        if (i % 4 == 0) x = (0x1000000u + rng() % 64) << (rng() % 8);
        c.emplace_back(x, 0);
    }
    expect_routine("sltof", Shape::Un4, c, [](uint32_t a, uint32_t) { return model_sltof(a); });
    expect_routine("ultof", Shape::Un4, c, [](uint32_t a, uint32_t) { return model_ultof(a); });
}

TEST(RuntimeFloat, ConvertToLong) {
    std::mt19937 rng(16);
    Pairs c;
    for (uint32_t s : specials) c.emplace_back(s, 0);
    while (c.size() < vector_count(10000)) {
        uint32_t x = rng() % 3 ? (rng() & 0x807FFFFFu) | (120u + rng() % 40) << 23 : random_float(rng);
        c.emplace_back(x, 0);
    }
    expect_routine("ftosl", Shape::Un4, c, [](uint32_t a, uint32_t) { return model_ftosl(a); });
    expect_routine("ftoul", Shape::Un4, c, [](uint32_t a, uint32_t) { return model_ftoul(a); });
}

// The compare answers in N, Z, V, C and gives D and Y back unchanged.
void expect_flags(const std::string& name, Shape shape, const Pairs& cases) {
    std::vector<Vector> vectors;
    for (auto [l, r] : cases) vectors.push_back(pack(shape, l, r));
    std::string error;
    std::vector<Record> got = run_routine(name, shape, vectors, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(got.size(), cases.size());
    int reported = 0;
    for (size_t i = 0; i < cases.size() && reported < 5; ++i) {
        auto [l, r] = cases[i];
        uint8_t want = model_cmpf(l, shape == Shape::Tst4 ? 0 : r) | 0x50;
        if ((got[i].cc & 0x5F) != want || got[i].d != 0x7E81 || got[i].flags != 0) {
            ++reported;
            ADD_FAILURE() << name << std::hex << " (" << l << ", " << r << "): cc " << int(got[i].cc) << " want "
                          << int(want) << " d " << got[i].d << " flags " << int(got[i].flags);
        }
    }
}

TEST(RuntimeFloat, CompareAndTest) {
    Pairs c = float_pairs(vector_count(10000), 17);
    expect_flags("cmpf", Shape::Cmp4, c);
    expect_flags("tstf", Shape::Tst4, c);
}

// A few answers typed from the IEEE format, so that the model itself is
// held to known values.
TEST(RuntimeFloat, ModelKnownValues) {
    EXPECT_EQ(model_addf(0x3F800000, 0x3F800000), 0x40000000u);  // 1 + 1 = 2
    EXPECT_EQ(model_addf(0x3F800000, 0x33800000), 0x3F800000u);  // 1 + 2^-24: tie, stays even
    EXPECT_EQ(model_addf(0x3F800001, 0x33800000), 0x3F800002u);  // odd: rounds up
    EXPECT_EQ(model_subf(0x3F800000, 0x3F800000), 0x00000000u);  // exact cancellation is +0
    EXPECT_EQ(model_addf(0x80000000, 0x80000000), 0x80000000u);  // -0 + -0
    EXPECT_EQ(model_mulf(0x00800000, 0x3F000000), 0x00000000u);  // FLT_MIN / 2 flushes
    EXPECT_EQ(model_mulf(0x807FFFFF, 0x3F800000), 0x80000000u);  // a subnormal operand is -0
    EXPECT_EQ(model_mulf(0x00800001, 0x3F7FFFFE), 0x00000000u);  // FLT_MIN * (1 - 2^-46): flushed, not rounded up
    EXPECT_EQ(model_mulf(0x7F800000, 0x00000000), 0x7FC00000u);  // inf * 0
    EXPECT_EQ(model_mulf(0x7F800001, 0x3F800000), 0x7FC00001u);  // NaN made quiet
    EXPECT_EQ(model_divf(0xBF800000, 0x00000000), 0xFF800000u);  // -1 / 0
    EXPECT_EQ(model_divf(0x00000001, 0x00000001), 0x7FC00000u);  // subnormals are zeros: 0/0
    EXPECT_EQ(model_sltof(0x01000001), 0x4B800000u);             // 2^24 + 1: tie to even
    EXPECT_EQ(model_ultof(0xFFFFFFFF), 0x4F800000u);             // rounds up to 2^32
    EXPECT_EQ(model_ftosl(0xCF000000), 0x80000000u);
    EXPECT_EQ(model_ftosl(0x4F000000), 0x7FFFFFFFu);             // 2^31 saturates
    EXPECT_EQ(model_ftoul(0xBF800000), 0u);                      // negative gives 0
    EXPECT_EQ(model_ftoul(0x4F800000), 0xFFFFFFFFu);
    EXPECT_EQ(model_ftosl(0xC0600000), 0xFFFFFFFDu);             // -3.5 truncates to -3
    EXPECT_EQ(model_cmpf(0x7FC00000, 0x7FC00000), 0x0A);         // NaN is unordered with itself
    EXPECT_EQ(model_cmpf(0x80000000, 0x00000000), 0x04);         // -0 == +0
}

}  // namespace
}  // namespace zun::rt_test
