// The compiler's built-in type lines, and a load-file debug tail of the size
// of a large program: every module with those lines, two structures, five
// functions with locals, globals and statics, and its share of the execution
// points.
#pragma once
#include <string>
#include <vector>

#include "common/format.h"
#include "debugger/sld/sld.h"

namespace zun::sld {

// The built-in type lines the compiler writes into every module, without
// their "SX:C:T:" record prefix: " typ0 V (-1)" to " typ15 P (2)".
inline std::vector<std::string> builtin_type_lines() {
  const char* builtins[] = {"V (-1)", "L (4)", "l (4)", "C (1)", "c (1)", "S (2)",
                            "s (2)",  "g (4)", "G (4)", "h (4)", "R (2)", "I (2)",
                            "i (2)",  "E (2)", "F (0)", "P (2)"};
  std::vector<std::string> lines;
  for (int i = 0; i < 16; ++i) lines.push_back(format(" typ%d %s", i, builtins[i]));
  return lines;
}

inline std::string synthetic_load_file(const std::string& source_dir, int modules, int points) {
  std::string out = "S0030000FC\nS9031000EC\nSX:C:s:_f0_0\n";
  for (int m = 0; m < modules; ++m) {
    out += format("SX:C:M:m%d$%s/m%d.c\n", m, source_dir.c_str(), m);
    for (int f = 0; f < 5; ++f) {
      out += format("SX:C:S:F:m%d:f%d_%d:_f%d_%d:(typ11)(typ16-m%d)\n", m, m, f, m, f, m);
      out += format("SX:C:S:L:m%d:f%d_%d:p:4:(typ18-m%d)\n", m, m, f, m);
      out += format("SX:C:S:L:m%d:f%d_%d:i:0:(typ11)\n", m, m, f);
    }
    for (const std::string& line : builtin_type_lines()) out += "SX:C:T:" + line + "\n";
    out += format("SX:C:T:m%d: typ16-m%d Z (6)S node%d {\\\nnext:(0):(typ18-m%d);\\\n"
                  "value:(2):(typ11);\\\nrest:(4):(typ17-m%d);\\\n}\n", m, m, m, m, m);
    out += format("SX:C:T:m%d: typ17-m%d Z (2)S flags {\\\nready:(2,0:1):(typ19-m%d);\\\n"
                  "mode:(2,1:3):(typ19-m%d);\\\n}\n", m, m, m, m);
    out += format("SX:C:T:m%d: typ18-m%d a *(typ16-m%d)\n", m, m, m);
    out += format("SX:C:T:m%d: typ19-m%d B (2,1:0)\n", m, m);
    out += format("SX:C:T:m%d: typ20-m%d A (20)*(typ3)\n", m, m);
  }
  int per_module = points / modules;
  for (int m = 0; m < modules; ++m) {
    uint32_t base = 0x1000 + static_cast<uint32_t>(m * per_module * 4);
    for (int f = 0; f < 5; ++f) {
      uint32_t start = base + static_cast<uint32_t>(f * per_module / 5 * 4);
      uint32_t end = start + static_cast<uint32_t>(per_module / 5 * 4);
      out += format("SX:C:F:m%d:_f%d_%d:%8.8X:%d\n", m, m, f, start, 10 * f + 1);
      for (uint32_t a = start, line = 10 * f + 1; a < end; a += 4, ++line)
        out += format("SX:C:X:m%d:%u:4:%X\n", m, line, a);
      // The exit lies on the last statement, as compiled code has it.
      out += format("SX:C:Z:m%d:%u:4:%X\n", m, 10 * f + per_module / 5, end - 4);
      out += format("SX:C:E:m%d:_f%d_%d:%8.8X:%d\n", m, m, f, end, 10 * f + 9);
    }
  }
  for (int m = 0; m < modules; ++m) {
    out += format("SX:C:S:G:m%d:g%d:_g%d:%8.8X:(typ16-m%d)\n", m, m, m, 0x8000 + m * 8, m);
    out += format("SX:C:S:S:m%d:s%d:%8.8X:(typ20-m%d)\n", m, m, 0x9000 + m * 20, m);
  }
  return out;
}

}  // namespace zun::sld
