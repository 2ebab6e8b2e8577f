#pragma once
// Where the windows were and how each map was last viewed, kept in the settings file's section
// "Window" (older copies of the program ignore the section and keep it as it is).
//
// Keys of "Window" (³ stands for the field separator, the byte 179):
//   "Main", "Directions", "Bookmarks", "Map Links", and the name of any later window:
//       "x³y³width³height³maximised": the window's normal (not maximised) area without its frame, in
//       desktop pixels; maximised is "1" or "0". A record that does not parse, or holds a size or
//       place no screen could show, reads as nothing remembered.
//   "View1" ... "View50": how the most recently viewed maps were left, most recent first, one map
//       per key: "zoom³centreX³centreY³path". zoom in percent (1 to 6400), the view centre in whole
//       picture pixels (0 to 65535), and the map info file's full path written by PathToValue, so a
//       path with "=", "[", "]", ";", line breaks or the separator byte is stored whole, at any length.
//       Records that do not parse are skipped; the list ends at the first missing key.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/point.h"

namespace orv {

// Keys of the windows' places. A later window takes a name of its own that is not "View" and a number.
inline constexpr std::string_view MainWindowKey = "Main";              // TForm1
inline constexpr std::string_view DirectionsWindowKey = "Directions";  // TForm2
inline constexpr std::string_view BookmarksWindowKey = "Bookmarks";    // TForm3
inline constexpr std::string_view MapLinksWindowKey = "Map Links";     // TForm5

// A rectangle in desktop pixels: a window's area, or the area a screen leaves to windows.
struct DesktopRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const DesktopRect&, const DesktopRect&) = default;
};

struct WindowPlace {
  DesktopRect normal;  // the area when not maximised
  bool maximised = false;
  friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct MapView {
  int32_t zoomPercent = 100;
  Point centre;  // picture pixel at the middle of the map area
  friend bool operator==(const MapView&, const MapView&) = default;
};

// The main window at the first start: three quarters of the screen's available area, centred on it.
DesktopRect FirstStartGeometry(const DesktopRect& available);
// True when the window lies mostly on the screens (at least half of its area) and its top edge, where
// the title bar is grabbed, lies on one of them.
bool LiesOnScreens(const DesktopRect& window, const std::vector<DesktopRect>& availableScreens);
// The area to open the main window at: the remembered one while it lies on the screens (made no wider
// or taller than the screen it lies on most), otherwise the first-start geometry on the first
// (primary) screen. availableScreens holds each screen's available
// area, the primary first.
DesktopRect MainWindowGeometry(const std::optional<DesktopRect>& remembered,
                               const std::vector<DesktopRect>& availableScreens);

// The "Window" section of one settings file.
class WindowState {
 public:
  static constexpr std::size_t MaxMapViews = 50;

  explicit WindowState(std::string settingsFile);

  std::optional<WindowPlace> Place(std::string_view window) const;
  // False, writing nothing, for a place that would not read back (no area, beyond 32767 pixels).
  bool SetPlace(std::string_view window, const WindowPlace& place);

  // The view last left on mapPath (compared byte for byte), if remembered.
  std::optional<MapView> ViewOf(const std::string& mapPath) const;
  // Makes mapPath the most recent map with this view; the oldest map beyond MaxMapViews is forgotten.
  // False, writing nothing, for an empty path or a zoom or centre out of range.
  bool RememberView(const std::string& mapPath, const MapView& view);

 private:
  struct Entry {
    std::string path;
    MapView view;
  };
  std::vector<Entry> Views() const;

  std::string file_;
};

}  // namespace orv
