#pragma once
// Bookmarks exchanged with other players as CSV or JSON files.
//
// CSV: RFC 4180, UTF-8 without a byte order mark (one is accepted on import), lines ending in CR LF,
// the header row "scope,map,name,x,y,visible,notes,face,size,colour,style", then one row per
// bookmark. A field is quoted when it holds a comma, a double quote or a line break. The notes are
// one field, their lines joined by line feeds; visible is "true" or "false".
// JSON: an array with one object per bookmark holding the same fields; notes is an array of lines.
//
// Import is all or nothing: it either accepts every row that can be stored (and lists the ones it
// skipped) or fails with one message and accepts none. It fails on a file over 64 MiB, a field
// over 1 MiB, text that is not UTF-8, wrong columns or keys, broken quoting or JSON syntax, and
// values that are not what their column holds (a scope other than "map" or "global", a coordinate
// that is not a whole number or lies outside the world, a visible other than true or false, a size
// or colour that is not a 32-bit whole number).
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.h"

namespace orv {

enum class BookmarkScope { Map, Global };

// One bookmark as exchanged. Texts are stored bytes (Windows-1252), as in the records.
struct ExchangeRow {
  BookmarkScope scope = BookmarkScope::Map;
  std::string map;  // the map info file's name without its folder ("britain.dem"); empty for global
  std::string name;
  Point world;  // world point
  bool visible = true;
  std::vector<std::string> notes;  // lines
  std::string face;                // font face name
  int32_t size = 10;               // points
  int32_t colour = 0;              // red in the lowest byte, then green, then blue
  std::string style;               // style letters, "b" "i" "u" "s"
  friend bool operator==(const ExchangeRow&, const ExchangeRow&) = default;
};

inline constexpr std::size_t MaxExchangeFieldBytes = std::size_t{1} << 20;  // 1 MiB
inline constexpr std::size_t MaxExchangeFileBytes = std::size_t{64} << 20;  // 64 MiB

// The file's bytes (UTF-8).
std::string ExportCsv(const std::vector<ExchangeRow>& rows);
std::string ExportJson(const std::vector<ExchangeRow>& rows);

// What an import is checked against and takes.
struct ImportTarget {
  std::string currentMap;              // the loaded map info file's name; empty when none is loaded
  std::vector<ExchangeRow> existing;   // the bookmarks there already (current map's and global)
  bool takeMap = true;                 // take the map rows (for currentMap)
  bool takeGlobal = true;              // take the global rows
  std::function<std::string()> newId;  // a new global bookmark identifier (NewBookmarkId)
};

struct ImportedRow {
  ExchangeRow row;
  std::string id;  // the new identifier of a global row; empty for a map row
};

struct ImportResult {
  QString error;                  // when not empty the import failed and rows is empty
  std::vector<ImportedRow> rows;  // the accepted rows, in file order
  // One entry per skipped row: where it stands, its name and why, ready to be listed.
  std::vector<QString> unstorable;  // holds what a bookmark record cannot hold
  std::vector<QString> present;     // same name and point as a bookmark there already
  std::vector<QString> otherMap;    // a map row of another map than the current one
  // Rows of the kind the user did not ask for (global rows when only the map's were asked for, and
  // map rows when only the global ones were): counted, so that the message says why they are missing.
  std::size_t globalNotAskedFor = 0;
  std::size_t mapNotAskedFor = 0;
  bool ok() const { return error.isEmpty(); }
  // The one message telling the user what was imported and every row skipped, by reason.
  QString Summary() const;
};

ImportResult ImportCsv(std::string_view fileBytes, const ImportTarget& target);
ImportResult ImportJson(std::string_view fileBytes, const ImportTarget& target);
// Reads path (refusing files over the size limit before reading them) and imports it as JSON when
// its name ends in ".json", as CSV otherwise.
ImportResult ImportBookmarkFile(const QString& path, const ImportTarget& target);
// Writes the rows to path (JSON when its name ends in ".json", CSV otherwise), replacing the file
// only once all of it is written. Empty when written, otherwise the message to show.
QString ExportBookmarkFile(const QString& path, const std::vector<ExchangeRow>& rows);

}  // namespace orv
