#include "mapfiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/calibrationfile.h"
#include "core/jpegwrite.h"
#include "core/mapinfo.h"
#include "storage/fields.h"
#include "storage/settings.h"

namespace samplemaps {

bool WriteJpeg(const QImage& image, const std::string& path, int quality) {
  return orv::WriteJpegFile(path, image.constBits(), image.width(), image.height(), image.bytesPerLine(),
                            {quality, orv::JpegChroma::Half, orv::JpegPixels::Bgrx, true});
}

namespace {

// The settings layer puts a blank line before each section it adds. The shipped map info files have
// their first three sections without one, so a new file starts with those headers in place, and
// every value then goes in through WriteSetting. "Map Links" is added the way the program adds it.
bool StartMapInfo(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return false;
  std::filesystem::remove(path, error);
  std::ofstream out(path, std::ios::binary);
  out << "[Map Dimensions]\r\n[General]\r\n[Map Bookmarks]\r\n";
  out.close();
  return bool(out);
}

}  // namespace

bool WriteMapInfo(const std::string& path, const MapOutput& map) {
  if (!StartMapInfo(path)) return false;
  orv::SettingsWriteGroup group(path);
  bool ok = true;
  auto write = [&](const char* section, const std::string& key, const std::string& value) {
    ok = orv::WriteSetting(section, key, path, value) && ok;
  };
  // Numbers always fit in a value: a failure shows when the group writes the file.
  orv::WriteMapCorners(path, map.corners);
  write(orv::VersionSection, orv::VersionKey, orv::VersionOfLayout);

  std::vector<Bookmark> bookmarks = map.bookmarks;
  std::sort(bookmarks.begin(), bookmarks.end(),
            [](const Bookmark& a, const Bookmark& b) { return std::string(a.name) < b.name; });
  for (std::size_t i = 0; i < bookmarks.size(); ++i) {
    const Bookmark& b = bookmarks[i];
    const std::string key = "bookmark" + std::to_string(i + 1);
    write("Map Bookmarks", key, orv::JoinFields({"V", std::to_string(b.x), std::to_string(b.y), b.name}));
    write("Map Bookmarks", key + "font", orv::JoinFields({"Arial", "10", "0", "b"}));
  }
  for (std::size_t i = 0; i < map.links.size(); ++i) {
    const LinkArea& l = map.links[i];
    write("Map Links", "maplink" + std::to_string(i + 1),
          orv::JoinFields({std::to_string(l.x1), std::to_string(l.y1), std::to_string(l.x2),
                           std::to_string(l.y2), l.target, l.text}));
  }
  return group.Close() && ok;
}

}  // namespace samplemaps
