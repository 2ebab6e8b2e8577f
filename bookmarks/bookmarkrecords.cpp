#include "bookmarks/bookmarkrecords.h"

#include <algorithm>
#include <array>

#include "bookmarks/bookmarkrows.h"
#include "storage/fields.h"
#include "storage/integers.h"
#include "view/localeorder.h"

namespace orv {
namespace {

const BookmarkFields& FieldsOf(BookmarkPage page) {
  return page == BookmarkPage::Global ? GlobalBookmarkFields : MapBookmarkFields;
}

// Fields 1 to N of a record, split in one pass; "" for those it lacks. Fields are the runs of bytes
// between separators, as FieldView reads them.
template <std::size_t N>
std::array<std::string_view, N> LeadingFields(std::string_view record) {
  std::array<std::string_view, N> fields{};
  std::size_t i = 0;
  for (std::size_t n = 0; n < N; ++n) {
    while (i < record.size() && record[i] == FieldSeparator) ++i;
    const std::size_t start = i;
    while (i < record.size() && record[i] != FieldSeparator) ++i;
    fields[n] = record.substr(start, i - start);
  }
  return fields;
}

// A font record: face name, size, colour, style letters. The letters are read as the drawing reads
// them: each present letter sets its attribute.
std::optional<BookmarkFontSpec> ParseFont(std::string_view fontRecord) {
  const auto fields = LeadingFields<4>(fontRecord);
  const auto size = ParseInt(fields[1]);
  const auto color = ParseInt(fields[2]);
  if (!size || !color) return std::nullopt;
  const std::string_view style = fields[3];
  const auto has = [style](char letter) { return style.find(letter) != std::string_view::npos; };
  return BookmarkFontSpec{std::string(fields[0]), *size, *color, has('b'), has('i'), has('u'), has('s')};
}

template <typename T>
void MoveInOrder(std::vector<T>& items, const std::vector<std::size_t>& order) {
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (std::size_t i : order) sorted.push_back(std::move(items[i]));
  items = std::move(sorted);
}

}  // namespace

Bookmark ParseBookmark(BookmarkPage page, std::string_view record, std::string_view fontRecord) {
  const BookmarkFields& f = FieldsOf(page);
  const auto fields = LeadingFields<6>(record);
  const auto field = [&fields](int n) { return fields[static_cast<std::size_t>(n - 1)]; };
  Bookmark b;
  if (page == BookmarkPage::Global) b.id = field(GlobalBookmarkIdField);
  b.visible = field(f.visibility) == VisibleValue;
  const auto x = ParseInt(field(f.x));
  const auto y = ParseInt(field(f.y));
  if (x && y) b.world = Point{*x, *y};
  b.name = field(f.name);
  if (!field(f.notes).empty()) b.notes = CommaTextToNotes(std::string(field(f.notes)));
  b.font = ParseFont(fontRecord);
  return b;
}

const std::vector<std::string>& BookmarkStore::Records(BookmarkPage page) const {
  return page == BookmarkPage::Global ? lists_.GlobalBookmarks : lists_.CurrentMapBookmarks;
}

const std::vector<std::string>& BookmarkStore::Fonts(BookmarkPage page) const {
  return page == BookmarkPage::Global ? lists_.GlobalBookmarkFonts : lists_.CurrentMapBookmarkFonts;
}

std::vector<std::string>& BookmarkStore::RecordsOf(BookmarkPage page) {
  return page == BookmarkPage::Global ? lists_.GlobalBookmarks : lists_.CurrentMapBookmarks;
}

std::vector<std::string>& BookmarkStore::FontsOf(BookmarkPage page) {
  return page == BookmarkPage::Global ? lists_.GlobalBookmarkFonts : lists_.CurrentMapBookmarkFonts;
}

void BookmarkStore::ParsePage(BookmarkPage page) {
  const std::vector<std::string>& records = Records(page);
  std::vector<std::string>& fonts = FontsOf(page);
  // A missing font record is an empty one, as the save writes it.
  fonts.resize(records.size());
  std::vector<Bookmark>& typed = Typed(page);
  typed.clear();
  typed.reserve(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) typed.push_back(ParseBookmark(page, records[i], fonts[i]));
}

void BookmarkStore::LoadGlobal(const IniDocument& settings, std::mt19937& random) {
  LoadGlobalBookmarks(lists_, settings, random);
  ParsePage(BookmarkPage::Global);
  emit changed();
}

void BookmarkStore::LoadMap(const IniDocument& map) {
  LoadMapBookmarks(lists_, map);
  // The load sets each global record's visibility field to a value without a separator, and its other
  // fields read as they did: only the visibility is read again.
  std::vector<Bookmark>& globals = Typed(BookmarkPage::Global);
  if (globals.size() == lists_.GlobalBookmarks.size()) {
    for (std::size_t i = 0; i < globals.size(); ++i)
      globals[i].visible =
          FieldView(GlobalBookmarkFields.visibility, lists_.GlobalBookmarks[i]) == VisibleValue;
  } else {
    ParsePage(BookmarkPage::Global);
  }
  ParsePage(BookmarkPage::CurrentMap);
  emit changed();
}

bool BookmarkStore::Save(const std::string& mapFile, const std::string& settingsFile,
                         std::string* failedFile) const {
  return SaveBookmarks(lists_, mapFile, settingsFile, failedFile);
}

void BookmarkStore::Replace(BookmarkLists lists) {
  lists_ = std::move(lists);
  ParsePage(BookmarkPage::Global);
  ParsePage(BookmarkPage::CurrentMap);
  emit changed();
}

void BookmarkStore::UserChanged() {
  emit changed();
  emit edited();
}

void BookmarkStore::Add(BookmarkPage page, std::string record, std::string fontRecord) {
  Insert(page, Records(page).size(), std::move(record), std::move(fontRecord));
}

void BookmarkStore::Insert(BookmarkPage page, std::size_t k, std::string record, std::string fontRecord) {
  k = std::min(k, Records(page).size());
  const auto at = static_cast<std::ptrdiff_t>(k);
  Typed(page).insert(Typed(page).begin() + at, ParseBookmark(page, record, fontRecord));
  RecordsOf(page).insert(RecordsOf(page).begin() + at, std::move(record));
  FontsOf(page).insert(FontsOf(page).begin() + at, std::move(fontRecord));
  UserChanged();
}

void BookmarkStore::Remove(BookmarkPage page, std::size_t k) {
  if (k >= Records(page).size()) return;
  const auto at = static_cast<std::ptrdiff_t>(k);
  RecordsOf(page).erase(RecordsOf(page).begin() + at);
  FontsOf(page).erase(FontsOf(page).begin() + at);
  Typed(page).erase(Typed(page).begin() + at);
  UserChanged();
}

void BookmarkStore::ReplaceRecord(BookmarkPage page, std::size_t k, std::string record) {
  if (k >= Records(page).size() || Records(page)[k] == record) return;
  Typed(page)[k] = ParseBookmark(page, record, Fonts(page)[k]);
  RecordsOf(page)[k] = std::move(record);
  UserChanged();
}

void BookmarkStore::AddImported(const std::vector<ImportedRow>& rows) {
  if (rows.empty()) return;
  BookmarkLists added;
  orv::AddImported(added, rows);
  for (BookmarkPage page : {BookmarkPage::Global, BookmarkPage::CurrentMap}) {
    auto& records = page == BookmarkPage::Global ? added.GlobalBookmarks : added.CurrentMapBookmarks;
    auto& fonts = page == BookmarkPage::Global ? added.GlobalBookmarkFonts : added.CurrentMapBookmarkFonts;
    for (std::size_t i = 0; i < records.size(); ++i) {
      Typed(page).push_back(ParseBookmark(page, records[i], fonts[i]));
      RecordsOf(page).push_back(std::move(records[i]));
      FontsOf(page).push_back(std::move(fonts[i]));
    }
  }
  UserChanged();
}

std::string BookmarkStore::WithNotes(BookmarkPage page, std::size_t k,
                                     const std::vector<std::string>& lines) const {
  return SetField(FieldsOf(page).notes, Records(page)[k], FieldSeparator, NotesToCommaText(lines));
}

std::string BookmarkStore::WithVisibility(BookmarkPage page, std::size_t k, bool visible) const {
  return SetField(FieldsOf(page).visibility, Records(page)[k], FieldSeparator,
                  std::string(VisibilityValue(visible)));
}

bool BookmarkStore::SortPage(BookmarkPage page) {
  const std::vector<Bookmark>& typed = Typed(page);
  std::vector<std::string_view> names;
  names.reserve(typed.size());
  for (const Bookmark& b : typed) names.push_back(b.name);
  const std::vector<std::size_t> order = LocaleOrder(names);
  bool moved = false;
  for (std::size_t i = 0; i < order.size() && !moved; ++i) moved = order[i] != i;
  if (!moved) return false;
  MoveInOrder(RecordsOf(page), order);
  MoveInOrder(FontsOf(page), order);
  MoveInOrder(Typed(page), order);
  return true;
}

void BookmarkStore::Sort() {
  const bool global = SortPage(BookmarkPage::Global);
  const bool current = SortPage(BookmarkPage::CurrentMap);
  if (global || current) emit changed();
}

}  // namespace orv
