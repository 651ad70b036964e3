// The frame's small bookkeeping rules: the caption text and the list of the
// most recently opened workspaces (kept in the settings store by the frame).
#include "workbench/core/workbench_core.h"

#include "common/format.h"
#include "common/text.h"

namespace zun::wb {

std::string frame_caption(std::string_view project_name, std::optional<std::string_view> editor_file,
                          bool editor_modified) {
  std::string title(product_title);
  std::string project(project_name);
  if (!editor_file) return format("%s - KVT %s", project.c_str(), title.c_str());
  std::string name(editor_file->substr(0, 119));
  if (editor_modified) name += " *";
  return format("%s - KVT %s - [%s]", project.c_str(), title.c_str(), name.c_str());
}

void RecentWorkspaces::push(const std::string& path) {
  int found = -1;
  for (int i = 0; i < slot_count; ++i)
    if (!slots_[i].empty() && equal_nocase(slots_[i], path)) found = i;
  if (found == 0) return;
  int last = found < 0 ? slot_count - 1 : found;
  for (int i = last; i > 0; --i) slots_[i] = std::move(slots_[i - 1]);
  slots_[0] = path;
}

}  // namespace zun::wb
