// Stored bytes and the text the widgets show: Windows-1252 both ways.
#include "view/text.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

// Every byte, alone and inside a longer plain text (which is converted another way when it holds
// no byte from 0x80 to 0x9F), gives its character and comes back as the same byte.
TEST(TextTest, EveryByteGivesItsWindows1252CharacterAndComesBack) {
  const std::pair<unsigned char, char16_t> known[] = {{'A', u'A'},       {0x80, u'\u20AC'}, {0x81, 0x81},
                                                      {0x9F, u'\u0178'}, {0xA0, 0xA0},      {0xB3, 0xB3},
                                                      {0xE9, 0xE9}};
  for (const auto& [byte, character] : known)
    EXPECT_EQ(FromBytes(std::string(1, static_cast<char>(byte))), QString(QChar(character))) << int(byte);
  for (int b = 0; b < 256; ++b) {
    for (const std::string& bytes : {std::string(1, static_cast<char>(b)),
                                     "Bookmark by the old mill " + std::string(1, static_cast<char>(b))}) {
      const QString text = FromBytes(bytes);
      EXPECT_EQ(text.size(), static_cast<qsizetype>(bytes.size())) << b;
      EXPECT_EQ(ToBytes(text), bytes) << b;
      QString reused = "a longer text than the bytes it will hold";
      FromBytesInto(bytes, reused);
      EXPECT_EQ(reused, text) << b;
    }
  }
}

}  // namespace
}  // namespace orv
