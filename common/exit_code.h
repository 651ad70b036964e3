// The exit code of a run from its count of errors.
#pragma once

namespace zun {

// min(count, 255) so that 256 errors never read as success; 0 for a count of
// 0 or below.
inline int exit_code_for_errors(long count) {
  if (count <= 0) return 0;
  return count > 255 ? 255 : static_cast<int>(count);
}

}  // namespace zun
