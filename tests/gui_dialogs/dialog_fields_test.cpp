// Every field of the dialogs typed or chosen with a value other than its
// default, then read back from what the dialog hands on: a field whose value
// is not copied back, or copied into its neighbour's place, shows here.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/setup_model.h"
#include "base/format.h"
#include "gui/dialogs/edit_test_dialog.h"
#include "gui/dialogs/plan_editor_dialog.h"
#include "gui/setup_dialog.h"
#include "gui_dialogs/dialog_app.h"
#include "plans/test_plan.h"
#include "records/test_record.h"
#include "support/record_fixtures.h"
#include "support/scripted_prompter.h"

namespace kova {
namespace {

// The eight header fields, "Company:" to "Comments:", each its own text.
const char* const kHeaders[8] = {"Utility A", "Station B", "Circuit C",  "Maker D",
                                 "Model E",   "SN F",      "Operator G", "Comment H"};

TEST(DialogFields, SetupDialogEveryFieldReachesTheStoredSettings) {
  App();
  MemorySettingsStore store;
  AppSettings settings;
  LoadAppSettings(settings, store, TempFolder("setup-fields") + "/");
  CAppInfo info;
  info.Load(store, "/start");
  std::vector<std::string> ports;
  for (int i = 1; i <= 100; ++i) ports.push_back(Format("COM%d:", i));
  ScriptedPrompter prompter;
  SetupDialog dialog(LoadSetup(settings, info, ports, true), prompter);
  ASSERT_EQ(dialog.ports->currentIndex(), 0);
  Choose(dialog.ports, 11);
  dialog.usb->setChecked(false);
  dialog.autodetect->setChecked(false);
  dialog.portrait->click();
  Choose(dialog.frequency, 1);
  Choose(dialog.dateformat, 1);
  Type(dialog.filepath, "/data/records");
  Type(dialog.planpath, "/data/plans");
  Type(dialog.logo, "/data/logo.bmp");
  dialog.xml->setChecked(true);
  dialog.pdf->setChecked(true);
  dialog.excel->setChecked(true);
  dialog.accept();
  ApplySetup(dialog.Values(), true, settings, info, store);

  AppSettings s;
  LoadAppSettings(s, store, "/opt/kova/");
  CAppInfo a;
  a.Load(store, "/elsewhere");
  EXPECT_EQ(a.comport, 12);
  EXPECT_EQ(s.ComPort, 12);
  EXPECT_EQ(a.usbactive, 0);
  EXPECT_EQ(s.DeviceAutoDetect, 0);
  EXPECT_EQ(a.orientation, kPortrait);
  EXPECT_EQ(a.frequency, kFrequency50Hz);
  EXPECT_EQ(a.dateformat, kDateEU);
  EXPECT_EQ(a.filepath, "/data/records");
  EXPECT_EQ(a.planpath, "/data/plans");
  EXPECT_EQ(a.logofile, "/data/logo.bmp");
  EXPECT_EQ(s.AppLogo, "/data/logo.bmp");
  EXPECT_EQ(s.AutoExportXml, 1);
  EXPECT_EQ(s.AutoExportPdf, 1);
  EXPECT_EQ(s.AutoExportExcel, 1);
}

TEST(DialogFields, EditTestEveryFieldReachesTheRecord) {
  App();
  auto rec = MakeSampleRecord(1, 3);
  rec->kneetype = 1;
  rec->frequency = 0;
  rec->classsettings.ctusage = 0;
  ScriptedPrompter prompter;
  EditTestDialog dialog(*rec, -1, prompter, TempFolder("edit-fields"), nullptr);
  for (int i = 0; i < 8; ++i) Type(dialog.header(i), kHeaders[i]);
  Choose(dialog.kneeMarker(), 1);
  Choose(dialog.frequency(), 1);
  Type(dialog.temperature(), "31.5");
  Choose(dialog.ratedCurrent(), 1);  // "1"
  Choose(dialog.ctType(), 2);
  for (int r = 0; r < 3; ++r) {
    Type(dialog.row(r).primary, QString::number(1000 + r));
    Type(dialog.row(r).secondary, QString::number(r + 2));
    Type(dialog.row(r).note, QString("note %1").arg(r));
  }
  dialog.accept();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  const std::string fields[8] = {rec->company,      rec->station, rec->circuit,
                                 rec->manufacturer, rec->model,   rec->serialnumber,
                                 rec->operatorname, rec->comment};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(fields[i], kHeaders[i]) << i;
  EXPECT_EQ(rec->kneetype, 2);
  EXPECT_EQ(rec->frequency, 1);
  EXPECT_DOUBLE_EQ(rec->classsettings.tempcelsius, 31.5);
  EXPECT_DOUBLE_EQ(rec->classsettings.ratedcurrent, 1);
  EXPECT_EQ(rec->classsettings.ctusage, 2);
  for (int r = 0; r < 3; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(rec->taps[r].nNamePlateNum, 1000 + r);
    EXPECT_DOUBLE_EQ(rec->taps[r].fNamePlateDen, r + 2);
    EXPECT_EQ(rec->taps[r].szTestNote, Format("note %d", r));
  }
}

TEST(DialogFields, PlanEditorEveryHeaderAndClassFieldReachesThePlan) {
  App();
  const std::string folder = TempFolder("plan-fields");
  ScriptedPrompter prompter;
  kvTestPlan plan;
  PlanEditorDialog dialog(plan, prompter, folder);
  for (int i = 0; i < 8; ++i) {
    if (dialog.header(i)->isEnabled()) Type(dialog.header(i), kHeaders[i]);
  }
  Choose(dialog.kneeMarker(), 2);
  Type(dialog.temperature(), "40.25");
  Choose(dialog.ctType(), 1);
  const auto& row = dialog.row(0);
  row.box[0]->click();
  Type(row.primary, "1200");
  Type(row.secondary, "1");
  Type(row.note, "first tap");
  prompter.QueueText(folder + "/fields.plan");
  dialog.saveButton()->click();
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  kvTestPlan loaded;
  ASSERT_TRUE(loaded.Load(folder + "/fields.plan"));
  const std::string fields[8] = {
      loaded.company, loaded.station, loaded.circuit, loaded.manufacturer, loaded.model, "", "",
      loaded.comment};
  for (int i : {0, 1, 2, 3, 4, 7}) EXPECT_EQ(fields[i], kHeaders[i]) << i;
  EXPECT_EQ(loaded.kneetype, 3);
  EXPECT_DOUBLE_EQ(loaded.classsettings.tempcelsius, 40.25);
  EXPECT_EQ(loaded.classsettings.ctusage, 1);
  ASSERT_EQ(loaded.numtests, 1);
  EXPECT_EQ(loaded.taps[0].nNamePlateNum, 1200);
  EXPECT_DOUBLE_EQ(loaded.taps[0].fNamePlateDen, 1);
  EXPECT_EQ(loaded.taps[0].szTestNote, "first tap");
}

}  // namespace
}  // namespace kova
