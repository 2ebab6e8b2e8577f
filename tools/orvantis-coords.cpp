// orvantis-coords: converts points between .where world positions, zoomed map pixels and sextant
// readings, one point per line from standard input to standard output, for players who script
// around the game and for anyone calibrating a new map.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/directions.h"
#include "core/mapinfo.h"
#include "core/numbers.h"
#include "core/sextant.h"
#include "core/transform.h"

namespace {

using orv::Point;

constexpr const char* kUsage =
    R"(Usage: orvantis-coords [--map FILE.dem | --corners "ULX,ULY URX,URY LLX,LLY LRX,LRY"]
                       [--zoom N] FROM TO
       orvantis-coords directions

Converts points read from standard input, one per line, and writes one line per input line.
FROM and TO are each one of:
  where     a .where world position: "X Y" (two integers)
  pixel     a map pixel at the zoom: "X Y" (two integers)
  sextant   a sextant reading: "LATDEG LATMIN LATLETTER LONDEG LONMIN LONLETTER",
            with - for an empty letter (letters are upper-cased; N and W count,
            anything else is S or E)

The map's corners come from the "Map Dimensions" of a map info file (--map) or are given
directly (--corners, picture pixels at 100 percent of the world's upper left, upper right,
lower left and lower right corners). Without either, the corners used while no map is
loaded apply: 0,0 50,0 0,50 50,50. The zoom is in percent, 100 by default.

"orvantis-coords directions" reads lines "SX SY TX TY" (start and target .where positions)
and prints how to walk from the start to the target.

A point outside the world (0..5120, 0..4096) has no sextant reading.
A line that cannot be read, or a point that has no result, gives an empty output line and
"line N: <reason>" on standard error; the other lines are still converted. Exit status:
0 all lines converted, 1 some lines failed, 2 the options or the map could not be used, or the
input could not be read or the output not written.
)";

enum class Form { Where, Pixel, Sextant };

std::optional<Form> FormNamed(const std::string& name) {
  if (name == "where") return Form::Where;
  if (name == "pixel") return Form::Pixel;
  if (name == "sextant") return Form::Sextant;
  return std::nullopt;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// "X,Y" as a point.
std::optional<Point> PairOf(const std::string& text) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const auto x = orv::ParseInt(text.substr(0, comma));
  const auto y = orv::ParseInt(text.substr(comma + 1));
  if (!x || !y) return std::nullopt;
  return Point{*x, *y};
}

std::optional<orv::MapCorners> CornersOf(const std::string& text) {
  const auto words = Words(text);
  if (words.size() != 4) return std::nullopt;
  orv::MapCorners c;
  Point* targets[] = {&c.upperLeft, &c.upperRight, &c.lowerLeft, &c.lowerRight};
  for (std::size_t i = 0; i < 4; ++i) {
    const auto p = PairOf(words[i]);
    if (!p) return std::nullopt;
    *targets[i] = *p;
  }
  return c;
}

struct Converter {
  orv::MapCorners corners;
  int32_t zoom = 100;
  Form from = Form::Where;
  Form to = Form::Where;

  // A world point from one input line, or the reason it has none.
  std::optional<Point> ReadWorld(const std::string& line, std::string& why) const {
    const auto w = Words(line);
    if (from == Form::Sextant) {
      if (w.size() != 6)
        return why = "expected LATDEG LATMIN LATLETTER LONDEG LONMIN LONLETTER", std::nullopt;
      const auto latDeg = orv::ParseInt(w[0]), latMin = orv::ParseInt(w[1]);
      const auto lonDeg = orv::ParseInt(w[3]), lonMin = orv::ParseInt(w[4]);
      if (!latDeg || !latMin || !lonDeg || !lonMin)
        return why = "degrees and minutes must be integers", std::nullopt;
      const std::string latLetter = w[2] == "-" ? "" : Upper(w[2]);
      const std::string lonLetter = w[5] == "-" ? "" : Upper(w[5]);
      return orv::SextantToWorld(*latDeg, latLetter, *latMin, *lonDeg, lonLetter, *lonMin);
    }
    if (w.size() != 2) return why = "expected two integers X Y", std::nullopt;
    const auto x = orv::ParseInt(w[0]), y = orv::ParseInt(w[1]);
    if (!x || !y) return why = "expected two integers X Y", std::nullopt;
    if (from == Form::Where) return Point{*x, *y};
    const auto world = orv::MapPixelToWorld(corners, zoom, {*x, *y});
    if (!world) why = "no world point lies under this pixel for these corners";
    return world;
  }

  std::optional<std::string> Write(Point world, std::string& why) const {
    if (to == Form::Where) return std::to_string(world.x) + " " + std::to_string(world.y);
    if (to == Form::Pixel) {
      const auto p = orv::WorldToMapPixel(corners, zoom, world);
      if (!p) return why = "the map pixel does not fit in 32 bits", std::nullopt;
      return std::to_string(p->x) + " " + std::to_string(p->y);
    }
    // As in the coordinate panels, a point outside the world has no reading: measured past the edge it
    // would give degrees and minutes that no sextant shows.
    if (!orv::InsideWorld(world)) {
      return why = orv::WorldText(world) +
                   " lies outside the world (0..5120, 0..4096) and has no sextant reading",
             std::nullopt;
    }
    const auto r = orv::WorldToSextant(world);
    auto letter = [](const std::string& l) { return l.empty() ? std::string("-") : l; };
    return std::to_string(r.LatDegrees) + " " + std::to_string(r.LatMinutes) + " " + letter(r.LatLetter) +
           " " + std::to_string(r.LonDegrees) + " " + std::to_string(r.LonMinutes) + " " +
           letter(r.LonLetter);
  }

  std::optional<std::string> Convert(const std::string& line, std::string& why) const {
    const auto world = ReadWorld(line, why);
    if (!world) return std::nullopt;
    return Write(*world, why);
  }
};

std::optional<std::string> Directions(const std::string& line, std::mt19937& random, std::string& why) {
  const auto w = Words(line);
  std::vector<int32_t> v;
  for (const auto& word : w) {
    const auto n = orv::ParseInt(word);
    if (!n) break;
    v.push_back(*n);
  }
  if (w.size() != 4 || v.size() != 4) return why = "expected four integers SX SY TX TY", std::nullopt;
  const int pick = std::uniform_int_distribution<int>(1, 5)(random);
  return orv::DirectionsConclusion({v[0], v[1]}, {v[2], v[3]}, pick);
}

int Fail(const std::string& message) {
  std::cerr << "orvantis-coords: " << message << "\n(see orvantis-coords --help)\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  Converter conv;
  std::vector<std::string> positional;
  bool haveMap = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (a == "--map" || a == "--corners") {
      if (!hasValue) return Fail(a + " needs a value");
      if (haveMap) return Fail("give either --map or --corners, once");
      haveMap = true;
      if (a == "--map") {
        const orv::MapInfo info = orv::ReadMapInfo(args[++i], orv::MapCorners{});
        if (info.status != orv::MapInfoStatus::Ok) {
          std::cerr << info.message << "\n";
          return 2;
        }
        conv.corners = info.corners;
      } else {
        const auto c = CornersOf(args[++i]);
        if (!c) return Fail("--corners takes \"ULX,ULY URX,URY LLX,LLY LRX,LRY\" (integers)");
        if (orv::CornersAreDegenerate(*c)) return Fail("these corners do not span a map");
        conv.corners = *c;
      }
    } else if (a == "--zoom") {
      if (!hasValue) return Fail("--zoom needs a value");
      const auto z = orv::ParseInt(args[++i]);
      if (!z || *z < 1) return Fail("--zoom takes a whole number of percent from 1 up");
      conv.zoom = *z;
    } else if (!a.empty() && a[0] == '-') {
      return Fail("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }

  const bool directions = positional.size() == 1 && positional[0] == "directions";
  if (!directions) {
    if (positional.size() != 2) return Fail("give FROM and TO, each where, pixel or sextant");
    const auto from = FormNamed(positional[0]), to = FormNamed(positional[1]);
    if (!from || !to) return Fail("FROM and TO are each where, pixel or sextant");
    conv.from = *from;
    conv.to = *to;
  }

  // A folder as input reads as no lines at all, which would pass for an empty run.
  struct stat input;
  if (::fstat(STDIN_FILENO, &input) == 0 && S_ISDIR(input.st_mode)) {
    std::cerr << "orvantis-coords: cannot read the input: it is a folder\n";
    return 2;
  }
  std::mt19937 random(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  int status = 0;
  std::string line;
  for (long n = 1; std::getline(std::cin, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string why;
    const auto out = directions ? Directions(line, random, why) : conv.Convert(line, why);
    std::cout << out.value_or("") << "\n";
    if (!out) {
      std::cerr << "line " << n << ": " << why << "\n";
      status = 1;
    }
  }
  // A read or write that failed must not pass for a run that converted every line: a script would
  // take the missing lines for done.
  if (std::cin.bad()) {
    std::cerr << "orvantis-coords: cannot read the input\n";
    return 2;
  }
  if (!std::cout.flush()) {
    std::cerr << "orvantis-coords: cannot write the output\n";
    return 2;
  }
  return status;
}
