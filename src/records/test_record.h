#pragma once
// One test of one current transformer: the header typed on the instrument,
// up to 20 tap tests with their excitation curves, burden and insulation
// results, copies of the plan's pass/fail and class settings, and the figures
// the program derives after loading. A plain value: copy it whole.
//
// `rawrecord` is the master copy of the instrument's data; the named header
// and tap fields are decoded from it.

#include <cstddef>
#include <cstdint>
#include <string>

#include "records/plan_blocks.h"
#include "records/record_file.h"

namespace kova {

constexpr int kMaxTaps = 20;
constexpr int kMaxDataPoints = 64;
constexpr int kGraphPointsPerTap = 21;
constexpr size_t kRawRecordSize = 8192;
constexpr int kBurdenRows = 7;
constexpr size_t kHeaderTextChars = 20;

struct GraphPoint {
  double gpAmps = 0;
  double gpVolts = 0;
  double gpAux = 0;  // third number of a GRAPH line: kept, not interpreted
};

// Result of one interpolation on the excitation curve.
struct RcfPoint {
  double V1 = 0, V2 = 0;  // lower and upper bracketing voltages
  double I1 = 0, I2 = 0;
  double P1 = 0, P2 = 0;
  double RCF = 0;
  int found = 0;
  double I = 0;
  double Phs = 0;
  double theta = 0;
  std::string trace;
  std::string rcftext;
};

// One standard burden of the class calculation.
struct BurdenRow {
  double Z = 0, Rb = 0, Xb = 0, Ztot = 0, Vsec = 0;
  std::string name;
  std::string meteringclass;
  double Vsec10 = 0;
  RcfPoint rcf10;
  RcfPoint rcf100;
  std::string rowtext;
};

struct TapTest {
  GraphPoint graph[kGraphPointsPerTap];
  double fKneeVtg10 = 0, fKneeCur10 = 0;
  double fKneeVtg30 = 0, fKneeCur30 = 0;
  double fKneeVtg45 = 0, fKneeCur45 = 0;
  double fTestRatioCur = 0;
  double fTestRatioVtg = 0;
  double fTestRatio = 0;
  double fTestPhase = 0;   // degrees; above 360 means not measured
  double fWindingRes = 0;  // milliohms
  int nNamePlateNum = 1;
  double fNamePlateDen = 1.0;
  int nTapConnection = 0;  // tap code 1..10
  int uTestType = 0;       // bit 0 ratio, 1 resistance, 2 excitation, 3 burden, 4 insulation
  // Data points in decreasing voltage, three parallel arrays.
  double dpAmps[kMaxDataPoints] = {};
  double dpVolts[kMaxDataPoints] = {};
  double dpPhase[kMaxDataPoints] = {};
  std::string szTestNote;  // at most 20 characters
  std::string burdentable;
  double fVoltageRange = 0;
  double fCurrentRange = 0;
  int bDoBurdenTest = 0;
  double fBurdenVA = 0;
  double fCosPhi = 0;
  double fSecCurrent = 0;
  std::string testimagefile;
  std::string tapclass;
  BurdenRow taprows[kBurdenRows];
  std::string taptrace;
};

// The uTestType bits.
enum TestTypeBit : int {
  kRatioTest = 1 << 0,
  kResistanceTest = 1 << 1,
  kExcitationTest = 1 << 2,
  kBurdenTest = 1 << 3,
  kInsulationTest = 1 << 4,
};

// The user's preferences that new and decoded records take; the
// application builds them from its settings and passes them to every read.
struct RecordDefaults {
  int frequency = 0;     // 0 = 60 Hz
  std::string taporder;  // the ten tap names in code order when empty
  int dateformat = 0;    // nonzero: day before month in testdatetime
};

// How a record text is read: a whole record, or one test of a single-test
// reply decoded into the test at `tap_index`; `graph_and_burden_only` keeps
// the binary part already in the record (the tail of a raw instrument file).
struct TextParseOptions {
  bool single_test = false;
  int tap_index = 0;
  bool graph_and_burden_only = false;
};

struct TestRecord {
  int deviceversion = 1;  // 1 KOVA-7100A, 2 other 7100, 3 KOVA-R5A, 4 KOVA-7KA
  std::string testnote;
  int frequency = 0;  // 0 = 60 Hz, other = 50 Hz
  std::string filename;
  std::string testdatetime;
  std::string company, station, circuit, manufacturer, model, serialnumber, operatorname;
  std::string comment;
  int kneetype = 1;
  std::string kneetypestr;
  uint8_t rawrecord[kRawRecordSize] = {};
  int numtests = 1;
  TapTest taps[kMaxTaps];
  int devicefile = 0;
  double B200fBurdenReqCur = 0, B200fBurdenMeasCur = 0, B200fBurdenTestVtg = 0, B200fBurdenZ = 0,
         B200fBurdenPhase = 0, B200fBurdenCosPhi = 0, B200fBurdenMeasVA = 0;
  double B200fMeggerReqV = 0, B200fMeggerMeasV = 0, B200fMeggerL = 0, B200fMeggerOhms = 0;
  std::string taporder;
  std::string fullpath;
  int burdenenabled = 0;
  int insulationenabled = 0;
  std::string imagefile;
  PassFailBlock passfail;
  ResistanceBlock resistance;
  ClassSettings classsettings;
  // Where the file it was read from ended early, if it did: what follows
  // that byte shows reset values, not measurements (every output says so).
  RecordFileEnd fileend;

  // Derived figures (ComputeDerived).
  double Rct75 = 0;
  double Tmeas = 0;
  double Rmeas = 0;
  int classdone = 0;
  double IRated = 0;
  double vmultiple = 0;
  double tenpercent = 0.1;
  std::string classresult;
  std::string classtap;
  std::string tapmode;
  std::string calctext;
  BurdenRow rows[kBurdenRows];

  TestRecord();

  // Empty state; see the field comments for what is left untouched.
  void ResetRecord(const RecordDefaults& defaults);

  // Record file or raw instrument file (reader only), and record text. These
  // decode only: the one read that also computes the derived figures is
  // ReadRecordFile / ReadRecordText in analysis/read_record.h.
  bool DecodeRecordBytes(const uint8_t* data, size_t size, const std::string& path,
                         const RecordDefaults& defaults);
  bool RecordTextParser(const std::string& text, const RecordDefaults& defaults,
                        const TextParseOptions& options = TextParseOptions());
  // Writes the record file atomically; the application's save step
  // (app/save_record.h) adds the automatic export.
  // `why` (optional) says why the file could not be written.
  bool WriteRecordFile(const std::string& path, std::string* why = nullptr);

  // Decodes rawrecord's header and test blocks into the named fields.
  void DecodeRawRecord(const uint8_t* raw, const RecordDefaults& defaults, int singletest = 0,
                       int tapindex = 0);
  // Sets kneetype and kneetypestr from a knee type code.
  void KneeTypeName(int code);

  // Number of data points of this record's model (32, 64, 32, 52).
  int DataPointCount() const;
  // numtests bounded to what the taps array and the layout can hold.
  int UsableTests() const;
};

}  // namespace kova
