#pragma once
// The eight header texts, "Company:" … "Comments:", that the plan editor and
// Edit Test show in one group of two columns, and the model texts they edit.

#include <QGroupBox>

class QLineEdit;

namespace kova {

constexpr int kHeaderFieldCount = 8;

// A group of the eight labelled fields, each limited to `chars` characters.
QGroupBox* AddHeaderFields(QWidget* parent, QLineEdit* (&fields)[kHeaderFieldCount], int chars);

// The model's text behind field `i` (both models name their texts alike).
template <typename Model>
auto& HeaderText(Model& m, int i) {
  decltype(&m.company) texts[kHeaderFieldCount] = {&m.company,      &m.station, &m.circuit,
                                                   &m.manufacturer, &m.model,   &m.serialnumber,
                                                   &m.operatorname, &m.comment};
  return *texts[i];
}

}  // namespace kova
