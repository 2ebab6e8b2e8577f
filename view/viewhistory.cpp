#include "view/viewhistory.h"

#include <algorithm>

namespace orv {

ViewHistory::ViewHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 2)) {}

void ViewHistory::Record(const ViewEntry& view) {
  if (!entries_.empty() && entries_[current_] == view) return;
  // A new view after going back replaces the views that were ahead, as in a browser.
  if (!entries_.empty()) entries_.erase(entries_.begin() + std::ptrdiff_t(current_) + 1, entries_.end());
  entries_.push_back(view);
  if (entries_.size() > capacity_) entries_.pop_front();
  current_ = entries_.size() - 1;
}

void ViewHistory::Settle(Time now, bool forgetUnheld) {
  if (PendingHeld(now)) {
    Record(pending_->view);
    pending_.reset();
  } else if (forgetUnheld) {
    pending_.reset();
  }
}

void ViewHistory::Jump(const ViewEntry& view, Time now) {
  Settle(now, true);
  Record(view);
}

void ViewHistory::Move(const ViewEntry& view, Time now) {
  Settle(now, false);
  if (!entries_.empty() && entries_[current_] == view) {
    pending_.reset();  // moved back onto the recorded view
    return;
  }
  pending_ = Pending{view, now};
}

std::optional<ViewEntry> ViewHistory::Back(Time now) {
  Settle(now, false);
  if (entries_.empty()) return std::nullopt;
  if (pending_) {
    pending_.reset();
    return entries_[current_];
  }
  if (current_ == 0) return std::nullopt;
  return entries_[--current_];
}

std::optional<ViewEntry> ViewHistory::Forward(Time now) {
  Settle(now, false);
  if (entries_.empty() || current_ + 1 >= entries_.size()) return std::nullopt;
  pending_.reset();
  return entries_[++current_];
}

void ViewHistory::ForgetMap(const std::string& mapFile) {
  const auto gone = [&](const ViewEntry& e) { return e.mapFile == mapFile; };
  if (!entries_.empty())
    current_ -= std::count_if(entries_.begin(), entries_.begin() + std::ptrdiff_t(current_), gone);
  std::erase_if(entries_, gone);
}

bool ViewHistory::CanGoBack() const {
  // A move not yet recorded, held or not, has the current entry behind it.
  return !entries_.empty() && (pending_ || current_ > 0);
}

bool ViewHistory::CanGoForward(Time now) const {
  return !PendingHeld(now) && !entries_.empty() && current_ + 1 < entries_.size();
}

}  // namespace orv
