// Bad files fed to the real program: map info files, pictures and settings files that are empty,
// binary, huge, out of range or in the wrong encoding. Each gives a clear message or the usual
// default, never a crash, and a picture never makes the program allocate more than its real size.
#include <QApplication>
#include <QBuffer>
#include <QMessageBox>
#include <QTimer>
#include <random>

#include "core/mapinfo.h"
#include "robustness_fixture.h"
#include "storage/settings.h"
#include "view/mainwindow_ui.h"
#include "view/qtdialogs.h"

namespace orv::testing {
namespace {

using namespace std::string_literals;

constexpr std::size_t kTenMegabytes = 10u << 20;

std::string RandomBytes(std::size_t n, uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string Utf16(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += {c, '\0'};
  return out;
}

std::string Fill(const std::string& text, const std::string& dem, const std::string& jpg) {
  std::string out = text;
  for (const auto& [mark, value] : {std::pair{"<dem>", dem}, std::pair{"<jpg>", jpg}})
    for (auto at = out.find(mark); at != std::string::npos; at = out.find(mark)) out.replace(at, 5, value);
  return out;
}

class BadInputTest : public MainWindowTest {
 protected:
  // A map that is loaded first, so that every refused load can be seen to leave it in place.
  TForm1& OpenWithFirstMap() {
    first = MakeMap("First", 120, 90);
    TForm1& w = Open();
    EXPECT_EQ(LoadOutcome::Loaded, w.LoadMap(first));
    return w;
  }

  // The pointer over the map, a zoom and the view again: the conversions from the corners run.
  void UseTheMap(TForm1& w) {
    for (int x : {0, 7, w.MapAreaWidth() - 1})
      for (int y : {0, 5, w.MapAreaHeight() - 1}) w.PaintBox1MouseMove(Qt::NoModifier, x, y);
    w.ApplyZoom("1000");
    w.ApplyZoom("1");
    w.ApplyZoom("100");
    w.RenderView();
  }

  void ExpectFirstMapStillLoaded(TForm1& w) {
    EXPECT_EQ(first, w.CurrentMapFile());
    EXPECT_EQ(QSize(120, 90), w.MapImage().size());
    EXPECT_EQ(QString::fromStdString(MapWindowTitle(first)), w.windowTitle());
  }

  std::string first;
};

// ---- map info files --------------------------------------------------------------------------------

struct MapInfoCase {
  const char* name;
  std::string bytes;
  LoadOutcome outcome;
  std::string message;  // "" when the load says nothing; <dem> stands for the file's path
};

TEST_F(BadInputTest, MapInfoFilesGiveTheirMessageOrLoad) {
  const std::string good = Dimensions(0, 0, 32, 0, 0, 24, 32, 24);
  const std::string invalid = "Unable to load '<dem>'. Invalid map dimensions file.";
  const std::string longDigits(kTenMegabytes, '7');
  const std::vector<MapInfoCase> cases = {
      {"empty", "", LoadOutcome::Refused, invalid},
      {"binary", RandomBytes(64 << 10, 1), LoadOutcome::Refused, invalid},
      {"UTF-16 text", Utf16(good), LoadOutcome::Refused, invalid},
      {"NUL bytes inside the first corner", "[Map Dimensions]\r\nUpperLeft_X=1\0002\r\n"s,
       LoadOutcome::Refused, invalid},
      {"NUL bytes before the corners", std::string(100, '\0') + "\r\n" + good, LoadOutcome::Loaded, ""},
      {"byte-order mark", "\xEF\xBB\xBF" + good, LoadOutcome::Loaded, ""},
      {"line of 10 MB before the corners", std::string(kTenMegabytes, 'x') + "\r\n" + good,
       LoadOutcome::Loaded, ""},
      {"first corner of 10 MB", "[Map Dimensions]\r\nUpperLeft_X=" + longDigits + "\r\n",
       LoadOutcome::Refused, invalid},
      {"later corner of 10 MB", "[Map Dimensions]\r\nUpperLeft_X=0\r\nUpperLeft_Y=" + longDigits + "\r\n",
       LoadOutcome::CornerNotAnInteger, "'" + longDigits + "' is not a valid integer value"},
      {"first corner beyond 32 bits", "[Map Dimensions]\r\nUpperLeft_X=2147483648\r\nUpperLeft_Y=0\r\n",
       LoadOutcome::Refused, invalid},
      {"later corner beyond 32 bits",
       "[Map Dimensions]\r\nUpperLeft_X=0\r\nUpperLeft_Y=0\r\nUpperRight_X=-2147483649\r\n",
       LoadOutcome::CornerNotAnInteger, "'-2147483649' is not a valid integer value"},
      {"corners at the 32-bit limits",
       Dimensions(-2147483647 - 1, -2147483647 - 1, 2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647,
                  2147483647, 2147483647),
       LoadOutcome::Refused, invalid},
      {"corners a thousand million pixels out",
       Dimensions(-1000000000, -1000000000, 1000000000, -1000000000, -1000000000, 1000000000, 1000000000,
                  1000000000),
       LoadOutcome::Loaded, ""},
      {"all corners in one point", Dimensions(5, 5, 5, 5, 5, 5, 5, 5), LoadOutcome::Refused, invalid},
      {"corners on one line", Dimensions(0, 0, 100, 0, 200, 0, 300, 0), LoadOutcome::Refused, invalid},
  };
  TForm1& w = OpenWithFirstMap();
  int n = 0;
  for (const MapInfoCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = "Case" + std::to_string(++n);
    const std::string dem = Path(name + ".dem");
    WriteText(dem, c.bytes);
    WriteJpeg(Path(name + ".JPG"), PatternPicture(32, 24));
    dialogs.messages.clear();
    const MapCorners corners = w.MapCorners();

    EXPECT_EQ(c.outcome, w.LoadMap(dem));
    const std::vector<std::string> told =
        c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{Fill(c.message, dem, "")};
    EXPECT_TRUE(told == dialogs.messages)
        << "told: " << (dialogs.messages.empty() ? "nothing" : dialogs.messages[0].substr(0, 200));
    if (c.outcome == LoadOutcome::Loaded) {
      EXPECT_EQ(dem, w.CurrentMapFile());
      EXPECT_EQ(QSize(32, 24), w.MapImage().size());
      UseTheMap(w);
      ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(first));
    } else {
      ExpectFirstMapStillLoaded(w);
      w.Session().SetCorners(corners);  // a bad later corner keeps the ones read before it
      UseTheMap(w);
    }
  }
}

// What the program's own message box shows for text, closed as soon as it is up.
QString ShownInMessageBox(const QString& text) {
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  QtDialogs().ShowMessage(nullptr, text);
  return shown;
}

TEST_F(BadInputTest, LeavingASampleMapUnchangedLeavesItsFileAsItWas) {
  // Installed sample maps lie in a folder the user cannot write: looking at one and moving on must
  // neither change its file nor report a failed save.
  namespace fs = std::filesystem;
  const std::vector<std::string> maps{"Veldrane", "Thornmere", "Orrinsford"};
  std::vector<std::string> before;
  for (const std::string& name : maps) {
    for (const char* ext : {".dem", ".JPG"})
      fs::copy_file(std::string(ORV_SOURCE_DIR) + "/assets/maps/" + name + ext, Path(name + ext));
    before.push_back(ReadText(Path(name + ".dem")));
  }
  TForm1& w = Open();
  for (const std::string& name : maps) ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(Path(name + ".dem")));
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(Path("Veldrane.dem")));
  for (std::size_t i = 0; i < maps.size(); ++i)
    EXPECT_EQ(before[i], ReadText(Path(maps[i] + ".dem"))) << maps[i];
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(BadInputTest, MessageQuotingMegabytesShowsItsBeginningAndEnd) {
  // The message of a corner value of 10 MB: laid out whole it would freeze the program for minutes.
  const QString huge = "'" + QString(kTenMegabytes, '7') + "' is not a valid integer value";
  const QString shown = ShownInMessageBox(huge);
  EXPECT_LE(shown.size(), MaxMessageBoxText);
  EXPECT_TRUE(shown.startsWith("'7777777")) << shown.left(20).toStdString();
  EXPECT_TRUE(shown.endsWith("777' is not a valid integer value")) << shown.right(40).toStdString();
  // Messages of any ordinary length, a path of 4096 bytes among them, are shown whole.
  const QString path = "Unable to load '/" + QString(4096, 'p') + ".dem'. File not found.";
  EXPECT_EQ(path, ShownInMessageBox(path));
}

TEST_F(BadInputTest, PathsThatNameNoMapInfoFileAreNotFound) {
  TForm1& w = OpenWithFirstMap();
  // A folder with the name of a map, and a path that holds a NUL byte: the system would read such
  // a path only up to that byte, which names another file (here the first map).
  QDir(dir.path()).mkdir("Folder.dem");
  for (const std::string& path : {Path("Folder.dem"), first + "\0.old"s}) {
    dialogs.messages.clear();
    EXPECT_EQ(LoadOutcome::Refused, w.LoadMap(path));
    EXPECT_EQ(std::vector<std::string>{"Unable to load '" + path + "'. File not found."}, dialogs.messages);
    ExpectFirstMapStillLoaded(w);
  }
}

// ---- pictures --------------------------------------------------------------------------------------

// A JPEG of 16 x 16 pixels, written to scratch, whose frame header says it has width x height pixels.
std::string JpegDeclaring(const std::string& scratch, int width, int height) {
  WriteJpeg(scratch, PatternPicture(16, 16));
  std::string bytes = ReadText(scratch);
  const auto sof = bytes.find("\xFF\xC0");
  if (sof == std::string::npos) return {};
  // FF C0, length (2), precision (1), height (2), width (2)
  bytes[sof + 5] = static_cast<char>(height >> 8);
  bytes[sof + 6] = static_cast<char>(height & 0xFF);
  bytes[sof + 7] = static_cast<char>(width >> 8);
  bytes[sof + 8] = static_cast<char>(width & 0xFF);
  return bytes;
}

struct PictureCase {
  const char* name;
  std::string bytes;
  LoadOutcome outcome;
  std::string message;  // <jpg> stands for the picture's path as messages name it
};

TEST_F(BadInputTest, PicturesGiveTheirMessageAndNeverAllocateBeyondTheirSize) {
  const std::string whole = [this] {
    WriteJpeg(Path("whole.jpg"), PatternPicture(200, 150));
    return ReadText(Path("whole.jpg"));
  }();
  const std::string unreadable = "Unable to load image '<jpg>'. The picture could not be read.";
  const std::string damaged = "The picture '<jpg>' is damaged; parts of it may be missing.";
  QByteArray png;
  {
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    PatternPicture(20, 20).save(&buffer, "PNG");
  }
  const std::vector<PictureCase> cases = {
      {"0 bytes", "", LoadOutcome::Refused, unreadable},
      {"start of image only", whole.substr(0, 2), LoadOutcome::Refused, unreadable},
      {"cut inside the header", whole.substr(0, 100), LoadOutcome::Refused, unreadable},
      {"cut inside the picture data", whole.substr(0, whole.size() / 2), LoadOutcome::Loaded, damaged},
      {"a PNG picture", png.toStdString(), LoadOutcome::Refused, unreadable},
      {"random bytes after a JPEG start", "\xFF\xD8" + RandomBytes(4096, 2), LoadOutcome::Refused,
       unreadable},
      {"declares 65535 x 65535 pixels", JpegDeclaring(Path("small.jpg"), 65535, 65535), LoadOutcome::Refused,
       unreadable},
      {"declares 60000 x 40000 pixels", JpegDeclaring(Path("small.jpg"), 60000, 40000), LoadOutcome::Refused,
       unreadable},
      {"declares 0 pixels wide", JpegDeclaring(Path("small.jpg"), 0, 16), LoadOutcome::Refused, unreadable},
  };
  TForm1& w = OpenWithFirstMap();
  const bool measured = ResetPeakMemory();
  int n = 0;
  for (const PictureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = "Pic" + std::to_string(++n);
    const std::string dem = Path(name + ".dem");
    WriteText(dem, Dimensions(0, 0, 200, 0, 0, 150, 200, 150));
    WriteText(Path(name + ".JPG"), c.bytes);
    dialogs.messages.clear();

    ResetPeakMemory();
    const long long before = PeakMemoryBytes();
    EXPECT_EQ(c.outcome, w.LoadMap(dem));
    const long long grown = PeakMemoryBytes() - before;
    EXPECT_EQ(std::vector<std::string>{Fill(c.message, dem, Path(name + ".jpg"))}, dialogs.messages);
    // Nothing beyond the real picture: at most 200 x 150 pixels, 4 bytes each, and some room for the
    // decoder's own tables.
    if (measured) EXPECT_LT(grown, 16ll << 20) << "the peak memory grew by " << grown << " bytes";
    if (c.outcome == LoadOutcome::Loaded) {
      EXPECT_EQ(QSize(200, 150), w.MapImage().size());
      UseTheMap(w);
      ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(first));
    } else {
      ExpectFirstMapStillLoaded(w);
    }
  }
  if (!measured) GTEST_SKIP() << "peak memory not measured: /proc/self/clear_refs cannot be written here";
}

// ---- settings files --------------------------------------------------------------------------------

struct SettingsCase {
  const char* name;
  std::string bytes;  // <dem> stands for the path of a good map
  BookmarkFontSpec font;
  bool mapLoaded;
};

BookmarkFontSpec Font(std::string name, int size, int color, bool bold, bool italic, bool underline,
                      bool strikeout) {
  return {std::move(name), size, color, bold, italic, underline, strikeout};
}

TEST_F(BadInputTest, SettingsFilesGiveTheirValuesOrTheDefaults) {
  const BookmarkFontSpec defaults;
  const std::vector<SettingsCase> cases = {
      {"empty", "", defaults, false},
      {"binary", RandomBytes(64 << 10, 3), defaults, false},
      {"UTF-16 text", Utf16("[Bookmark Font]\r\nName=Courier\r\n[General]\r\nLastMapFilename=<dem>\r\n"),
       defaults, false},
      {"byte-order mark",
       "\xEF\xBB\xBF[Bookmark Font]\r\nName=Courier\r\nSize=14\r\nColor=255\r\nStyle=iu\r\n[General]\r\n"
       "LastMapFilename=<dem>\r\n",
       Font("Courier", 14, 255, false, true, true, false), true},
      {"NUL bytes in the font's numbers and style",
       "[Bookmark Font]\r\nSize=1\0004\r\nColor=\0\r\nStyle=\0s\r\n"s,
       Font("Arial", 10, 0, false, false, false, true), false},
      {"NUL bytes around the sections",
       "\0\0\0\r\n[Bookmark Font]\r\nSize=12\r\n\0\r\n[General]\r\nLastMapFilename=<dem>\r\n\0"s,
       Font("Arial", 12, 0, true, false, false, false), true},
      {"last map named with a NUL byte", "[General]\r\nLastMapFilename=<dem>\0.old\r\n"s, defaults, false},
      {"line of 10 MB", "[Bookmark Font]\r\n" + std::string(kTenMegabytes, 'x') + "\r\nSize=9\r\n",
       Font("Arial", 9, 0, true, false, false, false), false},
      {"numbers beyond 32 bits", "[Bookmark Font]\r\nSize=99999999999\r\nColor=-2147483649\r\n", defaults,
       false},
  };
  const std::string dem = MakeMap("Good", 40, 30);
  for (const SettingsCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteText(settingsFile, Fill(c.bytes, dem, ""));
    dialogs.messages.clear();
    TForm1& w = Open();
    EXPECT_EQ(std::vector<std::string>{}, dialogs.messages);
    EXPECT_EQ(c.font, w.BookmarkFont());
    EXPECT_EQ(c.mapLoaded ? dem : "", w.CurrentMapFile());
    EXPECT_EQ(c.mapLoaded, Control<TPaintBox>(w, "PaintBox1")->isVisible());
    form.reset();
    // What the program wrote back reads the same at the next start.
    EXPECT_EQ(std::vector<std::string>{}, dialogs.messages);
    EXPECT_EQ(c.font, ReadBookmarkFont(settingsFile));
  }
}

TEST_F(BadInputTest, ByteOrderMarkStaysAtTheStartOfTheSettingsFile) {
  const std::string dem = MakeMap("Good", 40, 30);
  WriteText(settingsFile, "\xEF\xBB\xBF[General]\r\nLastMapFilename=" + dem + "\r\n");
  Open();
  form.reset();
  const std::string written = ReadText(settingsFile);
  EXPECT_EQ("\xEF\xBB\xBF[General]\r\n", written.substr(0, 14));
  EXPECT_EQ(1u, std::count(written.begin(), written.end(), '\xEF'));
  EXPECT_EQ(dem, ReadSetting("General", "LastMapFilename", settingsFile));
}

// ---- records ---------------------------------------------------------------------------------------

TEST_F(BadInputTest, RecordsWithStrayLineBreaksSurviveASave) {
  // A carriage return alone in the middle of a line (a file edited with mixed line endings) is part
  // of the value; a value cannot be written with one, since older copies would end the line there.
  const std::string dem = MakeMap("Marsh", 40, 30);
  auto line = [](const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; };
  WriteText(dem, ReadText(dem) + "[General]\r\nVersion=v2.2\r\n[Map Bookmarks]\r\n" +
                     line("bookmark1", Fields({"V", "1", "2", "Ferry\rlanding"})) +
                     line("bookmark1font", ArialFont()) + line("bookmark2", Fields({"V", "3", "4", "Weir"})) +
                     line("bookmark2font", ArialFont()) + "[Map Links]\r\n" +
                     line("maplink1", Fields({"1", "1", "9", "9", "A.dem", "Go\rnorth"})) +
                     line("maplink2", Fields({"2", "2", "8", "8", "B.dem", "Go south"})));
  WriteText(settingsFile, "[General]\r\nVersion=v2.2\r\n" + line("LastMapFilename", dem) +
                              "[Map Bookmarks]\r\n" +
                              line("bookmark1", Fields({"Id00000001", "V", "5", "6", "Mill\rpond"})) +
                              line("bookmark1font", ArialFont()) +
                              line("bookmark2", Fields({"Id00000002", "V", "7", "8", "Well"})) +
                              line("bookmark2font", ArialFont()));
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "as written by hand" : "as saved by the program");
    TForm1& w = Open();
    const TForm1& s = w;
    ASSERT_EQ(dem, w.CurrentMapFile());
    EXPECT_EQ(2u, s.CurrentMapBookmarks().size());
    EXPECT_EQ(2u, s.GlobalBookmarks().size());
    EXPECT_EQ(2u, s.Links().store.size());
    form.reset();
    EXPECT_EQ(std::vector<std::string>{}, dialogs.messages);
  }
  // The line break became a blank; everything else is as it was.
  EXPECT_EQ(Fields({"V", "1", "2", "Ferry landing"}), ReadSetting("Map Bookmarks", "bookmark1", dem));
  EXPECT_EQ(Fields({"Id00000001", "V", "5", "6", "Mill pond"}),
            ReadSetting("Map Bookmarks", "bookmark1", settingsFile));
  EXPECT_EQ(Fields({"1", "1", "9", "9", "A.dem", "Go north"}), ReadSetting("Map Links", "maplink1", dem));
}

TEST_F(BadInputTest, LongNamesAndHugeSizesDrawInBoundedMemory) {
  // Hand-edited bookmarks: a name of 10 MB at 10 points, and a name of 400 letters at the largest
  // size drawn. Each is drawn from its start at its place, and neither makes a picture of gigabytes.
  const std::string dem = MakeMap("Plain", 3000, 2000, QImage());
  TForm1& w = Open();
  ASSERT_EQ(LoadOutcome::Loaded, w.LoadMap(dem));
  EditBookmarkLists(w, [](BookmarkLists& lists) {
    lists.CurrentMapBookmarks = {Fields({"V", "0", "0", std::string(kTenMegabytes, 'W')}),
                                 Fields({"V", "0", "2048", std::string(400, 'M')})};
    lists.CurrentMapBookmarkFonts = {Fields({"Arial", "10", "255", ""}),
                                     Fields({"Arial", "5000", "65280", ""})};
  });
  w.BookmarkListsChanged();
  const QImage& view = w.ViewBuffer();
  // Pixels of the view mostly of one colour channel: the letters of one of the names.
  auto count = [&view](int channel) {
    int n = 0;
    for (int y = 0; y < view.height(); ++y)
      for (int x = 0; x < view.width(); ++x) {
        const QRgb c = view.pixel(x, y);
        const int v[3] = {qRed(c), qGreen(c), qBlue(c)};
        n += v[channel] > 200 && v[(channel + 1) % 3] < 60 && v[(channel + 2) % 3] < 60;
      }
    return n;
  };
  const bool measured = ResetPeakMemory();
  const long long before = PeakMemoryBytes();
  w.ScrollViewTo(0, 0);
  EXPECT_GT(count(0), 50) << "the long red name is not drawn at the top left";
  // The big green letters start at picture pixel (0, 1000); their strokes reach far below.
  w.ScrollViewTo(0, 1300);
  EXPECT_GT(count(1), 1000) << "the big green name is not drawn";
  const long long grown = PeakMemoryBytes() - before;
  if (measured) EXPECT_LT(grown, 256ll << 20) << "the peak memory grew by " << grown << " bytes";
}

}  // namespace
}  // namespace orv::testing
