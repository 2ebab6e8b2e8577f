#pragma once
// The main window with its bookmarks window, on a map bigger than the view, with dialogs that record
// messages and answer the font dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "bookmarks/bookmarkswindow.h"
#include "bookmarks/notesedit.h"
#include "storage/fields.h"
#include "view/mainwindow.h"
#include "view/mainwindow_fixture.h"
#include "view/mainwindow_ui.h"

namespace orv::testing {

// Joins fields with the separator byte.
inline std::string R(std::initializer_list<std::string> fields) {
  std::string out;
  for (const auto& f : fields) out += (out.empty() ? "" : std::string(1, FieldSeparator)) + f;
  return out;
}

// Types text into widget key by key; characters beyond ASCII come as key events carrying them, as
// from a keyboard layout that has them.
inline void Type(QWidget* widget, const QString& text) {
  for (QChar ch : text) {
    if (ch.unicode() < 0x80) {
      QTest::keyClick(widget, ch.toLatin1());
      continue;
    }
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
  }
}

// Runs the event loop until done() holds or about five seconds have passed.
inline bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 250 && !done(); ++i) QTest::qWait(20);
  return done();
}

// The entries of a bookmarks list box, and the selected one ("" when none).
inline QStringList Entries(QListView* list) {
  QStringList out;
  for (int i = 0; i < list->model()->rowCount(); ++i) out << list->model()->index(i, 0).data().toString();
  return out;
}
inline QString Chosen(QListView* list) {
  const auto rows = list->selectionModel()->selectedRows();
  return rows.isEmpty() ? QString() : rows.first().data().toString();
}

// The bookmarks window's controls, found by their object names.
struct BookmarksControls {
  explicit BookmarksControls(TForm3& w) : w_(w) {}
  template <class T>
  T* Get(const char* name) const {
    T* found = w_.findChild<T*>(name);
    EXPECT_NE(nullptr, found) << name;
    return found;
  }
  TForm3& w_;
  QTabWidget* PageControl1 = Get<QTabWidget>("PageControl1");
  QWidget* TabSheet1 = Get<QWidget>("TabSheet1");
  QWidget* TabSheet2 = Get<QWidget>("TabSheet2");
  QListView* ListBox1 = Get<QListView>("ListBox1");
  QListView* ListBox2 = Get<QListView>("ListBox2");
  NotesEdit* Memo1 = Get<NotesEdit>("Memo1");
  NotesEdit* Memo2 = Get<NotesEdit>("Memo2");
  QPushButton* Button1 = Get<QPushButton>("Button1");
  QPushButton* Button2 = Get<QPushButton>("Button2");
  QCheckBox* CheckBox1 = Get<QCheckBox>("CheckBox1");
  QCheckBox* CheckBox2 = Get<QCheckBox>("CheckBox2");
  QLineEdit* SearchBox1 = Get<QLineEdit>("SearchBox1");
  QLineEdit* SearchBox2 = Get<QLineEdit>("SearchBox2");
  QComboBox* SortBox1 = Get<QComboBox>("SortBox1");
  QComboBox* SortBox2 = Get<QComboBox>("SortBox2");
};

class BookmarksWindowTest : public MainWindowTest {
 protected:
  using MainWindowTest::MakeMap;

  // A light, even picture of 2048 x 1638 pixels for the whole world (0.4 pixels per world unit), so
  // that names show as dark pixels and the view can scroll.
  std::string MakeMap(const std::string& name) {
    const std::string dem = Path(name + ".dem");
    WriteText(dem, Dimensions(0, 0, 2048, 0, 0, 1638, 2048, 1638));
    QImage picture(2048, 1638, QImage::Format_RGB32);
    picture.fill(qRgb(230, 230, 210));
    WriteJpeg(Path(name + ".JPG"), picture);
    return dem;
  }

  TForm1& Open() {
    form = std::make_unique<TForm1>(TForm1Config{settingsFile, &dialogs, 99});
    form->StartupLoading();
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return *form;
  }

  TForm3& Bookmarks() {
    Control<QAction>(*form, "ShowBookmarksWindow1")->trigger();
    TForm3& w = *form->form3();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return w;
  }

  TForm1& S() { return *form; }

  // A right click on the map at the view position `at`, and the pop-up item chosen from the menu
  // it opens.
  void RightClickAndChoose(QPoint at, QAction* item) {
    QTest::mouseClick(Control<TPaintBox>(*form, "PaintBox1"), Qt::RightButton, {}, at);
    ASSERT_TRUE(WaitFor([&] { return Control<QMenu>(*form, "PopupMenu1")->isVisible(); }));
    Control<QMenu>(*form, "PopupMenu1")->hide();
    item->trigger();
  }

  // Names a new bookmark at the view position `at` through the pop-up menu's "Add Bookmark" items.
  void AddBookmark(bool global, QPoint at, const QString& name) {
    RightClickAndChoose(at,
                        global ? Control<QAction>(*form, "Global1") : Control<QAction>(*form, "CurrentMap1"));
    QLineEdit* edit = Control<QLineEdit>(*form, "Edit3");
    ASSERT_TRUE(edit->isVisible());
    Type(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
  }

  void Click(QListView* list, int row) {
    const QModelIndex entry = list->model()->index(row, 0);
    ASSERT_TRUE(entry.isValid());
    list->scrollTo(entry);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(entry).center());
  }

  // Waits for the save that follows a change.
  void WaitForSave() {
    ASSERT_TRUE(WaitFor([&] { return !form->bookmarkSave_.Pending(); }));
  }
};

}  // namespace orv::testing
