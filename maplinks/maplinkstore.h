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

// A rectangle given by two opposite corners in picture pixels. x1 == -1 (highlight) or x2 == -1
// (a new area before its first frame) marks "nothing drawn".
struct LinkRect {
  int32_t x1 = -1, y1 = -1, x2 = -1, y2 = -1;
};

struct MapLinkState {
  std::vector<std::string> MapLinks;
  bool LinkSelecting = false;  // a new area awaits its opposite corner
  LinkRect NewLinkRect;        // the area being drawn
  std::string HoverLinkFile;   // target file of the area last found under the pointer
  LinkRect HighlightRect;      // the area highlighted by the map links window
};

void LoadMapLinks(std::vector<std::string>& links, const std::string& mapFile);
// Rewrites the section "Map Links" in list order, in one write group. False when it could not be written.
bool SaveMapLinks(const std::vector<std::string>& links, const std::string& mapFile);
// Orders by status text, ignoring case, in the user's locale order.
void SortMapLinks(std::vector<std::string>& links);
// The corners of a record, when its first four fields are integers.
std::optional<LinkRect> LinkArea(const std::string& record);
// Index of the first record whose open area holds the picture pixel.
std::optional<std::size_t> FindLinkAt(const std::vector<std::string>& links, Point picturePixel);

}  // namespace orv
