// A picture decoded ahead of its load: handed over once, only for the file started, as a load
// would have decoded it.
#include "core/pictureahead.h"

#include <chrono>
#include <thread>

#include "mainwindow_fixture.h"
#include "view/picture.h"

namespace orv::testing {
namespace {

class PictureAheadTest : public MainWindowTest {};

TEST_F(PictureAheadTest, HandsOverTheStartedPictureOnce) {
  const std::string path = Path("map.JPG");
  WriteJpeg(path, PatternPicture(300, 200));
  QImage expected;
  ASSERT_EQ(LoadPicture(path, expected), JpegResult::Ok);

  PictureAhead ahead;
  QImage picture;
  EXPECT_EQ(TakePicture(ahead, path, picture), std::nullopt) << "nothing started";
  ahead.Start(path);
  EXPECT_EQ(TakePicture(ahead, Path("other.JPG"), picture), std::nullopt);
  EXPECT_TRUE(picture.isNull());
  EXPECT_EQ(TakePicture(ahead, path, picture), JpegResult::Ok);
  EXPECT_EQ(picture, expected);
  EXPECT_EQ(TakePicture(ahead, path, picture), std::nullopt) << "taken twice";

  // The overview made while the rows came is the one made from the picture, and the picture is
  // held once: a copy left with the decoder would make the first mark drawn copy the whole picture.
  // Taken at once, or after a pause in which the decode surely ended before anyone followed it.
  const struct {
    QSize size;
    bool late;
  } takes[] = {{QSize(300, 200), false}, {QSize(300, 200), true}, {QSize(3000, 2900), false}};
  for (const auto& [size, late] : takes) {  // the largest in memory of its own
    const std::string large = Path("large.JPG");
    WriteJpeg(large, PatternPicture(size.width(), size.height()));
    ahead.Start(large);
    if (late) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Overview overview;
    QImage taken;
    ASSERT_EQ(TakePicture(ahead, large, taken, &overview), JpegResult::Ok);
    EXPECT_TRUE(taken.isDetached());
    EXPECT_EQ(overview.thumbnail, MakeOverview(taken).thumbnail)
        << size.width() << (late ? " taken late" : "");
    EXPECT_FALSE(overview.isNull());
  }

  ahead.Start(path);
  ahead.Forget();
  EXPECT_EQ(TakePicture(ahead, path, picture), std::nullopt) << "forgotten";
}

TEST_F(PictureAheadTest, UnreadablePictureLeavesTheTargetAsItWas) {
  WriteText(Path("bad.JPG"), "not a picture");
  QImage picture = PatternPicture(4, 4);
  const QImage before = picture;
  PictureAhead ahead;
  ahead.Start(Path("bad.JPG"));
  Overview overview;
  EXPECT_EQ(TakePicture(ahead, Path("bad.JPG"), picture, &overview), JpegResult::Unreadable);
  EXPECT_EQ(picture, before);
  EXPECT_TRUE(overview.isNull());
}

}  // namespace
}  // namespace orv::testing
