// Runs one runtime routine under run09 over a block of test vectors: a
// driver written for the routine's calling shape feeds every vector to it,
// records its results and whether it kept X, U, Y, DP, S and its operands,
// and the records are read back from a memory dump.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zun::rt_test {

// How a routine takes its operands and gives its result.
enum class Shape : uint8_t {
    Bin1,     // two 1-byte operands pushed, result in B
    Bin2,     // two 2-byte operands pushed, result in D
    Bin4,     // two 4-byte operands pushed, result in D:Y
    Un4,      // one 4-byte operand pushed, result in D:Y
    Cmp4,     // two 4-byte operands pushed, result in CC, D and Y kept
    Tst4,     // one 4-byte operand pushed, result in CC, D and Y kept
    RegsAB,   // operands in A and B, result in B (D)
    Shift32,  // 4-byte value pushed and shifted in place by the count in A
};

// Flag bits of a record: what the routine failed to keep.
enum : uint8_t {
    LostX = 1,
    LostU = 2,
    LostY = 4,
    LostDP = 8,
    LostS = 16,
    LostStack = 32,     // the word below the operands
    LostOperands = 64,  // the operands themselves
    LostD = 128,
};

struct Record {
    uint8_t flags = 0;
    uint8_t cc = 0;
    uint16_t d = 0;
    uint16_t y = 0;
    uint32_t value() const { return uint32_t(y) << 16 | d; }
};

// One vector's bytes, left operand first, each value high byte first; for
// Shift32 the 4-byte value then the count byte.
using Vector = std::vector<uint8_t>;

size_t vector_size(Shape shape);
Vector pack(Shape shape, uint32_t left, uint32_t right = 0);

// Runs routine over all vectors; on a tool failure fills error and returns
// an empty list. With debug the driver is assembled and linked with -g
// against the debug archive libccd.e09, as a Debug build links.
std::vector<Record> run_routine(const std::string& routine, Shape shape, const std::vector<Vector>& vectors,
                                std::string& error, bool debug = false);

// Vectors per routine: ZUN_RT_VECTORS when set, else a count that keeps the
// CI run short.
size_t vector_count(size_t ci_default);

using Model = std::function<uint32_t(uint32_t, uint32_t)>;

// Runs the routine over the operand pairs and fails with the first few
// vectors whose result (under mask) or kept registers differ from the model.
void expect_routine(const std::string& name, Shape shape, const std::vector<std::pair<uint32_t, uint32_t>>& cases,
                    const Model& model, uint32_t mask = 0xFFFFFFFFu);

// Random 32-bit values biased toward the edges (0, ±1, limits, single bits).
uint32_t edgy32(std::mt19937& rng);

}  // namespace zun::rt_test
