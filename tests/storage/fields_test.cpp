#include "storage/fields.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

// Records in the tables are written with '|' standing for the separator byte.
std::string R(std::string s) {
  for (char& c : s)
    if (c == '|') c = FieldSeparator;
  return s;
}

struct GetCase {
  const char* record;
  int n;
  const char* expected;
};

TEST(FieldsTest, GetFieldCutsRecordsIntoFields) {
  const GetCase cases[] = {
      {"", 0, "0"},          {"", 1, ""},           {"abc", 0, "1"},     {"abc", 1, "abc"},
      {"a|b", 0, "2"},       {"a|b", 1, "a"},       {"a|b", 2, "b"},     {"a|b", 3, ""},
      {"a|b", -1, ""},       {"|a||b|", 0, "2"},    {"|a||b|", 1, "a"},  {"|a||b|", 2, "b"},
      {"a||", 0, "1"},       {"a||", 1, "a"},       {"|", 0, "1"},       {"|", 1, ""},
      {"|||", 0, "1"},       {"|||", 1, ""},        {"||a", 0, "1"},     {"||a", 1, "a"},
      {"a|b|", 0, "2"},      {"a|b|", 2, "b"},      {"a|||b||", 0, "2"}, {"a|||b||", 2, "b"},
      {" a | b ", 1, " a "}, {" a | b ", 2, " b "}, {"x|y|z", 3, "z"},   {"x|y|z", 4, ""},
  };
  for (const GetCase& c : cases) {
    EXPECT_EQ(GetField(c.n, R(c.record), FieldSeparator), c.expected) << c.record << " field " << c.n;
    // Read in place, a field is the same bytes.
    if (c.n >= 1) EXPECT_EQ(FieldView(c.n, R(c.record)), c.expected) << c.record << " field " << c.n;
    // Split in one pass, the first four fields are those read one by one.
    std::string_view first[4];
    const std::string record = R(c.record);
    FirstFields(record, first);
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(first[n - 1], FieldView(n, record)) << c.record << " field " << n;
  }
}

TEST(FieldsTest, FieldsAreBytesAndOnlyTheSeparatorCuts) {
  // Bytes next to the separator's value, and Windows-1252 letters, are ordinary field bytes.
  const std::string record = "\xB2\xE9t\xE9" + std::string(1, FieldSeparator) + "\xB4\x80\xFF";
  EXPECT_EQ(GetField(0, record, FieldSeparator), "2");
  EXPECT_EQ(GetField(1, record, FieldSeparator), "\xB2\xE9t\xE9");
  EXPECT_EQ(GetField(2, record, FieldSeparator), "\xB4\x80\xFF");
}

TEST(FieldsTest, CachedSplitFollowsTheRecordAndTheSeparator) {
  const std::string first = R("one|two|three");
  const std::string second = R("one|twx|three");  // same length, one byte differs
  EXPECT_EQ(GetField(2, first, FieldSeparator), "two");
  EXPECT_EQ(GetField(2, second, FieldSeparator), "twx");
  EXPECT_EQ(GetField(3, first, FieldSeparator), "three");
  // The same text split at another separator is not answered from the cached split.
  EXPECT_EQ(GetField(0, "a,b|c", '|'), "2");
  EXPECT_EQ(GetField(0, "a,b|c", ','), "2");
  EXPECT_EQ(GetField(1, "a,b|c", ','), "a");
}

struct SetCase {
  const char* record;
  int n;
  const char* value;
  const char* expected;
};

TEST(FieldsTest, SetFieldRebuildsTheRecord) {
  const SetCase cases[] = {
      {"a|b|c", 2, "", "a|c"},
      {"a|b", 2, "x", "a|x"},
      {"a|b", 5, "x", "a|b|||x"},
      {"a|b", 0, "x", "x|a|b"},
      {"|a||b|", 1, "x", "x|b"},
      {"", 1, "x", "x"},
      {"", 1, "", ""},
      {"a", 1, "", ""},
      {"a|b", 3, "c", "a|b|c"},
      {"a|b", 1, "x|y", "x|y|b"},
      {"||", 1, "x", "x"},
      {"||", 2, "x", "|x"},
      {"|a||b|", 3, "", "a|b"},
      {"a|b", -1, "x", "a|b"},
      {"", 0, "x", "x"},
      {"", 3, "", ""},  // no field to remove, and none is made
      {"|||", 3, "", ""},
      {"a|bb|c", 2, "x", "a|x|c"},
      {"a|b|c", 3, "xyz", "a|b|xyz"},
      {"abc", 1, "V", "V"},
      {"a|b|", 2, "x", "a|x"},
      {"a||b", 2, "x", "a|x"},
  };
  for (const SetCase& c : cases) {
    EXPECT_EQ(SetField(c.n, R(c.record), FieldSeparator, R(c.value)), R(c.expected))
        << c.record << " field " << c.n << " := " << c.value;
    // Setting the field in place gives the same record.
    std::string record = R(c.record);
    ReplaceField(c.n, record, FieldSeparator, R(c.value));
    EXPECT_EQ(record, R(c.expected)) << "in place: " << c.record << " field " << c.n << " := " << c.value;
  }
}

TEST(FieldsTest, FieldSetPastTheEndReadsBackAsTheNextField) {
  const std::string record = SetField(5, R("a|b"), FieldSeparator, "x");
  EXPECT_EQ(GetField(0, record, FieldSeparator), "3");
  EXPECT_EQ(GetField(3, record, FieldSeparator), "x");
}

TEST(FieldsTest, JoinFieldsPutsTheSeparatorBetweenEachTwoFields) {
  const struct {
    std::initializer_list<std::string_view> fields;
    const char* expected;
  } cases[] = {
      {{}, ""},
      {{"a"}, "a"},
      {{"V", "1500", "1200", "Old Mill"}, "V|1500|1200|Old Mill"},
      // Every field keeps its place, empty ones too, so the layout of the record is what it says.
      {{"", "b"}, "|b"},
      {{"a", "", "c"}, "a||c"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinFields(c.fields), R(c.expected)) << c.expected;
  EXPECT_EQ(JoinFields({"x", "y"}, ','), "x,y");
  // Read back, the fields of a record without empty ones are the fields joined.
  const std::string record = JoinFields({"Arial", "10", "0", "b"});
  EXPECT_EQ(GetField(0, record, FieldSeparator), "4");
  EXPECT_EQ(GetField(4, record, FieldSeparator), "b");
}

TEST(FieldsTest, StripSeparatorsRemovesOnlyTheEnds) {
  const std::pair<const char*, const char*> cases[] = {{"", ""},   {"|||", ""},        {"|a|b|", "a|b"},
                                                       {"a", "a"}, {"||a b||", "a b"}, {" | ", " | "}};
  for (const auto& [in, out] : cases) EXPECT_EQ(StripSeparators(R(in), FieldSeparator), R(out)) << in;
}

}  // namespace
}  // namespace orv
