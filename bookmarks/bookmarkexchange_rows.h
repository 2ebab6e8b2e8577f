#pragma once
// What the CSV and JSON readers and writers of bookmark exchange files share: the column names, the
// rows as read (text still as the file had it), and the step that turns them into bookmarks.
#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "bookmarks/bookmarkexchange.h"

namespace orv::exchange {

// The columns of a CSV file and the keys of a JSON object, in file order.
inline constexpr std::array<const char*, 11> kColumns = {"scope", "map",  "name", "x",      "y",    "visible",
                                                         "notes", "face", "size", "colour", "style"};

// A row whose structure and values were valid; its texts are not yet known to fit in a record.
struct ParsedRow {
  QString where;  // "line 4", "bookmark 3": how the messages name the row
  BookmarkScope scope = BookmarkScope::Map;
  QString map, name, face, style;
  std::vector<QString> notes;
  Point world;  // world point, inside the world
  bool visible = true;
  int32_t size = 0;
  int32_t colour = 0;
};

// Checks that apply before either reader looks at the file: its size, and that it is UTF-8 text.
// Returns the message of the first failure, with the byte order mark (if any) cut off bytes.
std::optional<QString> CheckFileText(std::string_view& bytes);

// Turns the rows into bookmarks for target: skips (and lists) those that a record cannot hold, that
// are there already or that belong to another map, and gives each global row a new identifier.
ImportResult AcceptRows(const std::vector<ParsedRow>& rows, const ImportTarget& target);

// The value of a scope column or key, or nothing when it is neither "map" nor "global".
std::optional<BookmarkScope> ParseScope(const QString& text);
const char* ScopeText(BookmarkScope scope);
// "line 4: x is 6000, outside the world (0 to 5120)" when the point lies outside the world.
std::optional<QString> CheckInsideWorld(const QString& where, Point world);
// The message for a field over the size limit.
QString FieldTooLarge(const QString& where, const char* column);
// A stored text as UTF-8 for the file.
std::string ToUtf8(const std::string& stored);

}  // namespace orv::exchange
