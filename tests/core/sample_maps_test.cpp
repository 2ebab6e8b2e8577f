// The sample maps that ship with the program, read the way the program reads them: the map info
// files, their pictures, and the bookmarks and links that tie the two maps together.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/jpeg.h"
#include "core/mapinfo.h"
#include "core/numbers.h"
#include "core/transform.h"
#include "storage/fields.h"
#include "storage/settings.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

const fs::path MapsDir = fs::path(ORV_SOURCE_DIR) / "assets" / "maps";

std::string Field(int n, const std::string& record) {
  return GetField(n, record, FieldSeparator);
}

struct SampleMap {
  std::string path;
  MapInfo info;
  JpegHeader picture;
};

SampleMap Load(const std::string& name) {
  SampleMap map;
  map.path = (MapsDir / (name + ".dem")).string();
  map.info = ReadMapInfo(map.path, MapCorners{});
  JpegFile file;
  if (!map.info.picturePath.empty() && file.Open(map.info.picturePath) == JpegResult::Ok)
    map.picture = file.header();
  return map;
}

bool OnPicture(const SampleMap& map, Point pixel) {
  return pixel.x >= 0 && pixel.y >= 0 && pixel.x < map.picture.width && pixel.y < map.picture.height;
}

class SampleMapsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleMapsTest, MapInfoFileIsEightBitTextInCrlfLines) {
  std::ifstream in(MapsDir / (std::string(GetParam()) + ".dem"), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  ASSERT_FALSE(text.empty());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n') ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
    if (c == '\r') ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare carriage return at " << i;
    // Printable ASCII and the field separator only: no UTF-8, whose bytes could hold a separator.
    ASSERT_TRUE(c == '\r' || c == '\n' || c == 0xB3 || (c >= 0x20 && c < 0x7F))
        << "byte " << int(c) << " at " << i;
  }
}

TEST_P(SampleMapsTest, LoadsWithAllCornersAndAPictureThatDecodes) {
  const SampleMap map = Load(GetParam());
  ASSERT_EQ(map.info.status, MapInfoStatus::Ok) << map.info.message;
  EXPECT_FALSE(CornersAreDegenerate(map.info.corners));
  EXPECT_EQ(ReadSetting("General", "Version", map.path), "v2.2");

  JpegFile file;
  ASSERT_EQ(file.Open(map.info.picturePath), JpegResult::Ok);
  std::vector<uint8_t> pixels(std::size_t(file.header().width) * file.header().height * 4);
  EXPECT_EQ(file.DecodeInto(pixels.data(), std::size_t(file.header().width) * 4), JpegResult::Ok);
  EXPECT_LT(fs::file_size(map.info.picturePath), 1536u * 1024u);
}

TEST_P(SampleMapsTest, BookmarksHaveFontsAndLieOnThePicture) {
  const SampleMap map = Load(GetParam());
  int count = 0;
  for (int n = 1;; ++n) {
    const std::string key = "bookmark" + std::to_string(n);
    const std::string record = ReadSetting("Map Bookmarks", key, map.path);
    if (record.empty()) break;
    ++count;
    EXPECT_EQ(Field(1, record), "V");
    const auto x = ParseInt(Field(2, record)), y = ParseInt(Field(3, record));
    ASSERT_TRUE(x && y) << record;
    EXPECT_FALSE(Field(4, record).empty());
    EXPECT_EQ(ReadSetting("Map Bookmarks", key + "font", map.path),
              std::string("Arial") + FieldSeparator + "10" + FieldSeparator + "0" + FieldSeparator + "b");
    const auto pixel = WorldToMapPixel(map.info.corners, 100, {*x, *y});
    ASSERT_TRUE(pixel);
    EXPECT_TRUE(OnPicture(map, *pixel)) << Field(4, record);
  }
  EXPECT_GE(count, 3);
}

TEST_P(SampleMapsTest, LinkAreasLieOnThePictureAndOpenAnotherMapBesideIt) {
  const SampleMap map = Load(GetParam());
  const std::string record = ReadSetting("Map Links", "maplink1", map.path);
  ASSERT_FALSE(record.empty());
  const auto x1 = ParseInt(Field(1, record)), y1 = ParseInt(Field(2, record));
  const auto x2 = ParseInt(Field(3, record)), y2 = ParseInt(Field(4, record));
  ASSERT_TRUE(x1 && y1 && x2 && y2) << record;
  EXPECT_TRUE(OnPicture(map, {*x1, *y1}));
  EXPECT_TRUE(*x2 <= map.picture.width && *y2 <= map.picture.height);
  EXPECT_GT(*x2 - *x1, 10);
  EXPECT_GT(*y2 - *y1, 10);
  const std::string target = Field(5, record);
  EXPECT_TRUE(fs::exists(MapsDir / target)) << target;
  EXPECT_NE(MapsDir / target, fs::path(map.path));
  EXPECT_FALSE(Field(6, record).empty());
}

INSTANTIATE_TEST_SUITE_P(EveryMap, SampleMapsTest, ::testing::Values("Veldrane", "Thornmere", "Orrinsford"));

TEST(SampleMapsPair, WorldMapCoversTheWorldAndItsLinkFramesTheRegionalMap) {
  const SampleMap world = Load("Veldrane");
  const SampleMap region = Load("Thornmere");
  ASSERT_EQ(world.info.status, MapInfoStatus::Ok);
  ASSERT_EQ(region.info.status, MapInfoStatus::Ok);

  // The world's corners lie within a few pixels of the world map picture's corners.
  const MapCorners& w = world.info.corners;
  const int right = world.picture.width - 1, bottom = world.picture.height - 1;
  for (const auto& [corner, expected] : {std::pair{w.upperLeft, Point{0, 0}},
                                         {w.upperRight, Point{right, 0}},
                                         {w.lowerLeft, Point{0, bottom}},
                                         {w.lowerRight, Point{right, bottom}}}) {
    EXPECT_NEAR(corner.x, expected.x, 20);
    EXPECT_NEAR(corner.y, expected.y, 20);
  }
  // The regional map's corners lie far outside its picture, about one pixel per world unit.
  const MapCorners& r = region.info.corners;
  EXPECT_LT(r.upperLeft.x, -500);
  EXPECT_LT(r.upperLeft.y, -500);
  EXPECT_GT(r.lowerRight.x, region.picture.width + 500);
  EXPECT_GT(r.lowerRight.y, region.picture.height + 500);
  EXPECT_NEAR((r.upperRight.x - r.upperLeft.x) / 5120.0, 1.0, 0.05);

  // The world points at the corners of the regional picture fall inside the world map's link area to
  // Thornmere (within two pixels of its frame), and its back link opens the world map.
  const std::string link = ReadSetting("Map Links", "maplink1", world.path);
  ASSERT_EQ(Field(5, link), "Thornmere.dem");
  const int x1 = IntOr(Field(1, link), 0), y1 = IntOr(Field(2, link), 0);
  const int x2 = IntOr(Field(3, link), 0), y2 = IntOr(Field(4, link), 0);
  for (const Point corner :
       {Point{0, 0}, Point{region.picture.width - 1, 0}, Point{0, region.picture.height - 1},
        Point{region.picture.width - 1, region.picture.height - 1}}) {
    const auto at = MapPixelToWorld(r, 100, corner);
    ASSERT_TRUE(at);
    const auto onWorldMap = WorldToMapPixel(w, 100, *at);
    ASSERT_TRUE(onWorldMap);
    EXPECT_TRUE(onWorldMap->x >= x1 - 2 && onWorldMap->x <= x2 + 2 && onWorldMap->y >= y1 - 2 &&
                onWorldMap->y <= y2 + 2)
        << onWorldMap->x << "," << onWorldMap->y;
  }
  EXPECT_EQ(Field(5, ReadSetting("Map Links", "maplink1", region.path)), "Veldrane.dem");
}

// The town map shows a part of the world map, and of the regional map, at a larger scale: each of
// its pixels is a world point that the world map shows where the town map's upper left pixel lies
// on it, plus the town pixel scaled down by the ratio of the two scales.
TEST(SampleMapsTown, ShowsPartOfTheOtherMapsLargerAndInTheSamePlace) {
  const SampleMap world = Load("Veldrane"), region = Load("Thornmere"), town = Load("Orrinsford");
  for (const SampleMap* map : {&world, &region, &town}) ASSERT_EQ(map->info.status, MapInfoStatus::Ok);
  auto pixelsPerUnit = [](const SampleMap& map) {
    return (map.info.corners.upperRight.x - map.info.corners.upperLeft.x) / double(WorldWidth);
  };
  EXPECT_GT(pixelsPerUnit(town), 1.5 * pixelsPerUnit(region));
  EXPECT_GT(pixelsPerUnit(region), 2 * pixelsPerUnit(world));
  const double ratio = pixelsPerUnit(town) / pixelsPerUnit(world);

  const auto origin = MapPixelToWorld(town.info.corners, 100, {0, 0});
  ASSERT_TRUE(origin);
  const auto originOnWorldMap = WorldToMapPixel(world.info.corners, 100, *origin);
  ASSERT_TRUE(originOnWorldMap);
  const int right = town.picture.width - 1, bottom = town.picture.height - 1;
  for (const Point pixel : {Point{0, 0}, Point{right, 0}, Point{0, bottom}, Point{right, bottom},
                            Point{right / 2, bottom / 2}, Point{right / 3, bottom * 3 / 4}}) {
    const auto at = MapPixelToWorld(town.info.corners, 100, pixel);
    ASSERT_TRUE(at);
    EXPECT_TRUE(InsideWorld(*at));
    // Back on the town map within a pixel (a world unit is two of its pixels).
    const auto back = WorldToMapPixel(town.info.corners, 100, *at);
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->x, pixel.x, 1);
    EXPECT_NEAR(back->y, pixel.y, 1);

    const auto onWorldMap = WorldToMapPixel(world.info.corners, 100, *at);
    ASSERT_TRUE(onWorldMap);
    EXPECT_TRUE(OnPicture(world, *onWorldMap));
    EXPECT_NEAR(onWorldMap->x, originOnWorldMap->x + pixel.x / ratio, 1.5) << pixel.x << "," << pixel.y;
    EXPECT_NEAR(onWorldMap->y, originOnWorldMap->y + pixel.y / ratio, 1.5) << pixel.x << "," << pixel.y;
    const auto onRegionalMap = WorldToMapPixel(region.info.corners, 100, *at);
    ASSERT_TRUE(onRegionalMap);
    EXPECT_TRUE(OnPicture(region, *onRegionalMap));
  }
  // The regional map opens the town map, and the town map leads back to it.
  EXPECT_EQ(Field(5, ReadSetting("Map Links", "maplink2", region.path)), "Orrinsford.dem");
  EXPECT_EQ(Field(5, ReadSetting("Map Links", "maplink1", town.path)), "Thornmere.dem");
}

}  // namespace
}  // namespace orv
