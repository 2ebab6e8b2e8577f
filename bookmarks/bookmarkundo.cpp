#include "bookmarks/bookmarkundo.h"

#include <algorithm>
#include <vector>

namespace orv {
namespace {

// Where record (with font, when given) stands: at preferred if it is there, else its first place.
std::optional<std::size_t> Locate(const BookmarkStore& store, BookmarkPage page, std::size_t preferred,
                                  const std::string& record, const std::string* font) {
  const std::vector<std::string>& records = store.Records(page);
  const std::vector<std::string>& fonts = store.Fonts(page);
  auto matches = [&](std::size_t i) {
    return records[i] == record && (!font || (i < fonts.size() && fonts[i] == *font));
  };
  if (preferred < records.size() && matches(preferred)) return preferred;
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (matches(i)) return i;
  }
  return std::nullopt;
}

}  // namespace

void BookmarkUndo::Delete(BookmarkStore& store, BookmarkPage page, std::size_t k, const std::string& map) {
  const std::vector<std::string>& records = store.Records(page);
  if (k >= records.size()) return;
  Step step{page, k, records[k], {}, store.Fonts(page)[k], Edit::Visibility, map};
  store.Remove(page, k);
  Push(std::move(step));
}

void BookmarkUndo::Replace(BookmarkStore& store, BookmarkPage page, std::size_t k, std::string updated,
                           Edit edit, const std::string& map) {
  const std::vector<std::string>& records = store.Records(page);
  if (k >= records.size() || records[k] == updated) return;
  Step step{page, k, records[k], updated, {}, edit, map};
  store.ReplaceRecord(page, k, std::move(updated));
  Push(std::move(step));
}

void BookmarkUndo::Normalise(BookmarkStore& store, BookmarkPage page, std::size_t k, std::string updated) {
  const std::vector<std::string>& records = store.Records(page);
  if (k >= records.size() || records[k] == updated) return;
  for (auto* steps : {&done_, &undone_}) {
    for (Step& step : *steps) {
      if (step.page != page) continue;
      if (step.before == records[k]) step.before = updated;
      if (step.after == records[k]) step.after = updated;
    }
  }
  store.ReplaceRecord(page, k, std::move(updated));
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
      // Typed and then rubbed out again: nothing is left to undo. The step before belongs to an
      // earlier edit, so what is typed next starts a step of its own.
      if (last.after == last.before) {
        done_.pop_back();
        sealed_ = true;
      }
      return;
    }
  }
  sealed_ = !notes;
  done_.push_back(std::move(step));
  if (done_.size() > kDepth) done_.pop_front();
}

std::optional<UndoneChange> BookmarkUndo::Apply(BookmarkStore& store, const Step& step, bool forwards) const {
  const std::string& from = forwards ? step.before : step.after;
  const std::string& to = forwards ? step.after : step.before;
  if (from.empty()) {
    // The deleted bookmark comes back with its font record, in name order, where the lists are kept
    // (bookmarks added since may stand where it stood).
    const std::size_t k = std::min(step.index, store.Records(step.page).size());
    store.Insert(step.page, k, to, step.font);
    store.Sort();
    return UndoneChange{step.page, Locate(store, step.page, k, to, &step.font)};
  }
  const auto k = Locate(store, step.page, step.index, from, to.empty() ? &step.font : nullptr);
  if (!k) return std::nullopt;
  if (to.empty()) {
    store.Remove(step.page, *k);
    return UndoneChange{step.page, std::nullopt};
  }
  store.ReplaceRecord(step.page, *k, to);
  return UndoneChange{step.page, *k};
}

std::optional<UndoneChange> BookmarkUndo::Move(std::deque<Step>& from, std::deque<Step>& to,
                                               BookmarkStore& store, const std::string& currentMap,
                                               bool forwards) {
  sealed_ = true;
  while (!from.empty()) {
    Step step = std::move(from.back());
    from.pop_back();
    if (!step.map.empty() && step.map != currentMap) continue;
    if (auto change = Apply(store, step, forwards)) {
      if (change->index) step.index = *change->index;
      to.push_back(std::move(step));
      return change;
    }
  }
  return std::nullopt;
}

std::optional<UndoneChange> BookmarkUndo::Undo(BookmarkStore& store, const std::string& currentMap) {
  return Move(done_, undone_, store, currentMap, false);
}

std::optional<UndoneChange> BookmarkUndo::Redo(BookmarkStore& store, const std::string& currentMap) {
  return Move(undone_, done_, store, currentMap, true);
}

}  // namespace orv
