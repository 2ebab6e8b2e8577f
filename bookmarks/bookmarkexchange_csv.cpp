// Bookmark exchange files as CSV (RFC 4180). Written by hand: reading must tell the user exactly
// where the quoting breaks, and the format is small.
#include <algorithm>
#include <charconv>
#include <limits>

#include "bookmarks/bookmarkexchange.h"
#include "bookmarks/bookmarkexchange_rows.h"

namespace orv {
namespace {

using exchange::kColumns;
using exchange::ParsedRow;

enum Column { kScope, kMap, kName, kX, kY, kVisible, kNotes, kFace, kSize, kColour, kStyle };

void AppendField(std::string& out, const std::string& utf8) {
  if (utf8.find_first_of(",\"\r\n") == std::string::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

// One record of the file: its fields and the line it starts on.
struct Record {
  std::size_t line = 0;
  std::vector<std::string> fields;
};

// Reads the records of a CSV text one at a time, strictly: a quote inside an unquoted field, text
// after a closing quote, a quoted field left open or a carriage return without its line feed is an
// error. Empty lines are passed over.
class CsvReader {
 public:
  explicit CsvReader(std::string_view text) : text_(text) {}

  // False at the end of the text or on an error (then error() says what).
  bool Next(Record& record) {
    while (pos_ < text_.size() && EndOfLine()) {
    }
    if (pos_ >= text_.size()) return false;
    record.line = line_;
    record.fields.clear();
    for (;;) {
      if (record.fields.size() == kColumns.size()) return Fail(Where(record.line) + ": more than 11 fields.");
      std::string field;
      if (!ReadField(field, record)) return false;
      record.fields.push_back(std::move(field));
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && !EndOfLine())
        return Fail(Where(line_) + ": a carriage return without a line feed.");
      return true;
    }
  }
  const QString& error() const { return error_; }
  static QString Where(std::size_t line) { return "Line " + QString::number(line); }

 private:
  // Consumes a line end (CR LF or LF) at the current position.
  bool EndOfLine() {
    if (text_[pos_] == '\n') {
      ++pos_;
    } else if (text_.substr(pos_, 2) == "\r\n") {
      pos_ += 2;
    } else {
      return false;
    }
    ++line_;
    return true;
  }

  bool ReadField(std::string& field, const Record& record) {
    const std::size_t column = record.fields.size();
    const QString where = Where(line_);
    if (pos_ < text_.size() && text_[pos_] == '"') {
      ++pos_;
      for (;;) {
        if (pos_ >= text_.size())
          return Fail(where + QString(": the quoted %1 field is never closed.").arg(kColumns[column]));
        const char c = text_[pos_++];
        if (c == '"') {
          if (pos_ < text_.size() && text_[pos_] == '"') {
            ++pos_;
          } else {
            break;
          }
        }
        if (c == '\n') ++line_;
        field += c;
        if (field.size() > MaxExchangeFieldBytes)
          return Fail(exchange::FieldTooLarge(where, kColumns[column]));
      }
      if (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') {
        return Fail(Where(line_) +
                    QString(": text after the closing quote of the %1 field.").arg(kColumns[column]));
      }
      return true;
    }
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != ',' && text_[end] != '\r' && text_[end] != '\n') ++end;
    const std::string_view plain = text_.substr(pos_, end - pos_);
    if (plain.find('"') != std::string_view::npos) {
      return Fail(
          where +
          QString(": a double quote inside the unquoted %1 field (quote the field and double the quote).")
              .arg(kColumns[column]));
    }
    if (plain.size() > MaxExchangeFieldBytes) return Fail(exchange::FieldTooLarge(where, kColumns[column]));
    field.assign(plain);
    pos_ = end;
    return true;
  }

  bool Fail(const QString& message) {
    error_ = message;
    return false;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
  QString error_;
};

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A decimal whole number between min and max, blanks around it allowed.
std::optional<int32_t> ParseWhole(std::string_view text, int64_t min, int64_t max) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

// The lines of a notes field. A field with no text once read (empty, or only a byte order mark) has
// none: one empty line would be exported as an empty field, which reads back as none.
std::vector<QString> NotesLines(const std::string& field) {
  std::vector<QString> lines;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = field.find_first_of("\r\n", from);
    lines.push_back(Text(field.substr(from, at == std::string::npos ? std::string::npos : at - from)));
    if (at == std::string::npos) break;
    from = at + (field.compare(at, 2, "\r\n") == 0 ? 2 : 1);
  }
  if (lines.size() == 1 && lines[0].isEmpty()) lines.clear();
  return lines;
}

// The row's values, or the message that tells what is wrong with it.
std::optional<QString> ParseRow(const Record& record, ParsedRow& row) {
  const auto& f = record.fields;
  row.where = "line " + QString::number(record.line);
  const QString where = CsvReader::Where(record.line);
  if (f.size() != kColumns.size()) {
    return where + QString(": %1 fields where the header has %2.").arg(f.size()).arg(kColumns.size());
  }
  const auto scope = exchange::ParseScope(Text(f[kScope]));
  if (!scope) return where + QString(": the scope is \"%1\", not map or global.").arg(Text(f[kScope]));
  row.scope = *scope;
  constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min(),
                    kIntMax = std::numeric_limits<int32_t>::max();
  const auto x = ParseWhole(f[kX], kIntMin, kIntMax), y = ParseWhole(f[kY], kIntMin, kIntMax);
  if (!x) return where + QString(": x is \"%1\", not a whole number.").arg(Text(f[kX]));
  if (!y) return where + QString(": y is \"%1\", not a whole number.").arg(Text(f[kY]));
  row.world = {*x, *y};
  if (auto outside = exchange::CheckInsideWorld(where, row.world)) return outside;
  if (f[kVisible] != "true" && f[kVisible] != "false") {
    return where + QString(": visible is \"%1\", not true or false.").arg(Text(f[kVisible]));
  }
  row.visible = f[kVisible] == "true";
  const auto size = ParseWhole(f[kSize], kIntMin, kIntMax), colour = ParseWhole(f[kColour], kIntMin, kIntMax);
  if (!size) return where + QString(": size is \"%1\", not a whole number.").arg(Text(f[kSize]));
  if (!colour) return where + QString(": colour is \"%1\", not a whole number.").arg(Text(f[kColour]));
  row.size = *size;
  row.colour = *colour;
  row.map = Text(f[kMap]);
  row.name = Text(f[kName]);
  row.face = Text(f[kFace]);
  row.style = Text(f[kStyle]);
  row.notes = NotesLines(f[kNotes]);
  return std::nullopt;
}

std::string HeaderLine() {
  std::string header;
  for (const char* column : kColumns) header += std::string(header.empty() ? "" : ",") + column;
  return header;
}

}  // namespace

std::string ExportCsv(const std::vector<ExchangeRow>& rows) {
  std::string out = HeaderLine() + "\r\n";
  for (const ExchangeRow& r : rows) {
    std::string notes;
    for (std::size_t i = 0; i < r.notes.size(); ++i) {
      if (i) notes += '\n';
      notes += exchange::ToUtf8(r.notes[i]);
    }
    const std::string fields[] = {exchange::ScopeText(r.scope),
                                  exchange::ToUtf8(r.map),
                                  exchange::ToUtf8(r.name),
                                  std::to_string(r.world.x),
                                  std::to_string(r.world.y),
                                  r.visible ? "true" : "false",
                                  notes,
                                  exchange::ToUtf8(r.face),
                                  std::to_string(r.size),
                                  std::to_string(r.colour),
                                  exchange::ToUtf8(r.style)};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
      if (i) out += ',';
      AppendField(out, fields[i]);
    }
    out += "\r\n";
  }
  return out;
}

ImportResult ImportCsv(std::string_view fileBytes, const ImportTarget& target) {
  ImportResult failed;
  if (auto message = exchange::CheckFileText(fileBytes)) {
    failed.error = *message;
    return failed;
  }
  CsvReader reader(fileBytes);
  Record record;
  if (!reader.Next(record)) {
    failed.error =
        reader.error().isEmpty() ? QString("The file is empty: it has no header row.") : reader.error();
    return failed;
  }
  if (!std::equal(record.fields.begin(), record.fields.end(), kColumns.begin(), kColumns.end())) {
    failed.error = QString("Line %1: the header row must be %2.").arg(record.line).arg(HeaderLine().c_str());
    return failed;
  }
  std::vector<ParsedRow> rows;
  while (reader.Next(record)) {
    ParsedRow row;
    if (auto message = ParseRow(record, row)) {
      failed.error = *message;
      return failed;
    }
    rows.push_back(std::move(row));
  }
  if (!reader.error().isEmpty()) {
    failed.error = reader.error();
    return failed;
  }
  return exchange::AcceptRows(rows, target);
}

}  // namespace orv
