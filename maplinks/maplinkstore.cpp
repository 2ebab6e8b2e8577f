// Stand-in for the map link store until its own code lands; replaced wholesale by it.
#include "maplinks/maplinkstore.h"

#include "storage/settings.h"

namespace orv {

void LoadMapLinks(std::vector<std::string>& links, const std::string& mapFile) {
  links.clear();
  for (int n = 1;; ++n) {
    std::string record = ReadSetting("Map Links", "maplink" + std::to_string(n), mapFile);
    if (record.empty()) break;
    links.push_back(record);
  }
}
bool SaveMapLinks(const std::vector<std::string>& links, const std::string& mapFile) {
  SettingsWriteGroup group(mapFile);
  bool ok = WriteSetting("Map Links", "", mapFile, "");
  for (std::size_t i = 0; i < links.size(); ++i)
    ok = WriteSetting("Map Links", "maplink" + std::to_string(i + 1), mapFile, links[i]) && ok;
  return group.Close() && ok;
}
void SortMapLinks(std::vector<std::string>&) {}
std::optional<LinkRect> LinkArea(const std::string&) {
  return std::nullopt;
}
std::optional<std::size_t> FindLinkAt(const std::vector<std::string>&, Point) {
  return std::nullopt;
}

}  // namespace orv
