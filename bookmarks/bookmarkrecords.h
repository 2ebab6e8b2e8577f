#pragma once
// The bookmark store: the current map's and the global bookmarks, each kept as its record and font
// record as read or made (what is saved, byte for byte) with the fields the program reads taken out of
// it once. Every change is announced with changed(); the changes the user makes, which are to be
// saved, also with edited().
//
// Record layouts are those of bookmarks/bookmarkstore.h. A record whose fields do not parse (a
// hand-edited file) is kept and saved as it was; only its typed fields are missing.
#include <QObject>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "bookmarks/bookmarkstore.h"
#include "core/geometry.h"
#include "storage/bookmarkfont.h"

namespace orv {

class IniDocument;
struct ImportedRow;

// The two lists: the current map's bookmarks and the global ones.
enum class BookmarkPage { CurrentMap, Global };

// The fields of one bookmark's record and font record, as far as they parse.
struct Bookmark {
  std::string id;                        // global bookmarks only
  bool visible = false;                  // the visibility is exactly "V": the name is drawn
  std::optional<Point> world;            // world point; none when a coordinate is not an integer
  std::string name;                      // stored bytes
  std::vector<std::string> notes;        // one entry per line
  std::optional<BookmarkFontSpec> font;  // none when the size or colour is not an integer
  friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

Bookmark ParseBookmark(BookmarkPage page, std::string_view record, std::string_view fontRecord);

class BookmarkStore : public QObject {
  Q_OBJECT
 public:
  explicit BookmarkStore(QObject* parent = nullptr) : QObject(parent) {}

  // The lists as stored, for drawing, searching, exporting and saving. The references stay valid
  // as long as the store.
  const BookmarkLists& Lists() const { return lists_; }
  const std::vector<std::string>& CurrentMapBookmarks() const { return lists_.CurrentMapBookmarks; }
  const std::vector<std::string>& CurrentMapBookmarkFonts() const { return lists_.CurrentMapBookmarkFonts; }
  const std::vector<std::string>& GlobalBookmarks() const { return lists_.GlobalBookmarks; }
  const std::vector<std::string>& GlobalBookmarkFonts() const { return lists_.GlobalBookmarkFonts; }
  const std::vector<std::string>& Records(BookmarkPage page) const;
  // Runs parallel to Records(page), one font record for each record.
  const std::vector<std::string>& Fonts(BookmarkPage page) const;
  // The fields of record k of the page.
  const Bookmark& at(BookmarkPage page, std::size_t k) const { return Typed(page)[k]; }

  // Replaces the global bookmarks with those of the settings document.
  void LoadGlobal(const IniDocument& settings, std::mt19937& random);
  // Takes the global bookmarks' visibility on the map and replaces the current map's bookmarks with
  // the map document's.
  void LoadMap(const IniDocument& map);
  // Writes both halves as SaveBookmarks does; false when a file could not be written.
  bool Save(const std::string& mapFile, const std::string& settingsFile,
            std::string* failedFile = nullptr) const;
  // Replaces all four lists (a font list is cut or filled with empty font records to its records).
  void Replace(BookmarkLists lists);

  // The user's changes. Add appends without sorting; Insert puts a bookmark at k (a deletion undone).
  void Add(BookmarkPage page, std::string record, std::string fontRecord);
  void Insert(BookmarkPage page, std::size_t k, std::string record, std::string fontRecord);
  void Remove(BookmarkPage page, std::size_t k);
  void ReplaceRecord(BookmarkPage page, std::size_t k, std::string record);
  // Appends the imported bookmarks to their lists, unsorted.
  void AddImported(const std::vector<ImportedRow>& rows);
  // Record k of the page with other notes or another visibility: what ReplaceRecord is given to make
  // such a change.
  std::string WithNotes(BookmarkPage page, std::size_t k, const std::vector<std::string>& lines) const;
  std::string WithVisibility(BookmarkPage page, std::size_t k, bool visible) const;

  // Orders each list with its fonts by name, ignoring case, in the user's locale order; announces a
  // change only when something moved.
  void Sort();

 signals:
  void changed();
  void edited();

 private:
  std::vector<std::string>& RecordsOf(BookmarkPage page);
  std::vector<std::string>& FontsOf(BookmarkPage page);
  std::vector<Bookmark>& Typed(BookmarkPage page) {
    return page == BookmarkPage::Global ? global_ : current_;
  }
  const std::vector<Bookmark>& Typed(BookmarkPage page) const {
    return page == BookmarkPage::Global ? global_ : current_;
  }
  // Parses every record of the page again.
  void ParsePage(BookmarkPage page);
  // True when the page's order changed.
  bool SortPage(BookmarkPage page);
  void UserChanged();

  BookmarkLists lists_;
  std::vector<Bookmark> global_;   // parallel to lists_.GlobalBookmarks
  std::vector<Bookmark> current_;  // parallel to lists_.CurrentMapBookmarks
};

}  // namespace orv
