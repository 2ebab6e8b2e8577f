// Stand-in for the bookmark font keys until their own code lands; replaced wholesale by it.
#include "storage/bookmarkfont.h"

#include "core/numbers.h"
#include "storage/settings.h"

namespace orv {

std::string StyleLetters(const BookmarkFontSpec& font) {
  std::string s;
  if (font.bold) s += 'b';
  if (font.italic) s += 'i';
  if (font.underline) s += 'u';
  if (font.strikeout) s += 's';
  return s;
}

BookmarkFontSpec ReadBookmarkFont(const std::string& file) {
  BookmarkFontSpec f;
  f.color = IntOr(ReadSetting("Bookmark Font", "Color", file), 0);
  f.name = ReadSetting("Bookmark Font", "Name", file);
  if (f.name.empty()) f.name = "Arial";
  f.size = IntOr(ReadSetting("Bookmark Font", "Size", file), 10);
  const std::string style = ReadSetting("Bookmark Font", "Style", file);
  f.bold = style.empty() || style.find('b') != std::string::npos;
  f.italic = style.find('i') != std::string::npos;
  f.underline = style.find('u') != std::string::npos;
  f.strikeout = style.find('s') != std::string::npos;
  return f;
}

bool WriteBookmarkFont(const std::string& file, const BookmarkFontSpec& f) {
  bool ok = WriteSetting("Bookmark Font", "Color", file, std::to_string(f.color));
  ok = WriteSetting("Bookmark Font", "Name", file, f.name) && ok;
  ok = WriteSetting("Bookmark Font", "Size", file, std::to_string(f.size)) && ok;
  ok = WriteSetting("Bookmark Font", "Style", file, StyleLetters(f)) && ok;
  return ok;
}

}  // namespace orv
