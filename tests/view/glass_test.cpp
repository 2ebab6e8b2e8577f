// The magnifying-glass marker and its mask, as the program finds them among its resources.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <cmath>

// The resources live in a static library: naming them here makes sure they are linked in.
static void InitResources() {
  Q_INIT_RESOURCE(orvantis);
}

namespace {

class GlassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitResources();
    ASSERT_TRUE(picture_.load(QStringLiteral(":/glass.png")));
    ASSERT_TRUE(mask_.load(QStringLiteral(":/glass-mask.png")));
  }
  bool Drawn(int x, int y) const { return mask_.pixel(x, y) == qRgb(0, 0, 0); }
  static bool InLens(int x, int y) { return std::hypot(x - 26, y - 26) < 21.0; }

  QImage picture_, mask_;
};

TEST_F(GlassTest, PictureAndTwoColourMaskHaveTheMarkersSize) {
  EXPECT_EQ(picture_.size(), QSize(80, 82));
  EXPECT_EQ(mask_.size(), QSize(80, 82));
  EXPECT_FALSE(picture_.hasAlphaChannel());
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 80; ++x) {
      const QRgb m = mask_.pixel(x, y);
      ASSERT_TRUE(m == qRgb(0, 0, 0) || m == qRgb(255, 255, 255)) << x << "," << y;
    }
  QFile icon(QStringLiteral(":/orvantis.png"));
  EXPECT_TRUE(icon.exists());
}

TEST_F(GlassTest, MaskDrawsTheRingCollarAndHandleAndShowsTheMapThroughTheLens) {
  struct Probe {
    int x, y;
    bool drawn;
  };
  const Probe probes[] = {
      {26, 1, true},   {1, 26, true},   {51, 26, true},  {26, 51, true},  // the ring
      {44, 46, true},                                                     // the collar
      {62, 65, true},  {76, 79, true},                                    // the handle, down to the corner
      {26, 27, false}, {36, 36, false}, {20, 40, false},                  // the lens, where the cross sits
      {79, 0, false},  {0, 81, false},  {70, 20, false}, {10, 70, false}  // around the glass
  };
  for (const Probe& p : probes) EXPECT_EQ(Drawn(p.x, p.y), p.drawn) << p.x << "," << p.y;

  // The outer edge of the ring spans columns and rows 0 to 52.
  int left = 80, top = 82;
  for (int y = 0; y < 53; ++y)
    for (int x = 0; x < 53; ++x)
      if (Drawn(x, y)) left = std::min(left, x), top = std::min(top, y);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(top, 0);
  EXPECT_TRUE(Drawn(52, 26));
  EXPECT_TRUE(Drawn(26, 52));
}

TEST_F(GlassTest, GlintIsAWhiteCrescentInTheUpperLeftOfTheLens) {
  int glint = 0;
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 80; ++x) {
      if (!InLens(x, y) || !Drawn(x, y)) continue;
      ++glint;
      EXPECT_EQ(picture_.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
      EXPECT_TRUE(x >= 9 && x <= 34 && y >= 9 && y <= 34) << x << "," << y;
    }
  EXPECT_GT(glint, 30);
}

TEST_F(GlassTest, DrawnRimPixelsCarryTheGlassColoursNotTheBackground) {
  // Soft edges must stay outside the mask: a pale pixel drawn on the rim would show as a halo.
  int brightestRed = 0;
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 80; ++x) {
      if (InLens(x, y) || !Drawn(x, y)) continue;
      const QRgb c = picture_.pixel(x, y);
      EXPECT_LT(qBlue(c), 200) << x << "," << y;
      if (std::hypot(x - 26, y - 26) <= 27) brightestRed = std::max(brightestRed, qRed(c));
    }
  EXPECT_NEAR(brightestRed, 225, 12);
  const QRgb gold = picture_.pixel(12, 5);  // upper left of the ring, in the light
  EXPECT_GT(qRed(gold), 150);
  EXPECT_GT(qGreen(gold), 120);
  EXPECT_LT(qBlue(gold), 60);
}

}  // namespace
