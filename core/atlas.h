#pragma once
// The atlas: every map under the player's maps folders, and which of them show a world point.
//
// The index holds, for each map info file found, its corners and its picture's size (from the JPEG
// header; no picture is decoded). It lives in memory; Refresh walks the folders again and reads anew
// only the maps whose map info file or picture changed (modification time or size), were added or
// were removed. Maps that cannot be loaded (bad corners, missing or unreadable picture) are not
// indexed but listed with the reason.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/transform.h"

namespace orv {

struct AtlasMap {
  std::string mapInfoPath;
  std::string picturePath;
  MapCorners corners;  // picture pixels at 100 percent
  int width = 0;       // picture size in picture pixels
  int height = 0;
  // Picture pixels per world unit: the square root of the corner quadrilateral's area in square
  // picture pixels over the world's area in square world units.
  double detail = 0;
};

struct SkippedMap {
  std::string mapInfoPath;
  std::string reason;  // what the map load would tell the user, or why the picture cannot be read
};

class Atlas {
 public:
  explicit Atlas(std::vector<std::string> folders);

  // Walks the folders (and every folder below them) for map info files (".dem" in any letter case).
  void Refresh();

  const std::vector<std::string>& folders() const { return folders_; }
  // The indexed maps, most detailed first (ties in path order).
  const std::vector<AtlasMap>& maps() const { return maps_; }
  // The map info files that could not be indexed, in path order.
  const std::vector<SkippedMap>& skipped() const { return skipped_; }

  // The maps whose picture holds the picture pixel of the world point (under the program's own
  // conversion at 100 percent), most detailed first.
  std::vector<const AtlasMap*> MapsShowing(Point world) const;

 private:
  // What a map's files looked like when it was last read.
  struct FileStamp {
    std::filesystem::file_time_type modified;
    std::uintmax_t size = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
  };
  struct Entry {
    FileStamp mapInfo;
    std::optional<std::string> picturePath;
    std::optional<FileStamp> picture;
    std::optional<AtlasMap> map;  // empty when skipped
    std::string reason;
  };
  static Entry ReadEntry(const std::string& mapInfoPath, const FileStamp& stamp,
                         const std::optional<std::string>& picturePath,
                         const std::optional<FileStamp>& picture);

  std::vector<std::string> folders_;
  std::map<std::string, Entry> entries_;  // by map info file path
  std::vector<AtlasMap> maps_;
  std::vector<SkippedMap> skipped_;
};

}  // namespace orv
