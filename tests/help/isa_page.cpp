// isa_page: prints the manual's instruction set page (data/help/instructions.html).
#include <cstdio>

#include "tests/help/instruction_set.h"

int main() {
  std::fputs(zun::help::instruction_set_page().c_str(), stdout);
  return 0;
}
