// The messages page holds every message the tools print. The compiler's
// messages come from its numbered table (each warning with the level that
// shows it); the others are read from the tools' sources: the text of every
// call that reports one. A message added, reworded or dropped in a tool shows
// here until the page follows.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>

#include "compiler/internal.h"
#include "tests/help/help_pages.h"

namespace zun::help {
namespace {

// A C++ string literal's text, from its opening quote; `at` moves behind it.
std::string read_literal(const std::string& src, size_t& at) {
  std::string text;
  for (++at; at < src.size() && src[at] != '"'; ++at) {
    if (src[at] != '\\' || at + 1 == src.size()) {
      text += src[at];
      continue;
    }
    char c = src[++at];
    text += c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
  }
  ++at;
  return text;
}

// What is left of a text without its printf conversions.
bool has_words(const std::string& text) {
  static const std::regex conversion(R"(%[-+ #0-9.*]*[lhz]*[a-zA-Z%])");
  std::string rest = std::regex_replace(text, conversion, "");
  int letters = 0;
  for (char c : rest) letters += std::isalpha(static_cast<unsigned char>(c)) ? 1 : 0;
  return letters >= 2;
}

// The message texts of the calls beginning with one of `calls` in a source:
// every group of adjacent literals inside the call's parentheses. A "call"
// that opens none (an assignment, "x = ") ends with its statement.
std::vector<std::string> call_texts(const std::string& src, const std::vector<std::string>& calls) {
  std::vector<std::string> texts;
  for (const std::string& call : calls) {
    const bool statement = call.back() != '(' && call.back() != '{';
    for (size_t at = src.find(call); at != std::string::npos; at = src.find(call, at + 1)) {
      size_t p = at + call.size();
      int depth = 1;
      std::string group;
      bool in_group = false;
      while (p < src.size() && depth > 0) {
        char c = src[p];
        if (statement && depth == 1 && c == ';') break;
        if (c == '"') {
          group += read_literal(src, p);
          in_group = true;
          continue;
        }
        if (c == '\'') {  // a character literal
          p += src[p + 1] == '\\' ? 4 : 3;
          continue;
        }
        if (in_group && !std::isspace(static_cast<unsigned char>(c))) {
          texts.push_back(group);
          group.clear();
          in_group = false;
        }
        depth += (c == '(' || c == '{') ? 1 : (c == ')' || c == '}') ? -1 : 0;
        ++p;
      }
      if (in_group) texts.push_back(group);
    }
  }
  return texts;
}

struct ToolMessages {
  const char* tool;       // the section of the page: its heading's id
  std::vector<std::string> files;
  std::vector<std::string> calls;
  std::string prefix;     // put before its own lines by the tool, not part of the text
};

// The message itself: without the program's name before it, or the head of
// a diagnostic line ("FILE" (LINE) Error: ).
std::string tidy(std::string text, const std::string& prefix) {
  if (!prefix.empty() && text.rfind(prefix, 0) == 0) text.erase(0, prefix.size());
  // GNU's "error: " head, which the cpp wrapper turns into the diagnostic's.
  if (text.rfind("error: ", 0) == 0) text.erase(0, 7);
  // A usage text that follows the message is not part of it.
  if (text.size() > 3 && text.compare(text.size() - 3, 3, "\n%s") == 0) text.resize(text.size() - 3);
  size_t head = text.find("Error: ");
  if (head != std::string::npos && (text[0] == '"' || text[0] == ')')) text.erase(0, head + 7);
  return collapse_blanks(text);
}

// The text of the page from the heading with `id` to the next heading of its level.
std::string section_text(const std::string& page_name, const std::string& id) {
  const std::string html = page_html(page_name);
  size_t start = html.find("<h2 id=\"" + id + "\"");
  if (start == std::string::npos) return {};
  size_t end = html.find("<h2", start + 1);
  return parse_page(page_name, html.substr(start, end == std::string::npos ? std::string::npos : end - start)).text;
}

TEST(HelpMessages, EveryMessageOfTheToolsIsOnTheMessagesPage) {
  const ToolMessages tools[] = {
      {"hasm09",
       {"assembler/directives.cpp", "assembler/encode.cpp", "assembler/expr.cpp", "assembler/line_lexer.cpp",
        "assembler/object_writer.cpp", "assembler/passes.cpp", "assembler/preproc.cpp", "assembler/source_input.cpp",
        "assembler/symtab.cpp", "assembler/debug_info.cpp", "assembler/options.cpp"},
       {"error(as, ", "warning(as, ", "warning_at(as, ", "open_level(as, ", "report(ev, ", "report_plain(ev, ",
        "syntax_error(as, ", "report.out += ", "read_fault = format(", "refused = format(", "FatalStop{",
        "Messages[] = {",
        "old_fashioned(as, "},
       "%s: "},
      {"vlk",
       {"linker/database.cpp", "linker/debug_records.cpp", "linker/driver.cpp", "linker/library.cpp",
        "linker/link_output.cpp", "linker/map.cpp", "linker/object_reader.cpp", "linker/options.cpp",
        "linker/place.cpp", "linker/relocate.cpp", "linker/resolve.cpp", "linker/script.cpp",
        "linker/srec_writer.cpp"},
       {"fatal(link, ", "error(link, ", "warning(link, ", "fail(", "open_output(link, ", "read_record_file(link, "},
       ""},
      // The filtered copy of -P reports on standard output.
      {"vlk", {"linker/srec_writer.cpp"}, {"print_out(link, "}, ""},
      {"tcx09", {"compiler/driver.cpp", "compiler/scan.cpp", "compiler/parse_stmt.cpp", "compiler/debug.cpp",
                 "compiler/diagnostics.cpp", "compiler/main.cpp"},
       {"report_text(", "std::string line = format(", "std::fputs(", "tu.err += "}, ""},
      {"run09", {"debugger/engine/run09.cpp"}, {"error = format(", "io.err(", "stop_text = format("}, "run09: "},
      {"cpp", {"compiler/cpp/cpp_main.cpp", "compiler/cpp/cpp_wrapper.cpp"},
       {"fail(", "inv.error = ", "if (starts(a, p)) return ", "return format(", "r.err = ", "r.err += format("},
       "cpp: "},
      {"grep", {"workbench/grep/line_search.cpp", "workbench/grep/ere.cpp"},
       {"error = ", "fail(", "constexpr const char* "}, ""},
      {"build", {"workbench/build/make_engine.cpp", "workbench/build/make_reader.cpp", "workbench/build/build_runners.cpp",
                 "workbench/build/spawn_runner.cpp", "workbench/build/tool_runner.cpp"},
       {"mk.error(", "mk.fatal(", "mk.print(", "run.print(", "output_(", "const std::string failed = ",
        "const failed_to_start = "},
       ""},
  };
  for (const ToolMessages& tool : tools) {
    std::string section = section_text("messages.html", tool.tool);
    ASSERT_FALSE(section.empty()) << "messages.html has no section '" << tool.tool << "'";
    std::set<std::string> texts;
    for (const std::string& file : tool.files) {
      std::string src = source_text(file);
      ASSERT_FALSE(src.empty()) << file;
      for (const std::string& text : call_texts(src, tool.calls))
        if (has_words(text)) texts.insert(tidy(text, tool.prefix));
    }
    EXPECT_GE(texts.size(), 2u) << tool.tool;
    for (const std::string& text : texts)
      EXPECT_TRUE(page_says(section, text)) << tool.tool << " says: " << text;
  }
}

// Each of the compiler's numbered messages has its row, with its text, and a
// warning with the lowest level at which -w shows it.
TEST(HelpMessages, EveryNumberedCompilerMessageHasItsRowAndLevel) {
  Page page = load_page("messages.html");
  std::string src = source_text("compiler/diagnostics.cpp");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(src, m, std::regex(R"(warning_threshold\[7\] = \{([^}]*)\})")));
  std::vector<int> thresholds;
  std::istringstream list(m[1]);
  for (std::string n; std::getline(list, n, ',');) thresholds.push_back(std::stoi(n));
  ASSERT_EQ(thresholds.size(), 7u);
  // Warnings reported through report_at skip the level filter.
  std::set<int> every_level;
  for (const char* file : {"compiler/init.cpp", "compiler/parse_decl.cpp", "compiler/parse_stmt.cpp",
                           "compiler/parse_struct.cpp", "compiler/peephole.cpp", "compiler/scan.cpp"}) {
    std::string text = source_text(file);
    std::regex call(R"(report_at\([^;]*;)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator(); ++it) {
      std::string c = (*it)[0];
      std::regex number(R"(\b(\d+)\b)");
      for (auto n = std::sregex_iterator(c.begin(), c.end(), number); n != std::sregex_iterator(); ++n) {
        int v = std::stoi((*n)[1]);
        if (v >= 82 && v <= 131) every_level.insert(v);
      }
    }
  }
  int rows = 0;
  for (int n = 0; n <= 131; ++n) {
    std::string text = collapse_blanks(tcx::compiler_message[n]);
    if (text.empty()) continue;
    ++rows;
    const Element* row = nullptr;
    for (const Element& e : page.with_id)
      if (e.attrs.at("id") == "tcx09-" + std::to_string(n)) row = &e;
    ASSERT_TRUE(row) << "message " << n << " has no row: " << text;
    std::string shown = collapse_blanks(row->text);
    EXPECT_TRUE(page_says(shown, text)) << "row " << n << " does not show '" << text << "'";
    if (n < 82) {
      EXPECT_TRUE(page_says(shown, "error")) << n;
      continue;
    }
    std::string level = "every level";
    if (!every_level.count(n))
      for (int l = 0; l <= 6; ++l)
        if (l == 6 || n >= thresholds[static_cast<size_t>(l)]) {
          level = "level " + std::to_string(l);
          break;
        }
    EXPECT_TRUE(page_says(shown, "warning, " + level)) << "row " << n << " should say 'warning, " << level << "'";
  }
  EXPECT_GT(rows, 120);
}

}  // namespace
}  // namespace zun::help
