// The atlas over a folder of generated maps: what is indexed and what is skipped, which maps show a
// world point and in which order, and refreshing after files change.
#include "core/atlas.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "jpeg_files.h"
#include "storage/settings.h"
#include "tempdir.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using testing::JpegBytes;
using testing::TempDir;

std::string Dimensions(const MapCorners& c) {
  const auto line = [](const char* key, int32_t v) {
    return std::string(key) + "=" + std::to_string(v) + "\n";
  };
  return "[Map Dimensions]\n" + line("UpperLeft_X", c.upperLeft.x) + line("UpperLeft_Y", c.upperLeft.y) +
         line("UpperRight_X", c.upperRight.x) + line("UpperRight_Y", c.upperRight.y) +
         line("LowerLeft_X", c.lowerLeft.x) + line("LowerLeft_Y", c.lowerLeft.y) +
         line("LowerRight_X", c.lowerRight.x) + line("LowerRight_Y", c.lowerRight.y);
}

// The whole world on 1000 x 800 pixels, and an inset at one pixel per world unit showing world x
// 1000..1999 and y 1000..1799 on the same picture size.
const MapCorners kWorld{{0, 0}, {999, 0}, {0, 799}, {999, 799}};
const MapCorners kInset{{-1000, -1000}, {4120, -1000}, {-1000, 3096}, {4120, 3096}};

class AtlasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "regions/north");
    fs::create_directories(dir / "odd.dem");  // a folder, not a map
    const std::string picture = JpegBytes(1000, 800);
    dir.Write("World.dem", Dimensions(kWorld));
    dir.Write("World.JPG", picture);
    dir.Write("regions/north/Inset.DEM", Dimensions(kInset));
    dir.Write("regions/north/Inset.jpg", picture);
    dir.Write("regions/NoPicture.dem", Dimensions(kWorld));
    dir.Write("regions/BadCorners.dem", "[Map Dimensions]\nUpperLeft_X=0\nUpperLeft_Y=north\n");
    dir.Write("regions/BadCorners.jpg", picture);
    dir.Write("regions/Flat.dem", Dimensions({{0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    dir.Write("regions/Flat.jpg", picture);
    dir.Write("Broken.dem", Dimensions(kWorld));
    dir.Write("Broken.jpg", "not a picture");
    dir.Write("notes.txt", "not a map");
  }
  std::vector<std::string> Names(const std::vector<const AtlasMap*>& maps) {
    std::vector<std::string> names;
    for (const AtlasMap* m : maps) names.push_back(fs::path(m->mapInfoPath).stem().string());
    return names;
  }
  std::vector<std::string> Indexed(const Atlas& atlas) {
    std::vector<const AtlasMap*> maps;
    for (const AtlasMap& m : atlas.maps()) maps.push_back(&m);
    return Names(maps);
  }
  TempDir dir;
};

TEST_F(AtlasTest, IndexesGoodMapsAndListsTheOthers) {
  // The second folder lies inside the first: its map is indexed once.
  Atlas atlas({dir.path(), dir / "regions"});
  atlas.Refresh();
  EXPECT_EQ(Indexed(atlas), (std::vector<std::string>{"Inset", "World"}));
  EXPECT_NEAR(atlas.maps()[0].detail, 1.0, 1e-9);
  EXPECT_EQ(atlas.maps()[1].width, 1000);
  EXPECT_EQ(atlas.maps()[1].height, 800);

  const std::pair<std::string, std::string> skipped[] = {
      {"Broken.dem", "Unable to read the picture"},
      {"regions/BadCorners.dem", "'north' is not a valid integer value"},
      {"regions/Flat.dem", "Invalid map dimensions file."},
      {"regions/NoPicture.dem", "NoPicture.jpg'. File not found."},
  };
  ASSERT_EQ(atlas.skipped().size(), std::size(skipped));
  for (std::size_t i = 0; i < std::size(skipped); ++i) {
    EXPECT_EQ(atlas.skipped()[i].mapInfoPath, dir / skipped[i].first);
    EXPECT_NE(atlas.skipped()[i].reason.find(skipped[i].second), std::string::npos)
        << atlas.skipped()[i].reason;
  }
}

TEST_F(AtlasTest, FindsTheMapsShowingAWorldPointMostDetailedFirst) {
  Atlas atlas({dir.path()});
  atlas.Refresh();
  const std::pair<Point, std::vector<std::string>> cases[] = {
      {{1500, 1400}, {"Inset", "World"}},
      {{1000, 1000}, {"Inset", "World"}},  // the inset's first pixel
      {{1999, 1799}, {"Inset", "World"}},  // and its last
      {{999, 1500}, {"World"}},
      {{2000, 1500}, {"World"}},
      {{5120, 4096}, {"World"}},  // the world's far corner is the picture's last pixel
      {{-10, 0}, {}},
      {{0, 4200}, {}},
  };
  for (const auto& [world, names] : cases) {
    SCOPED_TRACE(std::to_string(world.x) + ", " + std::to_string(world.y));
    EXPECT_EQ(Names(atlas.MapsShowing(world)), names);
  }
  // Around the inset's edges the answer is exactly the program's own conversion, pixel by pixel.
  for (int32_t x : {997, 998, 999, 1000, 1001, 1998, 1999, 2000, 2001}) {
    for (int32_t y : {997, 998, 999, 1000, 1001, 1798, 1799, 1800, 1801}) {
      const auto pixel = WorldToMapPixel(kInset, 100, {x, y});
      const bool inside = pixel->x >= 0 && pixel->x < 1000 && pixel->y >= 0 && pixel->y < 800;
      EXPECT_EQ(Names(atlas.MapsShowing({x, y})).size(), inside ? 2u : 1u) << x << ", " << y;
    }
  }
}

// The walk lists each folder once: a picture whose extension has another letter case is found in
// that listing, a link to a map info file counts as the file, and a link to a folder is not followed
// (here it would lead back up, to the maps above).
TEST_F(AtlasTest, TheWalkFindsPicturesInAnyCaseAndFollowsNoFolderLinks) {
  fs::create_directories(dir / "odd/deeper");
  dir.Write("odd/deeper/Odd.dem", Dimensions(kWorld));
  dir.Write("odd/deeper/Odd.Jpg", JpegBytes(1000, 800));
  fs::create_directory_symlink(dir.path(), dir / "odd/deeper/up");
  fs::create_symlink(dir / "World.dem", dir / "odd/Linked.dem");
  fs::create_symlink(dir / "World.JPG", dir / "odd/Linked.jpg");
  Atlas atlas({dir / "odd"});
  atlas.Refresh();
  EXPECT_EQ(Indexed(atlas), (std::vector<std::string>{"Linked", "Odd"}));
  EXPECT_EQ(atlas.maps()[1].picturePath, dir / "odd/deeper/Odd.Jpg");
  EXPECT_TRUE(atlas.skipped().empty());
}

TEST_F(AtlasTest, RefreshRereadsOnlyWhatChanged) {
  Atlas atlas({dir.path()});
  atlas.Refresh();

  // A picture replaced by one of the same size with its old time is taken as unchanged.
  const auto worldPicture = dir / "World.JPG";
  const auto time = fs::last_write_time(worldPicture);
  const auto size = fs::file_size(worldPicture);
  dir.Write("World.JPG", std::string(size, 'x'));
  fs::last_write_time(worldPicture, time);
  // A missing picture turns up, and the inset is moved a little.
  dir.Write("regions/NoPicture.jpg", JpegBytes(64, 48));
  WriteSetting("Map Dimensions", "UpperLeft_X", dir / "regions/north/Inset.DEM", "-1100");
  WriteSetting("Map Dimensions", "LowerLeft_X", dir / "regions/north/Inset.DEM", "-1100");
  fs::remove(dir / "Broken.dem");

  atlas.Refresh();
  // The new map has the world map's corners: equal detail goes in path order.
  EXPECT_EQ(Indexed(atlas), (std::vector<std::string>{"Inset", "World", "NoPicture"}));
  EXPECT_EQ(atlas.maps()[0].corners.upperLeft.x, -1100);
  EXPECT_EQ(atlas.skipped().size(), 2u);
}

}  // namespace
}  // namespace orv
