// The place of a new MDI window: inside the area, clear of the others where
// there is room, and else clear of their title bars' buttons; never under a
// window that stays on top of the area where it can be helped.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "workbench/core/workbench_core.h"

using namespace zun::wb;

namespace zun::wb {
void PrintTo(const WindowRect& r, std::ostream* os) { *os << r.x << "," << r.y << " " << r.width << "x" << r.height; }
}  // namespace zun::wb

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

// The project manager floats over the area's left part, below the output
// window; nothing placed may go under it while there is room beside it.
TEST(WbPlaceWindow, WindowsOnTopHideNothingNew) {
  const std::vector<WindowRect> output = {{0, 0, 1600, 230}};
  const std::vector<WindowRect> manager = {{20, 180, 202, 420}};
  // A terminal wanted at the area's corner and a device window wanted
  // there beside the simulator and another terminal.
  const WindowRect terminal = place_window(1600, 900, output, {0, 0, 650, 460}, title, manager);
  EXPECT_FALSE(meet(terminal, manager[0]));
  EXPECT_FALSE(meet(terminal, output[0]));
  std::vector<WindowRect> session = {output[0], {490, 240, 625, 495}, {920, 690, 680, 210}};
  const WindowRect panel = place_window(1600, 900, session, {0, 0, 205, 170}, title, manager);
  EXPECT_FALSE(meet(panel, manager[0])) << panel.x << "," << panel.y;
  for (const WindowRect& o : session) EXPECT_FALSE(meet(panel, o)) << panel.x << "," << panel.y;
  // Without room beside it the window goes where the least of it lies
  // under, its title bar clear.
  const std::vector<WindowRect> left = {{0, 100, 200, 300}};
  EXPECT_EQ(place_window(600, 400, {}, {0, 0, 500, 350}, title, left), (WindowRect{100, 0, 500, 350}));
  // Only the part inside the area counts: one pushed past the area's left
  // edge leaves room at x 0 beside it; one outside leaves the wanted place.
  const std::vector<WindowRect> pushed = {{-150, 0, 200, 400}};
  EXPECT_EQ(place_window(600, 400, {}, {0, 10, 300, 200}, title, pushed), (WindowRect{50, 10, 300, 200}));
  const std::vector<WindowRect> away = {{700, 0, 200, 400}};
  EXPECT_EQ(place_window(600, 400, {}, {0, 10, 300, 200}, title, away), (WindowRect{0, 10, 300, 200}));
}

// The project manager's first place keeps clear of the output window at its
// first place (the area's top quarter) and of the status bar below the area.
TEST(WbPlaceWindow, TheProjectManagerHidesNoMessage) {
  // 1600x1000 and 1024x700 screens: the area begins under the menu bar.
  for (WindowRect area : {WindowRect{0, 22, 1600, 932}, WindowRect{0, 22, 1024, 632}, WindowRect{0, 30, 1200, 700}}) {
    const WindowRect output{area.x, area.y, area.width, area.height / 4};
    const WindowRect m = manager_place(area, 200, 425, 150);
    EXPECT_FALSE(meet(m, output)) << m.x << "," << m.y;
    EXPECT_LE(m.y + m.height, area.y + area.height) << m.x << "," << m.y;
    EXPECT_EQ(m.height, 425);
    EXPECT_EQ(m.x, 20);
  }
  // Where the output ends above 220 the manager stands at 220.
  EXPECT_EQ(manager_place({0, 20, 1024, 600}, 200, 425, 150), (WindowRect{20, 220, 200, 400}));
  // A short area: shorter, down to the least height, then over the bar.
  EXPECT_EQ(manager_place({0, 20, 1024, 500}, 200, 425, 150), (WindowRect{20, 220, 200, 300}));
  EXPECT_EQ(manager_place({0, 20, 1024, 300}, 200, 425, 150), (WindowRect{20, 220, 200, 150}));
  EXPECT_EQ(manager_place({0, 20, 1024, 300}, 200, 100, 150), (WindowRect{20, 220, 200, 100}));
}

// A console opened in front of the window the user works in hides the least
// of it, even at the price of covering other windows' title bars.
TEST(WbPlaceWindow, AWindowInFrontKeepsClearOfTheActiveOne) {
  const std::vector<WindowRect> others = {{0, 0, 1024, 160}, {0, 170, 250, 250}, {420, 310, 512, 310}};
  const std::vector<WindowRect> active = {others[2]};
  const WindowRect console = place_window(1024, 630, others, {0, 0, 650, 270}, title, {}, active);
  EXPECT_FALSE(meet(console, active[0])) << console.x << "," << console.y;
  EXPECT_TRUE(inside(console, 1024, 630));
  // Without room beside it, the least of it.
  const WindowRect big = place_window(1024, 630, others, {0, 0, 650, 460}, title, {}, active);
  EXPECT_LE(std::min(big.x + big.width, 932) - std::max(big.x, 420), 420) << big.x << "," << big.y;
}
