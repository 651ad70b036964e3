// The frame's small bookkeeping rules: the caption text, the list of the
// most recently opened workspaces (kept in the settings store by the frame),
// the place of a new window among those already in the MDI area, and the
// project manager's first place.
#include "workbench/core/workbench_core.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

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

namespace {

long long overlap(const WindowRect& a, const WindowRect& b) {
  const long long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
  const long long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
  return w > 0 && h > 0 ? w * h : 0;
}

WindowRect title_bar(const WindowRect& r, int title_height) {
  return {r.x, r.y, r.width, std::min(r.height, title_height)};
}

// The right end of the title bar, where its buttons are (close among them).
WindowRect title_buttons(const WindowRect& r, int title_height) {
  const int width = std::min(r.width, 3 * title_height);
  return {r.x + r.width - width, r.y, width, std::min(r.height, title_height)};
}

// The positions along one axis worth trying: the wanted one, both ends of
// the area, and flush with either edge of every other window, on either
// side of it, or with the inner edge of its title bar or of its buttons
// (`inset` from its edge); each kept inside the area.
std::vector<int> axis_places(int wanted, int size, int area, const std::vector<std::pair<int, int>>& spans,
                             int inset) {
  const int last = std::max(0, area - size);
  std::vector<int> places = {wanted, 0, last};
  for (auto [from, to] : spans)
    places.insert(places.end(), {from, to, from - size, to - size, from + inset, to - inset - size});
  for (int& p : places) p = std::clamp(p, 0, last);
  std::sort(places.begin(), places.end());
  places.erase(std::unique(places.begin(), places.end()), places.end());
  return places;
}

}  // namespace

WindowRect place_window(int area_width, int area_height, std::span<const WindowRect> others, WindowRect wanted,
                        int title_height, std::span<const WindowRect> on_top, std::span<const WindowRect> keep_clear) {
  std::vector<std::pair<int, int>> xs, ys;
  for (std::span<const WindowRect> list : {others, on_top})
    for (const WindowRect& o : list) {
      xs.emplace_back(o.x, o.x + o.width);
      ys.emplace_back(o.y, o.y + o.height);
    }
  // What of its title bar, then of the whole window, lies under the windows
  // on top, where nothing brings it forward; what it covers of the windows
  // to keep clear (the one the user works in); what the new window hides at
  // once of the others' title bar buttons, then what they would hide of its
  // own once one of them comes to the top; the same for the whole title
  // bars; how much of the others it covers; how far it is from the wanted
  // place.
  using Cost = std::array<long long, 9>;
  Cost best{std::numeric_limits<long long>::max()};
  WindowRect chosen = wanted;
  for (int x : axis_places(wanted.x, wanted.width, area_width, xs, 3 * title_height))
    for (int y : axis_places(wanted.y, wanted.height, area_height, ys, title_height)) {
      const WindowRect r{x, y, wanted.width, wanted.height};
      const long long dx = x - wanted.x, dy = y - wanted.y;
      Cost cost{0, 0, 0, 0, 0, 0, 0, 0, dx * dx + dy * dy};
      for (const WindowRect& t : on_top) {
        cost[0] += overlap(t, title_bar(r, title_height));
        cost[1] += overlap(t, r);
      }
      for (const WindowRect& k : keep_clear) cost[2] += overlap(r, k);
      for (const WindowRect& o : others) {
        cost[3] += overlap(r, title_buttons(o, title_height));
        cost[4] += overlap(o, title_buttons(r, title_height));
        cost[5] += overlap(r, title_bar(o, title_height));
        cost[6] += overlap(o, title_bar(r, title_height));
        cost[7] += overlap(r, o);
      }
      if (cost < best) {
        best = cost;
        chosen = r;
      }
    }
  return chosen;
}

WindowRect manager_place(WindowRect area, int width, int height, int min_height) {
  const int top = std::max(220, area.y + area.height / 4);
  const int room = area.y + area.height - top;
  return {20, top, width, std::clamp(room, std::min(min_height, height), height)};
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
