// Driver generation, tool runs and dump parsing for the runtime routine tests.
#include "tests/compiler/runtime/rt_harness.h"

#include "common/format.h"
#include "tests/tools/tool_run.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace zun::rt_test {

namespace {

// Memory plan of a test program: code from 0x1000, vectors from 0x3000,
// records from 0x8000, the stack below 0xDF00.
constexpr uint32_t vectors_at = 0x3000;
constexpr uint32_t records_at = 0x8000;
constexpr uint32_t stack_top = 0xDF00;
constexpr size_t record_size = 6;
constexpr size_t vectors_per_run = 2000;

constexpr const char* script =
    "-R text:0x1000\n"
    "-R vectors:0x3000\n"
    "-R records:0x8000\n"
    "entry ( start )\n"
    "memory ( rwx, 0x0000, 0xE000 )\n";

size_t operand_bytes(Shape s) {
    switch (s) {
    case Shape::Bin1: return 2;
    case Shape::Bin2: return 4;
    case Shape::Bin4: return 8;
    case Shape::Cmp4: return 8;
    case Shape::Un4: return 4;
    case Shape::Tst4: return 4;
    case Shape::RegsAB: return 0;
    case Shape::Shift32: return 4;
    }
    return 0;
}

bool keeps_y(Shape s) { return s != Shape::Bin4 && s != Shape::Un4; }

// Pushes the operands the way compiled code does: right operand first,
// each 4-byte value low word first, so the left operand ends on top.
std::string push_code(Shape s) {
    switch (s) {
    case Shape::Bin1: return "\tLDB\t1,X\n\tPSHS\tB\n\tLDB\t,X\n\tPSHS\tB\n";
    case Shape::Bin2: return "\tLDD\t2,X\n\tPSHS\tD\n\tLDD\t,X\n\tPSHS\tD\n";
    case Shape::Bin4:
    case Shape::Cmp4:
        return "\tLDD\t6,X\n\tPSHS\tD\n\tLDD\t4,X\n\tPSHS\tD\n\tLDD\t2,X\n\tPSHS\tD\n\tLDD\t,X\n\tPSHS\tD\n";
    case Shape::Un4:
    case Shape::Tst4:
    case Shape::Shift32: return "\tLDD\t2,X\n\tPSHS\tD\n\tLDD\t,X\n\tPSHS\tD\n";
    case Shape::RegsAB: return "";
    }
    return "";
}

std::string register_code(Shape s) {
    switch (s) {
    case Shape::RegsAB: return "\tLDD\t,X\n";
    case Shape::Shift32: return "\tLDA\t4,X\n";
    case Shape::Cmp4:
    case Shape::Tst4: return "\tLDD\t#$7E81\n";
    default: return "";
    }
}

std::string check(const std::string& test, int bit, int n) {
    return format("%s\n\tBEQ\tok%d\n\tLDA\tfl\n\tORA\t#%d\n\tSTA\tfl\nok%d:\n", test.c_str(), n, bit, n);
}

std::string driver_source(const std::string& routine, Shape s, size_t count) {
    size_t ops = operand_bytes(s);
    std::string t;
    t += "\tSEGMENT\ttext\n\tEXPORT\tstart\n\tIMPORT\t" + routine + "\n";
    t += format("start:\tLDS\t#$%X\n", stack_top);
    t += "\tLDD\t#vecs\n\tSTD\tvp\n\tLDD\t#recs\n\tSTD\trp\n";
    t += format("\tLDD\t#%u\n\tSTD\tcnt\n", unsigned(count));
    t += "next:\tLDX\tvp\n\tLDD\t#$C3A5\n\tPSHS\tD\n";
    t += push_code(s);
    t += "\tLDA\t#$5A\n\tTFR\tA,DP\n";
    t += register_code(s);
    t += "\tLDY\t#$6996\n\tLDU\t#$3CC3\n\tLDX\t#$A55A\n";
    t += "\tJSR\t" + routine + "\n";
    t += "\tPSHS\tCC,A,B\n\tCLR\tfl\n";
    t += check("\tCMPX\t#$A55A", LostX, 1);
    t += check("\tCMPU\t#$3CC3", LostU, 2);
    if (keeps_y(s)) t += check("\tCMPY\t#$6996", LostY, 3);
    t += check("\tTFR\tDP,B\n\tCMPB\t#$5A", LostDP, 4);
    t += check(format("\tCMPS\t#$%X", unsigned(stack_top - 2 - ops - 3)), LostS, 5);
    t += check(format("\tLDX\t%u,S\n\tCMPX\t#$C3A5", unsigned(3 + ops)), LostStack, 6);
    if (ops && s != Shape::Shift32) {
        t += format("\tLDX\tvp\n\tLEAU\t3,S\n\tLDB\t#%u\n", unsigned(ops));
        t += "cmpop:\tLDA\t,X+\n\tCMPA\t,U+\n\tBNE\tbadop\n\tDECB\n\tBNE\tcmpop\n\tBRA\tok7\n";
        t += format("badop:\tLDA\tfl\n\tORA\t#%d\n\tSTA\tfl\nok7:\n", LostOperands);
    }
    t += "\tLDX\trp\n\tLDA\tfl\n\tSTA\t,X\n\tLDA\t,S\n\tSTA\t1,X\n";
    if (s == Shape::Shift32)
        t += "\tLDD\t5,S\n\tSTD\t2,X\n\tLDD\t3,S\n\tSTD\t4,X\n";
    else
        t += "\tLDD\t1,S\n\tSTD\t2,X\n\tSTY\t4,X\n";
    t += format("\tLEAX\t%u,X\n\tSTX\trp\n", unsigned(record_size));
    t += format("\tLDX\tvp\n\tLEAX\t%u,X\n\tSTX\tvp\n", unsigned(vector_size(s)));
    t += format("\tLDS\t#$%X\n\tCLRA\n\tTFR\tA,DP\n", stack_top);
    t += "\tLDD\tcnt\n\tSUBD\t#1\n\tSTD\tcnt\n\tLBNE\tnext\n";
    t += "done:\tBRA\tdone\n";
    t += "vp:\tRMB\t2\nrp:\tRMB\t2\ncnt:\tRMB\t2\nfl:\tRMB\t1\n";
    t += "\tSEGMENT\trecords\nrecs:\tRMB\t1\n";
    t += "\tSEGMENT\tvectors\nvecs:\n";
    return t;
}

std::string data_lines(const std::vector<Vector>& vectors, size_t from, size_t count) {
    std::string t;
    for (size_t i = from; i < from + count; ++i) {
        t += "\tFCB\t";
        for (size_t k = 0; k < vectors[i].size(); ++k) t += format(k ? ",$%02X" : "$%02X", vectors[i][k]);
        t += "\n";
    }
    return t;
}

int run_command(const std::string& command) { return std::system(command.c_str()); }

using zun::test::read_whole;

// Parses the "XXXX: hh hh ..." lines of run09's dump into bytes from 'from'.
std::vector<uint8_t> parse_dump(const std::string& text, uint32_t from, size_t size) {
    std::vector<uint8_t> bytes(size);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() < 5 || line[4] != ':') continue;
        uint32_t addr = uint32_t(std::stoul(line.substr(0, 4), nullptr, 16));
        std::istringstream fields(line.substr(5));
        std::string byte;
        for (; fields >> byte; ++addr)
            if (addr >= from && addr < from + size) bytes[addr - from] = uint8_t(std::stoul(byte, nullptr, 16));
    }
    return bytes;
}

}  // namespace

size_t vector_size(Shape s) {
    switch (s) {
    case Shape::Bin1: return 2;
    case Shape::Bin2: return 4;
    case Shape::Bin4:
    case Shape::Cmp4: return 8;
    case Shape::Un4:
    case Shape::Tst4: return 4;
    case Shape::RegsAB: return 2;
    case Shape::Shift32: return 5;
    }
    return 0;
}

Vector pack(Shape s, uint32_t left, uint32_t right) {
    auto be32 = [](Vector& v, uint32_t x) {
        for (int k = 24; k >= 0; k -= 8) v.push_back(uint8_t(x >> k));
    };
    Vector v;
    switch (s) {
    case Shape::Bin1:
    case Shape::RegsAB: return {uint8_t(left), uint8_t(right)};
    case Shape::Bin2: return {uint8_t(left >> 8), uint8_t(left), uint8_t(right >> 8), uint8_t(right)};
    case Shape::Bin4:
    case Shape::Cmp4: be32(v, left); be32(v, right); return v;
    case Shape::Un4:
    case Shape::Tst4: be32(v, left); return v;
    case Shape::Shift32: be32(v, left); v.push_back(uint8_t(right)); return v;
    }
    return v;
}

std::vector<Record> run_routine(const std::string& routine, Shape s, const std::vector<Vector>& vectors,
                                std::string& error, bool debug) {
    const char* stage_env = std::getenv("ZUN_STAGE");
    fs::path stage = stage_env ? stage_env : "build/stage";
    fs::path bin = stage / "bin";
    fs::path lib = stage / "lib" / "zun09";
    zun::test::TempDir work;
    const fs::path& dir = work.path;
    std::ofstream(dir / "t.lsc") << script;
    std::vector<Record> records;
    for (size_t from = 0; from < vectors.size() && error.empty(); from += vectors_per_run) {
        size_t n = std::min(vectors_per_run, vectors.size() - from);
        std::ofstream(dir / "d.s09") << driver_source(routine, s, n) << data_lines(vectors, from, n);
        std::string d = dir.string();
        const char* g = debug ? "-g " : "";
        std::string cmd = format("cd '%s' && '%s' %sd.s09 >log 2>&1 && '%s' %s-od.s19 -i t.lsc -L '%s' -l %s d.o09 >>log 2>&1",
                                 d.c_str(), (bin / "hasm09").c_str(), g, (bin / "vlk").c_str(), g, lib.c_str(),
                                 debug ? "libccd.e09" : "libcc.e09");
        if (run_command(cmd) != 0) {
            error = "build of the driver failed:\n" + read_whole(dir / "log");
            break;
        }
        uint32_t last = records_at + uint32_t(n * record_size) - 1;
        cmd = format("cd '%s' && '%s' --max 200000000 --dump %X-%X d.s19 >out 2>dump", d.c_str(), (bin / "run09").c_str(),
                     records_at, last);
        if (run_command(cmd) != 0) {
            error = "run09 failed:\n" + read_whole(dir / "dump").substr(0, 2000);
            break;
        }
        std::vector<uint8_t> bytes = parse_dump(read_whole(dir / "dump"), records_at, n * record_size);
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* r = &bytes[i * record_size];
            records.push_back({r[0], r[1], uint16_t(r[2] << 8 | r[3]), uint16_t(r[4] << 8 | r[5])});
        }
    }
    if (!error.empty()) records.clear();
    return records;
}

size_t vector_count(size_t ci_default) {
    const char* v = std::getenv("ZUN_RT_VECTORS");
    if (!v || !*v) return ci_default;
    return size_t(std::strtoul(v, nullptr, 10));
}

uint32_t edgy32(std::mt19937& rng) {
    static constexpr uint32_t edges[] = {0,          1,          2,          0x7F,       0x80,       0xFF,
                                         0x100,      0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF,
                                         0x80000000, 0x80000001, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFF0000, 0x0000FFFF};
    switch (rng() % 8) {
    case 0: return edges[rng() % std::size(edges)];
    case 1: return uint32_t(1) << (rng() % 32);
    case 2: return uint32_t(int32_t(rng() % 512) - 256);
    case 3: return rng() >> (rng() % 32);
    default: return rng();
    }
}

void expect_routine(const std::string& name, Shape shape, const std::vector<std::pair<uint32_t, uint32_t>>& cases,
                    const Model& model, uint32_t mask) {
    std::vector<Vector> vectors;
    for (auto [l, r] : cases) vectors.push_back(pack(shape, l, r));
    std::string error;
    std::vector<Record> got = run_routine(name, shape, vectors, error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(got.size(), cases.size());
    int reported = 0;
    for (size_t i = 0; i < cases.size() && reported < 5; ++i) {
        auto [l, r] = cases[i];
        uint32_t want = model(l, r) & mask;
        uint32_t have = got[i].value() & mask;
        if (have != want || got[i].flags != 0) {
            ++reported;
            ADD_FAILURE() << name << std::hex << " (" << l << ", " << r << "): got " << have << " want " << want
                          << " flags " << int(got[i].flags);
        }
    }
}

}  // namespace zun::rt_test
