#include "storage/bookmarkfont.h"

#include <gtest/gtest.h>

#include "storage/settings.h"
#include "test_files.h"

namespace orv {
namespace {

using testing::ReadFile;
using testing::SharedTempDir;
using testing::WriteBytes;

struct FontCase {
  const char* lines;  // the keys of the section "Bookmark Font"
  BookmarkFontSpec expected;
};

BookmarkFontSpec Font(std::string name, int32_t size, int32_t color, bool b, bool i, bool u, bool s) {
  return {std::move(name), size, color, b, i, u, s};
}

TEST(BookmarkFontTest, ReadsEachKeyWithItsDefault) {
  const FontCase cases[] = {
      {"", Font("Arial", 10, 0, true, false, false, false)},
      {"Name=\r\nSize=abc\r\nColor=\r\n", Font("Arial", 10, 0, true, false, false, false)},
      {"Name=Courier New\r\nSize=12\r\nColor=255\r\nStyle=u\r\n",
       Font("Courier New", 12, 255, false, false, true, false)},
      {"Style=ibs\r\n", Font("Arial", 10, 0, true, true, false, true)},
      {"Style=B\r\n", Font("Arial", 10, 0, false, false, false, false)},
      {"Style=x-b-u\r\nColor=-16777216\r\nSize=+8\r\n",
       Font("Arial", 8, -16777216, true, false, true, false)},
      {"Color=4294967295\r\nSize=1.5\r\n", Font("Arial", 10, 0, true, false, false, false)},
      {"color=65280\r\nSIZE= 9\r\n", Font("Arial", 9, 65280, true, false, false, false)},
      // A name holding the field separator would shift the fields of new bookmarks' font records.
      {"Name=Ari\xB3"
       "al\r\nSize=12\r\n",
       Font("Arial", 12, 0, true, false, false, false)},
  };
  for (const FontCase& c : cases) {
    SharedTempDir dir;
    const std::string file = dir / "orvantis.ini";
    WriteBytes(file, std::string("[Bookmark Font]\r\n") + c.lines);
    EXPECT_EQ(ReadBookmarkFont(file), c.expected) << c.lines;
  }
}

TEST(BookmarkFontTest, WritesFourKeysAndReadsThemBack) {
  SharedTempDir dir;
  const std::string file = dir / "orvantis.ini";
  const BookmarkFontSpec font = Font("Times New Roman", 14, 0x00FF8040, true, true, true, true);
  EXPECT_EQ(StyleLetters(font), "bius");
  ASSERT_TRUE(WriteBookmarkFont(file, font));
  EXPECT_EQ(ReadFile(file),
            "[Bookmark Font]\r\nColor=16744512\r\nName=Times New Roman\r\nSize=14\r\nStyle=bius\r\n");
  EXPECT_EQ(ReadBookmarkFont(file), font);
}

TEST(BookmarkFontTest, FontWithoutAttributesReadsBackBold) {
  SharedTempDir dir;
  const std::string file = dir / "orvantis.ini";
  ASSERT_TRUE(WriteBookmarkFont(file, Font("Arial", 10, 0, true, false, false, true)));
  const BookmarkFontSpec plain = Font("Arial", 10, 0, false, false, false, false);
  EXPECT_EQ(StyleLetters(plain), "");
  ASSERT_TRUE(WriteBookmarkFont(file, plain));
  EXPECT_EQ(ReadFile(file).find("Style"), std::string::npos) << "an empty style removes the key";
  EXPECT_TRUE(ReadBookmarkFont(file).bold);
}

TEST(BookmarkFontTest, UnwritableFileIsReported) {
  SharedTempDir dir;
  EXPECT_FALSE(WriteBookmarkFont(dir / "missing/orvantis.ini", BookmarkFontSpec{}));
}

}  // namespace
}  // namespace orv
