#pragma once
// The bookmarks window: the bookmarks of the current map and the global ones on two pages. Choosing
// one scrolls the map to it and shows its notes and whether it is visible on the current map; the
// notes can be edited in place, the visibility switched and the bookmark deleted. Each page has a
// search box that narrows its list to the bookmarks whose name or notes hold the typed text, and a
// choice of order (by name, or nearest to the cross first). Ctrl+Z undoes deletions, visibility
// changes and notes edits, Ctrl+Shift+Z redoes them; "Export..." and "Import..." exchange bookmarks
// with CSV and JSON files.
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bookmarks/bookmarkrecords.h"
#include "bookmarks/bookmarkrows.h"
#include "bookmarks/bookmarksearch.h"
#include "bookmarks/bookmarkundo.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListView;

namespace orv {
class BookmarkListModel;
class MapViewHost;
class NotesEdit;
}  // namespace orv

namespace Ui {
class TForm3;
}

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  // changed runs after every change of the lists made here; random gives imported global bookmarks
  // their identifiers.
  TForm3(orv::BookmarkStore& store, orv::MapViewHost& host, std::function<void()> changed,
         std::mt19937& random, QWidget* parent = nullptr);
  ~TForm3() override;

  // Refills both list boxes from the bookmark lists (as far as each page's search box lets them
  // through, in its order) and clears the notes boxes and check boxes; afterwards nothing is selected.
  void FillBookmarkLists();

  // Ctrl+Z and Ctrl+Shift+Z: undoes or redoes the last change made here; the list shows the bookmark
  // changed, chosen.
  void UndoChange();
  void RedoChange();

  // Export... and Import... (bookmarks/bookmarkswindow_exchange.cpp): ask which bookmarks and for a file,
  // and tell the user the outcome; parent is the window the dialogs belong to.
  void ExportBookmarks(QWidget* parent);
  void ImportBookmarks(QWidget* parent);

  // Global page: ListBox1, Memo1, Button2, CheckBox1. Current-map page: ListBox2, Memo2, Button1,
  // CheckBox2.
  void ListBox1Click();
  void ListBox2Click();
  void Memo1Change();
  void Memo2Change();
  void Button1Click();
  void Button2Click();
  void CheckBox1Click();
  void CheckBox2Click();

 protected:
  // Sees the window's key presses before its controls, so that Ctrl+Z is the window's undo also in
  // the notes and search boxes.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // What differs between the two pages: the lists, the field numbers and the controls; and which
  // records the list box shows.
  struct Page {
    orv::BookmarkPage id;
    const std::vector<std::string>* records;
    orv::BookmarkFields fields;
    QListView* list;
    orv::BookmarkListModel* entries;  // the list box's entries: which records it shows
    orv::NotesEdit* notes;
    QCheckBox* visible;
    QLineEdit* search;
    QComboBox* order;
    orv::BookmarkSearchIndex index;  // built again after the records changed
    bool indexStale = true;
  };

  // The list box of the page as the search box and the order choose; nothing is selected.
  void ListPage(Page& page);
  // Nothing chosen: empty notes box that takes no typing, tick cleared.
  void ClearControls(Page& page);
  void FillPage(Page& page);
  // Shows the records the search box lets through; a chosen bookmark that stays in the list stays
  // chosen.
  void FilterPage(Page& page);
  // The records the search box lets through, in the chosen order.
  std::vector<std::size_t> ShownRecords(Page& page);
  void SelectEntry(Page& page);
  void NotesChanged(Page& page);
  void DeleteEntry(Page& page);
  void VisibilityChanged(Page& page);
  // Writes updated into record k: a step of the undo history, or while an entry is being chosen, the
  // record's normal form, which is no change of the user's.
  void Rewrite(Page& page, std::size_t k, std::string updated, orv::BookmarkUndo::Edit edit);
  // The record index of the selected entry of the page's list box, or -1; also -1 when the lists
  // disagree in length.
  int Selected(const Page& page) const;
  // Makes the entry of record k the selected one, in view, when the list shows it; false when not.
  bool ShowChosen(Page& page, std::size_t k);
  // Shows record k's page and chooses its entry when the list shows it.
  void ChooseRecord(Page& page, std::size_t k);
  // The map the undo step of a change belongs to: the current map for every current-map change and
  // for visibility (global bookmarks have a visibility per map); none otherwise.
  std::string StepMap(const Page& page, orv::BookmarkUndo::Edit edit) const;
  std::string CurrentMap() const;
  void ShowUndone(const std::optional<orv::UndoneChange>& change, const char* nothing);
  Page& PageOf(orv::BookmarkPage id) { return id == orv::BookmarkPage::Global ? global_ : current_; }
  // Through the map view: draw it, bring a world point to the middle of the view and show it in the
  // coordinate panels; and tell that the bookmarks changed.
  void Redraw();
  void ShowWorldPoint(int32_t x, int32_t y);
  void Changed();

  Ui::TForm3* ui;
  orv::BookmarkStore& store_;
  orv::MapViewHost& host_;
  std::function<void()> changed_;
  std::mt19937& random_;
  Page global_;
  Page current_;
  orv::BookmarkUndo undo_;
  bool choosing_ = false;  // an entry is being chosen: its controls are being filled
};
