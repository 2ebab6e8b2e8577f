// Decoding map pictures: pixels and their layout, damaged and unreadable files, and pictures refused
// for their size before anything is allocated.
#include "core/jpeg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/jpegwrite.h"
#include "jpeg_files.h"
#include "tempdir.h"

namespace orv {
namespace {

// Encodes width x height pixels given as B, G, R, X bytes (or C, M, Y, K with cmyk) as a JPEG.
std::vector<unsigned char> Encode(const std::vector<unsigned char>& pixels, int width, int height,
                                  bool cmyk = false) {
  std::vector<unsigned char> bytes = EncodeJpeg(pixels.data(), width, height, std::size_t(width) * 4,
                                                {.pixels = cmyk ? JpegPixels::Cmyk : JpegPixels::Bgrx});
  EXPECT_FALSE(bytes.empty());
  return bytes;
}

// Four flat blocks of 16 x 16 pixels: red, green / blue, grey, as BGRX.
struct Block {
  int x, y;
  unsigned char r, g, b;
};
const Block Blocks[] = {
    {0, 0, 200, 30, 40}, {16, 0, 30, 180, 60}, {0, 16, 20, 60, 220}, {16, 16, 128, 128, 128}};

std::vector<unsigned char> BlockPixels() {
  std::vector<unsigned char> px(32 * 32 * 4);
  for (const Block& b : Blocks)
    for (int y = b.y; y < b.y + 16; ++y)
      for (int x = b.x; x < b.x + 16; ++x) {
        unsigned char* p = &px[(y * 32 + x) * 4];
        p[0] = b.b, p[1] = b.g, p[2] = b.r, p[3] = 0;
      }
  return px;
}

// A picture with detail everywhere, so that a file cut short misses real data.
std::vector<unsigned char> TexturedPixels(int width, int height) {
  std::vector<unsigned char> px(std::size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &px[(std::size_t(y) * width + x) * 4];
      p[0] = static_cast<unsigned char>(x * 7 + y * 3);
      p[1] = static_cast<unsigned char>((x ^ y) * 5);
      p[2] = static_cast<unsigned char>(x * y);
      p[3] = 0;
    }
  return px;
}

class JpegTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    return dir_.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  // A named pipe that nothing writes to: opening it must not wait for a writer.
  std::string Fifo(const std::string& name) {
    const std::string path = dir_ / name;
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
  }

  testing::TempDir dir_;
};

TEST_F(JpegTest, DecodesFlatBlocksToTheirColoursWithOpaquePadding) {
  JpegFile file;
  ASSERT_EQ(file.Open(Write("blocks.jpg", Encode(BlockPixels(), 32, 32))), JpegResult::Ok);
  EXPECT_EQ(file.header().width, 32);
  EXPECT_EQ(file.header().height, 32);

  // Rows wider than the picture: the bytes past each row must stay as they were.
  const std::size_t stride = 32 * 4 + 12;
  std::vector<uint8_t> pixels(stride * 32, 0xA5);
  ASSERT_EQ(file.DecodeInto(pixels.data(), stride), JpegResult::Ok);
  for (const Block& b : Blocks) {
    for (int y = b.y + 2; y < b.y + 14; ++y)
      for (int x = b.x + 2; x < b.x + 14; ++x) {
        const uint8_t* p = &pixels[y * stride + x * 4];
        EXPECT_NEAR(p[0], b.b, 6) << x << "," << y;
        EXPECT_NEAR(p[1], b.g, 6) << x << "," << y;
        EXPECT_NEAR(p[2], b.r, 6) << x << "," << y;
        EXPECT_EQ(p[3], 0xFF) << x << "," << y;
      }
  }
  for (int y = 0; y < 32; ++y)
    for (std::size_t k = 32 * 4; k < stride; ++k) ASSERT_EQ(pixels[y * stride + k], 0xA5) << "row " << y;
}

TEST_F(JpegTest, FileDecodesLikeTheSameBytesInMemory) {
  const std::vector<unsigned char> bytes = Encode(TexturedPixels(96, 64), 96, 64);
  JpegFile fromFile, inMemory;
  ASSERT_EQ(fromFile.Open(Write("textured.jpg", bytes)), JpegResult::Ok);
  ASSERT_EQ(inMemory.OpenBytes(bytes), JpegResult::Ok);
  std::vector<uint8_t> a(96 * 4 * 64), b(96 * 4 * 64);
  ASSERT_EQ(fromFile.DecodeInto(a.data(), 96 * 4), JpegResult::Ok);
  ASSERT_EQ(inMemory.DecodeInto(b.data(), 96 * 4), JpegResult::Ok);
  EXPECT_EQ(a, b);
  // Still usable after a move; the moved-from file decodes nothing.
  JpegFile moved = std::move(fromFile);
  std::fill(a.begin(), a.end(), 0);
  ASSERT_EQ(moved.DecodeInto(a.data(), 96 * 4), JpegResult::Ok);
  EXPECT_EQ(a, b);
  EXPECT_EQ(fromFile.DecodeInto(a.data(), 96 * 4),
            JpegResult::Unreadable);  // NOLINT(bugprone-use-after-move)
}

TEST_F(JpegTest, FileCutShortDecodesAsDamagedWithItsFullSize) {
  std::vector<unsigned char> bytes = Encode(TexturedPixels(256, 192), 256, 192);
  bytes.resize(bytes.size() / 2);
  JpegFile file;
  ASSERT_EQ(file.Open(Write("cut.jpg", bytes)), JpegResult::Ok);
  EXPECT_EQ(file.header().width, 256);
  EXPECT_EQ(file.header().height, 192);
  std::vector<uint8_t> pixels(256 * 4 * 192);
  EXPECT_EQ(file.DecodeInto(pixels.data(), 256 * 4), JpegResult::Damaged);
}

// The file changes on disk between Open and the decode (a map being rewritten while it loads): cut
// short it decodes as damaged, and a picture of another size is refused rather than written past
// the caller's rows.
TEST_F(JpegTest, FileChangedAfterOpeningIsDecodedSafely) {
  const std::vector<unsigned char> original = Encode(TexturedPixels(256, 192), 256, 192);
  const std::vector<unsigned char> cut(original.begin(),
                                       original.begin() + std::ptrdiff_t(original.size() / 2));
  struct Case {
    const char* name;
    std::vector<unsigned char> replacement;
    JpegResult expected;
  };
  const Case cases[] = {
      {"cut short", cut, JpegResult::Damaged},
      {"larger picture", Encode(TexturedPixels(512, 384), 512, 384), JpegResult::Unreadable},
      {"emptied", {}, JpegResult::Unreadable},
  };
  for (const Case& c : cases) {
    const std::string path = Write("changing.jpg", original);
    JpegFile file;
    ASSERT_EQ(file.Open(path), JpegResult::Ok) << c.name;
    // Rewritten in place: the open file sees the new contents.
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(c.replacement.data()), std::streamsize(c.replacement.size()));
    std::vector<uint8_t> pixels(256 * 4 * 192 + 64, 0xA5);
    EXPECT_EQ(file.DecodeInto(pixels.data(), 256 * 4), c.expected) << c.name;
    for (std::size_t k = 256 * 4 * 192; k < pixels.size(); ++k) ASSERT_EQ(pixels[k], 0xA5) << c.name;
  }
}

TEST_F(JpegTest, FilesThatAreNoPictureAreUnreadable) {
  const std::vector<unsigned char> jpeg = Encode(BlockPixels(), 32, 32);
  const std::string text = "[Map Dimensions]\r\nUpperLeft_X=0\r\n";
  struct Case {
    const char* name;
    std::string path;
  };
  const Case cases[] = {
      {"missing", dir_ / "missing.jpg"},
      {"empty", Write("empty.jpg", {})},
      {"text", Write("text.jpg", std::vector<unsigned char>(text.begin(), text.end()))},
      {"header cut", Write("head.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + 20))},
      {"directory", dir_.path()},
      {"pipe", Fifo("pipe.jpg")},
  };
  for (const Case& c : cases) {
    JpegFile file;
    EXPECT_EQ(file.Open(c.path), JpegResult::Unreadable) << c.name;
    EXPECT_EQ(file.header().width, 0) << c.name;
    uint8_t pixel[4] = {1, 2, 3, 4};
    EXPECT_EQ(file.DecodeInto(pixel, 4), JpegResult::Unreadable) << c.name;
    EXPECT_EQ(pixel[0], 1) << c.name;
  }
}

// Sets the size that the frame header (SOF0 of a baseline JPEG, SOF2 of a progressive one) declares.
std::vector<unsigned char> WithDeclaredSize(std::vector<unsigned char> jpeg, int width, int height) {
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = static_cast<unsigned char>(height >> 8);
      jpeg[i + 6] = static_cast<unsigned char>(height & 0xFF);
      jpeg[i + 7] = static_cast<unsigned char>(width >> 8);
      jpeg[i + 8] = static_cast<unsigned char>(width & 0xFF);
      return jpeg;
    }
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

std::vector<unsigned char> Progressive(const std::vector<unsigned char>& pixels, int width, int height) {
  return EncodeJpeg(pixels.data(), width, height, std::size_t(width) * 4, {.progressive = true});
}

// The JPEG with its first scan (the scan header and its data, up to the next marker) repeated.
std::vector<unsigned char> WithFirstScanRepeated(const std::vector<unsigned char>& jpeg, int times) {
  std::size_t start = 2;
  while (start + 4 <= jpeg.size() && !(jpeg[start] == 0xFF && jpeg[start + 1] == 0xDA))
    start += 2 + (std::size_t(jpeg[start + 2]) << 8 | jpeg[start + 3]);
  std::size_t end = start + 2;
  while (end + 1 < jpeg.size() &&
         !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] & 0xF8) != 0xD0))
    ++end;
  EXPECT_LT(end + 1, jpeg.size()) << "no second scan";
  std::vector<unsigned char> out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(end));
  for (int i = 0; i < times; ++i)
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(start), jpeg.begin() + std::ptrdiff_t(end));
  out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(end), jpeg.end());
  return out;
}

TEST_F(JpegTest, SizeLimitIsCheckedFromTheHeader) {
  const std::vector<unsigned char> jpeg = Encode(BlockPixels(), 32, 32);
  const std::vector<unsigned char> progressive = Progressive(BlockPixels(), 32, 32);
  struct Case {
    bool progressive;
    int width, height;
    JpegResult expected;
  };
  // 32768 x 32768 pixels of 4 bytes are exactly the limit; one row more is over it. A progressive
  // picture also needs the decoder's coefficients, 6 bytes a pixel at full colour resolution.
  const Case cases[] = {
      {false, 65535, 65535, JpegResult::Unreadable}, {false, 32768, 32769, JpegResult::Unreadable},
      {false, 32768, 32768, JpegResult::Ok},         {false, 16384, 16384, JpegResult::Ok},
      {true, 32768, 32768, JpegResult::Unreadable},  {true, 32768, 13108, JpegResult::Unreadable},
      {true, 32768, 13104, JpegResult::Ok},          {true, 16384, 16384, JpegResult::Ok}};
  for (const Case& c : cases) {
    JpegFile file;
    const std::string path =
        Write("big.jpg", WithDeclaredSize(c.progressive ? progressive : jpeg, c.width, c.height));
    EXPECT_EQ(file.Open(path), c.expected) << c.progressive << " " << c.width << "x" << c.height;
    if (c.expected == JpegResult::Ok) {
      EXPECT_EQ(file.header().width, c.width);
      EXPECT_EQ(file.header().height, c.height);
    }
  }
}

// Scans that hold no data still walk the whole picture: a file of many of them is refused once it
// has more than a picture of its size is allowed, instead of keeping the decoder busy for minutes.
TEST_F(JpegTest, AProgressiveFileOfTooManyScansIsRefused) {
  const std::vector<unsigned char> jpeg = Progressive(TexturedPixels(32, 32), 32, 32);
  struct Case {
    int size, repeats;
    JpegResult expected;
  };
  const Case cases[] = {{32, 400, JpegResult::Damaged},  // small pictures may have 500 scans
                        {32, 600, JpegResult::Unreadable},
                        {2048, 100, JpegResult::Damaged},  // 4 million pixels: 125
                        {2048, 150, JpegResult::Unreadable}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + " " + std::to_string(c.repeats));
    JpegFile file;
    ASSERT_EQ(file.Open(Write("scans.jpg",
                              WithDeclaredSize(WithFirstScanRepeated(jpeg, c.repeats), c.size, c.size))),
              JpegResult::Ok);
    std::vector<uint8_t> pixels(std::size_t(c.size) * c.size * 4);
    EXPECT_EQ(file.DecodeInto(pixels.data(), std::size_t(c.size) * 4), c.expected);
  }
}

TEST_F(JpegTest, CmykPicturesDecodeToTheColoursOfTheirInks) {
  // Ink amounts stored inverted (255 for no ink), as print tools write them.
  struct Case {
    const char* name;
    unsigned char c, m, y, k;
    unsigned char r, g, b;
  };
  const Case cases[] = {
      {"no ink", 255, 255, 255, 255, 255, 255, 255},
      {"magenta and yellow", 255, 0, 0, 255, 255, 0, 0},
      {"black", 255, 255, 255, 0, 0, 0, 0},
      {"some of each", 200, 100, 255, 128, 100, 50, 128},
  };
  std::vector<unsigned char> cmyk(32 * 32 * 4);
  for (int i = 0; i < 4; ++i)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const Case& c = cases[i];
        unsigned char* p = &cmyk[((i / 2 * 16 + y) * 32 + i % 2 * 16 + x) * 4];
        p[0] = c.c, p[1] = c.m, p[2] = c.y, p[3] = c.k;
      }
  JpegFile file;
  ASSERT_EQ(file.Open(Write("cmyk.jpg", Encode(cmyk, 32, 32, true))), JpegResult::Ok);
  std::vector<uint8_t> pixels(32 * 4 * 32);
  ASSERT_EQ(file.DecodeInto(pixels.data(), 32 * 4), JpegResult::Ok);
  for (int i = 0; i < 4; ++i) {
    const Case& c = cases[i];
    const uint8_t* p = &pixels[((i / 2 * 16 + 8) * 32 + i % 2 * 16 + 8) * 4];
    EXPECT_NEAR(p[2], c.r, 6) << c.name;
    EXPECT_NEAR(p[1], c.g, 6) << c.name;
    EXPECT_NEAR(p[0], c.b, 6) << c.name;
    EXPECT_EQ(p[3], 0xFF) << c.name;
  }
}

TEST_F(JpegTest, PictureWhoseRowsCannotBeDecodedIsUnreadable) {
  // The header reads, so the failure comes only while decoding.
  JpegFile file;
  ASSERT_EQ(
      file.Open(Write("noquant.jpg", testing::WithoutQuantisationTables(Encode(BlockPixels(), 32, 32)))),
      JpegResult::Ok);
  std::vector<uint8_t> pixels(32 * 4 * 32);
  EXPECT_EQ(file.DecodeInto(pixels.data(), 32 * 4), JpegResult::Unreadable);
}

TEST_F(JpegTest, StrideShorterThanARowIsRefused) {
  JpegFile file;
  ASSERT_EQ(file.Open(Write("blocks.jpg", Encode(BlockPixels(), 32, 32))), JpegResult::Ok);
  std::vector<uint8_t> pixels(32 * 4 * 32, 0x11);
  EXPECT_EQ(file.DecodeInto(pixels.data(), 31 * 4), JpegResult::Unreadable);
  EXPECT_EQ(pixels[0], 0x11);
}

TEST_F(JpegTest, WrittenFilesDecodeAtTheirSizeAndRefusalsWriteNothing) {
  const std::vector<unsigned char> pixels = BlockPixels();
  for (const JpegChroma chroma : {JpegChroma::Full, JpegChroma::Half}) {
    const std::string path = dir_ / "written.jpg";
    ASSERT_TRUE(WriteJpegFile(path, pixels.data(), 32, 32, 32 * 4, {.quality = 90, .chroma = chroma}));
    JpegFile file;
    ASSERT_EQ(file.Open(path), JpegResult::Ok);
    EXPECT_EQ(file.header().width, 32);
    EXPECT_EQ(file.header().height, 32);
  }
  // A row stride shorter than a row, no pixels, and a folder that does not exist are failures.
  EXPECT_TRUE(EncodeJpeg(pixels.data(), 32, 32, 31 * 4).empty());
  EXPECT_TRUE(EncodeJpeg(nullptr, 32, 32, 32 * 4).empty());
  EXPECT_FALSE(WriteJpegFile(dir_ / "short.jpg", pixels.data(), 32, 32, 31 * 4));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "short.jpg"));
  EXPECT_FALSE(WriteJpegFile(dir_ / "missing/folder.jpg", pixels.data(), 32, 32, 32 * 4));
}

}  // namespace
}  // namespace orv
