// Every text of the five windows and of the message boxes fits its control in the program's face,
// and labels stand level with the boxes beside them.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

#include "mainwindow_fixture.h"
#include "view/qtdialogs.h"

namespace orv::testing {
namespace {

// Room left in a title bar for the window's icon, its close box and the bar's margins.
constexpr int TitleBarControls = 64;

QString Plain(QString text) {
  return text.remove(QRegularExpression("&(?!&)"));
}

QString Where(const QWidget* w) {
  return w->window()->objectName() + "/" + w->objectName() + " \"" + w->property("text").toString() + "\"";
}

void CheckLabel(const QLabel* label, QStringList& misfits) {
  const QString text = label->text();
  if (text.isEmpty() || label->textFormat() == Qt::RichText) return;
  const QFontMetrics fm = label->fontMetrics();
  const int indent =
      label->indent() >= 0 ? label->indent() : (label->frameWidth() > 0 ? fm.horizontalAdvance('x') / 2 : 0);
  const QRect room = label->contentsRect().adjusted(label->margin() + indent, label->margin(),
                                                    -label->margin(), -label->margin());
  if (label->wordWrap()) {
    const QRect need = fm.boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, text);
    if (need.height() > room.height() || need.width() > room.width())
      misfits << QString("%1 needs %2x%3, has %4x%5")
                     .arg(Where(label))
                     .arg(need.width())
                     .arg(need.height())
                     .arg(room.width())
                     .arg(room.height());
  } else if (fm.horizontalAdvance(text) > room.width() || fm.height() > room.height() + 2) {
    misfits
        << QString("%1 needs %2, has %3").arg(Where(label)).arg(fm.horizontalAdvance(text)).arg(room.width());
  }
}

void CheckButton(const QAbstractButton* button, QStringList& misfits) {
  const QString text = Plain(button->text());
  if (text.isEmpty()) return;
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = text;
  const bool box = qobject_cast<const QCheckBox*>(button) != nullptr;
  const QRect room = button->style()->subElementRect(
      box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
  const int need = button->fontMetrics().horizontalAdvance(text);
  if (need > room.width())
    misfits << QString("%1 needs %2, has %3").arg(Where(button)).arg(need).arg(room.width());
}

// The title's place in the group box as the style lays it out, in the box's own coordinates.
QRect TitleRect(const QGroupBox* group) {
  QStyleOptionGroupBox option;
  option.initFrom(group);
  option.text = group->title();
  option.lineWidth = 1;
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  option.textAlignment = group->alignment();
  return group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
}

void CheckGroupBox(const QGroupBox* group, QStringList& misfits) {
  const QRect title = TitleRect(group);
  const int need = group->fontMetrics().horizontalAdvance(group->title());
  // The same margin on the right as on the left.
  if (title.left() + need > group->width() - title.left())
    misfits << QString("%1 title needs %2, has %3")
                   .arg(Where(group))
                   .arg(need)
                   .arg(group->width() - 2 * title.left());
}

void CheckCaption(const QWidget* window, QStringList& misfits) {
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  const int need = QFontMetrics(titleFont).horizontalAdvance(window->windowTitle()) + TitleBarControls;
  if (need > window->width())
    misfits << QString("%1 caption \"%2\" needs %3, has %4")
                   .arg(window->objectName(), window->windowTitle())
                   .arg(need)
                   .arg(window->width());
}

// A label and an edit box or combo box on one row: their middles at most a pixel apart.
void CheckLevel(const QLabel* label, QStringList& misfits) {
  const QRect l = label->geometry();
  for (QObject* sibling : label->parentWidget()->children()) {
    auto* box = qobject_cast<QWidget*>(sibling);
    if (!box || !(qobject_cast<QLineEdit*>(box) || qobject_cast<QComboBox*>(box)) || box->isHidden())
      continue;
    const QRect b = box->geometry();
    const bool sameRow = l.top() < b.bottom() && b.top() < l.bottom();
    const bool beside = std::abs(l.right() - b.left()) < 12 || std::abs(b.right() - l.left()) < 12;
    if (sameRow && beside && std::abs((l.top() + l.bottom()) - (b.top() + b.bottom())) > 2)
      misfits << QString("%1 stands at %2..%3 beside %4 at %5..%6")
                     .arg(Where(label))
                     .arg(l.top())
                     .arg(l.bottom())
                     .arg(box->objectName())
                     .arg(b.top())
                     .arg(b.bottom());
  }
}

// What does not fit, one line each; empty when everything fits.
std::string Misfits(QWidget* window) {
  QStringList misfits;
  CheckCaption(window, misfits);
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  for (QWidget* w : widgets) {
    if (!w->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<QLabel*>(w)) {
      CheckLabel(label, misfits);
      CheckLevel(label, misfits);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) CheckButton(button, misfits);
    if (auto* group = qobject_cast<QGroupBox*>(w)) CheckGroupBox(group, misfits);
  }
  return misfits.join("\n").toStdString();
}

QWidget* Window(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name) return w;
  return nullptr;
}

class FontFitTest : public MainWindowTest {};

TEST_F(FontFitTest, EveryTextOfTheFiveWindowsFitsItsControl) {
  const std::string map = MakeMap("thornmere", 800, 600);
  WriteText(settingsFile, "[General]\r\nLastMapFilename=" + map + "\r\n");
  TForm1& main = Open();
  // The longest texts the panels and the directions show: the world's far corner from its origin.
  main.findChild<QLineEdit*>("Edit1")->setText("5120");
  main.findChild<QLineEdit*>("Edit2")->setText("4096");
  QTest::mouseMove(main.findChild<QWidget*>("PaintBox1"), QPoint(5, 5));
  QTest::mouseClick(main.findChild<QPushButton*>("Button4"), Qt::LeftButton);
  for (const char* name : {"TForm3", "TForm4", "TForm5"}) {
    QWidget* window = Window(name);
    ASSERT_NE(window, nullptr) << name;
    window->show();
  }

  for (const char* name : {"TForm1", "TForm2", "TForm3", "TForm4", "TForm5"}) {
    QWidget* window = Window(name);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_TRUE(window->isVisible()) << name;
    EXPECT_EQ(Misfits(window), "") << name;
  }
  // Both pages of the bookmarks window.
  auto* pages = Window("TForm3")->findChild<QTabWidget*>("PageControl1");
  ASSERT_NE(pages, nullptr);
  pages->setCurrentIndex(1 - pages->currentIndex());
  EXPECT_EQ(Misfits(Window("TForm3")), "");
}

TEST_F(FontFitTest, CoordinateGroupTitlesKeepOneMargin) {
  TForm1& main = Open(false);
  const auto* where = main.findChild<QGroupBox*>("GroupBox2");
  const auto* sextant = main.findChild<QGroupBox*>("GroupBox1");
  ASSERT_TRUE(where && sextant);
  EXPECT_EQ(TitleRect(where).left(), TitleRect(sextant).left());
  EXPECT_EQ(where->font(), sextant->font());
}

TEST_F(FontFitTest, MessageBoxTextsFit) {
  const QString longPath = "/home/player/Documents/Orvantis/maps/" + QString(120, 'x') + "/Northwoods.dem";
  for (const QString& text : {QString("Unable to load image '") + longPath + "'. File not found.",
                              QString("'abc' is not a valid integer value"),
                              QString("Unable to load '") + longPath + "'. Invalid map dimensions file."}) {
    std::unique_ptr<QMessageBox> box = NewMessageBox(nullptr, text);
    box->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
    EXPECT_EQ(Misfits(box.get()), "") << text.toStdString();
  }
}

}  // namespace
}  // namespace orv::testing
