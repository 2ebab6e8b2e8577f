#include "app/journalfollower.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>

#include "helpers.h"
#include "tempdir.h"

namespace orv {
namespace {

using orv::testing::WaitFor;

void Append(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
  file.write(bytes);
}

// Writes path from the start, keeping the same file (truncate, then write).
void Rewrite(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// Puts a new file in the place of path, as a game that starts a fresh journal does.
void Replace(const QString& path, const QByteArray& bytes) {
  const QString fresh = path + ".new";
  Rewrite(fresh, bytes);
  ASSERT_EQ(::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()), 0);
}

class JournalFollowerTest : public ::testing::Test {
 protected:
  QStringList Lines() const {
    QStringList lines;
    for (const auto& call : spy) lines.append(call.at(0).toString());
    return lines;
  }
  bool WaitForLines(const QStringList& expected) {
    const bool arrived = WaitFor([&] { return spy.size() >= expected.size(); });
    EXPECT_EQ(Lines(), expected);
    return arrived && Lines() == expected;
  }

  orv::testing::TempDir dir;
  QString journal = QString::fromStdString(dir / "journal.txt");
  JournalFollower follower;
  QSignalSpy spy{&follower, &JournalFollower::lineAppended};
};

TEST_F(JournalFollowerTest, DeliversOnlyCompleteLinesWrittenAfterStart) {
  Append(journal, "Your location is 100 100 0\nhalf a li");
  follower.start(journal);
  // The unfinished "37 15 N 12 5" is read together with the lines before it, and must wait for its end.
  Append(journal, "ne\r\nYour location is 1500 1200 0\n37 15 N 12 5");
  ASSERT_TRUE(WaitForLines({"half a line", "Your location is 1500 1200 0"}));
  Append(journal, " E\n\n");
  EXPECT_TRUE(WaitForLines({"half a line", "Your location is 1500 1200 0", "37 15 N 12 5 E", ""}));
}

// A game that empties its journal and writes on: the new lines count, whether the file is shorter
// than before or has already grown past the old length when the change is seen.
TEST_F(JournalFollowerTest, StartsOverWhenTheFileIsTruncatedOrRewritten) {
  Append(journal, "old line one\nold line two\n");
  follower.start(journal);
  Rewrite(journal, "new 1\n");
  ASSERT_TRUE(WaitForLines({"new 1"}));

  Rewrite(journal, "a much longer first line than before\nand another\n");
  EXPECT_TRUE(WaitForLines({"new 1", "a much longer first line than before", "and another"}));
}

TEST_F(JournalFollowerTest, ReadsAReplacingFileFromItsStart) {
  Append(journal, "old\n");
  follower.start(journal);
  Append(journal, "last of the old file without a break");
  Replace(journal, "first of the new file\n");
  ASSERT_TRUE(WaitForLines({"last of the old file without a break", "first of the new file"}));

  Append(journal, "second\n");
  EXPECT_TRUE(WaitForLines({"last of the old file without a break", "first of the new file", "second"}));
}

TEST_F(JournalFollowerTest, AFileThatAppearsLaterIsReadFromItsStart) {
  follower.start(journal);
  EXPECT_TRUE(follower.isFollowing());
  Append(journal, "created\n");
  EXPECT_TRUE(WaitForLines({"created"}));
}

// Bytes without a line break beyond any journal line's length are dropped, not held.
TEST_F(JournalFollowerTest, DropsAnOverlongLineAndGoesOn) {
  follower.start(journal);
  Append(journal, QByteArray(200 * 1024, 'x') + "\nafter\n");
  EXPECT_TRUE(WaitForLines({"after"}));
}

// Following that starts inside such a line drops its rest too: it is no line of its own.
TEST_F(JournalFollowerTest, StartingInsideAnOverlongLineDropsItsRest) {
  Append(journal, "x\n" + QByteArray(100 * 1024, 'z'));
  follower.start(journal);
  Append(journal, " 1500 1200\nnext\n");
  EXPECT_TRUE(WaitForLines({"next"}));
}

TEST(DecodeJournalLine, ReadsUtf8OrElseWindows1252) {
  const struct {
    QByteArray bytes;
    QString text;
  } cases[] = {
      {"1500 1200", "1500 1200"},
      {"37\xC2\xB0 15' N", QString("37%1 15' N").arg(QChar(0xB0))},  // UTF-8 degree sign
      {"37\xB0 15' N", QString("37%1 15' N").arg(QChar(0xB0))},      // Windows-1252 degree sign
      {"\x93quoted\x94 \x80", QString("%1quoted%2 %3").arg(QChar(0x201C), QChar(0x201D), QChar(0x20AC))},
      // One invalid byte makes the whole line Windows-1252.
      {"caf\xC3\xA9 and \xE9", QString("caf%1%2 and %3").arg(QChar(0xC3), QChar(0xA9), QChar(0xE9))},
      {"ends in a cut sequence \xC2", QString("ends in a cut sequence %1").arg(QChar(0xC2))},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeJournalLine(c.bytes), c.text) << c.bytes.toStdString();
}

}  // namespace
}  // namespace orv
