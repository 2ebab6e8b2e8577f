#pragma once
// Delimited field strings: every stored record (a bookmark, its font, a map link) is one string of
// fields joined by a separator byte. Fields are the maximal runs of non-separator bytes.
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace orv {

inline constexpr char FieldSeparator = '\xB3';  // the byte 179

// Field n (from 1) of s; n = 0 gives the number of fields as decimal text; n out of range gives "".
// Keeps a one-string cache of the last string it split, so reading several fields of one record
// splits it once.
std::string GetField(int n, const std::string& s, char separator);
// Field n (from 1) of s as a view into s, the same field GetField gives; "" when n is out of range.
// Reads in place without the cache, for code that reads one field of many records.
std::string_view FieldView(int n, std::string_view s, char separator = FieldSeparator);
// The first fields.size() fields of s in one pass: fields[i] is what FieldView(i + 1, s) gives, for
// code that reads several fields of many records.
void FirstFields(std::string_view s, std::span<std::string_view> fields, char separator = FieldSeparator);
// s rebuilt with newValue as field n; an empty newValue removes field n. n = 0 puts newValue first;
// n past the last field appends it after extra separators.
std::string SetField(int n, const std::string& s, char separator, const std::string& newValue);
// Sets field n of s as SetField does, changing s in place where that gives the same record (s with
// no empty field and n one of its fields), so that a record updated field by field is not rebuilt.
void ReplaceField(int n, std::string& s, char separator, std::string_view newValue);
// The fields joined into one record, separator between each two. The fields are taken as they are:
// an empty field or one holding the separator does not read back as the same field.
std::string JoinFields(std::initializer_list<std::string_view> fields, char separator = FieldSeparator);
// s without leading and trailing separators.
std::string StripSeparators(const std::string& s, char separator);

}  // namespace orv
