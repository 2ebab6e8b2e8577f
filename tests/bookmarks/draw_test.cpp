// Bookmark names in the view: which are drawn, where, in which font and size, and in which order;
// halo and marker in the view's pixels, names kept in tiles across scrolling and zoom, changes taken
// only when told, and finding the name under a pixel.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/namehalo.h"
#include "storage/fields.h"

namespace orv {
namespace {

std::string R(std::initializer_list<std::string> fields) {
  std::string out;
  for (const auto& f : fields) out += (out.empty() ? "" : std::string(1, FieldSeparator)) + f;
  return out;
}

// World points and zoomed map pixels coincide at 100 percent.
MapCorners OneToOne() {
  MapCorners c;
  c.upperLeft = {0, 0};
  c.upperRight = {WorldWidth, 0};
  c.lowerLeft = {0, WorldHeight};
  c.lowerRight = {WorldWidth, WorldHeight};
  return c;
}

QImage White(int w = 400, int h = 300) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

// The smallest rectangle holding every pixel that is not white.
QRect Inked(const QImage& image) {
  QRect box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
  return box;
}

int CountExactly(const QImage& image, QRgb color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color;
  return n;
}

TEST(BookmarkFont, SizeReductionStyleAndColour) {
  struct Case {
    std::string record;
    int zoom;
    int points;
    bool bold, italic, underline, strikeout;
    QColor color;
  };
  const Case cases[] = {
      {R({"Arial", "12", "0", "b"}), 50, 7, true, false, false, false, Qt::black},
      {R({"Arial", "10", "0", "b"}), 25, 5, true, false, false, false, Qt::black},  // not 2: the floor
      {R({"Arial", "3", "255", "bi"}), 100, 5, true, true, false, false, QColor(255, 0, 0)},
      {R({"Arial", "20", "65280", "su"}), 95, 19, false, false, true, true, QColor(0, 255, 0)},
      {R({"Arial", "20", "16711680", "B"}), 400, 20, false, false, false, false, QColor(0, 0, 255)},
      {R({"Arial", "14", "0"}), 9, 5, false, false, false, false, Qt::black},
      {"", 100, 10, true, false, false, false, Qt::black},  // an empty record: Arial 10 bold black
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record + " at " + std::to_string(c.zoom));
    const auto font = DrawFontOf(c.record, SizeReduction(c.zoom));
    ASSERT_TRUE(font);
    EXPECT_EQ(font->points, c.points);
    EXPECT_EQ(font->font.pixelSize(), (c.points * 96 + 36) / 72);
    EXPECT_EQ(font->font.bold(), c.bold);
    EXPECT_EQ(font->font.italic(), c.italic);
    EXPECT_EQ(font->font.underline(), c.underline);
    EXPECT_EQ(font->font.strikeOut(), c.strikeout);
    EXPECT_EQ(font->color, c.color);
  }
  EXPECT_EQ(DrawFontOf("", 0)->font.family(), "Arial");
  EXPECT_FALSE(DrawFontOf(R({"Arial", "ten", "0", "b"}), 0));
  EXPECT_FALSE(DrawFontOf(R({"Arial", "10", "red", "b"}), 0));
}

// The names alone, without halo and marker, so that they compare with plain text.
class DrawTest : public ::testing::Test {
 protected:
  void SetUp() override { names.SetOptions({.halo = false, .marker = false}); }
  // The lists changed, as the window that owns the names tells them.
  void Draw(int zoom, int scrollX, int scrollY) {
    names.ListsChanged();
    names.Draw(view, lists, OneToOne(), zoom, scrollX, scrollY);
  }
  BookmarkLists lists;
  QImage view = White();
  BookmarkNames names;
};

TEST_F(DrawTest, NameTextBoxStartsAtTheBookmark) {
  const std::string font = R({"DejaVu Sans", "12", "0", "b"});
  lists.CurrentMapBookmarks = {R({"V", "1100", "2050", "Harbour"})};
  lists.CurrentMapBookmarkFonts = {font};
  Draw(100, 1000, 2000);

  // The same name drawn directly with its top-left corner at the bookmark's place in the view.
  QImage expected = White();
  {
    QPainter p(&expected);
    p.setFont(DrawFontOf(font, 0)->font);
    p.setPen(Qt::black);
    p.drawText(QRect(100, 50, 300, 100), Qt::AlignLeft | Qt::AlignTop, "Harbour");
  }
  ASSERT_FALSE(Inked(expected).isEmpty());
  EXPECT_EQ(Inked(view), Inked(expected));
  EXPECT_EQ(view, expected);
}

TEST_F(DrawTest, OnlyExactlyVisibleIntegerRecordsAreDrawn) {
  lists.GlobalBookmarks = {
      R({"id0000000a", "V", "50", "20", "Shown"}), R({"id0000000b", "N", "50", "120", "Hidden"}),
      R({"id0000000c", "v", "50", "170", "Lower"}), R({"id0000000d", "V", "5O", "220", "Letter"})};
  lists.GlobalBookmarkFonts = {"", "", "", ""};
  lists.CurrentMapBookmarks = {R({"V", "250", "20", "Plain", "notes"}), R({"V", "250", "120", "Bad font"})};
  lists.CurrentMapBookmarkFonts = {R({"Arial", "12", "0", "b"}), R({"Arial", "x", "0", "b"})};
  Draw(100, 0, 0);
  auto inkedIn = [&](int x, int y) { return !Inked(view.copy(x, y, 150, 45)).isEmpty(); };
  EXPECT_TRUE(inkedIn(50, 20));
  EXPECT_FALSE(inkedIn(50, 120));
  EXPECT_FALSE(inkedIn(50, 170));
  EXPECT_FALSE(inkedIn(50, 220));
  EXPECT_TRUE(inkedIn(250, 20));
  EXPECT_FALSE(inkedIn(250, 120));
  // The notes are not drawn: nothing below the name.
  EXPECT_FALSE(inkedIn(250, 60));
}

TEST_F(DrawTest, CurrentMapNamesArePaintedOverGlobalOnes) {
  const std::string name = "MMMM";
  lists.GlobalBookmarks = {R({"id0000000a", "V", "100", "100", name})};
  lists.GlobalBookmarkFonts = {R({"DejaVu Sans", "20", "255", "b"})};  // red
  lists.CurrentMapBookmarks = {R({"V", "100", "100", name})};
  lists.CurrentMapBookmarkFonts = {R({"DejaVu Sans", "20", "16711680", "b"})};  // blue
  Draw(100, 0, 0);
  EXPECT_GT(CountExactly(view, qRgb(0, 0, 255)), 20);
  EXPECT_EQ(CountExactly(view, qRgb(255, 0, 0)), 0);
}

TEST_F(DrawTest, SmallerZoomsDrawSmallerNamesAtTheZoomedPlace) {
  lists.CurrentMapBookmarks = {R({"V", "200", "200", "Tower"})};
  lists.CurrentMapBookmarkFonts = {R({"DejaVu Sans", "12", "0", ""})};
  Draw(100, 0, 0);
  const QRect at100 = Inked(view);
  view = White();
  Draw(50, 0, 0);
  const QRect at50 = Inked(view);
  view = White();
  Draw(25, 0, 0);
  const QRect at25 = Inked(view);
  ASSERT_FALSE(at100.isEmpty());
  ASSERT_FALSE(at25.isEmpty());
  // 12 points at 100, 7 at 50, 5 at 25 (12 - 8 = 4 is below the floor): widths follow the sizes.
  EXPECT_NEAR(at50.width(), at100.width() * 7.0 / 12.0, 4);
  EXPECT_NEAR(at25.width(), at100.width() * 5.0 / 12.0, 4);
  EXPECT_NEAR(at50.left(), 100, 2);
  EXPECT_NEAR(at25.left(), 50, 2);
}

TEST_F(DrawTest, FollowsChangedRecordsAndNamesReachingInFromOutside) {
  lists.CurrentMapBookmarks = {R({"V", "100", "100", "Mill"})};
  lists.CurrentMapBookmarkFonts = {""};
  Draw(100, 0, 0);
  EXPECT_NEAR(Inked(view).left(), 100, 2);

  // Moved, renamed and re-fonted records are drawn as they now are.
  lists.CurrentMapBookmarks[0] = R({"V", "300", "200", "Mill"});
  view = White();
  Draw(100, 0, 0);
  EXPECT_NEAR(Inked(view).left(), 300, 2);
  lists.CurrentMapBookmarkFonts[0] = R({"Arial", "10", "255", "b"});
  view = White();
  Draw(100, 0, 0);
  EXPECT_GT(CountExactly(view, qRgb(255, 0, 0)), 5);

  // A long name starting left of and above the view still shows its part inside.
  lists.CurrentMapBookmarks[0] = R({"V", "90", "95", "A long name that reaches into the view"});
  view = White();
  Draw(100, 100, 100);
  QImage expected = White();
  {
    QPainter p(&expected);
    const auto font = DrawFontOf(lists.CurrentMapBookmarkFonts[0], 0);
    p.setFont(font->font);
    p.setPen(font->color);
    p.drawText(QRect(-10, -5, 600, 100), Qt::AlignLeft | Qt::AlignTop,
               "A long name that reaches into the view");
  }
  EXPECT_FALSE(Inked(view).isEmpty());
  EXPECT_EQ(view, expected);

  // Far away and removed bookmarks leave the view alone.
  lists.CurrentMapBookmarks[0] = R({"V", "3000", "3000", "Far"});
  view = White();
  Draw(100, 0, 0);
  EXPECT_TRUE(Inked(view).isEmpty());
  lists = BookmarkLists{};
  Draw(100, 0, 0);
  EXPECT_TRUE(Inked(view).isEmpty());
}

// ---- the layer as frames see it: halo and marker, tiles kept across frames, told changes ----

QImage Filled(QRgb color) {
  QImage image(400, 300, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

std::string MapRecord(int x, int y, const std::string& name, const std::string& notes = {}) {
  return JoinFields({"V", std::to_string(x), std::to_string(y), name, notes});
}

TEST(BookmarkNamesLayer, HaloContrastsWithTheLettersAndTheMarkerSitsOnThePoint) {
  struct Case {
    const char* what;
    QRgb background, letters;
    int colorValue;  // of the font record: red in the lowest byte
    bool halo;
    QRgb haloColor;
  };
  const Case cases[] = {
      {"black on a dark sea", qRgb(10, 20, 60), qRgb(0, 0, 0), 0, true, qRgb(255, 255, 255)},
      {"yellow on a light field", qRgb(240, 240, 220), qRgb(255, 255, 0), 0x00FFFF, true, qRgb(0, 0, 0)},
      {"black with the halo off", qRgb(10, 20, 60), qRgb(0, 0, 0), 0, false, qRgb(255, 255, 255)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BookmarkLists lists;
    lists.CurrentMapBookmarks = {MapRecord(100, 80, "Harbour")};
    lists.CurrentMapBookmarkFonts = {JoinFields({"DejaVu Sans", "14", std::to_string(c.colorValue), "b"})};
    BookmarkNames names;
    names.SetOptions({.halo = c.halo, .marker = true});
    QImage view = Filled(c.background);
    names.Draw(view, lists, OneToOne(), 100, 50, 40);

    // The marker: the point itself in the letters' colour, ringed by the contrasting colour.
    const QPoint point(50, 40);
    EXPECT_EQ(view.pixel(point), c.letters);
    EXPECT_EQ(view.pixel(point + QPoint(-PointMarkerRadius, 0)), c.haloColor);
    EXPECT_EQ(view.pixel(point + QPoint(0, -PointMarkerRadius)), c.haloColor);
    // Beside the letters the halo shows only when on: count halo pixels away from the marker.
    const QImage text = view.copy(point.x() + PointMarkerRadius + 1, point.y() - 2, 150, 30);
    EXPECT_GT(CountExactly(text, c.letters), 20);
    if (c.halo)
      EXPECT_GT(CountExactly(text, c.haloColor), 20);
    else
      EXPECT_EQ(CountExactly(text, c.haloColor), 0);
  }
}

TEST(BookmarkNamesLayer, FramesFollowScrollingZoomAndToldChangesOnly) {
  BookmarkLists lists;
  for (int i = 0; i < 60; ++i) {
    lists.GlobalBookmarks.push_back(
        JoinFields({"id" + std::to_string(1000000 + i), "V", std::to_string(37 * i % 900),
                    std::to_string(53 * i % 700), "Name " + std::to_string(i)}));
    lists.GlobalBookmarkFonts.push_back(JoinFields({"DejaVu Sans", std::to_string(8 + i % 9), "255", "b"}));
  }
  BookmarkNames kept;
  const auto fresh = [&](int zoom, int x, int y) {
    BookmarkNames names;
    QImage view = Filled(qRgb(90, 120, 90));
    names.Draw(view, lists, OneToOne(), zoom, x, y);
    return view;
  };
  // The same frame from a layer that drew others before and from a new one, tile edges included.
  for (const auto& [zoom, x, y] : {std::tuple{100, 0, 0},
                                   {100, 130, 250},
                                   {100, 255, 511},
                                   {50, 10, 10},
                                   {200, 700, 300},
                                   {100, 130, 250}}) {
    SCOPED_TRACE(std::to_string(zoom) + " " + std::to_string(x) + " " + std::to_string(y));
    QImage view = Filled(qRgb(90, 120, 90));
    kept.Draw(view, lists, OneToOne(), zoom, x, y);
    EXPECT_EQ(view, fresh(zoom, x, y));
  }
  // A change shows once told, not before; a change of notes alone draws the same.
  lists.GlobalBookmarks[3] = SetField(2, lists.GlobalBookmarks[3], FieldSeparator, "N");
  QImage view = Filled(qRgb(90, 120, 90));
  kept.Draw(view, lists, OneToOne(), 100, 0, 0);
  EXPECT_NE(view, fresh(100, 0, 0));
  kept.ListsChanged();
  view = Filled(qRgb(90, 120, 90));
  kept.Draw(view, lists, OneToOne(), 100, 0, 0);
  EXPECT_EQ(view, fresh(100, 0, 0));
  lists.GlobalBookmarks[5] = SetField(6, lists.GlobalBookmarks[5], FieldSeparator, "new notes");
  kept.ListsChanged();
  view = Filled(qRgb(90, 120, 90));
  kept.Draw(view, lists, OneToOne(), 100, 0, 0);
  EXPECT_EQ(view, fresh(100, 0, 0));

  // Each told change, one after the other, draws and finds what a new layer does.
  const auto setFont = [&](int i, const std::string& font) { lists.GlobalBookmarkFonts[i] = font; };
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"another colour",
       [&] {
         setFont(0, JoinFields({"DejaVu Sans", "8", "65280", "b"}));
       }},
      {"another size",
       [&] {
         setFont(1, JoinFields({"DejaVu Sans", "20", "255", "b"}));
       }},
      {"a font that does not read",
       [&] {
         setFont(2, JoinFields({"DejaVu Sans", "big", "255", "b"}));
       }},
      {"a font read before", [&] { setFont(2, lists.GlobalBookmarkFonts[3]); }},
      {"a new name",
       [&] { lists.GlobalBookmarks[0] = SetField(5, lists.GlobalBookmarks[0], FieldSeparator, "Q"); }},
      {"a hidden bookmark before all others",
       [&] {
         lists.GlobalBookmarks.insert(lists.GlobalBookmarks.begin(),
                                      JoinFields({"id0", "N", "5", "5", "Hid"}));
         lists.GlobalBookmarkFonts.insert(lists.GlobalBookmarkFonts.begin(), "");
       }},
      {"many fonts come and go",
       [&] {
         for (int k = 0; k < 300; ++k) {
           setFont(10, JoinFields({"DejaVu Sans", "9", std::to_string(k), "b"}));
           kept.ListsChanged();
           kept.NameAt(lists, OneToOne(), 100, {0, 0});
         }
       }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    change();
    kept.ListsChanged();
    view = Filled(qRgb(90, 120, 90));
    kept.Draw(view, lists, OneToOne(), 100, 0, 0);
    EXPECT_EQ(view, fresh(100, 0, 0));
    BookmarkNames names;
    for (int k = 0; k < 60; ++k) {
      const Point at{37 * k % 900 + 3, 53 * k % 700 + 3};
      EXPECT_EQ(kept.NameAt(lists, OneToOne(), 100, at), names.NameAt(lists, OneToOne(), 100, at)) << k;
    }
  }
}

TEST(DrawnNamesTest, TakeTellsWhetherWhatIsDrawnChanged) {
  BookmarkLists lists;
  lists.GlobalBookmarks = {R({"id1", "V", "10", "20", "Ford", "notes"}), R({"id2", "V", "30", "40", "Mill"})};
  lists.GlobalBookmarkFonts = {R({"Arial", "10", "0", "b"}), R({"Arial", "10", "255", "b"})};
  lists.CurrentMapBookmarks = {R({"V", "50", "60", "Gate"})};
  lists.CurrentMapBookmarkFonts = {""};
  DrawnNames drawn;
  EXPECT_TRUE(drawn.Take(lists));
  const std::pair<const char*, std::function<void()>> unchanged[] = {
      {"nothing", [] {}},
      {"notes",
       [&] {
         lists.GlobalBookmarks[0] = R({"id1", "V", "10", "20", "Ford", "other notes"});
       }},
      {"a font record that draws alike",
       [&] {
         lists.GlobalBookmarkFonts[1] = R({"Arial", "10", "0255", "b"});
       }},
      {"a hidden bookmark added first",
       [&] {
         lists.GlobalBookmarks.insert(lists.GlobalBookmarks.begin(), R({"id0", "N", "1", "2", "Hidden"}));
         lists.GlobalBookmarkFonts.insert(lists.GlobalBookmarkFonts.begin(), "");
       }},
  };
  for (const auto& [what, change] : unchanged) {
    change();
    EXPECT_FALSE(drawn.Take(lists)) << what;
  }
  // The places follow the records even when nothing drawn changed.
  ASSERT_EQ(drawn.Entries().size(), 3u);
  EXPECT_EQ(drawn.Entries()[0].place, (BookmarkPlace{true, 1}));
  EXPECT_EQ(drawn.Entries()[2].place, (BookmarkPlace{false, 0}));
  EXPECT_EQ(drawn.NameOf(drawn.Entries()[1]), "Mill");

  const std::pair<const char*, std::function<void()>> changed[] = {
      {"a name",
       [&] {
         lists.CurrentMapBookmarks[0] = R({"V", "50", "60", "Gates"});
       }},
      {"a point",
       [&] {
         lists.CurrentMapBookmarks[0] = R({"V", "51", "60", "Gates"});
       }},
      {"a colour",
       [&] {
         lists.GlobalBookmarkFonts[2] = R({"Arial", "10", "254", "b"});
       }},
      {"a style",
       [&] {
         lists.GlobalBookmarkFonts[2] = R({"Arial", "10", "254", "bi"});
       }},
      {"a font that does not read",
       [&] {
         lists.GlobalBookmarkFonts[2] = R({"Arial", "ten", "254", "bi"});
       }},
      {"a bookmark hidden",
       [&] {
         lists.GlobalBookmarks[1] = R({"id1", "N", "10", "20", "Ford"});
       }},
  };
  for (const auto& [what, change] : changed) {
    change();
    EXPECT_TRUE(drawn.Take(lists)) << what;
    EXPECT_FALSE(drawn.Take(lists)) << what << ", taken twice";
  }
  EXPECT_EQ(drawn.Entries().size(), 1u);
}

TEST(BookmarkNamesLayer, NameAtFindsTheNameDrawnLastUnderAPixel) {
  BookmarkLists lists;
  lists.GlobalBookmarks = {JoinFields({"id00000001", "V", "100", "100", "Global name"})};
  lists.GlobalBookmarkFonts = {""};
  lists.CurrentMapBookmarks = {MapRecord(100, 100, "Map name"), MapRecord(300, 200, "Far"),
                               JoinFields({"N", "300", "100", "Hidden"})};
  lists.CurrentMapBookmarkFonts = {"", "", ""};
  BookmarkNames names;
  const auto at = [&](int x, int y) { return names.NameAt(lists, OneToOne(), 100, {x, y}); };
  EXPECT_EQ(at(105, 105), (BookmarkPlace{false, 0}));  // the current map's is drawn over the global one
  EXPECT_EQ(at(310, 205), (BookmarkPlace{false, 1}));
  EXPECT_EQ(at(100, 100), (BookmarkPlace{false, 0}));  // the marker belongs to the name
  EXPECT_FALSE(at(305, 105));                          // a hidden bookmark has no name on the map
  EXPECT_FALSE(at(100, 150));
  EXPECT_FALSE(at(20, 20));
}

}  // namespace
}  // namespace orv
