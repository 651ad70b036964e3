// The project file (".m09"): at once the makefile the make engine builds from
// and the store of the project's settings, its open editor files and the
// serial terminal's settings. Its writer, its reader and the dependency
// scanner that writes the header dependencies of every source into it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/project/project_model.h"

namespace zun::wb {

// What the project file shares with other parts of the workbench. Each may
// be left empty.
struct ProjectFileHooks {
  // The serial terminal's "#+" lines: pairs of a key line and the value
  // line after it. Without the terminal's own functions the lines read are
  // kept in Project::terminal_lines and written back as they were.
  std::function<void()> terminal_reset;  // before a project file is read
  // `key` is the key line behind its "#+", `value_line` the whole next line.
  std::function<void(std::string_view key, std::string_view value_line)> read_terminal_setting;
  std::function<std::string()> terminal_text;  // every "#+" line, each with its newline
  // The "##OF" lines of the editors open on the project's files; without it
  // the files read from the project file are written back.
  std::function<std::string(const Project&)> open_file_lines;
};

// "##OF" lines for those of `paths` that are files of the project.
std::string open_file_lines(const Project& project, const std::vector<std::string>& paths);

// ---- values in the project file ----
// A value in double quotes; a double quote inside it is written twice.
std::string quote_value(std::string_view value);
// The quoted value from the first '"' of `text` on (an unclosed one runs to
// the end); behind it, or null when the text holds no '"'.
const char* read_quoted_value(const char* text, std::string& value);
// An option text as stored behind "ASFLAGS=" and the like: a text that ends
// in a backslash is written with one blank more (make would join the next
// line to it); this takes it off again.
std::string option_text(std::string_view stored);

// Everything, or only what the project keeps (settings, files, open files,
// terminal lines) without the rules a build derives from it.
enum class TextPart { Whole, Settings };
// The text of the project file; none when a configuration section cannot be
// written (the message box has been shown).
std::optional<std::string> project_file_text(Project& project, ProjectHost& host, const ProjectFileHooks& hooks,
                                             TextPart part = TextPart::Whole);

// What became of a request to write the project file.
enum class ProjectWrite {
  Written,    // the file holds the project now
  Unchanged,  // it held it already (also: no project is open)
  Kept,       // left as it is on purpose: read-only, changed on disk or read with errors
  Failed      // it could not be written; the message has been given
};
inline bool written(ProjectWrite w) { return w == ProjectWrite::Written || w == ProjectWrite::Unchanged; }
// Who wants the file written: a change of the user's, or the workbench
// bringing the file up to date by itself (before a build, as it closes).
enum class WriteCause { Change, Refresh };

// Writes the text beside the project file and renames it over the old one
// (through a link, to the file it leads to), which stays as it was when
// anything fails. A file made read-only is left alone, with a message; one
// changed on disk since it was read, or read with errors, is replaced only
// when the user agrees (read with errors: never for a Refresh). After a
// refusal the file is left alone until the project closes.
ProjectWrite write_project_file(Project& project, ProjectHost& host, const ProjectFileHooks& hooks,
                                WriteCause cause = WriteCause::Change);
// False when the file cannot be read; the settings are cleared then. The
// "##OF" files go to Project::open_files; opening them is the caller's.
// Damage the reader could not read past is in Project::read_problems.
bool read_project_file(Project& project, ProjectHost& host, const ProjectFileHooks& hooks);

// The files a source depends on, the source first: its includes ("use" lines
// in assembler), followed from file to file through the source's directory,
// the standard include directory and the Debug configuration's include
// directories. A file found in the standard include directory is neither
// listed nor read, except with `list_all` (the file properties' list).
std::vector<std::string> scan_dependencies(const Project& project, const std::string& source, bool list_all,
                                           ProjectHost& host);

}  // namespace zun::wb
