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
//   line, and a new file gets CRLF. A file without LF whose lines end in a lone CR is read as CRLF
//   lines.
//
// Lookups go through per-section hash indexes from key to line, made at a section's first lookup,
// and lines form a linked list in one vector (storage/inilinelist.h), so inserting or removing a key
// costs constant time and loading or saving N keys is linear in the file's size. Parsed lines point
// into the bytes read, which the document owns; a save compares with them to tell whether anything
// changed. Reading a file finds only its section headers: the lines between them stay blocks (see
// Kind::Block) until a lookup or a write in their section, and the lines a section is replaced with
// go in as one block. A save, which replaces its long lists whole, thus never splits them into lines.
#include "storage/inidocument.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "storage/inilinelist.h"
#include "storage/inilines.h"

namespace orv {

using namespace ini;

namespace {

std::string CrLinesAsCrLf(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\r')));
  for (const char c : bytes) {
    out += c;
    if (c == '\r') out += '\n';
  }
  return out;
}

}  // namespace

class IniDocument::Impl {
 public:
  // Reads the file's section headers; the lines between them are kept as blocks, split into lines
  // only when their section is first looked up or written line by line.
  void Parse(std::string bytes) {
    *this = Impl();
    // A file whose lines end in a lone CR (as old Macs wrote them) would read as one line: it is read
    // as lines ending in CRLF, the ending the program writes, and saved so once something changes.
    if (bytes.find('\n') == std::string::npos && bytes.find('\r') != std::string::npos)
      bytes = CrLinesAsCrLf(bytes);
    text_ = std::make_shared<const std::string>(std::move(bytes));
    baseline_ = text_;
    const char* const begin = text_->data();
    const char* const end = begin + text_->size();
    const char* firstNl = static_cast<const char*>(std::memchr(begin, '\n', end - begin));
    lines_.SetNewEol(firstNl ? EndingBefore(begin, firstNl + 1) : Eol::CrLf);
    // A header holds "[": only lines with one are read on their own. run is the first line not yet
    // taken into a header or a block, p the line after the last one read.
    const char* run = begin;
    for (const char* p = begin; p < end;) {
      const char* bracket = static_cast<const char*>(std::memchr(p, '[', end - p));
      if (!bracket) break;
      const char* lineStart = static_cast<const char*>(memrchr(p, '\n', bracket - p));
      lineStart = lineStart ? lineStart + 1 : p;
      const char* nl = static_cast<const char*>(std::memchr(bracket, '\n', end - bracket));
      const char* lineEnd = nl ? nl + 1 : end;
      Line line;
      line.data = lineStart;
      line.eol = EndingBefore(lineStart, lineEnd);
      line.size = static_cast<uint32_t>(lineEnd - lineStart - EolText(line.eol).size());
      if (lineStart == begin) SkipByteOrderMark(line);
      Classify(line);
      if (line.kind == Kind::Header) {
        AppendBlock(run, lineStart);
        AddHeader(line);
        run = lineEnd;
      }
      p = lineEnd;  // no other line starts before the next line
    }
    AppendBlock(run, end);
  }

  void Serialize(std::string& out) const { lines_.Serialize(out); }

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
    const Section* s = FindSection(section);
    if (!s) return;
    SplitLines(*s);
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
    Line line = lines_.NewLine();
    line.data = arena_.Store(key, "=", value);
    line.size = static_cast<uint32_t>(key.size() + 1 + value.size());
    line.nameEnd = static_cast<uint32_t>(key.size());
    line.equals = line.nameEnd;
    line.kind = Kind::Key;
    const uint32_t index = lines_.InsertAfter(s->tail, line);
    s->tail = index;
    s->keys.Insert(index, hash);
    lines_[index].indexed = true;
    edited_ = true;
    return true;
  }

  // The new lines go in as one block, split only if the section is later looked up.
  bool ReplaceSection(std::string_view name, IniSectionLines lines) {
    const bool opens = lines.OpensSection();
    std::string text = lines.TakeText(EolText(lines_.NewEol()));
    if (HoldsExactly(name, opens, text)) return false;
    const bool removed = RemoveSection(name);
    if (!opens) return removed;
    Section* s = AddSection(name);
    if (text.empty()) return true;
    Line block = lines_.NewLine();
    block.size = static_cast<uint32_t>(text.size() - EolText(lines_.NewEol()).size());
    block.data = arena_.Adopt(std::move(text));
    block.kind = Kind::Block;
    lines_.Append(block);
    s->split = false;
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
    SplitLines(s);
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

  // Whether replacing the section with lines (their text with endings; opens as OpensSection) would
  // give back the same bytes: the section stands in one part at the end of the document, after a
  // blank line or at its start, its header reads exactly "[name]", and the bytes after the header
  // are exactly the lines.
  bool HoldsExactly(std::string_view name, bool opens, std::string_view lines) const {
    LowerInto(name);
    const auto it = sections_.find(lookup_);
    if (it == sections_.end()) return !opens;
    if (!opens || it->second.headers.size() != 1) return false;
    const Line& header = lines_[it->second.headers.front()];
    if (header.prev != kNoLine && !Trim(lines_[header.prev].LastLineText()).empty()) return false;
    const std::string_view text = header.Text();
    if (header.eol != lines_.NewEol() || text.size() != name.size() + 2 || text.front() != '[' ||
        text.back() != ']' || text.substr(1, name.size()) != name) {
      return false;
    }
    for (uint32_t i = header.next; i != kNoLine; i = lines_[i].next) {
      for (const std::string_view piece : {lines_[i].Text(), EolText(lines_[i].eol)}) {
        if (!lines.starts_with(piece)) return false;
        lines.remove_prefix(piece.size());
      }
    }
    return lines.empty();
  }

  // Keeps the whole lines of [begin, end) as one block at the end of the list.
  void AppendBlock(const char* begin, const char* end) {
    if (begin == end) return;
    Line block;
    block.data = begin;
    block.eol = EndingBefore(begin, end);
    block.size = static_cast<uint32_t>(end - begin - EolText(block.eol).size());
    block.kind = Kind::Block;
    lines_.Append(block);
  }

  void AddHeader(const Line& header) {
    const uint32_t index = lines_.Append(header);
    auto [it, fresh] = sections_.try_emplace(LowerCopy(header.Name()));
    Section& s = it->second;
    s.headers.push_back(index);
    s.split = false;
    if (fresh) {
      s.tail = index;
      s.indexed = false;
    }
  }

  // Splitting changes how the lines are held, not what the document says, so reading may do it.
  void SplitLines(const Section& s) const { const_cast<Impl*>(this)->Split(const_cast<Section&>(s)); }

  // Puts the lines of the section's blocks in their place, each on its own, and counts its key
  // lines; new keys go after the last key line of its first part.
  void Split(Section& s) {
    if (s.split) return;
    s.split = true;
    s.keyLines = 0;
    for (std::size_t part = 0; part < s.headers.size(); ++part) {
      const auto count = [&](uint32_t i) {
        if (lines_[i].kind != Kind::Key) return;
        ++s.keyLines;
        if (part == 0) s.tail = i;
      };
      for (uint32_t i = lines_[s.headers[part]].next; i != kNoLine && lines_[i].kind != Kind::Header;) {
        const uint32_t next = lines_[i].next;
        if (lines_[i].kind != Kind::Block) {
          count(i);
        } else {
          for (uint32_t j = lines_.SplitBlock(i, [](Line& line) { Classify(line); }); j < lines_.Size(); ++j)
            count(j);
        }
        i = next;
      }
    }
  }

  Section* AddSection(std::string_view name) {
    if (lines_.Last() != kNoLine && !Trim(lines_[lines_.Last()].LastLineText()).empty())
      lines_.Append(lines_.NewLine());
    Line header = lines_.NewLine();
    header.data = arena_.Store("[", name, "]");
    header.size = static_cast<uint32_t>(name.size() + 2);
    header.nameBegin = 1;
    header.nameEnd = header.size - 1;
    header.kind = Kind::Header;
    const uint32_t index = lines_.Append(header);
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
      lines_.Unlink(header, last);
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
    lines_.Unlink(index);
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
  LineList lines_;
  std::unordered_map<std::string, Section> sections_;  // by lower-case name
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
