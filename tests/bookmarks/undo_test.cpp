// The bookmarks window's undo history: chains of deletions, visibility changes and notes edits,
// undone and redone, with records back at their place and their font records beside them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bookmarks/bookmarkundo.h"
#include "storage/fields.h"

namespace orv {
namespace {

using Edit = BookmarkUndo::Edit;
constexpr auto kMap = BookmarkPage::CurrentMap;
constexpr auto kGlobal = BookmarkPage::Global;

std::string R(std::initializer_list<std::string_view> fields) {
  return JoinFields(fields);
}

BookmarkLists Start() {
  BookmarkLists lists;
  lists.CurrentMapBookmarks = {R({"V", "1", "1", "Anvil"}), R({"V", "2", "2", "Bank", "old"}),
                               R({"N", "3", "3", "Cave"})};
  lists.CurrentMapBookmarkFonts = {R({"Arial", "10", "0", "b"}), R({"Arial", "12", "255", ""}),
                                   R({"Times", "8", "0", "i"})};
  lists.GlobalBookmarks = {R({"id1", "V", "9", "9", "Gate"}), R({"id2", "V", "8", "8", "Shrine"})};
  lists.GlobalBookmarkFonts = {R({"Arial", "9", "0", "b"}), R({"Arial", "11", "0", "b"})};
  return lists;
}

// One action of a chain: delete, visibility, notes, undo, redo, seal (another bookmark chosen),
// add (a bookmark inserted at the front, as an added one sorted first), normalise, or a map change.
struct Action {
  enum Kind { Delete, Visibility, Notes, Undo, Redo, Seal, AddFirst, Normalise, OtherMap } kind;
  BookmarkPage page = kMap;
  std::size_t k = 0;
  std::string value;  // the new field value
};

struct Chain {
  const char* what;
  std::vector<Action> actions;
  std::function<void(BookmarkLists&)> expected;  // turns the starting lists into the expected ones
  int failedSteps = 0;                           // undos and redos that find nothing to do
};

TEST(BookmarkUndo, ChainsOfUndoAndRedo) {
  auto field = [](BookmarkPage page, Action::Kind kind) {
    const bool global = page == kGlobal;
    return kind == Action::Visibility ? (global ? 2 : 1) : (global ? 6 : 5);
  };
  const std::string originalBank = Start().CurrentMapBookmarks[1];
  std::vector<Action> many;  // 25 changes, alternately deletions of the first entry and visibility
  for (int i = 0; i < 25; ++i) {
    many.push_back(i % 2 ? Action{Action::Delete, kGlobal, 0}
                         : Action{Action::Visibility, kMap, 1, i % 4 ? "V" : "N"});
    if (i % 2) many.push_back({Action::AddFirst, kGlobal});
  }
  std::vector<Action> manyUndone = many;
  for (int i = 0; i < 25; ++i) manyUndone.push_back({Action::Undo});

  const std::vector<Chain> chains = {
      {"a deletion undone", {{Action::Delete, kMap, 1}, {Action::Undo}}, [](BookmarkLists&) {}},
      {"a deletion undone and redone",
       {{Action::Delete, kMap, 1}, {Action::Undo}, {Action::Redo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks.erase(l.CurrentMapBookmarks.begin() + 1);
         l.CurrentMapBookmarkFonts.erase(l.CurrentMapBookmarkFonts.begin() + 1);
       }},
      {"two deletions undone in reverse order",
       {{Action::Delete, kMap, 0}, {Action::Delete, kMap, 1}, {Action::Undo}, {Action::Undo}},
       [](BookmarkLists&) {}},
      {"a global visibility change undone",
       {{Action::Visibility, kGlobal, 1, "N"}, {Action::Undo}},
       [](BookmarkLists&) {}},
      {"notes typed key by key are one step",
       {{Action::Notes, kMap, 1, "n"},
        {Action::Notes, kMap, 1, "ne"},
        {Action::Notes, kMap, 1, "new"},
        {Action::Undo}},
       [](BookmarkLists&) {}},
      {"notes typed, undone and redone whole",
       {{Action::Notes, kMap, 1, "n"}, {Action::Notes, kMap, 1, "new"}, {Action::Undo}, {Action::Redo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[1] = R({"V", "2", "2", "Bank", "new"});
       }},
      {"notes of two choices are two steps",
       {{Action::Notes, kMap, 1, "one"}, {Action::Seal}, {Action::Notes, kMap, 1, "two"}, {Action::Undo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[1] = R({"V", "2", "2", "Bank", "one"});
       }},
      {"notes typed and rubbed out on a later choice do not join the earlier choice's step",
       {{Action::Notes, kMap, 1, "one"},
        {Action::Seal},
        {Action::Notes, kMap, 1, "onex"},
        {Action::Notes, kMap, 1, "one"},
        {Action::Notes, kMap, 1, "two"},
        {Action::Undo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[1] = R({"V", "2", "2", "Bank", "one"});
       }},
      {"a new change after an undo leaves nothing to redo",
       {{Action::Delete, kMap, 0}, {Action::Undo}, {Action::Visibility, kMap, 0, "N"}, {Action::Redo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[0] = R({"N", "1", "1", "Anvil"});
       },
       1},
      {"the record is found again after the list grew in front of it",
       {{Action::Visibility, kMap, 1, "N"}, {Action::AddFirst, kMap}, {Action::Undo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks.insert(l.CurrentMapBookmarks.begin(), R({"V", "0", "0", "Added"}));
         l.CurrentMapBookmarkFonts.insert(l.CurrentMapBookmarkFonts.begin(), R({"Arial", "10", "0", ""}));
       }},
      {"a deletion undone after a bookmark was added before it puts it back in name order",
       {{Action::Delete, kMap, 0}, {Action::AddFirst, kMap}, {Action::Undo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks.insert(l.CurrentMapBookmarks.begin(), R({"V", "0", "0", "Added"}));
         l.CurrentMapBookmarkFonts.insert(l.CurrentMapBookmarkFonts.begin(), R({"Arial", "10", "0", ""}));
       }},
      {"a record written in its normal form is still found",
       {{Action::Visibility, kMap, 1, "N"}, {Action::Normalise, kMap, 1, "\"old\""}, {Action::Undo}},
       [](BookmarkLists&) {}},
      {"steps made on another map are dropped, global notes are not",
       {{Action::Notes, kGlobal, 0, "note"},
        {Action::Visibility, kMap, 2, "V"},
        {Action::Visibility, kGlobal, 1, "N"},
        {Action::OtherMap},
        {Action::Undo},
        {Action::Undo}},
       [](BookmarkLists& l) {
         l.CurrentMapBookmarks[2] = R({"V", "3", "3", "Cave"});
         l.GlobalBookmarks[1] = R({"id2", "N", "8", "8", "Shrine"});
       },
       1},
      {"25 changes undone, the oldest ones too", manyUndone,
       [&](BookmarkLists& l) {
         // The added bookmarks stay; every deleted one is back with its font, in name order: the
         // first one deleted (Gate) after the added ones.
         for (int i = 0; i < 12; ++i) {
           l.GlobalBookmarks.insert(l.GlobalBookmarks.begin(), R({"id9", "V", "0", "0", "Added"}));
           l.GlobalBookmarkFonts.insert(l.GlobalBookmarkFonts.begin(), R({"Arial", "10", "0", ""}));
         }
         l.CurrentMapBookmarks[1] = originalBank;
       }},
  };

  for (const Chain& chain : chains) {
    SCOPED_TRACE(chain.what);
    BookmarkStore store;
    store.Replace(Start());
    const BookmarkLists& lists = store.Lists();
    BookmarkUndo undo;
    std::string map = "first.dem";
    int failed = 0;
    for (const Action& a : chain.actions) {
      const auto& records = store.Records(a.page);
      const std::string stepMap = a.page == kMap || a.kind == Action::Visibility ? map : "";
      switch (a.kind) {
        case Action::Delete:
          undo.Delete(store, a.page, a.k, stepMap);
          break;
        case Action::Visibility:
        case Action::Notes:
          undo.Replace(store, a.page, a.k,
                       SetField(field(a.page, a.kind), records[a.k], FieldSeparator, a.value),
                       a.kind == Action::Notes ? Edit::Notes : Edit::Visibility, stepMap);
          break;
        case Action::Normalise:
          undo.Normalise(store, a.page, a.k,
                         SetField(field(a.page, a.kind), records[a.k], FieldSeparator, a.value));
          break;
        case Action::Undo:
          failed += !undo.Undo(store, map);
          break;
        case Action::Redo:
          failed += !undo.Redo(store, map);
          break;
        case Action::Seal:
          undo.Seal();
          break;
        case Action::AddFirst:
          store.Insert(a.page, 0,
                       a.page == kGlobal ? R({"id9", "V", "0", "0", "Added"}) : R({"V", "0", "0", "Added"}),
                       R({"Arial", "10", "0", ""}));
          break;
        case Action::OtherMap:
          map = "second.dem";
          break;
      }
    }
    BookmarkLists expected = Start();
    chain.expected(expected);
    EXPECT_EQ(lists.CurrentMapBookmarks, expected.CurrentMapBookmarks);
    EXPECT_EQ(lists.CurrentMapBookmarkFonts, expected.CurrentMapBookmarkFonts);
    EXPECT_EQ(lists.GlobalBookmarks, expected.GlobalBookmarks);
    EXPECT_EQ(lists.GlobalBookmarkFonts, expected.GlobalBookmarkFonts);
    EXPECT_EQ(failed, chain.failedSteps);
  }
}

TEST(BookmarkUndo, UndoneDeletionTellsWhereTheRecordStandsAgain) {
  BookmarkStore store;
  store.Replace(Start());
  BookmarkUndo undo;
  undo.Delete(store, kMap, 2, "m.dem");
  EXPECT_EQ(undo.Undo(store, "m.dem"), (UndoneChange{kMap, 2}));
  EXPECT_EQ(undo.Redo(store, "m.dem"), (UndoneChange{kMap, std::nullopt}));
  EXPECT_EQ(undo.UndoSteps(), 1u);
  EXPECT_EQ(undo.RedoSteps(), 0u);
}

}  // namespace
}  // namespace orv
