// Reading the debug tail of a large program: 200 modules with 5,000
// execution points, their types, functions and symbols, and their sources.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "synthetic.h"

namespace {

class QuietHost : public zun::sld::SldHost {
public:
  void out_print(std::string_view) override {}
  bool ask_yes_no(std::string_view) override { return false; }
};

void BM_ReadDebugInfo(benchmark::State& state) {
  auto dir = std::filesystem::temp_directory_path() /
             ("zun_sld_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::string d = dir.generic_string();
  for (int m = 0; m < 200; ++m) {
    std::ofstream source(d + "/m" + std::to_string(m) + ".c");
    for (int line = 1; line <= 60; ++line) source << "    statement(" << line << ");\n";
  }
  std::string path = d + "/big.s19";
  std::ofstream(path) << zun::sld::synthetic_load_file(d, 200, 5000);
  QuietHost host;
  zun::sld::Sld sld(host, d);
  for (auto _ : state) {
    if (sld.sld_read_debug_info(path) != 1) state.SkipWithError("the model was not built");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReadDebugInfo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
