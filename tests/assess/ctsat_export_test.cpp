#include "assess/ctsat_export.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "assess_fixtures.h"
#include "base/file_io.h"
#include "base/path.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Above the knee the curve is I = 0.05 (V / 500)^S: S and Vs are exact.
struct Case {
  const char* name;
  double v_hi;  // the highest point
  double knee;  // the record's knee voltage (IEC 10/50)
  bool has_s;
  bool extrapolated;
};

TEST(Ctsat, SlopeAndVoltageAtTenAmperes) {
  const double s = 20;
  const double vs = 500 * std::pow(10 / 0.05, 1 / s);  // I = 10 A
  const Case cases[] = {
      {"curve reaches 10 A", 700, 400, true, false},
      {"curve stops short of 10 A", 600, 400, true, true},
      {"no knee", 600, 0, false, false},
      {"knee above every point", 600, 650, false, false},
  };
  for (const Case& c : cases) {
    auto rec = CurveRecord(PowerLaw(500, 0.05, s), 300, c.v_hi, 40);
    rec->kneetype = 3;
    TapTest& tap = rec->taps[0];
    tap.fKneeVtg10 = c.knee;
    tap.fTestRatio = 400.2;
    tap.fWindingRes = 1500;  // at 75 degC
    const std::vector<CtsatRow> rows = CtsatRows(*rec);
    ASSERT_EQ(rows.size(), 1u);
    const CtsatRow& r = rows[0];
    EXPECT_EQ(r.has_s, c.has_s) << c.name;
    if (c.has_s) {
      EXPECT_NEAR(r.s, s, 1e-9) << c.name;
    }
    const bool reaches = c.v_hi >= vs;
    EXPECT_EQ(r.has_vs, c.has_s || reaches) << c.name;
    if (r.has_vs) {
      EXPECT_NEAR(r.vs, vs, 1e-9 * vs) << c.name;
      EXPECT_EQ(r.vs_extrapolated, c.extrapolated) << c.name;
    }
    EXPECT_TRUE(r.n_measured);
    EXPECT_DOUBLE_EQ(r.n, 400.2);
    EXPECT_NEAR(r.rw, 1.5, 1e-12);
  }
}

TEST(Ctsat, CsvNamesUnitsAndMarksMissingValues) {
  auto rec = CurveRecord(PowerLaw(500, 0.05, 20), 300, 600, 40);
  rec->kneetype = 3;
  rec->taps[0].fKneeVtg10 = 400;
  rec->taps[0].uTestType = kExcitationTest;  // no ratio, no resistance
  rec->taps[0].nNamePlateNum = 400;
  rec->taps[0].fNamePlateDen = 5;
  const std::string csv = CtsatCsv(*rec);
  EXPECT_EQ(csv,
            "Test,Tap,S,Vs (V rms at 10 A),Vs extrapolated,N (turns ratio),N source,"
            "Rw at 75 degC (ohm)\r\n"
            "1,X1-X5,20.000,651.66,yes,80.0000,nameplate,N/A\r\n");
  const std::string folder = TempFolder("ctsat");
  const std::string path = CtsatExportPath(PathJoin(folder, "a.test"), "");
  EXPECT_EQ(FileNameOf(path), "a.ctsat.csv");
  ASSERT_TRUE(ExportCtsat(*rec, path));
  std::string back;
  ASSERT_TRUE(ReadFileText(path, back));
  EXPECT_EQ(back, csv);
}

}  // namespace
}  // namespace kova
