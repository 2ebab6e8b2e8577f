// A calibration in progress: what the map shows while points change, and saving and resuming it.
#include "core/calibrationdraft.h"

#include <gtest/gtest.h>

#include "core/calibrationfile.h"
#include "storage/settings.h"
#include "tempdir.h"

namespace orv {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(CalibrationDraft, MapFollowsThePointsAndOnlySaveWritesTheFile) {
  TempDir dir;
  const MapCorners original{{0, 0}, {999, 0}, {0, 799}, {999, 799}};
  const std::string map = dir / "Fen.dem";
  // Points already saved with the map: the parallelogram from (100, 50) at 0.5 pixels per unit.
  ASSERT_TRUE(SaveCalibration(map, original, {{{100, 50}, {0, 0}}, {{2660, 50}, {5120, 0}}}));
  const std::string before = ReadFile(map);

  CalibrationDraft draft(map, original);
  ASSERT_EQ(draft.points().size(), 2u);
  EXPECT_EQ(draft.CornersToShow(), original);  // two points give no map yet
  EXPECT_FALSE(draft.Save().saved);
  EXPECT_NE(draft.Save().message.find("three"), std::string::npos);

  draft.Add({{100, 2098}, {0, 4096}});
  const MapCorners solved{{100, 50}, {2660, 50}, {100, 2098}, {2660, 2098}};
  EXPECT_EQ(draft.CornersToShow(), solved);
  draft.MovePicture(2, {100, 1098});  // dragged up by 1000 pixels
  EXPECT_EQ(draft.CornersToShow().lowerLeft, (Point{100, 1098}));
  draft.SetWorld(1, {0, 0});  // the same world point as point 1: refused, the map shows its own
  EXPECT_EQ(draft.CornersToShow(), original);
  draft.SetWorld(1, {5120, 0});
  draft.Remove(2);
  draft.Remove(7);  // no such point: nothing happens
  draft.Add({{100, 2098}, {0, 4096}});
  EXPECT_EQ(ReadFile(map), before);  // nothing written until the save

  ASSERT_TRUE(draft.Save().saved);
  const CalibrationDraft resumed(map, original);
  EXPECT_EQ(resumed.points(), draft.points());
  EXPECT_EQ(resumed.CornersToShow(), solved);
  EXPECT_EQ(ReadSetting("Map Dimensions", "LowerRight_Y", map), "2098");
}

}  // namespace
}  // namespace orv
