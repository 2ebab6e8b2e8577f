#include "maplinks/storabletextvalidator.h"

#include "view/text.h"

namespace orv {
namespace {

// A record is one line of a settings file, so line breaks and other control characters would cut it.
bool Holdable(QChar ch) {
  return StorableChar(ch) && ch.unicode() >= 0x20 && ch.unicode() != 0x7F;
}

}  // namespace

QString StorableText(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (QChar ch : text) {
    if (Holdable(ch)) kept.append(ch);
  }
  return kept;
}

QValidator::State StorableTextValidator::validate(QString& input, int& pos) const {
  // Characters before the cursor that are dropped move the cursor back with them.
  int droppedBeforeCursor = 0;
  for (int i = 0; i < pos && i < input.size(); ++i) {
    if (!Holdable(input[i])) ++droppedBeforeCursor;
  }
  input = StorableText(input);
  pos -= droppedBeforeCursor;
  return Acceptable;
}

void StorableTextValidator::fixup(QString& input) const {
  input = StorableText(input);
}

}  // namespace orv
