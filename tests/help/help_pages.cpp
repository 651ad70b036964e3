// The page reader of the manual's tests: tags, attributes, entities and the
// visible text, as far as the plain HTML of the help pages uses them.
#include "tests/help/help_pages.h"

#include <algorithm>

#include "tests/tools/tool_run.h"

namespace zun::help {

namespace {

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

// Elements that end a line of text: their edges separate words.
bool is_block(const std::string& tag) {
  static const char* const blocks[] = {"p", "br", "li", "td", "th", "tr", "h1", "h2", "h3", "h4", "h5",
                                       "h6", "div", "pre", "table", "dt", "dd", "ul", "ol", "dl", "hr",
                                       "body", "caption", "img"};
  return std::any_of(std::begin(blocks), std::end(blocks), [&](const char* b) { return tag == b; });
}

bool is_void(const std::string& tag) {
  return tag == "br" || tag == "img" || tag == "hr" || tag == "meta" || tag == "link";
}

void append_utf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Decodes the entities of `raw`; an unknown one is noted in `faults`.
std::string decode(const std::string& raw, int line, std::vector<std::string>& faults) {
  static const std::map<std::string, unsigned long> named = {
      {"lt", '<'},     {"gt", '>'},       {"amp", '&'},     {"quot", '"'},    {"apos", '\''},
      {"nbsp", ' '},   {"mdash", 0x2014}, {"ndash", 0x2013}, {"rarr", 0x2192}, {"larr", 0x2190},
      {"times", 0xD7}, {"hellip", 0x2026}, {"middot", 0xB7}, {"le", 0x2264},   {"ge", 0x2265}};
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    size_t semi = raw.find(';', i);
    std::string name = semi == std::string::npos ? "" : raw.substr(i + 1, semi - i - 1);
    unsigned long code = 0;
    bool known = false;
    if (name.size() > 1 && name[0] == '#') {
      try {
        code = name[1] == 'x' ? std::stoul(name.substr(2), nullptr, 16) : std::stoul(name.substr(1));
        known = true;
      } catch (...) {
      }
    } else if (auto it = named.find(name); it != named.end()) {
      code = it->second;
      known = true;
    }
    if (!known) {
      faults.push_back("line " + std::to_string(line) + ": unknown or unclosed entity at '" +
                       raw.substr(i, 12) + "'");
      out += '&';
      continue;
    }
    append_utf8(out, code);
    i = semi;
  }
  return out;
}

struct Open {
  std::string tag;
  size_t element;  // index in the reader's element list
  size_t start;    // where its text begins in the body text
};

class Reader {
 public:
  Reader(const std::string& name, const std::string& html) : html_(html) { page_.name = name; }

  Page read() {
    while (pos_ < html_.size()) {
      if (html_[pos_] == '<') {
        tag();
      } else {
        size_t next = html_.find('<', pos_);
        if (next == std::string::npos) next = html_.size();
        text(html_.substr(pos_, next - pos_));
        pos_ = next;
      }
    }
    for (const Open& o : open_)
      if (o.tag != "html" && o.tag != "body")
        page_.faults.push_back("<" + o.tag + "> at line " + std::to_string(elements_[o.element].line) +
                               " is never closed");
    for (Element& e : elements_) {
      if (e.tag == "a" && e.attrs.count("href")) page_.links.push_back(e);
      if (e.tag == "img") page_.images.push_back(e);
      if (e.tag == "link") page_.sheets.push_back(e);
      if (e.tag == "pre") page_.pres.push_back(e);
      if (e.attrs.count("id")) page_.with_id.push_back(e);
    }
    page_.text = collapse_blanks(body_);
    return page_;
  }

 private:
  int line_at(size_t p) const { return 1 + static_cast<int>(std::count(html_.begin(), html_.begin() + p, '\n')); }

  void text(const std::string& raw) {
    if (skipping_ > 0) return;
    std::string t = decode(raw, line_at(pos_), page_.faults);
    if (in_pre_ && pre_start_pending_) {
      if (!t.empty() && t[0] == '\n') t.erase(0, 1);
      pre_start_pending_ = false;
    }
    body_ += t;
  }

  void tag() {
    if (html_.compare(pos_, 4, "<!--") == 0) {
      size_t end = html_.find("-->", pos_);
      pos_ = end == std::string::npos ? html_.size() : end + 3;
      return;
    }
    size_t end = html_.find('>', pos_);
    if (end == std::string::npos) {
      page_.faults.push_back("unclosed '<' at line " + std::to_string(line_at(pos_)));
      pos_ = html_.size();
      return;
    }
    std::string inside = html_.substr(pos_ + 1, end - pos_ - 1);
    int line = line_at(pos_);
    pos_ = end + 1;
    if (inside.empty() || inside[0] == '!' || inside[0] == '?') return;
    if (inside[0] == '/') {
      close(lower(inside.substr(1)), line);
      return;
    }
    bool self_closing = inside.back() == '/';
    if (self_closing) inside.pop_back();
    size_t n = 0;
    while (n < inside.size() && !is_space(inside[n])) ++n;
    Element e;
    e.tag = lower(inside.substr(0, n));
    e.line = line;
    attributes(inside.substr(n), e, line);
    open(std::move(e), self_closing);
  }

  void attributes(const std::string& s, Element& e, int line) {
    size_t i = 0;
    while (i < s.size()) {
      while (i < s.size() && is_space(s[i])) ++i;
      size_t start = i;
      while (i < s.size() && !is_space(s[i]) && s[i] != '=') ++i;
      if (start == i) break;
      std::string name = lower(s.substr(start, i - start)), value;
      while (i < s.size() && is_space(s[i])) ++i;
      if (i < s.size() && s[i] == '=') {
        ++i;
        while (i < s.size() && is_space(s[i])) ++i;
        if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
          char q = s[i++];
          size_t close = s.find(q, i);
          if (close == std::string::npos) {
            page_.faults.push_back("unclosed attribute quote at line " + std::to_string(line));
            close = s.size();
          }
          value = s.substr(i, close - i);
          i = close + 1;
        } else {
          size_t v = i;
          while (i < s.size() && !is_space(s[i])) ++i;
          value = s.substr(v, i - v);
        }
      }
      e.attrs[name] = decode(value, line, page_.faults);
    }
  }

  void open(Element e, bool self_closing) {
    const std::string tag = e.tag;
    if (tag == "head" || tag == "script" || tag == "style" || tag == "title") ++skipping_;
    if (is_block(tag)) body_ += '\n';
    if (e.attrs.count("id")) page_.ids.push_back(e.attrs["id"]);
    if (tag == "a" && e.attrs.count("name")) page_.ids.push_back(e.attrs["name"]);
    elements_.push_back(std::move(e));
    if (is_void(tag) || self_closing) return;
    if (tag == "pre") {
      in_pre_ = true;
      pre_start_pending_ = true;
    }
    // Paragraphs and list items close themselves when the next one opens.
    if ((tag == "p" || tag == "li" || tag == "tr" || tag == "td" || tag == "th") && !open_.empty() &&
        open_.back().tag == tag)
      close(tag, elements_.back().line);
    open_.push_back({tag, elements_.size() - 1, body_.size()});
  }

  void close(const std::string& tag, int line) {
    auto it = std::find_if(open_.rbegin(), open_.rend(), [&](const Open& o) { return o.tag == tag; });
    if (it == open_.rend()) {
      if (!is_void(tag)) page_.faults.push_back("</" + tag + "> at line " + std::to_string(line) + " closes nothing");
      return;
    }
    while (!open_.empty()) {
      Open o = open_.back();
      open_.pop_back();
      elements_[o.element].text = body_.substr(o.start);
      if (o.tag == "head" || o.tag == "script" || o.tag == "style" || o.tag == "title") --skipping_;
      if (o.tag == "pre") in_pre_ = false;
      if (o.tag != tag && o.tag != "p" && o.tag != "li" && o.tag != "td" && o.tag != "th" && o.tag != "tr")
        page_.faults.push_back("<" + o.tag + "> at line " + std::to_string(elements_[o.element].line) +
                               " is closed by </" + tag + "> at line " + std::to_string(line));
      if (o.tag == tag) break;
    }
    if (is_block(tag)) body_ += '\n';
  }

  const std::string& html_;
  size_t pos_ = 0;
  Page page_;
  std::vector<Element> elements_;
  std::vector<Open> open_;
  std::string body_;
  int skipping_ = 0;
  bool in_pre_ = false;
  bool pre_start_pending_ = false;
};

}  // namespace

std::string source_text(const std::string& relative) {
  return test::read_whole(std::filesystem::path(ZUN_SOURCE_DIR) / relative);
}

std::filesystem::path help_dir() { return std::filesystem::path(ZUN_SOURCE_DIR) / "data" / "help"; }

std::vector<std::string> page_names() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(help_dir()))
    if (entry.path().extension() == ".html") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

Page parse_page(const std::string& name, const std::string& html) { return Reader(name, html).read(); }

std::string page_html(const std::string& name) { return test::read_whole(help_dir() / name); }

Page load_page(const std::string& name) { return parse_page(name, page_html(name)); }

std::string collapse_blanks(const std::string& text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (is_space(c)) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

bool page_says(const std::string& page_text, const std::string& needle) {
  return page_text.find(collapse_blanks(needle)) != std::string::npos;
}

}  // namespace zun::help
