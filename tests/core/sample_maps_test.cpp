// The sample maps that ship with the program: their map info files as the program reads them, their
// pictures, and the links and bookmarks that tie the two maps together.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/jpeg.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

const fs::path MapsDir = fs::path(ORV_SOURCE_DIR) / "assets" / "maps";

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Sections and keys of a map info file, as written: "[Section]" lines and "Key=Value" lines.
using Sections = std::map<std::string, std::map<std::string, std::string>>;

Sections Parse(const std::string& text) {
  Sections sections;
  std::string section;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? text.size() : end + 2;
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
    } else if (const std::size_t eq = line.find('='); eq != std::string::npos) {
      sections[section][line.substr(0, eq)] = line.substr(eq + 1);
    }
  }
  return sections;
}

std::vector<std::string> Fields(const std::string& record) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t sep; (sep = record.find('\xB3', start)) != std::string::npos; start = sep + 1)
    fields.push_back(record.substr(start, sep - start));
  fields.push_back(record.substr(start));
  return fields;
}

bool IsInt(const std::string& s) {
  if (s.empty()) return false;
  char* end = nullptr;
  std::strtol(s.c_str(), &end, 10);
  return *end == '\0';
}

struct Corners {
  double ulx, uly, urx, ury, llx, lly, lrx, lry;
  // Picture position of a world point, interpolated between the four corners.
  std::pair<double, double> ToPicture(double wx, double wy) const {
    const double u = wx / 5120.0, v = wy / 4096.0;
    const double tx = ulx + (urx - ulx) * u, ty = uly + (ury - uly) * u;
    const double bx = llx + (lrx - llx) * u, by = lly + (lry - lly) * u;
    return {tx + (bx - tx) * v, ty + (by - ty) * v};
  }
};

struct SampleMap {
  std::string name;
  Sections sections;
  Corners corners{};
  JpegHeader picture;
};

SampleMap Load(const std::string& name) {
  SampleMap map;
  map.name = name;
  const std::string text = ReadBytes(MapsDir / (name + ".dem"));
  map.sections = Parse(text);
  const auto& d = map.sections["Map Dimensions"];
  auto num = [&](const char* key) { return d.count(key) ? std::atof(d.at(key).c_str()) : NAN; };
  map.corners = {num("UpperLeft_X"), num("UpperLeft_Y"), num("UpperRight_X"), num("UpperRight_Y"),
                 num("LowerLeft_X"), num("LowerLeft_Y"), num("LowerRight_X"), num("LowerRight_Y")};
  JpegFile file;
  if (file.Open((MapsDir / (name + ".JPG")).string()) == JpegResult::Ok) map.picture = file.header();
  return map;
}

class SampleMapsTest : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleMapsTest, MapInfoFileIsEightBitTextInCrlfLines) {
  const std::string text = ReadBytes(MapsDir / (std::string(GetParam()) + ".dem"));
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

TEST_P(SampleMapsTest, HasItsCornersVersionAndAPictureThatDecodes) {
  SampleMap map = Load(GetParam());
  const auto& d = map.sections.at("Map Dimensions");
  for (const char* key : {"UpperLeft_X", "UpperLeft_Y", "UpperRight_X", "UpperRight_Y", "LowerLeft_X",
                          "LowerLeft_Y", "LowerRight_X", "LowerRight_Y"}) {
    ASSERT_TRUE(d.count(key)) << key;
    EXPECT_TRUE(IsInt(d.at(key))) << key << "=" << d.at(key);
  }
  EXPECT_EQ(map.sections["General"]["Version"], "v2.2");

  JpegFile file;
  ASSERT_EQ(file.Open((MapsDir / (map.name + ".JPG")).string()), JpegResult::Ok);
  std::vector<uint8_t> pixels(std::size_t(file.header().width) * file.header().height * 4);
  EXPECT_EQ(file.DecodeInto(pixels.data(), std::size_t(file.header().width) * 4), JpegResult::Ok);
  EXPECT_LT(fs::file_size(MapsDir / (map.name + ".JPG")), 1536u * 1024u);
}

TEST_P(SampleMapsTest, BookmarksAreNumberedFromOneWithFontsAndLieOnThePicture) {
  SampleMap map = Load(GetParam());
  const auto& b = map.sections["Map Bookmarks"];
  int count = 0;
  while (b.count("bookmark" + std::to_string(count + 1))) ++count;
  ASSERT_GT(count, 0);
  EXPECT_EQ(b.size(), std::size_t(2 * count)) << "keys beyond the numbered run";
  for (int n = 1; n <= count; ++n) {
    const std::vector<std::string> f = Fields(b.at("bookmark" + std::to_string(n)));
    ASSERT_EQ(f.size(), 4u) << n;
    EXPECT_EQ(f[0], "V");
    ASSERT_TRUE(IsInt(f[1]) && IsInt(f[2])) << n;
    EXPECT_FALSE(f[3].empty());
    EXPECT_EQ(Fields(b.at("bookmark" + std::to_string(n) + "font")),
              (std::vector<std::string>{"Arial", "10", "0", "b"}));
    const auto [px, py] = map.corners.ToPicture(std::atof(f[1].c_str()), std::atof(f[2].c_str()));
    EXPECT_TRUE(px >= 0 && py >= 0 && px < map.picture.width && py < map.picture.height) << f[3];
  }
}

TEST_P(SampleMapsTest, LinkAreasLieOnThePictureAndOpenAMapBesideIt) {
  SampleMap map = Load(GetParam());
  const auto& links = map.sections["Map Links"];
  ASSERT_TRUE(links.count("maplink1"));
  for (int n = 1; links.count("maplink" + std::to_string(n)); ++n) {
    const std::vector<std::string> f = Fields(links.at("maplink" + std::to_string(n)));
    ASSERT_EQ(f.size(), 6u) << n;
    for (int k = 0; k < 4; ++k) ASSERT_TRUE(IsInt(f[k])) << f[k];
    const int x1 = std::atoi(f[0].c_str()), y1 = std::atoi(f[1].c_str());
    const int x2 = std::atoi(f[2].c_str()), y2 = std::atoi(f[3].c_str());
    EXPECT_TRUE(x1 >= 0 && y1 >= 0 && x2 <= map.picture.width && y2 <= map.picture.height);
    EXPECT_GT(x2 - x1, 10);
    EXPECT_GT(y2 - y1, 10);
    EXPECT_TRUE(fs::exists(MapsDir / f[4])) << f[4];
    EXPECT_NE(f[4], map.name + ".dem");
    EXPECT_FALSE(f[5].empty());
  }
}

INSTANTIATE_TEST_SUITE_P(BothMaps, SampleMapsTest, ::testing::Values("Veldrane", "Thornmere"));

TEST(SampleMapsPair, WorldMapCoversTheWorldAndItsLinkFramesTheRegionalMap) {
  SampleMap world = Load("Veldrane");
  SampleMap region = Load("Thornmere");
  ASSERT_GT(world.picture.width, 0);
  ASSERT_GT(region.picture.width, 0);

  // The world map's corners lie within a few pixels of its picture's corners.
  const Corners& w = world.corners;
  for (const auto& [x, y, px, py] :
       {std::array<double, 4>{w.ulx, w.uly, 0, 0},
        {w.urx, w.ury, double(world.picture.width - 1), 0},
        {w.llx, w.lly, 0, double(world.picture.height - 1)},
        {w.lrx, w.lry, double(world.picture.width - 1), double(world.picture.height - 1)}}) {
    EXPECT_NEAR(x, px, 20);
    EXPECT_NEAR(y, py, 20);
  }
  // The regional map's corners lie far outside its picture, at one pixel per world unit.
  const Corners& r = region.corners;
  EXPECT_LT(r.ulx, -500);
  EXPECT_LT(r.uly, -500);
  EXPECT_GT(r.lrx, region.picture.width + 500);
  EXPECT_GT(r.lry, region.picture.height + 500);
  EXPECT_NEAR((r.urx - r.ulx) / 5120.0, 1.0, 0.05);

  // The world point at each corner of the regional picture falls inside the world map's link area
  // to Thornmere (within two pixels of its frame).
  const std::vector<std::string> link = Fields(world.sections["Map Links"]["maplink1"]);
  ASSERT_EQ(link.size(), 6u);
  ASSERT_EQ(link[4], "Thornmere.dem");
  const double x1 = std::atof(link[0].c_str()), y1 = std::atof(link[1].c_str());
  const double x2 = std::atof(link[2].c_str()), y2 = std::atof(link[3].c_str());
  for (const auto& [cx, cy] : {std::pair{0.0, 0.0},
                               {double(region.picture.width), 0.0},
                               {0.0, double(region.picture.height)},
                               {double(region.picture.width), double(region.picture.height)}}) {
    // Regional picture pixel -> world point (its corners form a rectangle) -> world map pixel.
    const double wx = (cx - r.ulx) / (r.urx - r.ulx) * 5120.0, wy = (cy - r.uly) / (r.lly - r.uly) * 4096.0;
    const auto [px, py] = w.ToPicture(wx, wy);
    EXPECT_TRUE(px >= x1 - 2 && px <= x2 + 2 && py >= y1 - 2 && py <= y2 + 2) << px << "," << py;
  }
  const std::vector<std::string> back = Fields(region.sections["Map Links"]["maplink1"]);
  ASSERT_EQ(back.size(), 6u);
  EXPECT_EQ(back[4], "Veldrane.dem");
}

}  // namespace
}  // namespace orv
