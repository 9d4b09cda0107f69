#include "assess/curve_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assess/curve_import_model.h"

namespace kova {
namespace {

// The same three points in every layout, as V and A.
const std::vector<CurvePoint> kThree{{100, 0.0012}, {200, 0.0045}, {300, 0.03}};

// ASCII text as a spreadsheet's "Unicode text" saves it.
std::string Utf16Le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) out += std::string{c, '\0'};
  return out;
}

TEST(CurveImport, ReadsTheLayoutsPeopleHave) {
  struct Case {
    const char* what;
    std::string text;
    std::vector<CurvePoint> points;
    std::string tap;  // "-": not given
    double turns;
    Voltmeter voltmeter;
  } cases[] = {
      {"the kept form",
       "tap,X1-X5\r\nturns,400\r\nvoltmeter,rms\r\nvolts,amps\r\n"
       "100,0.0012\r\n200,0.0045\r\n300,0.03\r\n",
       kThree, "X1-X5", 400, Voltmeter::kRms},
      {"bare points, LF", "100,0.0012\n200,0.0045\n300,0.03\n", kThree, "-", 0,
       Voltmeter::kNotGiven},
      {"comments and a lone CR", "# maker\r// sheet 2\r100,0.0012\r200,0.0045\r300,0.03", kThree,
       "-", 0, Voltmeter::kNotGiven},
      {"current first in mA", "Current (mA),Voltage (V)\n1.2,100\n4.5,200\n30,300\n", kThree, "-",
       0, Voltmeter::kNotGiven},
      {"kV and brackets", "U [kV],I [A]\n0.1,0.0012\n0.2,0.0045\n0.3,0.03\n", kThree, "-", 0,
       Voltmeter::kNotGiven},
      {"mV with a slash, rms in the heading",
       "I/A,Vrms/mV\n0.0012,100000\n0.0045,200000\n"
       "0.03,300000\n",
       kThree, "-", 0, Voltmeter::kRms},
      {"units alone", "mA;V\n1,2;100\n4,5;200\n30;300\n", kThree, "-", 0, Voltmeter::kNotGiven},
      {"UTF-8 mark, semicolons, decimal comma",
       "\xEF\xBB\xBFtap;X1\xC2\xB0\nturns;400,5\nVoltage (V avg);Current (A)\n100;0,0012\n"
       "200;0,0045\n300;0,03\n",
       kThree, "X1\xB0", 400.5, Voltmeter::kAverage},
      {"tabs, extra columns, quoted text",
       "\"No.\"\tVoltage V\t\"Ie (mA)\"\tZ (ohm)\n"
       "1\t100\t1.2\t83333\n2\t200\t4.5\t44444\n3\t300\t30\t10000\n",
       kThree, "-", 0, Voltmeter::kNotGiven},
      {"falling voltage, empty rows",
       "voltmeter,average\nV,A\n300,0.03\n,,\n200,0.0045\n"
       "100,0.0012\n",
       kThree, "-", 0, Voltmeter::kAverage},
      {"exponents and signs", "1e2,1.2e-3\n+2.0E2,4.5E-3\n3E+2,.03\n", kThree, "-", 0,
       Voltmeter::kNotGiven},
      {"spreadsheet trailing separators",
       "Voltage;Current;;\n100;0,0012;;\n200;0,0045;;\n"
       "300;0,03;;\n",
       kThree, "-", 0, Voltmeter::kNotGiven},
      {"an empty tap", "tap,\nTURNS,200\n100,0.0012\n200,0.0045\n300,0.03\n", kThree, "", 200,
       Voltmeter::kNotGiven},
      {"UTF-16 mark", Utf16Le("100,.0012\r\n200,.0045\r\n300,.03\r\n"), kThree, "-", 0,
       Voltmeter::kNotGiven},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImportedCurve curve;
    CurveImportError error;
    ASSERT_TRUE(ReadCurveImport(c.text, curve, error)) << error.Text();
    ASSERT_EQ(curve.points.size(), c.points.size());
    for (size_t i = 0; i < c.points.size(); ++i) {
      EXPECT_DOUBLE_EQ(curve.points[i].point.volts, c.points[i].volts) << i;
      EXPECT_DOUBLE_EQ(curve.points[i].point.amps, c.points[i].amps) << i;
    }
    EXPECT_EQ(curve.tap_given, c.tap != "-");
    if (c.tap != "-") {
      EXPECT_EQ(curve.tap, c.tap);
    }
    EXPECT_EQ(curve.turns, c.turns);
    EXPECT_EQ(curve.voltmeter, c.voltmeter);
  }
}

TEST(CurveImport, RefusesNamingTheLineAndWhatWasExpected) {
  struct Case {
    std::string text;
    int line;
    const char* fragment;
  } cases[] = {
      {"V,A\n100,0.01\n200,0.1\n", 3, "the file ends after 2 points; at least 3 expected"},
      {"# nothing\n\n", 2, "the file ends after 0 points"},
      {"100,0.01\n200,0.02\n100,0.03\n300,0.04\n", 3,
       "a second current at 100 V (0.01 A on line 1); one current per voltage expected"},
      {"100,0.01\n200,0.005\n300,0.04\n", 2,
       "0.005 A at 200 V is below 0.01 A at 100 V (line 1); a current that rises"},
      {"100,0.01\n0x1A,0.02\n300,0.04\n", 2, "the voltage \"0x1A\" is not a decimal number"},
      {"100,0.01\n200,inf\n300,0.04\n", 2, "the current \"inf\" is not a decimal number"},
      {"100,0.01\nnan,0.02\n300,0.04\n", 2, "the voltage \"nan\" is not a decimal number"},
      {"100,0.01\n1e999,0.02\n", 2, "the voltage \"1e999\" is not a decimal number"},
      {"100,0.01\n200,0\n", 2, "the current is 0; a voltage and a current above 0 expected"},
      {"100,0.01\n200,-1\n", 2, "the current is -1"},
      {"1,5,0,01\n", 1, "with a decimal comma, semicolons between the fields"},
      {"100;0.01\n200,5;0,02\n300;1.000,5\n", 3, "the current \"1.000,5\" is not a decimal"},
      {"Voltage (V),U (kV),I (A)\n", 1,
       "columns 1 and 2 both name a voltage; one of each expected"},
      {"Voltage (mA),Current\n", 1, "column 1 (\"Voltage (mA)\") names one quantity and gives"},
      {"Voltage (uV),Current (A)\n", 1, "the unit \"uv\" is not one of V, mV, kV"},
      {"Excitation curve of CT 1234\n", 1, "fields separated by a comma, a semicolon or a tab"},
      {"Point,Value\n", 1, "a heading naming a voltage and a current column, or a point,"},
      {"V,A\n100,0.01\nend,\n", 3, "a point with a voltage in column 1 and a current in column 2"},
      {"100,0.01,5\n", 1, "a point (a voltage and a current separated by a comma) expected"},
      {"turns,400\nturns,300\n", 2, "\"turns\" is given twice (first on line 1)"},
      {"turns,many\n", 1, "the turns of the tap as a number above 0 expected"},
      {"voltmeter,peak\n", 1, "the voltmeter as \"rms\" or \"average\" expected"},
      {"tap,X1,X5\n", 1, "tap and one value expected"},
      {"tap,\"X1,X5\"\n", 1, "a tap name of at most 20 characters, without commas"},
      {"\"V,A\n", 1, "a closing double quote expected"},
      {"voltmeter,rms\nV (avg),A\n1,1\n2,2\n3,3\n", 1, "differs from the voltage column's"},
      {std::string("100,0.01\n2\0,1\n", 14), 2, "text expected, not a NUL byte"},
      {std::string(500, '1') + ",1\n", 1, "a line of at most 400 characters expected"},
      {std::string(kMaxReferenceBytes + 1, '#'), 0, "the file is larger than 256 KiB"},
      {"\xFF\xFE\x31", 0, "UTF-16 of an odd length"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    ImportedCurve curve;
    CurveImportError error;
    ASSERT_FALSE(ReadCurveImport(c.text, curve, error));
    EXPECT_EQ(error.line, c.line) << error.Text();
    EXPECT_NE(error.what.find(c.fragment), std::string::npos) << error.Text();
  }
  // More points than a curve holds.
  std::string many;
  for (size_t i = 1; i <= kMaxReferencePoints + 1; ++i) {
    many += std::to_string(i) + "," + std::to_string(i) + "\n";
  }
  ImportedCurve curve;
  CurveImportError error;
  ASSERT_FALSE(ReadCurveImport(many, curve, error));
  EXPECT_EQ(error.Text(), "line 1001: at most 1000 points expected");
}

// The dialog's rules: only what the file lacks is asked for, answers that
// contradict the file are refused, the result reads back as kept.
TEST(CurveImportModel, AsksOnlyForWhatTheFileLacks) {
  const std::string bare = "V,mA\n10,1\n100,3\n1000,600\n";
  struct Case {
    const char* what;
    std::string text;
    std::vector<ImportField> asked;
    std::string tap, turns;
    int voltmeter;
    const char* error;  // empty: stored
  } cases[] = {
      {"everything given", "tap,X1\nturns,400\nvoltmeter,rms\n" + bare, {}, "", "", -1, ""},
      {"all asked and answered",
       bare,
       {ImportField::kTap, ImportField::kTurns, ImportField::kVoltmeter},
       " X2 ",
       "300,5",
       1,
       ""},
      {"the tap may stay empty",
       bare,
       {ImportField::kTap, ImportField::kTurns, ImportField::kVoltmeter},
       "",
       "300",
       0,
       ""},
      {"turns missing",
       bare,
       {ImportField::kTap, ImportField::kTurns, ImportField::kVoltmeter},
       "",
       "",
       0,
       "Turns of the tap is required"},
      {"turns not a number",
       "tap,X\nvoltmeter,rms\n" + bare,
       {ImportField::kTurns},
       "",
       "0x10",
       -1,
       "Turns of the tap: a number above 0 is required"},
      {"voltmeter not chosen",
       "tap,X\nturns,5\n" + bare,
       {ImportField::kVoltmeter},
       "",
       "",
       -1,
       "Voltmeter reading is required"},
      {"a tap with a comma",
       "turns,5\nvoltmeter,rms\n" + bare,
       {ImportField::kTap},
       "A,B",
       "",
       -1,
       "Tap: at most 20 characters, without commas"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ImportedCurve curve;
    CurveImportError read_error;
    ASSERT_TRUE(ReadCurveImport(c.text, curve, read_error)) << read_error.Text();
    CurveImportModel model(curve);
    std::vector<ImportField> asked;
    for (ImportField f : {ImportField::kTap, ImportField::kTurns, ImportField::kVoltmeter}) {
      if (model.Asks(f)) asked.push_back(f);
    }
    EXPECT_EQ(asked, c.asked);
    model.tap = c.tap;
    model.turns = c.turns;
    model.voltmeter_index = c.voltmeter;
    ReferenceCurve ref;
    std::string error;
    EXPECT_EQ(model.Store(ref, error), c.error[0] == '\0') << error;
    EXPECT_EQ(error, c.error);
    if (!error.empty()) continue;
    // Kept in the stored form, it reads back as imported.
    ReferenceCurve again;
    ASSERT_TRUE(ParseReferenceCsv(ReferenceCsv(ref), again, error)) << error;
    ASSERT_EQ(again.points.size(), 3u);
    EXPECT_DOUBLE_EQ(again.points[2].amps, 0.6);
    EXPECT_EQ(again.tap, ref.tap);
    EXPECT_EQ(again.turns, ref.turns);
    EXPECT_EQ(again.average_rectified, ref.average_rectified);
  }
}

TEST(CurveImportModel, SaysWhatTheFileGivesAndPlotsTheDecadesAroundThePoints) {
  ImportedCurve curve;
  CurveImportError error;
  ASSERT_TRUE(ReadCurveImport("turns,400\nV,mA\n12,0.5\n150,3\n980,600\n", curve, error));
  const CurveImportModel model(curve);
  EXPECT_EQ(model.Said(),
            (std::vector<std::string>{"Turns of the tap: 400",
                                      "The file does not give: tap, voltmeter reading"}));
  EXPECT_EQ(curve.read_as,
            (std::vector<std::string>{"separator: comma", "columns: voltage (V), current (mA)"}));
  const std::vector<CurveImportModel::Row> rows = model.Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].line, "3");
  EXPECT_EQ(rows[0].amps, "0.0005");
  const CurveImportModel::Decades d = model.PlotDecades();
  EXPECT_EQ(d.volts_low, 1);
  EXPECT_EQ(d.volts_high, 3);
  EXPECT_EQ(d.amps_low, -4);
  EXPECT_EQ(d.amps_high, 0);
}

}  // namespace
}  // namespace kova
