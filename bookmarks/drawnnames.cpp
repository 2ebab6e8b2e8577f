#include "bookmarks/drawnnames.h"

#include <span>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/namehalo.h"
#include "core/numbers.h"
#include "storage/fields.h"

namespace orv {
namespace {

// Field numbers of one record layout; the name is the last one read.
struct Layout {
  int visibility, x, y, name;
};
constexpr Layout kGlobalLayout{2, 3, 4, 5};
constexpr Layout kMapLayout{1, 2, 3, 4};
constexpr int kMostFieldsRead = 5;

// What a font record gives: its drawing font's record with the colour left out, and the colour.
// Nothing when the size or colour is not an integer.
struct FontParts {
  std::string shape;
  QRgb color = 0;
};
std::optional<FontParts> PartsOf(const std::string& fontRecord) {
  if (fontRecord.empty()) return FontParts{{}, qRgb(0, 0, 0)};
  const std::string_view size = FieldView(2, fontRecord);
  const auto color = ParseInt(FieldView(3, fontRecord));
  if (!ParseInt(size) || !color) return std::nullopt;
  return FontParts{JoinFields({FieldView(1, fontRecord), size, "0", FieldView(4, fontRecord)}),
                   ColorOfFontValue(*color).rgb()};
}

}  // namespace

const DrawnNames::Font& DrawnNames::FontOf(const std::string& fontRecord) {
  if (const auto known = fontRecords_.find(fontRecord); known != fontRecords_.end()) return known->second;
  Font font;
  if (auto parts = PartsOf(fontRecord)) {
    auto [shape, isNew] = shapeIndex_.try_emplace(parts->shape, static_cast<uint32_t>(fontShapes_.size()));
    if (isNew) fontShapes_.push_back(std::move(parts->shape));
    font = std::pair{shape->second, parts->color};
  }
  return fontRecords_.emplace(fontRecord, font).first->second;
}

bool DrawnNames::Take(const BookmarkLists& lists) {
  const std::size_t records = lists.GlobalBookmarks.size() + lists.CurrentMapBookmarks.size();
  if (fontRecords_.size() > 2 * records + 64) {
    // Most fonts met belong to bookmarks long gone: they are forgotten, and the fonts numbered anew.
    fontRecords_.clear();
    fontShapes_.clear();
    shapeIndex_.clear();
    entries_.clear();
    names_.clear();
  }
  taken_.clear();
  takenNames_.clear();
  const auto add = [&](const std::vector<std::string>& list, const std::vector<std::string>& fontList,
                       const Layout& layout, bool global) {
    static const std::string kNoFont;
    std::string_view fields[kMostFieldsRead];
    for (std::size_t i = 0; i < list.size(); ++i) {
      FirstFields(list[i], std::span(fields, static_cast<std::size_t>(layout.name)));
      if (fields[layout.visibility - 1] != VisibleValue) continue;
      const auto x = ParseInt(fields[layout.x - 1]);
      const auto y = ParseInt(fields[layout.y - 1]);
      if (!x || !y) continue;
      const Font& font = FontOf(i < fontList.size() ? fontList[i] : kNoFont);
      if (!font) continue;
      const std::string_view name = fields[layout.name - 1].substr(0, NameLabelMostLetters);
      taken_.push_back({{*x, *y},
                        font->first,
                        font->second,
                        {global, i},
                        takenNames_.size(),
                        static_cast<uint32_t>(name.size())});
      takenNames_.append(name);
    }
  };
  add(lists.GlobalBookmarks, lists.GlobalBookmarkFonts, kGlobalLayout, true);
  add(lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts, kMapLayout, false);

  bool same = taken_.size() == entries_.size();
  for (std::size_t i = 0; same && i < taken_.size(); ++i) {
    const DrawnName &a = taken_[i], &b = entries_[i];
    same = a.world == b.world && a.color == b.color && a.font == b.font &&
           std::string_view(takenNames_.data() + a.nameAt, a.nameSize) == NameOf(b);
  }
  std::swap(entries_, taken_);
  std::swap(names_, takenNames_);
  return !same;
}

}  // namespace orv
