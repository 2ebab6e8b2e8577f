#include "storage/settings.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "storage/inidocument.h"
#include "storage/inifile.h"
#include "storage/storedvalues.h"
#include "test_files.h"

namespace orv {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::RunInChild;
using testing::SharedTempDir;
using testing::WriteBytes;

class SettingsTest : public ::testing::Test {
 protected:
  // What a fresh start of the program would read.
  std::string ReadFresh(const std::string& section, const std::string& key) {
    return ReadSetting(section, key, file);
  }
  bool NoTemporaryFilesLeft() {
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      if (entry.path().extension() == ".tmp") return false;
    return true;
  }

  SharedTempDir dir;
  std::string file = dir / "orvantis.ini";
};

TEST_F(SettingsTest, SectionsAndKeysMatchWithoutRegardToCase) {
  WriteBytes(file, "[General]\r\n  LastMapFilename = /maps/x.dem\r\n[Bookmark Font]\r\nName=Arial\r\n");
  const std::pair<const char*, const char*> spellings[] = {
      {"General", "LastMapFilename"}, {"general", "lastmapfilename"}, {"GENERAL", "LASTMAPFILENAME"}};
  for (const auto& [section, key] : spellings)
    EXPECT_EQ(ReadSetting(section, key, file), "/maps/x.dem") << section << "/" << key;
  EXPECT_EQ(ReadSetting("bookmark font", "NAME", file), "Arial");
  EXPECT_EQ(ReadSetting("General", "Name", file), "");
  ASSERT_TRUE(WriteSetting("GENERAL", "lastmapfilename", file, "/maps/y.dem"));
  EXPECT_EQ(ReadFile(file),
            "[General]\r\n  LastMapFilename =/maps/y.dem\r\n[Bookmark Font]\r\nName=Arial\r\n");
}

struct EditCase {
  const char* name;
  std::string before;
  std::vector<std::array<const char*, 3>> writes;  // section, key, value
  std::string after;
};

TEST_F(SettingsTest, WritesChangeOnlyTheirLinesAndKeepTheFilesLineEndings) {
  const std::string keep =
      "; settings\n\nstray=before any section\n[Other]\nx=1\n# note\n[General]\nA=1\nB=2\n\n";
  const EditCase cases[] = {
      {"replace keeps every other line",
       keep,
       {{"General", "A", "9"}},
       "; settings\n\nstray=before any section\n[Other]\nx=1\n# note\n[General]\nA=9\nB=2\n\n"},
      {"new key goes after the section's last key",
       keep,
       {{"Other", "y", "2"}, {"General", "C", "3"}},
       "; settings\n\nstray=before any section\n[Other]\nx=1\ny=2\n# note\n[General]\nA=1\nB=2\nC=3\n\n"},
      {"new section at the end", "[A]\r\nk=v\r\n", {{"New", "k", "v"}}, "[A]\r\nk=v\r\n\r\n[New]\r\nk=v\r\n"},
      {"last line without ending", "[A]\nk=v", {{"A", "j", "w"}}, "[A]\nk=v\nj=w\n"},
      {"last line ending in CR keeps it", "[A]\nk=v\r", {{"A", "j", "w"}}, "[A]\nk=v\r\r\nj=w\n"},
      {"empty value removes the key",
       keep,
       {{"General", "a", ""}},
       "; settings\n\nstray=before any section\n[Other]\nx=1\n# note\n[General]\nB=2\n\n"},
      {"empty key removes the section",
       keep,
       {{"other", "", ""}},
       "; settings\n\nstray=before any section\n[General]\nA=1\nB=2\n\n"},
      {"removing every key then adding",
       "[A]\r\nk=1\r\nj=2\r\n; end\r\n[B]\r\n",
       {{"A", "j", ""}, {"A", "k", ""}, {"A", "n", "3"}},
       "[A]\r\nn=3\r\n; end\r\n[B]\r\n"},
      {"a repeated section counts as one",
       "[A]\nk=1\n[B]\nb=1\n[a]\nk=2\nj=3\n",
       {{"A", "j", "4"}, {"A", "new", "5"}, {"B", "b", "2"}},
       "[A]\nk=1\nnew=5\n[B]\nb=2\n[a]\nk=2\nj=4\n"},
      {"repeated key: first replaced, all removed",
       "[A]\nk=1\nk=2\n[a]\nK=3\n",
       {{"A", "k", "9"}},
       "[A]\nk=9\nk=2\n[a]\nK=3\n"},
      {"removing a repeated key", "[A]\nk=1\nk=2\nx=0\n[a]\nK=3\n", {{"A", "k", ""}}, "[A]\nx=0\n[a]\n"},
      {"removing a repeated section", "[A]\nk=1\n[B]\nb=1\n[a]\nk=2\n", {{"A", "", ""}}, "[B]\nb=1\n"},
      {"new file gets CRLF", "", {{"General", "Version", "v2.2"}}, "[General]\r\nVersion=v2.2\r\n"},
      {"byte order mark before the first section",
       "\xEF\xBB\xBF[A]\nk=1\n",
       {{"A", "k", "2"}},
       "\xEF\xBB\xBF[A]\nk=2\n"},
  };
  for (const EditCase& c : cases) {
    if (c.before.empty())
      std::remove(file.c_str());
    else
      WriteBytes(file, c.before);
    for (const auto& [section, key, value] : c.writes)
      EXPECT_TRUE(WriteSetting(section, key, file, value)) << c.name;
    EXPECT_EQ(ReadFile(file), c.after) << c.name;
  }
}

TEST_F(SettingsTest, RepeatedKeysAndSectionsReadTheFirstOccurrence) {
  WriteBytes(file, "stray=0\n[A]\nk=1\nk=2\n[B]\n[a]\nk=3\nj=4\n[A\nm=5\n");
  EXPECT_EQ(ReadSetting("A", "k", file), "1");
  EXPECT_EQ(ReadSetting("A", "j", file), "4");
  EXPECT_EQ(ReadSetting("A", "m", file), "5");  // "[A" is no section line
  EXPECT_EQ(ReadSetting("B", "k", file), "");
}

TEST_F(SettingsTest, ReadingAndRemovingCreateNothing) {
  EXPECT_EQ(ReadSetting("General", "LastMapFilename", file), "");
  EXPECT_TRUE(WriteSetting("General", "LastMapFilename", file, ""));
  EXPECT_TRUE(WriteSetting("General", "", file, ""));
  EXPECT_FALSE(Exists(file));
  EXPECT_EQ(ReadSetting("General", "x", dir / "missing/dir/file.ini"), "");
  EXPECT_FALSE(Exists(dir / "missing"));
}

TEST_F(SettingsTest, ValuesComeBackWholeByteForByte) {
  std::string high;
  for (int b = 0x80; b <= 0xFF; ++b) high += static_cast<char>(b);
  const std::string values[] = {std::string(100 * 1024, 'n') + "end",
                                std::string(999, 'x'),
                                std::string(1000, 'y'),
                                high,
                                "a\xB3"
                                "b\xB3\xB3"
                                "c",
                                "inner  blanks  kept",
                                "x=y=z",
                                "\"quoted\"",
                                "; not a comment"};
  int i = 0;
  for (const std::string& value : values) {
    const std::string key = "k" + std::to_string(++i);
    ASSERT_TRUE(WriteSetting("Values", key, file, value));
    EXPECT_EQ(ReadSetting("Values", key, file), value) << key;
    EXPECT_EQ(ReadFresh("Values", key), value) << key << " after reading the file anew";
  }
  EXPECT_NE(ReadFile(file).find("k5=a\xB3"
                                "b\xB3\xB3"
                                "c\r\n"),
            std::string::npos);
}

TEST_F(SettingsTest, WritesThatCouldNotBeReadBackAreRefused) {
  WriteBytes(file, "[A]\nk=1\n");
  const std::array<const char*, 3> refused[] = {
      {"A", "k", "two\nlines"}, {"A", "k", "cr\r"}, {"A", "k=x", "1"}, {"A]", "k", "1"},
      {"", "k", "1"},           {"A", " ", "1"},    {"A", "[B]", "1"}, {"A", ";k", "1"}};
  for (const auto& [section, key, value] : refused)
    EXPECT_FALSE(WriteSetting(section, key, file, value)) << section << "/" << key << "=" << value;
  EXPECT_EQ(ReadFile(file), "[A]\nk=1\n");
}

TEST_F(SettingsTest, FailedWritesAreReportedAndLeaveTheOldFile) {
  // Paths that cannot be written by anyone: a missing directory, a directory in place of the file.
  std::filesystem::create_directory(dir / "folder.ini");
  for (const std::string& path : {dir / "missing/orvantis.ini", dir / "folder.ini"}) {
    EXPECT_FALSE(WriteSetting("General", "k", path, "v")) << path;
    EXPECT_EQ(ReadSetting("General", "k", path), "") << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));

  // For an ordinary user: a read-only file, a file in a read-only directory, and a file that can be
  // written but not read (writing it would lose whatever it holds).
  const std::string original = "[General]\r\nk=old\r\n";
  const std::string sub = dir / "locked";
  std::filesystem::create_directory(sub);
  const std::string inLocked = sub + "/orvantis.ini";
  const std::string unreadable = dir / "unreadable.ini";
  for (const std::string& path : {file, inLocked, unreadable}) WriteBytes(path, original);
  ::chmod(file.c_str(), 0444);
  ::chmod(inLocked.c_str(), 0666);
  ::chmod(sub.c_str(), 0555);
  ::chmod(unreadable.c_str(), ::geteuid() == 0 ? 0002 : 0200);
  for (const std::string& path : {file, inLocked, unreadable}) {
    const std::string seen = path == unreadable ? "" : "old";
    const int status = RunInChild(
        [&] {
          SettingsWriteGroup group(path);
          const bool held = WriteSetting("General", "k", path, "new");
          return held && !group.Close() && ReadSetting("General", "k", path) == seen &&
                 !WriteSetting("General", "k", path, "new") && ReadSetting("General", "k", path) == seen;
        },
        true);
    if (status == 2) GTEST_SKIP() << "cannot run a child without root rights here";
    EXPECT_EQ(status, 0) << path;
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadFile(path), original) << path;
  }
  EXPECT_TRUE(NoTemporaryFilesLeft());
}

// A named pipe or a file far larger than any settings file (a ".dem" that is an elevation model)
// in a settings file's place: reading it neither waits nor takes its size in memory, it reads as
// unreadable, and nothing is written over it.
TEST_F(SettingsTest, APipeOrAHugeFileIsNeitherWaitedOnNorReadNorWrittenOver) {
  const std::string pipe = dir / "pipe.dem";
  const std::string huge = dir / "huge.dem";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0644));
  WriteBytes(huge, "[Map Dimensions]\r\nUpperLeft_X=0\r\n");
  std::filesystem::resize_file(huge, std::uintmax_t{1} << 40);  // sparse: it takes no room on disk
  for (const std::string& path : {pipe, huge}) {
    const int status = RunInChild(
        [&] {
          ::alarm(5);  // a read that waits ends the child, and the test fails
          return LoadIniFile(path).unreadable && ReadSetting("Map Dimensions", "UpperLeft_X", path).empty() &&
                 !WriteSetting("Map Dimensions", "UpperLeft_X", path, "1");
        },
        false);
    EXPECT_EQ(status, 0) << path;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  EXPECT_EQ(std::filesystem::file_size(huge), std::uintmax_t{1} << 40);
  EXPECT_TRUE(NoTemporaryFilesLeft());
}

TEST_F(SettingsTest, WriteFailingHalfwayLeavesTheOldFile) {
  // A file size limit makes the write of the temporary file fail part way, as a full disk would.
  const std::string original = "[Map Bookmarks]\r\nbookmark1=old\r\n";
  WriteBytes(file, original);
  const int status = RunInChild(
      [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        return !WriteSetting("Map Bookmarks", "bookmark1", file, std::string(64 * 1024, 'z')) &&
               ReadSetting("Map Bookmarks", "bookmark1", file) == "old";
      },
      false);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ReadFile(file), original);
  EXPECT_TRUE(NoTemporaryFilesLeft());
}

TEST_F(SettingsTest, KilledWriterLeavesTheOldFileOrTheNewOne) {
  const std::string contents[] = {"[S]\r\nv=" + std::string(2 << 20, 'a') + "\r\n",
                                  "[S]\r\nv=" + std::string(2 << 20, 'b') + "\r\n",
                                  "[S]\r\nv=" + std::string(2 << 20, 'c') + "\r\n"};
  WriteBytes(file, contents[0]);
  std::mt19937 random(12345);
  int changed = 0;
  for (int round = 0; round < 12; ++round) {
    // The writer tells through a pipe when a save has reached the file; the kill comes at a random
    // moment after the first one, so on a busy machine too it lands in the middle of later saves.
    int done[2];
    ASSERT_EQ(::pipe(done), 0);
    const pid_t writer = ::fork();
    if (writer == 0) {
      ::close(done[0]);
      for (int i = 0;; ++i) {
        WriteSetting("S", "v", file, std::string(2 << 20, i % 2 ? 'b' : 'c'));
        if (i == 0) (void)!::write(done[1], "s", 1);
      }
    }
    ::close(done[1]);
    char saved = 0;
    ASSERT_EQ(::read(done[0], &saved, 1), 1) << "the writer ended before its first save";
    ::close(done[0]);
    ::usleep(std::uniform_int_distribution<useconds_t>(0, 40000)(random));
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    const std::string now = ReadFile(file);
    const bool whole = now == contents[0] || now == contents[1] || now == contents[2];
    ASSERT_TRUE(whole) << "round " << round << ": " << now.size() << " bytes";
    changed += now != contents[0];
  }
  EXPECT_GT(changed, 0) << "the writer never got a file written";
  // The next save that reaches the file clears away what the killed writers left behind.
  ASSERT_TRUE(WriteSetting("S", "v", file, "done"));
  EXPECT_TRUE(NoTemporaryFilesLeft());
}

TEST_F(SettingsTest, WriteGroupWritesTheFileOnceWhenTheOutermostGroupCloses) {
  const std::string original = "[Map Links]\r\nmaplink1=old\r\n";
  WriteBytes(file, original);
  {
    SettingsWriteGroup outer(file);
    ASSERT_TRUE(WriteSetting("Map Links", "", file, ""));
    {
      SettingsWriteGroup inner(file);
      for (int i = 1; i <= 1000; ++i)
        ASSERT_TRUE(
            WriteSetting("Map Links", "maplink" + std::to_string(i), file, "link " + std::to_string(i)));
      EXPECT_TRUE(inner.Close());
    }
    EXPECT_EQ(ReadFile(file), original) << "nothing reaches the file before the outermost group closes";
    EXPECT_EQ(ReadSetting("Map Links", "maplink1000", file), "link 1000");
    EXPECT_TRUE(outer.Close());
    EXPECT_TRUE(outer.Close());
  }
  EXPECT_EQ(ReadFresh("Map Links", "maplink1"), "link 1");
  EXPECT_EQ(ReadFresh("Map Links", "maplink1000"), "link 1000");
  EXPECT_EQ(ReadFresh("Map Links", "maplink1001"), "");
}

TEST_F(SettingsTest, RewritingWhatTheFileHoldsLeavesTheFileUntouched) {
  // The file as the program writes it: a blank line before each section it adds.
  WriteBytes(file, "; hand-made\r\n\r\n[Map Links]\r\nmaplink1=a\r\nmaplink2=b\r\n");
  struct stat before {};
  ASSERT_EQ(0, ::stat(file.c_str(), &before));
  // A save that removes the section and writes the same keys again, as every map change does.
  {
    SettingsWriteGroup group(file);
    ASSERT_TRUE(WriteSetting("Map Links", "", file, ""));
    ASSERT_TRUE(WriteSetting("Map Links", "maplink1", file, "a"));
    ASSERT_TRUE(WriteSetting("Map Links", "maplink2", file, "b"));
    EXPECT_TRUE(group.Close());
  }
  struct stat after {};
  ASSERT_EQ(0, ::stat(file.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino) << "the file was replaced although nothing changed";
  // So it succeeds even where the file cannot be written, as long as nothing changes.
  ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0555));
  EXPECT_EQ(0, RunInChild(
                   [&] {
                     SettingsWriteGroup group(file);
                     WriteSetting("Map Links", "", file, "");
                     WriteSetting("Map Links", "maplink1", file, "a");
                     WriteSetting("Map Links", "maplink2", file, "b");
                     const bool unchangedSaved = group.Close();
                     const bool changedRefused = !WriteSetting("Map Links", "maplink2", file, "c");
                     return unchangedSaved && changedRefused;
                   },
                   true));
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(ReadFresh("Map Links", "maplink2"), "b");
}

TEST_F(SettingsTest, FailedGroupReportsOnceAndForgetsWhatItHeld) {
  const std::string path = dir / "missing/orvantis.ini";
  SettingsWriteGroup group(path);
  EXPECT_TRUE(WriteSetting("General", "k", path, "v"));
  EXPECT_EQ(ReadSetting("General", "k", path), "v");
  EXPECT_FALSE(group.Close());
  EXPECT_TRUE(group.Close());
  EXPECT_EQ(ReadSetting("General", "k", path), "");
}

TEST_F(SettingsTest, FileChangedByAnotherProgramIsReadAnew) {
  ASSERT_TRUE(WriteSetting("General", "k", file, "mine"));
  ASSERT_EQ(ReadSetting("General", "k", file), "mine");

  // An editor that saves through a new file of the same size and time.
  WriteBytes(dir / "edit.tmp", "[General]\r\nk=edit\r\n");
  struct stat mine;
  ASSERT_EQ(::stat(file.c_str(), &mine), 0);
  const timespec same[2] = {mine.st_atim, mine.st_mtim};
  ::utimensat(AT_FDCWD, (dir / "edit.tmp").c_str(), same, 0);
  std::filesystem::rename(dir / "edit.tmp", file);
  EXPECT_EQ(ReadSetting("General", "k", file), "edit");

  // An edit in place that changes the size.
  WriteBytes(file, "[General]\r\nk=longer edit\r\n");
  EXPECT_EQ(ReadSetting("General", "k", file), "longer edit");

  // An edit in place of the same size a moment later.
  WriteBytes(file, "[General]\r\nk=other edit\r\n");
  const timespec later[2] = {{0, UTIME_OMIT}, {::time(nullptr) + 5, 0}};
  ::utimensat(AT_FDCWD, file.c_str(), later, 0);
  EXPECT_EQ(ReadSetting("General", "k", file), "other edit");

  std::filesystem::remove(file);
  EXPECT_EQ(ReadSetting("General", "k", file), "");
}

TEST_F(SettingsTest, WritingKeepsLinksAndPermissions) {
  const std::string target = dir / "real.ini";
  WriteBytes(target, "[A]\nk=1\n");
  ::chmod(target.c_str(), 0640);
  std::filesystem::create_symlink("real.ini", file);
  ASSERT_TRUE(WriteSetting("A", "k", file, "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(ReadFile(target), "[A]\nk=2\n");
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// In a maps folder shared by a group, a member's save keeps the file the group's, so that the others
// can still save it.
TEST_F(SettingsTest, ASaveByAnotherMemberOfTheFilesGroupKeepsTheGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root rights";
  constexpr gid_t kGroup = 4242;
  WriteBytes(file, "[A]\nk=1\n");
  ASSERT_EQ(::chown(file.c_str(), 0, kGroup), 0);
  ::chmod(file.c_str(), 0664);
  EXPECT_EQ(RunInChild([&] { return WriteSetting("A", "k", file, "2"); }, true, {kGroup}), 0);
  EXPECT_EQ(ReadFile(file), "[A]\nk=2\n");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_gid, kGroup);
  EXPECT_EQ(st.st_mode & 07777, 0664u);
}

TEST_F(SettingsTest, ManyKeysInsertedRemovedAndReadBack) {
  WriteBytes(file, "[Map Bookmarks]\r\n[Map Links]\r\nmaplink1=x\r\n");
  {
    SettingsWriteGroup group(file);
    for (int i = 1; i <= 5000; ++i)
      WriteSetting("Map Bookmarks", "bookmark" + std::to_string(i), file, "record " + std::to_string(i));
    for (int i = 2; i <= 5000; i += 2)
      WriteSetting("Map Bookmarks", "bookmark" + std::to_string(i), file, "");
    ASSERT_TRUE(group.Close());
  }
  for (int i = 1; i <= 5000; ++i)
    ASSERT_EQ(ReadSetting("Map Bookmarks", "BOOKMARK" + std::to_string(i), file),
              i % 2 ? "record " + std::to_string(i) : "")
        << i;
  const std::string bytes = ReadFile(file);
  EXPECT_EQ(bytes.find("[Map Links]"), bytes.size() - std::string("[Map Links]\r\nmaplink1=x\r\n").size());

  // Saving the section again and again, as every map change does, leaves exactly the last save.
  for (int round = 1; round <= 6; ++round) {
    SettingsWriteGroup group(file);
    WriteSetting("Map Bookmarks", "", file, "");
    for (int i = 1; i <= 2000; ++i)
      WriteSetting("Map Bookmarks", "bookmark" + std::to_string(i), file, std::string(40, 'a' + round));
    ASSERT_TRUE(group.Close());
    ASSERT_TRUE(WriteSetting("General", "Round", file, std::to_string(round)));
  }
  const std::string cached = ReadSetting("Map Bookmarks", "bookmark2000", file);
  EXPECT_EQ(ReadFresh("Map Bookmarks", "bookmark2000"), cached);
  EXPECT_EQ(cached, std::string(40, 'g'));
  EXPECT_EQ(ReadSetting("Map Bookmarks", "bookmark2001", file), "");
  EXPECT_EQ(ReadSetting("General", "Round", file), "6");
}

TEST_F(SettingsTest, EveryFileAndEverySpellingOfItsPathSeeTheSameValues) {
  for (int i = 0; i < 24; ++i)
    ASSERT_TRUE(WriteSetting("General", "n", dir / ("f" + std::to_string(i) + ".ini"), std::to_string(i)));
  for (int i = 23; i >= 0; i -= 2)
    EXPECT_EQ(ReadSetting("general", "N", dir / ("f" + std::to_string(i) + ".ini")), std::to_string(i));

  const std::string other = dir.path() + "/./sub/../orvantis.ini";
  std::filesystem::create_directory(dir / "sub");
  ASSERT_TRUE(WriteSetting("General", "a", file, "1"));
  SettingsWriteGroup group(other);
  ASSERT_TRUE(WriteSetting("General", "a", file, "2"));
  EXPECT_EQ(ReadSetting("General", "a", other), "2");
  EXPECT_EQ(ReadFile(file), "[General]\r\na=1\r\n") << "held by the group opened under another spelling";
  ASSERT_TRUE(group.Close());
  EXPECT_EQ(ReadFile(file), "[General]\r\na=2\r\n");
}

TEST(SettingsFileInTest, RunningProgramUsesItsOwnDirectoryWhenWritable) {
  const std::string programDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
  if (::access(programDir.c_str(), W_OK) != 0) GTEST_SKIP() << "the test program's directory is read-only";
  EXPECT_EQ(SettingsFile(), programDir + "/orvantis.ini");
}

TEST(SettingsFileInTest, ChoosesTheProgramDirectoryWhenWritable) {
  SharedTempDir dir;
  const std::string config = dir / "config";
  EXPECT_EQ(SettingsFileIn(dir.path(), config), dir / "orvantis.ini");
  EXPECT_EQ(SettingsFileIn(dir.path() + "/", config), dir / "orvantis.ini");
  EXPECT_EQ(SettingsFileIn(dir / "absent", config), config + "/orvantis/orvantis.ini");
  EXPECT_EQ(SettingsFileIn(dir / "absent", config + "/"), config + "/orvantis/orvantis.ini");
  EXPECT_FALSE(Exists(config)) << "choosing the file creates nothing";

  const std::string readOnly = dir / "program";
  std::filesystem::create_directory(readOnly);
  ::chmod(readOnly.c_str(), 0555);
  const int status =
      RunInChild([&] { return SettingsFileIn(readOnly, config) == config + "/orvantis/orvantis.ini"; }, true);
  if (status == 2) GTEST_SKIP() << "cannot run a child without root rights here";
  EXPECT_EQ(status, 0);
}

TEST(StorableValueTest, LineBreaksBecomeBlanksAndOtherValuesAreTakenAsTheyAre) {
  const std::pair<std::string, std::string> cases[] = {{"", ""},
                                                       {"V\xB3"
                                                        "12\xB3"
                                                        "34\xB3name",
                                                        "V\xB3"
                                                        "12\xB3"
                                                        "34\xB3name"},
                                                       {"a\rb", "a b"},
                                                       {"\r\n", "  "},
                                                       {"line\n", "line "}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(StorableValue(value), expected) << value;
}

TEST(NumberedKeyTest, KeysFollowTheNumberWhateverTheKeyBefore) {
  NumberedKey font("bookmark", "font");
  EXPECT_EQ(font(10000), "bookmark10000font");
  EXPECT_EQ(font(7), "bookmark7font");
  NumberedKey link("maplink");
  EXPECT_EQ(link(1), "maplink1");
  EXPECT_EQ(link(12), "maplink12");
}

// A list read in one pass over its section gives what looking up bookmark1, bookmark2, ... in turn
// gives: the first occurrence of each key in any letter case, up to the first missing or empty one.
TEST(NumberedListTest, ReadsWhatLookingUpEachKeyInTurnReads) {
  const std::string files[] = {
      "[S]\nbookmark1=a\nbookmark1font=f1\nbookmark2=b\n",
      "[S]\nbookmark2=b\nbookmark2font=f2\nbookmark1=a\n",
      "[S]\nbookmark1=a\nBOOKMARK1=z\nBookMark2FONT=F\nbookmark2=b\nbookmark2font=g\n",
      "[S]\nbookmark1=\nbookmark1=a\n",
      "[S]\nbookmark1=a\nbookmark3=c\n",
      "[S]\nbookmark01=x\nbookmark+1=y\nbookmark 1=w\nbookmark1=a\nbookmark=n\nbookmarkfont=m\n",
      "[S]\nbookmark1=a\n[T]\nbookmark2=t\n[s]\nbookmark2=b\nbookmark1=z\n",
      "[S]\nbookmark99999999999999999999999=x\nbookmark18446744073709551615=y\nbookmark1=a\n",
      "[S]\n  bookmark1 =  a  \r\nbookmark1fontx=q\n",
      "bookmark1=a\n[T]\nbookmark1=t\n",
  };
  const auto lookUp = [](const IniDocument& doc, const char* suffix, std::size_t count) {
    std::vector<std::string_view> values;
    NumberedKey key("bookmark", suffix);
    for (std::size_t n = 1; count ? n <= count : true; ++n) {
      const std::string_view value = doc.Find("S", key(n)).value_or("");
      if (!count && value.empty()) break;
      values.push_back(value);
    }
    return values;
  };
  for (const std::string& bytes : files) {
    IniDocument doc(bytes);
    for (int written = 0; written < 2; ++written) {
      // Lines written after the file was read are read as well.
      if (written) doc.Set("S", "bookmark2", "w");
      const NumberedKeys keys(doc, "s", "bookmark", {"", "font"});
      const std::vector<std::string_view> list = keys.List(0);
      EXPECT_EQ(list, lookUp(doc, "", 0)) << bytes << written;
      EXPECT_EQ(NumberedList(doc, "S", "bookmark", "font"), lookUp(doc, "font", 0)) << bytes << written;
      EXPECT_EQ(keys.Values(1, list.size() + 1), lookUp(doc, "font", list.size() + 1)) << bytes << written;
    }
  }
}

}  // namespace
}  // namespace orv
