#pragma once
// A text field that takes only what its file field can keep: at most the
// field's characters, each one Windows-1252 can hold. What does not fit is
// refused as it is typed, so nothing is cut or changed on reopening.

#include <QValidator>

class QLineEdit;

namespace kova {

class Cp1252Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// Limits `edit` to `chars` Windows-1252 characters and says so in its tip.
void LimitToFileField(QLineEdit* edit, int chars);

}  // namespace kova
