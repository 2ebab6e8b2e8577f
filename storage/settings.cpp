// Settings-format files, parsed once and kept in a process-wide cache.
//
// How lines are read:
// - "[Name]" (blanks allowed before "[" and around Name; anything after "]" is ignored) opens the
//   section Name. A line starting with "[" that has no "]" is an ordinary line.
// - Inside a section, a line with "=" whose text before the first "=" is not empty after trimming
//   blanks is a key line: the key is that trimmed text; the value is everything after the first "=",
//   byte for byte (nothing trimmed, no quotes removed), so every value written reads back exactly.
// - Lines starting with ";" or "#" are comments. Lines before the first section, comments, blank
//   lines and any other text are never matched; they are kept as they are, in their order.
// - Sections and keys match without regard to ASCII letter case; other bytes must be equal.
// - A repeated section counts as one section: a key is looked up through all of its parts in file
//   order and the first occurrence wins for reading and for replacing; new keys go after the last
//   key of its first part. Removing a key removes every occurrence of it; removing a section removes
//   every part of it, with all the lines up to the next section.
// - Each line keeps its own line ending (LF or CRLF); new lines take the ending of the file's first
//   line, and a new file gets CRLF.
//
// The cache holds one parsed copy per file, checked against the file's device, inode, size and
// modification time (nanoseconds) before every access outside a write group, so a file changed by
// another program is read anew. A change made in place that keeps the size and lands within the
// same tick of the file system's clock as the previous write cannot be seen this way.
//
// Lookups go through per-section hash indexes from key to line, and lines form a linked list in
// one vector, so inserting or removing a key costs constant time and loading or saving N keys is
// linear in the file's size.
#include "storage/settings.h"

#include <fcntl.h>
#include <signal.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv {
namespace {

constexpr uint32_t kNoLine = UINT32_MAX;
constexpr std::size_t kMaxCachedFiles = 16;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

uint64_t HashNoCase(std::string_view s) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (char c : s) {
    h ^= static_cast<unsigned char>(Lower(c));
    h *= 1099511628211ull;
  }
  return h ^ (h >> 29);
}

std::string LowerCopy(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

enum class Eol : uint8_t { None, Lf, CrLf };
enum class Kind : uint8_t { Other, Header, Key };

std::string_view EolText(Eol eol) {
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
  bool repeated = false;  // key lines: the same key occurs again later in its section

  std::string_view Text() const { return {data, size}; }
  std::string_view Name() const { return {data + nameBegin, nameEnd - nameBegin}; }
  std::string_view Value() const { return {data + equals + 1, size - equals - 1}; }
};

// Holds the text of lines created after parsing. Chunks never move, so lines may point into them.
class TextArena {
 public:
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
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// Open-addressing index from key (without regard to case) to the line that holds it. The key text
// is not copied: it is compared against the line itself.
class KeyIndex {
 public:
  uint32_t Find(const std::vector<Line>& lines, std::string_view key, uint64_t hash) const {
    if (slots_.empty()) return kNoLine;
    const uint32_t tag = Tag(hash);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = tag & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.line == kEmpty) return kNoLine;
      if (slot.tag == tag && slot.line != kErased && EqualNoCase(lines[slot.line].Name(), key))
        return slot.line;
    }
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
  KeyIndex keys;
  std::size_t parsedKeys = 0;  // key lines found while parsing, to size the index
};

// One settings file as lines, with indexes for its sections and keys.
class Document {
 public:
  void Parse(std::string bytes) {
    *this = Document();
    original_ = std::move(bytes);
    const char* p = original_.data();
    const char* end = p + original_.size();
    lines_.reserve(original_.size() / 48 + 16);
    // First the lines, their kinds and how many keys each section has; then the key indexes, each
    // made the right size at once.
    std::vector<std::pair<uint32_t, Section*>> parts;  // header line and its section, in file order
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
      if (line.kind == Kind::Key && parts.empty()) line.kind = Kind::Other;  // before any section
      const uint32_t index = Append(line);
      if (line.kind == Kind::Header) {
        auto [it, fresh] = sections_.try_emplace(LowerCopy(line.Name()));
        it->second.headers.push_back(index);
        if (fresh) it->second.tail = index;
        parts.emplace_back(index, &it->second);
      } else if (line.kind == Kind::Key) {
        ++parts.back().second->parsedKeys;
      }
    }
    for (auto& [name, section] : sections_) section.keys.Reserve(section.parsedKeys);
    for (std::size_t part = 0; part < parts.size(); ++part) {
      const auto [header, section] = parts[part];
      const bool firstPart = section->headers.front() == header;
      const uint32_t stop =
          part + 1 < parts.size() ? parts[part + 1].first : static_cast<uint32_t>(lines_.size());
      for (uint32_t i = header + 1; i < stop; ++i) {
        if (lines_[i].kind != Kind::Key) continue;
        const uint64_t hash = HashNoCase(lines_[i].Name());
        const uint32_t first = section->keys.Find(lines_, lines_[i].Name(), hash);
        if (first == kNoLine)
          section->keys.Insert(i, hash);
        else
          lines_[first].repeated = true;
        if (firstPart) section->tail = i;
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
    const uint32_t line = s->keys.Find(lines_, key, HashNoCase(key));
    return line == kNoLine ? nullptr : &lines_[line];
  }

  // Applies one write; true when the document changed. section and key are trimmed and valid.
  bool Write(std::string_view section, std::string_view key, std::string_view value) {
    if (key.empty()) return RemoveSection(section);
    Section* s = FindSection(section);
    const uint64_t hash = HashNoCase(key);
    const uint32_t found = s ? s->keys.Find(lines_, key, hash) : kNoLine;
    if (value.empty()) {
      if (found == kNoLine) return false;
      RemoveKey(*s, found, key, hash);
      return true;
    }
    if (found != kNoLine) {
      Line& line = lines_[found];
      if (line.Value() == value) return false;
      const std::string_view prefix = line.Text().substr(0, line.equals + 1);
      const uint32_t size = static_cast<uint32_t>(prefix.size() + value.size());
      wasted_ += line.size;
      live_ += size - line.size;
      line.data = arena_.Store(prefix, value);
      line.size = size;
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
    return true;
  }

  // True when the text the document holds that is no longer part of the file is over twice what is.
  bool Wasteful() const { return wasted_ > 64 * 1024 && wasted_ > 2 * live_; }

 private:
  static void SkipByteOrderMark(Line& line) {
    if (line.Text().starts_with("\xEF\xBB\xBF")) line.nameBegin = 3;
  }

  // Sets kind and name of a freshly read line (nameBegin may already skip a byte order mark).
  static void Classify(Line& line) {
    const std::string_view text = line.Text();
    std::size_t begin = line.nameBegin;
    while (begin < text.size() && IsBlank(text[begin])) ++begin;
    if (begin == text.size() || text[begin] == ';' || text[begin] == '#') return;
    if (text[begin] == '[') {
      const std::size_t close = text.find(']', begin + 1);
      if (close == std::string_view::npos) return;
      SetName(line, text.substr(0, close), begin + 1);
      line.kind = Kind::Header;
      return;
    }
    const std::size_t equals = text.find('=', begin);
    if (equals == std::string_view::npos) return;
    SetName(line, text.substr(0, equals), begin);
    if (line.nameBegin == line.nameEnd) return;
    line.equals = static_cast<uint32_t>(equals);
    line.kind = Kind::Key;
  }

  static void SetName(Line& line, std::string_view upTo, std::size_t begin) {
    std::size_t end = upTo.size();
    while (begin < end && IsBlank(upTo[begin])) ++begin;
    while (end > begin && IsBlank(upTo[end - 1])) --end;
    line.nameBegin = static_cast<uint32_t>(begin);
    line.nameEnd = static_cast<uint32_t>(end);
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
    return const_cast<Section*>(static_cast<const Document*>(this)->FindSection(name));
  }
  void LowerInto(std::string_view name) const {
    lookup_.assign(name);
    for (char& c : lookup_) c = Lower(c);
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
    live_ += line.size;
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
    live_ += line.size;
    return index;
  }

  void Unlink(uint32_t index) {
    Line& line = lines_[index];
    if (line.prev != kNoLine)
      lines_[line.prev].next = line.next;
    else
      head_ = line.next;
    if (line.next != kNoLine)
      lines_[line.next].prev = line.prev;
    else
      last_ = line.prev;
    wasted_ += line.size;
    live_ -= line.size;
  }

  Section* AddSection(std::string_view name) {
    if (last_ != kNoLine && !Trim(lines_[last_].Text()).empty()) Append(NewLine());
    Line header = NewLine();
    header.data = arena_.Store("[", name, "]");
    header.size = static_cast<uint32_t>(name.size() + 2);
    header.nameBegin = 1;
    header.nameEnd = header.size - 1;
    header.kind = Kind::Header;
    const uint32_t index = Append(header);
    std::string lower = LowerCopy(name);
    Section& s = sections_[lower];
    if (lower == removedName_) s.keys.Reserve(removedKeys_);
    s.headers.push_back(index);
    s.tail = index;
    return &s;
  }

  bool RemoveSection(std::string_view name) {
    LowerInto(name);
    auto it = sections_.find(lookup_);
    if (it == sections_.end()) return false;
    for (uint32_t header : it->second.headers) {
      uint32_t i = header;
      do {
        const uint32_t next = lines_[i].next;
        Unlink(i);
        i = next;
      } while (i != kNoLine && lines_[i].kind != Kind::Header);
    }
    if (lastSection_ == &it->second) lastSection_ = nullptr;
    // A section is usually removed to be written again at once: remember its size for the index.
    removedName_ = it->first;
    removedKeys_ = it->second.keys.size();
    sections_.erase(it);
    return true;
  }

  void RemoveKey(Section& s, uint32_t first, std::string_view key, uint64_t hash) {
    s.keys.Erase(first, hash);
    const bool repeated = lines_[first].repeated;
    RemoveKeyLine(s, first);
    if (!repeated) return;
    const std::string wanted(key);
    for (uint32_t header : s.headers) {
      for (uint32_t i = lines_[header].next; i != kNoLine && lines_[i].kind != Kind::Header;) {
        const uint32_t next = lines_[i].next;
        if (lines_[i].kind == Kind::Key && EqualNoCase(lines_[i].Name(), wanted)) RemoveKeyLine(s, i);
        i = next;
      }
    }
  }

  void RemoveKeyLine(Section& s, uint32_t index) {
    Unlink(index);
    if (s.tail != index) return;
    uint32_t i = lines_[index].prev;
    while (lines_[i].kind == Kind::Other) i = lines_[i].prev;
    s.tail = i;
  }

  std::string original_;  // the file as read; parsed lines point into it
  TextArena arena_;       // text of lines written since
  std::vector<Line> lines_;
  uint32_t head_ = kNoLine;
  uint32_t last_ = kNoLine;
  std::unordered_map<std::string, Section> sections_;  // by lower-case name
  Eol newEol_ = Eol::CrLf;
  std::size_t live_ = 0;    // bytes of text in the list
  std::size_t wasted_ = 0;  // bytes of text no longer in the list
  mutable std::string lookup_;
  mutable const Section* lastSection_ = nullptr;
  std::string removedName_;  // the section removed last, and how many keys it had
  std::size_t removedKeys_ = 0;
  mutable std::string lastSectionName_;
};

struct FileStamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};

  static FileStamp Of(const struct stat& st) { return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim}; }
  bool operator==(const FileStamp& o) const {
    return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
  }
};

struct CachedFile {
  Document doc;
  FileStamp stamp;
  bool known = false;       // doc and stamp describe the file as last seen
  bool unreadable = false;  // the path exists but cannot be read as a file: never overwrite it
  bool dirty = false;       // changed in a write group and not yet written
  std::size_t contentHash = 0;  // hash of the bytes last read from or written to the file
  int groups = 0;           // open write groups
  uint64_t lastUse = 0;
};

class Cache {
 public:
  // The cached copy of file, brought up to date with the file unless a write group holds it.
  CachedFile* Get(const std::string& file) {
    CachedFile* entry = Entry(file);
    if (entry && entry->groups == 0) Refresh(*entry, file);
    return entry;
  }

  // The cached copy without looking at the file (null when none is cached).
  CachedFile* Peek(const std::string& file) {
    if (file.empty()) return nullptr;
    if (lastFile_ && file == lastPath_) return lastFile_;
    auto it = files_.find(Key(file));
    return it == files_.end() ? nullptr : it->second.get();
  }

  void Drop(const std::string& file) {
    auto it = files_.find(Key(file));
    if (it == files_.end()) return;
    Forget(it->second.get());
    files_.erase(it);
  }

  void DropAll() {
    for (auto it = files_.begin(); it != files_.end();) {
      if (it->second->groups == 0) {
        Forget(it->second.get());
        it = files_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  // Paths are made absolute and lexically normal, so two spellings of one path share a copy. Only
  // absolute paths use the shortcut for the last file, since a relative one depends on the current
  // directory.
  static std::string Key(const std::string& file) {
    std::filesystem::path p(file);
    std::error_code ec;
    if (p.is_relative()) p = std::filesystem::absolute(p, ec);
    return p.lexically_normal().string();
  }

  CachedFile* Entry(const std::string& file) {
    if (file.empty()) return nullptr;
    if (lastFile_ && file == lastPath_) {
      lastFile_->lastUse = ++clock_;
      return lastFile_;
    }
    auto [it, fresh] = files_.try_emplace(Key(file));
    if (fresh) {
      it->second = std::make_unique<CachedFile>();
      if (files_.size() > kMaxCachedFiles) EvictOldest(it->second.get());
    }
    CachedFile* entry = it->second.get();
    entry->lastUse = ++clock_;
    if (file.front() == '/') {
      lastPath_ = file;
      lastFile_ = entry;
    } else {
      Forget(lastFile_);
    }
    return entry;
  }

  void EvictOldest(const CachedFile* keep) {
    auto oldest = files_.end();
    for (auto it = files_.begin(); it != files_.end(); ++it) {
      if (it->second.get() == keep || it->second->groups > 0) continue;
      if (oldest == files_.end() || it->second->lastUse < oldest->second->lastUse) oldest = it;
    }
    if (oldest == files_.end()) return;
    Forget(oldest->second.get());
    files_.erase(oldest);
  }

  void Forget(const CachedFile* entry) {
    if (entry && entry == lastFile_) {
      lastFile_ = nullptr;
      lastPath_.clear();
    }
  }

  static void Refresh(CachedFile& entry, const std::string& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) {
      const bool missing = errno == ENOENT || errno == ENOTDIR;
      if (entry.known && !entry.stamp.exists && entry.unreadable == !missing) return;
      Reset(entry, FileStamp{}, !missing);
      return;
    }
    if (!S_ISREG(st.st_mode)) {
      Reset(entry, FileStamp::Of(st), true);
      return;
    }
    if (entry.known && !entry.unreadable && entry.stamp == FileStamp::Of(st)) return;
    Load(entry, file);
  }

  static void Reset(CachedFile& entry, const FileStamp& stamp, bool unreadable) {
    entry.doc = Document();
    entry.stamp = stamp;
    entry.known = true;
    entry.unreadable = unreadable;
    entry.dirty = false;
  }

  static void Load(CachedFile& entry, const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      if (fd >= 0) ::close(fd);
      Reset(entry, FileStamp{}, true);
      return;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t have = 0;
    bool failed = false;
    for (;;) {
      if (have == bytes.size()) bytes.resize(bytes.size() + 4096);  // the file may have grown
      const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) failed = true;
      if (n <= 0) break;
      have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) {
      Reset(entry, FileStamp{}, true);
      return;
    }
    bytes.resize(have);
    entry.contentHash = std::hash<std::string_view>()(bytes);
    entry.doc.Parse(std::move(bytes));
    entry.stamp = FileStamp::Of(st);
    entry.known = true;
    entry.unreadable = false;
    entry.dirty = false;
  }

  std::unordered_map<std::string, std::unique_ptr<CachedFile>> files_;
  std::string lastPath_;
  CachedFile* lastFile_ = nullptr;
  uint64_t clock_ = 0;
};

Cache& TheCache() {
  static Cache cache;
  return cache;
}

// Sections and keys are trimmed like the names read from a file. A name that could not be read back
// as written (one holding a line break, a section holding "]", a key holding "=" or starting like a
// section or comment line) is refused, and so is a value holding a line break, which would split
// the file's line.
bool ValidWrite(std::string_view section, std::string_view rawKey, std::string_view key,
                std::string_view value) {
  auto hasBreak = [](std::string_view s) {
    return std::memchr(s.data(), '\n', s.size()) || std::memchr(s.data(), '\r', s.size());
  };
  if (section.empty() || hasBreak(section) || section.find(']') != std::string_view::npos) return false;
  if (!rawKey.empty()) {
    if (key.empty() || hasBreak(key) || key.find('=') != std::string_view::npos) return false;
    if (key.front() == '[' || key.front() == ';' || key.front() == '#') return false;
  }
  return !hasBreak(value);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

// Replaces file with bytes: a temporary file beside it is written, flushed to the disk and renamed
// over it, so the file is at every moment either the old one or the new one. The old file's
// permissions and owner are kept. On success *stamp describes the new file.
// Removes the temporary files of target that a copy of the program killed while saving left behind
// (".name.<pid>.<n>.tmp" of a process that no longer runs); those of a running copy stay.
void RemoveLeftoverTemporaries(const std::string& dir, const std::string& base) {
  const std::string prefix = "." + base + ".";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0) {
      continue;
    }
    const std::string rest = name.substr(prefix.size());
    char* afterPid = nullptr;
    const long pid = std::strtol(rest.c_str(), &afterPid, 10);
    if (pid <= 0 || *afterPid != '.' || pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
  }
}

bool ReplaceFile(const std::string& file, const std::string& bytes, FileStamp* stamp) {
  std::string target = file;
  struct stat old;
  bool exists = ::lstat(file.c_str(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) {
    // Write through a symbolic link to the file it names, leaving the link in place.
    char resolved[PATH_MAX];
    if (!::realpath(file.c_str(), resolved)) return false;
    target = resolved;
    exists = ::lstat(target.c_str(), &old) == 0;
  }
  if (exists && (!S_ISREG(old.st_mode) || ::access(target.c_str(), W_OK) != 0)) return false;

  const std::string dir = DirectoryOf(target);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  static unsigned counter = 0;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir + "/." + base + "." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  bool ok = true;
  if (exists) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid())
      (void)!::fchown(fd, old.st_uid, old.st_gid);  // only possible with privileges; best effort
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  }
  ok = ok && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  struct stat written;
  ok = ok && ::fstat(fd, &written) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  RemoveLeftoverTemporaries(dir, base);
  // When the path was a link, the cached stamp must describe what the path shows: the new target.
  *stamp = FileStamp::Of(written);
  return true;
}

// True when file, unchanged since it was last seen, already holds exactly bytes: a save that
// rewrites what was there (a map left without changes) then touches nothing, so a map in a read-only
// folder can be looked at without a failed save each time.
bool AlreadyHolds(const CachedFile& entry, const std::string& file, const std::string& bytes) {
  struct stat st;
  if (!entry.stamp.exists || entry.stamp.size != static_cast<off_t>(bytes.size()) ||
      entry.contentHash != std::hash<std::string_view>()(bytes) || ::stat(file.c_str(), &st) != 0 ||
      !(FileStamp::Of(st) == entry.stamp)) {
    return false;
  }
  std::ifstream in(file, std::ios::binary);
  std::string held(bytes.size(), '\0');
  return in.read(held.data(), static_cast<std::streamsize>(held.size())) && in.peek() == EOF && held == bytes;
}

// Writes the cached copy to its file. On failure the copy is dropped, so that the next read sees
// what the file really holds rather than the values that could not be saved.
bool Flush(CachedFile& entry, const std::string& file) {
  // One buffer serves every write: large files are then written without fresh memory each time.
  static std::string bytes;
  FileStamp stamp = entry.stamp;
  bool ok = !entry.unreadable;
  if (ok) {
    entry.doc.Serialize(bytes);
    ok = AlreadyHolds(entry, file, bytes) || ReplaceFile(file, bytes, &stamp);
  }
  if (!ok) {
    TheCache().Drop(file);
    return false;
  }
  entry.stamp = stamp;
  entry.dirty = false;
  entry.contentHash = std::hash<std::string_view>()(bytes);
  if (entry.doc.Wasteful()) entry.doc.Parse(bytes);
  return true;
}

}  // namespace

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& file) {
  const std::string_view s = Trim(section);
  const std::string_view k = Trim(key);
  if (s.empty() || k.empty()) return {};
  CachedFile* entry = TheCache().Get(file);
  if (!entry || entry->unreadable) return {};
  const Line* line = entry->doc.Find(s, k);
  return line ? std::string(line->Value()) : std::string();
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& file,
                  const std::string& value) {
  const std::string_view s = Trim(section);
  const std::string_view k = Trim(key);
  if (!ValidWrite(s, key, k, value)) return false;
  CachedFile* entry = TheCache().Get(file);
  if (!entry) return false;
  if (entry->unreadable) {
    // Nothing is written over a file that could not be read; a group reports it when it closes.
    if (entry->groups > 0) entry->dirty = true;
    return entry->groups > 0;
  }
  const bool changed = entry->doc.Write(s, k, value);
  if (!changed) return true;
  if (entry->groups > 0) {
    entry->dirty = true;  // written when the outermost group closes, which reports the outcome
    return true;
  }
  return Flush(*entry, file);
}

std::string StorableValue(std::string value) {
  for (char& c : value)
    if (c == '\r' || c == '\n') c = ' ';
  return value;
}

SettingsWriteGroup::SettingsWriteGroup(std::string file) : file_(std::move(file)) {
  if (CachedFile* entry = TheCache().Get(file_)) ++entry->groups;
}

SettingsWriteGroup::~SettingsWriteGroup() {
  if (!closed_) Close();
}

bool SettingsWriteGroup::Close() {
  if (closed_) return true;
  closed_ = true;
  CachedFile* entry = TheCache().Peek(file_);
  if (!entry || entry->groups == 0) return true;
  if (--entry->groups > 0 || !entry->dirty) return true;
  return Flush(*entry, file_);
}

void DropSettingsCache() {
  TheCache().DropAll();
}

namespace {

std::string JoinPath(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool WritableDirectory(const std::string& dir) {
  struct stat st;
  return !dir.empty() && ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(dir.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::string SettingsFileIn(const std::string& programDir, const std::string& configHome) {
  if (WritableDirectory(programDir) || configHome.empty()) return JoinPath(programDir, "orvantis.ini");
  return JoinPath(JoinPath(configHome, "orvantis"), "orvantis.ini");
}

std::string SettingsFile() {
  std::error_code ec;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::string programDir = ec ? std::string(".") : program.parent_path().string();

  std::string configHome;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    configHome = xdg;
  } else if (const char* home = std::getenv("HOME"); home && home[0] != '\0') {
    configHome = JoinPath(home, ".config");
  }
  const std::string file = SettingsFileIn(programDir, configHome);
  // The configuration directory may not exist yet; create it so the first write can succeed.
  const std::string dir = DirectoryOf(file);
  if (!WritableDirectory(dir)) {
    if (std::filesystem::create_directories(dir, ec))
      std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ec);
  }
  return file;
}

}  // namespace orv
