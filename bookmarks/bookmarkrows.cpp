#include "bookmarks/bookmarkrows.h"

#include "core/numbers.h"
#include "storage/fields.h"

namespace orv {
namespace {

std::string Field(int n, const std::string& record) {
  return GetField(n, record, FieldSeparator);
}

// Appends the rows of one list; records whose point an exchange file cannot carry go to leftOut.
void AppendRows(const std::vector<std::string>& records, const std::vector<std::string>& fonts,
                const BookmarkFields& fields, BookmarkScope scope, const std::string& mapName,
                RowsToExport& out) {
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string& record = records[i];
    ExchangeRow row;
    row.scope = scope;
    row.map = scope == BookmarkScope::Map ? mapName : std::string();
    row.name = Field(fields.name, record);
    const auto x = ParseInt(Field(fields.x, record)), y = ParseInt(Field(fields.y, record));
    if (!x || !y || !InsideWorld({*x, *y})) {
      out.leftOut.push_back(row.name);
      continue;
    }
    row.world = {*x, *y};
    // As the map draws it: only the exact "V" is visible.
    row.visible = Field(fields.visibility, record) == VisibleValue;
    row.notes = CommaTextToNotes(Field(fields.notes, record));
    const std::string font = i < fonts.size() ? fonts[i] : std::string();
    row.face = Field(1, font);
    row.size = IntOr(Field(2, font), row.size);
    row.colour = IntOr(Field(3, font), row.colour);
    row.style = Field(4, font);
    out.rows.push_back(std::move(row));
  }
}

}  // namespace

std::vector<SearchableBookmark> SearchableBookmarks(const std::vector<std::string>& records,
                                                    const BookmarkFields& fields) {
  std::vector<SearchableBookmark> out;
  out.reserve(records.size());
  for (const std::string& record : records) {
    out.push_back({Field(fields.name, record),
                   Field(fields.notes, record),
                   {IntOr(Field(fields.x, record), 0), IntOr(Field(fields.y, record), 0)}});
  }
  return out;
}

RowsToExport ExportRows(const BookmarkLists& lists, ExchangeSet set, const std::string& mapName) {
  RowsToExport out;
  if (set != ExchangeSet::Global) {
    AppendRows(lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts, MapBookmarkFields,
               BookmarkScope::Map, mapName, out);
  }
  if (set != ExchangeSet::CurrentMap) {
    AppendRows(lists.GlobalBookmarks, lists.GlobalBookmarkFonts, GlobalBookmarkFields, BookmarkScope::Global,
               mapName, out);
  }
  return out;
}

std::vector<ExchangeRow> PresentBookmarks(const BookmarkLists& lists) {
  std::vector<ExchangeRow> out;
  out.reserve(lists.CurrentMapBookmarks.size() + lists.GlobalBookmarks.size());
  auto add = [&](const std::vector<std::string>& records, const BookmarkFields& fields, BookmarkScope scope) {
    for (const SearchableBookmark& b : SearchableBookmarks(records, fields)) {
      ExchangeRow row;
      row.scope = scope;
      row.name = b.name;
      row.world = b.world;
      out.push_back(std::move(row));
    }
  };
  add(lists.CurrentMapBookmarks, MapBookmarkFields, BookmarkScope::Map);
  add(lists.GlobalBookmarks, GlobalBookmarkFields, BookmarkScope::Global);
  return out;
}

void AddImported(BookmarkLists& lists, const std::vector<ImportedRow>& rows) {
  for (const ImportedRow& imported : rows) {
    const ExchangeRow& row = imported.row;
    const std::string x = std::to_string(row.world.x), y = std::to_string(row.world.y);
    const std::string_view visibility = VisibilityValue(row.visible);
    const bool global = row.scope == BookmarkScope::Global;
    std::string record = global ? JoinFields({imported.id, visibility, x, y, row.name})
                                : JoinFields({visibility, x, y, row.name});
    // No notes, no notes field: an empty one would be read back as one empty line.
    if (!row.notes.empty()) {
      record = SetField(global ? GlobalBookmarkFields.notes : MapBookmarkFields.notes, record, FieldSeparator,
                        NotesToCommaText(row.notes));
    }
    std::string font =
        JoinFields({row.face, std::to_string(row.size), std::to_string(row.colour), row.style});
    (global ? lists.GlobalBookmarks : lists.CurrentMapBookmarks).push_back(std::move(record));
    (global ? lists.GlobalBookmarkFonts : lists.CurrentMapBookmarkFonts).push_back(std::move(font));
  }
}

std::string MapFileName(const std::string& mapFile) {
  const auto slash = mapFile.find_last_of("/\\");
  return slash == std::string::npos ? mapFile : mapFile.substr(slash + 1);
}

}  // namespace orv
