#include "core/mapinfo.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <span>
#include <system_error>

#include "core/numbers.h"
#include "storage/inifile.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

// The value that stands for a missing or unreadable "UpperLeft_X".
constexpr int32_t kNoCorner = -9999999;

// Start of the file name within path (after the last '/').
std::size_t NameStart(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// path without the extension of its file name (the last '.' of the name and what follows).
std::string WithoutExtension(const std::string& path) {
  const auto dot = path.find_last_of('.');
  return dot == std::string::npos || dot < NameStart(path) ? path : path.substr(0, dot);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Unable(const std::string& path, const char* why) {
  return "Unable to load '" + path + "'. " + why;
}

}  // namespace

std::string PictureNameForMessages(const std::string& mapInfoPath) {
  return WithoutExtension(mapInfoPath) + ".jpg";
}

FolderFiles::FolderFiles(const std::vector<std::string>& names) : names_(names.begin(), names.end()) {
  for (const std::string& name : names) {
    if (name.size() >= 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".jpg"))
      jpegs_.emplace(name.substr(0, name.size() - 4), name);  // the first one stays
  }
}

FolderFiles FolderFiles::Of(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_regular_file(typeEc)) names.push_back(it->path().filename().string());
  }
  return FolderFiles(names);
}

const std::string* FolderFiles::Jpeg(const std::string& stem) const {
  const auto found = jpegs_.find(stem);
  return found == jpegs_.end() ? nullptr : &found->second;
}

std::optional<std::string> PictureAmong(const std::string& mapInfoPath, const FolderFiles& folder) {
  const std::string stem = WithoutExtension(mapInfoPath);
  const std::size_t nameStart = NameStart(stem);
  const std::string stemName = stem.substr(nameStart);
  for (const char* ext : {".JPG", ".jpg"}) {
    if (folder.Has(stemName + ext)) return stem + ext;
  }
  // File names are matched without regard to case on the system the maps come from, so a picture
  // named "Map.Jpg" belongs to "Map.dem" as well.
  if (const std::string* name = folder.Jpeg(stemName)) return stem.substr(0, nameStart) + *name;
  return std::nullopt;
}

std::optional<std::string> FindPicture(const std::string& mapInfoPath) {
  const std::string stem = WithoutExtension(mapInfoPath);
  for (const char* ext : {".JPG", ".jpg"}) {
    if (IsFile(stem + ext)) return stem + ext;
  }
  // Only now the folder is listed, for a picture's extension in another letter case.
  const std::size_t nameStart = NameStart(stem);
  return PictureAmong(mapInfoPath, FolderFiles::Of(nameStart == 0 ? "." : stem.substr(0, nameStart)));
}

std::string ExistingFileAnyCase(const std::string& path) {
  if (IsFile(path)) return path;
  const std::size_t nameStart = NameStart(path);
  const std::string name = path.substr(nameStart);
  std::optional<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(nameStart == 0 ? "." : path.substr(0, nameStart), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeEc;
    const std::string candidate = it->path().filename().string();
    if (!EqualsIgnoringCase(candidate, name) || !it->is_regular_file(typeEc)) continue;
    if (found) return path;  // two files that differ only in case: neither is taken
    found = path.substr(0, nameStart) + candidate;
  }
  return found.value_or(path);
}

MapInfo ReadMapInfo(const std::string& path, const MapCorners& current) {
  MapInfo info;
  info.corners = current;

  // A path holding a NUL byte names no file: the system would take it only up to that byte, which
  // is another file (a hand-edited last map or link target can hold one).
  if (path.find('\0') != std::string::npos) {
    info.status = MapInfoStatus::FileNotFound;
    info.message = Unable(path, "File not found.");
    return info;
  }

  info.document = LoadIniFile(path).document;
  const IniDocument& file = info.document;
  // The first key, "UpperLeft_X", tells whether the file is a map info file at all.
  const int32_t upperLeftX = IntOr(file.Value(MapDimensionsSection, CornerKeys[0].key), kNoCorner);
  const auto picture = upperLeftX == kNoCorner ? std::nullopt : FindPicture(path);
  if (upperLeftX == kNoCorner) {
    info.status = IsFile(path) ? MapInfoStatus::InvalidDimensions : MapInfoStatus::FileNotFound;
    info.message = Unable(path, IsFile(path) ? "Invalid map dimensions file." : "File not found.");
    return info;
  }
  if (!picture) {
    info.status = MapInfoStatus::PictureNotFound;
    info.message = "Unable to load image '" + PictureNameForMessages(path) + "'. File not found.";
    return info;
  }

  // The corners are taken only when all eight are numbers: a bad key leaves those in use as they were,
  // so that the map still shown keeps its own.
  info.corners.upperLeft.x = upperLeftX;
  for (const CornerKey& k : std::span(CornerKeys).subspan(1)) {
    const std::string text = file.Value(MapDimensionsSection, k.key);
    const auto value = ParseInt(text);
    if (!value) {
      info.corners = current;
      info.status = MapInfoStatus::NotAnInteger;
      info.message = NotAnIntegerMessage(text);
      return info;
    }
    CornerValue(info.corners, k) = *value;
  }

  // Corners on which no picture pixel can be converted to a world point make the map unusable.
  if (CornersAreDegenerate(info.corners)) {
    info.corners = current;
    info.status = MapInfoStatus::InvalidDimensions;
    info.message = Unable(path, "Invalid map dimensions file.");
    return info;
  }
  info.picturePath = *picture;
  return info;
}

std::string MapWindowTitle(const std::string& mapInfoPath) {
  const std::string name = mapInfoPath.substr(NameStart(mapInfoPath));
  const std::string stem = WithoutExtension(name);
  std::string title;
  // Only ASCII letters change case: the bytes above 127 are Windows-1252 text, not this locale's.
  if (!name.empty())
    title += (name[0] >= 'a' && name[0] <= 'z') ? static_cast<char>(name[0] - 'a' + 'A') : name[0];
  for (std::size_t i = 1; i < stem.size() && title.size() < 2000; ++i) {
    const char c = stem[i];
    title += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return "Orvantis v2.2 By Vexmoor - " + title;
}

}  // namespace orv
