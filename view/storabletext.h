#pragma once
// Keeps a one-line edit box (a bookmark's name, a map link's text) to text that a record can hold. A
// typed character or a pasted text with anything a record cannot hold (a character Windows-1252
// cannot encode, the field separator, a line break or another control character) is refused whole,
// so the text is never changed behind the user's back.
#include <QValidator>
#include <string>

namespace orv {

class StorableTextValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// True when every character of text can stand in a one-line record.
bool FitsInRecord(const QString& text);
// The Windows-1252 bytes of the characters of text that a record can hold, in order.
std::string RecordBytes(const QString& text);

}  // namespace orv
