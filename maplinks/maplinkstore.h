#pragma once
// The map links of the current map: records, loading, saving, ordering and the area test.
//
// A record is six fields joined by FieldSeparator: X1, Y1, X2, Y2 (picture pixels of two opposite
// corners, as clicked), the target map info file's name without directory, the status text.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"

namespace orv {

class IniDocument;

// A rectangle given by two opposite corners in picture pixels. x1 == -1 (highlight) or x2 == -1
// (a new area before its first frame) marks "nothing drawn".
struct LinkRect {
  int32_t x1 = -1, y1 = -1, x2 = -1, y2 = -1;
  friend bool operator==(const LinkRect&, const LinkRect&) = default;
};

struct MapLinkState {
  std::vector<std::string> MapLinks;
  bool LinkSelecting = false;  // a new area awaits its opposite corner
  LinkRect NewLinkRect;        // the area being drawn
  // The frame of NewLinkRect is in MapImage. Kept apart from the x2 == -1 mark because a pointer
  // dragged off the map's left edge can yield a real corner at -1.
  bool NewLinkFrameDrawn = false;
  std::string HoverLinkFile;   // target file of the area last found under the pointer
  LinkRect HighlightRect;      // the area highlighted by the map links window
  std::string LinkDialogFile;  // the file chosen last in the "Link to Map" dialog (UTF-8, never stored)
};

inline constexpr const char* MapLinksSection = "Map Links";

// Replaces links with the records "maplink1", "maplink2", ... of mapFile, up to the first key that is
// missing or empty. Records are taken as they are.
void LoadMapLinks(std::vector<std::string>& links, const IniDocument& map);
void LoadMapLinks(std::vector<std::string>& links, const std::string& mapFile);
// Rewrites the section "Map Links" in list order; the file is read and written once. False when it
// could not be written.
bool SaveMapLinks(const std::vector<std::string>& links, const std::string& mapFile);
// Orders by status text, ignoring case, in the user's locale order. Links with equal texts keep their
// order.
void SortMapLinks(std::vector<std::string>& links);
// The corners of a record, when its first four fields are integers.
std::optional<LinkRect> LinkArea(const std::string& record);
// True when the picture pixel lies strictly inside the area (points on the corners' lines are outside).
bool AreaHolds(const LinkRect& area, Point picturePixel);
// Index of the first record whose open area holds the picture pixel. Records whose corners are not
// integers (a hand-edited file) are passed over.
std::optional<std::size_t> FindLinkAt(const std::vector<std::string>& links, Point picturePixel);
// The record of a new link: the corners in decimal, the target's file name and the status text.
std::string MakeMapLinkRecord(const LinkRect& area, const std::string& targetFileName,
                              const std::string& statusText);

// Middle of an area in picture pixels: the smaller corner plus half the difference, toward zero.
Point AreaMiddle(const LinkRect& area);

}  // namespace orv
