// The directions window on a real (offscreen) window: its texts, its five messages, and how it closes.
#include "view/directionswindow.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <set>

namespace {

const char* const kMessages[] = {
    "You need serious help if you can't find where you're standing! :)",
    "Are you really that stupid?!",
    "Oh come on, you're actually going to make me point it OUT to you?!?",
    "It doesn't take a genius to look down where your feet are! ;P",
    "If this is the kind of stuff you're going to ask me, I might as well close this program for you! =)",
};

class DirectionsWindowTest : public ::testing::Test {
 protected:
  DirectionsWindowTest() {
    // Corners on which a zoomed map pixel at 100 percent is the world point of the same numbers.
    corners_ = {{0, 0}, {5120, 0}, {0, 4096}, {5120, 4096}};
  }
  QString Text(const char* label) { return window_.findChild<QLabel*>(label)->text(); }

  orv::MapCorners corners_;
  std::mt19937 random_;
  TForm2 window_;
};

TEST_F(DirectionsWindowTest, IsAFixedStayOnTopWindowWithoutTitleBarButtons) {
  window_.ShowDirections(corners_, 100, random_, 1000, 1000, 980, 1040);
  EXPECT_TRUE(window_.isVisible());
  EXPECT_FALSE(window_.isModal());
  EXPECT_EQ(window_.windowTitle(), "Directions");
  EXPECT_EQ(window_.size(), QSize(312, 225));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  const Qt::WindowFlags flags = window_.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags &
               (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(Text("Label1"), "From:");
  EXPECT_TRUE(window_.findChild<QLabel*>("Label6")->font().bold());
  EXPECT_TRUE(window_.findChild<QLabel*>("Conclusion")->wordWrap());
}

TEST_F(DirectionsWindowTest, ConclusionsAndPlaceTexts) {
  const struct {
    int startX, startY, targetX, targetY;
    const char* conclusion;
  } cases[] = {
      {1000, 1000, 980, 1040,
       "Move 20 steps (About 1 screens) to the WEST and 40 steps (About 3 screens) to the SOUTH."},
      {1000, 1000, 1000, 994, "Move 6 steps (About 1 screens) to the NORTH."},
      {1000, 1000, 1007, 1000, "Move 7 steps (About 0 screens) to the EAST."},
      {1000, 1000, 1001, 1001,
       "Move 1 steps (About 0 screens) to the EAST and 1 steps (About 0 screens) to the SOUTH."},
  };
  for (const auto& c : cases) {
    window_.ShowDirections(corners_, 100, random_, c.startX, c.startY, c.targetX, c.targetY);
    EXPECT_EQ(Text("Conclusion"), c.conclusion);
    EXPECT_EQ(Text("WhereFrom"), QString("%1 %2").arg(c.startX).arg(c.startY));
    EXPECT_EQ(Text("WhereTo"), QString("%1 %2").arg(c.targetX).arg(c.targetY));
  }
}

TEST_F(DirectionsWindowTest, ReadingTextsOfTheWorldCornerAndTheSextantOrigin) {
  window_.ShowDirections(corners_, 100, random_, 1328, 1624, 0, 0);
  EXPECT_EQ(Text("SextantTo"), "142degrees 44minutes N   93degrees 22minutes W");
  EXPECT_EQ(Text("SextantFrom"), "0degrees 0minutes    0degrees 0minutes ");
}

TEST_F(DirectionsWindowTest, AStandingTargetGivesOneOfFiveMessagesFromTheSeededGenerator) {
  const std::set<QString> all(std::begin(kMessages), std::end(kMessages));
  auto run = [&](unsigned seed) {
    random_.seed(seed);
    std::vector<QString> shown;
    for (int i = 0; i < 40; ++i) {
      window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1000, 1000);
      shown.push_back(Text("Conclusion"));
    }
    return shown;
  };
  const std::vector<QString> first = run(7);
  EXPECT_EQ(std::set<QString>(first.begin(), first.end()), all);
  EXPECT_EQ(run(7), first);
  EXPECT_NE(run(8), first);
}

TEST_F(DirectionsWindowTest, ClosesOnAClickOrACharacterKeyAndReopensOnANewRequest) {
  window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1000, 994);
  QTest::keyClick(&window_, Qt::Key_Shift);
  EXPECT_TRUE(window_.isVisible());
  QTest::keyClick(&window_, Qt::Key_Q);
  EXPECT_FALSE(window_.isVisible());

  for (const char* clicked : {"Conclusion", "Label1", "WhereTo"}) {
    window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1000, 994);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    QTest::mouseClick(window_.findChild<QLabel*>(clicked), Qt::LeftButton);
    EXPECT_FALSE(window_.isVisible()) << clicked;
  }
  window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1000, 994);
  QTest::mouseClick(&window_, Qt::LeftButton, {}, QPoint(300, 5));
  EXPECT_FALSE(window_.isVisible());

  window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1000, 994);
  window_.ShowDirections(corners_, 100, random_, 1000, 1000, 1007, 1000);
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(Text("Conclusion"), "Move 7 steps (About 0 screens) to the EAST.");
}

TEST_F(DirectionsWindowTest, CornersWithoutAConversionLeaveTheStartEmpty) {
  corners_ = {{0, 0}, {0, 0}, {0, 0}, {0, 0}};
  window_.ShowDirections(corners_, 100, random_, 10, 10, 0, 0);
  EXPECT_EQ(Text("WhereFrom"), "");
  EXPECT_EQ(Text("SextantFrom"), "");
  EXPECT_EQ(Text("Conclusion"), "");
  EXPECT_EQ(Text("WhereTo"), "0 0");
}

}  // namespace
