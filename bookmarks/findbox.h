#pragma once
// The find box over the map (Ctrl+F): a line to type in and, below it, the bookmarks of the current
// map and the global ones whose name or notes contain the text, without regard to case or accents,
// in name order. Enter or a double click chooses the selected bookmark; Esc closes the box.
#include <QFrame>
#include <QPointer>
#include <optional>
#include <vector>

#include "bookmarks/bookmarksearch.h"
#include "bookmarks/bookmarkstore.h"

class QLineEdit;
class QListWidget;

namespace orv {

class FindBox : public QFrame {
  Q_OBJECT

 public:
  // Lists at most this many bookmarks; typing more narrows the list.
  static constexpr int MostListed = 500;

  FindBox(const BookmarkLists& lists, QWidget* parent);

  // The lists changed: the search works from them as they are now.
  void ListsChanged();
  // Shows the box with its text selected and the keyboard in it; Esc closes it and gives the keyboard
  // back to the control that had it.
  void Open();
  // Chooses the selected bookmark, as Enter does.
  void ChooseSelected();

  QLineEdit* TextBox() const { return text_; }
  QListWidget* List() const { return list_; }

 signals:
  // A bookmark was chosen; its world point.
  void chosen(orv::Point world);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refill();
  void MakeIndex();
  // What tells one listed bookmark from another across a new index: its page, name and world point.
  struct Entry {
    bool global;
    std::string name;
    std::optional<Point> world;
    friend bool operator==(const Entry&, const Entry&) = default;
  };
  Entry EntryAt(std::size_t k) const;  // of the bookmark at index position k
  std::optional<Entry> SelectedEntry() const;

  const BookmarkLists& lists_;
  QPointer<QWidget> keyboardBefore_;  // had the keyboard when the box opened
  QLineEdit* text_;
  QListWidget* list_;
  bool indexValid_ = false;
  BookmarkSearchIndex index_;
  std::vector<std::optional<Point>> worlds_;  // world point of each bookmark of the index
  std::vector<bool> global_;
  std::vector<std::string> names_;   // as stored (Windows-1252)
  std::vector<std::size_t> listed_;  // index positions of the list's lines
};

}  // namespace orv
