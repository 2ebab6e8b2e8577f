#pragma once
// The four bookmark lists and their loading, saving, conversion of older layouts and ordering.
//
// Records are field strings (storage/fields.h) joined by FieldSeparator.
//   current-map record: visibility ("V"/"N"), X, Y (world), name, notes (comma text, optional)
//   global record:      identifier, visibility on the current map, X, Y, name, notes
//   font record:        face name, size (points), colour (red in the lowest byte), style letters
// Each font list runs parallel to its record list.
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class IniDocument;

// The field numbers of one kind of record, and the global record's identifier.
struct BookmarkFields {
  int visibility, x, y, name, notes;
};
inline constexpr BookmarkFields MapBookmarkFields{1, 2, 3, 4, 5};
inline constexpr BookmarkFields GlobalBookmarkFields{2, 3, 4, 5, 6};
inline constexpr int GlobalBookmarkIdField = 1;
// The visibility field's values: the name is drawn on the map, or it is not.
inline constexpr std::string_view VisibleValue = "V";
inline constexpr std::string_view HiddenValue = "N";
inline std::string_view VisibilityValue(bool visible) {
  return visible ? VisibleValue : HiddenValue;
}

struct BookmarkLists {
  std::vector<std::string> CurrentMapBookmarks;
  std::vector<std::string> CurrentMapBookmarkFonts;
  std::vector<std::string> GlobalBookmarks;
  std::vector<std::string> GlobalBookmarkFonts;
};

// Replaces the global lists with the settings file's section "Map Bookmarks", converting the older
// layouts (new identifiers for the oldest one come from random).
void LoadGlobalBookmarks(BookmarkLists& lists, const IniDocument& settings, std::mt19937& random);
void LoadGlobalBookmarks(BookmarkLists& lists, const std::string& settingsFile, std::mt19937& random);
// Sets every global bookmark's visibility from mapFile and replaces the current-map lists with it.
void LoadMapBookmarks(BookmarkLists& lists, const IniDocument& map);
void LoadMapBookmarks(BookmarkLists& lists, const std::string& mapFile);
// Writes the current-map bookmarks and global visibilities into mapFile and the global bookmarks
// into settingsFile; each file is read and written once. With an empty mapFile (no map loaded) only the
// settings-file half is written. False when a file could not be written; failedFile, when given,
// then receives the path of the (first) file that failed.
bool SaveBookmarks(const BookmarkLists& lists, const std::string& mapFile, const std::string& settingsFile,
                   std::string* failedFile = nullptr);
// The same, with alsoInMap making more changes to the map info file's document before it is written
// (the map's links, in a save of everything the map holds), so that the file is read and written once.
bool SaveBookmarks(const BookmarkLists& lists, const std::string& mapFile, const std::string& settingsFile,
                   const std::function<void(IniDocument&)>& alsoInMap, std::string* failedFile = nullptr);
// The changes SaveBookmarks makes to the documents: map is null without a map, and the same
// document as settings when the map info file is the settings file.
void PutBookmarks(const BookmarkLists& lists, IniDocument* map, IniDocument& settings);
// Orders each record list (with its font list) by name, ignoring case, in the user's locale order.
void SortBookmarks(BookmarkLists& lists);
// Ten characters drawn from the identifier alphabet.
std::string NewBookmarkId(std::mt19937& random);

// Notes as one line of comma text, and back.
std::string NotesToCommaText(const std::vector<std::string>& lines);
std::vector<std::string> CommaTextToNotes(const std::string& text);

}  // namespace orv
