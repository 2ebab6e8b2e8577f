#include "storage/inidocument.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace orv {
namespace {

TEST(IniDocumentTest, SerialisesEveryLineAsItWasRead) {
  const std::string files[] = {
      "",
      "no section\nstray=1\r\n[A]\r\nk=v\n; comment\r\n\r\n[B]\nj = w \t",
      "\xEF\xBB\xBF[A]\r\nk=\xB3\xFF\r\n[broken\n=x\n",
      "[A]\nk=v\r",
  };
  for (const std::string& bytes : files) EXPECT_EQ(IniDocument(bytes).Serialize(), bytes) << bytes;
}

TEST(IniDocumentTest, FindsValuesWithoutBlanksAroundThem) {
  const IniDocument doc(
      "stray=0\r\n[Bookmark Font]\r\nName = Verdana\r\n  Size\t=\t12  \r\nEmpty=\r\nBlank=   \r\n"
      "Inner=a  b\r\n[a]\r\nk=1\r\n");
  const struct {
    const char* section;
    const char* key;
    std::optional<std::string> value;
  } cases[] = {
      {"Bookmark Font", "Name", "Verdana"},
      {"bookmark font", "SIZE", "12"},
      {" Bookmark Font ", " Size ", "12"},
      {"Bookmark Font", "Empty", ""},
      {"Bookmark Font", "Blank", ""},
      {"Bookmark Font", "Inner", "a  b"},
      {"Bookmark Font", "Style", std::nullopt},
      {"Missing", "Name", std::nullopt},
      {"", "stray", std::nullopt},
      {"A", "k", "1"},
      {"A", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto found = doc.Find(c.section, c.key);
    EXPECT_EQ(found ? std::optional<std::string>(std::string(*found)) : std::nullopt, c.value)
        << c.section << "/" << c.key;
  }
}

TEST(IniDocumentTest, RewritingTheValueReadLeavesTheLineAsItIs) {
  IniDocument doc("[A]\r\nName = Verdana\r\n");
  EXPECT_FALSE(doc.Set("A", "Name", "Verdana"));
  EXPECT_TRUE(doc.Set("A", "name", "Arial"));
  EXPECT_EQ(doc.Serialize(), "[A]\r\nName =Arial\r\n");
  EXPECT_FALSE(doc.RemoveKey("A", "other"));
  EXPECT_FALSE(doc.RemoveSection("B"));
  EXPECT_TRUE(doc.RemoveSection("a"));
  EXPECT_EQ(doc.Serialize(), "");
}

TEST(IniDocumentTest, CopiesAreIndependent) {
  IniDocument original("[A]\nk=1\n");
  IniDocument copy = original;
  ASSERT_TRUE(copy.Set("A", "k", "2"));
  IniDocument moved = std::move(copy);
  ASSERT_TRUE(moved.Set("B", "j", "3"));
  EXPECT_EQ(original.Serialize(), "[A]\nk=1\n");
  EXPECT_EQ(moved.Serialize(), "[A]\nk=2\n\n[B]\nj=3\n");
  original = moved;
  EXPECT_EQ(original.Value("b", "J"), "3");
}

TEST(IniDocumentTest, RefusesWritesThatCouldNotBeReadBack) {
  const struct {
    const char* section;
    const char* key;
    const char* value;
    bool holds;
  } cases[] = {
      {"A", "k", "v", true},     {"A", "", "", true},      {"A", "k", "", true},
      {"", "k", "v", false},     {"A]", "k", "v", false},  {"A", "k=x", "v", false},
      {"A", "[k", "v", false},   {"A", ";k", "v", false},  {"A", "k", "two\nlines", false},
      {"A", "k", "cr\r", false}, {"A\n", "k", "v", false}, {"A", "  ", "v", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::CanHold(c.section, c.key, c.value), c.holds) << c.section << "/" << c.key;
    IniDocument doc;
    if (c.key[0] != '\0' && c.value[0] != '\0') EXPECT_EQ(doc.Set(c.section, c.key, c.value), c.holds);
  }
}

}  // namespace
}  // namespace orv
