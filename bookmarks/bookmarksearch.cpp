#include "bookmarks/bookmarksearch.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "bookmarks/bookmarkstore.h"
#include "view/text.h"

namespace orv {
namespace {

// What each Windows-1252 byte folds to: at most two bytes, zero-terminated.
using Folding = std::array<char, 3>;

constexpr std::array<Folding, 256> MakeFoldTable() {
  std::array<Folding, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const bool control = b < 0x20 || b == 0x7F || b == 0xA0;
    table[b] = {control ? ' ' : static_cast<char>(b), 0, 0};
    if (b >= 'A' && b <= 'Z') table[b][0] = static_cast<char>(b - 'A' + 'a');
  }
  // Letters with accents and ligatures, upper and lower case: the first byte of each range and what
  // the range folds to.
  struct Range {
    int first, last;
    const char* to;
  };
  constexpr Range kLetters[] = {
      {0x83, 0x83, "f"},  {0x8A, 0x8A, "s"}, {0x8C, 0x8C, "oe"}, {0x8E, 0x8E, "z"}, {0x9A, 0x9A, "s"},
      {0x9C, 0x9C, "oe"}, {0x9E, 0x9E, "z"}, {0x9F, 0x9F, "y"},  {0xC0, 0xC5, "a"}, {0xC6, 0xC6, "ae"},
      {0xC7, 0xC7, "c"},  {0xC8, 0xCB, "e"}, {0xCC, 0xCF, "i"},  {0xD0, 0xD0, "d"}, {0xD1, 0xD1, "n"},
      {0xD2, 0xD6, "o"},  {0xD8, 0xD8, "o"}, {0xD9, 0xDC, "u"},  {0xDD, 0xDD, "y"}, {0xDE, 0xDE, "th"},
      {0xDF, 0xDF, "ss"}, {0xE0, 0xE5, "a"}, {0xE6, 0xE6, "ae"}, {0xE7, 0xE7, "c"}, {0xE8, 0xEB, "e"},
      {0xEC, 0xEF, "i"},  {0xF0, 0xF0, "d"}, {0xF1, 0xF1, "n"},  {0xF2, 0xF6, "o"}, {0xF8, 0xF8, "o"},
      {0xF9, 0xFC, "u"},  {0xFD, 0xFD, "y"}, {0xFE, 0xFE, "th"}, {0xFF, 0xFF, "y"},
  };
  for (const Range& r : kLetters) {
    for (int b = r.first; b <= r.last; ++b) table[b] = {r.to[0], r.to[1], 0};
  }
  return table;
}

constexpr std::array<Folding, 256> kFold = MakeFoldTable();

void AppendFolded(std::string_view bytes, std::string& out) {
  for (char ch : bytes) {
    const Folding& f = kFold[static_cast<unsigned char>(ch)];
    out += f[0];
    if (f[1]) out += f[1];
  }
}

// Windows-1252 bytes of one typed character, or of its base letter (ő -> o) when it has none.
std::optional<std::string> TypedCharBytes(QChar ch) {
  if (auto bytes = ToBytes(QString(ch))) return bytes;
  QString base;
  for (QChar part : QString(ch).normalized(QString::NormalizationForm_KD)) {
    if (!part.isMark()) base.append(part);
  }
  if (base.isEmpty() || base == QString(ch)) return std::nullopt;
  return ToBytes(base);
}

}  // namespace

std::string FoldForSearch(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendFolded(bytes, out);
  return out;
}

std::optional<std::string> FoldTypedText(const QString& typed) {
  std::string bytes;
  for (QChar ch : typed) {
    const auto b = TypedCharBytes(ch);
    if (!b) return std::nullopt;
    bytes += *b;
  }
  return FoldForSearch(bytes);
}

BookmarkSearchIndex::BookmarkSearchIndex(const std::vector<SearchableBookmark>& bookmarks) {
  const std::size_t n = bookmarks.size();
  starts_.reserve(n + 1);
  points_.reserve(n);
  for (const auto& b : bookmarks) {
    starts_.push_back(folded_.size());
    points_.push_back(b.world);
    folded_ += '\0';
    AppendFolded(b.name, folded_);
    for (const auto& line : CommaTextToNotes(b.notes)) {
      folded_ += '\0';
      AppendFolded(line, folded_);
    }
  }
  starts_.push_back(folded_.size());

  // The same order the bookmark lists are sorted in; equal names keep their list order. Names are
  // compared directly rather than through sort keys: in the C locale Qt's sort keys do not ignore
  // case, and the lists are sorted by direct comparison.
  QCollator collator{QLocale()};
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::vector<QString> names;
  names.reserve(n);
  for (const auto& b : bookmarks) names.push_back(FromBytes(b.name));
  auto less = [&](std::uint32_t a, std::uint32_t b) { return collator.compare(names[a], names[b]) < 0; };
  inNameOrder_.resize(n);
  std::iota(inNameOrder_.begin(), inNameOrder_.end(), 0u);

  // A natural merge sort: the bookmark lists stand in name order already, so one list, or the
  // current map's and the global list one after the other, cost a single pass of comparisons.
  std::vector<std::size_t> bounds = {0};  // where each run of names in order starts, then the end
  for (std::uint32_t i = 1; i < n; ++i) {
    if (less(i, i - 1)) bounds.push_back(i);
  }
  bounds.push_back(n);
  while (bounds.size() > 2) {
    const std::size_t runs = bounds.size() - 1;
    std::vector<std::size_t> merged = {0};
    for (std::size_t r = 0; r < runs; r += 2) {
      // Stable: of equal names, those of the earlier run stay first.
      if (r + 1 < runs) {
        std::inplace_merge(inNameOrder_.begin() + bounds[r], inNameOrder_.begin() + bounds[r + 1],
                           inNameOrder_.begin() + bounds[r + 2], less);
      }
      merged.push_back(bounds[std::min(r + 2, runs)]);
    }
    bounds = std::move(merged);
  }
}

std::vector<std::size_t> BookmarkSearchIndex::Find(const QString& typed, SearchOrder order,
                                                   Point crossWorld) const {
  const auto needle = FoldTypedText(typed);
  if (!needle) return {};
  const std::size_t n = points_.size();

  // One pass over all folded text: after a hit, the search goes on at the next bookmark's texts.
  std::vector<bool> hit(n, needle->empty());
  if (!needle->empty()) {
    const char* base = folded_.data();
    std::size_t from = 0;
    while (from < folded_.size()) {
      const void* at = memmem(base + from, folded_.size() - from, needle->data(), needle->size());
      if (!at) break;
      const std::size_t offset = static_cast<const char*>(at) - base;
      const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
      hit[next - starts_.begin() - 1] = true;
      from = *next;
    }
  }

  std::vector<std::size_t> found;
  for (std::uint32_t i : inNameOrder_) {
    if (hit[i]) found.push_back(i);
  }
  if (order == SearchOrder::ByDistance) {
    // found is in name order: sorting (squared distance, position in found) pairs puts the nearest
    // first and equal distances in name order. Hand-edited records may hold any 32-bit coordinates,
    // whose squared distances overflow 64 bits: 128-bit keys hold them all exactly.
    std::vector<std::pair<unsigned __int128, std::uint32_t>> keyed(found.size());
    for (std::size_t k = 0; k < found.size(); ++k) {
      const __int128 dx = __int128{points_[found[k]].x} - crossWorld.x;
      const __int128 dy = __int128{points_[found[k]].y} - crossWorld.y;
      keyed[k] = {static_cast<unsigned __int128>(dx * dx + dy * dy), static_cast<std::uint32_t>(k)};
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::size_t> nearest(found.size());
    for (std::size_t k = 0; k < keyed.size(); ++k) nearest[k] = found[keyed[k].second];
    return nearest;
  }
  return found;
}

}  // namespace orv
