// Find in files without a window: the dialog's histories and flags, the walk
// over a folder (and its subfolders) for the files that match a list of
// wildcard patterns, and one run of grep or fgrep per file, whose exit code
// is the number of hit lines in that file. The Qt dialog and controller
// (find_dialog.h, find_controller.h) sit on top.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zun::wb {

// Eight texts, entry 0 the current one. A push puts a text at entry 0 and
// moves the others down, dropping the last, unless it equals entry 0.
class SearchHistory {
 public:
  static constexpr int size = 8;
  explicit SearchHistory(size_t max_length) : max_length_(max_length) {}
  // The text is cut to the limit, never inside a UTF-8 character.
  void push(std::string_view text);
  const std::string& at(int i) const { return entries_[static_cast<size_t>(i)]; }
  const std::string& current() const { return entries_[0]; }
  // The non-empty entries in order, as the dialog's lists show them.
  std::vector<std::string> filled() const;
  size_t max_length() const { return max_length_; }

 private:
  size_t max_length_;
  std::array<std::string, size> entries_;
};

inline constexpr std::string_view default_file_types = "*.c;*.h;*.s09";

// Kept for the whole run of the workbench, not saved. The dialog's fields
// take no more than the histories keep; the file-types text is cut at 31
// characters as it is read.
struct FindSettings {
  static constexpr size_t what_limit = 63, types_limit = 31, folder_limit = 255;
  SearchHistory what{what_limit}, types{types_limit}, folder{folder_limit};
  bool whole_words = false, match_case = false, regex = false, subfolders = false;
};

// Before the dialog opens: an empty folder history gets `current_dir`, an
// empty file-types history the default patterns.
void prepare_find_dialog(FindSettings& settings, const std::string& current_dir);

// '*' any run of characters, '?' one character, letters in any case; "*.*"
// also matches a name without a dot.
bool wildcard_match(std::string_view pattern, std::string_view name);
// The patterns between ';', without surrounding blanks; empty ones dropped.
std::vector<std::string> split_file_types(std::string_view types);

// One run: the program of the program directory and its arguments, passed
// as they are (no command line to split, so any character of the text is
// safe).
struct GrepCommand {
  std::string program;  // "grep" for a regular expression, else "fgrep"
  std::vector<std::string> args;
};
GrepCommand grep_command(const FindSettings& settings, const std::string& file);

class FileSearch {
 public:
  struct Hooks {
    std::function<void(std::string_view)> print;  // to the output window
    std::function<void()> poll;                   // before each file: takes what the user queued
    // Runs the program; its exit code, or a negative run_* result of the
    // process runner.
    std::function<int(const GrepCommand&)> run;
  };
  enum class Outcome {
    Finished,
    Cancelled,
    Stopped,        // a program could not be run; the reason was printed
    NoFolder,       // nothing searched: the folder is not there
    BadExpression,  // nothing searched: the regular expression does not compile (error())
  };

  explicit FileSearch(Hooks hooks) : hooks_(std::move(hooks)) {}
  // Searches the folder of entry 0 of the folder history (a relative one
  // lies below `base_dir`) and prints the summary line.
  Outcome run(const FindSettings& settings, const std::string& base_dir);
  // Honoured before the next file; a running program is the caller's to stop.
  void cancel() { cancelled_ = true; }
  bool running() const { return running_; }
  int occurrences() const { return occurrences_; }
  const std::string& error() const { return error_; }

 private:
  void searchFolder(const std::string& dir);
  void searchFile(const std::string& path);

  Hooks hooks_;
  const FindSettings* settings_ = nullptr;
  std::vector<std::string> patterns_;
  bool running_ = false, cancelled_ = false, stopped_ = false;
  int occurrences_ = 0;
  std::string error_;
};

}  // namespace zun::wb
