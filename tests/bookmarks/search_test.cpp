// Finding bookmarks by typed text: case and accents ignored, notes lines searched, both orders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "bookmarks/bookmarksearch.h"

namespace orv {
namespace {

using ::testing::ElementsAreArray;

// Stored bytes are Windows-1252: \xE9 é, \xDF ß, \xC6 Æ, \xEB ë, \xD6 Ö.
const std::vector<SearchableBookmark> kBookmarks = {
    {"Caf\xE9 Royal", "", {1000, 1000}},
    {"Bank", "\"open late\",\"sells \xC6THER\"", {10, 10}},
    {"Gro\xDF"
     "e Stra\xDF"
     "e",
     "",
     {500, 500}},
    {"inn", "\"a, b\",x", {1000, 1003}},
    {"Zo\xEB", "", {990, 1000}},
    {"Das \xD6lfass", "\"Tab\there\"", {1003, 1000}},
};

std::vector<std::string> Names(const std::vector<std::size_t>& found) {
  std::vector<std::string> names;
  for (std::size_t i : found) names.push_back(kBookmarks[i].name);
  return names;
}

TEST(BookmarkSearch, MatchesNameOrNotesWithoutRegardToCaseOrAccents) {
  const BookmarkSearchIndex index(kBookmarks);
  struct Case {
    QString typed;
    std::vector<std::string> names;  // in name order
  };
  const std::vector<Case> cases = {
      {"cafe", {"Caf\xE9 Royal"}},
      {QString::fromUtf8("CAFÉ"), {"Caf\xE9 Royal"}},
      {"strasse",
       {"Gro\xDF"
        "e Stra\xDF"
        "e"}},
      {QString::fromUtf8("GROẞ"), {}},  // capital sharp s has no Windows-1252 form or base letter
      {"aether", {"Bank"}},             // second notes line
      {"open late", {"Bank"}},          // a blank inside a quoted notes line
      {"late,sells", {}},               // a match never runs from one notes line into the next
      {"\"", {}},                       // the quotes of the stored comma text are not searched
      {"a, b", {"inn"}},
      {"OLF", {"Das \xD6lfass"}},
      {"tab here", {"Das \xD6lfass"}},        // a tab in notes matches a typed blank
      {QString::fromUtf8("ző"), {"Zo\xEB"}},  // ő has no Windows-1252 form: its base letter is used
      {QString::fromUtf8("✓"), {}},
      {"nothing like it", {}},
      {"",
       {"Bank", "Caf\xE9 Royal", "Das \xD6lfass",
        "Gro\xDF"
        "e Stra\xDF"
        "e",
        "inn", "Zo\xEB"}},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(Names(index.Find(c.typed, SearchOrder::ByName)), ElementsAreArray(c.names))
        << c.typed.toStdString();
  }
}

TEST(BookmarkSearch, FoldsEveryAccentedLetterToItsBase) {
  // The Windows-1252 letters of each row fold to the same text.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5", "aaaaaaaaaaaa"},
      {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", "eeeeeeee"},
      {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "iiiiiiii"},
      {"\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8", "oooooooooooo"},
      {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "uuuuuuuu"},
      {"\xC7\xE7\xD1\xF1\xDD\xFD\xFF\x9F", "ccnnyyyy"},
      {"\x8A\x9A\x8E\x9E\x83", "sszzf"},
      {"\xC6\xE6\x8C\x9C\xDF\xDE\xFE", "aeaeoeoessthth"},
      {"ABC xyz 123 \xB3\xD7", "abc xyz 123 \xB3\xD7"},  // separator and signs unchanged
  };
  for (const auto& [bytes, folded] : cases) EXPECT_EQ(FoldForSearch(bytes), folded) << bytes;
}

TEST(BookmarkSearch, OrdersByNameOrByDistanceFromTheCross) {
  const std::vector<SearchableBookmark> bookmarks = {
      {"beta", "", {100, 100}}, {"Alpha", "", {103, 104}}, {"gamma", "", {100, 95}},
      {"delta", "", {97, 96}},  {"alpha", "", {0, 0}},
  };
  const BookmarkSearchIndex index(bookmarks);
  // Names ignoring case; equal names keep their list order.
  EXPECT_THAT(index.Find("", SearchOrder::ByName), ElementsAreArray({1, 4, 0, 3, 2}));
  // From (100, 100): beta 0, then Alpha, gamma and delta all at 5 (by name), then alpha.
  EXPECT_THAT(index.Find("", SearchOrder::ByDistance, {100, 100}), ElementsAreArray({0, 1, 3, 2, 4}));
  EXPECT_THAT(index.Find("A", SearchOrder::ByDistance, {0, 0}), ElementsAreArray({4, 3, 2, 0, 1}));
  // Two lists in name order one after the other, as the find box hands them over.
  const BookmarkSearchIndex twoLists({{"Inn", "", {1, 1}},
                                      {"moongate", "", {2, 2}},
                                      {"Zoo", "", {3, 3}},
                                      {"bank", "", {4, 4}},
                                      {"inn", "", {5, 5}},
                                      {"shrine", "", {6, 6}}});
  EXPECT_THAT(twoLists.Find("", SearchOrder::ByName), ElementsAreArray({3, 0, 4, 1, 5, 2}));
  // Far corners of the world do not overflow the distance.
  EXPECT_THAT(index.Find("lph", SearchOrder::ByDistance, {WorldWidth, WorldHeight}),
              ElementsAreArray({1, 4}));
  // Hand-edited records with points far outside the world: the farther one still comes last.
  const BookmarkSearchIndex far({{"min", "", {INT32_MIN, INT32_MIN}}, {"max", "", {INT32_MAX, INT32_MAX}}});
  EXPECT_THAT(far.Find("", SearchOrder::ByDistance, {WorldWidth, WorldHeight}), ElementsAreArray({1, 0}));
  EXPECT_THAT(far.Find("", SearchOrder::ByDistance, {0, 0}), ElementsAreArray({1, 0}));
}

TEST(BookmarkSearch, AnEmptyIndexFindsNothing) {
  EXPECT_TRUE(BookmarkSearchIndex().Find("", SearchOrder::ByName).empty());
  EXPECT_TRUE(
      BookmarkSearchIndex(std::vector<SearchableBookmark>{}).Find("a", SearchOrder::ByDistance).empty());
}

}  // namespace
}  // namespace orv
