#include "storage/inidocument.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "storage/inisectionlines.h"
#include "storage/settings.h"

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

// Files whose line endings were converted twice ("\r\r\n") or that end their lines in a lone CR (as
// old Macs wrote them) read as the lines a user sees in them.
TEST(IniDocumentTest, ReadsLinesEndedTwiceOrByALoneCarriageReturn) {
  const struct {
    std::string bytes;
    std::string serialized;  // what the document gives back
  } files[] = {
      {"[General]\r\r\nVersion=v2.2\r\r\n[A]\r\r\nk= v \r\r\n", ""},
      {"[General]\rVersion=v2.2\r[A]\rk= v \r", "[General]\r\nVersion=v2.2\r\n[A]\r\nk= v \r\n"},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.bytes);
    IniDocument doc(file.bytes);
    EXPECT_EQ(doc.Value("General", "Version"), "v2.2");
    EXPECT_EQ(doc.Value("A", "k"), "v");
    EXPECT_EQ(doc.Serialize(), file.serialized.empty() ? file.bytes : file.serialized);
    std::string out;
    EXPECT_FALSE(doc.SerializeChanges(out));  // nothing is written while nothing changes
    // Replacing the first section leaves the others in place.
    doc.ReplaceSection("General", IniSectionLines());
    EXPECT_EQ(doc.Value("A", "k"), "v");
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
      {"A", "k", "v", true},     {"A", "", "", true},       {"A", "k", "", true},
      {"", "k", "v", false},     {"A]", "k", "v", false},   {"A", "k=x", "v", false},
      {"A", "[k", "v", false},   {"A", ";k", "v", false},   {"A", "k", "two\nlines", false},
      {"A", "k", "cr\r", false}, {"A\n", "k", "v", false},  {"A", "  ", "v", false},
      {"A", "#k", "v", false},   {"A", "k\nj", "v", false}, {"A", " k ", "v", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniDocument::CanHold(c.section, c.key, c.value), c.holds) << c.section << "/" << c.key;
    IniDocument doc;
    if (c.key[0] != '\0' && c.value[0] != '\0') EXPECT_EQ(doc.Set(c.section, c.key, c.value), c.holds);
  }
}

// Replacing a section whole gives the same bytes as removing it and setting each key in turn, and
// reports a change exactly when the bytes differ.
TEST(IniDocumentTest, ReplacingASectionEqualsRemovingItAndSettingEachKey) {
  const std::string files[] = {
      "",
      "[General]\r\nVersion=v2.2\r\n\r\n[List]\r\nk1=a\r\nk2=b\r\n",
      "[General]\nVersion=v2.2\n\n[List]\nk1=a\nk2=b\n",
      "[List]\nk1=a\nk2=b\n",
      "[List]\nk1=a\n\n[Other]\nx=1\n",
      "[List]\nk1=a\n[Other]\nx=1\n[list]\nk2=b\n",
      "[General]\nv=1\n[List]\nk1=a\nk2=b\n",
      "[LIST]\nk1=a\nk2=b\n",
      "[List]\nk1=a\nk2=b",
      "\xEF\xBB\xBF[List]\r\nk1=a\r\nk2=b\r\n",
      "[List]\r\nk1=a\nk2=b\r\n",
      "[List]\nk1=a\n",
  };
  using Adds = std::vector<std::pair<std::string, std::string>>;
  const Adds adds[] = {
      {{"k1", "a"}, {"k2", "b"}},
      {{"k1", "a"}, {"K1", "c"}, {"k2", "b"}},
      {{"k1", "a"}, {"k1", ""}, {"k2", "b"}, {"K1", "d"}},
      {},
      {{"k1", "a"}, {"k1", ""}},
      {{"k9", ""}},
      {{" k1 ", " a"}, {"k1", "a"}, {"k2", "b "}},
      {{"bad=key", "x"}, {"k2", "two\nlines"}, {"[k", "x"}, {"k1", "a"}},
  };
  for (const std::string& bytes : files) {
    for (std::size_t a = 0; a < std::size(adds); ++a) {
      IniDocument expected(bytes);
      expected.RemoveSection("List");
      IniSectionLines lines;
      for (const auto& [key, value] : adds[a]) {
        expected.Set("List", key, value);
        lines.Add(key, value);
      }
      IniDocument doc(bytes);
      const bool changed = doc.ReplaceSection(" List ", lines);
      const std::string result = doc.Serialize();
      SCOPED_TRACE(::testing::Message() << "file " << bytes << ", lines " << a);
      EXPECT_EQ(result, expected.Serialize());
      EXPECT_EQ(changed, result != bytes);
      std::string written;
      EXPECT_EQ(doc.SerializeChanges(written), result != bytes);
      for (const char* key : {"k1", "K2", "k9"})
        EXPECT_EQ(doc.Find("list", key), expected.Find("List", key)) << key;
    }
  }
  // The cases a save meets most: the file already holds the section as it would be written.
  for (const char* bytes :
       {"[General]\r\nVersion=v2.2\r\n\r\n[List]\r\nk1=a\r\nk2=b\r\n", "[List]\nk1=a\nk2=b\n"}) {
    IniDocument doc(bytes);
    IniSectionLines lines;
    lines.Add("k1", "a");
    lines.Add("k2", "b");
    EXPECT_FALSE(doc.ReplaceSection("List", lines)) << bytes;
    lines.Clear();
    lines.Add("k1", "a");
    EXPECT_TRUE(doc.ReplaceSection("List", lines)) << bytes;
  }
}

// Numbered records added without a lookup read as Set of their storable values would have written
// them, also when a later Add changes or removes one of them (the key index then catches up).
TEST(IniDocumentTest, RecordsAddedWithoutLookupMatchSettingEachKey) {
  struct Step {
    bool record;
    std::string key, value;
  };
  using Steps = std::vector<Step>;
  const Steps cases[] = {
      {{true, "k1", "a"}, {true, "k2", "two\nlines\r"}, {true, "k3", ""}, {true, " k4 ", "x"}},
      {{true, "k1", "a"}, {true, "k2", "b"}, {false, "K1", "c"}, {false, "k2", ""}, {false, "k5", "e"}},
      {{false, "v1", "a"}, {true, "k1", "b"}, {false, "V1", "c"}, {true, "k2", "d"}, {false, "k2", "f"}},
      {{true, "bad=key", "x"}, {true, "[k", "x"}, {true, "k1", "\r\n"}},
  };
  for (std::size_t c = 0; c < std::size(cases); ++c) {
    IniDocument expected("[General]\nv=1\n");
    IniDocument doc("[General]\nv=1\n");
    IniSectionLines lines;
    for (const auto& [record, key, value] : cases[c]) {
      expected.Set("List", key, record ? StorableValue(value) : value);
      if (!record) {
        lines.Add(key, value);
        continue;
      }
      // A record gives back its value as stored, or "" when it made no line.
      const bool made = !value.empty() && IniDocument::CanHold("List", key, "");
      EXPECT_EQ(lines.AddRecord(key, value), made ? StorableValue(value) : "") << "case " << c << " " << key;
    }
    doc.ReplaceSection("List", std::move(lines));
    EXPECT_EQ(doc.Serialize(), expected.Serialize()) << "case " << c;
  }
}

// The word-at-a-time helpers against their byte-by-byte meaning, at the edges of A-Z, in bytes with
// the high bit set and past the first eight bytes.
TEST(IniLinesTest, WordHelpersMatchTheirMeaningByteByByte) {
  const std::string texts[] = {"",
                               "a",
                               "bookmark1",
                               "BOOKMARK1FONT",
                               "@[`{",
                               "\xC1\xDA\xE1",
                               "AZaz09",
                               "bookmark12font",
                               "Bookmark12Font",
                               "x\n",
                               "bookmark12\nfo",
                               "0123456789abcdef\r",
                               "\xC1"};
  for (const std::string& a : texts) {
    EXPECT_EQ(ini::HasLineBreak(a), a.find_first_of("\r\n") != std::string::npos) << a;
    for (const std::string& b : texts) {
      const bool equal = ini::EqualNoCase(a, b);
      EXPECT_EQ(ini::HashNoCase(a) == ini::HashNoCase(b), equal) << a << " / " << b;
      EXPECT_EQ(ini::LowerCopy(a) == ini::LowerCopy(b), equal) << a << " / " << b;
    }
  }
  // Line breaks at every place of texts of every length up to three blocks of sixteen bytes.
  for (std::size_t size = 0; size <= 48; ++size) {
    for (std::size_t at = 0; at <= size; ++at) {
      for (const char lineBreak : {'\n', '\r'}) {
        std::string text(size, 'x');
        if (at < size) text[at] = lineBreak;  // at == size: none
        EXPECT_EQ(ini::HasLineBreak(text), at < size) << size << " " << at;
      }
    }
  }
  // A piece shorter than a word reads as its bytes followed by zeros.
  const char bytes[] = "\x01\x82\x03\x84\x05\x86\x07\x88";
  for (std::size_t n = 0; n <= 8; ++n) {
    uint64_t padded = 0;
    std::memcpy(&padded, bytes, n);
    EXPECT_EQ(ini::Word(bytes, n), padded) << n;
  }
  std::string lowered;
  for (char c : std::string("AZaz@[`{\xC1\xDA"
                            "09"))
    lowered += ini::Lower(c);
  uint64_t word = ini::LowerWord(ini::Word("AZaz@[`{", 8));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&word), 8), lowered.substr(0, 8));
  word =
      ini::LowerWord(ini::Word("\xC1\xDA"
                               "09",
                               4));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&word), 4), lowered.substr(8));
}

// Sections are found wherever their header stands, and a section kept whole as it was read reads
// the same as once a lookup has split it into lines, which gives back the same bytes. A new key goes
// after the last key of the section's first part.
TEST(IniDocumentTest, ReadsSectionsKeptWholeAsLineByLine) {
  using Keys = std::vector<std::pair<std::string, std::string>>;
  std::string longList = "[A]\n";
  for (int i = 0; i < 300; ++i) longList += "k" + std::to_string(i) + "=[" + std::to_string(i) + "]\n";
  longList += "  [B]\r\nj=2";
  Keys longKeys;
  for (int i = 0; i < 300; ++i) longKeys.emplace_back("k" + std::to_string(i), "[" + std::to_string(i) + "]");
  const struct {
    std::string bytes, section;
    Keys keys;
    std::string afterSet;  // the bytes once "new=n" is set in the section
  } cases[] = {
      {"\xEF\xBB\xBF  [A]\r\nk=1\r\n", "A", {{"k", "1"}}, "\xEF\xBB\xBF  [A]\r\nk=1\r\nnew=n\r\n"},
      {"x=[A]\n[A]\nk=[v]\n\t[B] tail\nj=2",
       "A",
       {{"k", "[v]"}},
       "x=[A]\n[A]\nk=[v]\nnew=n\n\t[B] tail\nj=2"},
      {"x=[A]\n[A]\nk=[v]\n\t[B] tail\nj=2",
       "b",
       {{"j", "2"}},
       "x=[A]\n[A]\nk=[v]\n\t[B] tail\nj=2\nnew=n\n"},
      {"[A]\nk=1\n[broken\nj=2\r\n;c=3\n",
       "A",
       {{"k", "1"}, {"j", "2"}},
       "[A]\nk=1\n[broken\nj=2\r\nnew=n\n;c=3\n"},
      {"[A]\r\r\nk=1\r",
       "A",
       {{"k", "1"}},
       "[A]\r\r\nk=1\r\r\nnew=n\r\n"},  // a CR before the end is no part of a value
      {"[A]\nk=1\n\n[B]\nj=2\n[a]\nk=3\nm=4\n",
       "A",
       {{"k", "1"}, {"k", "3"}, {"m", "4"}},
       "[A]\nk=1\nnew=n\n\n[B]\nj=2\n[a]\nk=3\nm=4\n"},
      {"pre=1\n[A]", "A", {}, "pre=1\n[A]\nnew=n\n"},
      {"[A]\n\n\n", "A", {}, "[A]\nnew=n\n\n\n"},
      {"\n[A]\r\nk=1\n\n[B]\nj=2\n", "a", {{"k", "1"}}, "\n[A]\r\nk=1\nnew=n\n\n[B]\nj=2\n"},
      {longList, "B", {{"j", "2"}}, longList + "\nnew=n\n"},
      {longList, "A", longKeys, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes.substr(0, 60) + " / " + c.section);
    const auto keysOf = [&](const IniDocument& doc) {
      Keys keys;
      doc.ForEachKey(c.section, [&](std::string_view k, std::string_view v) { keys.emplace_back(k, v); });
      return keys;
    };
    const IniDocument whole(c.bytes);
    EXPECT_EQ(keysOf(whole), c.keys);
    IniDocument split(c.bytes);
    EXPECT_FALSE(split.Find(c.section, "missing"));
    EXPECT_EQ(keysOf(split), c.keys);
    EXPECT_EQ(split.Serialize(), c.bytes);
    if (c.afterSet.empty()) continue;
    ASSERT_TRUE(split.Set(c.section, "new", "n"));
    EXPECT_EQ(split.Serialize(), c.afterSet);
  }
}

TEST(IniDocumentTest, ReportsBytesChangedOnlyWhenTheyDifferFromThoseRead) {
  const std::string bytes = "[A]\r\nk = 1\r\n";
  IniDocument doc(bytes);
  std::string out = "kept";
  EXPECT_FALSE(doc.SerializeChanges(out));
  ASSERT_TRUE(doc.Set("A", "k", "2"));
  IniDocument copy = doc;
  EXPECT_TRUE(copy.SerializeChanges(out));
  EXPECT_EQ(out, "[A]\r\nk =2\r\n");
  // Written back to what the file holds: the same bytes, in the copy too.
  ASSERT_TRUE(doc.Set("A", "k", " 1"));
  ASSERT_TRUE(copy.Set("A", "k", " 1"));
  EXPECT_FALSE(doc.SerializeChanges(out));
  EXPECT_FALSE(copy.SerializeChanges(out));
  EXPECT_FALSE(IniDocument(bytes).SerializeChanges(out));
  IniDocument empty;
  ASSERT_TRUE(empty.Set("A", "k", "1"));
  ASSERT_TRUE(empty.RemoveSection("A"));
  EXPECT_FALSE(empty.SerializeChanges(out));
}

}  // namespace
}  // namespace orv
