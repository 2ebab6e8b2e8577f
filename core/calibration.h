#pragma once
// Calibrating a map: finding the eight corner values from control points, each a spot the player
// picked on the picture together with the world point the game reports there.
//
// The program places a world point on the picture by interpolating bilinearly between the four
// corners (WorldToMapPixel), so a picture position is linear in the eight corner values. The corners
// therefore follow from the control points by linear least squares, for each picture axis on its own:
// three points give the parallelogram through them, four give the exact bilinear solution, five or
// more the least-squares fit.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/transform.h"

namespace orv {

// A position in picture pixels at 100 percent, with fractions: a click on a zoomed map falls between
// picture pixels.
struct PicturePoint {
  double x = 0;
  double y = 0;
  friend bool operator==(const PicturePoint&, const PicturePoint&) = default;
};

struct ControlPoint {
  PicturePoint picture;  // picture pixel the player picked
  Point world;           // world point the game reports there
  friend bool operator==(const ControlPoint&, const ControlPoint&) = default;
};

// The eight corner values as the solve gives them, before rounding: picture pixels (at 100 percent)
// of the world points (0, 0), (5120, 0), (0, 4096) and (5120, 4096).
struct CornerValues {
  PicturePoint upperLeft, upperRight, lowerLeft, lowerRight;
};

// Picture position of a world point under real-valued corners: the program's bilinear interpolation
// without its intermediate roundings.
PicturePoint PictureOfWorld(const CornerValues& corners, Point world);

// The corners as the map info file stores them: each value rounded to the nearest integer, halves
// away from zero, as the program rounds every picture pixel. No value when one does not fit in 32 bits.
std::optional<MapCorners> RoundedCorners(const CornerValues& corners);

enum class CalibrationStatus {
  Ok,
  TooFewPoints,          // fewer than three points
  SamePixel,             // two points less than a pixel apart in both directions
  SameWorldPoint,        // two points with the same world point
  WorldPointsOnOneLine,  // the world points do not span both directions
  PixelsOnOneLine,       // the picked pixels do not span both directions
  UnusableCorners,       // the corners do not fit in the file, or no pixel could be converted back
};

enum class CalibrationModel {
  Parallelogram,  // three points, or points that leave the bend of the quadrilateral open
  Bilinear,       // four or more points that fix all eight values
};

struct PointResidual {
  PicturePoint offset;    // fitted picture position minus the picked one, in picture pixels
  double pixels = 0;      // length of offset, in picture pixels
  double worldUnits = 0;  // distance from the world point to the world point the fit puts at the
                          // picked pixel, in world units
  // pixels weighed by how far the fit could bend towards the point: pixels / sqrt(1 - leverage),
  // where the leverage (0 to 1) is the share of the point's own error that the fit takes up. Its
  // square is what leaving the point out would take off the sum of squared residuals. 0 for a point
  // that fits exactly or that alone fixes part of the fit.
  double weighedPixels = 0;
};

struct Calibration {
  CalibrationStatus status = CalibrationStatus::TooFewPoints;
  std::string message;                // why the points are refused; empty when Ok
  std::vector<std::size_t> culprits;  // indices of the points the refusal names (0-based)

  CalibrationModel model = CalibrationModel::Parallelogram;
  CornerValues exact;                    // the least-squares corners
  MapCorners corners;                    // the same, rounded as the map info file stores them
  std::vector<PointResidual> residuals;  // one per point, in the order given
  double rmsPixels = 0;                  // root mean square of the residuals in picture pixels
  double rmsWorldUnits = 0;              // the same in world units
  // The point with the largest weighed residual: the one the others agree with least. Among good
  // points one misplaced point is always this one, even where the fit bent so far towards it that a
  // good point's plain residual came out larger. None when every point fits exactly (three or four
  // points). With only one point to spare (five points) the weighed residuals are all equal, and
  // the plainly largest residual is marked.
  std::optional<std::size_t> largest;

  bool ok() const { return status == CalibrationStatus::Ok; }
};

// Solves the corners from the control points, or says why the points cannot give a map.
Calibration SolveCalibration(const std::vector<ControlPoint>& points);

}  // namespace orv
