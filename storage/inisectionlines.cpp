#include "storage/inisectionlines.h"

#include <algorithm>

namespace orv {

using namespace ini;

void IniSectionLines::Add(std::string_view key, std::string_view value) {
  const std::string_view k = Trim(key);
  if (!CanBeKey(k) || HasLineBreak(value)) return;
  IndexAllKeys();
  const uint64_t hash = HashNoCase(k);
  const uint32_t found = keys_.Find(k, hash, [this](uint32_t e) { return Key(entries_[e]); });
  if (found != kNoLine && !entries_[found].removed) {
    Entry& entry = entries_[found];
    if (value.empty()) {
      entry.removed = true;
      holes_ = true;
      --live_;
      return;
    }
    const std::string_view old = Text(entry).substr(entry.keySize + 1);
    if (Trim(old) == value) return;  // as Set, which leaves a line alone when it reads the value
    // The first spelling of the key stays, with the new value.
    const std::string first(Key(entry));
    entry.offset = static_cast<uint32_t>(text_.size());
    entry.size = static_cast<uint32_t>(first.size() + 1 + value.size());
    AppendLine(first, value);
    holes_ = true;
    return;
  }
  if (value.empty()) return;
  const uint32_t index = static_cast<uint32_t>(entries_.size());
  entries_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(k.size()),
                      static_cast<uint32_t>(k.size() + 1 + value.size()), false});
  AppendLine(k, value);
  if (found != kNoLine) keys_.Erase(found, hash);
  keys_.Insert(index, hash);
  indexed_ = entries_.size();
  ++live_;
  opens_ = true;
}

std::string_view IniSectionLines::AddRecord(std::string_view key, std::string_view value) {
  const std::string_view k = Trim(key);
  if (value.empty() || !CanBeKey(k)) return {};
  entries_.push_back({static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(k.size()),
                      static_cast<uint32_t>(k.size() + 1 + value.size()), false});
  const std::size_t valueAt = AppendLine(k, value);
  // The copy is scanned while it is fresh in the cache.
  char* const stored = text_.data() + valueAt;
  if (HasLineBreak({stored, value.size()})) BlankLineBreaks(stored, stored + value.size());
  ++live_;
  opens_ = true;
  return {stored, value.size()};
}

std::size_t IniSectionLines::AppendLine(std::string_view key, std::string_view value) {
  text_.append(key).append("=").append(value).append(kEol);
  return text_.size() - kEol.size() - value.size();
}

std::string IniSectionLines::TakeText(std::string_view eol) {
  std::string out;
  if (!holes_ && eol == kEol) {
    out = std::move(text_);
  } else {
    out.reserve(text_.size());
    for (const Entry& entry : entries_)
      if (!entry.removed) out.append(Text(entry)).append(eol);
  }
  Clear();
  return out;
}

void IniSectionLines::IndexAllKeys() {
  // Also at the first Add, when there is nothing to catch up on: the index then starts at its
  // reserved size instead of growing step by step.
  keys_.Reserve(std::max(reservedKeys_, entries_.size() + 1));
  for (; indexed_ < entries_.size(); ++indexed_)
    keys_.Insert(static_cast<uint32_t>(indexed_), HashNoCase(Key(entries_[indexed_])));
}

void IniSectionLines::Reserve(std::size_t lines, std::size_t bytes) {
  entries_.reserve(lines);
  text_.reserve(bytes + lines * kEol.size());
  reservedKeys_ = lines;
}

void IniSectionLines::Clear() {
  *this = IniSectionLines();
}

}  // namespace orv
