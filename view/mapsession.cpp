#include "view/mapsession.h"

#include <utility>

#include "core/mapinfo.h"
#include "view/mapoutline.h"
#include "view/picture.h"

namespace orv {

MapLoadResult MapSession::Load(const std::string& path, PictureAhead* ahead) {
  MapLoadResult result;
  // The map info file: its first corner value, the picture beside it, then the other corners.
  MapInfo info = ReadMapInfo(path, corners_);
  if (info.status == MapInfoStatus::NotAnInteger) {
    result.outcome = LoadOutcome::CornerNotAnInteger;
    result.messages.push_back(info.message);
    return result;
  }
  if (info.status != MapInfoStatus::Ok) {
    result.messages.push_back(info.message);
    return result;
  }

  QImage picture;
  const auto early = ahead ? TakePicture(*ahead, info.picturePath, picture, &result.overview) : std::nullopt;
  const JpegResult decoded = early ? *early : LoadPicture(info.picturePath, picture);
  if (decoded == JpegResult::Unreadable || picture.isNull()) {
    result.messages.push_back("Unable to load image '" + PictureNameForMessages(path) +
                              "'. The picture could not be read.");
    return result;
  }

  corners_ = info.corners;
  outline_ = OutlineOf(corners_);
  // The new picture carries none of the marks drawn into the old one.
  outlineVisible_ = false;
  picture_ = std::move(picture);
  result.leftMap = current_;
  result.document = std::move(info.document);
  if (!current_.empty()) previous_ = current_;
  current_ = path;
  result.outcome = LoadOutcome::Loaded;
  if (decoded == JpegResult::Damaged)
    result.messages.push_back("The picture '" + PictureNameForMessages(path) +
                              "' is damaged; parts of it may be missing.");
  return result;
}

void MapSession::InvertOutline() {
  InvertMapOutline(picture_, outline_);
}

void MapSession::ToggleOutline() {
  outlineVisible_ = !outlineVisible_;
  InvertOutline();
}

std::optional<std::string> MapSession::ReloadCorners() {
  if (outlineVisible_) InvertOutline();
  if (auto bad = ReloadCornersFrom(current_, corners_)) {
    // The outline still stands for the old corners: draw it back so that the picture keeps showing
    // what OutlineVisible says.
    if (outlineVisible_) InvertOutline();
    return bad;
  }
  outline_ = OutlineOf(corners_);
  if (outlineVisible_) InvertOutline();
  return std::nullopt;
}

void MapSession::ApplyCorners(const MapCorners& corners) {
  if (outlineVisible_) InvertOutline();
  corners_ = corners;
  outline_ = OutlineOf(corners_);
  if (outlineVisible_) InvertOutline();
}

}  // namespace orv
