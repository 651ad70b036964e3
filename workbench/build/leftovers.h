// Temporary files that a killed run of a tool or a build left in the project
// folder, and the hold a make run keeps on its folder so that another build
// can tell that the compile chain's files there may still be in use.
#pragma once

#include <string>

namespace zun::wb {

// A shared lock on the folder for the life of a make run; when no other run
// held one as it began, the run is alone in the folder.
class FolderHold {
 public:
  explicit FolderHold(const std::string& dir);
  ~FolderHold();
  FolderHold(const FolderHold&) = delete;
  FolderHold& operator=(const FolderHold&) = delete;
  bool alone() const { return alone_; }

 private:
  int fd_ = -1;
  bool alone_ = false;
};

// Removes from `dir` (not below it) the regular files whose names the
// temporary-file templates made (common/temporary.h) and that are not in
// use: no process has one open, and either it is old, or it is a tool's
// temporary (which its tool keeps open while it lives), or `alone` says that
// no other build runs in the folder.
void remove_leftover_temporaries(const std::string& dir, bool alone);

}  // namespace zun::wb
