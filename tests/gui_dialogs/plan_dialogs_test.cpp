#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "analysis/read_record.h"
#include "analysis/taps.h"
#include "app/record_document.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/dialogs/pass_fail_dialog.h"
#include "gui/dialogs/plan_editor_dialog.h"
#include "gui/dialogs/small_dialogs.h"
#include "gui_dialogs/dialog_app.h"
#include "plans/test_plan.h"
#include "records/test_record.h"
#include "report/display_test.h"
#include "report/recording_surface.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

QStringList Entries(QComboBox* box) {
  QStringList list;
  for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
  return list;
}

// The rows of the plan editor by tap position.
constexpr int kRowX1X5 = 0, kRowX1X2 = 3, kRowX2X4 = 5;

TEST(PlanEditorDialog, ThreeTapPlanSavesAndReloadsIntoTheSameFields) {
  App();
  const std::string folder = TempFolder("plan_editor_dialog");
  const std::string path = folder + "/three.plan";
  ScriptedPrompter prompter;
  kvTestPlan plan;
  PlanEditorDialog dialog(plan, prompter, folder);
  EXPECT_TRUE(dialog.instrument(kChoice7100BC)->isChecked());
  EXPECT_FALSE(dialog.header(5)->isEnabled());  // "SN:"
  EXPECT_EQ(dialog.temperature()->text(), "25.00");
  EXPECT_EQ(dialog.orderList()->item(0, 1)->text(), "X1-X2");

  Type(dialog.header(0), "Northern Grid");
  Type(dialog.header(7), "bay 4");
  const auto& x15 = dialog.row(kRowX1X5);
  x15.box[1]->click();  // excitation enables the winding box
  ASSERT_TRUE(x15.box[2]->isEnabled());
  x15.box[2]->click();
  x15.box[0]->click();
  EXPECT_TRUE(x15.edit->isEnabled());
  Type(x15.primary, "600");
  Type(x15.secondary, "5");
  const auto& x12 = dialog.row(kRowX1X2);
  x12.box[0]->click();
  Type(x12.primary, "100");
  Type(x12.secondary, "5");
  Type(x12.note, "check polarity");
  const auto& x24 = dialog.row(kRowX2X4);
  x24.box[1]->click();
  Choose(x24.voltage, 3);  // 1200 V: the current list shrinks and "1" is chosen
  EXPECT_EQ(Entries(x24.current), QStringList({"0.2", "0.5", "1", "2"}));
  EXPECT_EQ(x24.current->currentText(), "1");
  Choose(x24.current, 3);
  // The order list: X1-X4 up one place.
  dialog.orderList()->setCurrentCell(2, 1);
  dialog.upButton()->click();
  EXPECT_EQ(dialog.orderList()->item(1, 1)->text(), "X1-X4");
  // Pass / Fail changes the plan's limits once that dialog ends with OK.
  dialog.setDialogRunner([](QDialog& child) {
    auto& pf = dynamic_cast<PassFailDialog&>(child);
    pf.enableBox()->setChecked(true);
    pf.kneeVoltage(kRowX1X5)->setText("220.7");
    pf.accept();
    return child.result();
  });
  dialog.passFailButton()->click();
  Snapshot(dialog, "test_plan.png");

  prompter.QueueText(path);
  dialog.saveButton()->click();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.savedPath(), path);
  EXPECT_EQ(plan.numtests, 3);

  kvTestPlan loaded;
  ASSERT_TRUE(loaded.Load(path));
  EXPECT_EQ(loaded.company, "Northern Grid");
  EXPECT_EQ(loaded.comment, "bay 4");
  ASSERT_EQ(loaded.numtests, 3);
  struct Expected {
    const char* tap;
    int flags;
    double primary, secondary, volts, amps;
  } expected[] = {// rows whose lists were not touched keep the nearest entries to 0
                  {"X1-X5", 7, 600, 5, 50, 0.2},
                  {"X1-X2", 1, 100, 5, 50, 0.2},
                  {"X2-X4", 4, 0, 0, 1200, 2}};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(expected[k].tap);
    const PlanTap& tap = loaded.taps[k];
    EXPECT_EQ(TapNameFromCode(tap.tapid + 1), expected[k].tap);
    EXPECT_EQ(tap.uTestType, expected[k].flags);
    EXPECT_EQ(tap.nNamePlateNum, expected[k].primary);
    EXPECT_EQ(tap.fNamePlateDen, expected[k].secondary);
    EXPECT_EQ(tap.fVoltageRange, expected[k].volts);
    EXPECT_EQ(tap.fCurrentRange, expected[k].amps);
  }
  EXPECT_EQ(loaded.taps[1].szTestNote, "check polarity");
  EXPECT_EQ(loaded.passfail.pfenable, 1);
  EXPECT_EQ(loaded.passfail.pfkneevoltage[kRowX1X5], 220);
  EXPECT_EQ(loaded.taporder.substr(0, 18), "X1-X2,X1-X4,X1-X3,");

  // Modifying the saved plan shows the same controls.
  PlanEditorDialog again(loaded, prompter, folder);
  EXPECT_EQ(again.header(0)->text(), "Northern Grid");
  EXPECT_EQ(again.row(kRowX1X5).primary->text(), "600");
  EXPECT_EQ(again.row(kRowX1X5).secondary->text(), "5.0");
  EXPECT_TRUE(again.row(kRowX1X5).box[2]->isChecked());
  EXPECT_TRUE(again.row(kRowX1X2).box[0]->isChecked());
  EXPECT_FALSE(again.row(kRowX1X2).box[1]->isChecked());
  EXPECT_EQ(again.row(kRowX1X2).note->text(), "check polarity");
  EXPECT_EQ(again.row(kRowX2X4).voltage->currentText(), "1200");
  EXPECT_EQ(again.row(kRowX2X4).current->currentText(), "2");
  EXPECT_EQ(again.orderList()->item(1, 1)->text(), "X1-X4");
  // Saving onto the file: Cancel at the question writes nothing and keeps
  // the editor open.
  prompter.QueueText(path);
  prompter.QueueAnswer(Answer::Cancel);
  again.saveButton()->click();
  EXPECT_NE(again.result(), QDialog::Accepted);
  EXPECT_EQ(prompter.texts().back(), OverwriteQuestion(path));
}

TEST(FileTextFields, TakeOnlyWhatTheFileKeeps) {
  App();
  ScriptedPrompter prompter;
  kvTestPlan plan;
  PlanEditorDialog editor(plan, prompter, "");
  auto rec = MakeSampleRecord(1, 2);
  EditTestDialog edit(*rec, -1, prompter, "", PlanRunner());
  QLineEdit* fields[] = {editor.header(0), editor.row(1).note, edit.header(2), edit.row(0).note};
  for (QLineEdit* field : fields) {
    field->clear();
    // "Ł" has no place in the code page the files use: it is refused as
    // typed, "é" is kept; nothing past the field's 20 characters goes in.
    for (QChar c : QString::fromUtf8("Caf\u00e9 \u0141\u00f3dz 0123456789ABCDEFGH"))
      field->insert(QString(c));  // one character at a time, as typed
    EXPECT_EQ(field->text(), QString::fromUtf8("Caf\u00e9 \u00f3dz 0123456789A"));
  }
}

TEST(PlanEditorDialog, UndoAndRedoStepThroughActionsAndTypingCountsAsOne) {
  App();
  ScriptedPrompter prompter;
  kvTestPlan plan;
  PlanEditorDialog dialog(plan, prompter, TempFolder("plan_editor_undo"));
  dialog.show();  // the keys reach an active window only
  QApplication::setActiveWindow(&dialog);
  EXPECT_FALSE(dialog.CanUndo());
  dialog.instrument(kChoiceR5)->click();
  EXPECT_EQ(Entries(dialog.row(0).voltage), QStringList({"50", "250", "500", "1500"}));
  Type(dialog.header(0), "abc");
  dialog.columnBox(1)->click();  // every excitation box
  for (int r = 0; r < kPlanRows; ++r) EXPECT_TRUE(dialog.row(r).box[1]->isChecked());
  EXPECT_FALSE(dialog.row(0).box[2]->isEnabled());  // no winding test on a KOVA-R5

  QTest::keyClick(dialog.columnBox(1), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(dialog.row(0).box[1]->isChecked());
  EXPECT_EQ(dialog.header(0)->text(), "abc");
  ASSERT_TRUE(dialog.Undo());  // the three typed letters go at once
  EXPECT_EQ(dialog.header(0)->text(), "");
  ASSERT_TRUE(dialog.Undo());
  EXPECT_TRUE(dialog.instrument(kChoice7100BC)->isChecked());
  EXPECT_EQ(Entries(dialog.row(0).voltage), QStringList({"50", "300", "500", "1200", "2000"}));
  EXPECT_FALSE(dialog.Undo());
  QTest::keyClick(dialog.columnBox(1), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_TRUE(dialog.instrument(kChoiceR5)->isChecked());
  // A new action after undo drops what could be redone.
  dialog.instrument(kChoice7100)->click();
  EXPECT_FALSE(dialog.CanRedo());
}

TEST(PlanEditorDialog, PresetsAndTheOneAmpWarningReachTheWidgets) {
  App();
  ScriptedPrompter prompter;
  kvTestPlan plan;
  PlanEditorDialog dialog(plan, prompter, TempFolder("plan_editor_presets"));
  Choose(dialog.autoNamePlate(), 2);                // "1200:5 (C57.13)"
  EXPECT_EQ(dialog.row(6).primary->text(), "100");  // X2-X3
  EXPECT_EQ(dialog.row(6).secondary->text(), "5");
  EXPECT_TRUE(dialog.multiTap()->isChecked());
  EXPECT_FALSE(dialog.ratedCurrent()->isEnabled());
  EXPECT_TRUE(dialog.row(0).box[1]->isChecked());
  EXPECT_TRUE(dialog.row(0).box[2]->isChecked());

  dialog.instrument(kChoice7100)->click();
  dialog.setDialogRunner([](QDialog& child) {
    auto& ratio = dynamic_cast<RatioErrorDialog&>(child);
    ratio.runBox()->click();
    ratio.accept();
    return child.result();
  });
  ASSERT_TRUE(dialog.row(0).edit->isEnabled());
  dialog.row(0).edit->click();
  EXPECT_EQ(prompter.texts().back(), "Warning: Excitation current will be set to 1 AMP");
  EXPECT_EQ(dialog.row(0).current->currentText(), "1");
  EXPECT_FALSE(dialog.row(0).current->isEnabled());
}

TEST(PassFailDialog, CustomFieldsFollowTheirListsAndBadNumbersKeepItOpen) {
  App();
  ScriptedPrompter prompter;
  PassFailBlock passfail;
  ResistanceBlock resistance;
  resistance.pfresistance[1] = 1.5;
  PassFailDialog dialog(passfail, resistance, prompter);
  EXPECT_EQ(dialog.resistance(1)->text(), "1.50");
  EXPECT_EQ(dialog.kneeVoltage(0)->text(), "");
  Choose(dialog.list(PassFailDialog::kRatioDeviation), 2);  // "User Defined %"
  Snapshot(dialog, "pass_fail_setup.png");
  EXPECT_TRUE(dialog.customRatio()->isVisible());
  EXPECT_FALSE(dialog.customResistance()->isVisible());
  Type(dialog.customRatio(), "995");
  EXPECT_EQ(dialog.customRatio()->text(), "99");
  dialog.customResistance()->setText("x");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(passfail.pfturnsratiodeviation, PassFailBlock().pfturnsratiodeviation);
  dialog.customResistance()->setText("7.5");
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(passfail.pfturnsratiodeviation, 2);
  EXPECT_EQ(passfail.pfcustomdeviation, 99);
  EXPECT_EQ(resistance.pfcustomresdeviation, 7.5);
}

// The texts a report page draws.
bool PageShows(const TestRecord& rec, int page, const std::string& text) {
  ReportDocument document;
  if (!document.SetRecords({rec})) return false;
  RecordingSurface surface;
  CDisplayTest display;
  display.Setup(&surface, rec, false, &document);
  display.DrawPage({0, 0, 1600, 1200}, page);
  return !surface.TextsContaining(text).empty();
}

TEST(EditTestDialog, HeaderAndNameplateEditsReachTheFileAndTheReport) {
  App();
  const std::string folder = TempFolder("edit_test_dialog");
  const std::string path = folder + "/edited.test";
  auto rec = MakeSampleRecord(1, 3);
  ScriptedPrompter prompter;
  EditTestDialog dialog(*rec, -1, prompter, folder, nullptr);
  EXPECT_EQ(dialog.row(1).name->text(),
            QString::fromStdString(TapNameFromCode(rec->taps[1].nTapConnection)));
  EXPECT_FALSE(dialog.row(2).name->isHidden());
  EXPECT_TRUE(dialog.row(3).name->isHidden());
  // No instrument answered: nothing can be measured again.
  EXPECT_FALSE(dialog.row(0).repeat->isEnabled());
  EXPECT_FALSE(dialog.repeatButton()->isEnabled());
  EXPECT_TRUE(dialog.savePlanButton()->isEnabled());

  Type(dialog.header(0), "Edited Utility");
  Type(dialog.row(1).primary, "1234");
  Snapshot(dialog, "edit_test.png");
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(rec->company, "Edited Utility");
  ASSERT_TRUE(rec->WriteRecordFile(path));

  auto reloaded = std::make_unique<TestRecord>();
  ASSERT_TRUE(ReadRecordFile(*reloaded, path, RecordDefaults()));
  EXPECT_EQ(reloaded->company, "Edited Utility");
  EXPECT_EQ(reloaded->taps[1].nNamePlateNum, 1234);
  EXPECT_TRUE(PageShows(*reloaded, 0, "Edited Utility"));
}

TEST(EditTestDialog, ImmediateEditsSurviveCancelAndSaveToTestPlanWritesAPlan) {
  App();
  const std::string folder = TempFolder("edit_test_immediate");
  auto rec = MakeSampleRecord(3, 2);  // a KOVA-R5A record gives a plan of type 1
  ScriptedPrompter prompter;
  EditTestDialog dialog(*rec, kPlanKova7100, prompter, folder, nullptr);
  dialog.setDialogRunner([](QDialog& child) {
    if (auto* ratio = dynamic_cast<RatioErrorDialog*>(&child)) {
      ratio->runBox()->click();
    } else if (auto* note = dynamic_cast<TestNoteDialog*>(&child)) {
      note->editor()->setPlainText("retested after repair");
    }
    child.accept();
    return child.result();
  });
  dialog.row(0).repeat->click();
  dialog.row(0).box[1]->click();
  if (!dialog.row(0).box[1]->isChecked()) dialog.row(0).box[1]->click();
  if (!dialog.row(0).box[2]->isChecked()) dialog.row(0).box[2]->click();
  ASSERT_TRUE(dialog.row(0).edit->isEnabled());
  dialog.row(0).edit->click();
  EXPECT_EQ(prompter.texts().back(), "Warning: Excitation current will be set to 1 AMP");
  dialog.notepadButton()->click();

  const std::string plan_path = folder + "/from_record.plan";
  prompter.QueueText(plan_path);
  dialog.savePlanButton()->click();
  kvTestPlan saved;
  ASSERT_TRUE(saved.Load(plan_path));
  EXPECT_EQ(saved.devicetype, kPlanKovaR5);
  EXPECT_EQ(saved.numtests, 2);
  EXPECT_EQ(saved.taps[0].bDoBurdenTest, 1);

  dialog.reject();
  EXPECT_EQ(rec->taps[0].bDoBurdenTest, 1);
  EXPECT_EQ(rec->taps[0].fBurdenVA, 30);
  EXPECT_EQ(rec->testnote, "retested after repair");
}

}  // namespace
}  // namespace kova
