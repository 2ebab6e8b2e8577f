#pragma once
// The font given to new bookmarks, as kept in the settings file's section "Bookmark Font".
#include <cstdint>
#include <string>

namespace orv {

struct BookmarkFontSpec {
  std::string name = "Arial";
  int32_t size = 10;  // points
  int32_t color = 0;  // red in the lowest byte, then green, then blue
  bool bold = true;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  friend bool operator==(const BookmarkFontSpec&, const BookmarkFontSpec&) = default;
};

// The style letters "b", "i", "u", "s" of the set attributes, in that order.
std::string StyleLetters(const BookmarkFontSpec& font);
// Reads "Color", "Name", "Size" and "Style" with their defaults (black, Arial, 10, bold when empty).
BookmarkFontSpec ReadBookmarkFont(const std::string& settingsFile);
// Writes the four keys; false when the file could not be written.
bool WriteBookmarkFont(const std::string& settingsFile, const BookmarkFontSpec& font);

}  // namespace orv
