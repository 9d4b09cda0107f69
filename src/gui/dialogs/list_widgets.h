#pragma once
// Small helpers that show a model's values in widgets without sending the
// widgets' user signals back, so the dialogs can refresh from their model
// after every action.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <string>
#include <vector>

#include "gui/qt_text.h"
#include "plans/value_lists.h"

namespace kova {

inline QStringList ToQList(const std::vector<std::string>& entries) {
  QStringList list;
  for (const std::string& e : entries) list << ToQ(e);
  return list;
}

// The entries and selection of a list; entries are replaced only when they
// changed, so an open drop-down is not disturbed.
inline void ShowChoices(QComboBox* box, const std::vector<std::string>& entries, int selected) {
  const QSignalBlocker block(box);
  const QStringList wanted = ToQList(entries);
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
  if (shown != wanted) {
    box->clear();
    box->addItems(wanted);
  }
  box->setCurrentIndex(selected);
}
inline void ShowChoices(QComboBox* box, const ChoiceList& list) {
  ShowChoices(box, list.entries, list.selected);
}

// A text, set only when it differs so the cursor of a field being typed in
// stays where it is.
inline void ShowText(QLineEdit* edit, const std::string& text) {
  const QString q = ToQ(text);
  if (edit->text() != q) edit->setText(q);
}

inline void ShowCheck(QCheckBox* box, bool checked, bool enabled = true) {
  const QSignalBlocker block(box);
  box->setChecked(checked);
  box->setEnabled(enabled);
}

}  // namespace kova
