// A debugging session over the real simulator engine: programs built with our
// own chain (tests/sld/run/build.sh), a host that records what the debugger
// says, and the engine ticked by hand as the simulator window's timer would.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/format.h"
#include "debugger/sld/debugger.h"
#include "sld_fixture.h"

namespace zun::sld {

inline std::string stage_dir() {
  const char* stage = std::getenv("ZUN_STAGE");
  return stage ? stage : "";
}

inline std::string source_dir() { return ZUN_SOURCE_DIR; }

// Builds prog.s19 in `folder` from sources of tests/sld/run; empty on failure.
inline std::string build_program(const std::string& folder, const std::vector<std::string>& sources,
                                 const std::string& cpp_options = "") {
  std::filesystem::create_directories(folder);
  for (const std::string& s : sources)
    std::filesystem::copy_file(source_dir() + "/tests/sld/run/" + s, folder + "/" + s,
                               std::filesystem::copy_options::overwrite_existing);
  std::string cmd = format("bash '%s/tests/sld/run/build.sh' '%s' '%s' %s >'%s/build.txt' 2>&1",
                           source_dir().c_str(), stage_dir().c_str(), folder.c_str(),
                           cpp_options.c_str(), folder.c_str());
  if (std::system(cmd.c_str()) != 0) {
    std::ifstream log(folder + "/build.txt");
    std::stringstream text;
    text << log.rdbuf();
    ADD_FAILURE() << "build failed: " << text.str();
    return "";
  }
  return folder + "/prog.s19";
}

// The addresses of the names in a linker map ("   00001098 '_main'").
inline std::map<std::string, uint32_t> map_addresses(const std::string& map_file) {
  std::map<std::string, uint32_t> out;
  std::ifstream in(map_file);
  std::string line;
  while (std::getline(in, line)) {
    unsigned address = 0;
    char name[128];
    if (std::sscanf(line.c_str(), " %x '%127[^']'", &address, name) == 2) out[name] = address;
  }
  return out;
}

class RecordingHost : public SldSessionHost {
public:
  void out_print(std::string_view text) override { out += text; }
  bool ask_yes_no(std::string_view) override { return true; }
  void error_box(std::string_view text, std::string_view caption) override {
    boxes.push_back(std::string(caption) + "|" + std::string(text));
  }
  void post_command(int id) override { posted.push_back(id); }
  bool supply_code_information(SupplyCodeInfo& info) override {
    info = supplied;
    return supply_ok;
  }
  bool said(std::string_view text) const { return out.find(text) != std::string::npos; }

  std::string out;
  std::vector<std::string> boxes;
  std::vector<int> posted;
  SupplyCodeInfo supplied;
  bool supply_ok = false;
};

// Calls back when a run starts, so a test can see what was planted then.
class TestEngineHost : public EngineHost {
public:
  void run_mode_changed() override {
    if (engine && engine->run_mode == RunMode::Fast && on_run) on_run();
  }
  Engine* engine = nullptr;
  std::function<void()> on_run;
};

class Session {
public:
  Session()
      : board(library),
        engine(board, engine_host, stage_dir() + "/bin"),
        debugger(engine, host, stage_dir() + "/bin") {
    engine_host.engine = &engine;
  }
  ~Session() { board.dev_close_all(); }

  // Ticks until the run stops; false (and a Halt) after `max_ticks`.
  bool wait(int max_ticks = 2000) {
    for (int tick = 0; engine.sim_run_mode() != RunMode::Stopped; ++tick) {
      if (tick == max_ticks) {
        debugger.target().target_stop();
        return false;
      }
      engine.sim_timer_tick();
    }
    return true;
  }
  bool command(int mode, int max_ticks = 2000) {
    debugger.sld_run_command(mode);
    return wait(max_ticks);
  }
  // "module:line" of the execution point, "-" without one.
  std::string at() {
    const DebugModule* m = debugger.model().sld_exec_module();
    const ExecPoint* p = debugger.model().sld_exec_point();
    return m && p ? format("%s:%u", m->name.c_str(), p->line) : "-";
  }
  uint32_t pc() { return debugger.target().target_get_pc(); }
  const DebugModule* module(const std::string& name) {
    return debugger.model().sld_module_find(name);
  }
  uint32_t line_address(const std::string& name, uint32_t line) {
    const ExecPoint* p = module(name)->first_point_on_line(line);
    return p ? p->address : 0;
  }

  TovrelLibrary library;
  Board board;
  TestEngineHost engine_host;
  Engine engine;
  RecordingHost host;
  SldDebugger debugger;
};

}  // namespace zun::sld
