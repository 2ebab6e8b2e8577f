#include "core/calibrationdraft.h"

#include "core/calibrationfile.h"

namespace orv {

CalibrationDraft::CalibrationDraft(std::string mapInfoPath, const MapCorners& mapCorners)
    : mapInfoPath_(std::move(mapInfoPath)),
      original_(mapCorners),
      points_(LoadCalibrationPoints(mapInfoPath_)),
      saved_(points_) {
  Solve();
}

void CalibrationDraft::Add(const ControlPoint& point) {
  points_.push_back(point);
  Solve();
}

void CalibrationDraft::MovePicture(std::size_t index, PicturePoint picture) {
  if (index >= points_.size()) return;
  points_[index].picture = picture;
  Solve();
}

void CalibrationDraft::SetWorld(std::size_t index, Point world) {
  if (index >= points_.size()) return;
  points_[index].world = world;
  Solve();
}

void CalibrationDraft::Remove(std::size_t index) {
  if (index >= points_.size()) return;
  points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(index));
  Solve();
}

const MapCorners& CalibrationDraft::CornersToShow() const {
  return calibration_.ok() ? calibration_.corners : original_;
}

CalibrationDraft::SaveResult CalibrationDraft::Save() const {
  if (!calibration_.ok()) return {false, calibration_.message};
  if (!SaveCalibration(mapInfoPath_, calibration_.corners, points_)) {
    return {false, "Unable to write the map info file '" + mapInfoPath_ + "'."};
  }
  return {true, ""};
}

void CalibrationDraft::Solve() {
  calibration_ = SolveCalibration(points_);
}

}  // namespace orv
