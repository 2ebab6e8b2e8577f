// The zoom dialog: the zooms it accepts, and how it answers the keyboard.
#include "view/zoomdialog.h"

#include <QTimer>

#include "mainwindow_fixture.h"

namespace orv::testing {
namespace {

TEST(ZoomPercentFromText, AcceptsWholeNumbersFromOneTo6400) {
  const struct {
    const char* text;
    std::optional<int32_t> zoom;
  } cases[] = {
      {"1", 1},
      {"6400", 6400},
      {" 250 ", 250},
      {"+75", 75},
      {"0", std::nullopt},
      {"-20", std::nullopt},
      {"6401", std::nullopt},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {"abc", std::nullopt},
      {"12.5", std::nullopt},
      {"100%", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ZoomPercentFromText(c.text), c.zoom) << c.text;
  EXPECT_EQ(ZoomRangeMessage("0").toStdString(),
            "'0' is not a zoom percentage. Enter a whole number from 1 to 6400.");
}

class ZoomDialogTest : public MainWindowTest {};

TEST_F(ZoomDialogTest, TypedValueIsCheckedAndEscOrCancelLeaveTheZoom) {
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(MakeMap("Zoom", 900, 700)));
  TForm4& dialog = *w.form4();
  auto* box = dialog.findChild<QLineEdit*>("Edit1");
  ASSERT_NE(box, nullptr);

  // Opened on the current zoom, selected in the focused box: typing replaces it. A value out of
  // range is answered with the range and the dialog stays open; a good one then closes it.
  bool focused = false, selected = false, stayedOpen = false;
  QTimer::singleShot(0, [&] {
    focused = dialog.focusWidget() == box;
    selected = box->selectedText() == "100";
    QTest::keyClicks(box, "7000");
    QTest::keyClick(box, Qt::Key_Return);
    stayedOpen = dialog.isVisible() && box->selectedText() == "7000";
    QTest::keyClicks(box, "250");
    QTest::keyClick(box, Qt::Key_Enter);
  });
  w.ZoomInOutMap1Click();
  EXPECT_TRUE(focused);
  EXPECT_TRUE(selected);
  EXPECT_TRUE(stayedOpen);
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], ZoomRangeMessage("7000").toStdString());
  EXPECT_EQ(w.ZoomPercent(), 250);

  // Esc and "Cancel" close it and the zoom stays, whatever was typed.
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(box, "50");
    QTest::keyClick(box, Qt::Key_Escape);
  });
  w.ZoomInOutMap1Click();
  EXPECT_EQ(w.ZoomPercent(), 250);
  QTimer::singleShot(0, [&] {
    QTest::keyClicks(box, "50");
    QTest::mouseClick(dialog.findChild<QPushButton*>("Button2"), Qt::LeftButton);
  });
  w.ZoomInOutMap1Click();
  EXPECT_EQ(w.ZoomPercent(), 250);

  // The same check when the zoom comes from elsewhere than the dialog.
  EXPECT_FALSE(w.ApplyZoom("0"));
  EXPECT_EQ(w.ZoomPercent(), 250);
  EXPECT_EQ(dialogs.messages.back(), ZoomRangeMessage("0").toStdString());
}

}  // namespace
}  // namespace orv::testing
