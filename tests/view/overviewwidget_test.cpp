// The overview over the map area: when it shows, what its rectangle marks, and clicks and drags on it.
#include "view/overviewwidget.h"

#include "mainwindow_fixture.h"
#include "storage/appsettings.h"

namespace orv::testing {
namespace {

class OverviewWidgetTest : public MainWindowTest {
 protected:
  // The picture pixel at the middle of the map area.
  Point ViewCentre() const {
    return form->Viewport().ViewToPicture({form->MapAreaWidth() / 2, form->MapAreaHeight() / 2});
  }
};

TEST_F(OverviewWidgetTest, ShowsForPicturesLargerThanTheViewAndFollowsTheUsersChoice) {
  TForm1& w = Open();
  OverviewWidget& overview = *w.Overview();
  EXPECT_FALSE(overview.isVisible());  // no map
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Small", 300, 100)));
  EXPECT_FALSE(overview.isVisible());  // fits the 569 x 167 area
  w.ApplyZoom("400");
  EXPECT_TRUE(overview.isVisible());
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Large", 2000, 1000)));  // at 100 percent again
  EXPECT_TRUE(overview.isVisible());
  EXPECT_EQ(overview.Thumbnail().pictureSize, QSize(2000, 1000));
  // In the lower right corner, inside the map area.
  const QRect area = Control<QWidget>(w, "PaintBox1")->rect();
  EXPECT_TRUE(area.contains(overview.geometry()));
  EXPECT_GT(overview.geometry().center().x(), area.center().x());
  EXPECT_GT(overview.geometry().center().y(), area.center().y());

  // O with the map focused hides it, and the choice is kept; an O typed into a box stays a letter.
  auto* map = Control<QWidget>(w, "PaintBox1");
  map->setFocus();
  QTest::keyClick(map, Qt::Key_O);
  EXPECT_FALSE(overview.isVisible());
  EXPECT_EQ(AppSettings(settingsFile).OverviewChoice(), std::optional<bool>(false));
  auto* box = Control<QLineEdit>(w, "Edit1");
  box->clear();
  box->setFocus();
  QTest::keyClicks(box, "o");
  EXPECT_EQ(box->text(), "o");
  EXPECT_FALSE(overview.isVisible());
  Control<QAction>(w, "Overview1")->trigger();
  EXPECT_TRUE(overview.isVisible());
}

TEST_F(OverviewWidgetTest, ClickAndDragMoveTheViewAndTheRectangleFollows) {
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Large", 4000, 2000)));
  OverviewWidget& overview = *w.Overview();
  ASSERT_TRUE(overview.isVisible());
  const QSize size = overview.size();
  const Point crossBefore{w.CrossX(), w.CrossY()};

  const struct {
    double fx, fy;  // where in the overview, as a share of its size
  } clicks[] = {{0.5, 0.5}, {0.25, 0.75}, {0.9, 0.05}};
  for (const auto& c : clicks) {
    const QPoint at(int(size.width() * c.fx), int(size.height() * c.fy));
    QTest::mouseClick(&overview, Qt::LeftButton, {}, at);
    // The view's middle is the picture point under the click, within a thumbnail pixel, as far as
    // the view can go.
    const Point target = overview.PicturePixelAt(at);
    const int slack = overview.Thumbnail().block * 2 + 2;
    const int x = std::clamp(target.x, w.MapAreaWidth() / 2, 4000 - w.MapAreaWidth() / 2);
    const int y = std::clamp(target.y, w.MapAreaHeight() / 2, 2000 - w.MapAreaHeight() / 2);
    EXPECT_NEAR(ViewCentre().x, x, slack) << c.fx << "," << c.fy;
    EXPECT_NEAR(ViewCentre().y, y, slack) << c.fx << "," << c.fy;
    EXPECT_TRUE(overview.ViewRectangle().contains(at)) << c.fx << "," << c.fy;
  }
  // A drag carries the view along; the cross stays where it was.
  const QPoint middle(size.width() / 2, size.height() / 2);
  QTest::mousePress(&overview, Qt::LeftButton, {}, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, middle, overview.mapToGlobal(middle), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&overview, &move);
  QTest::mouseRelease(&overview, Qt::LeftButton, {}, middle);
  EXPECT_NEAR(ViewCentre().x, overview.PicturePixelAt(middle).x, overview.Thumbnail().block * 2 + 2);
  EXPECT_EQ(crossBefore, (Point{w.CrossX(), w.CrossY()}));
}

TEST_F(OverviewWidgetTest, AScreenWithMorePixelsShowsTheThumbnailWithThem) {
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Large", 4000, 2000)));
  OverviewWidget& overview = *w.Overview();
  ASSERT_TRUE(overview.isVisible());
  const QSize shown = overview.size() - QSize(2, 2);  // inside its one-pixel frame
  for (const qreal scale : {1.0, 2.0}) {
    SCOPED_TRACE(scale);
    QImage screen((QSizeF(overview.size()) * scale).toSize(), QImage::Format_RGB32);
    screen.setDevicePixelRatio(scale);
    overview.render(&screen);
    // The rectangle of the view is drawn over the thumbnail's upper left part: the lower right
    // quarter shows the thumbnail alone, from as many of its pixels as the screen has.
    const QSize pixels = (QSizeF(shown) * scale).toSize();
    const QImage expected =
        overview.Thumbnail().thumbnail.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QRect quarter(pixels.width() / 2, pixels.height() / 2, pixels.width() / 2, pixels.height() / 2);
    const int border = static_cast<int>(scale);
    EXPECT_EQ(screen.copy(quarter.translated(border, border)).convertToFormat(QImage::Format_RGB32),
              expected.copy(quarter).convertToFormat(QImage::Format_RGB32));
  }
}

}  // namespace
}  // namespace orv::testing
