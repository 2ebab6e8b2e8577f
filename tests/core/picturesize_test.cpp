// The picture's size from its JPEG header, without decoding it.
#include "core/picturesize.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/jpegwrite.h"
#include "jpeg_files.h"
#include "tempdir.h"

namespace orv {
namespace {

using testing::JpegBytes;
using testing::TempDir;

// bytes with metadata blocks of the given total size inserted after the start marker, as cameras and
// editors put them before the picture's header.
std::string WithMetadata(const std::string& bytes, std::size_t total) {
  std::string blocks;
  while (blocks.size() < total) {
    const std::size_t length = 65533;  // the largest block a JPEG marker can carry, with its length
    blocks += "\xFF\xE1";
    blocks += static_cast<char>((length + 2) >> 8);
    blocks += static_cast<char>((length + 2) & 0xFF);
    blocks += std::string(length, 'm');
  }
  return bytes.substr(0, 2) + blocks + bytes.substr(2);
}

// A progressive picture whose header claims 30000 x 30000 pixels: the decoder's store for its scans
// would pass the limit the map load keeps to, though its pixels alone would not.
std::string TooLargeProgressive(const TempDir& dir) {
  const std::vector<uint8_t> pixels(64 * 64 * 4, 128);
  const std::string path = dir / "progressive.jpg";
  EXPECT_TRUE(WriteJpegFile(path, pixels.data(), 64, 64, 64 * 4, {.progressive = true}));
  std::string bytes = testing::ReadFile(path);
  const std::size_t frame = bytes.find("\xFF\xC2");
  EXPECT_NE(frame, std::string::npos);
  for (const std::size_t at : {frame + 5, frame + 7})
    bytes[at] = char(30000 >> 8), bytes[at + 1] = char(30000 & 0xFF);
  return bytes;
}

TEST(PictureSize, ReadsTheHeaderOnly) {
  const TempDir dir;
  const std::string picture = JpegBytes(321, 123);
  struct Case {
    const char* name;
    std::string bytes;
    std::optional<JpegHeader> size;
  };
  const Case cases[] = {
      {"plain", picture, JpegHeader{321, 123}},
      {"200 KiB of metadata first", WithMetadata(picture, 200 << 10), JpegHeader{321, 123}},
      // The scan data is not needed: a picture cut short after its header still has its size.
      {"cut short", picture.substr(0, picture.size() / 2), JpegHeader{321, 123}},
      {"empty", "", std::nullopt},
      {"not a JPEG", std::string(100000, 'x'), std::nullopt},
      {"header cut off", picture.substr(0, 20), std::nullopt},
      // The same verdicts as the map load's, which reads as far as the header goes.
      {"17 MiB of metadata first", WithMetadata(picture, 17 << 20), JpegHeader{321, 123}},
      {"progressive, too large to decode", TooLargeProgressive(dir), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto got = ReadPictureSize(dir.Write("p.jpg", c.bytes));
    ASSERT_EQ(got.has_value(), c.size.has_value());
    if (got) {
      EXPECT_EQ(got->width, c.size->width);
      EXPECT_EQ(got->height, c.size->height);
    }
  }
  EXPECT_FALSE(ReadPictureSize(dir / "missing.jpg"));
}

}  // namespace
}  // namespace orv
