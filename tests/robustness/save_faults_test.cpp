// Saves that cannot reach the disk, through the real main window: a settings file or a map info file
// that is read-only, in a read-only or vanished folder, or on a full disk. The user is told which
// file could not be written, the file keeps what it held, and the bookmarks and links stay in memory
// and are written by the next save that can reach the disk.
#include <sys/stat.h>

#include <QListView>
#include <QListWidget>
#include <filesystem>
#include <optional>
#include <random>

#include "bookmarks/bookmarkswindow.h"
#include "maplinks/maplinkstore.h"
#include "maplinks/maplinkswindow.h"
#include "robustness_fixture.h"
#include "storage/settings.h"

namespace orv::testing {
namespace {

namespace fs = std::filesystem;

enum class Fault { ReadOnlyFile, ReadOnlyFolder, FolderGone, FullDisk };
enum class Target { SettingsFile, MapInfoFile };

struct FaultCase {
  const char* name;
  Fault fault;
  Target target;
};

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
  return info.param.name;
}

class SaveFaultTest : public MainWindowTest, public ::testing::WithParamInterface<FaultCase> {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    const FaultCase& c = GetParam();
    // The settings and the map live in folders of their own, so that a fault of one folder
    // touches only the file under test.
    const std::string home = Path("home"), maps = Path("maps");
    faultedFolder = c.target == Target::SettingsFile ? home : maps;
    if (c.fault == Fault::FullDisk) {
      disk.emplace(faultedFolder, "256k");
      if (!disk->Mounted()) GTEST_SKIP() << "full disk not tested here: " << disk->Why();
    }
    fs::create_directories(home);
    fs::create_directories(maps);
    settingsFile = home + "/orvantis.ini";
    map = MakeMap("maps/Fenmoor", 64, 48);
    faultedFile = c.target == Target::SettingsFile ? settingsFile : map;
    if (c.fault == Fault::ReadOnlyFile || c.fault == Fault::ReadOnlyFolder) {
      // Permissions stop only an ordinary user: root works as "nobody" for this test.
      if (::geteuid() == 0) GiveToNobody(dir.path().toStdString());
      user.emplace();
      if (!user->Effective())
        GTEST_SKIP() << "cannot work as an ordinary user here: permissions would not apply";
    }
  }

  void TearDown() override {
    if (faulted) ClearFault();
    MainWindowTest::TearDown();
    user.reset();
  }

  void ApplyFault() {
    faulted = true;
    switch (GetParam().fault) {
      case Fault::ReadOnlyFile:
        ::chmod(faultedFile.c_str(), 0444);
        break;
      case Fault::ReadOnlyFolder:
        ::chmod(faultedFolder.c_str(), 0555);
        break;
      case Fault::FolderGone:
        fs::rename(faultedFolder, faultedFolder + ".away");
        break;
      case Fault::FullDisk:
        disk->Fill();
        break;
    }
  }

  void ClearFault() {
    faulted = false;
    switch (GetParam().fault) {
      case Fault::ReadOnlyFile:
        ::chmod(faultedFile.c_str(), 0644);
        break;
      case Fault::ReadOnlyFolder:
        ::chmod(faultedFolder.c_str(), 0755);
        break;
      case Fault::FolderGone:
        fs::rename(faultedFolder + ".away", faultedFolder);
        break;
      case Fault::FullDisk:
        disk->Free();
        break;
    }
  }

  // One more current-map bookmark, global bookmark and map link, shown in the windows' lists as the
  // handlers that add them show them.
  void AddData(TForm1& w, int n) {
    EditBookmarkLists(w, [n](BookmarkLists& lists) { AddBookmarkPair(lists, n); });
    w.form3()->FillBookmarkLists();
    w.Links().store.Add(MakeMapLinkRecord({n, n, n + 10, n + 10}, "Other.dem", "Link " + std::to_string(n)));
    w.form5()->FillMapLinksList();
  }

  // What the two saves that follow a change write (the bookmark save and the map link save).
  void SaveNow(TForm1& w) {
    w.SaveBookmarksNow();
    w.SaveMapLinksNow();
  }

  // The data held in memory is still all there and still listed.
  void ExpectKeptInMemory(TForm1& w, std::size_t pairs) {
    EXPECT_EQ(map, w.CurrentMapFile());
    EXPECT_EQ(QSize(64, 48), w.MapImage().size());
    EXPECT_EQ(pairs, w.CurrentMapBookmarks().size());
    EXPECT_EQ(pairs, w.GlobalBookmarks().size());
    EXPECT_EQ(pairs, w.Links().store.size());
    EXPECT_EQ(static_cast<int>(pairs), w.form3()->findChild<QListView*>("ListBox1")->model()->rowCount());
    EXPECT_EQ(static_cast<int>(pairs), w.form3()->findChild<QListView*>("ListBox2")->model()->rowCount());
    EXPECT_EQ(static_cast<int>(pairs), w.form5()->findChild<QListWidget*>("ListBox1")->count());
  }

  // What the files give to a program that starts afresh.
  void ExpectOnDisk(const TForm1& s) {
    BookmarkLists lists;
    std::mt19937 random(1);
    LoadGlobalBookmarks(lists, settingsFile, random);
    LoadMapBookmarks(lists, map);
    EXPECT_EQ(s.CurrentMapBookmarks(), lists.CurrentMapBookmarks);
    EXPECT_EQ(s.GlobalBookmarks(), lists.GlobalBookmarks);
    std::vector<std::string> links;
    LoadMapLinks(links, map);
    EXPECT_EQ(s.MapLinks(), links);
  }

  std::string Unsaved() const {
    return "Unable to save '" + faultedFile + "'. Your changes to it could not be written.";
  }

  std::string map, faultedFile, faultedFolder;
  std::optional<SmallDisk> disk;
  std::optional<UnprivilegedScope> user;
  bool faulted = false;
};

TEST_P(SaveFaultTest, UserIsToldFileKeepsItsContentsAndDataStaysForTheNextSave) {
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(map));
  AddData(w, 1);
  SaveNow(w);
  ASSERT_EQ(std::vector<std::string>{}, dialogs.messages);
  const std::string before = ReadText(faultedFile);

  // A change that cannot be written: the user is told once, the file is not touched.
  AddData(w, 2);
  ApplyFault();
  SaveNow(w);
  SaveNow(w);  // the saves of later changes fail again without repeating the message
  EXPECT_EQ(std::vector<std::string>{Unsaved()}, dialogs.messages);
  ExpectKeptInMemory(w, 2);
  ClearFault();
  EXPECT_EQ(before, ReadText(faultedFile));
  for (const auto& entry : fs::directory_iterator(faultedFolder))
    EXPECT_EQ(std::string::npos, entry.path().filename().string().find(".tmp")) << entry.path();

  // Once the disk can be reached again, the next save writes everything held in memory.
  SaveNow(w);
  EXPECT_EQ(1u, dialogs.messages.size());
  ExpectOnDisk(w);

  // A new failure after a save that worked is a new loss, and the user is told again.
  AddData(w, 3);
  const std::string saved = ReadText(faultedFile);
  ApplyFault();
  SaveNow(w);
  EXPECT_EQ((std::vector<std::string>{Unsaved(), Unsaved()}), dialogs.messages);
  ExpectKeptInMemory(w, 3);

  // Closing while the file still cannot be written says so as well.
  form.reset();
  EXPECT_EQ((std::vector<std::string>{Unsaved(), Unsaved(), Unsaved()}), dialogs.messages);
  ClearFault();
  EXPECT_EQ(saved, ReadText(faultedFile));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::Values(FaultCase{"ReadOnlySettingsFile", Fault::ReadOnlyFile, Target::SettingsFile},
                      FaultCase{"ReadOnlyMapInfoFile", Fault::ReadOnlyFile, Target::MapInfoFile},
                      FaultCase{"SettingsInReadOnlyFolder", Fault::ReadOnlyFolder, Target::SettingsFile},
                      FaultCase{"MapInReadOnlyFolder", Fault::ReadOnlyFolder, Target::MapInfoFile},
                      FaultCase{"SettingsFolderGone", Fault::FolderGone, Target::SettingsFile},
                      FaultCase{"MapFolderGone", Fault::FolderGone, Target::MapInfoFile},
                      FaultCase{"SettingsOnFullDisk", Fault::FullDisk, Target::SettingsFile},
                      FaultCase{"MapOnFullDisk", Fault::FullDisk, Target::MapInfoFile}),
    CaseName);

}  // namespace
}  // namespace orv::testing
