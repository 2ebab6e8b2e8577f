#include "storage/windowstate.h"

#include <algorithm>
#include <array>
#include <utility>

#include "storage/integers.h"
#include "storage/settings.h"
#include "storage/storedvalues.h"

namespace orv {
namespace {

constexpr const char* kSection = "Window";
constexpr const char* kViewPrefix = "View";

// Window systems keep coordinates and sizes in 16 bits; anything beyond is not a real window.
constexpr int32_t kMaxExtent = 32767;
constexpr int32_t kMinZoomPercent = 1;
constexpr int32_t kMaxZoomPercent = 6400;
constexpr int32_t kMaxPicturePixel = 65535;  // the largest side a JPEG picture can have
// How much of a window's top edge must be on a screen for its title bar to be grabbed.
constexpr int64_t kGripWidth = 64;
// Stands in for the screen when none is known.
constexpr DesktopRect kFallbackScreen{0, 0, 1024, 768};
// Room for the frame a desktop draws around a window: its title bar above, its border elsewhere.
constexpr int32_t kFrameTop = 32;
constexpr int32_t kFrameSide = 8;

bool InRange(int32_t value, int32_t low, int32_t high) {
  return value >= low && value <= high;
}

bool Storable(const DesktopRect& r) {
  return InRange(r.x, -kMaxExtent, kMaxExtent) && InRange(r.y, -kMaxExtent, kMaxExtent) &&
         InRange(r.width, 1, kMaxExtent) && InRange(r.height, 1, kMaxExtent);
}

bool Storable(const MapView& view) {
  return InRange(view.zoomPercent, kMinZoomPercent, kMaxZoomPercent) &&
         InRange(view.centre.x, 0, kMaxPicturePixel) && InRange(view.centre.y, 0, kMaxPicturePixel);
}

// Length of the overlap of [a, a + aLength) and [b, b + bLength), 0 when they do not meet.
int64_t Overlap(int64_t a, int64_t aLength, int64_t b, int64_t bLength) {
  return std::max<int64_t>(0, std::min(a + aLength, b + bLength) - std::max(a, b));
}

// fields parsed as integers; no value when there are fewer fields or one is not an integer.
template <std::size_t N>
std::optional<std::array<int32_t, N>> Integers(const std::vector<std::string_view>& fields) {
  if (fields.size() < N) return std::nullopt;
  std::array<int32_t, N> numbers{};
  for (std::size_t i = 0; i < N; ++i) {
    const std::optional<int32_t> number = ParseInt(fields[i]);
    if (!number) return std::nullopt;
    numbers[i] = *number;
  }
  return numbers;
}

std::string ViewRecord(const std::string& mapPath, const MapView& view) {
  return JoinRecord({std::to_string(view.zoomPercent), std::to_string(view.centre.x),
                     std::to_string(view.centre.y), PathToValue(mapPath)});
}

}  // namespace

DesktopRect FirstStartGeometry(const DesktopRect& available) {
  const DesktopRect& screen = available.width > 0 && available.height > 0 ? available : kFallbackScreen;
  const int32_t width = static_cast<int32_t>(int64_t{screen.width} * 3 / 4);
  const int32_t height = static_cast<int32_t>(int64_t{screen.height} * 3 / 4);
  return {screen.x + (screen.width - width) / 2, screen.y + (screen.height - height) / 2, width, height};
}

bool LiesOnScreens(const DesktopRect& window, const std::vector<DesktopRect>& availableScreens) {
  if (window.width <= 0 || window.height <= 0) return false;
  int64_t covered = 0;
  bool topEdgeOnScreen = false;
  for (const DesktopRect& s : availableScreens) {
    const int64_t across = Overlap(window.x, window.width, s.x, s.width);
    covered += across * Overlap(window.y, window.height, s.y, s.height);
    if (Overlap(window.y, 1, s.y, s.height) > 0 && across >= std::min<int64_t>(window.width, kGripWidth))
      topEdgeOnScreen = true;
  }
  return topEdgeOnScreen && covered * 2 >= int64_t{window.width} * window.height;
}

DesktopRect MainWindowGeometry(const std::optional<DesktopRect>& remembered,
                               const std::vector<DesktopRect>& availableScreens) {
  if (availableScreens.empty()) return remembered.value_or(FirstStartGeometry(kFallbackScreen));
  if (!remembered || !LiesOnScreens(*remembered, availableScreens)) {
    return FirstStartGeometry(availableScreens.front());
  }
  DesktopRect window = *remembered;
  const DesktopRect* screen = &availableScreens.front();
  int64_t covered = 0, most = -1;
  for (const DesktopRect& s : availableScreens) {
    const int64_t overlap =
        Overlap(window.x, window.width, s.x, s.width) * Overlap(window.y, window.height, s.y, s.height);
    covered += overlap;
    if (overlap > most) most = overlap, screen = &s;
  }
  // Wholly on the screens (stretched across two of them, say): where the user left it.
  if (covered >= int64_t{window.width} * window.height) return window;
  // Partly off them, as when it was left on a larger screen than the one that shows it now: its lower
  // part (the coordinate panels) or its right edge may be out of reach. It is made to fit the screen it
  // lies on most. The area is the window's inside: room is left for the frame the desktop draws around
  // it, so that the title bar can be grabbed.
  const int32_t roomX = screen->width - 2 * kFrameSide, roomY = screen->height - kFrameTop - kFrameSide;
  if (window.width > roomX) window.x = screen->x + kFrameSide, window.width = std::max(roomX, 1);
  if (window.height > roomY) window.y = screen->y + kFrameTop, window.height = std::max(roomY, 1);
  // Made smaller, it may have left its title bar on no screen: then it goes wholly onto that one.
  if (!LiesOnScreens(window, availableScreens)) {
    window.x =
        std::max(screen->x + kFrameSide, std::min(window.x, screen->x + roomX + kFrameSide - window.width));
    window.y =
        std::max(screen->y + kFrameTop, std::min(window.y, screen->y + roomY + kFrameTop - window.height));
  }
  return window;
}

WindowState::WindowState(std::string settingsFile) : file_(std::move(settingsFile)) {}

std::optional<WindowPlace> WindowState::Place(std::string_view window) const {
  const std::string record = ReadSetting(kSection, std::string(window), file_);
  const std::vector<std::string_view> fields = SplitRecord(record);
  const auto numbers = Integers<4>(fields);
  if (!numbers) return std::nullopt;
  WindowPlace place{{(*numbers)[0], (*numbers)[1], (*numbers)[2], (*numbers)[3]}, false};
  if (!Storable(place.normal)) return std::nullopt;
  place.maximised = fields.size() > 4 && ParseFlag(fields[4]).value_or(false);
  return place;
}

bool WindowState::SetPlace(std::string_view window, const WindowPlace& place) {
  if (!Storable(place.normal)) return false;
  const DesktopRect& r = place.normal;
  return WriteSetting(kSection, std::string(window), file_,
                      JoinRecord({std::to_string(r.x), std::to_string(r.y), std::to_string(r.width),
                                  std::to_string(r.height), FlagValue(place.maximised)}));
}

std::vector<WindowState::Entry> WindowState::Views() const {
  std::vector<Entry> views;
  for (const std::string& record : ReadNumberedValues(file_, kSection, kViewPrefix, MaxMapViews)) {
    const std::vector<std::string_view> fields = SplitRecord(record);
    const auto numbers = Integers<3>(fields);
    if (!numbers || fields.size() < 4 || fields[3].empty()) continue;
    Entry entry{PathFromValue(fields[3]), {(*numbers)[0], {(*numbers)[1], (*numbers)[2]}}};
    // A hand-edited file may name a map twice: the first, most recent record counts.
    const bool seen = std::any_of(views.begin(), views.end(),
                                  [&](const Entry& earlier) { return earlier.path == entry.path; });
    if (Storable(entry.view) && !seen) views.push_back(std::move(entry));
  }
  return views;
}

std::optional<MapView> WindowState::ViewOf(const std::string& mapPath) const {
  for (const Entry& entry : Views())
    if (entry.path == mapPath) return entry.view;
  return std::nullopt;
}

bool WindowState::RememberView(const std::string& mapPath, const MapView& view) {
  if (mapPath.empty() || !Storable(view)) return false;
  std::vector<Entry> views = Views();
  MoveToFront(
      views, Entry{mapPath, view}, [](const Entry& a, const Entry& b) { return a.path == b.path; },
      MaxMapViews);
  std::vector<std::string> records;
  for (const Entry& entry : views) records.push_back(ViewRecord(entry.path, entry.view));
  return WriteNumberedValues(file_, kSection, kViewPrefix, records, MaxMapViews);
}

}  // namespace orv
