// The manual hangs together: every page reads cleanly, is reachable from the
// index, and every link, anchor and picture it names is there.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "tests/help/help_pages.h"

namespace zun::help {
namespace {

std::map<std::string, Page> all_pages() {
  std::map<std::string, Page> pages;
  for (const std::string& name : page_names()) pages.emplace(name, load_page(name));
  return pages;
}

TEST(HelpPages, ReadCleanlyWithTitleAndUniqueIds) {
  for (const auto& [name, page] : all_pages()) {
    for (const std::string& fault : page.faults) ADD_FAILURE() << name << ": " << fault;
    std::set<std::string> seen;
    for (const std::string& id : page.ids)
      EXPECT_TRUE(seen.insert(id).second) << name << ": id '" << id << "' stands twice";
    EXPECT_FALSE(page.text.empty()) << name;
  }
}

// Every link leads to a page of the manual and, with '#', to an anchor on it;
// every picture is a file beside the pages. Nothing points outside: the help
// is read without a network.
TEST(HelpPages, LinksAnchorsAndPicturesResolve) {
  auto pages = all_pages();
  for (const auto& [name, page] : pages) {
    for (const Element& a : page.links) {
      std::string href = a.attrs.at("href");
      std::string file = href.substr(0, href.find('#'));
      std::string anchor = href.find('#') == std::string::npos ? "" : href.substr(href.find('#') + 1);
      if (file.empty()) file = name;
      auto target = pages.find(file);
      if (target == pages.end()) {
        ADD_FAILURE() << name << " line " << a.line << ": link to '" << href << "' leads to no page";
        continue;
      }
      if (!anchor.empty()) {
        const auto& ids = target->second.ids;
        EXPECT_TRUE(std::find(ids.begin(), ids.end(), anchor) != ids.end())
            << name << " line " << a.line << ": no anchor '" << anchor << "' on " << file;
      }
    }
    for (const Element& img : page.images) {
      std::string src = img.attrs.count("src") ? img.attrs.at("src") : "";
      EXPECT_TRUE(!src.empty() && std::filesystem::is_regular_file(help_dir() / src))
          << name << " line " << img.line << ": picture '" << src << "' is missing";
      EXPECT_TRUE(img.attrs.count("alt")) << name << " line " << img.line << ": picture without alt text";
    }
    for (const Element& sheet : page.sheets) {
      std::string href = sheet.attrs.count("href") ? sheet.attrs.at("href") : "";
      EXPECT_TRUE(!href.empty() && std::filesystem::is_regular_file(help_dir() / href))
          << name << " line " << sheet.line << ": style sheet '" << href << "' is missing";
    }
  }
}

// From the index every page can be reached by following links.
TEST(HelpPages, EveryPageIsReachableFromTheIndex) {
  auto pages = all_pages();
  ASSERT_TRUE(pages.count("index.html"));
  std::set<std::string> reached = {"index.html"};
  std::vector<std::string> todo = {"index.html"};
  while (!todo.empty()) {
    std::string name = todo.back();
    todo.pop_back();
    for (const Element& a : pages.at(name).links) {
      std::string href = a.attrs.at("href");
      std::string file = href.substr(0, href.find('#'));
      if (!file.empty() && pages.count(file) && reached.insert(file).second) todo.push_back(file);
    }
  }
  for (const auto& [name, page] : pages) EXPECT_TRUE(reached.count(name)) << name << " is not linked";
  // Pictures that no page shows only weigh on the installation.
  std::set<std::string> shown;
  for (const auto& [name, page] : pages)
    for (const Element& img : page.images) shown.insert(img.attrs.count("src") ? img.attrs.at("src") : "");
  for (const auto& entry : std::filesystem::directory_iterator(help_dir())) {
    if (entry.path().extension() == ".png") {
      EXPECT_TRUE(shown.count(entry.path().filename().string())) << entry.path().filename() << " is shown nowhere";
    }
  }
}

}  // namespace
}  // namespace zun::help
