#include "view/storabletext.h"

#include "view/text.h"

namespace orv {
namespace {

// A record is one line of a settings file, so line breaks and other control characters would cut it.
bool Holdable(QChar ch) {
  return StorableChar(ch) && ch.unicode() >= 0x20 && ch.unicode() != 0x7F;
}

}  // namespace

bool FitsInRecord(const QString& text) {
  for (QChar ch : text) {
    if (!Holdable(ch)) return false;
  }
  return true;
}

std::string RecordBytes(const QString& text) {
  QString kept;
  for (QChar ch : text) {
    if (Holdable(ch)) kept.append(ch);
  }
  return ToBytes(kept).value_or(std::string());
}

QValidator::State StorableTextValidator::validate(QString& input, int&) const {
  return FitsInRecord(input) ? Acceptable : Invalid;
}

}  // namespace orv
