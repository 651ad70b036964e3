// How long make takes to find a project of 200 C sources up to date: the
// project file written the way the workbench writes it (both configurations,
// three headers per source), every object and the load file newer than their
// sources. Run by hand on a release build.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "workbench/build/make_engine.h"

namespace {

namespace fs = std::filesystem;
using zun::wb::MakeContext;
using zun::wb::MakeResult;

struct NoRunner : zun::wb::ProcessRunner {
  int run_process(const std::string&) override { return 0; }
  void stop() override {}
};

void aged(const fs::path& p, int seconds_ago) {
  fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::seconds(seconds_ago));
}

std::string config_section(const std::string& config, const std::string& dir, int sources) {
  std::string s = "\n!IFCONF\t" + config + "\n##TARGETNAME=\"demo\"\n##OBJDIR=\"debug\"\n##TARGDIR=\"debug\"\n";
  s += "ASFLAGS=-g\nCCFLAGS=-g -w4 -O\nLNFLAGS=-g -i default.lsc\n\nOBJ=";
  for (int i = 0; i < sources; ++i) s += " \\\n\t\"debug\\src" + std::to_string(i) + ".o09\"";
  s += "\n\nDEFINES= \\\n\t_DEBUG\n\nINC= \\\n\t-I\"" + dir + "/inc\"\n";
  s += "\"debug\\demo.s19\": $(OBJ)\n\tLINK -o\"debug\\demo.s19\" $(LNFLAGS) $(OBJ)\n";
  s += "clean:\n\tRMFI \"debug\\demo.s19\"\n";
  for (int i = 0; i < sources; ++i) {
    std::string n = std::to_string(i);
    s += "\n\"debug\\src" + n + ".o09\":\t\\\n\t\"" + dir + "/src" + n + ".c\"\\\n\t\"" + dir + "/inc/common.h\"\\\n\t\"" +
         dir + "/inc/board.h\"\\\n\t\"" + dir + "/src" + n + ".h\"\n";
    s += "\tCOMP  $(CCFLAGS) $(DEF) $(UNDEF)  $(INC) -o\"debug\\src" + n + ".o09\" \"" + dir + "/src" + n + ".c\"\n";
  }
  return s + "\n!EICONF\t" + config + "\n";
}

void BM_UpToDateProject(benchmark::State& state) {
  const int sources = 200;
  std::string tmpl = (fs::temp_directory_path() / "zmakebenchXXXXXX").string();
  fs::path dir = mkdtemp(tmpl.data());
  fs::path old = fs::current_path();
  fs::current_path(dir);
  fs::create_directories("inc");
  fs::create_directories("debug");
  for (const char* h : {"inc/common.h", "inc/board.h"}) std::ofstream(h) << "/* header */\n";
  for (int i = 0; i < sources; ++i) {
    std::string n = std::to_string(i);
    std::ofstream("src" + n + ".c") << "#include \"src" + n + ".h\"\nint f" + n + "(void) { return 0; }\n";
    std::ofstream("src" + n + ".h") << "int f" + n + "(void);\n";
  }
  for (const auto& e : fs::recursive_directory_iterator(".")) aged(e.path(), 100);
  for (int i = 0; i < sources; ++i) {
    fs::path obj = "debug/src" + std::to_string(i) + ".o09";
    std::ofstream(obj) << "obj\n";
    aged(obj, 50);
  }
  std::ofstream("debug/demo.s19") << "S9030000FC\n";
  aged("debug/demo.s19", 10);
  std::ofstream("demo.m09") << "# V 2.0 26 February 2013)\n" + config_section("Debug", dir.string(), sources) +
                                   config_section("Final", dir.string(), sources);

  NoRunner runner;
  std::string out;
  MakeContext ctx;
  ctx.out = [&](std::string_view text) { out += text; };
  ctx.runner = &runner;
  ctx.project_dir = dir.string();
  for (auto _ : state) {
    out.clear();
    MakeResult r = zun::wb::make(ctx, {"Make", "-fdemo.m09", "-c", "Debug"});
    if (!r.up_to_date) state.SkipWithError(("not up to date: " + out).c_str());
  }
  fs::current_path(old);
  fs::remove_all(dir);
}
BENCHMARK(BM_UpToDateProject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
