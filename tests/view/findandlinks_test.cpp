// The main window's find box, notes tips, name outlines and link areas through real events.
#include <QApplication>
#include <QHelpEvent>
#include <QListWidget>
#include <QToolTip>
#include <functional>

#include "bookmarks/bookmarknames.h"
#include "bookmarks/findbox.h"
#include "maplinks/maplinkstore.h"
#include "maplinks/maplinkswindow.h"
#include "storage/appsettings.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "view/locationcross.h"
#include "view/mainwindow_fixture.h"
#include "view/render.h"

namespace orv::testing {
namespace {

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 100 && !done(); ++i) QTest::qWait(20);
  return done();
}

// A map of 2000 x 1600 picture pixels for the whole world (about 0.39 pixels per world unit) with
// three bookmarks of its own and one global one.
class FindAndLinksTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    map = MakeMap("Harrow", 2000, 1600, Even(qRgb(20, 30, 70)));
    WriteText(map, ReadText(map) + "[General]\r\nVersion=v2.2\r\n");
    const auto mapBookmark = [&](int n, const std::string& record) {
      ASSERT_TRUE(WriteSetting("Map Bookmarks", "bookmark" + std::to_string(n), map, record));
      ASSERT_TRUE(WriteSetting("Map Bookmarks", "bookmark" + std::to_string(n) + "font", map,
                               JoinFields({"DejaVu Sans", "12", "0", "b"})));
    };
    mapBookmark(1, JoinFields({"V", "1000", "1000", "Harbour", "\"Ships at dawn\",\"Sells rope\""}));
    mapBookmark(2, JoinFields({"V", "4000", "3000", "Smithy"}));
    mapBookmark(3, JoinFields({"V", "2500", "2000", "Hartwell Inn", "rooms"}));
    WriteText(settingsFile, "[General]\r\nVersion=v2.2\r\nLastMapFilename=" + map + "\r\n");
    ASSERT_TRUE(WriteSetting("Map Bookmarks", "bookmark1", settingsFile,
                             JoinFields({"idglobal01", "V", "4500", "500", "Harbourmaster"})));
  }
  static QImage Even(QRgb color) {
    QImage image(2000, 1600, QImage::Format_RGB32);
    image.fill(color);
    return image;
  }
  QWidget* Box() { return Control<TPaintBox>(*form, "PaintBox1"); }
  FindBox* Find() { return form->findChild<FindBox*>("FindBox"); }
  QStringList Listed() {
    QStringList lines;
    for (int i = 0; i < Find()->List()->count(); ++i) lines << Find()->List()->item(i)->text();
    return lines;
  }
  // The view position of a world point.
  QPoint ViewOf(Point world) {
    const auto zoomed = form->Viewport().WorldToZoomed(world, form->MapCorners());
    return {zoomed->x - form->ScrollX(), zoomed->y - form->ScrollY()};
  }

  std::string map;
};

TEST_F(FindAndLinksTest, CtrlFListsMatchesAndEnterPutsTheCrossOnTheChosenBookmark) {
  Open();
  QTest::keyClick(Box(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Find()->isVisible());
  EXPECT_TRUE(Find()->TextBox()->hasFocus());
  QTest::keyClicks(Find()->TextBox(), "HAR");
  EXPECT_EQ(Listed(), (QStringList{"Harbour", "Harbourmaster  (global)", "Hartwell Inn"}));
  QTest::keyClicks(Find()->TextBox(), "b");
  EXPECT_EQ(Listed(), (QStringList{"Harbour", "Harbourmaster  (global)"}));
  // Notes are searched too.
  Find()->TextBox()->setText("rope");
  EXPECT_EQ(Listed(), (QStringList{"Harbour"}));

  Find()->TextBox()->setText("harbourm");
  QTest::keyClick(Find()->TextBox(), Qt::Key_Return);
  EXPECT_FALSE(Find()->isVisible());
  // The cross goes onto the bookmark's world point, the view centres on it and the panels show it.
  const auto zoomed = *form->Viewport().WorldToZoomed({4500, 500}, form->MapCorners());
  EXPECT_EQ((Point{form->CrossX(), form->CrossY()}), zoomed);
  EXPECT_EQ(form->Viewport().CrossWorld(form->MapCorners()), (Point{4500, 500}));
  EXPECT_EQ(form->ScrollX(),
            std::clamp(zoomed.x - form->MapAreaWidth() / 2, 0, form->Viewport().MaxOriginX()));
  EXPECT_EQ(form->ScrollY(),
            std::clamp(zoomed.y - form->MapAreaHeight() / 2, 0, form->Viewport().MaxOriginY()));
  EXPECT_EQ(form->PanelTexts().Edit1, "4500");
  EXPECT_EQ(form->PanelTexts().Edit2, "500");

  // Arrow keys move in the list, a double click chooses; Esc closes without moving.
  QTest::keyClick(Box(), Qt::Key_F, Qt::ControlModifier);
  Find()->TextBox()->setText("h");
  QTest::keyClick(Find()->TextBox(), Qt::Key_Down);
  EXPECT_EQ(Find()->List()->currentRow(), 1);
  QListWidget* list = Find()->List();
  ASSERT_TRUE(WaitFor([&] { return list->visualItemRect(list->item(2)).isValid(); }));
  const QPoint third = list->visualItemRect(list->item(2)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
  EXPECT_EQ(form->PanelTexts().Edit1, "2500");
  QTest::keyClick(Box(), Qt::Key_F, Qt::ControlModifier);
  const int scrollX = form->ScrollX();
  QTest::keyClick(Find()->TextBox(), Qt::Key_Escape);
  EXPECT_FALSE(Find()->isVisible());
  EXPECT_EQ(form->ScrollX(), scrollX);
  // Esc gives the keyboard back to where it was: the map area keeps its keys, a box its typing.
  EXPECT_TRUE(Box()->hasFocus());
  QLineEdit* horizontal = Control<QLineEdit>(*form, "Edit1");
  horizontal->setFocus();
  QTest::keyClick(horizontal, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Find()->TextBox()->hasFocus());
  QTest::keyClick(Find()->TextBox(), Qt::Key_Escape);
  EXPECT_TRUE(horizontal->hasFocus());
}

// A change to other bookmarks while the box is open (notes typed in the bookmarks window, a deletion)
// leaves the chosen result chosen; only when it is gone does the choice go back to the first line.
TEST_F(FindAndLinksTest, TheChosenResultStaysChosenWhileOtherBookmarksChange) {
  Open();
  QTest::keyClick(Box(), Qt::Key_F, Qt::ControlModifier);
  QTest::keyClicks(Find()->TextBox(), "har");
  QTest::keyClick(Find()->TextBox(), Qt::Key_Down);
  QTest::keyClick(Find()->TextBox(), Qt::Key_Down);
  ASSERT_EQ(Find()->List()->currentItem()->text(), "Hartwell Inn");
  EditBookmarkLists(*form, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks.erase(lists.CurrentMapBookmarks.begin());  // Harbour
    lists.CurrentMapBookmarkFonts.erase(lists.CurrentMapBookmarkFonts.begin());
  });
  EXPECT_EQ(Listed(), (QStringList{"Harbourmaster  (global)", "Hartwell Inn"}));
  EXPECT_EQ(Find()->List()->currentItem()->text(), "Hartwell Inn");
  EditBookmarkLists(*form, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks.erase(lists.CurrentMapBookmarks.begin());  // Hartwell Inn, then first
    lists.CurrentMapBookmarkFonts.erase(lists.CurrentMapBookmarkFonts.begin());
  });
  EXPECT_EQ(Listed(), (QStringList{"Harbourmaster  (global)"}));
  EXPECT_EQ(Find()->List()->currentRow(), 0);
}

TEST_F(FindAndLinksTest, RestingOnANameShowsItsNotesAndNamesFollowChangesAtOnce) {
  Open();
  form->ShowWorldPoint({1000, 1000});
  const QPoint name = ViewOf({1000, 1000}) + QPoint(20, 8);
  QHelpEvent help(QEvent::ToolTip, name, Box()->mapToGlobal(name));
  QApplication::sendEvent(Box(), &help);
  EXPECT_EQ(QToolTip::text(), "Ships at dawn\nSells rope");
  QToolTip::hideText();

  // A name deleted in the bookmarks window leaves the view in the same step.
  const QRgb before = form->ViewBuffer().pixel(ViewOf({1000, 1000}));
  EXPECT_NE(before, qRgb(20, 30, 70));
  EditBookmarkLists(*form, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks.erase(lists.CurrentMapBookmarks.begin());
    lists.CurrentMapBookmarkFonts.erase(lists.CurrentMapBookmarkFonts.begin());
  });
  form->BookmarksChanged();
  const QRgb after = form->ViewBuffer().pixel(ViewOf({1000, 1000}));
  EXPECT_LE(std::abs(qBlue(after) - 70), 8);  // the picture, up to its JPEG noise
}

TEST_F(FindAndLinksTest, OutlineBookmarkNamesIsStoredAndTurnsTheHaloOff) {
  Open();
  form->ShowWorldPoint({1000, 1000});
  QAction* outline = Control<QAction>(*form, "OutlineBookmarkNames1");
  ASSERT_TRUE(outline->isCheckable());
  EXPECT_TRUE(outline->isChecked());
  const auto whiteAround = [&] {
    const QPoint at = ViewOf({1000, 1000}) + QPoint(4, -2);
    const QImage near = form->ViewBuffer().copy(at.x(), at.y(), 120, 30);
    int n = 0;
    for (int y = 0; y < near.height(); ++y)
      for (int x = 0; x < near.width(); ++x) n += near.pixel(x, y) == qRgb(255, 255, 255);
    return n;
  };
  EXPECT_GT(whiteAround(), 20);  // black letters on a dark sea get a light halo
  outline->trigger();
  EXPECT_EQ(whiteAround(), 0);
  EXPECT_FALSE(AppSettings(settingsFile).OutlineBookmarkNames());
  form.reset();
  Open();
  EXPECT_FALSE(Control<QAction>(*form, "OutlineBookmarkNames1")->isChecked());
}

TEST_F(FindAndLinksTest, ShowLinkAreasOutlinesTheAreasAndTheLinksWindowKeepsItsAreaInSight) {
  ASSERT_TRUE(WriteSetting("Map Links", "maplink1", map,
                           MakeMapLinkRecord({1500, 1200, 1540, 1230}, "Gate.dem", "Small gate")));
  ASSERT_TRUE(WriteSetting("Map Links", "maplink2", map,
                           MakeMapLinkRecord({100, 50, 300, 150}, "Other.dem", "To the other map")));
  Open();
  form->ScrollViewTo(0, 0);
  const QImage plain = form->ViewBuffer();
  QTest::keyClick(Box(), Qt::Key_L);
  QAction* show = Control<QAction>(*form, "ShowLinkAreas1");
  EXPECT_TRUE(show->isChecked());
  // The outline runs just outside the open rectangle; pixels far from the area stay.
  ASSERT_GT(plain.height(), 160);
  EXPECT_NE(form->ViewBuffer().pixel(100, 100), plain.pixel(100, 100));
  EXPECT_NE(form->ViewBuffer().pixel(200, 100), plain.pixel(200, 100));
  EXPECT_EQ(form->ViewBuffer().pixel(400, 100), plain.pixel(400, 100));
  // Its text on hover, as without the outlines.
  QTest::mouseMove(Box(), QPoint(200, 100));
  EXPECT_EQ(form->StatusText(0), "To the other map");
  QTest::keyClick(Box(), Qt::Key_L);
  EXPECT_EQ(form->ViewBuffer(), plain);

  // The links window over the middle of the map area: the selected area shows beside it.
  form->ShowMapLinksWindow1Click();
  TForm5* window = form->form5();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  window->move(Box()->mapToGlobal(QPoint(Box()->width() / 2 - 198, Box()->height() / 2 - 72)));
  QTest::qWait(20);
  auto* list = window->findChild<QListWidget*>("ListBox1");
  ASSERT_EQ(list->item(0)->text(), "Small gate");
  list->setCurrentRow(0);
  const QRect covered(Box()->mapFromGlobal(window->frameGeometry().topLeft()),
                      window->frameGeometry().size());
  ASSERT_TRUE(covered.intersects(QRect(0, 0, form->MapAreaWidth(), form->MapAreaHeight())));
  const QRect area(1500 - form->ScrollX(), 1200 - form->ScrollY(), 41, 31);
  EXPECT_FALSE(covered.intersects(area));
  EXPECT_TRUE(QRect(0, 0, form->MapAreaWidth(), form->MapAreaHeight()).contains(area));
}

// The window's frames, whose names come from kept tiles, are the frames layered the plain way: the
// picture, the cross and its glass, every name over them; also after the outline is drawn into the
// picture, the cross moved onto a name, the zoom changed and the halo turned off.
TEST_F(FindAndLinksTest, FramesAreThePictureThenCrossThenEveryName) {
  Open();
  const auto plain = [&] {
    QImage view(form->ViewBuffer().size(), QImage::Format_RGB32);
    const int32_t zoom = form->ZoomPercent();
    const Point origin{form->ScrollX(), form->ScrollY()};
    ComposeZoomedView(view, form->MapImage(), origin, zoom,
                      std::min(view.width(), ScaledLength(form->MapImage().width(), zoom)),
                      std::min(view.height(), ScaledLength(form->MapImage().height(), zoom)));
    DrawLocationCross(view, int64_t{form->CrossX()} - origin.x, int64_t{form->CrossY()} - origin.y,
                      form->GlassPicture(), form->GlassMask());
    BookmarkNames names;
    names.SetOptions({.halo = Control<QAction>(*form, "OutlineBookmarkNames1")->isChecked(), .marker = true});
    names.Draw(view, form->Bookmarks().Lists(), form->MapCorners(), zoom, origin.x, origin.y);
    return view;
  };
  const auto crossOnHarbour = [&] {
    form->Viewport().SetCross(*form->Viewport().WorldToZoomed({1000, 1000}, form->MapCorners()));
    form->CenterViewOnCross();
  };
  const std::function<void()> steps[] = {
      crossOnHarbour,
      [&] { QTest::keyClick(Box(), Qt::Key_S, Qt::ControlModifier); },
      [&] { form->ApplyZoom("50"); },
      [&] { form->ScrollViewTo(3, 7); },
      [&] { Control<QAction>(*form, "OutlineBookmarkNames1")->trigger(); },
      [&] { form->ApplyZoom("150"); },
      crossOnHarbour,
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    steps[i]();
    ASSERT_TRUE(form->MapImage().format() == QImage::Format_RGB32);
    EXPECT_TRUE(form->ViewBuffer() == plain());
  }
}

}  // namespace
}  // namespace orv::testing
