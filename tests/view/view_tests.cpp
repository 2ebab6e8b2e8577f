// The map view: composition at several zooms, scrolling, the layout, the zoom dialog, the cross and
// the glass.
#include <QApplication>
#include <QTimer>

#include "core/transform.h"
#include "mainwindow_fixture.h"
#include "view/mainwindow_ui.h"
#include "view/render.h"
#include "view/zoomdialog.h"

namespace orv::testing {
namespace {

class ViewTest : public MainWindowTest {
 protected:
  // A loaded map whose picture is replaced by the pattern, so that every view pixel tells its origin.
  TForm1& OpenWithPicture(int width, int height) {
    const std::string dem = MakeMap("View", width, height, QImage(width, height, QImage::Format_RGB32));
    TForm1& w = Open();
    EXPECT_EQ(LoadOutcome::Loaded, w.LoadMap(dem));
    w.MapImage() = PatternPicture(width, height);
    w.Viewport().SetCross({1000000, 1000000});  // the glass out of sight
    return w;
  }
  QRgb ViewPixel(int x, int y) { return form->ViewBuffer().pixel(x, y); }
  // The client area of the window, below the menu bar.
  void ResizeClient(int width, int height) {
    form->resize(width, height + form->menuBar()->height());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->centralWidget()->size() == QSize(width, height); }))
        << form->centralWidget()->width() << "x" << form->centralWidget()->height();
  }
};

constexpr QRgb kGrey = 0xFF808080u;

TEST_F(ViewTest, DesignedClientSizeGivesTheDesignedLayout) {
  TForm1& w = Open();
  ASSERT_EQ(QSize(601, 349), w.centralWidget()->size());
  EXPECT_EQ(QRect(6, 19, 571, 169), Control<QFrame>(w, "Panel2")->geometry());
  EXPECT_EQ(QSize(569, 167), Control<TPaintBox>(w, "PaintBox1")->size());
  EXPECT_EQ(QRect(7, 189, 569, 16), Control<TPropScrollbar>(w, "xscroll")->geometry());
  EXPECT_EQ(QRect(578, 20, 16, 167), Control<TPropScrollbar>(w, "yscroll")->geometry());
  EXPECT_EQ(QRect(6, 209, 588, 20), Control<QFrame>(w, "StatusBar")->geometry());
  EXPECT_EQ(458, Control<QLabel>(w, "StatusPanel0")->width());
  EXPECT_EQ(QRect(415, 212, 48, 16), Control<QPushButton>(w, "goback")->geometry());
  EXPECT_EQ(QRect(0, 240, 601, 109), Control<QFrame>(w, "Panel1")->geometry());

  ResizeClient(20, 100);  // smaller than the margins: empty, never negative
  EXPECT_EQ(QSize(0, 0), Control<QFrame>(w, "Panel2")->size());
  EXPECT_EQ(QSize(0, 0), Control<TPaintBox>(w, "PaintBox1")->size());
  EXPECT_EQ(0, Control<TPropScrollbar>(w, "xscroll")->width());
  EXPECT_EQ(0, Control<TPropScrollbar>(w, "yscroll")->height());
  EXPECT_EQ(0, Control<QLabel>(w, "StatusPanel0")->width());

  w.close();  // closing freezes the layout
  w.centralWidget()->resize(800, 500);
  w.FormResize();
  EXPECT_EQ(QSize(0, 0), Control<QFrame>(w, "Panel2")->size());
  EXPECT_EQ(0, Control<QLabel>(w, "StatusPanel0")->width());
}

TEST_F(ViewTest, ScrollRangesAndClampingFollowPictureZoomAndArea) {
  TForm1& w = OpenWithPicture(1000, 400);
  ASSERT_EQ(569, w.MapAreaWidth());
  w.UpdateScrollRanges();
  EXPECT_EQ(166, Control<TPropScrollbar>(w, "xscroll")->PageSize());
  EXPECT_EQ(597, Control<TPropScrollbar>(w, "xscroll")->Max());
  EXPECT_EQ(431, Control<TPropScrollbar>(w, "xscroll")->maximum());  // the last position the thumb reaches
  EXPECT_EQ(431, w.xscrollScroll(ScrollCode::Track, 500));
  EXPECT_EQ(0, w.xscrollScroll(ScrollCode::Track, -3));
  w.ScrollViewTo(5000, 5000);
  EXPECT_EQ(431, w.ScrollX());
  EXPECT_EQ(400 - 167, w.ScrollY());

  // Arrow and track clicks on the real bar: 9 and 300, whatever the page size.
  w.ScrollViewTo(0, 0);
  Control<TPropScrollbar>(w, "xscroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(9, w.ScrollX());
  EXPECT_EQ(9, PixelOrigin(ViewPixel(0, 0)).x());
  Control<TPropScrollbar>(w, "xscroll")->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(309, w.ScrollX());
  Control<TPropScrollbar>(w, "xscroll")->triggerAction(QAbstractSlider::SliderPageStepAdd);
  EXPECT_EQ(431, w.ScrollX());
  EXPECT_EQ(431, PixelOrigin(ViewPixel(0, 0)).x());
  EXPECT_EQ(Qt::NoFocus, Control<TPropScrollbar>(w, "xscroll")->focusPolicy());

  w.ApplyZoom("50");  // scaled width 500 < 569: one position only
  EXPECT_EQ(0, Control<TPropScrollbar>(w, "xscroll")->Max());
  Control<TPropScrollbar>(w, "xscroll")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(0, w.ScrollX());
}

TEST_F(ViewTest, MouseClicksOnTheBarMoveTheViewByArrowAndTrackSteps) {
  TForm1& w = OpenWithPicture(3000, 400);
  TPropScrollbar* bar = Control<TPropScrollbar>(w, "xscroll");
  const int middle = bar->height() / 2;
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 4, middle));  // the right arrow
  EXPECT_EQ(9, w.ScrollX());
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 40, middle));  // the track
  EXPECT_EQ(309, w.ScrollX());
  EXPECT_EQ(309, PixelOrigin(ViewPixel(0, 0)).x());
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(4, middle));  // the left arrow
  EXPECT_EQ(300, w.ScrollX());
  EXPECT_EQ(nullptr, QApplication::focusWidget() == bar ? bar : nullptr);
}

TEST_F(ViewTest, ViewShowsThePictureAtEachZoomWithGreyBeyondIt) {
  TForm1& w = OpenWithPicture(2000, 1500);
  ResizeClient(600, 348);  // an even map area (568 x 166) so that zoom 200 gives whole 2 x 2 blocks
  ASSERT_EQ(QSize(568, 166), QSize(w.MapAreaWidth(), w.MapAreaHeight()));
  const int W = w.MapAreaWidth(), H = w.MapAreaHeight();

  w.RenderView(300, 200);  // zoom 100: one to one
  for (QPoint p : {QPoint(0, 0), QPoint(W - 1, H - 1), QPoint(17, 93)})
    EXPECT_EQ(p + QPoint(300, 200), PixelOrigin(ViewPixel(p.x(), p.y())));

  w.Viewport().SetZoom(200);
  w.RenderView(100, 50);  // from picture pixel (50, 25) on, each as a 2 x 2 block
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(QPoint(50 + x / 2, 25 + y / 2), PixelOrigin(ViewPixel(x, y))) << x << "," << y;

  w.Viewport().SetZoom(50);
  w.RenderView(10, 20);  // every second pixel of a rectangle twice the area's size
  for (QPoint p : {QPoint(0, 0), QPoint(W - 1, H - 1), QPoint(33, 12)})
    EXPECT_EQ(QPoint(20 + 2 * p.x(), 40 + 2 * p.y()), PixelOrigin(ViewPixel(p.x(), p.y())));

  w.MapImage() = PatternPicture(400, 300);  // 200 x 150 at zoom 50: the rest stays grey
  w.RenderView(0, 0);
  EXPECT_EQ(QPoint(398, 298), PixelOrigin(ViewPixel(199, 149)));
  EXPECT_EQ(kGrey, ViewPixel(200, 10));
  EXPECT_EQ(kGrey, ViewPixel(10, 150));
  EXPECT_EQ(kGrey, ViewPixel(W - 1, H - 1));
}

TEST_F(ViewTest, ComposeViewMatchesTheMappingAtAnyZoom) {
  const QImage picture = PatternPicture(700, 500);
  QImage view(123, 77, QImage::Format_RGB32);
  for (int zoom : {1, 37, 50, 99, 100, 101, 150, 200, 333, 1000}) {
    SCOPED_TRACE(zoom);
    const int dw = std::min(view.width(), ScaledLength(picture.width(), zoom));
    const int dh = std::min(view.height(), ScaledLength(picture.height(), zoom));
    const SourceRect src = ViewSource(zoom * 3, zoom, dw, dh, zoom);
    ComposeView(view, picture, src, dw, dh);
    for (int y = 0; y < view.height(); ++y)
      for (int x = 0; x < view.width(); ++x) {
        const long sx = src.left + long(x) * src.width / std::max(dw, 1);
        const long sy = src.top + long(y) * src.height / std::max(dh, 1);
        const bool inside = x < dw && y < dh && sx < picture.width() && sy < picture.height();
        ASSERT_EQ(inside ? picture.pixel(sx, sy) : kGrey, view.pixel(x, y)) << x << "," << y;
      }
  }
}

TEST(ZoomedView, EveryViewPixelShowsThePicturePixelUnderItsZoomedMapPixel) {
  const QImage picture = PatternPicture(300, 200);
  QImage view(97, 61, QImage::Format_RGB32);
  for (int zoom : {10, 33, 67, 100, 150, 200, 300, 333, 400, 800}) {
    for (QPoint origin : {QPoint(0, 0), QPoint(1, 3), QPoint(7, 5), QPoint(-13, -7), QPoint(-1, 2),
                          QPoint(123, 77), QPoint(2390, 1595)}) {
      SCOPED_TRACE(QString("zoom %1 origin %2,%3").arg(zoom).arg(origin.x()).arg(origin.y()).toStdString());
      ComposeZoomedView(view, picture, {origin.x(), origin.y()}, zoom, view.width(), view.height() - 4);
      for (int y = 0; y < view.height(); ++y)
        for (int x = 0; x < view.width(); ++x) {
          // Floor division: a view left of or above the picture shows grey there.
          const auto floorDiv = [](long a, long b) { return a / b - (a % b < 0); };
          const long sx = floorDiv((origin.x() + x) * 100L, zoom),
                     sy = floorDiv((origin.y() + y) * 100L, zoom);
          const bool inside =
              y < view.height() - 4 && sx >= 0 && sy >= 0 && sx < picture.width() && sy < picture.height();
          ASSERT_EQ(inside ? picture.pixel(sx, sy) : kGrey, view.pixel(x, y)) << x << "," << y;
        }
    }
  }
}

TEST_F(ViewTest, ZoomKeepsTheCrossOnItsWorldPointAndCentresOnIt) {
  const std::string dem = MakeMap("Zoom", 1200, 900);
  WriteText(dem, Dimensions(-100, -50, 1900, -50, -100, 1550, 1900, 1550));
  TForm1& w = Open();
  Control<QLineEdit>(w, "Edit1")->setText("1000");
  Control<QLineEdit>(w, "Edit2")->setText("1000");
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(dem));
  const MapCorners corners = w.MapCorners();
  const Point world{1000, 1000};  // the cross keeps the point it was put on

  // Through the dialog, as the user does it: the value is selected, so typing replaces it.
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(w.form4()->focusWidget(), "200");
    QTest::keyClick(w.form4()->focusWidget(), Qt::Key_Return);  // "OK" is the default button
  });
  w.ZoomInOutMap1Click();
  EXPECT_EQ(200, w.ZoomPercent());
  const Point cross{w.CrossX(), w.CrossY()};
  EXPECT_EQ(WorldToMapPixel(corners, 200, world), cross);
  EXPECT_EQ(cross.x - w.MapAreaWidth() / 2, w.ScrollX());
  EXPECT_EQ(cross.y - w.MapAreaHeight() / 2, w.ScrollY());
  EXPECT_EQ(2400, Control<TPropScrollbar>(w, "xscroll")->Max() -
                      Control<TPropScrollbar>(w, "xscroll")->PageSize() + w.MapAreaWidth());

  w.ApplyZoom("6400");  // the largest zoom: scaled sizes far beyond the area still draw
  EXPECT_EQ(6400, w.ZoomPercent());
  EXPECT_GE(Control<TPropScrollbar>(w, "xscroll")->Max(), 0);
  w.RenderView();
  w.ApplyZoom("1");  // the picture is 12 x 9 pixels now
  EXPECT_NE(kGrey, w.ViewBuffer().pixel(11, 8));
  EXPECT_EQ(kGrey, w.ViewBuffer().pixel(12, 8));
  EXPECT_EQ(kGrey, w.ViewBuffer().pixel(w.MapAreaWidth() - 1, 0));

  // Closing the dialog without "OK" changes nothing.
  QTimer::singleShot(0, [&w] { w.form4()->reject(); });
  w.ZoomInOutMap1Click();
  EXPECT_EQ(1, w.ZoomPercent());
}

TEST_F(ViewTest, CrossAndGlassAreLaidOverTheMap) {
  const QRgb land = qRgb(10, 120, 30);
  const std::string dem = MakeMap("Plain", 800, 600);
  TForm1& w = Open();
  w.LoadMap(dem);
  const QImage& mag = w.GlassPicture();
  const QImage& mask = w.GlassMask();
  ASSERT_EQ(QSize(80, 82), mag.size());
  ASSERT_EQ(QSize(80, 82), mask.size());
  QImage plain(800, 600, QImage::Format_RGB32);
  plain.fill(land);
  w.MapImage() = plain;

  struct Case {
    QPoint cross;  // view position of the cross
  };
  for (Case c : {Case{{200, 80}}, Case{{3, 2}}, Case{{560, 160}}, Case{{-40, -30}}}) {
    SCOPED_TRACE(c.cross.x());
    w.Viewport().SetCross({c.cross.x() + 100, c.cross.y() + 50});
    w.RenderView(100, 50);
    const QImage& view = w.ViewBuffer();
    for (int y = 0; y < view.height(); ++y)
      for (int x = 0; x < view.width(); ++x) {
        const int dx = x - c.cross.x(), dy = y - c.cross.y();
        QRgb expected = land;
        const int gx = dx + 26, gy = dy + 27;
        if (gx >= 0 && gy >= 0 && gx < 80 && gy < 82 && (mask.pixel(gx, gy) & 0xFFFFFF) != 0xFFFFFF)
          expected = mag.pixel(gx, gy);
        if ((dx == dy || dx == -dy) && dx >= -5 && dx <= 5) expected = 0xFFFFFFFFu;
        ASSERT_EQ(expected, view.pixel(x, y)) << x << "," << y;
      }
  }
  // The glass leaves the map visible through its lens and lays its ring over it.
  int shown = 0, laid = 0;
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 80; ++x) ((mask.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF ? shown : laid)++;
  EXPECT_GT(laid, 300);
  EXPECT_GT(shown, laid);
  EXPECT_EQ(0xFFFFFFu, mask.pixel(26, 27) & 0xFFFFFF);  // the lens centre shows the map
}

TEST_F(ViewTest, BlitMaskedTouchesOnlyItsRectangle) {
  QImage picture(4, 3, QImage::Format_RGB32), mask(4, 3, QImage::Format_RGB32);
  picture.fill(qRgb(200, 0, 0));
  mask.fill(Qt::black);
  mask.setPixel(1, 1, qRgb(255, 255, 255));
  for (QPoint at : {QPoint(2, 2), QPoint(-2, -1), QPoint(8, 5), QPoint(-10, 0), QPoint(10, 10)}) {
    QImage target(10, 7, QImage::Format_RGB32);
    target.fill(qRgb(1, 2, 3));
    TForm1::BlitMasked(target, at.x(), at.y(), picture, mask);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 10; ++x) {
        const QPoint local = QPoint(x, y) - at;
        const bool laid =
            local.x() >= 0 && local.y() >= 0 && local.x() < 4 && local.y() < 3 && local != QPoint(1, 1);
        ASSERT_EQ(laid ? qRgb(200, 0, 0) : qRgb(1, 2, 3), target.pixel(x, y))
            << at.x() << " " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace orv::testing
