// The current map without a window: which map a load leaves current and previous, what a failed load
// keeps, and the outline drawn into the picture.
#include "view/mapsession.h"

#include <gtest/gtest.h>

#include "mainwindow_fixture.h"
#include "tempdir.h"

namespace orv::testing {
namespace {

TEST(MapSession, LoadsKeepTheMapLeftAndFailuresChangeNothing) {
  TempDir dir;
  auto map = [&dir](const std::string& name, const std::string& dimensions) {
    dir.Write(name + ".dem", dimensions);
    WriteJpeg(dir / (name + ".JPG"), PatternPicture(40, 30));
    return dir / (name + ".dem");
  };
  const std::string a = map("A", Dimensions(0, 0, 40, 0, 0, 30, 40, 30));
  const std::string b = map("B", Dimensions(1, 2, 39, 2, 1, 28, 39, 28));
  const std::string unreadable = dir.Write("C.dem", Dimensions(0, 0, 9, 0, 0, 9, 9, 9));
  dir.Write("C.JPG", "not a picture");
  const std::string badCorner =
      map("D", "[Map Dimensions]\r\nUpperLeft_X=7\r\nUpperLeft_Y=8\r\nUpperRight_X=x9\r\n");

  const struct {
    std::string path;
    LoadOutcome outcome;
    std::size_t messages;
    std::string current, previous, left;
    Point upperLeft;
  } steps[] = {
      {dir / "Nowhere.dem", LoadOutcome::Refused, 1, "", "", "", {0, 0}},
      {a, LoadOutcome::Loaded, 0, a, "", "", {0, 0}},
      {b, LoadOutcome::Loaded, 0, b, a, a, {1, 2}},
      {unreadable, LoadOutcome::Refused, 1, b, a, "", {1, 2}},
      {a, LoadOutcome::Loaded, 0, a, b, b, {0, 0}},
      {badCorner, LoadOutcome::CornerNotAnInteger, 1, a, b, "", {0, 0}},  // A keeps its own corners
  };
  MapSession session;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.path);
    const MapLoadResult result = session.Load(step.path);
    EXPECT_EQ(step.outcome, result.outcome);
    EXPECT_EQ(step.messages, result.messages.size());
    EXPECT_EQ(step.current, session.CurrentMapFile());
    EXPECT_EQ(step.previous, session.PreviousMapFile());
    EXPECT_EQ(step.left, result.leftMap);
    EXPECT_EQ(step.upperLeft, session.Corners().upperLeft);
    EXPECT_EQ(step.current.empty(), session.Picture().isNull());
  }
}

TEST(MapSession, TheOutlineComesAndGoesWithoutATraceAndFollowsReloadedCorners) {
  TempDir dir;
  const std::string dem = dir.Write("M.dem", Dimensions(2, 2, 30, 2, 2, 20, 30, 20));
  WriteJpeg(dir / "M.JPG", PatternPicture(40, 30));
  MapSession session;
  ASSERT_EQ(LoadOutcome::Loaded, session.Load(dem).outcome);
  const QImage plain = session.Picture().copy();

  session.ToggleOutline();
  EXPECT_TRUE(session.OutlineVisible());
  EXPECT_NE(plain, session.Picture());

  // A bad value stops the reload; the corners and the outline drawn for them stay.
  const QImage shown = session.Picture().copy();
  const MapCorners before = session.Corners();
  dir.Write("M.dem", "[Map Dimensions]\r\nUpperLeft_X=5\r\nUpperLeft_Y=y\r\n");
  EXPECT_EQ(std::optional<std::string>("y"), session.ReloadCorners());
  EXPECT_EQ(shown, session.Picture());
  EXPECT_EQ(before, session.Corners());

  // New corners move the outline; removing it then restores the picture exactly.
  dir.Write("M.dem", Dimensions(4, 4, 35, 4, 4, 25, 35, 25));
  EXPECT_EQ(std::nullopt, session.ReloadCorners());
  EXPECT_EQ(OutlineOf(session.Corners()), session.Outline());
  session.ToggleOutline();
  EXPECT_FALSE(session.OutlineVisible());
  EXPECT_EQ(plain, session.Picture());
}

}  // namespace
}  // namespace orv::testing
