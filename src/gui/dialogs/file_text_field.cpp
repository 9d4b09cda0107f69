#include "gui/dialogs/file_text_field.h"

#include <QLineEdit>

#include "gui/qt_text.h"

namespace kova {

QValidator::State Cp1252Validator::validate(QString& input, int&) const {
  // A character the code page lacks does not survive the round trip.
  return ToQ(FromQ(input)) == input ? Acceptable : Invalid;
}

void LimitToFileField(QLineEdit* edit, int chars) {
  edit->setMaxLength(chars);
  edit->setValidator(new Cp1252Validator(edit));
  edit->setToolTip(QStringLiteral("At most %1 characters (Western European letters)").arg(chars));
}

}  // namespace kova
