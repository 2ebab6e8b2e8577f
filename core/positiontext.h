#pragma once
// Positions found in free text: a game journal line, a chat line, a clipboard. And the one-line text
// that Orvantis puts on the clipboard for a world point.
//
// The text is bytes, UTF-8 or Windows-1252: text that is valid UTF-8 is read as UTF-8, anything else
// as Windows-1252 (so the degree sign may be C2 B0 or B0, the right quote E2 80 99 or 92). Each line
// is read separately; the text's last line holding a position decides.
//
// A .where position is two or three integers (horizontal, vertical, and a height that is read over):
//   "Your location is 1500 1200 0", "1500 1200 -5", "1500, 1200", "(1500,1200)", "[1500 1200 0]",
//   "x=1500 y=1200", "X: 1500, Y: 1200, Z: 0".
// The integers are separated by blanks or a comma; labels, when given, are x, y and z in that order,
// each followed by "=" or ":". A sign is read when it stands before the digits at the start of a word
// ("1500 1200 -5"), so "3-5" is no negative number.
//
// A sextant reading is latitude and longitude, each as degrees, minutes and a letter:
//   "37o 15'N 12o 5'E", "37° 15' N, 12° 5' E", "37 15 N 12 5 E", "37 15N 12 5E",
//   "37degrees 15minutes N   12degrees 5minutes E" (the program's own reading text),
//   "37d 15m n 12d 5m e"; letters N S E W in either case, or the words north, south, east, west.
// Degree marks: °, º, o, d, deg, degree(s); minute marks: ' ’ ′ ´, m, min, minute(s). The longitude
// may come first when the letters say so. Degrees run 0..180 and minutes 0..59; the letter may be left
// out only for 0 degrees 0 minutes written with a degree mark (the program's text for the zero line).
//
// What is not a position:
//   - a lone number, or four and more numbers in a row ("top 10 20 30 40");
//   - a number glued to a word or another symbol: "abc123", "Bob42", "1024x768", "50%", "#12";
//   - times, dates, decimals and ranges: numbers joined by ":", "/", "." or "-" ("12:30", "07/12/2026",
//     "2026-12-07", "1.5 2.5", "3-5"), and a pair right after a month name ("Dec 7 2026") or before am/pm;
//   - numbers with words between them ("level 3 of 5");
//   - comma-grouped thousands without blanks ("1,500" or "1,500,000"), unless in brackets ("(150,120)");
//   - numbers followed by a sextant mark or a hemisphere letter that make no whole reading ("37 15 N");
//   - numbers outside the signed 32-bit range, and sextant degrees or minutes outside their ranges;
//   - anything in a line longer than kLongestPositionLine bytes: no journal or chat line is that long,
//     and reading one (a whole file copied to the clipboard as one line) would only cost time and
//     memory.
//
// Within one line the last position wins ("was at 1500 1200, now at 37o 15'N 12o 5'E" gives the
// reading). The one exception is the copy text below: a .where position followed directly by a sextant
// reading in round brackets gives the .where position, so that the copy line reads back as exactly
// its world point (the reading is rounded to whole minutes).
#include <optional>
#include <string>
#include <string_view>

#include "core/geometry.h"
#include "core/sextant.h"

namespace orv {

struct TextPosition {
  enum class Kind { Where, Sextant };
  Kind kind = Kind::Where;
  Point where;              // Kind::Where: the world point as written (it may lie outside the world)
  TSextantreading sextant;  // Kind::Sextant: the reading, letters "N", "S", "E", "W" or empty
  // The world point of either kind (a reading through SextantToWorld).
  Point WorldPoint() const;
};

inline constexpr std::size_t kLongestPositionLine = 64 * 1024;

// The last position in text, or nothing when the text holds none.
std::optional<TextPosition> FindLastPosition(std::string_view text);

// The message for text holding no position: the forms that are accepted, as Windows-1252 bytes.
extern const char* const NoPositionMessage;

// One UTF-8 line for the clipboard holding a world point in both forms: "1500 1200 (37°15'N 12°5'E)".
// A point outside the world has no reading, and its line holds only "X Y".
std::string PositionCopyText(Point world);

}  // namespace orv
