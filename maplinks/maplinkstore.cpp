#include "maplinks/maplinkstore.h"

#include <algorithm>
#include <string_view>

#include "storage/fields.h"
#include "storage/inidocument.h"
#include "storage/inifile.h"
#include "storage/integers.h"
#include "storage/storedvalues.h"
#include "view/localeorder.h"

namespace orv {
namespace {

constexpr std::string_view kLinkKeyPrefix = "maplink";  // keys "maplink1", "maplink2", ...
// Fields of a link record after its four corner values.
constexpr int kTargetField = 5;
constexpr int kTextField = 6;

}  // namespace

void LoadMapLinks(std::vector<std::string>& links, const IniDocument& map) {
  const std::vector<std::string_view> records = NumberedList(map, MapLinksSection, kLinkKeyPrefix);
  links.assign(records.begin(), records.end());
}

void LoadMapLinks(std::vector<std::string>& links, const std::string& mapFile) {
  LoadMapLinks(links, LoadIniFile(mapFile).document);
}

void PutMapLinks(const std::vector<std::string>& links, IniDocument& map) {
  // A stray line break from a hand-edited file becomes a blank: refused, the record would leave a
  // gap at which the next load stops.
  NumberedKey key(kLinkKeyPrefix);
  IniSectionLines lines;
  std::size_t bytes = 0;
  for (const std::string& link : links) bytes += link.size() + 16;  // with the key and "="
  lines.Reserve(links.size(), bytes);
  for (std::size_t i = 0; i < links.size(); ++i) lines.AddRecord(key(i + 1), links[i]);
  map.ReplaceSection(MapLinksSection, std::move(lines));
}

bool SaveMapLinks(const std::vector<std::string>& links, const std::string& mapFile) {
  IniFile map = LoadIniFile(mapFile);
  PutMapLinks(links, map.document);
  return SaveIniFile(map, mapFile);
}

void SortMapLinks(std::vector<std::string>& links) {
  std::vector<std::string_view> texts;
  texts.reserve(links.size());
  for (const std::string& record : links) texts.push_back(FieldView(kTextField, record));
  Reorder(links, LocaleOrder(texts));
}

std::optional<LinkRect> LinkArea(const std::string& record) {
  LinkRect area;
  int32_t* corners[] = {&area.x1, &area.y1, &area.x2, &area.y2};
  for (int i = 0; i < 4; ++i) {
    const auto value = ParseInt(FieldView(i + 1, record));
    if (!value) return std::nullopt;
    *corners[i] = *value;
  }
  return area;
}

bool AreaHolds(const LinkRect& area, Point p) {
  return std::min(area.x1, area.x2) < p.x && p.x < std::max(area.x1, area.x2) &&
         std::min(area.y1, area.y2) < p.y && p.y < std::max(area.y1, area.y2);
}

std::optional<std::size_t> FindLinkAt(const std::vector<std::string>& links, Point picturePixel) {
  for (std::size_t i = 0; i < links.size(); ++i) {
    const auto area = LinkArea(links[i]);
    if (area && AreaHolds(*area, picturePixel)) return i;
  }
  return std::nullopt;
}

std::string MakeMapLinkRecord(const LinkRect& area, const std::string& targetFileName,
                              const std::string& statusText) {
  const std::string sep(1, FieldSeparator);
  return std::to_string(area.x1) + sep + std::to_string(area.y1) + sep + std::to_string(area.x2) + sep +
         std::to_string(area.y2) + sep + targetFileName + sep + statusText;
}

namespace {

MapLink ParseMapLink(std::string record) {
  MapLink link;
  link.area = LinkArea(record);
  link.targetFile = GetField(kTargetField, record, FieldSeparator);
  link.statusText = GetField(kTextField, record, FieldSeparator);
  link.record = std::move(record);
  return link;
}

}  // namespace

void MapLinkStore::Replace(std::vector<std::string> records) {
  links_.clear();
  links_.reserve(records.size());
  for (const std::string& record : records) links_.push_back(ParseMapLink(record));
  records_ = std::move(records);
  emit changed();
}

void MapLinkStore::Load(const IniDocument& map) {
  std::vector<std::string> records;
  LoadMapLinks(records, map);
  Replace(std::move(records));
}

bool MapLinkStore::Save(const std::string& mapFile) const {
  return SaveMapLinks(records_, mapFile);
}

void MapLinkStore::Add(std::string record) {
  std::vector<std::string> records = records_;
  records.push_back(std::move(record));
  SortMapLinks(records);
  Replace(std::move(records));
  emit edited();
}

void MapLinkStore::Remove(std::size_t index) {
  if (index >= links_.size()) return;
  records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
  links_.erase(links_.begin() + static_cast<std::ptrdiff_t>(index));
  emit changed();
  emit edited();
}

void MapLinkStore::Sort() {
  std::vector<std::string> records = records_;
  SortMapLinks(records);
  if (records != records_) Replace(std::move(records));
}

std::optional<std::size_t> MapLinkStore::FindAt(Point picturePixel) const {
  for (std::size_t i = 0; i < links_.size(); ++i)
    if (links_[i].area && AreaHolds(*links_[i].area, picturePixel)) return i;
  return std::nullopt;
}

Point AreaMiddle(const LinkRect& area) {
  // In 64 bits: corners from a hand-edited file may lie far apart.
  const auto middle = [](int64_t a, int64_t b) {
    return static_cast<int32_t>(std::min(a, b) + (std::max(a, b) - std::min(a, b)) / 2);
  };
  return {middle(area.x1, area.x2), middle(area.y1, area.y2)};
}

}  // namespace orv
