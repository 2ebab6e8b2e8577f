// A settings-format file as an ordered list of lines with indexes for its sections and keys.
//
// How a line is read is told beside Classify (storage/inilines.h). Then:
// - Lines before the first section, comments, blank lines and any other text are never matched;
//   they are kept as they are, in their order.
// - Sections and keys match without regard to ASCII letter case; other bytes must be equal.
// - A repeated section counts as one section: a key is looked up through all of its parts in file
//   order and the first occurrence wins for reading and for replacing; new keys go after the last
//   key of its first part. Removing a key removes every occurrence of it; removing a section removes
//   every part of it, with all the lines up to the next section.
// - Each line keeps its own line ending (LF or CRLF); new lines take the ending of the file's first
//   line, and a new file gets CRLF.
//
// Lookups go through per-section hash indexes from key to line, made at a section's first lookup,
// and lines form a linked list in one vector, so inserting or removing a key costs constant time and
// loading or saving N keys is linear in the file's size. Parsed lines point into the bytes read, which
// the document owns; a save compares with them to tell whether anything changed.
#include "storage/inidocument.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "storage/inilines.h"

namespace orv {

using namespace ini;

class IniDocument::Impl {
 public:
  void Parse(std::string bytes) {
    *this = Impl();
    text_ = std::make_shared<const std::string>(std::move(bytes));
    baseline_ = text_;
    const char* p = text_->data();
    const char* end = p + text_->size();
    // Room for about twice the file's lines, so that replacing its longest sections (a save writes
    // its lists whole) adds their new lines without moving every line.
    lines_.reserve(text_->size() / 24 + 16);
    Section* current = nullptr;  // the section of the part being read
    bool firstPart = false;
    while (p < end) {
      const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
      Line line;
      line.data = p;
      if (nl) {
        const bool cr = nl > p && nl[-1] == '\r';
        line.size = static_cast<uint32_t>(nl - p - (cr ? 1 : 0));
        line.eol = cr ? Eol::CrLf : Eol::Lf;
        p = nl + 1;
      } else {
        line.size = static_cast<uint32_t>(end - p);
        p = end;
      }
      if (lines_.empty()) {
        newEol_ = line.eol == Eol::None ? Eol::CrLf : line.eol;
        SkipByteOrderMark(line);
      }
      Classify(line);
      if (line.kind == Kind::Key && !current) line.kind = Kind::Other;  // before any section
      const uint32_t index = Append(line);
      if (line.kind == Kind::Header) {
        auto [it, fresh] = sections_.try_emplace(LowerCopy(line.Name()));
        current = &it->second;
        current->headers.push_back(index);
        if (fresh) {
          current->tail = index;
          current->indexed = false;
        }
        firstPart = fresh;
      } else if (line.kind == Kind::Key) {
        ++current->keyLines;
        if (firstPart) current->tail = index;
      }
    }
  }

  void Serialize(std::string& out) const {
    std::size_t size = 0;
    for (uint32_t i = head_; i != kNoLine; i = lines_[i].next)
      size += lines_[i].size + EolText(lines_[i].eol).size();
    out.clear();
    out.reserve(size);
    for (uint32_t i = head_; i != kNoLine; i = lines_[i].next) {
      out.append(lines_[i].Text());
      out.append(EolText(lines_[i].eol));
    }
  }

  // The line holding key in section, or null.
  const Line* Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    Index(*s);
    // Lists are read key after key in file order: the key line after the one found last is tried
    // first, without hashing.
    if (lastFoundSection_ == s) {
      uint32_t i = lines_[lastFound_].next;
      while (i != kNoLine && lines_[i].kind == Kind::Other) i = lines_[i].next;
      if (i != kNoLine && lines_[i].kind == Kind::Key && lines_[i].indexed &&
          EqualNoCase(lines_[i].Name(), key)) {
        lastFound_ = i;
        return &lines_[i];
      }
    }
    const uint32_t line = s->keys.Find(lines_, key, HashNoCase(key));
    if (line == kNoLine) return nullptr;
    lastFoundSection_ = s;
    lastFound_ = line;
    return &lines_[line];
  }

  template <typename Visit>
  void ForEachKey(std::string_view section, Visit visit) const {
    if (const Section* s = FindSection(section))
      ForEachKeyLine(*s, [&](uint32_t i) { visit(lines_[i].Name(), lines_[i].Value()); });
  }

  // Applies one write; true when the document changed. section and key are trimmed and valid.
  bool Write(std::string_view section, std::string_view key, std::string_view value) {
    lastFoundSection_ = nullptr;
    if (key.empty()) return RemoveSection(section);
    Section* s = FindSection(section);
    if (s) Index(*s);
    const uint64_t hash = HashNoCase(key);
    const uint32_t found = s ? s->keys.Find(lines_, key, hash) : kNoLine;
    if (value.empty()) {
      if (found == kNoLine) return false;
      RemoveKey(*s, found, key, hash);
      edited_ = true;
      return true;
    }
    if (found != kNoLine) {
      Line& line = lines_[found];
      if (line.Value() == value) return false;
      const std::string_view prefix = line.Text().substr(0, line.equals + 1);
      const uint32_t size = static_cast<uint32_t>(prefix.size() + value.size());
      line.data = arena_.Store(prefix, value);
      line.size = size;
      edited_ = true;
      return true;
    }
    if (!s) s = AddSection(section);
    Line line = NewLine();
    line.data = arena_.Store(key, "=", value);
    line.size = static_cast<uint32_t>(key.size() + 1 + value.size());
    line.nameEnd = static_cast<uint32_t>(key.size());
    line.equals = line.nameEnd;
    line.kind = Kind::Key;
    const uint32_t index = InsertAfter(s->tail, line);
    s->tail = index;
    s->keys.Insert(index, hash);
    lines_[index].indexed = true;
    edited_ = true;
    return true;
  }

  bool ReplaceSection(std::string_view name, IniSectionLines lines) {
    if (HoldsExactly(name, lines)) return false;
    const bool removed = RemoveSection(name);
    if (!lines.opens_) return removed;
    Section* s = AddSection(name);
    const char* text = arena_.Adopt(std::move(lines.text_));
    if (lines_.capacity() < lines_.size() + lines.live_)
      lines_.reserve(std::max(2 * lines_.capacity(), lines_.size() + lines.live_));
    for (const IniSectionLines::Entry& entry : lines.entries_) {
      if (entry.removed) continue;
      Line line = NewLine();
      line.data = text + entry.offset;
      line.size = entry.size;
      line.nameEnd = entry.keySize;
      line.equals = entry.keySize;
      line.kind = Kind::Key;
      s->tail = Append(line);
    }
    s->keyLines = lines.live_;
    s->indexed = false;
    return true;
  }

  bool SerializeChanges(std::string& out) const {
    if (!edited_) return false;
    Serialize(out);
    return out != *baseline_;
  }

  // A copy: the other document's lines, parsed from its bytes, compared with what it was read from.
  void CopyFrom(const Impl& other) {
    std::string bytes;
    other.Serialize(bytes);
    Parse(std::move(bytes));
    baseline_ = other.baseline_;
    edited_ = other.edited_;
  }

 private:
  static void SkipByteOrderMark(Line& line) {
    if (line.Text().starts_with("\xEF\xBB\xBF")) line.nameBegin = 3;
  }

  // Writes and reads come in runs on one section, so the last section found is remembered by the
  // name it was asked for.
  const Section* FindSection(std::string_view name) const {
    if (lastSection_ && name == lastSectionName_) return lastSection_;
    LowerInto(name);
    auto it = sections_.find(lookup_);
    if (it == sections_.end()) return nullptr;
    lastSection_ = &it->second;
    lastSectionName_.assign(name);
    return lastSection_;
  }
  Section* FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const Impl*>(this)->FindSection(name));
  }
  void LowerInto(std::string_view name) const {
    lookup_.assign(name);
    for (char& c : lookup_) c = Lower(c);
  }

  // Calls visit with the index of each key line of the section, through all its parts in file
  // order. visit may unlink the line it is given.
  template <typename Visit>
  void ForEachKeyLine(const Section& s, Visit visit) const {
    for (uint32_t header : s.headers) {
      for (uint32_t i = lines_[header].next; i != kNoLine && lines_[i].kind != Kind::Header;) {
        const uint32_t next = lines_[i].next;
        if (lines_[i].kind == Kind::Key) visit(i);
        i = next;
      }
    }
  }

  // Builds the section's key index from its lines, in file order: the first occurrence of a key is
  // the one found, and it is marked when the key occurs again.
  void Index(const Section& s) const {
    if (s.indexed) return;
    s.indexed = true;
    s.keys.Reserve(s.keyLines);
    ForEachKeyLine(s, [&](uint32_t i) {
      const uint64_t hash = HashNoCase(lines_[i].Name());
      const uint32_t first = s.keys.Find(lines_, lines_[i].Name(), hash);
      if (first == kNoLine) {
        s.keys.Insert(i, hash);
        lines_[i].indexed = true;
      } else {
        lines_[first].repeated = true;
      }
    });
  }

  // Whether replacing the section with lines would give back the same bytes: the section stands
  // in one part at the end of the document, after a blank line or at its start, its header reads
  // exactly "[name]", and its lines are exactly these lines, each ending like a new line.
  bool HoldsExactly(std::string_view name, const IniSectionLines& lines) const {
    LowerInto(name);
    const auto it = sections_.find(lookup_);
    if (it == sections_.end()) return !lines.opens_;
    if (!lines.opens_ || it->second.headers.size() != 1) return false;
    const Line& header = lines_[it->second.headers.front()];
    if (header.prev != kNoLine && !Trim(lines_[header.prev].Text()).empty()) return false;
    const std::string_view text = header.Text();
    if (header.eol != newEol_ || text.size() != name.size() + 2 || text.front() != '[' ||
        text.back() != ']' || text.substr(1, name.size()) != name) {
      return false;
    }
    uint32_t i = header.next;
    for (const IniSectionLines::Entry& entry : lines.entries_) {
      if (entry.removed) continue;
      if (i == kNoLine || lines_[i].eol != newEol_ || lines_[i].Text() != lines.Text(entry)) return false;
      i = lines_[i].next;
    }
    return i == kNoLine;
  }

  uint32_t Append(const Line& line) {
    const uint32_t index = static_cast<uint32_t>(lines_.size());
    lines_.push_back(line);
    Line& added = lines_.back();
    added.prev = last_;
    added.next = kNoLine;
    if (last_ != kNoLine) {
      // The file's last line gets an ending when a line follows it. A line that ends in a CR byte
      // is given CRLF: its CR and an LF alone would read back as one CRLF, losing the CR.
      Line& before = lines_[last_];
      if (before.eol == Eol::None) before.eol = before.Text().ends_with('\r') ? Eol::CrLf : newEol_;
      before.next = index;
    } else {
      head_ = index;
    }
    last_ = index;
    return index;
  }

  // A line made by a write: it ends like the file's first line.
  Line NewLine() const {
    Line line;
    line.eol = newEol_;
    return line;
  }

  uint32_t InsertAfter(uint32_t after, Line line) {
    if (after == last_) return Append(line);
    const uint32_t index = static_cast<uint32_t>(lines_.size());
    line.prev = after;
    line.next = lines_[after].next;
    lines_.push_back(line);
    lines_[line.next].prev = index;
    lines_[after].next = index;
    return index;
  }

  // Takes the run of lines from first to last out of the list.
  void Unlink(uint32_t first, uint32_t last) {
    const uint32_t prev = lines_[first].prev;
    const uint32_t next = lines_[last].next;
    if (prev != kNoLine)
      lines_[prev].next = next;
    else
      head_ = next;
    if (next != kNoLine)
      lines_[next].prev = prev;
    else
      last_ = prev;
  }
  void Unlink(uint32_t index) { Unlink(index, index); }

  Section* AddSection(std::string_view name) {
    if (last_ != kNoLine && !Trim(lines_[last_].Text()).empty()) Append(NewLine());
    Line header = NewLine();
    header.data = arena_.Store("[", name, "]");
    header.size = static_cast<uint32_t>(name.size() + 2);
    header.nameBegin = 1;
    header.nameEnd = header.size - 1;
    header.kind = Kind::Header;
    const uint32_t index = Append(header);
    Section& s = sections_[LowerCopy(name)];
    s.headers.push_back(index);
    edited_ = true;
    s.tail = index;
    return &s;
  }

  bool RemoveSection(std::string_view name) {
    lastFoundSection_ = nullptr;
    LowerInto(name);
    auto it = sections_.find(lookup_);
    if (it == sections_.end()) return false;
    for (uint32_t header : it->second.headers) {
      uint32_t last = header;
      while (lines_[last].next != kNoLine && lines_[lines_[last].next].kind != Kind::Header)
        last = lines_[last].next;
      Unlink(header, last);
    }
    if (lastSection_ == &it->second) lastSection_ = nullptr;
    sections_.erase(it);
    edited_ = true;
    return true;
  }

  void RemoveKey(Section& s, uint32_t first, std::string_view key, uint64_t hash) {
    s.keys.Erase(first, hash);
    const bool repeated = lines_[first].repeated;
    RemoveKeyLine(s, first);
    if (!repeated) return;
    const std::string wanted(key);
    ForEachKeyLine(s, [&](uint32_t i) {
      if (EqualNoCase(lines_[i].Name(), wanted)) RemoveKeyLine(s, i);
    });
  }

  void RemoveKeyLine(Section& s, uint32_t index) {
    Unlink(index);
    if (s.tail != index) return;
    uint32_t i = lines_[index].prev;
    while (lines_[i].kind == Kind::Other) i = lines_[i].prev;
    s.tail = i;
  }

  // The text parsed lines point into, and the bytes the document was read from (the same text,
  // except in a copy, which compares with its original's).
  std::shared_ptr<const std::string> text_ = std::make_shared<const std::string>();
  std::shared_ptr<const std::string> baseline_ = text_;
  bool edited_ = false;  // a write has changed the document since it was read
  TextArena arena_;      // text of lines written since
  std::vector<Line> lines_;
  uint32_t head_ = kNoLine;
  uint32_t last_ = kNoLine;
  std::unordered_map<std::string, Section> sections_;  // by lower-case name
  Eol newEol_ = Eol::CrLf;
  mutable std::string lookup_;
  mutable const Section* lastSection_ = nullptr;
  mutable std::string lastSectionName_;
  mutable const Section* lastFoundSection_ = nullptr;  // the section and key line Find found last
  mutable uint32_t lastFound_ = kNoLine;
};

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {}

IniDocument::IniDocument(std::string bytes) : IniDocument() {
  impl_->Parse(std::move(bytes));
}

IniDocument::IniDocument(const IniDocument& other) : IniDocument() {
  impl_->CopyFrom(*other.impl_);
}

IniDocument& IniDocument::operator=(const IniDocument& other) {
  if (this != &other) *this = IniDocument(other);
  return *this;
}

IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;
IniDocument::~IniDocument() = default;

std::string IniDocument::Serialize() const {
  std::string out;
  SerializeTo(out);
  return out;
}

void IniDocument::SerializeTo(std::string& out) const {
  impl_->Serialize(out);
}

std::optional<std::string_view> IniDocument::Find(std::string_view section, std::string_view key) const {
  const std::string_view s = Trim(section);
  const std::string_view k = Trim(key);
  if (s.empty() || k.empty()) return std::nullopt;
  const Line* line = impl_->Find(s, k);
  if (!line) return std::nullopt;
  return line->Value();
}

std::string IniDocument::Value(std::string_view section, std::string_view key) const {
  return std::string(Find(section, key).value_or(std::string_view()));
}

void IniDocument::ForEachKey(
    std::string_view section,
    const std::function<void(std::string_view key, std::string_view value)>& visit) const {
  const std::string_view s = Trim(section);
  if (!s.empty()) impl_->ForEachKey(s, visit);
}

bool IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view s = Trim(section);
  const std::string_view k = Trim(key);
  if (!CanHold(section, key, value) || k.empty()) return false;
  return impl_->Write(s, k, value);
}

bool IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  return Set(section, key, std::string_view());
}

bool IniDocument::RemoveSection(std::string_view section) {
  const std::string_view s = Trim(section);
  return !s.empty() && impl_->Write(s, std::string_view(), std::string_view());
}

bool IniDocument::ReplaceSection(std::string_view section, IniSectionLines lines) {
  const std::string_view s = Trim(section);
  return CanHold(s, std::string_view(), std::string_view()) && impl_->ReplaceSection(s, std::move(lines));
}

bool IniDocument::SerializeChanges(std::string& out) const {
  return impl_->SerializeChanges(out);
}

bool IniDocument::CanHold(std::string_view section, std::string_view key, std::string_view value) {
  const std::string_view s = Trim(section);
  if (s.empty() || HasLineBreak(s) || s.find(']') != std::string_view::npos) return false;
  if (!key.empty() && !CanBeKey(Trim(key))) return false;
  return !HasLineBreak(value);
}

}  // namespace orv
