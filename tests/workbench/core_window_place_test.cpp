// The place of a new MDI window: inside the area, clear of the others where
// there is room, and else clear of their title bars' buttons.
#include <gtest/gtest.h>

#include <vector>

#include "workbench/core/workbench_core.h"

using namespace zun::wb;

namespace {

constexpr int title = 20;

bool inside(const WindowRect& r, int w, int h) {
  return r.x >= 0 && r.y >= 0 && r.x + r.width <= w && r.y + r.height <= h;
}

bool meet(const WindowRect& a, const WindowRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

}  // namespace

TEST(WbPlaceWindow, FreePlacesAreKeptOthersAvoidedAndTheAreaKept) {
  // Below the output window there is room: the wanted place stays.
  const std::vector<WindowRect> output = {{0, 0, 1000, 175}};
  EXPECT_EQ(place_window(1000, 700, output, {200, 300, 250, 250}, title), (WindowRect{200, 300, 250, 250}));
  // A window wanted almost exactly behind another goes beside it, the
  // nearest place where the two do not meet.
  const std::vector<WindowRect> autos = {{50, 120, 250, 250}};
  const WindowRect globals = place_window(1000, 700, autos, {40, 100, 250, 250}, title);
  EXPECT_FALSE(meet(globals, autos[0]));
  EXPECT_EQ(globals, (WindowRect{300, 100, 250, 250}));
  // A window that would hang over the right and bottom edges moves in only
  // as far as it must.
  EXPECT_EQ(place_window(800, 600, {}, {500, 400, 660, 430}, title), (WindowRect{140, 170, 660, 430}));
  const WindowRect dragged = place_window(800, 600, {}, {-30, -10, 200, 100}, title);
  EXPECT_TRUE(inside(dragged, 800, 600));
  // One larger than the area shows its top-left corner, title bar first.
  EXPECT_EQ(place_window(400, 300, {}, {50, 50, 600, 500}, title), (WindowRect{0, 0, 600, 500}));
}

TEST(WbPlaceWindow, AFullAreaLeavesTheTitleBarsClear) {
  // Two halves fill the area: the new window must cover some of them, but
  // neither title bar.
  const std::vector<WindowRect> halves = {{0, 0, 300, 400}, {300, 0, 300, 400}};
  EXPECT_EQ(place_window(600, 400, halves, {0, 0, 200, 150}, title), (WindowRect{0, title, 200, 150}));
  // The windows of a debugging session opened one after another in an
  // area too small for them: each stays inside and hides none of the title
  // bar buttons that are already there.
  std::vector<WindowRect> shown = {{0, 0, 1200, 190}};
  for (WindowRect w : {WindowRect{284, 115, 632, 530}, WindowRect{0, 0, 660, 430}, WindowRect{0, 0, 200, 150},
                       WindowRect{560, 190, 600, 380}, WindowRect{50, 120, 250, 250}, WindowRect{40, 100, 250, 250}}) {
    const WindowRect r = place_window(1200, 760, shown, w, title);
    EXPECT_TRUE(inside(r, 1200, 760));
    for (const WindowRect& o : shown)
      EXPECT_FALSE(meet(r, {o.x + o.width - 3 * title, o.y, 3 * title, title})) << r.x << "," << r.y;
    shown.push_back(r);
  }
}
