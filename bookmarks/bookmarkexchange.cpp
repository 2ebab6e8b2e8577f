#include "bookmarks/bookmarkexchange.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <unordered_set>

#include "bookmarks/bookmarkexchange_rows.h"
#include "storage/fields.h"
#include "view/text.h"

namespace orv {
namespace exchange {
namespace {

// Offset of the first byte that does not continue valid UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF), or npos.
std::size_t FirstInvalidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    char32_t least;
    if ((c >> 5) == 0x6) {
      length = 2, least = 0x80;
    } else if ((c >> 4) == 0xE) {
      length = 3, least = 0x800;
    } else if ((c >> 3) == 0x1E) {
      length = 4, least = 0x10000;
    } else {
      return i;
    }
    if (i + length > s.size()) return i;
    char32_t code = c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) return i;
      code = (code << 6) | (b & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
    i += length;
  }
  return std::string_view::npos;
}

// Why a text cannot stand in a record, or nothing when it can. One-line texts (name, face, style)
// hold no control characters, as the program's own edit boxes refuse them; a notes line may hold
// tabs and the like (the notes' comma text quotes them) but no line break and no zero byte.
std::optional<QString> Unstorable(const QString& text, const char* column, bool oneLine, std::string& bytes) {
  const auto converted = ToBytes(text);
  if (!converted) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QString ch = text.mid(i, text[i].isHighSurrogate() ? 2 : 1);
      if (!ToBytes(ch)) return QString("%1 in the %2").arg(ch, column);
    }
    return QString("a character outside Windows-1252 in the %1").arg(column);
  }
  bytes = *converted;
  for (char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    if (b == FieldSeparator) {
      return QString("the character %1 in the %2").arg(FromBytes(std::string(1, b)), column);
    }
    if (c == '\r' || c == '\n') return QString("a line break in the %1").arg(column);
    const bool control = c < 0x20 || c == 0x7F;
    if (control && (oneLine || c == 0)) return QString("a control character in the %1").arg(column);
  }
  return std::nullopt;
}

// Converts the texts of row; the reason when one of them cannot be stored.
std::optional<QString> ToStored(const ParsedRow& row, ExchangeRow& out) {
  if (auto why = Unstorable(row.name, "name", true, out.name)) return why;
  if (auto why = Unstorable(row.face, "font face", true, out.face)) return why;
  if (auto why = Unstorable(row.style, "style", true, out.style)) return why;
  out.notes.resize(row.notes.size());
  for (std::size_t i = 0; i < row.notes.size(); ++i) {
    if (auto why = Unstorable(row.notes[i], "notes", false, out.notes[i])) return why;
  }
  // Empty fields cannot be stored: the fields after them would move up and be read as them.
  if (out.face.empty()) return QString("no font face");
  if (out.name.empty() && !out.notes.empty()) return QString("notes but no name");
  return std::nullopt;
}

std::string PresenceKey(const std::string& name, Point world) {
  return name + '\0' + std::to_string(world.x) + ',' + std::to_string(world.y);
}

// At most a line's worth of text for a message; a field may be a megabyte long.
QString Elided(const QString& text) {
  constexpr qsizetype kShown = 60;
  return text.size() <= kShown ? text : text.left(kShown) + "...";
}

QString Described(const ParsedRow& row) {
  return QString("%1, \"%2\" at %3, %4").arg(row.where, Elided(row.name)).arg(row.world.x).arg(row.world.y);
}

}  // namespace

std::optional<QString> CheckFileText(std::string_view& bytes) {
  if (bytes.size() > MaxExchangeFileBytes) {
    return QString("The file is larger than %1 MiB.").arg(MaxExchangeFileBytes >> 20);
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const std::size_t bad = FirstInvalidUtf8(bytes);
  if (bad != std::string_view::npos) {
    const auto line = std::count(bytes.begin(), bytes.begin() + bad, '\n') + 1;
    return QString("The file is not UTF-8 text (line %1). Save it as UTF-8 and import it again.").arg(line);
  }
  return std::nullopt;
}

ImportResult AcceptRows(const std::vector<ParsedRow>& rows, const ImportTarget& target) {
  ImportResult result;
  std::unordered_set<std::string> present;
  present.reserve(target.existing.size() + rows.size());
  for (const auto& e : target.existing) present.insert(PresenceKey(e.name, e.world));
  const QString currentMap = FromBytes(target.currentMap);
  for (const ParsedRow& row : rows) {
    const bool global = row.scope == BookmarkScope::Global;
    if (global ? !target.takeGlobal : !target.takeMap) {
      ++(global ? result.globalNotAskedFor : result.mapNotAskedFor);
      continue;
    }
    if (!global && (currentMap.isEmpty() || row.map.compare(currentMap, Qt::CaseInsensitive) != 0)) {
      result.otherMap.push_back(QString("%1 (%2)").arg(Described(row), Elided(row.map)));
      continue;
    }
    ImportedRow imported;
    ExchangeRow& out = imported.row;
    if (auto why = ToStored(row, out)) {
      result.unstorable.push_back(QString("%1: %2").arg(Described(row), *why));
      continue;
    }
    if (!present.insert(PresenceKey(out.name, row.world)).second) {
      result.present.push_back(Described(row));
      continue;
    }
    out.scope = row.scope;
    out.map = global ? std::string() : target.currentMap;
    out.world = row.world;
    out.visible = row.visible;
    out.size = row.size;
    out.colour = row.colour;
    if (global && target.newId) imported.id = target.newId();
    result.rows.push_back(std::move(imported));
  }
  return result;
}

std::optional<BookmarkScope> ParseScope(const QString& text) {
  if (text == "map") return BookmarkScope::Map;
  if (text == "global") return BookmarkScope::Global;
  return std::nullopt;
}

const char* ScopeText(BookmarkScope scope) {
  return scope == BookmarkScope::Global ? "global" : "map";
}

std::optional<QString> CheckInsideWorld(const QString& where, Point world) {
  if (world.x < 0 || world.x > WorldWidth) {
    return QString("%1: x is %2, outside the world (0 to %3).").arg(where).arg(world.x).arg(WorldWidth);
  }
  if (world.y < 0 || world.y > WorldHeight) {
    return QString("%1: y is %2, outside the world (0 to %3).").arg(where).arg(world.y).arg(WorldHeight);
  }
  return std::nullopt;
}

QString FieldTooLarge(const QString& where, const char* column) {
  return QString("%1: the %2 field is larger than %3 MiB.")
      .arg(where, column)
      .arg(MaxExchangeFieldBytes >> 20);
}

std::string ToUtf8(const std::string& stored) {
  const bool ascii = std::all_of(stored.begin(), stored.end(), [](char c) { return c >= 0; });
  return ascii ? stored : FromBytes(stored).toStdString();
}

}  // namespace exchange

namespace {

// Appends a list of skipped rows under its heading, at most a screenful of them.
void AppendSkipped(QString& text, const std::vector<QString>& rows, const QString& heading) {
  if (rows.empty()) return;
  constexpr std::size_t kShown = 20;
  text += "\n\n" + heading.arg(rows.size());
  for (std::size_t i = 0; i < rows.size() && i < kShown; ++i) text += "\n  " + rows[i];
  if (rows.size() > kShown) text += QString("\n  and %1 more").arg(rows.size() - kShown);
}

bool IsJsonName(const QString& path) {
  return path.endsWith(".json", Qt::CaseInsensitive);
}

}  // namespace

QString ImportResult::Summary() const {
  if (!ok()) return error + "\nNothing was imported.";
  QString text = QString("Imported %1 bookmark(s).").arg(rows.size());
  AppendSkipped(text, unstorable, "Skipped %1 that a bookmark cannot store:");
  AppendSkipped(text, present, "Skipped %1 already present (same name and point):");
  AppendSkipped(text, otherMap, "Skipped %1 of another map than the current one:");
  if (globalNotAskedFor > 0)
    text += QString("\n\nSkipped %1 global bookmark(s): only the current map's were asked for.")
                .arg(globalNotAskedFor);
  if (mapNotAskedFor > 0)
    text +=
        QString("\n\nSkipped %1 map bookmark(s): only the global ones were asked for.").arg(mapNotAskedFor);
  return text;
}

ImportResult ImportBookmarkFile(const QString& path, const ImportTarget& target) {
  ImportResult failed;
  QFile file(path);
  if (QFileInfo(path).size() > static_cast<qint64>(MaxExchangeFileBytes)) {
    failed.error = QString("The file is larger than %1 MiB.").arg(MaxExchangeFileBytes >> 20);
    return failed;
  }
  if (!file.open(QIODevice::ReadOnly)) {
    failed.error = QString("Cannot read \"%1\": %2").arg(path, file.errorString());
    return failed;
  }
  // One byte past the limit is enough to tell a file that grew meanwhile.
  const QByteArray bytes = file.read(static_cast<qint64>(MaxExchangeFileBytes) + 1);
  const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  return IsJsonName(path) ? ImportJson(text, target) : ImportCsv(text, target);
}

QString ExportBookmarkFile(const QString& path, const std::vector<ExchangeRow>& rows) {
  const std::string bytes = IsJsonName(path) ? ExportJson(rows) : ExportCsv(rows);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
      !file.commit()) {
    return QString("Cannot write \"%1\": %2").arg(path, file.errorString());
  }
  return QString();
}

}  // namespace orv
