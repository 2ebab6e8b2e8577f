#include "storage/bookmarkfont.h"

#include <cstdint>
#include <string_view>

#include "storage/fields.h"
#include "storage/inifile.h"
#include "storage/integers.h"
#include "storage/settings.h"

namespace orv {
namespace {

constexpr const char* kSection = "Bookmark Font";

}  // namespace

std::string StyleLetters(const BookmarkFontSpec& font) {
  std::string letters;
  if (font.bold) letters += 'b';
  if (font.italic) letters += 'i';
  if (font.underline) letters += 'u';
  if (font.strikeout) letters += 's';
  return letters;
}

BookmarkFontSpec ReadBookmarkFont(const std::string& settingsFile) {
  // The settings file also holds the global bookmarks: it is read once for the four keys.
  const IniDocument settings = LoadIniFile(settingsFile).document;
  BookmarkFontSpec font;  // the defaults, for the keys that are missing
  font.color = IntOr(settings.Value(kSection, "Color"), font.color);
  // A name holding the field separator would shift the fields of every new bookmark's font record.
  const std::string name = settings.Value(kSection, "Name");
  if (!name.empty() && name.find(FieldSeparator) == std::string::npos) font.name = name;
  font.size = IntOr(settings.Value(kSection, "Size"), font.size);
  // Only lower-case letters count; an empty (or missing) style means bold.
  const std::string style = settings.Value(kSection, "Style");
  font.bold = style.empty() || style.find('b') != std::string::npos;
  font.italic = style.find('i') != std::string::npos;
  font.underline = style.find('u') != std::string::npos;
  font.strikeout = style.find('s') != std::string::npos;
  return font;
}

bool WriteBookmarkFont(const std::string& settingsFile, const BookmarkFontSpec& font) {
  SettingsWriteGroup group(settingsFile);
  bool ok = WriteSetting(kSection, "Color", settingsFile, std::to_string(font.color));
  ok = WriteSetting(kSection, "Name", settingsFile, font.name) && ok;
  ok = WriteSetting(kSection, "Size", settingsFile, std::to_string(font.size)) && ok;
  // A font with no attribute writes an empty style, which removes the key: it reads back as bold.
  ok = WriteSetting(kSection, "Style", settingsFile, StyleLetters(font)) && ok;
  return group.Close() && ok;
}

}  // namespace orv
