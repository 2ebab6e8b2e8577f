#include "core/newmap.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/calibrationfile.h"
#include "core/mapinfo.h"
#include "core/picturesize.h"
#include "storage/inifile.h"
#include "storage/settings.h"

namespace orv {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// An existing file beside wanted whose name differs from wanted's at most in letter case.
std::optional<std::string> ExistingInAnyCase(const fs::path& wanted) {
  std::error_code ec;
  if (fs::exists(wanted, ec)) return wanted.string();
  const fs::path dir = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  const std::string name = Lower(wanted.filename().string());
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (Lower(it->path().filename().string()) == name) return it->path().string();
  }
  return std::nullopt;
}

NewMap Refused(NewMapStatus status, std::string mapInfoPath, std::string message) {
  return {status, std::move(mapInfoPath), std::move(message)};
}

}  // namespace

NewMap NewMapFromPicture(const std::string& picturePath) {
  const std::string mapInfoPath = fs::path(picturePath).replace_extension(".dem").string();
  if (const auto existing = ExistingInAnyCase(mapInfoPath)) {
    return Refused(NewMapStatus::AlreadyExists, *existing,
                   "The map info file '" + *existing + "' already exists.");
  }
  // The map load looks for the picture beside the map info file by name; a picture it would not find
  // (a ".jpeg" name) or would not choose (another picture of the same name in other letter case) would
  // make a map that shows something else or nothing.
  const auto found = FindPicture(mapInfoPath);
  if (!found || !SameFile(*found, picturePath)) {
    return Refused(NewMapStatus::NotAMapPicture, mapInfoPath,
                   "'" + picturePath + "' cannot become a map: the map would look for its picture as '" +
                       PictureNameForMessages(mapInfoPath) + "'" +
                       (found ? " and find '" + *found + "'." : ". Rename the picture to end in .jpg."));
  }
  const auto size = ReadPictureSize(picturePath);
  if (!size) {
    return Refused(NewMapStatus::PictureUnreadable, mapInfoPath,
                   "Unable to read the picture '" + picturePath + "'.");
  }
  if (size->width < 2 || size->height < 2) {
    return Refused(NewMapStatus::PictureUnreadable, mapInfoPath,
                   "The picture '" + picturePath + "' is too small to be a map.");
  }

  const int32_t right = size->width - 1, bottom = size->height - 1;
  SettingsWriteGroup group(mapInfoPath);
  WriteMapCorners(mapInfoPath, {{0, 0}, {right, 0}, {0, bottom}, {right, bottom}});
  WriteSetting(VersionSection, VersionKey, mapInfoPath, VersionOfLayout);
  if (!group.Close()) {
    return Refused(NewMapStatus::WriteFailed, mapInfoPath,
                   "Unable to write the map info file '" + mapInfoPath + "'.");
  }
  return {NewMapStatus::Created, mapInfoPath, ""};
}

}  // namespace orv
