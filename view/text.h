#pragma once
// Stored text is 8-bit Windows-1252 bytes, and paths are bytes in the file system's own encoding;
// widgets show QStrings. Conversion happens only here.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

QString FromBytes(std::string_view bytes);
// The same into text, reusing its memory: for converting many texts one after another.
void FromBytesInto(std::string_view bytes, QString& text);
// The bytes of text, or nothing when a character cannot be held in Windows-1252.
std::optional<std::string> ToBytes(const QString& text);
// True when ch can be typed into a stored record: encodable and not the field separator.
bool StorableChar(QChar ch);

// Text shown as it stands in a tooltip, which would take text that looks like markup (a note such as
// "<b>bring rope</b>") for rich text.
QString PlainTip(const QString& text);
// Text shown as it stands in a menu entry, where an "&" would mark the key that chooses the entry.
QString MenuText(QString text);

// A path's bytes as text to show, and the bytes of a path typed or chosen in a dialog.
QString PathText(const std::string& path);
std::string PathBytes(const QString& path);

}  // namespace orv
