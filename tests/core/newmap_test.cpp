// Making a map from a picture: the map info file written beside it, and the cases that write nothing.
#include "core/newmap.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/mapinfo.h"
#include "jpeg_files.h"
#include "storage/settings.h"
#include "tempdir.h"

namespace orv {
namespace {

using testing::JpegBytes;
using testing::ReadFile;
using testing::TempDir;

TEST(NewMap, WritesTheMapInfoFileWithCornersOnThePicturesCorners) {
  TempDir dir;
  const std::string picture = dir.Write("Fenmoor.jpg", JpegBytes(300, 200));
  const NewMap made = NewMapFromPicture(picture);
  ASSERT_EQ(made.status, NewMapStatus::Created) << made.message;
  EXPECT_EQ(made.mapInfoPath, dir / "Fenmoor.dem");

  const MapInfo info = ReadMapInfo(made.mapInfoPath, {});
  ASSERT_EQ(info.status, MapInfoStatus::Ok) << info.message;
  EXPECT_EQ(info.corners, (MapCorners{{0, 0}, {299, 0}, {0, 199}, {299, 199}}));
  EXPECT_EQ(ReadSetting("General", "Version", made.mapInfoPath), "v2.2");
  // The far corner of the world lands on the picture's last pixel.
  EXPECT_EQ(WorldToMapPixel(info.corners, 100, {WorldWidth, WorldHeight}), (Point{299, 199}));
}

TEST(NewMap, WritesNothingWhenThePictureCannotBecomeAMap) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes
    const char* chosen;
    NewMapStatus status;
    const char* mapInfoFile;  // the file the outcome names
    const char* says;
  };
  const std::string jpeg = JpegBytes(40, 30);
  const Case cases[] = {
      {"map info file exists",
       {{"Fen.jpg", jpeg}, {"Fen.dem", "[Map Dimensions]\nUpperLeft_X=5\n"}},
       "Fen.jpg",
       NewMapStatus::AlreadyExists,
       "Fen.dem",
       "already exists"},
      {"in other letter case",
       {{"Fen.JPG", jpeg}, {"FEN.DEM", "x"}},
       "Fen.JPG",
       NewMapStatus::AlreadyExists,
       "FEN.DEM",
       "FEN.DEM' already exists"},
      {"picture named .jpeg",
       {{"Fen.jpeg", jpeg}},
       "Fen.jpeg",
       NewMapStatus::NotAMapPicture,
       "Fen.dem",
       "Fen.jpg'. Rename"},
      {"another picture would be shown",
       {{"Fen.jpg", jpeg}, {"Fen.JPG", jpeg}},
       "Fen.jpg",
       NewMapStatus::NotAMapPicture,
       "Fen.dem",
       "Fen.JPG'."},
      {"not a JPEG",
       {{"Fen.jpg", "GIF89a not a picture"}},
       "Fen.jpg",
       NewMapStatus::PictureUnreadable,
       "Fen.dem",
       "Unable to read the picture"},
      {"one pixel high",
       {{"Fen.jpg", JpegBytes(40, 1)}},
       "Fen.jpg",
       NewMapStatus::PictureUnreadable,
       "Fen.dem",
       "too small"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    for (const auto& [name, bytes] : c.files) dir.Write(name, bytes);
    const NewMap made = NewMapFromPicture(dir / c.chosen);
    EXPECT_EQ(made.status, c.status);
    EXPECT_EQ(made.mapInfoPath, dir / c.mapInfoFile);
    EXPECT_NE(made.message.find(c.says), std::string::npos) << made.message;
    // Nothing was written: the folder holds exactly the files it was given, unchanged.
    namespace fs = std::filesystem;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(c.files.size()));
    for (const auto& [name, bytes] : c.files) EXPECT_EQ(ReadFile(dir / name), bytes);
  }
}

}  // namespace
}  // namespace orv
