#include "records/test_record.h"

#include <cstring>

#include "records/tap_names.h"

namespace kova {

TestRecord::TestRecord() { ResetRecord(RecordDefaults()); }

void TestRecord::ResetRecord(const RecordDefaults& defaults) {
  kneetype = 1;
  numtests = 1;
  devicefile = 0;
  frequency = defaults.frequency;
  classdone = 0;
  testdatetime.clear();
  company.clear();
  station.clear();
  circuit.clear();
  manufacturer.clear();
  model.clear();
  serialnumber.clear();
  operatorname.clear();
  comment.clear();
  passfail = PassFailBlock();
  resistance = ResistanceBlock();
  classsettings = ClassSettings();
  fileend = RecordFileEnd();
  passfail.pfcustomdeviation = 1;
  classsettings.tempcelsius = 25.0;
  classsettings.ratedcurrent = 5.0;
  taporder = defaults.taporder.empty() ? DefaultTapOrder() : defaults.taporder;
  B200fBurdenReqCur = B200fBurdenMeasCur = B200fBurdenTestVtg = B200fBurdenZ = 0;
  B200fBurdenPhase = B200fBurdenCosPhi = B200fBurdenMeasVA = 0;
  B200fMeggerReqV = B200fMeggerMeasV = B200fMeggerL = B200fMeggerOhms = 0;
  burdenenabled = 0;
  insulationenabled = 0;
  for (TapTest& tap : taps) {
    for (GraphPoint& gp : tap.graph) gp = GraphPoint();
    tap.burdentable.clear();
    tap.fVoltageRange = tap.fCurrentRange = 0;
    tap.bDoBurdenTest = 0;
    tap.fBurdenVA = tap.fCosPhi = tap.fSecCurrent = 0;
    tap.fKneeVtg10 = tap.fKneeCur10 = tap.fKneeVtg30 = tap.fKneeCur30 = 0;
    tap.fKneeVtg45 = tap.fKneeCur45 = 0;
    tap.fTestRatioCur = tap.fTestRatioVtg = tap.fTestRatio = tap.fTestPhase = 0;
    tap.fWindingRes = 0;
    tap.nTapConnection = 0;
    tap.uTestType = 0;
    tap.nNamePlateNum = 1;
    tap.fNamePlateDen = 1.0;
    tap.szTestNote.clear();
  }
}

}  // namespace kova
