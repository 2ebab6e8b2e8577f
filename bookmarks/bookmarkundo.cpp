#include "bookmarks/bookmarkundo.h"

#include <algorithm>
#include <vector>

namespace orv {
namespace {

struct PageLists {
  std::vector<std::string>& records;
  std::vector<std::string>& fonts;
};

PageLists ListsOf(BookmarkLists& lists, BookmarkPage page) {
  if (page == BookmarkPage::Global) return {lists.GlobalBookmarks, lists.GlobalBookmarkFonts};
  return {lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts};
}

// Where record (with font, when given) stands: at preferred if it is there, else its first place.
std::optional<std::size_t> Locate(const PageLists& page, std::size_t preferred, const std::string& record,
                                  const std::string* font) {
  auto matches = [&](std::size_t i) {
    return page.records[i] == record && (!font || (i < page.fonts.size() && page.fonts[i] == *font));
  };
  if (preferred < page.records.size() && matches(preferred)) return preferred;
  for (std::size_t i = 0; i < page.records.size(); ++i) {
    if (matches(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

void BookmarkUndo::Delete(BookmarkLists& lists, BookmarkPage page, std::size_t k, const std::string& map) {
  PageLists p = ListsOf(lists, page);
  if (k >= p.records.size()) return;
  Step step{page, k, p.records[k], {}, k < p.fonts.size() ? p.fonts[k] : std::string(), Edit::Visibility,
            map};
  p.records.erase(p.records.begin() + static_cast<std::ptrdiff_t>(k));
  if (k < p.fonts.size()) p.fonts.erase(p.fonts.begin() + static_cast<std::ptrdiff_t>(k));
  Push(std::move(step));
}

void BookmarkUndo::Replace(BookmarkLists& lists, BookmarkPage page, std::size_t k, std::string updated,
                           Edit edit, const std::string& map) {
  PageLists p = ListsOf(lists, page);
  if (k >= p.records.size() || p.records[k] == updated) return;
  Step step{page, k, p.records[k], updated, {}, edit, map};
  p.records[k] = std::move(updated);
  Push(std::move(step));
}

void BookmarkUndo::Normalise(BookmarkLists& lists, BookmarkPage page, std::size_t k, std::string updated) {
  PageLists p = ListsOf(lists, page);
  if (k >= p.records.size() || p.records[k] == updated) return;
  for (auto* steps : {&done_, &undone_}) {
    for (Step& step : *steps) {
      if (step.page != page) continue;
      if (step.before == p.records[k]) step.before = updated;
      if (step.after == p.records[k]) step.after = updated;
    }
  }
  p.records[k] = std::move(updated);
}

void BookmarkUndo::Push(Step step) {
  undone_.clear();
  const bool notes = step.edit == Edit::Notes && !step.after.empty();
  if (notes && !sealed_ && !done_.empty()) {
    Step& last = done_.back();
    if (last.edit == Edit::Notes && last.page == step.page && last.after == step.before &&
        last.map == step.map) {
      last.after = std::move(step.after);
      last.index = step.index;
      // Typed and then rubbed out again: nothing is left to undo.
      if (last.after == last.before) done_.pop_back();
      return;
    }
  }
  sealed_ = !notes;
  done_.push_back(std::move(step));
  if (done_.size() > kDepth) done_.pop_front();
}

std::optional<UndoneChange> BookmarkUndo::Apply(BookmarkLists& lists, const Step& step, bool forwards) const {
  PageLists p = ListsOf(lists, step.page);
  const std::string& from = forwards ? step.before : step.after;
  const std::string& to = forwards ? step.after : step.before;
  if (from.empty()) {
    // The deleted bookmark comes back where it stood, with its font record.
    const std::size_t k = std::min(step.index, p.records.size());
    p.records.insert(p.records.begin() + static_cast<std::ptrdiff_t>(k), to);
    p.fonts.insert(p.fonts.begin() + static_cast<std::ptrdiff_t>(std::min(k, p.fonts.size())), step.font);
    return UndoneChange{step.page, k};
  }
  const auto k = Locate(p, step.index, from, to.empty() ? &step.font : nullptr);
  if (!k) return std::nullopt;
  if (to.empty()) {
    p.records.erase(p.records.begin() + static_cast<std::ptrdiff_t>(*k));
    if (*k < p.fonts.size()) p.fonts.erase(p.fonts.begin() + static_cast<std::ptrdiff_t>(*k));
    return UndoneChange{step.page, std::nullopt};
  }
  p.records[*k] = to;
  return UndoneChange{step.page, *k};
}

std::optional<UndoneChange> BookmarkUndo::Move(std::deque<Step>& from, std::deque<Step>& to,
                                               BookmarkLists& lists, const std::string& currentMap,
                                               bool forwards) {
  sealed_ = true;
  while (!from.empty()) {
    Step step = std::move(from.back());
    from.pop_back();
    if (!step.map.empty() && step.map != currentMap) continue;
    if (auto change = Apply(lists, step, forwards)) {
      if (change->index) step.index = *change->index;
      to.push_back(std::move(step));
      return change;
    }
  }
  return std::nullopt;
}

std::optional<UndoneChange> BookmarkUndo::Undo(BookmarkLists& lists, const std::string& currentMap) {
  return Move(done_, undone_, lists, currentMap, false);
}

std::optional<UndoneChange> BookmarkUndo::Redo(BookmarkLists& lists, const std::string& currentMap) {
  return Move(undone_, done_, lists, currentMap, true);
}

}  // namespace orv
