// `kova record compare --reference`: a maker's curve in the layout it comes
// in, with options for what its file does not say.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "assess/assess_fixtures.h"
#include "base/file_io.h"
#include "support/cli_fixture.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

class ReferenceImportCli : public KovaCliTest {
 protected:
  std::string WriteRecord() {
    auto rec = CurveRecord(PowerLaw(20 * std::hypot(10.0, 6.0), 0.6, 6.0), 20, 400);
    TapTest& tap = rec->taps[0];
    tap.nNamePlateNum = 400;
    tap.fNamePlateDen = 1;
    tap.fTestRatio = 400.4;
    tap.fKneeVtg10 = 200;
    tap.fKneeCur10 = 0.6 * std::pow(200 / 233.24, 6.0);
    rec->kneetype = 3;
    Reencode(*rec);
    const std::string path = dir_ + "/r.test";
    EXPECT_TRUE(rec->WriteRecordFile(path));
    return path;
  }
};

TEST_F(ReferenceImportCli, AsksForWhatTheFileLacksAndRefusesWithTheLine) {
  const std::string rec = WriteRecord();
  const std::string sheet = dir_ + "/sheet.csv";
  const std::string lacking =
      "\xEF\xBB\xBF# maker\r\nCurrent (mA);Voltage (V)\r\n3,7;100\r\n"
      "240;200\r\n2600;300\r\n";
  struct Case {
    const char* what;
    std::string file;
    std::vector<std::string> options;
    int exit_code;
    const char* said;  // on standard output when 0, else on standard error
  } cases[] = {
      {"nothing given",
       lacking,
       {},
       1,
       "does not give the turns of its tap or the voltmeter's reading: give --reference-turns N"
       " and --reference-voltmeter rms|average"},
      {"turns given",
       lacking,
       {"--reference-turns", "400"},
       1,
       "does not give the voltmeter's reading: give --reference-voltmeter rms|average"},
      {"all given",
       lacking,
       {"--reference-turns", "400.4", "--reference-voltmeter", "rms", "--reference-tap", "X1-X5"},
       0,
       "Reference curve, Test 1"},
      {"turns not a number",
       lacking,
       {"--reference-turns", "0x10", "--reference-voltmeter", "rms"},
       1,
       "--reference-turns: a number above 0 is required"},
      {"against the file",
       "turns;400\r\nvoltmeter;rms\r\n" + lacking.substr(3),
       {"--reference-turns", "300"},
       1,
       "--reference-turns: the file gives 400 turns"},
      {"a voltmeter the reader does not know",
       lacking,
       {"--reference-voltmeter", "peak"},
       105,
       "--reference-voltmeter"},
      {"two currents at one voltage",
       "turns,400\nvoltmeter,rms\n100,0.0037\n200,0.24\n100,0.05\n",
       {},
       1,
       "not a reference curve: line 5: a second current at 100 V (0.0037 A on line 3)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFileAtomically(sheet, c.file));
    std::vector<std::string> args{"record", "compare", rec, "--reference", sheet};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProgramResult r = Kova(args);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
    const std::string& text = c.exit_code == 0 ? r.out : r.err;
    EXPECT_NE(text.find(c.said), std::string::npos) << text;
  }
  // Without a reference named, the options have nothing to complete.
  const ProgramResult r = Kova({"record", "compare", rec, "--reference-turns", "400"});
  EXPECT_NE(r.exit_code, 0);
  EXPECT_NE(r.err.find("--reference-turns requires --reference"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kova
