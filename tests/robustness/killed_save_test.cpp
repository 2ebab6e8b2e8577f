// A program killed at random moments while it saves 10,000 bookmarks: afterwards every file is
// either the old one or the new one, whole, and loads.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>

#include "core/mapinfo.h"
#include "robustness_fixture.h"
#include "storage/settings.h"
#include "tempdir.h"

namespace orv::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kPairs = 5000;  // current-map and global bookmarks: 10,000 in all

// Two sets of the same bookmarks: the old one, all visible, and the new one with other names and
// places and every second global bookmark hidden on the map. Identifiers are the same in both.
BookmarkLists BookmarkSet(bool renewed) {
  BookmarkLists lists;
  for (int i = 0; i < kPairs; ++i) {
    const std::string n = std::to_string(i);
    const std::string x = std::to_string((renewed ? 3000 : 100) + i % 2000);
    const std::string y = std::to_string((renewed ? 2000 : 50) + i / 3);
    const std::string name = (renewed ? "New place " : "Old place ") + n;
    char id[16];
    std::snprintf(id, sizeof id, "Id%08d", i);
    lists.CurrentMapBookmarks.push_back(Fields({"V", x, y, name, "\"first line\",second"}));
    lists.CurrentMapBookmarkFonts.push_back(Fields({"Arial", renewed ? "12" : "10", "255", "bi"}));
    lists.GlobalBookmarks.push_back(Fields({id, renewed && i % 2 ? "N" : "V", y, x, "Global " + name}));
    lists.GlobalBookmarkFonts.push_back(ArialFont());
  }
  return lists;
}

// Which of the sets the settings file holds (0 or 1), or -1 for neither.
int SettingsHolds(const std::string& settings, const BookmarkLists sets[2]) {
  BookmarkLists loaded;
  std::mt19937 random(7);
  LoadGlobalBookmarks(loaded, settings, random);
  for (int k = 0; k < 2; ++k)
    if (loaded.GlobalBookmarks == sets[k].GlobalBookmarks &&
        loaded.GlobalBookmarkFonts == sets[k].GlobalBookmarkFonts)
      return k;
  return -1;
}

// Which of the sets the map info file holds: its bookmarks and its visibilities of the global ones
// must come from the same save.
int MapHolds(const std::string& map, const BookmarkLists sets[2]) {
  for (int k = 0; k < 2; ++k) {
    BookmarkLists loaded;
    loaded.GlobalBookmarks = sets[k].GlobalBookmarks;
    for (std::string& record : loaded.GlobalBookmarks) record = SetField(2, record, FieldSeparator, "?");
    LoadMapBookmarks(loaded, map);
    if (loaded.CurrentMapBookmarks == sets[k].CurrentMapBookmarks &&
        loaded.CurrentMapBookmarkFonts == sets[k].CurrentMapBookmarkFonts &&
        loaded.GlobalBookmarks == sets[k].GlobalBookmarks)
      return k;
  }
  return -1;
}

bool TemporaryFileIn(const std::string& dir) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    if (entry.path().extension() == ".tmp") return true;
  return false;
}

// Temporary files that a killed save left behind; removed, so that the next round counts its own.
int RemoveLeftovers(const std::string& dir) {
  int found = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() != ".tmp") continue;
    fs::remove(entry.path());
    ++found;
  }
  return found;
}

TEST(KilledSaveTest, EveryFileIsTheOldOrTheNewOneAndLoads) {
  TempDir dir;
  const std::string map = dir / "Fenmoor.dem", settings = dir / "orvantis.ini";
  WriteText(map, "; drawn by hand\r\n" + Dimensions(10, 20, 630, 22, 12, 470, 628, 468));
  WriteJpeg(dir / "Fenmoor.JPG", PatternPicture(64, 48));
  WriteText(settings, "[Bookmark Font]\r\nName=Courier\r\n");
  const BookmarkLists sets[2] = {BookmarkSet(false), BookmarkSet(true)};
  ASSERT_TRUE(SaveBookmarks(sets[0], map, settings));

  // Kill times are spread over about three saves of the set.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(SaveBookmarks(sets[1], map, settings));
  ASSERT_TRUE(SaveBookmarks(sets[0], map, settings));
  const auto save = (std::chrono::steady_clock::now() - start) / 2;
  const long long spread = std::chrono::duration_cast<std::chrono::microseconds>(save).count() * 3;

  std::mt19937 random(20240611);
  int rounds = 0, renewedFiles = 0, interrupted = 0;
  while (rounds < 40 && (rounds < 16 || renewedFiles == 0 || interrupted == 0)) {
    ++rounds;
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
      // The new set first, then the two sets in turn, until killed.
      for (int i = 1;; ++i)
        if (!SaveBookmarks(sets[i % 2], map, settings)) ::_exit(1);
    }
    if (rounds % 2) {
      ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<long long>(0, spread)(random)));
    } else {
      // Every second round kills while a file is being written: soon after a temporary file shows.
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (!TemporaryFileIn(dir.path()) && std::chrono::steady_clock::now() < giveUp) {
      }
      ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(0, 2000)(random)));
    }
    ::kill(saver, SIGKILL);
    int status = 0;
    ::waitpid(saver, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself in round " << rounds;

    const int inSettings = SettingsHolds(settings, sets);
    const int inMap = MapHolds(map, sets);
    ASSERT_NE(-1, inSettings) << "round " << rounds << ": the settings file holds neither set";
    ASSERT_NE(-1, inMap) << "round " << rounds << ": the map info file holds neither set";
    // What the save does not touch is still there: the map loads with its corners and picture.
    const MapInfo info = ReadMapInfo(map, MapCorners{});
    ASSERT_EQ(MapInfoStatus::Ok, info.status) << info.message;
    EXPECT_EQ((Point{628, 468}), info.corners.lowerRight);
    EXPECT_EQ("; drawn by hand", ReadText(map).substr(0, 15));
    EXPECT_EQ("Courier", ReadSetting("Bookmark Font", "Name", settings));
    renewedFiles += inSettings + inMap;
    interrupted += RemoveLeftovers(dir.path());
  }
  // The test means something only if saves were both completed and cut short.
  EXPECT_GT(renewedFiles, 0) << "no save was ever completed before the kill";
  EXPECT_GT(interrupted, 0) << "no save was ever cut short by the kill";
  RecordProperty("rounds", rounds);
  RecordProperty("interrupted", interrupted);
}

}  // namespace
}  // namespace orv::testing
