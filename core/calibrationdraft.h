#pragma once
// The calibration a player is working on for one map: its control points, the corners they give,
// and what the map shows meanwhile. The calibration window edits a draft and renders from it; the
// map info file changes only when the draft is saved.
#include <string>
#include <vector>

#include "core/calibration.h"
#include "core/transform.h"

namespace orv {

class CalibrationDraft {
 public:
  // Starts from the map's corners in use and the control points saved with the map, if any.
  CalibrationDraft(std::string mapInfoPath, const MapCorners& mapCorners);

  // The map info file the draft calibrates.
  const std::string& mapInfoPath() const { return mapInfoPath_; }
  const std::vector<ControlPoint>& points() const { return points_; }
  // Whether the points differ from those the map info file held when the draft started.
  bool changed() const { return points_ != saved_; }
  // The solve of the current points (refused, with its message, while they cannot give a map).
  const Calibration& calibration() const { return calibration_; }

  void Add(const ControlPoint& point);
  // The point's marker dragged to another picture pixel.
  void MovePicture(std::size_t index, PicturePoint picture);
  // The point's world point typed anew.
  void SetWorld(std::size_t index, Point world);
  void Remove(std::size_t index);

  // The corners the map shows while the draft is open: the solved ones while the points give a map,
  // otherwise the map's own. The outline and the cross follow these.
  const MapCorners& CornersToShow() const;
  // The map's corners as they were when the draft started: what Cancel goes back to.
  const MapCorners& original() const { return original_; }

  struct SaveResult {
    bool saved = false;
    std::string message;  // why nothing was saved; empty when saved
  };
  // Writes the solved corners and the points into the map info file. Nothing is written while the
  // points give no map.
  SaveResult Save() const;

 private:
  void Solve();

  std::string mapInfoPath_;
  MapCorners original_;
  std::vector<ControlPoint> points_;
  std::vector<ControlPoint> saved_;
  Calibration calibration_;
};

}  // namespace orv
