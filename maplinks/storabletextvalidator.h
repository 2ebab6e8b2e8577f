#pragma once
// Keeps an edit box to text that a map link record can hold: characters that Windows-1252 cannot
// encode, the field separator and control characters are dropped as they are typed or pasted.
#include <QValidator>

namespace orv {

class StorableTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

// The characters of text that a record can hold, in order.
QString StorableText(const QString& text);

}  // namespace orv
