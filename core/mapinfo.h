#pragma once
// Reading and checking a map info file (".dem"): its "Map Dimensions" corners and its picture.
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/transform.h"
#include "storage/inidocument.h"

namespace orv {

enum class MapInfoStatus {
  Ok,
  FileNotFound,       // "Unable to load '<path>'. File not found."
  InvalidDimensions,  // "Unable to load '<path>'. Invalid map dimensions file."
  PictureNotFound,    // "Unable to load image '<picture>.jpg'. File not found."
  NotAnInteger,       // "'<text>' is not a valid integer value" (a corner key after UpperLeft_X)
};

// Section "Map Dimensions": the world point of each corner of the picture, under these keys, in the
// order in which they are read and written.
inline constexpr const char* MapDimensionsSection = "Map Dimensions";
struct CornerKey {
  const char* key;
  Point MapCorners::*corner;
  int32_t Point::*axis;
};
inline constexpr CornerKey CornerKeys[] = {
    {"UpperLeft_X", &MapCorners::upperLeft, &Point::x},
    {"UpperLeft_Y", &MapCorners::upperLeft, &Point::y},
    {"UpperRight_X", &MapCorners::upperRight, &Point::x},
    {"UpperRight_Y", &MapCorners::upperRight, &Point::y},
    {"LowerLeft_X", &MapCorners::lowerLeft, &Point::x},
    {"LowerLeft_Y", &MapCorners::lowerLeft, &Point::y},
    {"LowerRight_X", &MapCorners::lowerRight, &Point::x},
    {"LowerRight_Y", &MapCorners::lowerRight, &Point::y},
};
// The value of a corner key in corners.
inline int32_t& CornerValue(MapCorners& corners, const CornerKey& k) {
  return (corners.*k.corner).*k.axis;
}
inline int32_t CornerValue(const MapCorners& corners, const CornerKey& k) {
  return (corners.*k.corner).*k.axis;
}

struct MapInfo {
  MapInfoStatus status = MapInfoStatus::Ok;
  std::string message;  // what the user is told; empty when Ok
  // Corners as the load leaves them: all eight on success; otherwise the corners passed in, unchanged.
  MapCorners corners;
  std::string picturePath;  // the picture file found (any letter case of ".jpg"); empty if none
  IniDocument document;     // the whole map info file as read, for the bookmarks and links it holds
};

// Checks path as the map load does, starting from the corners currently in use. The file is read once.
MapInfo ReadMapInfo(const std::string& path, const MapCorners& current);

// The picture path as messages name it: the extension replaced by (or, without one, ".jpg" added).
std::string PictureNameForMessages(const std::string& mapInfoPath);
// The existing picture file beside the map info file whose extension is ".jpg" in any letter case.
std::optional<std::string> FindPicture(const std::string& mapInfoPath);

// path when it names an existing file; otherwise the one file of its folder whose name differs only in
// letter case (the maps come from a system that ignores it, so a map link may name "BRINDLE.DEM" for
// "Brindle.dem"); otherwise path itself, so that the load says the file is not found.
std::string ExistingFileAnyCase(const std::string& path);

// The regular files (or links to them) of one folder, listed once, for finding the pictures of many
// maps in it.
class FolderFiles {
 public:
  // names: in the order a listing of the folder gives them.
  explicit FolderFiles(const std::vector<std::string>& names);
  // The names of folder's regular files; none when it cannot be read.
  static FolderFiles Of(const std::string& folder);

  bool Has(const std::string& name) const { return names_.count(name) != 0; }
  // The first name in listing order that is stem followed by ".jpg" in any letter case; null if none.
  const std::string* Jpeg(const std::string& stem) const;

 private:
  std::unordered_set<std::string> names_;
  std::unordered_map<std::string, std::string> jpegs_;  // by the name without its extension
};
// FindPicture with the map info file's folder listed by the caller.
std::optional<std::string> PictureAmong(const std::string& mapInfoPath, const FolderFiles& folder);

// "Orvantis v2.2 By Vexmoor - " + the file name in title form ("NORTHWOODS.DEM" -> "Northwoods").
std::string MapWindowTitle(const std::string& mapInfoPath);
inline constexpr const char* ProgramTitle = "Orvantis v2.2 by Vexmoor";

// "Version" in section "General" of a map info file or the settings file: the layout of the bookmark
// records it holds. This version writes VersionOfLayout; older layouts are read and converted.
inline constexpr const char* VersionSection = "General";
inline constexpr const char* VersionKey = "Version";
inline constexpr const char* VersionOfLayout = "v2.2";

}  // namespace orv
