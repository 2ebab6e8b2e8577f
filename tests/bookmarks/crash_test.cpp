// A bookmark added shortly before the program is killed is there when it starts again. The program
// here is this test program itself, started again as a child that builds the main window, adds the
// bookmarks through the name box and then waits to be killed.
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>

#include "window_fixture.h"

namespace orv::testing {
namespace {

constexpr char kDirVariable[] = "ORV_CRASH_TEST_DIR";
constexpr char kAdded[] = "bookmarks added";

using BookmarkCrash = BookmarksWindowTest;

// The child: the program as a user runs it, until it is killed.
TEST_F(BookmarkCrash, DISABLED_ChildAddsBookmarksAndWaits) {
  const QString dirPath = qEnvironmentVariable(kDirVariable);
  ASSERT_FALSE(dirPath.isEmpty());
  // The child works in the parent's folder; its own would outlive the kill.
  dir.remove();
  settingsFile = QDir(dirPath).filePath("orvantis.ini").toStdString();
  Open();
  ASSERT_FALSE(form->CurrentMapFile().empty());
  AddBookmark(false, {120, 50}, "Smithy");
  AddBookmark(true, {220, 70}, "Ferry");
  std::printf("%s\n", kAdded);
  std::fflush(stdout);
  // Runs until killed; ends by itself only if nobody does, so it never outlives a broken parent.
  for (int i = 0; i < 300; ++i) QTest::qWait(100);
}

TEST_F(BookmarkCrash, BookmarksAddedBeforeAKillAreThereAtTheNextStart) {
  const std::string map = MakeMap("town");
  WriteText(settingsFile, "[General]\r\nLastMapFilename=" + map + "\r\n");
  const std::string mapBefore = ReadText(map);

  QProcess child;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(kDirVariable, dir.path());
  env.insert("QT_QPA_PLATFORM", "offscreen");
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::SeparateChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {"--gtest_filter=BookmarkCrash.DISABLED_ChildAddsBookmarksAndWaits",
               "--gtest_also_run_disabled_tests"});
  ASSERT_TRUE(child.waitForStarted(10000));
  QByteArray out;
  ASSERT_TRUE(WaitFor([&] {
    out += child.readAllStandardOutput();
    return out.contains(kAdded) || child.state() == QProcess::NotRunning;
  }));
  ASSERT_TRUE(out.contains(kAdded)) << out.toStdString() << child.readAllStandardError().toStdString();

  // About two seconds after the last change the program is killed, without any chance to save.
  QTest::qWait(2000);
  ASSERT_EQ(child.state(), QProcess::Running) << "the child ended by itself";
  child.kill();  // SIGKILL
  ASSERT_TRUE(child.waitForFinished(10000));
  EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
  EXPECT_NE(ReadText(map), mapBefore);

  // The next start finds both bookmarks in their lists.
  Open();
  ASSERT_EQ(form->CurrentMapFile(), map);
  TForm3& w = *form->form3();
  ASSERT_EQ(Entries(BookmarksControls(w).ListBox2).size(), 1);
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox2)[0], "Smithy");
  ASSERT_EQ(Entries(BookmarksControls(w).ListBox1).size(), 1);
  EXPECT_EQ(Entries(BookmarksControls(w).ListBox1)[0], "Ferry");
  EXPECT_EQ(GetField(1, S().CurrentMapBookmarks()[0], FieldSeparator), "V");
  EXPECT_EQ(GetField(2, S().GlobalBookmarks()[0], FieldSeparator), "V");
}

}  // namespace
}  // namespace orv::testing
