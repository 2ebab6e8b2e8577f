#include "core/atlas.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <system_error>

#include "core/mapinfo.h"
#include "core/picturesize.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

bool IsMapInfoFile(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".dem";
}

// Area of the corner quadrilateral (upper left, upper right, lower right, lower left) in square
// picture pixels.
double QuadrilateralArea(const MapCorners& c) {
  const Point ring[] = {c.upperLeft, c.upperRight, c.lowerRight, c.lowerLeft};
  double twice = 0;
  for (int i = 0; i < 4; ++i) {
    const Point a = ring[i], b = ring[(i + 1) % 4];
    twice += double(a.x) * b.y - double(b.x) * a.y;
  }
  return std::abs(twice) / 2;
}

// Whether the world point's picture pixel may lie on the map's picture, from the bilinear position
// without the conversion's roundings. Those move the pixel by at most one in each direction, so a
// position more than a pixel outside the picture rules the map out; this keeps the exact conversion
// (much slower, for its decimal roundings) to the maps that hold the point or nearly do.
bool MayShow(const AtlasMap& map, Point world) {
  const MapCorners& c = map.corners;
  const double fx = double(world.x) / WorldWidth, fy = double(world.y) / WorldHeight;
  const auto lerp = [](double a, double b, double f) { return a + (b - a) * f; };
  const double x = lerp(lerp(c.upperLeft.x, c.upperRight.x, fx), lerp(c.lowerLeft.x, c.lowerRight.x, fx), fy);
  const double y = lerp(lerp(c.upperLeft.y, c.upperRight.y, fx), lerp(c.lowerLeft.y, c.lowerRight.y, fx), fy);
  return x > -2 && x < map.width + 1 && y > -2 && y < map.height + 1;
}

bool MoreDetailed(const AtlasMap& a, const AtlasMap& b) {
  return a.detail != b.detail ? a.detail > b.detail : a.mapInfoPath < b.mapInfoPath;
}

}  // namespace

Atlas::Atlas(std::vector<std::string> folders) : folders_(std::move(folders)) {}

Atlas::Entry Atlas::ReadEntry(const std::string& mapInfoPath, const FileStamp& stamp,
                              const std::optional<std::string>& picturePath,
                              const std::optional<FileStamp>& picture) {
  Entry entry{stamp, picturePath, picture, std::nullopt, ""};
  const MapInfo info = ReadMapInfo(mapInfoPath, MapCorners{});
  if (info.status != MapInfoStatus::Ok) {
    entry.reason = info.message;
    return entry;
  }
  const auto size = ReadPictureSize(info.picturePath);
  if (!size) {
    entry.reason = "Unable to read the picture '" + info.picturePath + "'.";
    return entry;
  }
  const double detail = std::sqrt(QuadrilateralArea(info.corners) / (double(WorldWidth) * WorldHeight));
  entry.map = AtlasMap{mapInfoPath, info.picturePath, info.corners, size->width, size->height, detail};
  return entry;
}

void Atlas::Refresh() {
  std::map<std::string, Entry> fresh;
  for (const std::string& top : folders_) {
    // Folder by folder: one that cannot be read (removed while the walk goes on, or out of reach) is
    // passed over and the others are still read. Links to folders are not followed, so that a link
    // loop cannot hold the walk.
    std::vector<fs::path> folders{top};
    while (!folders.empty()) {
      const fs::path folder = std::move(folders.back());
      folders.pop_back();
      std::vector<fs::directory_entry> mapInfoFiles;
      std::vector<std::string> files;  // every regular file: the pictures are found among them
      std::error_code ec;
      for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
           !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_symlink(typeEc) && it->is_directory(typeEc)) {
          folders.push_back(it->path());
        } else if (it->is_regular_file(typeEc)) {
          files.push_back(it->path().filename().string());
          if (IsMapInfoFile(it->path())) mapInfoFiles.push_back(*it);
        }
      }
      const FolderFiles folderFiles(files);
      for (const fs::directory_entry& file : mapInfoFiles) {
        std::error_code fileEc;
        // One spelling per file, so folders inside one another index each map once.
        const std::string path = fs::absolute(file.path(), fileEc).lexically_normal().string();
        if (fresh.count(path)) continue;
        const FileStamp stamp{file.last_write_time(fileEc), file.file_size(fileEc)};
        const auto picturePath = PictureAmong(path, folderFiles);
        std::optional<FileStamp> picture;
        if (picturePath)
          picture = FileStamp{fs::last_write_time(*picturePath, fileEc), fs::file_size(*picturePath, fileEc)};

        const auto known = entries_.find(path);
        const bool unchanged = known != entries_.end() && known->second.mapInfo == stamp &&
                               known->second.picturePath == picturePath && known->second.picture == picture;
        fresh.emplace(path,
                      unchanged ? std::move(known->second) : ReadEntry(path, stamp, picturePath, picture));
      }
    }
  }
  entries_ = std::move(fresh);

  maps_.clear();
  skipped_.clear();
  for (const auto& [path, entry] : entries_) {
    if (entry.map) {
      maps_.push_back(*entry.map);
    } else {
      skipped_.push_back({path, entry.reason});
    }
  }
  std::sort(maps_.begin(), maps_.end(), MoreDetailed);
}

std::vector<const AtlasMap*> Atlas::MapsShowing(Point world) const {
  std::vector<const AtlasMap*> showing;
  for (const AtlasMap& map : maps_) {
    if (!MayShow(map, world)) continue;
    const auto pixel = WorldToMapPixel(map.corners, 100, world);
    if (pixel && pixel->x >= 0 && pixel->x < map.width && pixel->y >= 0 && pixel->y < map.height) {
      showing.push_back(&map);
    }
  }
  return showing;
}

}  // namespace orv
