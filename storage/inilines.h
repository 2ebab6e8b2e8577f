#pragma once
// The pieces a settings-format document is built from: lines that point into the file's text and how
// each is read, the store for text written later, and the index from key to line. Used by
// IniDocument and IniSectionLines; its letter-case helpers also by readers that match keys themselves.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orv::ini {

inline constexpr uint32_t kNoLine = UINT32_MAX;

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A value as read: trimmed, and without the carriage returns that a line of a file whose line endings
// were converted twice ("\r\r\n") has left before its ending, which no value the program writes holds.
inline std::string_view TrimValue(std::string_view s) {
  s = Trim(s);
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

inline char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Eight bytes of text read as one number (the missing ones of a shorter piece are zero).
inline uint64_t Word(const char* p, std::size_t n) {
  uint64_t w = 0;
  if (n >= 8) {
    std::memcpy(&w, p, 8);
    return w;
  }
  // A shorter piece (keys mostly are) is joined from two loads that may overlap: a copy of variable
  // length would be a library call, and reading its bytes back as one number a stall.
  if (n >= 4) {
    uint32_t first = 0, last = 0;
    std::memcpy(&first, p, 4);
    std::memcpy(&last, p + n - 4, 4);
    return first | (uint64_t{last} << (8 * (n - 4)));
  }
  if (n == 0) return 0;
  const auto byte = [p](std::size_t i) { return uint64_t{static_cast<unsigned char>(p[i])} << (8 * i); };
  return byte(0) | byte(n / 2) | byte(n - 1);
}

// The word with its letters A-Z made lower case, as Lower does byte by byte: a byte is upper case
// when its low seven bits lie from 'A' to 'Z' and its high bit is clear.
inline uint64_t LowerWord(uint64_t w) {
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  const uint64_t low7 = w & ~kHigh;
  const uint64_t fromA = low7 + 0x3F3F3F3F3F3F3F3Full;  // high bit set where the byte >= 'A'
  const uint64_t pastZ = low7 + 0x2525252525252525ull;  // high bit set where the byte > 'Z'
  const uint64_t upper = fromA & ~pastZ & ~w & kHigh;
  return w | (upper >> 2);  // 0x80 >> 2 is the 0x20 between upper and lower case
}

// Whether a and b are equal once A-Z are made lower case, compared eight bytes at a time.
inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); i += 8) {
    if (LowerWord(Word(a.data() + i, a.size() - i)) != LowerWord(Word(b.data() + i, b.size() - i)))
      return false;
  }
  return true;
}

// A hash of s that ignores the case of A-Z, taken eight bytes at a time.
inline uint64_t HashNoCase(std::string_view s) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
  for (std::size_t i = 0; i < s.size(); i += 8) {
    h = (h ^ LowerWord(Word(s.data() + i, s.size() - i))) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  // Finished as MurmurHash3 finishes, so that every byte reaches the upper half, from which the
  // index takes its slots.
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdull;
  return h ^ (h >> 33);
}

// Turns the line feeds and carriage returns of [begin, end) into blanks, so that the text fits in one
// value.
inline void BlankLineBreaks(char* begin, char* end) {
  for (char* c = begin; c != end; ++c)
    if (*c == '\r' || *c == '\n') *c = ' ';
}

// Whether s holds a line feed or a carriage return, tested sixteen bytes at a time where the processor
// can (every value of a save is tested), else eight.
inline bool HasLineBreak(std::string_view s) {
#if defined(__SSE2__)
  if (s.size() >= 16) {
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const auto breakIn16 = [&](const char* at) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      return _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr))) != 0;
    };
    for (std::size_t i = 0; i + 16 < s.size(); i += 16)
      if (breakIn16(s.data() + i)) return true;
    return breakIn16(s.data() + s.size() - 16);  // the last sixteen, overlapping bytes already tested
  }
#endif
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  const auto hasZeroByte = [](uint64_t v) { return ((v - kOnes) & ~v & kHigh) != 0; };
  for (std::size_t i = 0; i < s.size(); i += 8) {
    const uint64_t w = Word(s.data() + i, s.size() - i);
    if (hasZeroByte(w ^ (kOnes * '\n')) || hasZeroByte(w ^ (kOnes * '\r'))) return true;
  }
  return false;
}

// Whether a trimmed key can stand in a line and be read back as written: not empty, no line break
// or '=', and not starting as a section header or a comment does.
inline bool CanBeKey(std::string_view k) {
  if (k.empty() || k.front() == '[' || k.front() == ';' || k.front() == '#') return false;
  // Keys are short: one pass over their bytes costs less than a search for each kind of byte.
  return std::none_of(k.begin(), k.end(), [](char c) { return c == '=' || c == '\n' || c == '\r'; });
}

inline std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

enum class Eol : uint8_t { None, Lf, CrLf };
// A Block is a run of whole lines kept as one piece of text until something reads them one by one:
// the endings of all but its last line stand inside the text, and eol is the last one's. A file's
// lines between section headers are read as blocks, and a replaced section's new lines go in as one,
// so a save, which replaces its long lists whole, never splits them into lines.
enum class Kind : uint8_t { Other, Header, Key, Block };

inline std::string_view EolText(Eol eol) {
  switch (eol) {
    case Eol::Lf:
      return "\n";
    case Eol::CrLf:
      return "\r\n";
    case Eol::None:
      break;
  }
  return {};
}

struct Line {
  const char* data = nullptr;  // the text without its line ending
  uint32_t size = 0;
  uint32_t prev = kNoLine;
  uint32_t next = kNoLine;
  uint32_t nameBegin = 0;  // key or section name within the text
  uint32_t nameEnd = 0;
  uint32_t equals = 0;  // key lines: position of the first "="
  Kind kind = Kind::Other;
  Eol eol = Eol::None;
  mutable bool repeated = false;  // key lines: the same key occurs again later in its section
  mutable bool indexed = false;   // key lines: the line the section's index holds for its key

  std::string_view Text() const { return {data, size}; }
  std::string_view Name() const { return {data + nameBegin, nameEnd - nameBegin}; }
  std::string_view Value() const { return TrimValue({data + equals + 1, size - equals - 1}); }
  // The text of the last of the lines this line stands for (a block's last line; else the text).
  std::string_view LastLineText() const {
    const std::string_view text = Text();
    if (kind != Kind::Block) return text;
    const std::size_t nl = text.rfind('\n');
    return nl == std::string_view::npos ? text : text.substr(nl + 1);
  }
};

// The ending of the line that ends at end (just after its "\n", or at the end of a text without
// one), never reaching before begin.
inline Eol EndingBefore(const char* begin, const char* end) {
  if (end == begin || end[-1] != '\n') return Eol::None;
  return end - begin >= 2 && end[-2] == '\r' ? Eol::CrLf : Eol::Lf;
}

// Calls visit with each line of a block, unclassified: its text and its ending.
template <typename Visit>
void ForEachLineOf(const Line& block, Visit visit) {
  const char* p = block.data;
  const char* const end = p + block.size;
  for (;;) {
    Line line;
    line.data = p;
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (!nl) {
      line.size = static_cast<uint32_t>(end - p);
      line.eol = block.eol;
      visit(line);
      return;
    }
    line.eol = EndingBefore(p, nl + 1);
    line.size = static_cast<uint32_t>(nl - p - (line.eol == Eol::CrLf ? 1 : 0));
    visit(line);
    p = nl + 1;
  }
}

// Sets kind and name of a freshly read line (nameBegin may already skip a byte order mark):
// - "[Name]" (blanks allowed before "[" and around Name; anything after "]" is ignored) opens the
//   section Name. A line starting with "[" that has no "]" is an ordinary line.
// - A line with "=" whose text before the first "=" is not empty after trimming blanks is a key line
//   (inside a section): the key is that trimmed text, the value the text after the first "=" with
//   its leading and trailing blanks trimmed (no quotes removed), so a hand-edited "Name = Verdana"
//   reads "Verdana".
// - Lines starting with ";" or "#" are comments.
inline void Classify(Line& line) {
  const std::string_view text = line.Text();
  const auto setName = [&line](std::string_view upTo, std::size_t begin) {
    std::size_t end = upTo.size();
    while (begin < end && IsBlank(upTo[begin])) ++begin;
    while (end > begin && IsBlank(upTo[end - 1])) --end;
    line.nameBegin = static_cast<uint32_t>(begin);
    line.nameEnd = static_cast<uint32_t>(end);
  };
  std::size_t begin = line.nameBegin;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  if (begin == text.size() || text[begin] == ';' || text[begin] == '#') return;
  if (text[begin] == '[') {
    const std::size_t close = text.find(']', begin + 1);
    if (close == std::string_view::npos) return;
    setName(text.substr(0, close), begin + 1);
    line.kind = Kind::Header;
    return;
  }
  const std::size_t equals = text.find('=', begin);
  if (equals == std::string_view::npos) return;
  setName(text.substr(0, equals), begin);
  if (line.nameBegin == line.nameEnd) return;
  line.equals = static_cast<uint32_t>(equals);
  line.kind = Kind::Key;
}

// Holds the text of lines created after parsing. Chunks never move, so lines may point into them.
class TextArena {
 public:
  // Keeps text made elsewhere as it is: lines may point into the returned bytes.
  const char* Adopt(std::string text) {
    adopted_.push_back(std::make_unique<const std::string>(std::move(text)));
    return adopted_.back()->data();
  }

  const char* Store(std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    const std::size_t need = a.size() + b.size() + c.size();
    if (need > left_) {
      const std::size_t size = std::max<std::size_t>(need, 64 * 1024);
      chunks_.emplace_back(new char[size]);  // not zeroed: every byte handed out is written first
      next_ = chunks_.back().get();
      left_ = size;
    }
    char* out = next_;
    std::copy(c.begin(), c.end(), std::copy(b.begin(), b.end(), std::copy(a.begin(), a.end(), out)));
    next_ += need;
    left_ -= need;
    return out;
  }

 private:
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<std::unique_ptr<const std::string>> adopted_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// Open-addressing index from key (without regard to case) to the line that holds it. The key text
// is not copied: it is compared against the line itself (nameOf gives the key of an indexed line).
class KeyIndex {
 public:
  template <typename NameOf>
  uint32_t Find(std::string_view key, uint64_t hash, NameOf nameOf) const {
    if (slots_.empty()) return kNoLine;
    const uint32_t tag = Tag(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.line == kEmpty) return kNoLine;
      if (slot.tag == tag && slot.line != kErased && EqualNoCase(nameOf(slot.line), key)) return slot.line;
    }
  }
  template <typename Lines>  // indexable by line number
  uint32_t Find(const Lines& lines, std::string_view key, uint64_t hash) const {
    return Find(key, hash, [&](uint32_t line) { return lines[line].Name(); });
  }

  void Reserve(std::size_t keys) {
    if (keys * 2 > slots_.size()) Resize(std::bit_ceil(std::max<std::size_t>(16, keys * 2 + 1)));
  }

  void Insert(uint32_t line, uint64_t hash) {
    if ((used_ + 1) * 2 > slots_.size()) Resize(std::max<std::size_t>(16, slots_.size() * 2));
    Place(line, Tag(hash));
    ++count_;
  }

  void Erase(uint32_t line, uint64_t hash) {
    if (slots_.empty()) return;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = Tag(hash) & mask; slots_[i].line != kEmpty; i = (i + 1) & mask) {
      if (slots_[i].line == line) {
        slots_[i].line = kErased;
        --count_;
        return;
      }
    }
  }

  std::size_t size() const { return count_; }

 private:
  static constexpr uint32_t kEmpty = UINT32_MAX;
  static constexpr uint32_t kErased = UINT32_MAX - 1;
  // The tag is the hash's upper half; its low bits also choose the first slot to look at.
  struct Slot {
    uint32_t line = kEmpty;
    uint32_t tag = 0;
  };
  static uint32_t Tag(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

  void Place(uint32_t line, uint32_t tag) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = tag & mask;
    while (slots_[i].line != kEmpty && slots_[i].line != kErased) i = (i + 1) & mask;
    if (slots_[i].line == kEmpty) ++used_;
    slots_[i] = {line, tag};
  }

  void Resize(std::size_t size) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(size, Slot{});
    used_ = 0;
    for (const Slot& slot : old)
      if (slot.line != kEmpty && slot.line != kErased) Place(slot.line, slot.tag);
  }

  std::vector<Slot> slots_;
  std::size_t used_ = 0;   // slots not empty, erased ones included
  std::size_t count_ = 0;  // keys held
};

struct Section {
  std::vector<uint32_t> headers;  // every "[Name]" line of this section, in file order
  uint32_t tail = kNoLine;        // new keys go after this line: the first part's last key, or its header
  // Made at the first lookup in the section, so that a file read only to be written back again
  // (most sections of a save are replaced whole) is never hashed key by key.
  mutable KeyIndex keys;
  mutable bool indexed = true;
  bool split = true;         // no part holds a block: every line stands on its own
  std::size_t keyLines = 0;  // key lines the section had when it was split, to size the index
};

}  // namespace orv::ini
