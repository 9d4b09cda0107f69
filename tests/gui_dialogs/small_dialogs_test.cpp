#include "gui/dialogs/small_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "gui_dialogs/dialog_app.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

TEST(SmallDialogs, TestNoteHandsBackTheTextWithWindowsLineEnds) {
  App();
  TestNoteDialog dialog("first\r\nsecond");
  EXPECT_EQ(dialog.editor()->toPlainText(), "first\nsecond");
  dialog.editor()->moveCursor(QTextCursor::End);
  QTest::keyClicks(dialog.editor(), " line");
  EXPECT_EQ(dialog.note(), "first\r\nsecond line");
  Snapshot(dialog, "test_note.png");
}

TEST(SmallDialogs, RatioErrorRunFillsDefaultsAndBadNumbersKeepItOpen) {
  App();
  ScriptedPrompter prompter;
  RatioErrorDialog dialog({0, 0, 0, 0}, prompter);
  QTest::mouseClick(dialog.runBox(), Qt::LeftButton);
  EXPECT_EQ(dialog.field(0)->text(), "30");
  EXPECT_EQ(dialog.field(1)->text(), "0.5");
  EXPECT_EQ(dialog.field(2)->text(), "1.0");
  Snapshot(dialog, "current_ratio_error.png");
  dialog.field(0)->setText("900");
  dialog.accept();
  EXPECT_FALSE(dialog.result() == QDialog::Accepted);
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text, "Max Burden must be from 0 to 500 VA.");
  dialog.field(0)->setText("45");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.values(), (RatioErrorValues{1, 45, 0.5, 1.0}));
}

TEST(SmallDialogs, OverrideWritesThePointOnOkOnly) {
  App();
  auto rec = MakeSampleRecord(1, 2);
  const double before = rec->taps[1].dpVolts[31];
  ScriptedPrompter prompter;
  {
    OverrideDialog dialog(*rec, 1, prompter);
    EXPECT_EQ(dialog.field(0)->text(), "0");
    dialog.field(1)->setText("0.5");
    dialog.field(2)->setText("100");
    Snapshot(dialog, "override_test_data.png");
    dialog.reject();
    EXPECT_EQ(rec->taps[1].dpVolts[31], before);
  }
  OverrideDialog dialog(*rec, 1, prompter);
  dialog.field(0)->setText("1");
  dialog.field(1)->setText("0.5");
  dialog.field(2)->setText("3000");
  dialog.accept();
  EXPECT_EQ(prompter.texts().back(), "Voltage must be from 0 to 2621.4 V.");
  EXPECT_EQ(rec->taps[1].dpVolts[31], before);
  dialog.field(2)->setText("100");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(rec->taps[1].dpVolts[31], 100);
  EXPECT_EQ(rec->taps[1].dpAmps[31], 0.5);
}

}  // namespace
}  // namespace kova
