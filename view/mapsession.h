#pragma once
// MapSession: the current map. It owns the map info file's path and the one before it, the corners
// and the outline through them, and the decoded picture into which the outline and the link frames
// are drawn. Loading reports what happened and what the user should read; it touches no widget.
#include <QImage>
#include <optional>
#include <string>
#include <vector>

#include "core/transform.h"
#include "storage/inidocument.h"
#include "view/overview.h"

namespace orv {

class PictureAhead;

// How a map load ended.
enum class LoadOutcome {
  Loaded,              // the map is current now
  Refused,             // a missing file or an unreadable picture: nothing changed
  Declined,            // the user chose to stay on the map shown, whose changes could not be saved
  CornerNotAnInteger,  // a corner key after UpperLeft_X was not an integer: the load stopped there and
                       // nothing changed
};

struct MapLoadResult {
  LoadOutcome outcome = LoadOutcome::Refused;
  // What the user is told, in order, as bytes (paths in the file system's encoding).
  std::vector<std::string> messages;
  // After a load, the map that was current before it; empty when there was none. Its bookmarks and
  // links are still to be saved into it.
  std::string leftMap;
  // After a load, the map info file as it was read, for the bookmarks and links it holds.
  IniDocument document;
  // After a load whose picture was decoded ahead, its overview, made while the rows came; null
  // otherwise (the overview is then made from the picture).
  Overview overview;
};

class MapSession {
 public:
  // Makes the map info file at path (file system encoding) the current map: its corners, their
  // outline (not drawn) and its picture, decoded before anything changes so that a picture that
  // cannot be read leaves the current map as it was. The map it replaces becomes the previous one.
  // The picture is taken from ahead when it decoded that very file already.
  MapLoadResult Load(const std::string& path, PictureAhead* ahead = nullptr);

  // Full path of the current map info file; empty before the first load.
  const std::string& CurrentMapFile() const { return current_; }
  // The map current before it, the target of "Go Back"; empty until a second map was loaded.
  const std::string& PreviousMapFile() const { return previous_; }

  // Picture pixels of the world's corners; the defaults while no map is loaded.
  const MapCorners& Corners() const { return corners_; }
  void SetCorners(const MapCorners& corners) { corners_ = corners; }
  // Picture pixels; all zero until the first load.
  const MapOutline& Outline() const { return outline_; }

  // The decoded picture (picture pixels), RGB32; null until a load. Marks are inverted into it.
  QImage& Picture() { return picture_; }
  const QImage& Picture() const { return picture_; }

  // Whether the outline is drawn into the picture. A load brings a picture without it.
  bool OutlineVisible() const { return outlineVisible_; }
  void SetOutlineVisible(bool visible) { outlineVisible_ = visible; }
  // Shows or removes the outline.
  void ToggleOutline();
  // Reads the corners of the current map info file again, storing each as it is read, and moves a
  // shown outline onto them. Returns the text of the first value that is missing or not an integer;
  // the corners before it stay stored and a shown outline stays where it was.
  std::optional<std::string> ReloadCorners();
  // Uses corners from now on (a calibration being worked on), moving a shown outline onto them. The
  // map info file is not touched.
  void ApplyCorners(const MapCorners& corners);

 private:
  void InvertOutline();

  std::string current_;
  std::string previous_;
  MapCorners corners_;
  MapOutline outline_{};
  QImage picture_;
  bool outlineVisible_ = false;
};

}  // namespace orv
