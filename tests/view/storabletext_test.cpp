// Text boxes whose text goes into a record refuse what a record cannot hold, typed or pasted.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "view/storabletext.h"

namespace orv {
namespace {

// Types text key by key as a keyboard with those characters would (QTest knows only ASCII keys).
void Type(QWidget* widget, const QString& text) {
  for (QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &release);
  }
}

TEST(StorableTextValidator, RefusesWhatARecordCannotHoldTypedOrPasted) {
  QLineEdit edit;
  StorableTextValidator validator;
  edit.setValidator(&validator);
  edit.show();

  // Typed: the separator (superscript three) and a Greek letter are refused; the euro sign, which
  // Windows-1252 holds, and accented Latin letters are taken.
  Type(&edit, QString::fromUtf8("Gate\u00B3 to \u03A9 \u20AC5 \u00C9tang"));
  EXPECT_EQ(edit.text(), QString::fromUtf8("Gate to  \u20AC5 \u00C9tang"));

  // Pasted: a text holding anything refused is refused whole; a clean one goes in at the cursor.
  edit.setText("ab");
  for (const char* refused : {"X\u00B3Y", "X\tY", "Z\u4E2D"}) {
    edit.setCursorPosition(1);
    QApplication::clipboard()->setText(QString::fromUtf8(refused));
    edit.paste();
    EXPECT_EQ(edit.text(), "ab") << refused;
  }
  QApplication::clipboard()->setText(QString::fromUtf8("\u00C6r\u00F8"));
  edit.paste();
  EXPECT_EQ(edit.text(), QString::fromUtf8("a\u00C6r\u00F8b"));
}

}  // namespace
}  // namespace orv
