#include "gui/dialogs/tap_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <initializer_list>

#include "gui/dialogs/file_text_field.h"
#include "gui/dialogs/list_widgets.h"
#include "gui/dialogs/tap_order_list.h"

namespace kova {
namespace {

// Grid columns of the common widgets; "Nameplate Ratio" spans the primary
// and the secondary.
enum GridColumn {
  kTapColumn = 0,
  kPrimaryColumn = 1,
  kSecondaryColumn = 2,
  kFirstBoxColumn = 3,
  kVoltageColumn = 6,
  kCurrentColumn = 7,
  kEditColumn = 8,
  kNoteColumn = 9,
  kRepeatGridColumn = 10,
};

const char* const kTitles[] = {"Tap",
                               "Nameplate Ratio",
                               "",
                               "Ratio Test",
                               "Excitation Test",
                               "Winding Res Test",
                               "Excitation\nVoltage",
                               "Excitation\nCurrent",
                               "Current Ratio\nError Calculation",
                               "Test Note",
                               "Repeat Test"};

}  // namespace

TapGrid::TapGrid(int rows, unsigned columns, TapGridActions actions, QWidget* parent)
    : QGroupBox(parent), rows_(static_cast<size_t>(rows)), actions_(std::move(actions)) {
  Build(columns);
  Connect();
}

void TapGrid::Build(unsigned columns) {
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(6);
  const int last_column = columns & kRepeatColumn ? kRepeatGridColumn : kNoteColumn;
  for (int c = 0; c <= last_column; ++c) {
    if (c == kSecondaryColumn) continue;
    auto* label = new QLabel(kTitles[c], this);
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, 0, c, 1, c == kPrimaryColumn ? 2 : 1);
  }
  int line = 1;
  if (columns & kColumnBoxes) {
    grid->addWidget(new QLabel("Primary : Secondary", this), line, kPrimaryColumn, 1, 2,
                    Qt::AlignCenter);
    for (int c = 0; c < 3; ++c) {
      column_[c] = new QCheckBox(this);
      grid->addWidget(column_[c], line, kFirstBoxColumn + c, Qt::AlignCenter);
    }
    ++line;
  }
  for (TapRowWidgets& w : rows_) {
    w.name = new QLabel(this);
    w.primary = new QLineEdit(this);
    w.secondary = new QLineEdit(this);
    w.primary->setFixedWidth(70);
    w.secondary->setFixedWidth(56);
    grid->addWidget(w.name, line, kTapColumn);
    grid->addWidget(w.primary, line, kPrimaryColumn);
    grid->addWidget(w.secondary, line, kSecondaryColumn);
    for (int c = 0; c < 3; ++c) {
      w.box[c] = new QCheckBox(this);
      grid->addWidget(w.box[c], line, kFirstBoxColumn + c, Qt::AlignCenter);
    }
    w.voltage = new QComboBox(this);
    w.current = new QComboBox(this);
    w.voltage->setMinimumWidth(80);
    w.current->setMinimumWidth(70);
    grid->addWidget(w.voltage, line, kVoltageColumn);
    grid->addWidget(w.current, line, kCurrentColumn);
    w.edit = PlainButton("Edit", this);
    grid->addWidget(w.edit, line, kEditColumn, Qt::AlignCenter);
    w.note = new QLineEdit(this);
    w.note->setMinimumWidth(160);
    LimitToFileField(w.note, static_cast<int>(kTapNoteChars));
    grid->addWidget(w.note, line, kNoteColumn);
    if (columns & kRepeatColumn) {
      w.repeat = new QCheckBox(this);
      grid->addWidget(w.repeat, line, kRepeatGridColumn, Qt::AlignCenter);
    }
    ++line;
  }
  grid->setRowStretch(line, 1);  // hidden rows leave the shown ones at the top
}

void TapGrid::Connect() {
  // Every action goes through here: nothing is reported while the grid shows
  // the model, so a shown value never comes back as if typed.
  auto act = [this](auto&& call) {
    if (!showing_) call();
  };
  for (int c = 0; c < 3; ++c) {
    if (!column_[c]) continue;
    connect(column_[c], &QCheckBox::clicked, this, [this, act, c](bool on) {
      act([&] {
        if (actions_.whole_column) actions_.whole_column(kTestColumns[c], on);
      });
    });
  }
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    const TapRowWidgets& w = rows_[r];
    const std::pair<QLineEdit*, TapText> texts[] = {{w.primary, TapText::kPrimary},
                                                    {w.secondary, TapText::kSecondary},
                                                    {w.note, TapText::kNote}};
    for (const auto& [edit, field] : texts) {
      connect(edit, &QLineEdit::textChanged, this, [this, act, r, field = field](const QString& t) {
        act([&] {
          if (actions_.typed) actions_.typed(r, field, FromQ(t));
        });
      });
    }
    for (int c = 0; c < 3; ++c) {
      connect(w.box[c], &QCheckBox::clicked, this, [this, act, r, c](bool on) {
        act([&] {
          if (actions_.test) actions_.test(r, kTestColumns[c], on);
        });
      });
    }
    if (w.repeat) {
      connect(w.repeat, &QCheckBox::clicked, this, [this, act, r](bool on) {
        act([&] {
          if (actions_.repeat) actions_.repeat(r, on);
        });
      });
    }
    connect(w.voltage, qOverload<int>(&QComboBox::activated), this, [this, act, r](int entry) {
      act([&] {
        if (actions_.voltage) actions_.voltage(r, entry);
      });
    });
    connect(w.current, qOverload<int>(&QComboBox::activated), this, [this, act, r](int entry) {
      act([&] {
        if (actions_.current) actions_.current(r, entry);
      });
    });
    connect(w.edit, &QPushButton::clicked, this, [this, act, r] {
      act([&] {
        if (actions_.ratio_error) actions_.ratio_error(r);
      });
    });
  }
}

void TapGrid::Show(const TapRow* rows, int count) {
  showing_ = true;
  for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
    TapRowWidgets& w = rows_[r];
    const bool shown = r < count;
    for (QWidget* widget : {static_cast<QWidget*>(w.name), static_cast<QWidget*>(w.primary),
                            static_cast<QWidget*>(w.secondary), static_cast<QWidget*>(w.box[0]),
                            static_cast<QWidget*>(w.box[1]), static_cast<QWidget*>(w.box[2]),
                            static_cast<QWidget*>(w.voltage), static_cast<QWidget*>(w.current),
                            static_cast<QWidget*>(w.edit), static_cast<QWidget*>(w.note),
                            static_cast<QWidget*>(w.repeat)}) {
      if (widget) widget->setVisible(shown);
    }
    if (!shown) continue;
    const TapRow& row = rows[r];
    w.name->setText(ToQ(row.label));
    ShowText(w.primary, row.primary);
    ShowText(w.secondary, row.secondary);
    w.primary->setEnabled(row.nameplate_enabled);
    w.secondary->setEnabled(row.nameplate_enabled);
    ShowCheck(w.box[0], row.ratio, row.tests_enabled);
    ShowCheck(w.box[1], row.excitation, row.tests_enabled);
    ShowCheck(w.box[2], row.winding, row.winding_enabled);
    ShowChoices(w.voltage, row.voltage);
    w.voltage->setEnabled(row.tests_enabled);
    ShowChoices(w.current, row.current);
    w.current->setEnabled(row.current_enabled);
    w.edit->setEnabled(row.edit_enabled);
    ShowText(w.note, row.note);
    if (w.repeat) ShowCheck(w.repeat, row.repeat, row.repeat_enabled);
  }
  for (int c = 0; c < 3; ++c) {
    if (!column_[c]) continue;
    bool all = count > 0;
    for (int r = 0; r < count; ++r) all = all && rows[r].Box(kTestColumns[c]);
    ShowCheck(column_[c], all);
  }
  showing_ = false;
}

}  // namespace kova
