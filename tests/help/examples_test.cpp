// Every example of the manual runs as the page says, with the output the page
// shows. The pages mark them up like this:
//
//   <pre class="file" data-name="NAME">      a file that every example of the
//                                            page finds in its working folder
//                                            (so is an example with a data-name)
//   <pre class="example" data-run="KIND">   source text, checked by KIND:
//       asm       hasm09 -w -e: no message (or the output block's messages)
//       asm-list  hasm09 -L: the output block stands in the listing, line for line
//       asm-run   assembled, linked with default.lsc and run under run09
//       c         preprocessed, compiled and assembled: no message (or the
//                 output block's messages)
//       c-run     built with the startup code and the libraries, run under run09
//     data-name   the file name (example.s09 or example.c by default)
//     data-args   further options for hasm09 or tcx09
//     data-input  what run09 gets on standard input (\r, \n, \t, \\ escapes)
//   <pre class="output">                    what the example before it prints (the
//                                            first output block behind it)
//   <pre class="session">                   a terminal session: "$ " lines are
//                                            commands, the lines below each are
//                                            its output ("..." stands for any lines)
//
// Examples run in a fresh folder shown on the pages as /home/you/work, with
// the staged programs on PATH and ZUN naming the installation.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/help/help_pages.h"
#include "tests/tools/tool_run.h"

namespace zun::help {
namespace {

constexpr const char* shown_work_dir = "/home/you/work";

struct Example {
  std::string page;
  int line = 0;
  std::string kind;
  std::string name;
  std::string args;
  std::string text;
  std::string input;
  bool has_output = false;
  std::string output;
  std::map<std::string, std::string> files;
};

std::string unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
  }
  return out;
}

std::string attr(const Element& e, const char* name) {
  auto it = e.attrs.find(name);
  return it == e.attrs.end() ? "" : it->second;
}

std::vector<Example> collect_examples() {
  std::vector<Example> all;
  for (const std::string& name : page_names()) {
    Page page = load_page(name);
    std::map<std::string, std::string> files;
    // A named example is a file of the page as well.
    for (const Element& pre : page.pres)
      if (attr(pre, "class") == "file" || (attr(pre, "class") == "example" && !attr(pre, "data-name").empty()))
        files[attr(pre, "data-name")] = pre.text;
    for (size_t i = 0; i < page.pres.size(); ++i) {
      const Element& pre = page.pres[i];
      std::string cls = attr(pre, "class");
      if (cls != "example" && cls != "session") continue;
      Example ex;
      ex.page = name;
      ex.line = pre.line;
      ex.kind = cls == "session" ? "session" : attr(pre, "data-run");
      ex.name = attr(pre, "data-name");
      ex.args = attr(pre, "data-args");
      ex.input = unescape(attr(pre, "data-input"));
      ex.text = pre.text;
      ex.files = files;
      // Its output is the next output block, unless another example comes first.
      for (size_t j = i + 1; j < page.pres.size(); ++j) {
        std::string next = attr(page.pres[j], "class");
        if (next == "example" || next == "session") break;
        if (next == "output") {
          ex.has_output = true;
          ex.output = page.pres[j].text;
          break;
        }
      }
      all.push_back(std::move(ex));
    }
  }
  return all;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  for (std::string& l : lines) l.erase(l.find_last_not_of(" \t") + 1);
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// Expected lines against actual ones; a line "..." takes any number of lines.
bool lines_match(const std::vector<std::string>& want, size_t w, const std::vector<std::string>& got, size_t g) {
  if (w == want.size()) return g == got.size();
  if (want[w] == "...") {
    for (size_t k = g; k <= got.size(); ++k)
      if (lines_match(want, w + 1, got, k)) return true;
    return false;
  }
  return g < got.size() && want[w] == got[g] && lines_match(want, w + 1, got, g + 1);
}

std::string joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

void replace_all(std::string& s, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
}

std::filesystem::path stage_dir() { return std::filesystem::canonical(test::stage_bin() + "/.."); }

class ExampleRun {
 public:
  explicit ExampleRun(const Example& ex) : ex_(ex) {
    dir_ = std::filesystem::canonical(tmp_.path);
    for (const auto& [name, text] : ex.files) std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  // Runs a bash script in the folder; the result's out holds both streams.
  test::ToolRun run(const std::string& script) {
    return test::run_in(dir_, "BIN='" + stage_dir().string() + "/bin'\nexport PATH=\"$BIN:$PATH\" ZUN='" +
                                  stage_dir().string() + "'\nexec 2>&1\n" + script);
  }

  // What a reader would see: the folder and the installation as the pages name them.
  std::string shown(std::string text) const {
    replace_all(text, dir_.string(), shown_work_dir);
    replace_all(text, stage_dir().string(), "$ZUN");
    return text;
  }

  void write(const std::string& name, const std::string& text) { std::ofstream(dir_ / name, std::ios::binary) << text; }
  std::string read(const std::string& name) const { return test::read_whole(dir_ / name); }

  void expect_lines(const std::string& what, const std::string& want, const std::string& got) {
    std::vector<std::string> w = lines_of(want), g = lines_of(shown(got));
    EXPECT_TRUE(lines_match(w, 0, g, 0)) << where() << what << "\n--- the page shows:\n"
                                         << joined(w) << "--- the program printed:\n" << joined(g);
  }

  std::string where() const { return ex_.page + " line " + std::to_string(ex_.line) + ": "; }

 private:
  const Example& ex_;
  test::TempDir tmp_;
  std::filesystem::path dir_;
};

// The commands of the compiler page's "by hand" section.
const char* const c_build =
    "cpp -I $ZUN/include -D__ZUN -D__IIS -D__ZUN09 -D_C_COMPILED $SRC $BASE.i &&\n"
    "tcx09 -w4 -O $ARGS $BASE.i $BASE.s09 &&\n"
    "hasm09 -e $BASE.s09";
const char* const c_link =
    "hasm09 -o startup.o09 $ZUN/src/startup/zun09/_startup.s09 &&\n"
    "vlk -I $ZUN/config/zun09 -i default.lsc -L $ZUN/lib/zun09 -l libc.e09 -l libcc.e09 "
    "-o $BASE.s19 startup.o09 $BASE.o09";

void run_source_example(const Example& ex) {
  ExampleRun run(ex);
  bool c = ex.kind == "c" || ex.kind == "c-run";
  std::string name = !ex.name.empty() ? ex.name : c ? "example.c" : "example.s09";
  std::string base = name.substr(0, name.rfind('.'));
  run.write(name, ex.text);
  std::string vars = "SRC='" + name + "' BASE='" + base + "' ARGS='" + ex.args + "'\n";
  if (ex.kind == "asm" || ex.kind == "c") {
    test::ToolRun r = run.run(vars + (c ? c_build : "hasm09 -w -e $ARGS $SRC") + "\n");
    run.expect_lines("messages", ex.has_output ? ex.output : "", r.out);
    if (!ex.has_output) {
      EXPECT_EQ(r.rc, 0) << run.where() << r.out;
    }
    return;
  }
  if (ex.kind == "asm-list") {
    test::ToolRun r = run.run(vars + "hasm09 -L $ARGS $SRC\n");
    EXPECT_EQ(r.rc, 0) << run.where() << r.out;
    ASSERT_TRUE(ex.has_output) << run.where() << "a listing example needs its output block";
    std::vector<std::string> want = lines_of(ex.output), got = lines_of(run.read(base + ".lst"));
    bool found = false;
    for (size_t at = 0; !found && at + want.size() <= got.size(); ++at)
      found = std::equal(want.begin(), want.end(), got.begin() + static_cast<long>(at));
    EXPECT_TRUE(found) << run.where() << "the listing holds no such lines\n--- the page shows:\n"
                       << joined(want) << "--- the listing:\n" << joined(got);
    return;
  }
  if (ex.kind == "c-run" || ex.kind == "asm-run") {
    std::string build = c ? std::string(c_build) + " &&\n" + c_link
                          : "hasm09 $ARGS $SRC && vlk -I $ZUN/config/zun09 -i default.lsc -o $BASE.s19 $BASE.o09";
    test::ToolRun r = run.run(vars + build + "\n");
    // Warnings may come (a discarded printf result draws one); errors may not.
    ASSERT_EQ(r.rc, 0) << run.where() << "building it failed:\n" << r.out;
    run.write(".input", ex.input);
    r = run.run(vars + "timeout 120 run09 --max 200000000 $BASE.s19 <.input\n");
    ASSERT_TRUE(ex.has_output) << run.where() << "a run example needs its output block";
    run.expect_lines("output", ex.output, r.out);
    return;
  }
  ADD_FAILURE() << run.where() << "unknown example kind '" << ex.kind << "'";
}

void run_session(const Example& ex) {
  ExampleRun run(ex);
  struct Step {
    std::string command, output;
  };
  std::vector<Step> steps;
  for (const std::string& line : lines_of(ex.text)) {
    bool continued = !steps.empty() && steps.back().output.empty() && !steps.back().command.empty() &&
                     steps.back().command.back() == '\\';
    if (continued) {
      steps.back().command += "\n" + line;
    } else if (line.rfind("$ ", 0) == 0) {
      steps.push_back({line.substr(2), ""});
    } else {
      ASSERT_FALSE(steps.empty()) << run.where() << "a session begins with a command";
      steps.back().output += line + "\n";
    }
  }
  std::string script;
  for (size_t i = 0; i < steps.size(); ++i)
    script += "{ " + steps[i].command + "\n} >.step" + std::to_string(i) + " 2>&1 </dev/null\n";
  run.run(script);
  for (size_t i = 0; i < steps.size(); ++i)
    run.expect_lines("after '$ " + steps[i].command + "'", steps[i].output, run.read(".step" + std::to_string(i)));
}

// Names the example in test reports instead of dumping its bytes.
void PrintTo(const Example& ex, std::ostream* os) { *os << ex.page << " line " << ex.line << " (" << ex.kind << ")"; }

class ManualExample : public testing::TestWithParam<Example> {};

TEST_P(ManualExample, RunsAsThePageSays) {
  const Example& ex = GetParam();
  if (ex.kind == "session")
    run_session(ex);
  else
    run_source_example(ex);
}

INSTANTIATE_TEST_SUITE_P(Help, ManualExample, testing::ValuesIn(collect_examples()),
                         [](const testing::TestParamInfo<Example>& info) {
                           std::string page = info.param.page.substr(0, info.param.page.find('.'));
                           for (char& c : page)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return page + "_line" + std::to_string(info.param.line);
                         });

}  // namespace
}  // namespace zun::help
