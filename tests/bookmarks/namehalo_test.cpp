// Bookmark name labels as pixels: the halo around the letters, its colour, its absence when turned
// off, and the marker at the bookmark's point.
#include "bookmarks/namehalo.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

const QPoint kPoint(20, 20);  // the bookmark's point in the view

QFont TestFont() {
  QFont font;
  font.setPixelSize(18);
  font.setBold(true);
  return font;
}

QImage Picture(QColor color) {
  QImage view(260, 70, QImage::Format_RGB32);
  view.fill(color);
  return view;
}

QImage Drawn(QColor picture, QColor text, NameLabelOptions options) {
  QImage view = Picture(picture);
  QPainter painter(&view);
  DrawNameLabel(painter, MakeNameLabel("Kwell Harbour", TestFont(), text, options), kPoint);
  return view;
}

// Pixels just outside the letters: untouched by any letter, beside one that is fully covered.
// Found from the letters alone, black on white.
std::vector<QPoint> BesideLetters() {
  const QImage letters = Drawn(Qt::white, Qt::black, {.halo = false, .marker = false});
  const auto at = [&](int x, int y) { return letters.pixel(x, y) & 0xffffff; };
  std::vector<QPoint> beside;
  for (int y = 1; y + 1 < letters.height(); ++y)
    for (int x = 1; x + 1 < letters.width(); ++x) {
      if (at(x, y) != 0xffffff) continue;
      if (at(x - 1, y) == 0 || at(x + 1, y) == 0 || at(x, y - 1) == 0 || at(x, y + 1) == 0)
        beside.push_back({x, y});
    }
  return beside;
}

TEST(NameHalo, HaloColourContrastsWithTheLetters) {
  const struct {
    QColor text;
    QColor halo;
  } cases[] = {
      {Qt::black, Qt::white},           {Qt::white, Qt::black},          {QColor(0, 0, 160), Qt::white},
      {QColor(255, 255, 0), Qt::black}, {QColor(90, 90, 90), Qt::white}, {QColor(0, 200, 0), Qt::black},
  };
  for (const auto& c : cases) EXPECT_EQ(HaloColorFor(c.text), c.halo) << c.text.name().toStdString();
}

TEST(NameHalo, LettersOnTheirOwnColourShowAHaloOrThePicture) {
  const std::vector<QPoint> beside = BesideLetters();
  ASSERT_GT(beside.size(), 30u);  // the straight edges of the letters
  const struct {
    QColor colour;  // of the letters and the picture
    bool halo;
    QRgb expected;  // beside the letters
  } cases[] = {
      {Qt::black, true, qRgb(255, 255, 255)},
      {Qt::white, true, qRgb(0, 0, 0)},
      {Qt::black, false, qRgb(0, 0, 0)},
      {QColor(200, 30, 30), false, qRgb(200, 30, 30)},
  };
  for (const auto& c : cases) {
    const QImage view = Drawn(c.colour, c.colour, {.halo = c.halo, .marker = false});
    int matching = 0;
    for (QPoint p : beside) matching += view.pixel(p) == c.expected;
    EXPECT_EQ(matching, static_cast<int>(beside.size())) << c.colour.name().toStdString() << " " << c.halo;
  }
}

TEST(NameHalo, HaloIsThinAndLeavesTheRestOfThePicture) {
  // Black letters on black: only pixels within the halo's width of a letter change.
  const QImage view = Drawn(Qt::black, Qt::black, {.halo = true, .marker = false});
  const QImage letters = Drawn(Qt::white, Qt::black, {.halo = false, .marker = false});
  for (int y = 0; y < view.height(); ++y)
    for (int x = 0; x < view.width(); ++x) {
      if (view.pixel(x, y) == qRgb(0, 0, 0)) continue;
      bool nearLetter = false;
      for (int j = std::max(0, y - 1); j <= std::min(view.height() - 1, y + 1); ++j)
        for (int i = std::max(0, x - 1); i <= std::min(view.width() - 1, x + 1); ++i)
          nearLetter |= letters.pixel(i, j) != qRgb(255, 255, 255);
      ASSERT_TRUE(nearLetter) << x << "," << y;
    }
}

TEST(NameHalo, MarkerSitsOnThePointWithAContrastingRing) {
  for (const bool halo : {true, false}) {
    for (const QColor colour : {QColor(Qt::black), QColor(Qt::white)}) {
      const QImage view = Drawn(colour, colour, {.halo = halo, .marker = true});
      const QRgb ring = HaloColorFor(colour).rgb();
      EXPECT_EQ(view.pixel(kPoint), colour.rgb());
      EXPECT_EQ(view.pixel(kPoint + QPoint(-2, 0)), colour.rgb());
      EXPECT_EQ(view.pixel(kPoint + QPoint(-3, 0)), ring);
      EXPECT_EQ(view.pixel(kPoint + QPoint(0, -3)), ring);
      EXPECT_EQ(view.pixel(kPoint + QPoint(-3, -3)), colour.rgb());  // the ring is round
      EXPECT_EQ(view.pixel(kPoint + QPoint(-4, 0)), colour.rgb());   // the picture again
    }
  }
  // Drawn on its own, the same marker.
  QImage view = Picture(Qt::black);
  QPainter painter(&view);
  DrawPointMarker(painter, kPoint, Qt::black);
  painter.end();
  EXPECT_EQ(view.pixel(kPoint), qRgb(0, 0, 0));
  EXPECT_EQ(view.pixel(kPoint + QPoint(3, 0)), qRgb(255, 255, 255));
  EXPECT_EQ(view.pixel(kPoint + QPoint(0, 4)), qRgb(0, 0, 0));
}

TEST(NameHalo, LabelPlacesTheTextBoxAtThePointAndStaysBounded) {
  const QFont font = TestFont();
  const NameLabel label = MakeNameLabel("Kwell", font, Qt::black);
  const QRect area = label.AreaAt(kPoint);
  // The whole text box and the marker lie inside the picture.
  const QFontMetrics metrics(font);
  EXPECT_TRUE(area.contains(QRect(kPoint, QSize(metrics.horizontalAdvance("Kwell"), metrics.height()))));
  EXPECT_TRUE(area.contains(QRect(kPoint - QPoint(3, 3), QSize(7, 7))));
  // A name of nothing or blanks still marks its point.
  for (const QString& blank : {QString(), QString("   ")}) {
    const NameLabel empty = MakeNameLabel(blank, font, Qt::black);
    EXPECT_TRUE(empty.AreaAt(kPoint).contains(QRect(kPoint - QPoint(3, 3), QSize(7, 7))));
  }
  // A hand-edited name of a megabyte gives a picture no wider than a few screens.
  const NameLabel huge = MakeNameLabel(QString(1 << 20, 'W'), font, Qt::black);
  EXPECT_LE(huge.picture.width(), 8192 + 16);
  EXPECT_FALSE(huge.picture.isNull());
  // Nor does a hand-edited size of 999999 points give one taller than a screen.
  QFont giant = font;
  giant.setPointSize(999999);
  const NameLabel tall = MakeNameLabel("Stray", giant, Qt::black);
  EXPECT_LE(tall.picture.height(), 1024);
  EXPECT_FALSE(tall.picture.isNull());
}

}  // namespace
}  // namespace orv
