#pragma once
// The views the user has been to, for Back and Forward. No widgets, no clock of its own: every call
// that can record a view is given the time, so the rules about time are testable without waiting.
//
// Two kinds of view change are told apart:
// - a jump (Update of a coordinate panel, a bookmark chosen, a map loaded, a link followed) is
//   always recorded;
// - a move (a wheel step, a drag, a key pan, a zoom step) is recorded only once the view has been
//   held for HoldTime. A burst of wheel steps or the steps of a drag replace each other, so the burst
//   ends up as one entry, and a view passed through in less than HoldTime is not recorded at all.
#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "core/geometry.h"

namespace orv {

struct ViewEntry {
  std::string mapFile;  // full path of the map info file
  int32_t zoomPercent = 100;
  Point centre;  // the view's centre, in picture pixels
  friend bool operator==(const ViewEntry&, const ViewEntry&) = default;
};

class ViewHistory {
 public:
  using Time = std::chrono::steady_clock::time_point;
  static constexpr std::chrono::milliseconds HoldTime{1000};
  static constexpr std::size_t DefaultCapacity = 100;

  // capacity: the most entries kept; the oldest go first. At least 2.
  explicit ViewHistory(std::size_t capacity = DefaultCapacity);

  // The view was jumped to at now; recorded at once (unless it is the entry already current). The
  // view left behind is recorded first when it had been held long enough.
  void Jump(const ViewEntry& view, Time now);
  // The view changed by a move at now. Not recorded yet: see the rules above.
  void Move(const ViewEntry& view, Time now);

  // The view to show for Back or Forward, if there is one. The caller shows it without calling Jump
  // or Move. A move not yet recorded counts as the newest view: Back from it returns to the last
  // recorded entry, and the moved view is forgotten unless it had been held long enough.
  std::optional<ViewEntry> Back(Time now);
  std::optional<ViewEntry> Forward(Time now);

  // Drops the entries of a map that can no longer be loaded. The entry shown is never of that map
  // (its map is loaded), so it stays the one shown.
  void ForgetMap(const std::string& mapFile);

  bool CanGoBack() const;
  bool CanGoForward(Time now) const;
  // Recorded entries, oldest first (for display and tests).
  const std::deque<ViewEntry>& entries() const { return entries_; }

 private:
  struct Pending {
    ViewEntry view;
    Time since;
  };
  bool PendingHeld(Time now) const { return pending_ && now - pending_->since >= HoldTime; }
  // Records the pending move when it has been held long enough, and forgets it otherwise when
  // forgetUnheld is set.
  void Settle(Time now, bool forgetUnheld);
  void Record(const ViewEntry& view);

  std::size_t capacity_;
  std::deque<ViewEntry> entries_;
  std::size_t current_ = 0;  // index of the entry shown (or left by the pending move); valid when not empty
  std::optional<Pending> pending_;
};

}  // namespace orv
