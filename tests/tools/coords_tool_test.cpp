// The converter as a user runs it: lines in on standard input, lines out on standard output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tempdir.h"

namespace orv {
namespace {

using testing::ReadFile;
using testing::TempDir;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs the converter in workDir (the test's own directory when empty).
ToolRun Converter(const std::string& args, const std::string& input, const std::string& workDir = "") {
  TempDir dir;
  const std::string in = dir.Write("in.txt", input);
  const std::string cd = workDir.empty() ? "" : "cd '" + workDir + "' && ";
  const std::string cmd = cd + "'" + ORV_BINARY_DIR + "/orvantis-coords' " + args + " <'" + in + "' >'" +
                          (dir / "out.txt") + "' 2>'" + (dir / "err.txt") + "'";
  ToolRun run;
  const int raw = std::system(cmd.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = ReadFile(dir / "out.txt");
  run.err = ReadFile(dir / "err.txt");
  return run;
}

TEST(CoordsTool, ConvertsEachLineBetweenTheThreeForms) {
  const std::string offset = "--corners '-100,-50 1900,-50 -100,1550 1900,1550'";
  struct Case {
    std::string args, input, output;
  };
  const Case cases[] = {
      {"where pixel", "5120 4096\n100 0\n", "50 50\n1 0\n"},
      {"--zoom 200 where pixel", "5120 4096\n", "100 100\n"},
      {"pixel where", "25 25\n1 0\n", "2560 2048\n102 0\n"},
      {offset + " where pixel", "1000 1000\n", "291 341\n"},
      {offset + " --zoom 50 pixel where", "146 170\n", "1004 998\n"},
      {"where sextant", "0 0\n1328 1624\n", "142 44 N 93 22 W\n0 0 - 0 0 -\n"},
      {"sextant where", "142 44 n 93 22 w\n0 0 - 0 0 -\n", "0 0\n1328 1624\n"},
      {offset + " pixel sextant", "900 750\n", "37 15 S 86 37 E\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const ToolRun run = Converter(c.args, c.input);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.output);
  }
}

TEST(CoordsTool, BadLinesGiveEmptyLinesAndTheRestStillConverts) {
  const ToolRun run = Converter("where pixel", "10 x\n5120 4096\n1 2 3\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "\n50 50\n\n");
  EXPECT_NE(run.err.find("line 1: "), std::string::npos);
  EXPECT_NE(run.err.find("line 3: "), std::string::npos);
  EXPECT_EQ(run.err.find("line 2: "), std::string::npos);
}

TEST(CoordsTool, InputThatCannotBeReadOrOutputThatCannotBeWrittenFailsTheRun) {
  const std::string tool = "'" + std::string(ORV_BINARY_DIR) + "/orvantis-coords' where pixel";
  TempDir dir;
  const std::string in = dir.Write("in.txt", "5120 4096\n");
  for (const std::string& redirect : {" <'" + dir.path() + "' >/dev/null", " <'" + in + "' >/dev/full"}) {
    SCOPED_TRACE(redirect);
    const int raw = std::system((tool + redirect + " 2>/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 2) << raw;
  }
}

TEST(CoordsTool, PointsOutsideTheWorldHaveNoSextantReading) {
  const ToolRun run = Converter("where sextant", "99999 5\n5120 4096\n-1 0\n0 4097\n1328 1624\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "\n142 45 N 93 23 W\n\n\n0 0 - 0 0 -\n");
  EXPECT_EQ(run.err,
            "line 1: 99999 5 lies outside the world (0..5120, 0..4096) and has no sextant reading\n"
            "line 3: -1 0 lies outside the world (0..5120, 0..4096) and has no sextant reading\n"
            "line 4: 0 4097 lies outside the world (0..5120, 0..4096) and has no sextant reading\n");
  // A pixel beyond the map's corners too; its .where position is still given.
  EXPECT_EQ(Converter("pixel sextant", "51 0\n").out, "\n");
  EXPECT_EQ(Converter("pixel where", "51 0\n").out, "5222 0\n");
}

TEST(CoordsTool, TheReadmeExampleRunsFromTheProjectRoot) {
  const std::string readme = ReadFile(std::string(ORV_SOURCE_DIR) + "/README.md");
  const std::string example =
      "echo \"1500 1200\" | build/orvantis-coords --map assets/maps/Veldrane.dem where sextant";
  EXPECT_NE(readme.find(example), std::string::npos);
  const ToolRun run =
      Converter("--map assets/maps/Veldrane.dem where sextant", "1500 1200\n", ORV_SOURCE_DIR);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "37 15 N 12 5 E\n");
}

TEST(CoordsTool, DirectionsPrintTheConclusion) {
  const ToolRun run = Converter("directions", "1000 1000 980 1040\n1000 1000 1007 1000\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "Move 20 steps (About 1 screens) to the WEST and 40 steps (About 3 screens) to the SOUTH.\n"
            "Move 7 steps (About 0 screens) to the EAST.\n");
}

TEST(CoordsTool, UnusableMapOrOptionsExitWithTwo) {
  TempDir dir;
  const std::string dem = dir.Write("bad.dem", "[Map Dimensions]\r\n");
  ToolRun run = Converter("--map '" + dem + "' where pixel", "1 1\n");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "Unable to load '" + dem + "'. Invalid map dimensions file.\n");
  EXPECT_EQ(Converter("--zoom 0 where pixel", "").status, 2);
  EXPECT_EQ(Converter("where", "").status, 2);
  EXPECT_EQ(Converter("--help", "").status, 0);
}

}  // namespace
}  // namespace orv
