// The reference pages name everything the programs know: every directive and
// instruction of the assembler (in the class it belongs to), every option a
// tool's usage prints, every monitor command and every menu item. The lists
// come from the programs themselves, so a change on either side shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "assembler/internal.h"
#include "compiler/internal.h"
#include "tests/help/help_pages.h"
#include "tests/tools/tool_run.h"
#include "workbench/core/workbench_core.h"

namespace zun::help {
namespace {

// `word` stands in `text` with no letter, digit or '_' right beside it.
bool has_word(const std::string& text, const std::string& word) {
  auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    bool left = at == 0 || !part(text[at - 1]);
    bool right = at + word.size() == text.size() || !part(text[at + word.size()]);
    if (left && right) return true;
  }
  return false;
}

const Element* element_with_id(const Page& page, const std::string& id) {
  for (const Element& e : page.with_id)
    if (e.attrs.at("id") == id) return &e;
  return nullptr;
}

// What a staged program prints (both streams) when started with `args`.
std::string program_says(const std::string& program, const std::string& args) {
  test::TempDir dir;
  return test::run_in(dir.path, "\"$BIN/" + program + "\" " + args + " 2>&1").out;
}

// The options a usage text names: words that begin with '-' after a blank,
// '[' or '|'.
std::set<std::string> usage_options(const std::string& usage) {
  std::set<std::string> options;
  std::regex option(R"((^|[\s\[|{])(--?[A-Za-z][A-Za-z]*))");
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), option); it != std::sregex_iterator(); ++it)
    options.insert((*it)[2]);
  return options;
}

// ---- the assembler ----

struct AssemblerTables {
  AssemblerTables() : as(options, report) {
    hasm::build_mnemonics(as);
    hasm::build_directive_words(as);
  }
  hasm::Options options;
  hasm::Report report;
  hasm::Assembly as;
};

// The '#' keywords of the assembler's table, read from its source and held
// against what the assembler recognises.
std::vector<std::string> hash_keywords(hasm::Assembly& as) {
  std::string src = source_text("assembler/directives.cpp");
  size_t start = src.find("HashTable[]");
  std::string table = src.substr(start, src.find("};", start) - start);
  std::vector<std::string> words;
  std::regex entry(R"re(\{"([a-z]+)",)re");
  for (auto it = std::sregex_iterator(table.begin(), table.end(), entry); it != std::sregex_iterator(); ++it) {
    std::string word = (*it)[1];
    std::string line = "#" + word + " ";
    const char* pos = line.c_str();
    EXPECT_NE(hasm::lookup_pp_keyword(as, pos), 0) << "#" << word;
    words.push_back(word);
  }
  return words;
}

TEST(HelpReference, AssemblerPageNamesEveryDirectiveAndNoOther) {
  AssemblerTables t;
  Page page = load_page("hasm09.html");
  std::set<std::string> known(t.as.directive_words.begin(), t.as.directive_words.end());
  ASSERT_GT(known.size(), 40u);
  std::vector<std::string> hashes = hash_keywords(t.as);
  ASSERT_EQ(hashes.size(), 8u);
  std::set<std::string> rows_named;
  for (const Element& e : page.with_id) {
    const std::string& id = e.attrs.at("id");
    if (id.rfind("dir-hash-", 0) == 0) {
      std::string word = id.substr(9);
      EXPECT_NE(std::find(hashes.begin(), hashes.end(), word), hashes.end()) << "#" << word << " is no keyword";
      EXPECT_TRUE(has_word(e.text, "#" + word)) << id;
    } else if (id.rfind("dir-", 0) == 0) {
      EXPECT_TRUE(known.count(id.substr(4))) << "the page describes '" << id.substr(4) << "', which is no directive";
      for (const std::string& word : known)
        if (has_word(e.text.substr(0, e.text.find('\n', e.text.find_first_not_of('\n'))), word)) rows_named.insert(word);
    }
  }
  for (const std::string& word : known)
    EXPECT_TRUE(rows_named.count(word)) << "directive '" << word << "' has no row on hasm09.html";
  for (const std::string& word : hashes)
    EXPECT_TRUE(element_with_id(page, "dir-hash-" + word)) << "#" << word << " has no row on hasm09.html";
}

// The row of the instruction table that a mnemonic belongs in.
std::string class_row(const hasm::Mnemonic& m) {
  using K = hasm::OpKind;
  switch (m.kind) {
    case K::Inherent: case K::PageInherent: return "ops-inherent";
    case K::ShortBranch: return "ops-branch";
    case K::LongBranch: return "ops-lbranch";
    case K::Transfer: return "ops-transfer";
    case K::PushPull: return "ops-stack";
    case K::General: case K::PageGeneral: break;
  }
  switch (m.mode_class) {
    case 15: return m.imm16 ? "ops-imm16" : "ops-imm8";
    case 1: return "ops-cc";
    case 14: return "ops-memory";
    case 4: return "ops-lea";
    default: return "ops-unknown-class-" + std::to_string(m.mode_class);
  }
}

TEST(HelpReference, AssemblerPageListsEveryMnemonicInItsClass) {
  AssemblerTables t;
  Page page = load_page("hasm09.html");
  std::set<std::string> rows;
  for (const Element& e : page.with_id)
    if (e.attrs.at("id").rfind("ops-", 0) == 0) rows.insert(e.attrs.at("id"));
  std::set<std::string> used;
  for (const hasm::Mnemonic& m : t.as.mnemonic_rows) {
    std::string row = class_row(m);
    used.insert(row);
    const Element* e = element_with_id(page, row);
    ASSERT_TRUE(e) << "no row '" << row << "' for " << m.name;
    EXPECT_TRUE(has_word(e->text, m.name)) << m.name << " is missing from row " << row;
    for (const std::string& other : rows)
      if (other != row) {
        EXPECT_FALSE(has_word(element_with_id(page, other)->text, m.name)) << m.name << " stands in " << other;
      }
  }
  EXPECT_EQ(rows, used) << "the page's instruction classes differ from the assembler's";
}

// ---- options ----

struct ToolOptions {
  const char* page;
  const char* program;
  const char* args;  // what makes the program print its usage
};

TEST(HelpReference, EveryOptionAToolsUsageNamesIsOnItsPage) {
  const ToolOptions tools[] = {
      {"hasm09.html", "hasm09", ""},          {"vlk.html", "vlk", ""},
      {"simulator.html", "run09", ""},         {"workbench.html", "grep", ""},
      {"workbench.html", "fgrep", ""},         {"workbench.html", "zbuild", ""},
      {"debugger.html", "sld-run", ""},
  };
  for (const ToolOptions& tool : tools) {
    std::string usage = program_says(tool.program, tool.args);
    std::set<std::string> options = usage_options(usage);
    EXPECT_FALSE(options.empty()) << tool.program << " printed no options:\n" << usage;
    Page page = load_page(tool.page);
    for (const std::string& option : options)
      EXPECT_TRUE(has_word(page.text, option)) << tool.page << " does not name " << tool.program << " " << option;
  }
  // The assembler's usage also names its compatibility words.
  Page hasm = load_page("hasm09.html");
  for (const char* word : {"dspoff", "dsnon", "nopure", "nocase", "nonative"})
    EXPECT_TRUE(has_word(hasm.text, word)) << word;
}

// tcx09's usage names no options: they are the words its option table takes.
TEST(HelpReference, CompilerPageNamesEveryOptionTheCompilerTakes) {
  std::string src = source_text("compiler/driver.cpp");
  size_t start = src.find("bool apply_option(");
  std::string body = src.substr(start, src.find("\n}\n", start) - start);
  std::regex option(R"re(starts_with\(a, "([A-Za-z]+)"\))re");
  std::set<std::string> options;
  for (auto it = std::sregex_iterator(body.begin(), body.end(), option); it != std::sregex_iterator(); ++it)
    options.insert("-" + std::string((*it)[1]));
  ASSERT_GE(options.size(), 8u);
  Page page = load_page("tcx09.html");
  for (const std::string& o : options) EXPECT_TRUE(has_word(page.text, o)) << "tcx09.html does not name " << o;
  for (int level = 0; level <= 6; ++level)
    EXPECT_TRUE(has_word(page.text, "-w" + std::to_string(level))) << "-w" << level;
}

// The limits the compiler page states are the compiler's own.
TEST(HelpReference, CompilerPageStatesTheCompilersLimits) {
  Page page = load_page("tcx09.html");
  EXPECT_NE(page.text.find("nest at most " + std::to_string(tcx::NestingGuard::limit) + " levels"), std::string::npos);
  EXPECT_NE(page.text.find("holds at most " + std::to_string(tcx::ChainGuard::limit) + " operands in a row"),
            std::string::npos);
  EXPECT_NE(page.text.find("are at most " + std::to_string(tcx::ChainGuard::limit) + ". "), std::string::npos);
}

// ---- the workbench ----

// Every item of both menu bars, as the menus show it, is on the workbench page.
TEST(HelpReference, WorkbenchPageNamesEveryMenuItem) {
  using wb::MenuId;
  Page page = load_page("workbench.html");
  int items = 0;
  for (MenuId menu : {MenuId::NormalBar, MenuId::DebugBar, MenuId::File, MenuId::NewFile, MenuId::OpenFile,
                      MenuId::Edit, MenuId::Project, MenuId::Build, MenuId::Configuration, MenuId::Debug,
                      MenuId::SourceLevel, MenuId::Debugger, MenuId::Windows, MenuId::Help}) {
    for (const wb::MenuItem& item : wb::menu_items(menu)) {
      std::string text(item.text);
      std::erase(text, '&');
      if (text == "-" || text == "(Empty)") continue;
      ++items;
      EXPECT_TRUE(page_says(page.text, text)) << "menu item '" << text << "' is not on workbench.html";
    }
  }
  EXPECT_GT(items, 60);
}

// ---- the monitor ----

// The commands QM09 knows are the letters its prompt loop compares the line's
// first character with; each has its row on the terminal page, and the
// monitor's answers are quoted there.
TEST(HelpReference, TerminalPageNamesEveryMonitorCommand) {
  std::string src = source_text("data/config/zun09/qm09.s09");
  size_t from = src.find("\nprompt"), to = src.find("\ngo", from);
  ASSERT_NE(from, std::string::npos);
  std::string loop = src.substr(from, to - from);
  std::regex compare(R"(cmpa\s+#\$([0-9A-Fa-f]{2}))");
  Page page = load_page("terminal.html");
  int commands = 0;
  for (auto it = std::sregex_iterator(loop.begin(), loop.end(), compare); it != std::sregex_iterator(); ++it) {
    char letter = static_cast<char>(std::stoi((*it)[1], nullptr, 16));
    ++commands;
    const Element* row = element_with_id(page, std::string("monitor-") + letter);
    ASSERT_TRUE(row) << "monitor command " << letter << " has no row on terminal.html";
    EXPECT_TRUE(has_word(row->text, std::string(1, letter))) << letter;
  }
  EXPECT_GE(commands, 2);
  std::regex text(R"re(fcs\s+"([^"]*)")re");
  for (auto it = std::sregex_iterator(src.begin(), src.end(), text); it != std::sregex_iterator(); ++it) {
    std::string said = (*it)[1];
    for (const char* escape : {"\\r", "\\n"})
      for (size_t at; (at = said.find(escape)) != std::string::npos;) said.erase(at, 2);
    if (!collapse_blanks(said).empty()) EXPECT_TRUE(page_says(page.text, said)) << "the monitor says '" << said << "'";
  }
}

// ---- the C library ----

// Every function the installed headers declare and every register name of
// ky09.h is on the library page.
TEST(HelpReference, LibraryPageNamesEveryFunctionOfTheHeaders) {
  Page page = load_page("libc.html");
  std::regex function(R"(([A-Za-z_][A-Za-z0-9_]*)\s*\()");
  std::regex macro(R"(#define\s+([A-Z][A-Z0-9_]*))");
  int names = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ZUN_SOURCE_DIR) / "data/include")) {
    std::string header = entry.path().filename().string();
    EXPECT_TRUE(has_word(page.text, header)) << header;
    std::string text = source_text("data/include/" + header);
    // The declarations: lines outside comments that end a prototype.
    std::string code;
    for (size_t at = 0; at < text.size();) {
      size_t open = text.find("/*", at);
      code += text.substr(at, open == std::string::npos ? std::string::npos : open - at);
      if (open == std::string::npos) break;
      size_t close = text.find("*/", open);
      at = close == std::string::npos ? text.size() : close + 2;
    }
    std::istringstream lines(code);
    std::string line, statement;
    while (std::getline(lines, line)) {
      if (line.rfind("#", 0) == 0) {
        std::smatch m;
        if (header == "ky09.h" && std::regex_search(line, m, macro) && m[1] != "_KY09_H") {
          ++names;
          EXPECT_TRUE(has_word(page.text, m[1])) << "ky09.h's " << m[1] << " is not on libc.html";
        }
        continue;
      }
      statement += line + " ";
      if (line.find(';') == std::string::npos) continue;
      if (statement.find("typedef") == std::string::npos) {
        std::smatch m;
        if (std::regex_search(statement, m, function) && m[1].str()[0] != '_') {
          ++names;
          EXPECT_TRUE(has_word(page.text, m[1])) << header << "'s " << m[1] << " is not on libc.html";
        }
      }
      statement.clear();
    }
  }
  EXPECT_GT(names, 90);
}

}  // namespace
}  // namespace zun::help
