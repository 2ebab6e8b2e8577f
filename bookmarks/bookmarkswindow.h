#pragma once
// The bookmarks window: the bookmarks of the current map and the global ones on two pages. Choosing
// one scrolls the map to it and shows its notes and whether it is visible on the current map; the
// notes can be edited in place, the visibility switched and the bookmark deleted.
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class TForm1;

namespace orv {
struct AppState;
class NotesEdit;
}  // namespace orv

namespace Ui {
class TForm3;
}

class TForm3 : public QWidget {
  Q_OBJECT

 public:
  TForm3(orv::AppState& state, TForm1& main, QWidget* parent = nullptr);
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

  orv::AppState& state_;
  TForm1& main_;
  Page global_;
  Page current_;
};
