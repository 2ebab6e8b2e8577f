// Loading map pictures into the QImage the view composes from: pixels of small and large pictures,
// and a current picture that stays as it was when the new one cannot be read.
#include "view/picture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QColor>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/jpeg_files.h"
#include "core/jpegwrite.h"
#include "tempdir.h"

namespace orv {
namespace {

// A JPEG of width x height pixels whose colour is colourAt(x, y) (as 0xRRGGBB).
template <typename ColourAt>
std::vector<unsigned char> Encode(int width, int height, ColourAt colourAt) {
  std::vector<unsigned char> px(std::size_t(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const unsigned rgb = colourAt(x, y);
      unsigned char* p = &px[(std::size_t(y) * width + x) * 4];
      p[0] = rgb & 0xFF, p[1] = (rgb >> 8) & 0xFF, p[2] = (rgb >> 16) & 0xFF, p[3] = 0;
    }
  std::vector<unsigned char> bytes = EncodeJpeg(px.data(), width, height, std::size_t(width) * 4);
  EXPECT_FALSE(bytes.empty());
  return bytes;
}

// Quarters of the picture in four colours, with their edges on 8-pixel block boundaries.
unsigned Quarters(int x, int y, int width, int height) {
  const bool right = x >= width / 2, lower = y >= height / 2;
  return right ? (lower ? 0x808080u : 0x1EB43Cu) : (lower ? 0x143CDCu : 0xC81E28u);
}

void ExpectColour(const QImage& image, int x, int y, unsigned rgb) {
  const QRgb p = image.pixel(x, y);
  EXPECT_NEAR(qRed(p), int((rgb >> 16) & 0xFF), 6) << x << "," << y;
  EXPECT_NEAR(qGreen(p), int((rgb >> 8) & 0xFF), 6) << x << "," << y;
  EXPECT_NEAR(qBlue(p), int(rgb & 0xFF), 6) << x << "," << y;
}

class PictureTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) {
    return dir_.Write(name, std::string(bytes.begin(), bytes.end()));
  }

  testing::TempDir dir_;
};

TEST_F(PictureTest, SmallAndLargePicturesLoadWithTheirPixels) {
  // 3072 x 3072 pixels take 36 MiB decoded, enough for the memory of large pictures.
  for (const int size : {48, 3072}) {
    const std::string path = Write(
        "quarters.jpg", Encode(size, size, [size](int x, int y) { return Quarters(x, y, size, size); }));
    QImage image;
    ASSERT_EQ(LoadPicture(path, image), JpegResult::Ok) << size;
    ASSERT_EQ(image.size(), QSize(size, size));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    for (const int x : {2, size / 2 - 3, size / 2 + 3, size - 3})
      for (const int y : {2, size / 2 - 3, size / 2 + 3, size - 3})
        ExpectColour(image, x, y, Quarters(x, y, size, size));

    // The picture is drawn into later (link frames): it must be writable, and outlive a copy.
    QImage copy = image;
    image.setPixel(0, 0, qRgb(1, 2, 3));
    EXPECT_EQ(image.pixel(0, 0), qRgb(1, 2, 3));
    ExpectColour(copy, 0, 0, Quarters(0, 0, size, size));
  }
}

TEST_F(PictureTest, UnreadablePictureLeavesTheCurrentOneUntouched) {
  const std::vector<unsigned char> small = Encode(32, 32, [](int, int) { return 0x336699u; });
  std::vector<unsigned char> oversized = small;
  for (std::size_t i = 0; i + 8 < oversized.size(); ++i)
    if (oversized[i] == 0xFF && oversized[i + 1] == 0xC0) {
      for (int k = 5; k <= 8; ++k) oversized[i + k] = 0xFF;  // 65535 x 65535
      break;
    }
  const std::string text = "not a picture";
  const std::atomic<bool> go{false}, stop{true};
  struct Case {
    const char* name;
    std::string path;
    const std::atomic<bool>* stop = nullptr;
  };
  const Case cases[] = {
      {"missing", dir_ / "missing.jpg"},
      // A decode asked to stop (a decode ahead nobody takes) ends without a picture.
      {"stopped", Write("stopped.jpg", small), &stop},
      {"stopped large", Write("large.jpg", Encode(3072, 3072, [](int, int) { return 0x336699u; })), &stop},
      {"empty", Write("empty.jpg", {})},
      {"text", Write("text.jpg", std::vector<unsigned char>(text.begin(), text.end()))},
      {"oversized", Write("huge.jpg", oversized)},
      // The header reads, the rows cannot be decoded.
      {"no quantisation tables", Write("noquant.jpg", testing::WithoutQuantisationTables(small))},
  };
  for (const Case& c : cases) {
    if (c.stop) {
      QImage picture;
      ASSERT_EQ(LoadPicture(c.path, picture, &go), JpegResult::Ok) << c.name << ": readable when not stopped";
    }
    QImage current(20, 10, QImage::Format_RGB32);
    current.fill(qRgb(9, 8, 7));
    const qint64 key = current.cacheKey();
    const uchar* bits = current.constBits();
    EXPECT_EQ(LoadPicture(c.path, current, c.stop), JpegResult::Unreadable) << c.name;
    EXPECT_EQ(current.cacheKey(), key) << c.name;
    EXPECT_EQ(current.constBits(), bits) << c.name;
    EXPECT_EQ(current.size(), QSize(20, 10)) << c.name;
    EXPECT_EQ(current.pixel(19, 9), qRgb(9, 8, 7)) << c.name;
  }
}

TEST_F(PictureTest, PictureCutShortLoadsAsDamagedAtItsFullSize) {
  std::vector<unsigned char> bytes =
      Encode(400, 300, [](int x, int y) { return unsigned(x * 2654435761u ^ y * 40503u); });
  bytes.resize(bytes.size() / 3);
  QImage image(5, 5, QImage::Format_RGB32);
  EXPECT_EQ(LoadPicture(Write("cut.jpg", bytes), image), JpegResult::Damaged);
  EXPECT_EQ(image.size(), QSize(400, 300));
  EXPECT_EQ(image.format(), QImage::Format_RGB32);
}

}  // namespace
}  // namespace orv
