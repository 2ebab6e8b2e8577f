#include "app/commandline.h"

#include <gtest/gtest.h>

#include "helpers.h"

namespace orv {
namespace {

using Action = CommandLine::Action;

TEST(CommandLine, ReadsEachFormAndSaysWhatIsWrong) {
  const QString cwd = "/home/player/games";
  const struct {
    QStringList args;
    Action action;
    StartRequest request;
    QString error;  // the start of the error text, for Fail
  } cases[] = {
      {{}, Action::Start, {}, ""},
      {{"maps/north.dem"}, Action::Start, {"/home/player/games/maps/north.dem", {}, "", ""}, ""},
      {{"../North.JPG"}, Action::Start, {"/home/player/North.dem", {}, "", ""}, ""},
      {{"/m/a.dem", "--where", "1500", "1200"}, Action::Start, {"/m/a.dem", Point{1500, 1200}, "", ""}, ""},
      {{"--where", "-5", "4100"}, Action::Start, {"", Point{-5, 4100}, "", ""}, ""},
      {{"--sextant", " 37 15 N 12 5 E "}, Action::Start, {"", {}, "37 15 N 12 5 E", ""}, ""},
      {{"--follow", "journal.txt", "x.dem"},
       Action::Start,
       {"/home/player/games/x.dem", {}, "", "/home/player/games/journal.txt"},
       ""},
      {{"--", "--odd name.dem"}, Action::Start, {"/home/player/games/--odd name.dem", {}, "", ""}, ""},
      {{"--help"}, Action::ShowHelp, {}, ""},
      {{"-v", "-h"}, Action::ShowHelp, {}, ""},
      {{"--version"}, Action::ShowVersion, {}, ""},
      {{"a.dem", "b.dem"}, Action::Fail, {}, "Only one map can be opened: 'b.dem'"},
      {{"--where", "1", "2", ""}, Action::Fail, {}, "The map's name is empty"},
      {{"--where", "1500"}, Action::Fail, {}, "--where needs two whole numbers"},
      {{"--where", "1500", "north"}, Action::Fail, {}, "--where needs two whole numbers"},
      {{"--where", "1.5", "2"}, Action::Fail, {}, "--where needs two whole numbers"},
      {{"--where", "1", "2", "--sextant", "37 15 N 12 5 E"}, Action::Fail, {}, "Give the position once"},
      {{"--sextant"}, Action::Fail, {}, "--sextant needs the reading"},
      {{"--sextant", "1500 1200"}, Action::Fail, {}, "'1500 1200' is no sextant reading"},
      {{"--sextant", "37 15 N"}, Action::Fail, {}, "'37 15 N' is no sextant reading"},
      {{"--sextant", "--follow", "j.txt"}, Action::Fail, {}, "--sextant needs the reading"},
      {{"--follow"}, Action::Fail, {}, "--follow needs the journal"},
      {{"--follow", "/tmp"}, Action::Fail, {}, "'/tmp' is a folder; --follow needs the journal file"},
      {{"--follow", "a", "--follow", "b"}, Action::Fail, {}, "Only one journal"},
      {{"--wehre", "1", "2"}, Action::Fail, {}, "Unknown option '--wehre'"},
      {{"--help", "--bogus"}, Action::Fail, {}, "Unknown option '--bogus'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CommandLine parsed = CommandLine::Parse(c.args, cwd);
    EXPECT_EQ(parsed.action, c.action);
    EXPECT_EQ(parsed.request, c.request);
    if (c.action == Action::Fail) EXPECT_TRUE(parsed.error.startsWith(c.error)) << parsed.error.toStdString();
  }
}

// A second copy hands its request on as arguments; the running copy, in another working directory,
// must read the same request back.
TEST(CommandLine, ArgumentsForARunningCopyGiveTheSameRequest) {
  const StartRequest requests[] = {
      {},
      {"/m/a b.dem", Point{0, 4096}, "", "/j/journal.txt"},
      {"", {}, "37o 15'N 12o 5'E", ""},
  };
  for (const auto& request : requests) {
    const CommandLine parsed = CommandLine::Parse(CommandLine::ToArguments(request), "/elsewhere");
    EXPECT_EQ(parsed.action, Action::Start);
    EXPECT_EQ(parsed.request, request) << CommandLine::ToArguments(request).join(' ').toStdString();
  }
}

}  // namespace
}  // namespace orv
