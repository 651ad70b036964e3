// The manual's pages as the tests see them: a small reader for the plain
// HTML of data/help that keeps what the checks need (the text a reader sees,
// the anchors, links and pictures, the examples) and the places they stand.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zun::help {

struct Element {
  std::string tag;                           // lower case
  std::map<std::string, std::string> attrs;  // names lower case, values decoded
  std::string text;                          // visible text inside, whitespace kept
  int line = 0;                              // line of the opening tag
};

struct Page {
  std::string name;                 // file name, e.g. "hasm09.html"
  std::string text;                 // visible text of the body, blanks collapsed
  std::vector<std::string> ids;     // every id and <a name>
  std::vector<Element> links;       // <a href>
  std::vector<Element> images;      // <img src>
  std::vector<Element> sheets;      // <link href>: the style sheet
  std::vector<Element> pres;        // every <pre>, in page order
  std::vector<Element> with_id;     // every element that has an id, with its text
  std::vector<std::string> faults;  // what the reader could not take
};

// A file of the source tree, whole ("" when it cannot be read).
std::string source_text(const std::string& relative);
// The folder of the pages in the source tree.
std::filesystem::path help_dir();
// Every page of the folder, sorted by name.
std::vector<std::string> page_names();
// One page of the folder, whole ("" when it cannot be read).
std::string page_html(const std::string& name);
// Reads and takes apart one page of the folder.
Page load_page(const std::string& name);
Page parse_page(const std::string& name, const std::string& html);

// Runs of blanks (spaces, tabs, line ends) become one space; the ends are trimmed.
std::string collapse_blanks(const std::string& text);
// True when `needle`, blanks collapsed, stands in `page_text` (already collapsed).
bool page_says(const std::string& page_text, const std::string& needle);

}  // namespace zun::help
