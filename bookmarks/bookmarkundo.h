#pragma once
// The bookmarks window's undo history: deletions, visibility changes and notes edits, undone with
// Ctrl+Z and redone with Ctrl+Shift+Z. The changes are made here, so that each one is recorded exactly
// as it was made.
//
// Records are found again by their content, not only by their position: the lists may have been
// re-sorted or grown since (a bookmark added, a file imported). A step whose record can no longer be
// found, or that was made on another map than the current one, is dropped and the next one tried.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "bookmarks/bookmarkrecords.h"

namespace orv {

// What an undo or redo changed: the page, and where the record stands now (nothing when it was
// removed).
struct UndoneChange {
  BookmarkPage page;
  std::optional<std::size_t> index;
  friend bool operator==(const UndoneChange&, const UndoneChange&) = default;
};

class BookmarkUndo {
 public:
  // How many steps are kept; older ones are forgotten.
  static constexpr std::size_t kDepth = 100;

  // Removes entry k of the page (record and font record) and records it. map is the current map
  // info file when the step belongs to it (every current-map step), empty when it holds on every map.
  void Delete(BookmarkStore& store, BookmarkPage page, std::size_t k, const std::string& map);
  // Replaces record k of the page with updated. Notes edits of one record that follow each other
  // without another step, an undo or Seal between them make one step, so that typing a note is undone
  // at once rather than key by key.
  enum class Edit { Visibility, Notes };
  void Replace(BookmarkStore& store, BookmarkPage page, std::size_t k, std::string updated, Edit edit,
               const std::string& map);
  // Writes record k of the page in its normal form (as the bookmarks window stores what it shows).
  // No step of the user's: the history follows the record, so that its steps still find it.
  void Normalise(BookmarkStore& store, BookmarkPage page, std::size_t k, std::string updated);
  // Ends the merging of notes edits (another bookmark was chosen).
  void Seal() { sealed_ = true; }

  std::optional<UndoneChange> Undo(BookmarkStore& store, const std::string& currentMap);
  std::optional<UndoneChange> Redo(BookmarkStore& store, const std::string& currentMap);
  std::size_t UndoSteps() const { return done_.size(); }
  std::size_t RedoSteps() const { return undone_.size(); }

 private:
  struct Step {
    BookmarkPage page;
    std::size_t index;   // where the record stood
    std::string before;  // the record before the step; empty for nothing (an insertion)
    std::string after;   // the record after the step; empty for nothing (a deletion)
    std::string font;    // the font record of a deleted bookmark
    Edit edit = Edit::Visibility;
    std::string map;  // the map the step holds on; empty for every map
  };

  void Push(Step step);
  // Applies the step forwards (from before to after) or backwards; nothing when its record is gone.
  std::optional<UndoneChange> Apply(BookmarkStore& store, const Step& step, bool forwards) const;
  std::optional<UndoneChange> Move(std::deque<Step>& from, std::deque<Step>& to, BookmarkStore& store,
                                   const std::string& currentMap, bool forwards);

  std::deque<Step> done_;
  std::deque<Step> undone_;
  bool sealed_ = true;
};

}  // namespace orv
