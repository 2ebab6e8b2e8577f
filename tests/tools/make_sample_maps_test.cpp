// The sample-map maker: it writes every shipped picture, and the map info files it writes now are
// the ones in the repository, so the committed maps are what the program in the tree draws.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(MakeSampleMaps, WritesEveryPictureAndTheCommittedMapInfoFiles) {
  const fs::path program = fs::path(ORV_BINARY_DIR) / "make-sample-maps";
  ASSERT_TRUE(fs::exists(program));
  const fs::path out = fs::temp_directory_path() / ("orv_sample_maps_" + std::to_string(::getpid()));
  fs::remove_all(out);
  const std::string command = "'" + program.string() + "' '" + out.string() + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);

  for (const char* name : {"glass.png", "glass-mask.png", "orvantis.png", "orvantis-32.png",
                           "maps/Veldrane.JPG", "maps/Thornmere.JPG", "maps/Orrinsford.JPG"}) {
    EXPECT_TRUE(fs::exists(out / name) && fs::file_size(out / name) > 100) << name;
  }
  const fs::path committed = fs::path(ORV_SOURCE_DIR) / "assets";
  for (const char* name :
       {"maps/Veldrane.dem", "maps/Thornmere.dem", "maps/Orrinsford.dem", "glass.png", "glass-mask.png"})
    EXPECT_EQ(ReadBytes(out / name), ReadBytes(committed / name)) << name;
  fs::remove_all(out);

  // A wrong call writes nothing and says how to call it; an empty folder name is no call for the
  // folder the maker is run in.
  EXPECT_NE(std::system(("'" + program.string() + "' 2>/dev/null").c_str()), 0);
  fs::create_directories(out);
  EXPECT_NE(std::system(("cd '" + out.string() + "' && '" + program.string() + "' '' 2>/dev/null").c_str()),
            0);
  EXPECT_TRUE(fs::is_empty(out));
  fs::remove_all(out);
}

}  // namespace
