#pragma once
// The stored bookmark records as the search and the exchange files see them, and the imported
// bookmarks back into records.
#include <cstddef>
#include <string>
#include <vector>

#include "bookmarks/bookmarkexchange.h"
#include "bookmarks/bookmarksearch.h"
#include "bookmarks/bookmarkstore.h"

namespace orv {

// Each record's name, notes and world point, in list order; a coordinate that is not an integer
// counts as 0.
std::vector<SearchableBookmark> SearchableBookmarks(const std::vector<std::string>& records,
                                                    const BookmarkFields& fields);

// Which bookmarks an export writes or an import takes.
enum class ExchangeSet { CurrentMap, Global, All };

struct RowsToExport {
  std::vector<ExchangeRow> rows;  // the current map's in list order, then the global ones
  // Bookmarks left out because an exchange file cannot carry their point: a coordinate that is not
  // an integer or lies outside the world (hand-edited files). The file would be refused on import.
  std::vector<std::string> leftOut;  // their names (stored bytes)
};
// mapName is the current map info file's name without its folder.
RowsToExport ExportRows(const BookmarkLists& lists, ExchangeSet set, const std::string& mapName);

// The bookmarks there already (name and point), for telling duplicates on import.
std::vector<ExchangeRow> PresentBookmarks(const BookmarkLists& lists);

// Appends the imported bookmarks to their lists with their font records; global ones with their
// new identifiers. The lists are not sorted.
void AddImported(BookmarkLists& lists, const std::vector<ImportedRow>& rows);

// The file's name without its folder ("britain.dem"), as exchange files name maps.
std::string MapFileName(const std::string& mapFile);

}  // namespace orv
