#pragma once
// Writing a sample map's two files: the picture as JPEG and the map info file.
#include <QImage>
#include <string>

#include "maps.h"

namespace samplemaps {

bool WriteJpeg(const QImage& image, const std::string& path, int quality);

// Writes a new map info file at path (replacing any old one): the map's corners, the version of the
// record layouts, its bookmarks (ordered by name, each with the font new bookmarks get) and its link
// areas, all through the settings layer the program itself reads and writes them with.
bool WriteMapInfo(const std::string& path, const MapOutput& map);

}  // namespace samplemaps
