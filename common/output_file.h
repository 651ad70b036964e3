// Output files that are either complete or not there. The text goes to a
// temporary beside the output; every write and the close are checked, and
// only a complete temporary takes the output's name. A failed or abandoned
// output leaves the old file as it was and no temporary behind.
//
// An existing output that is not a regular file (a device such as /dev/null,
// a FIFO) is written straight through and never replaced; a symbolic link is
// followed, so its target gets the new text and the link stays. Every tool
// writes its outputs through this class.
#pragma once

#include <sys/types.h>

#include <cstdio>

#include <string>
#include <string_view>

namespace zun {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Gets `path` ready for writing; the temporary is named `temp_prefix`
  // followed by six letters or digits, in the directory of the output (the
  // link's target for a link). False with the reason in error().
  bool open(const std::string& path, std::string_view temp_prefix);
  // Buffered; false once anything failed (the first reason stays).
  bool write(std::string_view text);
  // Flushes, closes and moves the temporary into place. False with the
  // reason in error(); the temporary is then gone and the old output intact.
  bool commit();
  // Drops everything written; the old output is untouched.
  void discard();

  bool is_open() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  bool flush();
  void fail(int err);
  void fail(const std::string& reason);

  std::string path_;    // as the caller named it
  std::string target_;  // the file that gets the text (links followed)
  std::string temp_;    // empty when writing straight through
  int fd_ = -1;
  bool failed_ = false;
  bool keep_mode_ = false;  // the replaced file's permissions go to the new one
  mode_t mode_ = 0;
  std::string buffer_;
  std::string error_;
};

// Writes `text` as the whole of `path`; false with the reason in `reason`.
bool write_output_file(const std::string& path, std::string_view text, std::string_view temp_prefix,
                       std::string& reason);

// Removes an output that a failed run must not leave behind; only a regular
// file is removed, never a device, a FIFO or a link.
void remove_output(const std::string& path);

// True when both names lead to one existing file.
bool same_file(const std::string& a, const std::string& b);

// The reason text the tools give when an output would overwrite an input.
inline constexpr const char* kOutputIsInput = "it is an input of this run";

// Writes and flushes text to a stream such as standard output; false when
// any of it could not be written.
bool write_stream(std::FILE* stream, std::string_view text);

// A write past the file-size limit then fails with "File too large" and is
// reported like a full disk, instead of killing the tool.
void ignore_file_size_signal();

}  // namespace zun
