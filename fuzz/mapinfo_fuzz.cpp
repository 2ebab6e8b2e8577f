// Map info files as users edit them by hand: the checks of a map load never crash, and a file they
// accept has eight corners on which the conversions work without undefined behaviour.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/mapinfo.h"
#include "fuzz_common.h"
#include "storage/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string dem = orv::fuzzing::WriteScratch("map.dem", bytes);
  orv::fuzzing::WriteScratch("map.JPG", "");
  const orv::MapCorners before{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
  const orv::MapInfo info = orv::ReadMapInfo(dem, before);
  if (info.status == orv::MapInfoStatus::Ok) {
    if (info.message != "" || info.picturePath.empty()) ORV_FAIL();
    for (int32_t p : {0, 1, 1000, -1000, 2147483647}) {
      orv::MapPixelToWorld(info.corners, 100, {p, p});
      orv::WorldToMapPixel(info.corners, 37, {p, -p});
    }
  } else if (info.message.empty()) {
    ORV_FAIL();
  }
  return 0;
}
