#pragma once
// The map links of the current map: records, loading, saving, ordering and the area test.
//
// A record is six fields joined by FieldSeparator: X1, Y1, X2, Y2 (picture pixels of two opposite
// corners, as clicked), the target map info file's name without directory, the status text.
#include <QObject>
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

// One map link: its record as stored, with the fields the program uses taken out of it once.
struct MapLink {
  std::string record;            // as read or made; saved unchanged
  std::optional<LinkRect> area;  // picture pixels; none when the corners are not integers
  std::string targetFile;        // field 5: the target map info file's name
  std::string statusText;        // field 6
};

// The links of the current map, in list order (status text order after Sort). Announces every
// change with changed(), and the changes made by the user (which are to be saved) also with edited().
class MapLinkStore : public QObject {
  Q_OBJECT
 public:
  explicit MapLinkStore(QObject* parent = nullptr) : QObject(parent) {}

  // The records in list order: line i of the map links window is record i.
  const std::vector<std::string>& MapLinks() const { return records_; }
  const MapLink& at(std::size_t index) const { return links_[index]; }
  std::size_t size() const { return links_.size(); }

  // Replaces the links with those of a map info file ("maplink1", "maplink2", ... up to the first
  // missing or empty key), without sorting.
  void Load(const IniDocument& map);
  // Rewrites the section "Map Links" of mapFile; false when it could not be written.
  bool Save(const std::string& mapFile) const;
  // Replaces the links with records, in the order given.
  void Replace(std::vector<std::string> records);
  // Appends a record, keeps the list in status text order.
  void Add(std::string record);
  void Remove(std::size_t index);
  // Orders by status text, ignoring case, in the user's locale order.
  void Sort();
  // Index of the first link whose open area holds the picture pixel.
  std::optional<std::size_t> FindAt(Point picturePixel) const;

 signals:
  void changed();
  void edited();

 private:
  std::vector<std::string> records_;
  std::vector<MapLink> links_;
};

struct MapLinkState {
  MapLinkStore store;
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
// The change SaveMapLinks makes to the map info file's document.
void PutMapLinks(const std::vector<std::string>& links, IniDocument& map);
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
