#include "gui/dialogs/header_fields.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "gui/dialogs/file_text_field.h"

namespace kova {

QGroupBox* AddHeaderFields(QWidget* parent, QLineEdit* (&fields)[kHeaderFieldCount], int chars) {
  static const char* const kLabels[kHeaderFieldCount] = {
      "Company:", "Station:", "Circuit:", "Mfr:", "Model:", "SN:", "Operator:", "Comments:"};
  auto* box = new QGroupBox(parent);
  auto* grid = new QGridLayout(box);
  for (int i = 0; i < kHeaderFieldCount; ++i) {
    fields[i] = new QLineEdit(box);
    const int column = i < 4 ? 0 : 2;
    grid->addWidget(new QLabel(kLabels[i], box), i % 4, column);
    grid->addWidget(fields[i], i % 4, column + 1);
    LimitToFileField(fields[i], chars);
  }
  return box;
}

}  // namespace kova
