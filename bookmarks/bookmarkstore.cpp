// Stand-in for the bookmark store until its own code lands; replaced wholesale by it.
#include "bookmarks/bookmarkstore.h"

namespace orv {

void LoadGlobalBookmarks(BookmarkLists& lists, const std::string&, std::mt19937&) {
  lists.GlobalBookmarks.clear();
  lists.GlobalBookmarkFonts.clear();
}
void LoadMapBookmarks(BookmarkLists& lists, const std::string&) {
  lists.CurrentMapBookmarks.clear();
  lists.CurrentMapBookmarkFonts.clear();
}
bool SaveBookmarks(const BookmarkLists&, const std::string&, const std::string&) {
  return true;
}
void SortBookmarks(BookmarkLists&) {}
std::string NewBookmarkId(std::mt19937&) {
  return "AAAAAAAAAA";
}
std::string NotesToCommaText(const std::vector<std::string>&) {
  return {};
}
std::vector<std::string> CommaTextToNotes(const std::string&) {
  return {};
}

}  // namespace orv
