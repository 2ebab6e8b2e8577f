#include "bookmarks/bookmarkstore.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>

#include "core/mapinfo.h"
#include "storage/fields.h"
#include "storage/inidocument.h"
#include "storage/inifile.h"
#include "storage/storedvalues.h"
#include "view/localeorder.h"

namespace orv {
namespace {

const std::string kMapBookmarks = "Map Bookmarks";
const std::string kGlobalBookmarks = "Global Bookmarks";

// Size fields of the older layouts, removed when they are converted.
constexpr int kOldMapSizeField = 4;
constexpr int kOldGlobalSizeField = 5;

// Keys of the nth record and of its font record: "bookmark<n>" and "bookmark<n>font".
constexpr std::string_view kRecordKey = "bookmark";
constexpr std::string_view kFontSuffix = "font";
struct BookmarkKeys {
  NumberedKey record{kRecordKey};
  NumberedKey font{kRecordKey, kFontSuffix};
};

// The font record an older record gets: the font every bookmark had then, at its stored size.
std::string OldLayoutFont(const std::string& size) {
  return JoinFields({"Arial", size, "0", "b"});
}

// Records and font records of the current layout under bookmark1, bookmark1font, ... up to the
// first empty record.
void ReadCurrentLayout(const IniDocument& file, std::vector<std::string>& records,
                       std::vector<std::string>& fonts) {
  const NumberedKeys keys(file, kMapBookmarks, kRecordKey, {"", kFontSuffix});
  const std::vector<std::string_view> recordValues = keys.List(0);
  const std::vector<std::string_view> fontValues = keys.Values(1, recordValues.size());
  records.assign(recordValues.begin(), recordValues.end());
  fonts.assign(fontValues.begin(), fontValues.end());
}

// Records of an older layout with a size field: the size moves into a font record of its own.
void ReadSizedLayout(const IniDocument& file, int sizeField, std::vector<std::string>& records,
                     std::vector<std::string>& fonts) {
  records.clear();
  fonts.clear();
  for (const std::string_view value : NumberedList(file, kMapBookmarks, kRecordKey)) {
    const std::string old(value);
    fonts.push_back(OldLayoutFont(GetField(sizeField, old, FieldSeparator)));
    records.push_back(SetField(sizeField, old, FieldSeparator, ""));
  }
}

// Cuts the text before the first occurrence of delimiter off s and returns it. Without the
// delimiter the whole rest is the piece and s becomes empty.
std::string TakeUntil(std::string& s, const std::string& delimiter) {
  const auto at = s.find(delimiter);
  std::string piece;
  if (at == std::string::npos) {
    piece = std::move(s);
    s.clear();
  } else {
    piece = s.substr(0, at);
    s.erase(0, at + delimiter.size());
  }
  return piece;
}

// The oldest global layout: "X Y size name@@notes".
void ReadOldestGlobalLayout(const IniDocument& file, std::mt19937& random, BookmarkLists& lists) {
  lists.GlobalBookmarks.clear();
  lists.GlobalBookmarkFonts.clear();
  for (const std::string_view value : NumberedList(file, kMapBookmarks, kRecordKey)) {
    std::string s(value);
    std::string record = NewBookmarkId(random) + FieldSeparator + std::string(VisibleValue) + FieldSeparator;
    record += TakeUntil(s, " ") + FieldSeparator;
    record += TakeUntil(s, " ") + FieldSeparator;
    lists.GlobalBookmarkFonts.push_back(OldLayoutFont(TakeUntil(s, " ")));
    record += TakeUntil(s, "@@");
    // Notes follow the name only when there are any, so a record without notes does not end in
    // a separator.
    if (!s.empty()) record += FieldSeparator + s;
    lists.GlobalBookmarks.push_back(std::move(record));
  }
}

bool IsControl(unsigned char c) {
  return c >= 1 && c <= 31;
}
bool IsBlank(unsigned char c) {
  return c >= 1 && c <= 32;
}

bool NeedsQuotes(const std::string& line) {
  return std::any_of(line.begin(), line.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == ',' || c == '"' || c == ' ' || IsControl(c);
  });
}

void SortByName(std::vector<std::string>& records, std::vector<std::string>& fonts, int nameField) {
  std::vector<std::string_view> names;
  names.reserve(records.size());
  for (const auto& r : records) names.push_back(FieldView(nameField, r));
  const std::vector<std::size_t> order = LocaleOrder(names);
  Reorder(records, order);
  Reorder(fonts, order);
}

// The font record at index i of a font list, "" past its end.
std::string_view FontAt(const std::vector<std::string>& fonts, std::size_t i) {
  return i < fonts.size() ? std::string_view(fonts[i]) : std::string_view();
}

// Room in lines for a record list and its font list under their numbered keys.
void ReserveFor(IniSectionLines& lines, const std::vector<std::string>& records,
                const std::vector<std::string>& fonts) {
  std::size_t bytes = 0;
  for (const std::string& record : records) bytes += record.size() + 32;  // two keys, two "="
  for (const std::string& font : fonts) bytes += font.size();
  lines.Reserve(2 * records.size(), bytes);
}

}  // namespace

void LoadGlobalBookmarks(BookmarkLists& lists, const IniDocument& settings, std::mt19937& random) {
  const std::string version = settings.Value(VersionSection, VersionKey);
  if (version == VersionOfLayout) {
    ReadCurrentLayout(settings, lists.GlobalBookmarks, lists.GlobalBookmarkFonts);
  } else if (version == "v2.11" || version == "v2.1") {
    ReadSizedLayout(settings, kOldGlobalSizeField, lists.GlobalBookmarks, lists.GlobalBookmarkFonts);
  } else {
    ReadOldestGlobalLayout(settings, random, lists);
  }
}

void LoadGlobalBookmarks(BookmarkLists& lists, const std::string& settingsFile, std::mt19937& random) {
  LoadGlobalBookmarks(lists, LoadIniFile(settingsFile).document, random);
}

void LoadMapBookmarks(BookmarkLists& lists, const IniDocument& map) {
  // A global bookmark that the map does not list is visible on it.
  for (auto& record : lists.GlobalBookmarks) {
    const std::string_view id = FieldView(GlobalBookmarkIdField, record);
    const std::string_view stored =
        id.empty() ? std::string_view() : map.Find(kGlobalBookmarks, id).value_or("");
    // A hand-edited value holding the separator would split into fields and shift the record's
    // point and name, which the next save would write into the settings file: it reads as missing.
    const bool usable = !stored.empty() && stored.find(FieldSeparator) == std::string_view::npos;
    ReplaceField(GlobalBookmarkFields.visibility, record, FieldSeparator, usable ? stored : VisibleValue);
  }
  if (map.Value(VersionSection, VersionKey) == VersionOfLayout) {
    ReadCurrentLayout(map, lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts);
  } else {
    ReadSizedLayout(map, kOldMapSizeField, lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts);
  }
}

void LoadMapBookmarks(BookmarkLists& lists, const std::string& mapFile) {
  LoadMapBookmarks(lists, LoadIniFile(mapFile).document);
}

void PutBookmarks(const BookmarkLists& lists, IniDocument* map, IniDocument& settings) {
  BookmarkKeys keys;
  // Records go in as values can hold them (a stray line break from a hand-edited file becomes a
  // blank), so none is refused and the numbering has no gap at which the next load would stop.
  IniSectionLines records;
  if (map) {
    map->Set(VersionSection, VersionKey, VersionOfLayout);
    ReserveFor(records, lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts);
    for (std::size_t i = 0; i < lists.CurrentMapBookmarks.size(); ++i) {
      records.AddRecord(keys.record(i + 1), lists.CurrentMapBookmarks[i]);
      records.AddRecord(keys.font(i + 1), FontAt(lists.CurrentMapBookmarkFonts, i));
    }
    map->ReplaceSection(kMapBookmarks, std::move(records));
    records.Clear();
  }
  ReserveFor(records, lists.GlobalBookmarks, lists.GlobalBookmarkFonts);
  IniSectionLines visibilities;  // of the global bookmarks on the map, by identifier
  if (map) visibilities.Reserve(lists.GlobalBookmarks.size(), lists.GlobalBookmarks.size() * 16);
  bool visibilitiesFirst = false;
  for (std::size_t i = 0; i < lists.GlobalBookmarks.size(); ++i) {
    const bool recordsOpened = records.OpensSection();
    // The identifier and visibility are read from the record as stored, line breaks made blanks.
    const std::string_view record = records.AddRecord(keys.record(i + 1), lists.GlobalBookmarks[i]);
    if (map) {
      const std::string_view id = FieldView(GlobalBookmarkIdField, record);
      // An empty identifier would name no key: it would stand for the whole section instead.
      if (!id.empty()) visibilities.Add(id, FieldView(GlobalBookmarkFields.visibility, record));
    }
    // A bookmark's visibility line counts as coming before its record's line.
    if (!recordsOpened && visibilities.OpensSection()) visibilitiesFirst = true;
    records.AddRecord(keys.font(i + 1), FontAt(lists.GlobalBookmarkFonts, i));
  }
  settings.Set(VersionSection, VersionKey, VersionOfLayout);
  if (map != &settings) {
    if (map) map->ReplaceSection(kGlobalBookmarks, std::move(visibilities));
    settings.ReplaceSection(kMapBookmarks, std::move(records));
    return;
  }
  // A map info file that is the settings file itself: the global records take the place of the
  // map's, and the two sections are written in the order in which their first lines came.
  settings.RemoveSection(kGlobalBookmarks);
  settings.RemoveSection(kMapBookmarks);
  if (visibilitiesFirst) settings.ReplaceSection(kGlobalBookmarks, visibilities);
  settings.ReplaceSection(kMapBookmarks, std::move(records));
  if (!visibilitiesFirst) settings.ReplaceSection(kGlobalBookmarks, std::move(visibilities));
}

bool SaveBookmarks(const BookmarkLists& lists, const std::string& mapFile, const std::string& settingsFile,
                   std::string* failedFile) {
  return SaveBookmarks(lists, mapFile, settingsFile, nullptr, failedFile);
}

bool SaveBookmarks(const BookmarkLists& lists, const std::string& mapFile, const std::string& settingsFile,
                   const std::function<void(IniDocument&)>& alsoInMap, std::string* failedFile) {
  // Each file is read once, changed as a document and written once, and only when its bytes change.
  IniFile map;
  const bool withMap = !mapFile.empty();
  if (withMap) map = LoadIniFile(mapFile);
  // A map info file that is the settings file itself is one document, edited by both halves.
  const bool oneFile = withMap && SameFile(mapFile, settingsFile);
  IniFile separateSettings;
  if (!oneFile) separateSettings = LoadIniFile(settingsFile);
  IniFile& settings = oneFile ? map : separateSettings;
  PutBookmarks(lists, withMap ? &map.document : nullptr, settings.document);
  if (withMap && alsoInMap) alsoInMap(map.document);

  bool ok = true;
  if (withMap && !SaveIniFile(map, mapFile)) {
    ok = false;
    if (failedFile) *failedFile = mapFile;
  }
  if (!oneFile && !SaveIniFile(settings, settingsFile)) {
    if (ok && failedFile) *failedFile = settingsFile;
    ok = false;
  }
  return ok;
}

void SortBookmarks(BookmarkLists& lists) {
  SortByName(lists.GlobalBookmarks, lists.GlobalBookmarkFonts, GlobalBookmarkFields.name);
  SortByName(lists.CurrentMapBookmarks, lists.CurrentMapBookmarkFonts, MapBookmarkFields.name);
}

std::string NewBookmarkId(std::mt19937& random) {
  // "0" stands twice in the alphabet and the last letter is never drawn: identifiers in existing
  // files were made this way, and only their length and characters matter.
  static constexpr char kAlphabet[] = "AaBb0CcD1dEe2FfG3gHh4IiJ5jKk6LlM7mNn8OoP9pQq0RrSsTtUuVvWwXxYyZz";
  static_assert(sizeof(kAlphabet) - 1 == 63);
  std::uniform_int_distribution<int> draw(0, 61);
  std::string id;
  for (int i = 0; i < 10; ++i) id += kAlphabet[draw(random)];
  return id;
}

std::string NotesToCommaText(const std::vector<std::string>& lines) {
  if (lines.size() == 1 && lines[0].empty()) return "\"\"";
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += ',';
    const std::string& line = lines[i];
    // A last line that is empty is quoted too: unquoted, the text would end in a comma, and reading
    // it back would lose the line.
    const bool lastAndEmpty = line.empty() && i + 1 == lines.size();
    if (!lastAndEmpty && !NeedsQuotes(line)) {
      text += line;
      continue;
    }
    text += '"';
    for (char ch : line) {
      if (ch == '"') text += '"';
      text += ch;
    }
    text += '"';
  }
  return text;
}

std::vector<std::string> CommaTextToNotes(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto skipBlanks = [&] {
    while (i < n && IsBlank(static_cast<unsigned char>(text[i]))) ++i;
  };
  skipBlanks();
  while (i < n) {
    std::string line;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            line += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        line += text[i++];
      }
    } else {
      while (i < n && text[i] != ',' && !IsBlank(static_cast<unsigned char>(text[i]))) line += text[i++];
    }
    lines.push_back(std::move(line));
    skipBlanks();
    if (i < n && text[i] == ',') {
      ++i;
      skipBlanks();
    }
  }
  return lines;
}

}  // namespace orv
