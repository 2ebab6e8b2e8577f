// Frames composed with the names taken from kept opaque tiles are the frames composed the plain way:
// the picture at the zoom, then what goes under the names (the cross and its glass, link outlines),
// then every name blended over it. Across zooms, scroll positions at and beyond the picture's edges,
// cross positions in and out of view, and changes of the lists, the options, the picture and the
// corners between frames.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>
#include <random>

#include "bookmarks/bookmarkdraw.h"
#include "storage/fields.h"
#include "view/locationcross.h"
#include "view/render.h"

namespace orv {
namespace {

constexpr int kViewW = 600, kViewH = 400;
constexpr int kPictureW = 1400, kPictureH = 1000;

// A picture whose every pixel differs from its neighbours, so that a pixel taken from the wrong place
// shows.
QImage Picture() {
  QImage picture(kPictureW, kPictureH, QImage::Format_RGB32);
  for (int y = 0; y < kPictureH; ++y)
    for (int x = 0; x < kPictureW; ++x)
      picture.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x ^ y) % 256));
  return picture;
}

MapCorners PictureCorners(int shift = 0) {
  MapCorners c;
  c.upperLeft = {shift, shift};
  c.upperRight = {kPictureW + shift, 0};
  c.lowerLeft = {0, kPictureH};
  c.lowerRight = {kPictureW, kPictureH + shift};
  return c;
}

// Names all over the world and beyond its edges, in several faces, sizes and colours.
BookmarkLists Bookmarks() {
  BookmarkLists lists;
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(-400, WorldWidth + 400), y(-400, WorldHeight + 400), size(6, 18);
  const char* faces[] = {"DejaVu Sans", "Arial", "DejaVu Serif"};
  for (int i = 0; i < 300; ++i) {
    const std::string font = JoinFields({faces[i % 3], std::to_string(size(random)),
                                         std::to_string(i * 2654435761u & 0xFFFFFF), i % 4 ? "b" : "i"});
    const std::string name =
        std::string(1 + i % 23, static_cast<char>('a' + i % 26)) + " " + std::to_string(i);
    const std::string px = std::to_string(x(random)), py = std::to_string(y(random));
    if (i % 2) {
      lists.GlobalBookmarks.push_back(JoinFields({"id" + std::to_string(10000000 + i), "V", px, py, name}));
      lists.GlobalBookmarkFonts.push_back(font);
    } else {
      lists.CurrentMapBookmarks.push_back(JoinFields({"V", px, py, name, "notes"}));
      lists.CurrentMapBookmarkFonts.push_back(font);
    }
  }
  return lists;
}

// A glass of the usual size whose mask draws a ring and leaves its lens and corners open.
struct Glass {
  QImage picture{80, 82, QImage::Format_RGB32}, mask{80, 82, QImage::Format_RGB32};
  Glass() {
    for (int y = 0; y < 82; ++y)
      for (int x = 0; x < 80; ++x) {
        const int r2 = (x - 26) * (x - 26) + (y - 27) * (y - 27);
        picture.setPixel(x, y, qRgb(200, x * 3, y * 3));
        mask.setPixel(x, y, r2 >= 400 && r2 <= 700 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
      }
  }
};

struct Frame {
  int zoom;
  Point scroll;  // zoomed map pixel at the view's top-left
  Point cross;   // zoomed map pixel
  bool linkOutlines;
};

class NamedFrameTest : public ::testing::Test {
 protected:
  // What goes under the names: link outlines across the whole view when shown, then cross and glass.
  void DrawUnderNames(QImage& view, const Frame& f) {
    if (f.linkOutlines) {
      QPainter p(&view);
      p.setPen(QColor(255, 255, 0));
      p.drawRect(QRect(-f.scroll.x % 97, -f.scroll.y % 89, 450, 300));
    }
    DrawLocationCross(view, int64_t{f.cross.x} - f.scroll.x, int64_t{f.cross.y} - f.scroll.y, glass.picture,
                      glass.mask);
  }
  int32_t ShownWidth(int zoom) const { return std::min(kViewW, ScaledLength(picture.width(), zoom)); }
  int32_t ShownHeight(int zoom) const { return std::min(kViewH, ScaledLength(picture.height(), zoom)); }

  QImage Plain(const Frame& f) {
    QImage view(kViewW, kViewH, QImage::Format_RGB32);
    ComposeZoomedView(view, picture, f.scroll, f.zoom, ShownWidth(f.zoom), ShownHeight(f.zoom));
    DrawUnderNames(view, f);
    plain.Draw(view, lists, corners, f.zoom, f.scroll.x, f.scroll.y);
    return view;
  }
  // Into a view that still holds the last frame, so that a pixel left unwritten shows.
  QImage Kept(const Frame& f) {
    const QRect under =
        f.linkOutlines ? view.rect()
                       : LocationCrossArea(int64_t{f.cross.x} - f.scroll.x, int64_t{f.cross.y} - f.scroll.y,
                                           glass.picture.size(), view.size());
    const QRegion owed = kept.Compose(view, picture, lists, corners, f.zoom, f.scroll.x, f.scroll.y,
                                      ShownWidth(f.zoom), ShownHeight(f.zoom), under);
    DrawUnderNames(view, f);
    kept.Draw(view, lists, corners, f.zoom, f.scroll.x, f.scroll.y, owed);
    kept.FrameShown(view);
    return view;
  }
  void ExpectSame(const Frame& f) {
    SCOPED_TRACE(testing::Message() << "zoom " << f.zoom << " at " << f.scroll.x << "," << f.scroll.y
                                    << " cross " << f.cross.x << "," << f.cross.y << " links "
                                    << f.linkOutlines);
    const QImage expected = Plain(f), got = Kept(f);
    ASSERT_EQ(got.size(), expected.size());
    for (int y = 0; y < kViewH; ++y)
      for (int x = 0; x < kViewW; ++x)
        ASSERT_EQ(got.pixel(x, y), expected.pixel(x, y)) << "view position " << x << "," << y;
  }
  void ListsChanged() {
    plain.ListsChanged();
    kept.ListsChanged();
  }
  void SetOptions(const NameLabelOptions& options) {
    plain.SetOptions(options);
    kept.SetOptions(options);
  }

  QImage picture = Picture();
  MapCorners corners = PictureCorners();
  BookmarkLists lists = Bookmarks();
  Glass glass;
  BookmarkNames plain, kept;
  QImage view{kViewW, kViewH, QImage::Format_RGB32};
};

TEST_F(NamedFrameTest, KeptTilesGiveThePlainFrameAtEveryZoomPositionAndChange) {
  view.fill(qRgb(255, 0, 255));
  // Between the zooms, in turn: a name added and one hidden; the halo off; a frame inverted into the
  // picture in place; the corners moved; the halo back on.
  const std::function<void()> changes[] = {
      [&] {
        lists.CurrentMapBookmarks.push_back(JoinFields({"V", "2500", "2000", "Added late"}));
        lists.CurrentMapBookmarkFonts.push_back(JoinFields({"Arial", "14", "255", "b"}));
        lists.GlobalBookmarks[4] = SetField(2, lists.GlobalBookmarks[4], FieldSeparator, "N");
        ListsChanged();
      },
      [&] { SetOptions({.halo = false, .marker = true}); },
      [&] { picture.invertPixels(); },
      [&] { corners = PictureCorners(9); },
      [&] { SetOptions({.halo = true, .marker = true}); },
  };
  int change = 2;  // each change comes once after a zoom whose frames are mostly kept tiles
  for (int zoom : {10, 25, 33, 50, 100, 150, 200, 400}) {
    const int zw = ScaledLength(kPictureW, zoom), zh = ScaledLength(kPictureH, zoom);
    const Point scrolls[] = {{0, 0},
                             {-37, -21},
                             {zw / 2 - 301, zh / 2 - 199},
                             {zw - kViewW + 1, zh - kViewH + 1},
                             {zw - 50, zh - 30}};
    Frame f{zoom, {}, {}, false};
    for (const Point& scroll : scrolls) {
      f.scroll = scroll;
      const Point crosses[] = {{scroll.x + 300, scroll.y + 200},
                               {scroll.x - 2, scroll.y + kViewH - 1},
                               {scroll.x + kViewW + 30, scroll.y + 150},
                               {scroll.x + 5000, scroll.y - 5000}};
      for (const Point& cross : crosses) {
        f.cross = cross;
        f.linkOutlines = false;
        ExpectSame(f);
      }
      f.linkOutlines = true;
      ExpectSame(f);
    }
    // A frame again after a change: nothing kept from before it may show.
    changes[change++ % std::size(changes)]();
    f = {zoom, scrolls[2], {scrolls[2].x + 300, scrolls[2].y + 200}, false};
    ExpectSame(f);
  }
}

// Frames while the view scrolls start from the last frame: walks of small and large steps in every
// direction, with the cross moving and the view's edge at the picture's edge, give the plain frames,
// also across changes between two frames and a write into the view between two frames.
TEST_F(NamedFrameTest, ScrolledFramesKeptFromTheLastFrameAreThePlainOnes) {
  view.fill(qRgb(255, 0, 255));
  const Point steps[] = {{3, 0},      {0, 5},          {-7, -2},           {1, -1},
                         {-250, 130}, {kViewW - 1, 0}, {0, -(kViewH - 1)}, {0, 0},
                         {40, 40},    {-3, 11}};
  const std::function<void()> between[] = {
      [] {},
      [&] {
        lists.CurrentMapBookmarks[2] = SetField(1, lists.CurrentMapBookmarks[2], FieldSeparator, "N");
        ListsChanged();
      },
      [&] { picture.invertPixels(); },
      [&] { SetOptions({.halo = false, .marker = true}); },
      // Something else drawn into the view after the frame was shown.
      [&] { DrawLocationCross(view, 100, 100, glass.picture, glass.mask); },
      [&] { SetOptions({.halo = true, .marker = true}); },
  };
  int change = 0;
  for (int zoom : {10, 33, 50, 100, 150, 200}) {
    const int zw = ScaledLength(kPictureW, zoom), zh = ScaledLength(kPictureH, zoom);
    Frame f{zoom, {std::max(0, zw / 2 - kViewW / 2), std::max(0, zh / 2 - kViewH / 2)}, {}, false};
    for (int k = 0; k < 24; ++k) {
      const Point step = steps[k % std::size(steps)];
      // Within the picture, and at times right at its edge.
      f.scroll = {std::clamp(f.scroll.x + step.x, 0, std::max(0, zw - kViewW)),
                  std::clamp(f.scroll.y + step.y, 0, std::max(0, zh - kViewH))};
      f.cross = {f.scroll.x + 40 + k * 23 % kViewW, f.scroll.y + 300 - k * 7};
      f.linkOutlines = k % 11 == 10;
      if (k % 8 == 7) between[change++ % std::size(between)]();
      ExpectSame(f);
    }
  }
}

// Scroll positions near the ends of 32-bit zoomed map pixels give the plain frame too.
TEST_F(NamedFrameTest, FramesAtTheEndsOfZoomedMapPixelsAreThePlainOnes) {
  for (const Point scroll : {Point{2147483000, 100}, Point{-2147483000, -2147483000}}) {
    const Frame f{100, scroll, {scroll.x + 10, scroll.y + 10}, false};
    ExpectSame(f);
  }
}

}  // namespace
}  // namespace orv
