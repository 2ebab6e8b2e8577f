// Bookmark and map link records as hand-edited files bring them: loaded from a settings file and a
// map info file, sorted, drawn, hovered, and saved back. The promises:
// - loading never crashes, every list ends at its first empty record and every font record stays
//   beside its bookmark through the sort;
// - a frame drawn by a names layer that kept what earlier frames (other zooms, other scroll
//   positions, changed records) worked out has exactly the pixels of a frame drawn from scratch;
// - the hover finds the first link, in list order, whose open area holds the point;
// - what is saved loads again as the same records, and what was loaded saves and loads unchanged.
//
// Input: one byte of options, two bytes giving the length of the settings file, the settings file,
// then the map info file.
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bookmarks/bookmarkdraw.h"
#include "bookmarks/bookmarkstore.h"
#include "fuzz_common.h"
#include "maplinks/maplinkstore.h"
#include "storage/fields.h"
#include "storage/settings.h"
#include "view/mapviewport.h"

namespace {

using orv::FieldSeparator;
using orv::GetField;

// Corners of the map the names are drawn on, chosen by the options byte.
const orv::MapCorners kCorners[] = {
    {{0, 0}, {1280, 0}, {0, 1024}, {1280, 1024}},  // the world on a picture of 1280 x 1024
    {{12, 40}, {900, 3}, {60, 700}, {950, 760}},   // skewed
    {{-90000, -70000}, {90000, -70000}, {-90000, 70000}, {90000, 70000}},  // a small part of the world
    {{0, 0}, {5120, 0}, {0, 4096}, {5120, 4096}},                          // one pixel per step
};

struct Frame {
  int32_t zoom, scrollX, scrollY;
};
const Frame kFrames[] = {{100, 0, 0},  {100, 300, 200}, {50, 0, 0},
                         {25, 40, 20}, {250, 700, 500}, {100, 0, 0}};

// Records and their font records as pairs, in an order of their own, for comparing contents.
std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<std::string>& records,
                                                       const std::vector<std::string>& fonts) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (std::size_t i = 0; i < records.size(); ++i) pairs.emplace_back(records[i], fonts[i]);
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

void CheckLists(const orv::BookmarkLists& lists) {
  ORV_CHECK(lists.CurrentMapBookmarks.size() == lists.CurrentMapBookmarkFonts.size());
  ORV_CHECK(lists.GlobalBookmarks.size() == lists.GlobalBookmarkFonts.size());
  for (const auto* list : {&lists.CurrentMapBookmarks, &lists.GlobalBookmarks})
    for (const std::string& record : *list) ORV_CHECK(!record.empty());
}

bool Holds(const orv::LinkRect& a, orv::Point p) {
  const int64_t x = p.x, y = p.y;
  return std::min<int64_t>(a.x1, a.x2) < x && x < std::max<int64_t>(a.x1, a.x2) &&
         std::min<int64_t>(a.y1, a.y2) < y && y < std::max<int64_t>(a.y1, a.y2);
}

void CheckHover(const std::vector<std::string>& links) {
  std::vector<orv::Point> points;
  for (int32_t y = -3; y < 1100; y += 41)
    for (int32_t x = -3; x < 1400; x += 37) points.push_back({x, y});
  // Around the corners of the first links: the frame itself is outside, one pixel in is inside.
  for (std::size_t i = 0; i < std::min<std::size_t>(links.size(), 8); ++i) {
    const auto area = orv::LinkArea(links[i]);
    if (!area) continue;
    for (int32_t cx : {area->x1, area->x2})
      for (int32_t cy : {area->y1, area->y2})
        for (int dx = -1; dx <= 1; ++dx)
          for (int dy = -1; dy <= 1; ++dy)
            points.push_back(
                {static_cast<int32_t>(std::clamp<int64_t>(int64_t{cx} + dx, INT32_MIN, INT32_MAX)),
                 static_cast<int32_t>(std::clamp<int64_t>(int64_t{cy} + dy, INT32_MIN, INT32_MAX))});
    orv::AreaMiddle(*area);
  }
  for (const orv::Point p : points) {
    std::optional<std::size_t> first;
    for (std::size_t i = 0; i < links.size() && !first; ++i) {
      const auto area = orv::LinkArea(links[i]);
      if (area && Holds(*area, p)) first = i;
    }
    ORV_CHECK(orv::FindLinkAt(links, p) == first);
    for (int32_t zoom : {1, 37, 100, 250, 100000}) {
      orv::MapViewport::ZoomedToPicture(p, zoom);
      orv::MapViewport::PictureToZoomed(p, zoom);
    }
  }
}

// Draws every frame twice: with one layer that keeps what it worked out from frame to frame, and
// with a new layer each time. The lists change between frames as the bookmarks window changes them.
void CheckDrawing(orv::BookmarkLists lists, const orv::MapCorners& corners) {
  orv::BookmarkNames kept;
  QImage a(160, 120, QImage::Format_RGB32), b(160, 120, QImage::Format_RGB32);
  int frame = 0;
  for (const Frame& f : kFrames) {
    if (frame == 2 && !lists.CurrentMapBookmarks.empty()) {
      std::string& first = lists.CurrentMapBookmarks.front();
      first = orv::SetField(1, first, FieldSeparator, GetField(1, first, FieldSeparator) == "V" ? "N" : "V");
    }
    if (frame == 4 && !lists.GlobalBookmarkFonts.empty()) lists.GlobalBookmarkFonts.back() += "iu";
    // The window tells the layer of every change, as here at each frame.
    kept.ListsChanged();
    a.fill(0xFF808080u);
    b.fill(0xFF808080u);
    kept.Draw(a, lists, corners, f.zoom, f.scrollX, f.scrollY);
    orv::BookmarkNames fresh;
    fresh.Draw(b, lists, corners, f.zoom, f.scrollX, f.scrollY);
    if (a != b) ORV_FAIL();
    ++frame;
  }
}

// A key as the settings files match it: blanks around it dropped, ASCII letters in lower case; empty
// when no key can be written under it.
std::string KeyOf(const std::string& id) {
  const auto begin = id.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  std::string key = id.substr(begin, id.find_last_not_of(" \t") - begin + 1);
  if (key.find_first_of("\r\n=") != std::string::npos || key[0] == '[' || key[0] == ';' || key[0] == '#')
    return {};
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

// The visibility each global bookmark has after its records went through a save and a load: the
// value saved last under its identifier, or "V" where none is stored (an empty value removes the
// key; an identifier that cannot be a key stores nothing).
std::vector<std::string> VisibilitiesAfterSave(std::vector<std::string> globals) {
  for (std::string& record : globals) record = orv::StorableValue(record);
  std::map<std::string, std::string> stored;
  for (const std::string& record : globals) {
    const std::string key = KeyOf(GetField(1, record, FieldSeparator));
    if (key.empty()) continue;
    const std::string value = GetField(2, record, FieldSeparator);
    if (value.empty())
      stored.erase(key);
    else
      stored[key] = value;
  }
  std::vector<std::string> out;
  for (const std::string& record : globals) {
    const auto it = stored.find(KeyOf(GetField(1, record, FieldSeparator)));
    out.push_back(it == stored.end() ? "V" : it->second);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Fonts need a GUI application; the offscreen platform needs no display.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // Kept for the whole run and never destroyed: Qt's per-thread font caches would otherwise outlive
  // the thread storage that the application's destruction at exit tears down, and read as leaks.
  static QGuiApplication* app = new QGuiApplication(*argc, *argv);
  (void)app;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const uint8_t options = data[0];
  const std::size_t settingsSize = std::min<std::size_t>((std::size_t{data[1]} << 8) | data[2], size - 3);
  const std::string settingsBytes(reinterpret_cast<const char*>(data + 3), settingsSize);
  const std::string mapBytes(reinterpret_cast<const char*>(data + 3 + settingsSize), size - 3 - settingsSize);
  const std::string settings = orv::fuzzing::WriteScratch("orvantis.ini", settingsBytes);
  const std::string map = orv::fuzzing::WriteScratch("map.dem", mapBytes);

  // Loaded as at start-up and at a map load.
  orv::BookmarkLists lists;
  std::mt19937 random(options);
  orv::LoadGlobalBookmarks(lists, settings, random);
  orv::LoadMapBookmarks(lists, map);
  std::vector<std::string> links;
  orv::LoadMapLinks(links, map);
  CheckLists(lists);
  for (const std::string& link : links) ORV_CHECK(!link.empty());

  // Sorted: each font record moves with its record, nothing is lost or made.
  const auto currentPairs = Pairs(lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts);
  const auto globalPairs = Pairs(lists.GlobalBookmarks, lists.GlobalBookmarkFonts);
  std::vector<std::string> sortedLinks = links;
  orv::SortBookmarks(lists);
  orv::SortMapLinks(sortedLinks);
  ORV_CHECK(Pairs(lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts) == currentPairs);
  ORV_CHECK(Pairs(lists.GlobalBookmarks, lists.GlobalBookmarkFonts) == globalPairs);
  std::sort(links.begin(), links.end());
  std::vector<std::string> sortedCopy = sortedLinks;
  std::sort(sortedCopy.begin(), sortedCopy.end());
  ORV_CHECK(sortedCopy == links);
  links = std::move(sortedLinks);

  CheckDrawing(lists, kCorners[options % 4]);
  for (const std::string& font : lists.GlobalBookmarkFonts)
    for (int32_t reduction : {0, 5, 10}) orv::DrawFontOf(font, reduction);
  CheckHover(links);

  // Saved and loaded again.
  ORV_CHECK(orv::SaveBookmarks(lists, map, settings));
  ORV_CHECK(orv::SaveMapLinks(links, map));
  orv::BookmarkLists again;
  orv::LoadGlobalBookmarks(again, settings, random);
  orv::LoadMapBookmarks(again, map);
  std::vector<std::string> linksAgain;
  orv::LoadMapLinks(linksAgain, map);

  // A value is read back without the blanks around it, as a hand-edited "Name = Verdana" reads.
  auto storable = [](std::vector<std::string> values) {
    for (std::string& v : values) {
      v = orv::StorableValue(v);
      v.erase(0, v.find_first_not_of(" \t"));
      v.erase(v.find_last_not_of(" \t") + 1);
    }
    return values;
  };
  ORV_CHECK(again.CurrentMapBookmarks == storable(lists.CurrentMapBookmarks));
  ORV_CHECK(again.CurrentMapBookmarkFonts == storable(lists.CurrentMapBookmarkFonts));
  ORV_CHECK(again.GlobalBookmarkFonts == storable(lists.GlobalBookmarkFonts));
  ORV_CHECK(linksAgain == storable(links));
  // Global records come back whole; their visibility is the one the map info file keeps.
  const std::vector<std::string> visibilities = VisibilitiesAfterSave(lists.GlobalBookmarks);
  std::vector<std::string> expected = storable(lists.GlobalBookmarks);
  ORV_CHECK(again.GlobalBookmarks.size() == expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    ORV_CHECK(again.GlobalBookmarks[i] == orv::SetField(2, expected[i], FieldSeparator, visibilities[i]));

  // What was loaded saves and loads once more as the same records. (The bytes may differ: new lines
  // take the line ending of the file's first line, and the first save can change that line.)
  ORV_CHECK(orv::SaveBookmarks(again, map, settings));
  ORV_CHECK(orv::SaveMapLinks(linksAgain, map));
  orv::BookmarkLists third;
  orv::LoadGlobalBookmarks(third, settings, random);
  orv::LoadMapBookmarks(third, map);
  std::vector<std::string> linksThird;
  orv::LoadMapLinks(linksThird, map);
  ORV_CHECK(third.CurrentMapBookmarks == again.CurrentMapBookmarks);
  ORV_CHECK(third.CurrentMapBookmarkFonts == again.CurrentMapBookmarkFonts);
  ORV_CHECK(third.GlobalBookmarks == again.GlobalBookmarks);
  ORV_CHECK(third.GlobalBookmarkFonts == again.GlobalBookmarkFonts);
  ORV_CHECK(linksThird == linksAgain);
  return 0;
}
