#include "core/positiontext.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/directions.h"

namespace orv {
namespace {

// ---- Reading the bytes as characters -------------------------------------------------------------

// The code points of valid UTF-8 text, or nothing when the bytes are not valid UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    int length = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t c = length == 1 ? b : b & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    // Overlong forms are not valid UTF-8; such bytes are Windows-1252 text.
    if ((length == 2 && c < 0x80) || (length == 3 && c < 0x800) || (length == 4 && c < 0x10000)) {
      return std::nullopt;
    }
    out.push_back(c);
    i += length;
  }
  return out;
}

// Windows-1252 text: Latin-1, apart from the quote marks and dashes of 0x91..0x97 that matter here.
std::u32string DecodeWindows1252(std::string_view text) {
  std::u32string out;
  for (const char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    switch (b) {
      case 0x91:
        out.push_back(U'\u2018');
        break;
      case 0x92:
        out.push_back(U'\u2019');
        break;
      case 0x96:
        out.push_back(U'\u2013');
        break;
      case 0x97:
        out.push_back(U'\u2014');
        break;
      default:
        out.push_back(b);
    }
  }
  return out;
}

bool IsSpace(char32_t c) {
  return c <= 0x20 || c == 0x7F || c == 0xA0 || (c >= 0x2000 && c <= 0x200B);
}
bool IsDigit(char32_t c) {
  return c >= '0' && c <= '9';
}
bool IsDegreeSign(char32_t c) {
  return c == U'\u00B0' || c == U'\u00BA' || c == U'\u02DA';
}
bool IsMinuteSign(char32_t c) {
  return c == '\'' || c == '`' || c == U'\u2018' || c == U'\u2019' || c == U'\u2032' || c == U'\u00B4';
}
// Letters of any script glue to digits like ASCII letters do ("Bob42", "été3"). Punctuation, symbols
// and pictographs above Latin-1 do not.
bool IsLetter(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (c < 0x100) return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  if (c == U'\u02DA') return false;
  return !(c >= 0x2000 && c <= 0x2BFF) && !(c >= 0x3000 && c <= 0x303F) && !(c >= 0xFE30 && c <= 0xFF20) &&
         c < 0x1F000;
}

bool InList(std::u32string_view list, char32_t c) {
  return list.find(c) != std::u32string_view::npos;
}

// ---- Tokens of one line ----------------------------------------------------------------------------

struct Token {
  enum class Type { Number, Word, Mark };
  Type type = Type::Mark;
  bool spaced = true;     // blank (or the line's start) before it
  bool consumed = false;  // part of a sextant reading already
  // Number
  int64_t value = 0;
  bool hasSign = false;
  bool fits = true;  // inside the signed 32-bit range
  int digits = 0;
  // Word: lower-case ASCII; other letters as '?', so that they match no keyword
  std::string word;
  // Mark: the symbol; degree signs read as U+00B0, minute signs as '\'', minus signs as '-'
  char32_t mark = 0;

  bool IsMark(char32_t m) const { return type == Type::Mark && mark == m; }
  bool IsWordIn(std::initializer_list<const char*> words) const {
    return type == Type::Word &&
           std::any_of(words.begin(), words.end(), [&](const char* w) { return word == w; });
  }
};

// A sign belongs to the number when it starts a word: nothing or a blank or an opening mark before it.
bool SignStartsNumber(const std::vector<Token>& tokens) {
  const Token& sign = tokens.back();
  if (!(sign.IsMark('-') || sign.IsMark('+'))) return false;
  if (sign.spaced || tokens.size() == 1) return true;
  const Token& before = tokens[tokens.size() - 2];
  return before.type == Token::Type::Mark && InList(U"([{<,=:;", before.mark);
}

std::vector<Token> Tokenize(std::u32string_view line) {
  std::vector<Token> tokens;
  bool spaced = true;
  for (std::size_t i = 0; i < line.size();) {
    const char32_t c = line[i];
    if (IsSpace(c)) {
      spaced = true;
      ++i;
      continue;
    }
    Token t;
    t.spaced = spaced;
    spaced = false;
    if (IsDigit(c)) {
      t.type = Token::Type::Number;
      for (; i < line.size() && IsDigit(line[i]); ++i, ++t.digits) {
        if (t.value <= std::numeric_limits<int32_t>::max()) t.value = t.value * 10 + (line[i] - '0');
      }
      if (!tokens.empty() && !t.spaced && SignStartsNumber(tokens)) {
        t.hasSign = true;
        t.spaced = tokens.back().spaced;
        if (tokens.back().mark == '-') t.value = -t.value;
        tokens.pop_back();
      }
      t.fits =
          t.value >= std::numeric_limits<int32_t>::min() && t.value <= std::numeric_limits<int32_t>::max();
    } else if (IsLetter(c)) {
      t.type = Token::Type::Word;
      for (; i < line.size() && IsLetter(line[i]); ++i) {
        const char32_t l = line[i];
        t.word.push_back(l < 0x80 ? static_cast<char>(l >= 'A' && l <= 'Z' ? l - 'A' + 'a' : l) : '?');
      }
    } else {
      t.mark = IsDegreeSign(c) ? U'\u00B0' : IsMinuteSign(c) ? U'\'' : c == U'\u2212' ? U'-' : c;
      ++i;
    }
    tokens.push_back(std::move(t));
  }
  return tokens;
}

// Nothing is glued before tokens[i] but an opening mark: no word, no number, no colon of a time.
bool FreeOnTheLeft(const std::vector<Token>& t, std::size_t i) {
  if (t[i].spaced || i == 0) return true;
  const Token& before = t[i - 1];
  if (before.type != Token::Type::Mark || !InList(U"([{<,=:;\"\u201C\u00AB", before.mark)) return false;
  return !(before.mark == ':' && !before.spaced && i > 1 && t[i - 2].type == Token::Type::Number);
}

// ---- Sextant readings ------------------------------------------------------------------------------

const std::initializer_list<const char*> kDegreeWords = {"o", "d", "deg", "degs", "degree", "degrees"};
const std::initializer_list<const char*> kMinuteWords = {"m", "min", "mins", "minute", "minutes"};

// The hemisphere letter of a word: 'N', 'S', 'E', 'W', or 0.
char HemisphereOf(const Token& t) {
  static constexpr std::pair<char, std::string_view> kHemispheres[] = {
      {'N', "north"}, {'S', "south"}, {'E', "east"}, {'W', "west"}};
  if (t.type != Token::Type::Word) return 0;
  for (const auto& [letter, name] : kHemispheres) {
    if (t.word == name || (t.word.size() == 1 && t.word[0] == name[0])) return letter;
  }
  return 0;
}

struct AxisReading {
  int32_t degrees = 0;
  int32_t minutes = 0;
  char letter = 0;  // 0 only for 0 degrees 0 minutes written with a degree mark
  std::size_t end = 0;
};

// Degrees, minutes and letter of one axis from tokens[i]. A reading's second axis may be glued to the
// first one's letter ("37°15'N12°5'E").
std::optional<AxisReading> MatchAxis(const std::vector<Token>& t, std::size_t i, bool afterAxis) {
  const auto at = [&](std::size_t k) -> const Token* { return k < t.size() ? &t[k] : nullptr; };
  const auto isCount = [](const Token* n) { return n && n->type == Token::Type::Number && !n->hasSign; };
  const Token* degrees = at(i);
  if (!isCount(degrees)) return std::nullopt;
  if (!afterAxis && !FreeOnTheLeft(t, i)) return std::nullopt;
  std::size_t k = i + 1;
  const bool degreeMark = at(k) && (at(k)->IsMark(U'\u00B0') || at(k)->IsWordIn(kDegreeWords));
  if (degreeMark) ++k;
  const Token* minutes = at(k++);
  if (!isCount(minutes)) return std::nullopt;
  if (at(k) && (at(k)->IsMark('\'') || at(k)->IsWordIn(kMinuteWords))) ++k;
  AxisReading r{static_cast<int32_t>(std::min<int64_t>(degrees->value, 999)),
                static_cast<int32_t>(std::min<int64_t>(minutes->value, 999)), 0, k};
  if (at(k)) r.letter = HemisphereOf(*at(k));
  if (r.letter) r.end = k + 1;
  if (r.degrees > 180 || r.minutes > 59) return std::nullopt;
  if (!r.letter && !(degreeMark && r.degrees == 0 && r.minutes == 0)) return std::nullopt;
  return r;
}

bool IsLatitude(char letter) {
  return letter == 'N' || letter == 'S';
}
bool IsLongitude(char letter) {
  return letter == 'E' || letter == 'W';
}

// A reading starting at tokens[i]; end is set past it.
std::optional<TextPosition> MatchReading(const std::vector<Token>& t, std::size_t i, std::size_t& end) {
  const auto first = MatchAxis(t, i, false);
  if (!first) return std::nullopt;
  std::size_t k = first->end;
  if (k < t.size() && (t[k].IsMark(',') || t[k].IsMark(';'))) ++k;
  const auto second = MatchAxis(t, k, first->letter != 0 && k == first->end);
  if (!second) return std::nullopt;
  // The letters say which axis is which; without letters (both zero) latitude comes first.
  const bool latitudeFirst =
      IsLatitude(first->letter) || IsLongitude(second->letter) || (first->letter == 0 && second->letter == 0);
  const AxisReading& lat = latitudeFirst ? *first : *second;
  const AxisReading& lon = latitudeFirst ? *second : *first;
  if ((lat.letter && !IsLatitude(lat.letter)) || (lon.letter && !IsLongitude(lon.letter)))
    return std::nullopt;
  const auto text = [](char letter) { return letter ? std::string(1, letter) : std::string(); };
  TextPosition found;
  found.kind = TextPosition::Kind::Sextant;
  found.sextant = {lon.degrees, text(lon.letter), lon.minutes, lat.degrees, text(lat.letter), lat.minutes};
  end = second->end;
  return found;
}

// ---- .where positions ------------------------------------------------------------------------------

const std::initializer_list<const char*> kMonths = {
    "jan",   "feb",  "mar",  "apr",    "may",       "jun",     "jul",      "aug",
    "sep",   "sept", "oct",  "nov",    "dec",       "january", "february", "march",
    "april", "june", "july", "august", "september", "october", "november", "december"};

// A number that stands as a coordinate by itself: not glued to a word, and not a piece of a time,
// date, decimal, range, percentage or the like. One past 32 bits counts too, so that it lengthens its
// run of numbers (which it then spoils) instead of ending it.
bool IsCoordinate(const std::vector<Token>& t, std::size_t i) {
  const Token& n = t[i];
  if (n.type != Token::Type::Number || n.consumed) return false;
  const auto gluedNumber = [&](std::size_t k) {
    return k < t.size() && !t[k].spaced && t[k].type == Token::Type::Number;
  };
  if (!FreeOnTheLeft(t, i)) return false;
  if (i + 1 < t.size() && !t[i + 1].spaced) {
    const Token& after = t[i + 1];
    if (after.type != Token::Type::Mark) return false;
    if (InList(U".:", after.mark)) return !gluedNumber(i + 2);
    if (!InList(U")]}>,;!?\"\u201D\u00BB", after.mark)) return false;
  }
  return true;
}

struct WhereItem {
  std::size_t number = 0;
  char label = 0;  // 'x', 'y', 'z' or 0
};

// An item at tokens[k]: a coordinate, or "x=", "y:", "z =" and a coordinate.
std::optional<WhereItem> MatchItem(const std::vector<Token>& t, std::size_t k, std::size_t& end) {
  WhereItem item;
  if (k + 2 < t.size() && t[k].IsWordIn({"x", "y", "z"}) && (t[k + 1].IsMark('=') || t[k + 1].IsMark(':'))) {
    item.label = t[k].word[0];
    k += 2;
  }
  if (k >= t.size() || !IsCoordinate(t, k)) return std::nullopt;
  item.number = k;
  end = k + 1;
  return item;
}

// A comma-grouped number such as "1,500" or "1,500,000" rather than a pair.
bool LooksLikeThousands(const std::vector<Token>& t, const std::vector<WhereItem>& items) {
  const Token& first = t[items.front().number];
  if (first.hasSign || first.digits > 3 || items.front().label) return false;
  if (first.spaced == false && items.front().number > 0 &&
      (t[items.front().number - 1].IsMark('(') || t[items.front().number - 1].IsMark('['))) {
    return false;
  }
  for (std::size_t k = 1; k < items.size(); ++k) {
    const std::size_t n = items[k].number;
    if (t[n].digits != 3 || t[n].spaced || t[n].hasSign || !t[n - 1].IsMark(',') || t[n - 1].spaced)
      return false;
  }
  return true;
}

// A .where position starting at tokens[i]. end is set past the run of coordinates read, also when
// the run is no position, so that the search does not read a tail of it ("10 20 30 40") again.
std::optional<TextPosition> MatchWhere(const std::vector<Token>& t, std::size_t i, std::size_t& end) {
  std::vector<WhereItem> items;
  std::size_t k = i;
  std::size_t itemEnd = 0;
  for (auto item = MatchItem(t, k, itemEnd); item; item = MatchItem(t, k, itemEnd)) {
    items.push_back(*item);
    k = itemEnd;
    end = k;
    if (k < t.size() && t[k].IsMark(',')) ++k;
  }
  if (items.empty()) return std::nullopt;
  end = std::max(end, i + 1);
  if (items.size() < 2 || items.size() > 3) return std::nullopt;
  if (std::any_of(items.begin(), items.end(), [&](const WhereItem& item) { return !t[item.number].fits; }))
    return std::nullopt;
  const bool labelled = items[0].label != 0;
  for (std::size_t n = 0; n < items.size(); ++n) {
    if (labelled ? items[n].label != "xyz"[n] : items[n].label != 0) return std::nullopt;
  }
  if (i > 0 && t[i - 1].IsWordIn(kMonths)) return std::nullopt;
  const std::size_t last = items.back().number;
  if (last + 1 < t.size()) {
    const Token& after = t[last + 1];
    if (after.IsMark(U'\u00B0') || after.IsMark('\'') || after.IsWordIn(kDegreeWords) ||
        after.IsWordIn(kMinuteWords) || after.IsWordIn({"n", "s", "e", "w", "am", "pm"})) {
      return std::nullopt;
    }
  }
  if (LooksLikeThousands(t, items)) return std::nullopt;
  TextPosition found;
  found.where = {static_cast<int32_t>(t[items[0].number].value),
                 static_cast<int32_t>(t[items[1].number].value)};
  return found;
}

// A position found in a line's tokens: tokens[start] up to (not including) tokens[end].
struct Match {
  TextPosition position;
  std::size_t start = 0;
  std::size_t end = 0;
};

// The program's own copy line: a sextant reading in round brackets right after a .where position,
// "1500 1200 (37°15'N 12°5'E)". The brackets repeat the same point, so the .where position stands.
bool IsCopyForm(const std::vector<Token>& t, const Match& where, const Match& reading) {
  return where.end < t.size() && t[where.end].IsMark('(') && reading.start == where.end + 1 &&
         reading.end < t.size() && t[reading.end].IsMark(')');
}

// The position a line holds: the last one in it, except that a .where position followed by its
// reading in brackets stands for the pair.
std::optional<TextPosition> LinePosition(std::u32string_view line) {
  std::vector<Token> tokens = Tokenize(line);
  std::optional<Match> reading;
  for (std::size_t i = 0, end = 0; i < tokens.size(); ++i) {
    if (auto found = MatchReading(tokens, i, end)) {
      reading = Match{*found, i, end};
      for (std::size_t k = i; k < end; ++k) tokens[k].consumed = true;
      i = end - 1;
    }
  }
  // Readings are found first so that their numbers are not read as .where coordinates.
  std::optional<Match> where;
  for (std::size_t i = 0, end = 0; i < tokens.size(); i = std::max(end, i + 1)) {
    end = 0;
    if (auto found = MatchWhere(tokens, i, end)) where = Match{*found, i, end};
  }
  if (!where && !reading) return std::nullopt;
  if (!reading || (where && (where->start > reading->start || IsCopyForm(tokens, *where, *reading)))) {
    return where->position;
  }
  return reading->position;
}

}  // namespace

Point TextPosition::WorldPoint() const {
  if (kind == Kind::Where) return where;
  return SextantToWorld(sextant.LatDegrees, sextant.LatLetter, sextant.LatMinutes, sextant.LonDegrees,
                        sextant.LonLetter, sextant.LonMinutes);
}

std::optional<TextPosition> FindLastPosition(std::string_view text) {
  // Line by line from the end. Each line is decoded by itself, since a journal may hold lines written
  // in either encoding.
  std::size_t lineEnd = text.size();
  while (true) {
    const std::size_t breakAt =
        lineEnd == 0 ? std::string_view::npos : text.find_last_of("\r\n", lineEnd - 1);
    const std::size_t lineStart = breakAt == std::string_view::npos ? 0 : breakAt + 1;
    const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
    if (line.size() <= kLongestPositionLine) {
      const auto utf8 = DecodeUtf8(line);
      if (auto found = LinePosition(utf8 ? *utf8 : DecodeWindows1252(line))) return found;
    }
    if (breakAt == std::string_view::npos) return std::nullopt;
    lineEnd = breakAt;
  }
}

const char* const NoPositionMessage =
    "No position found in the text. Positions are read in these forms:\n"
    ".where:  1500 1200  |  1500 1200 0  |  1500, 1200  |  (1500,1200)  |  x=1500 y=1200\n"
    "Sextant:  37o 15'N 12o 5'E  |  37\xB0 15' N, 12\xB0 5' E  |  37 15 N 12 5 E  |  37 15N 12 5E";

std::string PositionCopyText(Point world) {
  if (!InsideWorld(world)) return WorldText(world);
  const TSextantreading r = WorldToSextant(world);
  const auto axis = [](int32_t degrees, int32_t minutes, const std::string& letter) {
    return std::to_string(degrees) + "\xC2\xB0" + std::to_string(minutes) + "'" + letter;
  };
  return WorldText(world) + " (" + axis(r.LatDegrees, r.LatMinutes, r.LatLetter) + " " +
         axis(r.LonDegrees, r.LonMinutes, r.LonLetter) + ")";
}

}  // namespace orv
