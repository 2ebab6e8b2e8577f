// Back and Forward through the views: which views become entries, and where Back and Forward lead.
#include "view/viewhistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

using std::chrono::milliseconds;

// View n: a view of one map, told apart by its centre.
ViewEntry View(int n) {
  return {"/maps/a.dem", 100, {n, 2 * n}};
}

enum class Op { Jump, Move, Back, Forward };
struct Step {
  Op op;
  int atMs;
  int view;  // Jump, Move: the view; Back, Forward: the view expected, 0 for none
};
struct Case {
  const char* name;
  std::vector<Step> steps;
  std::vector<int> entries;  // recorded at the end, oldest first
};

TEST(ViewHistory, BurstsHoldTimeAndJumps) {
  const Op J = Op::Jump, M = Op::Move, B = Op::Back, F = Op::Forward;
  const Case cases[] = {
      {"a burst of wheel steps is one entry",
       {{J, 0, 1},
        {M, 2000, 2},
        {M, 2200, 3},
        {M, 2400, 4},
        {J, 5000, 5},
        {B, 5100, 4},
        {B, 5200, 1},
        {B, 5300, 0}},
       {1, 4, 5}},
      {"views held less than a second are not recorded",
       {{J, 0, 1}, {M, 2000, 2}, {M, 2500, 3}, {J, 2900, 5}},
       {1, 5}},
      {"moves held a second are recorded",
       {{J, 0, 1}, {M, 1000, 2}, {M, 2000, 3}, {B, 2500, 2}, {B, 2600, 1}, {F, 2700, 2}, {F, 2800, 0}},
       {1, 2}},
      {"back from a fresh move returns to the last entry and forgets the move",
       {{J, 0, 1}, {J, 100, 2}, {M, 200, 3}, {B, 300, 2}, {B, 400, 1}, {F, 500, 2}, {F, 600, 0}},
       {1, 2}},
      {"a held move is recorded when going back",
       {{J, 0, 1}, {M, 100, 2}, {B, 1200, 1}, {F, 1300, 2}},
       {1, 2}},
      {"a new view after going back replaces the ones ahead",
       {{J, 0, 1}, {J, 10, 2}, {J, 20, 3}, {B, 30, 2}, {B, 40, 1}, {J, 50, 4}, {F, 60, 0}, {B, 70, 1}},
       {1, 4}},
      {"quick jumps are all recorded", {{J, 0, 1}, {J, 10, 2}, {J, 20, 3}}, {1, 2, 3}},
      {"the same view is one entry", {{J, 0, 1}, {J, 5000, 1}, {M, 9000, 1}, {B, 12000, 0}}, {1}},
      {"moving back onto the recorded view leaves nothing pending",
       {{J, 0, 1}, {M, 100, 2}, {M, 200, 1}, {J, 5000, 3}},
       {1, 3}},
      {"forward after back and a brief move",
       {{J, 0, 1}, {J, 10, 2}, {B, 20, 1}, {M, 30, 5}, {F, 40, 2}},
       {1, 2}},
      {"a move before any map is recorded only when held",
       {{M, 0, 7}, {B, 10, 0}, {M, 20, 8}, {J, 2000, 1}},
       {8, 1}},
  };
  for (const Case& c : cases) {
    ViewHistory history;
    const ViewHistory::Time start{};
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      const ViewHistory::Time now = start + milliseconds(s.atMs);
      if (s.op == Op::Jump) history.Jump(View(s.view), now);
      if (s.op == Op::Move) history.Move(View(s.view), now);
      if (s.op == Op::Back || s.op == Op::Forward) {
        const bool can = s.op == Op::Back ? history.CanGoBack() : history.CanGoForward(now);
        const std::optional<ViewEntry> to = s.op == Op::Back ? history.Back(now) : history.Forward(now);
        EXPECT_EQ(can, to.has_value()) << c.name << " step " << i;
        EXPECT_EQ(to.value_or(ViewEntry{}), s.view ? View(s.view) : ViewEntry{}) << c.name << " step " << i;
      }
    }
    std::vector<int> recorded;
    for (const ViewEntry& e : history.entries()) recorded.push_back(e.centre.x);
    EXPECT_EQ(recorded, c.entries) << c.name;
  }
}

TEST(ViewHistory, KeepsTheNewestHundredEntries) {
  ViewHistory history;
  const ViewHistory::Time start{};
  for (int n = 1; n <= 150; ++n) history.Jump(View(n), start + milliseconds(n));
  ASSERT_EQ(history.entries().size(), 100u);
  int steps = 0;
  std::optional<ViewEntry> last;
  while (auto view = history.Back(start + milliseconds(200))) last = view, ++steps;
  EXPECT_EQ(steps, 99);
  EXPECT_EQ(last, View(51));
}

TEST(ViewHistory, AMapForgottenLeavesTheOtherEntriesAndTheOneShown) {
  ViewHistory history;
  const ViewHistory::Time t{};
  ViewEntry a1 = View(1), a2 = View(2), b1 = View(3), b2 = View(4);
  b1.mapFile = b2.mapFile = "/maps/b.dem";
  for (const ViewEntry& v : {a1, b1, a2, b2}) history.Jump(v, t);
  EXPECT_EQ(history.Back(t), a2);
  history.ForgetMap("/maps/b.dem");
  EXPECT_EQ((std::deque<ViewEntry>{a1, a2}), history.entries());
  EXPECT_FALSE(history.CanGoForward(t));
  EXPECT_EQ(history.Back(t), a1);
}

TEST(ViewHistory, EntriesDifferByMapAndZoom) {
  ViewHistory history;
  const ViewHistory::Time t{};
  ViewEntry a = View(1), b = a, c = a;
  b.zoomPercent = 200;
  c.mapFile = "/maps/b.dem";
  for (const ViewEntry& v : {a, b, c}) history.Jump(v, t);
  EXPECT_EQ(history.Back(t), b);
  EXPECT_EQ(history.Back(t), a);
}

}  // namespace
}  // namespace orv
