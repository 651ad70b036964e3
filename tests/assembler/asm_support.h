// Runs the assembler library on a source text in a fresh temporary folder and
// collects what it wrote, for the assembler's tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/tools/tool_run.h"

namespace zun::hasm::test {

using zun::test::read_whole;

struct AsmRun {
  int rc = 0;
  std::string out;
  std::string err;
  std::string object;   // the .o09 text, empty when none was written
  std::string listing;  // the .lst text, empty without -L
};

// Assembles `source` as "t.s09" with the options in `args` (placed before the
// file name). `files` are written into the folder first (name -> text).
AsmRun assemble(const std::string& source, const std::vector<std::string>& args = {},
                const std::map<std::string, std::string>& files = {});

// The code bytes of one segment, from its C records in order.
std::vector<uint8_t> segment_bytes(const std::string& object, const std::string& segment);

// Hex text "86 12" -> bytes.
std::vector<uint8_t> hex_bytes(const std::string& text);

// Lines of `text` that begin with `prefix`, in order.
std::vector<std::string> records(const std::string& text, const std::string& prefix);

}  // namespace zun::hasm::test
