// Saving a calibration into a map info file and reading its points back.
#include "core/calibrationfile.h"

#include <gtest/gtest.h>

#include "storage/settings.h"
#include "tempdir.h"

namespace orv {
namespace {

using testing::ReadFile;
using testing::TempDir;

// A map info file as older copies of the program and hand edits leave it: line ends of both kinds,
// a comment, blank lines, records holding the field separator, and a key whose case differs.
std::string MapFile(const std::string& dimensions) {
  // \263 is the field separator.
  return "; made by hand\r\n[General]\r\nVersion=v2.2\r\n\r\n[Map Dimensions]\r\n" + dimensions +
         "[Map Bookmarks]\n"
         "bookmark1=V\2632876\2632140\263Ferry Landing \351\n"
         "bookmark1font=Arial\26310\2630\263b\n"
         "\n"
         "[Map Links]\r\n"
         "maplink1=10\26326\263188\26360\263Veldrane.dem\263Back\r\n";
}
const std::string kBefore = MapFile(
    "UpperLeft_X=0\r\nUpperLeft_Y=0\r\nUpperRight_X=50\r\nUPPERRIGHT_Y=0\r\n"
    "LowerLeft_X=0\r\nLowerLeft_Y=50\r\nLowerRight_X=50\r\nLowerRight_Y=50\r\n");
const std::string kAfter = MapFile(
    "UpperLeft_X=-12\r\nUpperLeft_Y=7\r\nUpperRight_X=2030\r\nUPPERRIGHT_Y=-3\r\n"
    "LowerLeft_X=5\r\nLowerLeft_Y=1630\r\nLowerRight_X=2041\r\nLowerRight_Y=1622\r\n");

const MapCorners kCorners{{-12, 7}, {2030, -3}, {5, 1630}, {2041, 1622}};

// The file without its "Calibration Points" section (from its header to the next one or the end)
// and the blank line that may be written to set a new section apart.
std::string WithoutPointsSection(const std::string& text) {
  const auto header = text.find("[Calibration Points]");
  if (header == std::string::npos) return text;
  auto start = header;
  for (const std::string blank : {"\r\n\r\n", "\n\n"}) {
    if (start >= blank.size() && text.compare(start - blank.size(), blank.size(), blank) == 0) {
      start -= blank.size() / 2;
      break;
    }
  }
  const auto next = text.find("\n[", header);
  return text.substr(0, start) + (next == std::string::npos ? "" : text.substr(next + 1));
}

TEST(CalibrationFile, SaveChangesOnlyTheCornersAndThePoints) {
  TempDir dir;
  const std::string map = dir.Write("Fenmoor.dem", kBefore);
  const std::vector<ControlPoint> points{
      {{412.5, 96}, {1500, 1200}}, {{1.0 / 3, 1e-7}, {0, 4096}}, {{-20.25, 3000.75}, {5120, -1}}};
  ASSERT_TRUE(SaveCalibration(map, kCorners, points));
  EXPECT_EQ(WithoutPointsSection(ReadFile(map)), kAfter);

  EXPECT_EQ(LoadCalibrationPoints(map), points);

  // Saving fewer points leaves none of the earlier ones behind.
  ASSERT_TRUE(SaveCalibration(map, kCorners, {points[2]}));
  EXPECT_EQ(LoadCalibrationPoints(map), std::vector<ControlPoint>{points[2]});
  EXPECT_EQ(WithoutPointsSection(ReadFile(map)), kAfter);
}

TEST(CalibrationFile, UnreadableRecordsArePassedOverAndAGapEndsTheList) {
  TempDir dir;
  const std::string map = dir.Write("Hand.dem",
                                    "[Calibration Points]\n"
                                    "point1=10\26320\26330\26340\n"
                                    "point2=10,5\26320\26330\26340\n"
                                    "point3=10\26320\26330\n"
                                    "point4=1.5\2632\2633\2634\n"
                                    "point6=7\2638\2639\26310\n");
  const std::vector<ControlPoint> expected{{{10, 20}, {30, 40}}, {{1.5, 2}, {3, 4}}};
  EXPECT_EQ(LoadCalibrationPoints(map), expected);
  EXPECT_TRUE(LoadCalibrationPoints(dir / "missing.dem").empty());
}

}  // namespace
}  // namespace orv
