#include "storage/appsettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/recentmaps.h"
#include "storage/settings.h"
#include "storage/windowstate.h"
#include "test_files.h"

namespace orv {
namespace {

using testing::ReadFile;
using testing::WriteBytes;

class AppSettingsTest : public ::testing::Test {
 protected:
  // Each read below is what the next start of the program sees.
  template <typename Store>
  Store Fresh() {
    return Store(file);
  }

  testing::TempDir dir;
  std::string file = dir / "orvantis.ini";
};

const std::string kSep = "\xB3";

TEST_F(AppSettingsTest, PathsWithAnyBytesComeBackWhole) {
  const std::string paths[] = {"/maps/a=b;c[d]/x.dem",
                               "[Window]",
                               "View1=100",
                               "/maps/Bah\xC3\xAD"
                               "a/Le\xC3\xB3n.dem",
                               "/maps/line\nbreak\r.dem",
                               "/maps/100%.dem",
                               "%41%zz%",
                               "  blanks at both ends  ",
                               "\"quoted\"",
                               std::string(3000, 'p') + ".dem",
                               kSep + kSep,
                               "/maps/tab\there\x7F.dem"};
  for (const std::string& path : paths) {
    ASSERT_TRUE(RecentMaps(file).Add(path)) << path;
    EXPECT_EQ(Fresh<RecentMaps>().Paths().front(), path);
    ASSERT_TRUE(WindowState(file).RememberView(path, {250, {7, 8}}));
    EXPECT_EQ(Fresh<WindowState>().ViewOf(path), (MapView{250, {7, 8}})) << path;
    ASSERT_TRUE(AppSettings(file).SetJournalFile(path));
    EXPECT_EQ(Fresh<AppSettings>().JournalFile(), path);
  }
  EXPECT_EQ(Fresh<WindowState>().ViewOf("[window]"), std::nullopt);  // paths compare exactly
  EXPECT_EQ(Fresh<WindowState>().ViewOf(paths[0]), (MapView{250, {7, 8}}));
}

TEST_F(AppSettingsTest, WindowPlacesThatDoNotParseAreNotRemembered) {
  const std::pair<std::string, std::optional<WindowPlace>> cases[] = {
      {"10|20|800|600|1", WindowPlace{{10, 20, 800, 600}, true}},
      {"-1200|-30|800|600|0", WindowPlace{{-1200, -30, 800, 600}, false}},
      {"10|20|800|600", WindowPlace{{10, 20, 800, 600}, false}},
      {"10|20|800|600|yes", WindowPlace{{10, 20, 800, 600}, false}},
      {"", std::nullopt},
      {"garbage", std::nullopt},
      {"10|20|800", std::nullopt},
      {"10|20|-800|600|0", std::nullopt},
      {"10|20|0|600|0", std::nullopt},
      {"10|20|800|99999|0", std::nullopt},
      {"10|20|4294967296|600|0", std::nullopt},
      {"40000|20|800|600|0", std::nullopt},
      {"10|2x|800|600|0", std::nullopt},
      {"10||20|800|600", std::nullopt},
  };
  for (const auto& [value, expected] : cases) {
    std::string stored = value;
    for (char& c : stored)
      if (c == '|') c = kSep[0];
    WriteBytes(file, "[Window]\r\nDirections=" + stored + "\r\n");
    EXPECT_EQ(Fresh<WindowState>().Place(DirectionsWindowKey), expected) << value;
  }
  EXPECT_FALSE(WindowState(file).SetPlace(MainWindowKey, {{0, 0, -5, 600}, false}));
  EXPECT_EQ(Fresh<WindowState>().Place(MainWindowKey), std::nullopt);
}

TEST_F(AppSettingsTest, MapViewsSkipBadRecordsAndKeepTheMostRecentFifty) {
  WriteBytes(file, "[Window]\nView1=0" + kSep + "5" + kSep + "5" + kSep + "/zero.dem\nView2=100" + kSep +
                       "-4" + kSep + "5" + kSep + "/neg.dem\nView3=100" + kSep + "1" + kSep + "2\nView4=50" +
                       kSep + "1" + kSep + "2" + kSep + "/good.dem\n");
  EXPECT_EQ(Fresh<WindowState>().ViewOf("/zero.dem"), std::nullopt);
  EXPECT_EQ(Fresh<WindowState>().ViewOf("/neg.dem"), std::nullopt);
  EXPECT_EQ(Fresh<WindowState>().ViewOf("/good.dem"), (MapView{50, {1, 2}}));
  EXPECT_FALSE(WindowState(file).RememberView("/a.dem", {6401, {1, 1}}));
  EXPECT_FALSE(WindowState(file).RememberView("", {100, {1, 1}}));

  for (int i = 1; i <= 55; ++i)
    ASSERT_TRUE(WindowState(file).RememberView("/m" + std::to_string(i) + ".dem", {100, {i, i}}));
  ASSERT_TRUE(WindowState(file).RememberView("/m30.dem", {400, {3, 3}}));
  WindowState views = Fresh<WindowState>();
  EXPECT_EQ(views.ViewOf("/m5.dem"), std::nullopt);
  EXPECT_EQ(views.ViewOf("/m6.dem"), (MapView{100, {6, 6}}));
  EXPECT_EQ(views.ViewOf("/m30.dem"), (MapView{400, {3, 3}}));
  EXPECT_EQ(views.ViewOf("/good.dem"), std::nullopt);
  EXPECT_NE(ReadSetting("Window", "View1", file).find("/m30.dem"), std::string::npos);
  EXPECT_NE(ReadSetting("Window", "View50", file), "");
  EXPECT_EQ(ReadSetting("Window", "View51", file), "");
}

TEST_F(AppSettingsTest, RecentMapsMostRecentFirstWithoutRepeatsAndAtMostTen) {
  RecentMaps recent(file);
  for (int i = 1; i <= 12; ++i) ASSERT_TRUE(recent.Add("/m" + std::to_string(i) + ".dem"));
  ASSERT_TRUE(recent.Add("/m5.dem"));
  ASSERT_TRUE(recent.Remove("/m11.dem"));
  ASSERT_TRUE(recent.Remove("/never.dem"));
  const std::vector<std::string> expected{"/m5.dem", "/m12.dem", "/m10.dem", "/m9.dem", "/m8.dem",
                                          "/m7.dem", "/m6.dem",  "/m4.dem",  "/m3.dem"};
  EXPECT_EQ(Fresh<RecentMaps>().Paths(), expected);
  EXPECT_EQ(ReadSetting("Recent Maps", "Map10", file), "");  // the removed entry's key goes too
  EXPECT_FALSE(recent.Add(""));
}

TEST_F(AppSettingsTest, FirstStartAndOffScreenGeometry) {
  EXPECT_EQ(FirstStartGeometry({0, 0, 1920, 1040}), (DesktopRect{240, 130, 1440, 780}));
  EXPECT_EQ(FirstStartGeometry({1920, 24, 1280, 1000}), (DesktopRect{2080, 149, 960, 750}));
  const std::vector<DesktopRect> screens{{0, 0, 1920, 1040}, {1920, -200, 1280, 1024}};
  const DesktopRect first{240, 130, 1440, 780};
  const std::pair<std::optional<DesktopRect>, DesktopRect> cases[] = {
      {std::nullopt, first},
      {DesktopRect{100, 100, 800, 600}, {100, 100, 800, 600}},
      {DesktopRect{2000, -150, 800, 600}, {2000, -150, 800, 600}},  // on the second screen
      {DesktopRect{1500, 100, 800, 600}, {1500, 100, 800, 600}},    // across both screens
      {DesktopRect{1520, 600, 800, 600}, {1520, 600, 800, 600}},    // half on screens exactly
      {DesktopRect{1520, 700, 800, 600}, first},                    // mostly below the screens
      {DesktopRect{3300, 100, 800, 600}, first},                    // a screen that is gone
      {DesktopRect{100, -400, 800, 1000}, first},                   // title bar above the screen
      {DesktopRect{-790, 100, 800, 600}, first},                    // a sliver on the left edge
      {DesktopRect{-100, -100, 4000, 3000}, first},                 // larger than every screen
      // Left on a larger screen: made to fit the screen it lies on most.
      // (with room for its frame: a title bar of 32 and borders of 8 pixels).
      {DesktopRect{100, 100, 1900, 1100}, {100, 32, 1900, 1000}},
      {DesktopRect{1950, -100, 1400, 900}, {1928, -100, 1264, 900}},
      {DesktopRect{100, -150, 2400, 700}, {8, 32, 1904, 700}},    // its top edge no longer on a screen
      {DesktopRect{100, 100, 3000, 700}, {100, 100, 3000, 700}},  // wholly on the two screens
  };
  for (const auto& [remembered, expected] : cases)
    EXPECT_EQ(MainWindowGeometry(remembered, screens), expected)
        << (remembered ? remembered->x : 0) << "," << (remembered ? remembered->y : 0);
  EXPECT_EQ(MainWindowGeometry(DesktopRect{5, 5, 300, 200}, {}), (DesktopRect{5, 5, 300, 200}));
  EXPECT_EQ(MainWindowGeometry(DesktopRect{0, 0, 1900, 1000}, {{0, 0, 1366, 728}}),
            (DesktopRect{8, 32, 1350, 688}));
  EXPECT_EQ(MainWindowGeometry(DesktopRect{171, 96, 1024, 576}, {{0, 0, 1024, 600}}),
            (DesktopRect{8, 32, 1008, 560}));
}

TEST_F(AppSettingsTest, ChoicesHaveTheirDefaultsAndRoundTrip) {
  AppSettings settings(file);
  EXPECT_FALSE(settings.FollowJournal());
  EXPECT_FALSE(settings.FollowClipboard());
  EXPECT_TRUE(settings.OutlineBookmarkNames());
  EXPECT_EQ(settings.OverviewChoice(), std::nullopt);
  EXPECT_EQ(settings.JournalFile(), "");
  EXPECT_EQ(settings.LastFolder(), "");
  EXPECT_TRUE(settings.MapsFolders().empty());
  EXPECT_FALSE(testing::Exists(file));  // reading creates nothing

  ASSERT_TRUE(settings.SetFollowJournal(true) && settings.SetFollowClipboard(true) &&
              settings.SetOutlineBookmarkNames(false) && settings.SetOverviewChoice(false) &&
              settings.SetLastFolder("/maps/x") && settings.SetMapsFolders({"/a", "/b", "/a", "", "/c"}));
  AppSettings read = Fresh<AppSettings>();
  EXPECT_TRUE(read.FollowJournal() && read.FollowClipboard());
  EXPECT_FALSE(read.OutlineBookmarkNames());
  EXPECT_EQ(read.OverviewChoice(), false);
  EXPECT_EQ(read.LastFolder(), "/maps/x");
  EXPECT_EQ(read.MapsFolders(), (std::vector<std::string>{"/a", "/b", "/c"}));
  ASSERT_TRUE(settings.SetMapsFolders({"/d"}));
  EXPECT_EQ(Fresh<AppSettings>().MapsFolders(), std::vector<std::string>{"/d"});

  // Blanks around "=" are not part of a value, as a hand-edited file expects.
  WriteBytes(file,
             "[Options]\nFollowJournal=yes\nOutlineBookmarkNames=00\nOverview= 1\nFollowClipboard=1 1\n");
  read = Fresh<AppSettings>();
  EXPECT_FALSE(read.FollowJournal());
  EXPECT_TRUE(read.OutlineBookmarkNames());
  EXPECT_EQ(read.OverviewChoice(), true);
  EXPECT_FALSE(read.FollowClipboard());
}

TEST_F(AppSettingsTest, WritingLeavesEveryOtherLineAsItWas) {
  const std::string before =
      "; kept\r\n[General]\r\nLastMapFilename=/maps/w.dem\r\nVersion=v2.2\r\n[Window]\r\n"
      "Main=1" +
      kSep + "2" + kSep + "300" + kSep + "200" + kSep +
      "0\r\n[Map Bookmarks]\r\n"
      "bookmark1=Inn" +
      kSep + "10" + kSep + "20" + kSep +
      "1\r\n\r\n[Bookmark Font]\r\n"
      "Name=Arial\r\n";
  WriteBytes(file, before);
  ASSERT_TRUE(WindowState(file).SetPlace(MainWindowKey, {{5, 6, 700, 500}, true}));
  std::string expected = before;
  const std::string oldMain = "Main=1" + kSep + "2" + kSep + "300" + kSep + "200" + kSep + "0";
  expected.replace(expected.find(oldMain), oldMain.size(),
                   "Main=5" + kSep + "6" + kSep + "700" + kSep + "500" + kSep + "1");
  EXPECT_EQ(ReadFile(file), expected);

  ASSERT_TRUE(WindowState(file).RememberView("/maps/w.dem", {200, {1, 2}}));
  ASSERT_TRUE(RecentMaps(file).Add("/maps/w.dem") && RecentMaps(file).Remove("/maps/w.dem"));
  AppSettings settings(file);
  ASSERT_TRUE(settings.SetFollowJournal(true) && settings.SetMapsFolders({"/m"}) &&
              settings.SetLastFolder("/x"));
  // The view goes after the window's line; the new sections come after everything that was there.
  expected.insert(expected.find("\r\n[Map Bookmarks]"),
                  "\r\nView1=200" + kSep + "1" + kSep + "2" + kSep + "/maps/w.dem");
  EXPECT_EQ(ReadFile(file).substr(0, expected.size()), expected);
}

}  // namespace
}  // namespace orv
