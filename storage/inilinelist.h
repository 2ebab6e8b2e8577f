#pragma once
// The lines of a settings-format document in file order: a list linked through one vector, so that
// inserting or taking out a line costs constant time and a line's index stays valid.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/inilines.h"

namespace orv::ini {

class LineList {
 public:
  const Line& operator[](uint32_t i) const { return lines_[i]; }
  Line& operator[](uint32_t i) { return lines_[i]; }
  uint32_t Last() const { return last_; }             // kNoLine when empty
  std::size_t Size() const { return lines_.size(); }  // lines taken out included

  // The ending of lines made by writes: that of the file's first line (CRLF for a new file).
  Eol NewEol() const { return newEol_; }
  void SetNewEol(Eol eol) { newEol_ = eol; }
  Line NewLine() const {
    Line line;
    line.eol = newEol_;
    return line;
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

  // Puts the lines of the block at index (see Kind::Block) in its place, each on its own, read(line)
  // called on each before it goes in. They take the numbers from the returned one to Last() in
  // order.
  template <typename Read>
  uint32_t SplitBlock(uint32_t index, Read read) {
    const Line block = lines_[index];
    Grow(block.size / 24 + 1);  // about as many lines as a list's records take
    const uint32_t first = static_cast<uint32_t>(lines_.size());
    ForEachLineOf(block, [&](Line line) {
      read(line);
      line.prev = static_cast<uint32_t>(lines_.size()) - 1;
      line.next = line.prev + 2;
      lines_.push_back(line);
    });
    const uint32_t last = static_cast<uint32_t>(lines_.size()) - 1;
    lines_[first].prev = block.prev;
    lines_[last].next = block.next;
    (block.prev != kNoLine ? lines_[block.prev].next : head_) = first;
    (block.next != kNoLine ? lines_[block.next].prev : last_) = last;
    return first;
  }

  // The lines in order, each with its ending, into out (reusing its memory).
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

 private:
  // Room for this many more lines, at least doubling, so that lines added in runs move the others
  // seldom.
  void Grow(std::size_t more) {
    if (lines_.capacity() < lines_.size() + more)
      lines_.reserve(std::max(2 * lines_.capacity(), lines_.size() + more));
  }

  std::vector<Line> lines_;
  uint32_t head_ = kNoLine;
  uint32_t last_ = kNoLine;
  Eol newEol_ = Eol::CrLf;
};

}  // namespace orv::ini
