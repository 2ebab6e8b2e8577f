// Bookmark exchange files as JSON, read and written with Qt's own JSON classes.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <limits>

#include "bookmarks/bookmarkexchange.h"
#include "bookmarks/bookmarkexchange_rows.h"

namespace orv {
namespace {

using exchange::kColumns;
using exchange::ParsedRow;

QString Text(const std::string& stored) {
  return QString::fromStdString(exchange::ToUtf8(stored));
}

// Reads one bookmark object; each getter records the first problem and returns a harmless value.
class ObjectReader {
 public:
  ObjectReader(const QJsonObject& object, QString where) : object_(object), where_(std::move(where)) {}

  QString String(const char* key) {
    const QJsonValue value = object_.value(key);
    if (!value.isString()) return Problem(key, "text"), QString();
    const QString text = value.toString();
    if (static_cast<std::size_t>(text.size()) > MaxExchangeFieldBytes)
      Fail(exchange::FieldTooLarge(where_, key));
    return text;
  }
  int32_t Whole(const char* key) {
    const QJsonValue value = object_.value(key);
    const double d = value.toDouble();
    if (!value.isDouble() || std::trunc(d) != d || d < std::numeric_limits<int32_t>::min() ||
        d > std::numeric_limits<int32_t>::max()) {
      return Problem(key, "a whole number"), 0;
    }
    return static_cast<int32_t>(d);
  }
  bool Bool(const char* key) {
    const QJsonValue value = object_.value(key);
    if (!value.isBool()) Problem(key, "true or false");
    return value.toBool();
  }
  std::vector<QString> Lines(const char* key) {
    const QJsonValue value = object_.value(key);
    std::vector<QString> lines;
    std::size_t total = 0;
    if (!value.isArray()) return Problem(key, "an array of lines"), lines;
    for (const QJsonValue line : value.toArray()) {
      if (!line.isString()) return Problem(key, "an array of lines"), lines;
      lines.push_back(line.toString());
      total += static_cast<std::size_t>(lines.back().size());
    }
    if (total > MaxExchangeFieldBytes) Fail(exchange::FieldTooLarge(where_, key));
    return lines;
  }
  void Fail(const QString& message) {
    if (error_.isEmpty()) error_ = message;
  }
  const QString& error() const { return error_; }

 private:
  void Problem(const char* key, const char* expected) {
    Fail(object_.contains(key) ? QString("%1: %2 must be %3.").arg(where_, key, expected)
                               : QString("%1: the field %2 is missing.").arg(where_, key));
  }

  const QJsonObject& object_;
  QString where_;
  QString error_;
};

std::optional<QString> ParseObject(const QJsonValue& value, ParsedRow& row) {
  if (!value.isObject()) return row.where + ": not an object.";
  const QJsonObject object = value.toObject();
  static const QSet<QString> kKnown(kColumns.begin(), kColumns.end());
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (!kKnown.contains(it.key())) return QString("%1: unknown field \"%2\".").arg(row.where, it.key());
  }
  ObjectReader read(object, row.where);
  const QString scope = read.String("scope");
  row.map = read.String("map");
  row.name = read.String("name");
  row.world = {read.Whole("x"), read.Whole("y")};
  row.visible = read.Bool("visible");
  row.notes = read.Lines("notes");
  row.face = read.String("face");
  row.size = read.Whole("size");
  row.colour = read.Whole("colour");
  row.style = read.String("style");
  if (!read.error().isEmpty()) return read.error();
  const auto parsedScope = exchange::ParseScope(scope);
  if (!parsedScope) return QString("%1: the scope is \"%2\", not map or global.").arg(row.where, scope);
  row.scope = *parsedScope;
  return exchange::CheckInsideWorld(row.where, row.world);
}

}  // namespace

std::string ExportJson(const std::vector<ExchangeRow>& rows) {
  QJsonArray array;
  for (const ExchangeRow& r : rows) {
    QJsonArray notes;
    for (const auto& line : r.notes) notes.append(Text(line));
    array.append(QJsonObject{{"scope", exchange::ScopeText(r.scope)},
                             {"map", Text(r.map)},
                             {"name", Text(r.name)},
                             {"x", r.world.x},
                             {"y", r.world.y},
                             {"visible", r.visible},
                             {"notes", notes},
                             {"face", Text(r.face)},
                             {"size", r.size},
                             {"colour", r.colour},
                             {"style", Text(r.style)}});
  }
  return QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

ImportResult ImportJson(std::string_view fileBytes, const ImportTarget& target) {
  ImportResult failed;
  if (auto message = exchange::CheckFileText(fileBytes)) {
    failed.error = *message;
    return failed;
  }
  QJsonParseError parse;
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(fileBytes.data(), static_cast<qsizetype>(fileBytes.size())), &parse);
  if (parse.error != QJsonParseError::NoError) {
    const auto offset = std::min<std::size_t>(static_cast<std::size_t>(parse.offset), fileBytes.size());
    const auto line = std::count(fileBytes.begin(), fileBytes.begin() + offset, '\n') + 1;
    failed.error = QString("Line %1: the file is not valid JSON (%2).").arg(line).arg(parse.errorString());
    return failed;
  }
  if (!document.isArray()) {
    failed.error = QString("The file must hold an array of bookmarks.");
    return failed;
  }
  const QJsonArray array = document.array();
  // A row is kept only once it has been read: room for every element of an array of numbers would
  // take many times the file's size before the first element is refused.
  std::vector<ParsedRow> rows;
  for (qsizetype i = 0; i < array.size(); ++i) {
    ParsedRow row;
    row.where = "bookmark " + QString::number(i + 1);
    if (auto message = ParseObject(array.at(i), row)) {
      failed.error = message->left(1).toUpper() + message->mid(1);
      return failed;
    }
    rows.push_back(std::move(row));
  }
  return exchange::AcceptRows(rows, target);
}

}  // namespace orv
