#include "view/text.h"

#include <QFile>
#include <QTextDocument>
#include <algorithm>
#include <array>

#include "storage/fields.h"

namespace orv {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes, read as their Latin-1 codes.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                            0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> ByteOf(QChar ch) {
  const char16_t u = ch.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == u) return static_cast<char>(0x80 + i);
    if (kHigh[i] == 0 && u == 0x80 + i) return static_cast<char>(u);
  }
  return std::nullopt;
}

// The characters of Windows-1252 bytes, written from out on.
void CharactersInto(std::string_view bytes, QChar* out) {
  // Bytes outside 0x80..0x9F stand for the characters of their own codes: a text without those (most
  // names) is widened byte by byte, which the compiler does many bytes at a time.
  const auto table = [](char c) { return static_cast<unsigned char>(c) - 0x80u < 0x20u; };
  if (std::none_of(bytes.begin(), bytes.end(), table)) {
    for (unsigned char b : bytes) *out++ = QChar(char16_t(b));
    return;
  }
  for (unsigned char b : bytes) {
    const bool high = b >= 0x80 && b <= 0x9F && kHigh[b - 0x80] != 0;
    *out++ = QChar(high ? kHigh[b - 0x80] : char16_t(b));
  }
}

}  // namespace

QString FromBytes(std::string_view bytes) {
  // Made at its exact size: a resized string would keep room to grow.
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  CharactersInto(bytes, text.data());
  return text;
}

void FromBytesInto(std::string_view bytes, QString& text) {
  text.resize(static_cast<qsizetype>(bytes.size()));
  CharactersInto(bytes, text.data());
}

std::optional<std::string> ToBytes(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text) {
    const auto b = ByteOf(ch);
    if (!b) return std::nullopt;
    bytes.push_back(*b);
  }
  return bytes;
}

QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string PathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

bool StorableChar(QChar ch) {
  const auto b = ByteOf(ch);
  return b && *b != FieldSeparator;
}

QString PlainTip(const QString& text) {
  return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpacePre) : text;
}

QString MenuText(QString text) {
  return text.replace('&', QStringLiteral("&&"));
}

}  // namespace orv
