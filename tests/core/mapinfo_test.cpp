#include "core/mapinfo.h"

#include <gtest/gtest.h>

#include "tempdir.h"

namespace orv {
namespace {

using testing::TempDir;

std::string Dimensions(const std::string& upperLeftX, const std::string& rest) {
  return "[Map Dimensions]\r\nUpperLeft_X=" + upperLeftX + "\r\n" + rest;
}
const std::string kGoodRest =
    "UpperLeft_Y=-50\r\nUpperRight_X=1900\r\nUpperRight_Y=-50\r\nLowerLeft_X=-100\r\n"
    "LowerLeft_Y=1550\r\nLowerRight_X=1900\r\nLowerRight_Y=1550\r\n";
const MapCorners kOffsetCorners{{-100, -50}, {1900, -50}, {-100, 1550}, {1900, 1550}};

TEST(MapInfo, GoodFileGivesAllEightCornersAndItsPicture) {
  TempDir dir;
  const std::string dem = dir.Write("north.dem", Dimensions("-100", kGoodRest));
  dir.Write("north.JPG", "x");
  const MapInfo info = ReadMapInfo(dem, MapCorners{});
  EXPECT_EQ(info.status, MapInfoStatus::Ok);
  EXPECT_EQ(info.message, "");
  EXPECT_EQ(info.corners, kOffsetCorners);
  EXPECT_EQ(info.picturePath, dir / "north.JPG");
}

TEST(MapInfo, RefusalsLeaveTheCornersInUseAndSayWhy) {
  TempDir dir;
  const MapCorners inUse{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
  struct Case {
    const char* what;
    std::string dem;  // content, or empty for no file
    bool picture;
    MapInfoStatus status;
    std::string messageEnd;
  };
  const Case cases[] = {
      {"no file", "", true, MapInfoStatus::FileNotFound, "'. File not found."},
      {"no section", "[Other]\r\nUpperLeft_X=5\r\n", true, MapInfoStatus::InvalidDimensions,
       "'. Invalid map dimensions file."},
      {"missing sentinel value", Dimensions("-9999999", kGoodRest), true, MapInfoStatus::InvalidDimensions,
       "'. Invalid map dimensions file."},
      {"not an integer", Dimensions("12a", kGoodRest), true, MapInfoStatus::InvalidDimensions,
       "'. Invalid map dimensions file."},
      {"out of 32-bit range", Dimensions("2147483648", kGoodRest), true, MapInfoStatus::InvalidDimensions,
       "'. Invalid map dimensions file."},
      {"picture missing", Dimensions("-100", kGoodRest), false, MapInfoStatus::PictureNotFound,
       ".jpg'. File not found."},
      {"degenerate corners",
       Dimensions("0",
                  "UpperLeft_Y=0\r\nUpperRight_X=0\r\nUpperRight_Y=0\r\nLowerLeft_X=0\r\n"
                  "LowerLeft_Y=0\r\nLowerRight_X=0\r\nLowerRight_Y=0\r\n"),
       true, MapInfoStatus::InvalidDimensions, "'. Invalid map dimensions file."},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string stem = "map" + std::to_string(n++);
    const std::string dem = c.dem.empty() ? dir / (stem + ".dem") : dir.Write(stem + ".dem", c.dem);
    if (c.picture) dir.Write(stem + ".JPG", "x");
    const MapInfo info = ReadMapInfo(dem, inUse);
    EXPECT_EQ(info.status, c.status);
    const std::string prefix = c.status == MapInfoStatus::PictureNotFound
                                   ? "Unable to load image '" + (dir / stem)
                                   : "Unable to load '" + dem;
    EXPECT_EQ(info.message, prefix + c.messageEnd);
    EXPECT_EQ(info.corners, inUse);
  }
}

TEST(MapInfo, BadLaterKeyStopsThereLeavingTheCornersInUse) {
  TempDir dir;
  dir.Write("m.JPG", "x");
  const MapCorners inUse{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
  const std::string bad = dir.Write("m.dem", Dimensions("10", "UpperLeft_Y=20\r\nUpperRight_X=3x0\r\n"));
  MapInfo info = ReadMapInfo(bad, inUse);
  EXPECT_EQ(info.status, MapInfoStatus::NotAnInteger);
  EXPECT_EQ(info.message, "'3x0' is not a valid integer value");
  EXPECT_EQ(info.corners, inUse);

  const std::string missing = dir.Write("m.dem", Dimensions("10", "UpperLeft_Y=20\r\nUpperRight_X=30\r\n"));
  info = ReadMapInfo(missing, inUse);
  EXPECT_EQ(info.message, "'' is not a valid integer value");
  EXPECT_EQ(info.corners, inUse);
}

TEST(MapInfo, PictureIsFoundWhateverTheCaseOfItsExtension) {
  TempDir dir;
  for (const char* ext : {".jpg", ".Jpg", ".jPG"}) {
    SCOPED_TRACE(ext);
    const std::string stem = std::string("p") + (ext + 1);
    dir.Write(stem + ext, "x");
    EXPECT_EQ(FindPicture(dir / (stem + ".dem")), dir / (stem + ext));
  }
  EXPECT_EQ(FindPicture(dir / "none.dem"), std::nullopt);
  // A name without an extension gets one; a dot in a directory name is no extension.
  EXPECT_EQ(PictureNameForMessages("/maps.v2/north"), "/maps.v2/north.jpg");
  EXPECT_EQ(PictureNameForMessages("/maps/north.DEM"), "/maps/north.jpg");
}

TEST(MapInfo, AFileIsFoundWhateverTheCaseOfItsNameUnlessTwoMatch) {
  TempDir dir;
  for (const char* name : {"Brindle.dem", "twin.dem", "TWIN.dem", "Exact.dem", "EXACT.DEM"})
    dir.Write(name, "x");
  std::filesystem::create_directory(dir / "FOLDER.DEM");
  const std::pair<std::string, std::string> cases[] = {
      {"BRINDLE.DEM", "Brindle.dem"}, {"brindle.dem", "Brindle.dem"}, {"Brindle.dem", "Brindle.dem"},
      {"Exact.dem", "Exact.dem"},     {"Twin.dem", "Twin.dem"},       {"missing.dem", "missing.dem"},
      {"folder.dem", "folder.dem"},
  };
  for (const auto& [asked, found] : cases) EXPECT_EQ(ExistingFileAnyCase(dir / asked), dir / found) << asked;
}

TEST(MapInfo, WindowTitleShowsTheFileNameInTitleForm) {
  const std::pair<std::string, std::string> cases[] = {
      {"/maps/NORTHWOODS.DEM", "Northwoods"}, {"/maps/veldrane.dem", "Veldrane"},
      {"/maps/old.world.dem", "Old.world"},   {"/maps/noext", "Noext"},
      {"/maps/\xC9LAN.dem", "\xC9lan"},  // only ASCII letters change case
  };
  for (const auto& [path, name] : cases)
    EXPECT_EQ(MapWindowTitle(path), "Orvantis v2.2 By Vexmoor - " + name);
}

}  // namespace
}  // namespace orv
