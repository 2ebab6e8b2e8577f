#pragma once
// The bookmarks window: the bookmarks of the current map and the global ones on two pages. Choosing
// one scrolls the map to it and shows its notes and whether it is visible on the current map; the
// notes can be edited in place, the visibility switched and the bookmark deleted.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bookmarks/bookmarkstore.h"

class QCheckBox;
class QListWidget;

namespace orv {
class MapViewHost;
class NotesEdit;
}  // namespace orv

namespace Ui {
class TForm3;
}

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  // changed runs after every change of the lists made here.
  TForm3(orv::BookmarkLists& lists, orv::MapViewHost& host, std::function<void()> changed,
         QWidget* parent = nullptr);
  ~TForm3() override;

  // Refills both list boxes from the bookmark lists and clears the notes boxes and check boxes;
  // afterwards nothing is selected.
  void FillBookmarkLists();

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

  Ui::TForm3* ui;

 private:
  // What differs between the two pages: the lists, the field numbers and the controls.
  struct Page {
    std::vector<std::string>* records;
    std::vector<std::string>* fonts;
    int visibilityField;
    int xField;
    int yField;
    int nameField;
    int notesField;
    QListWidget* list;
    orv::NotesEdit* notes;
    QCheckBox* visible;
  };

  void FillPage(const Page& page);
  void SelectEntry(const Page& page);
  void NotesChanged(const Page& page);
  void DeleteEntry(const Page& page);
  void VisibilityChanged(const Page& page);
  // The selected entry of the page's list box, or -1; also -1 when the lists disagree in length.
  int Selected(const Page& page) const;
  // Through the map view: draw it, bring a world point to the middle of the view and show it in the
  // coordinate panels; and tell that the bookmarks changed.
  void Redraw();
  void ShowWorldPoint(int32_t x, int32_t y);
  void Changed();

  orv::BookmarkLists& lists_;
  orv::MapViewHost& host_;
  std::function<void()> changed_;
  Page global_;
  Page current_;
};
