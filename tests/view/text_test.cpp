// Stored bytes and the text the widgets show: Windows-1252 both ways.
#include "view/text.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <string>

#include "view/mainwindow_fixture.h"
#include "view/qtdialogs.h"

namespace orv {
namespace {

// Every byte, alone and inside a longer plain text (which is converted another way when it holds
// no byte from 0x80 to 0x9F), gives its character and comes back as the same byte.
TEST(TextTest, EveryByteGivesItsWindows1252CharacterAndComesBack) {
  const std::pair<unsigned char, char16_t> known[] = {{'A', u'A'},       {0x80, u'\u20AC'}, {0x81, 0x81},
                                                      {0x9F, u'\u0178'}, {0xA0, 0xA0},      {0xB3, 0xB3},
                                                      {0xE9, 0xE9}};
  for (const auto& [byte, character] : known)
    EXPECT_EQ(FromBytes(std::string(1, static_cast<char>(byte))), QString(QChar(character))) << int(byte);
  for (int b = 0; b < 256; ++b) {
    for (const std::string& bytes : {std::string(1, static_cast<char>(b)),
                                     "Bookmark by the old mill " + std::string(1, static_cast<char>(b))}) {
      const QString text = FromBytes(bytes);
      EXPECT_EQ(text.size(), static_cast<qsizetype>(bytes.size())) << b;
      EXPECT_EQ(ToBytes(text), bytes) << b;
      QString reused = "a longer text than the bytes it will hold";
      FromBytesInto(bytes, reused);
      EXPECT_EQ(reused, text) << b;
    }
  }
}

// Names, notes and paths that look like markup or hold an "&" show as they stand: in tips, menu
// entries, message boxes and the status line.
namespace shown {
const QString kTexts[] = {"Bank <s>old</s> & <b>new",
                          "<b>bring rope</b>\nand a lantern",
                          "Caves & Mines",
                          "Tom&&Jerry",
                          "<p>cellar</p>",
                          "plain words"};

// Whether the label lays the text out as it would plain text (markup taken as such is narrower).
bool LaidOutAsPlain(QLabel& label) {
  const QSize asShown = label.sizeHint();
  label.setTextFormat(Qt::PlainText);
  return label.sizeHint() == asShown;
}
}  // namespace shown

TEST(TextTest, NamesNotesAndPathsShowAsTheyStand) {
  for (const QString& text : shown::kTexts) {
    SCOPED_TRACE(text.toStdString());
    const QString tip = PlainTip(text);
    QTextDocument document;
    if (Qt::mightBeRichText(tip))
      document.setHtml(tip);
    else
      document.setPlainText(tip);
    EXPECT_EQ(document.toPlainText().replace(QChar::LineSeparator, '\n'), text);
    EXPECT_EQ(QAction(MenuText(text)).iconText(), text);
    const std::unique_ptr<QMessageBox> box = NewMessageBox(nullptr, text);
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(nullptr, label);
    EXPECT_TRUE(shown::LaidOutAsPlain(*label));
  }
}

using StatusLineTest = testing::MainWindowTest;

// The zoom stands over the right end of the first panel: a long text there runs under it, not
// through it.
TEST_F(StatusLineTest, ALongTextRunsUnderTheZoom) {
  Open(false);
  auto* zoom = testing::Control<QLabel>(*form, "ZoomStatus");
  ASSERT_TRUE(zoom->isVisible());
  const QRect area(zoom->mapTo(form.get(), QPoint()), zoom->size());
  form->SetStatusText(0, "");
  const QImage bare = form->grab(area).toImage();
  form->SetStatusText(0, QString(400, 'W'));
  EXPECT_EQ(form->grab(area).toImage(), bare);
}

TEST_F(StatusLineTest, ShowsNamesAndLinkTextsAsTheyStand) {
  Open(false);
  for (const QString& text : shown::kTexts) {
    SCOPED_TRACE(text.toStdString());
    for (const int panel : {0, 1}) {
      form->SetStatusText(panel, text);
      auto* label = testing::Control<QLabel>(*form, panel == 0 ? "StatusPanel0" : "StatusPanel1");
      EXPECT_TRUE(shown::LaidOutAsPlain(*label)) << panel;
    }
  }
}

}  // namespace
}  // namespace orv
