// Stand-in for reading map info files until its own code lands; replaced wholesale by it.
#include "core/mapinfo.h"

#include <array>
#include <filesystem>

#include "core/numbers.h"
#include "storage/settings.h"

namespace orv {
namespace fs = std::filesystem;

std::string PictureNameForMessages(const std::string& path) {
  const fs::path p(path);
  if (!p.has_extension()) return path + ".jpg";
  return fs::path(p).replace_extension(".jpg").string();
}

std::optional<std::string> FindPicture(const std::string& path) {
  for (const char* ext : {".JPG", ".jpg", ".Jpg", ".jPG"}) {
    const fs::path p =
        fs::path(path).has_extension() ? fs::path(path).replace_extension(ext) : fs::path(path + ext);
    std::error_code ec;
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return std::nullopt;
}

MapInfo ReadMapInfo(const std::string& path, const MapCorners& current) {
  MapInfo info;
  info.corners = current;
  const auto ulx = ParseInt(ReadSetting("Map Dimensions", "UpperLeft_X", path));
  std::error_code ec;
  if (!ulx || *ulx == -9999999) {
    const bool exists = fs::exists(path, ec);
    info.status = exists ? MapInfoStatus::InvalidDimensions : MapInfoStatus::FileNotFound;
    info.message =
        "Unable to load '" + path + (exists ? "'. Invalid map dimensions file." : "'. File not found.");
    return info;
  }
  const auto picture = FindPicture(path);
  if (!picture) {
    info.status = MapInfoStatus::PictureNotFound;
    info.message = "Unable to load image '" + PictureNameForMessages(path) + "'. File not found.";
    return info;
  }
  info.picturePath = *picture;
  MapCorners c = current;
  c.upperLeft.x = *ulx;
  const std::array<std::pair<const char*, int32_t*>, 7> keys = {{{"UpperLeft_Y", &c.upperLeft.y},
                                                                 {"UpperRight_X", &c.upperRight.x},
                                                                 {"UpperRight_Y", &c.upperRight.y},
                                                                 {"LowerLeft_X", &c.lowerLeft.x},
                                                                 {"LowerLeft_Y", &c.lowerLeft.y},
                                                                 {"LowerRight_X", &c.lowerRight.x},
                                                                 {"LowerRight_Y", &c.lowerRight.y}}};
  for (const auto& [key, target] : keys) {
    const std::string text = ReadSetting("Map Dimensions", key, path);
    const auto v = ParseInt(text);
    if (!v) {
      info.status = MapInfoStatus::NotAnInteger;
      info.message = NotAnIntegerMessage(text);
      info.corners = c;
      return info;
    }
    *target = *v;
  }
  info.corners = c;
  return info;
}

std::string MapWindowTitle(const std::string& path) {
  std::string name = fs::path(path).stem().string();
  for (std::size_t i = 0; i < name.size(); ++i) {
    const char ch = name[i];
    if (i == 0 && ch >= 'a' && ch <= 'z') name[i] = static_cast<char>(ch - 32);
    if (i > 0 && ch >= 'A' && ch <= 'Z') name[i] = static_cast<char>(ch + 32);
  }
  return "Orvantis v2.2 By Vexmoor - " + name;
}

}  // namespace orv
