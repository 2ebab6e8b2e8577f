#pragma once
// Turning a picture into a map: writing the map info file that makes a JPEG picture a map.
#include <string>

namespace orv {

enum class NewMapStatus {
  Created,            // the map info file was written; mapInfoPath names it
  AlreadyExists,      // a map info file of that name exists (mapInfoPath); nothing was written
  NotAMapPicture,     // the map info file would not find this picture (its name does not end in .jpg)
  PictureUnreadable,  // not a JPEG that can be read, or too small to hold a map
  WriteFailed,        // the map info file could not be written
};

struct NewMap {
  NewMapStatus status = NewMapStatus::Created;
  std::string mapInfoPath;  // the map info file written, or the one found
  std::string message;      // what the user is told; empty when Created
};

// Writes the map info file beside the picture (same name, extension ".dem"): "Version" v2.2 in
// "General" and the corners on the picture's corner pixels, upper left (0, 0) to lower right
// (width - 1, height - 1), so the whole world lies on the picture until it is calibrated. The size
// comes from the picture's header; the picture is not decoded. When a map info file of that name
// exists in any letter case, nothing is written.
NewMap NewMapFromPicture(const std::string& picturePath);

}  // namespace orv
