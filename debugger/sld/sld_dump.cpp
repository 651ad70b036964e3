// sld-dump: reads the debug tail of a load file as the debugger does and
// prints the program model; the reader's messages go to standard error and
// its questions are answered "no". Exits 0 when the model was built.
#include <cstdio>
#include <string>

#include "debugger/sld/sld.h"

namespace {

class DumpHost : public zun::sld::SldHost {
public:
  void out_print(std::string_view text) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
  }
  bool ask_yes_no(std::string_view question) override {
    std::fprintf(stderr, "%.*s (no)\n", static_cast<int>(question.size()), question.data());
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sld-dump FILE.s19\n");
    return 1;
  }
  DumpHost host;
  zun::sld::Sld sld(host, zun::sld::sld_program_dir(argv[0]));
  if (sld.sld_read_debug_info(argv[1]) != 1) return 1;
  std::string text = zun::sld::sld_dump_text(sld);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
