// A picture decoded ahead of its load: handed over once, only for the file started, as a load
// would have decoded it.
#include "view/pictureahead.h"

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
  EXPECT_EQ(ahead.Take(path, picture), std::nullopt) << "nothing started";
  ahead.Start(path);
  EXPECT_EQ(ahead.Take(Path("other.JPG"), picture), std::nullopt);
  EXPECT_TRUE(picture.isNull());
  EXPECT_EQ(ahead.Take(path, picture), JpegResult::Ok);
  EXPECT_EQ(picture, expected);
  EXPECT_EQ(ahead.Take(path, picture), std::nullopt) << "taken twice";

  ahead.Start(path);
  ahead.Forget();
  EXPECT_EQ(ahead.Take(path, picture), std::nullopt) << "forgotten";
}

TEST_F(PictureAheadTest, UnreadablePictureLeavesTheTargetAsItWas) {
  WriteText(Path("bad.JPG"), "not a picture");
  QImage picture = PatternPicture(4, 4);
  const QImage before = picture;
  PictureAhead ahead;
  ahead.Start(Path("bad.JPG"));
  EXPECT_EQ(ahead.Take(Path("bad.JPG"), picture), JpegResult::Unreadable);
  EXPECT_EQ(picture, before);
}

}  // namespace
}  // namespace orv::testing
