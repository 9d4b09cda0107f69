// The library's identities, dates, hashes, stored curves and the rows a
// record gives.

#include <gtest/gtest.h>

#include <cmath>

#include "library/content_hash.h"
#include "library/curve_text.h"
#include "library/library_model.h"
#include "library/record_entry.h"
#include "records/tap_names.h"
#include "sim/record_maker.h"

namespace kova {
namespace {

TEST(LibraryModel, IdentityIgnoresCaseAndSurroundingSpaces) {
  const std::pair<std::string, std::string> cases[] = {
      {"  abc-12 ", "ABC-12"},  {"\tx\r\n", "X"}, {"\xe9t\xe9", "\xc9T\xc9"},
      {"\xf7\xff", "\xf7\xff"}, {"a b", "A B"},   {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeIdentityText(in), out) << in;
  EXPECT_EQ(CtKey("Acme ", "sn1"), CtKey("ACME", " SN1"));
  EXPECT_NE(CtKey("AB", "C"), CtKey("A", "BC"));
}

TEST(LibraryModel, SortableTestDate) {
  const std::pair<std::string, std::string> cases[] = {{"03/01/18 09:00:00", "2018-03-01 09:00:00"},
                                                       {"12/31/99 23:59:59", "1999-12-31 23:59:59"},
                                                       {"01/02/69 00:00:00", "2069-01-02 00:00:00"},
                                                       {"13/01/18 09:00:00", ""},
                                                       {"03/01/18 24:00:00", ""},
                                                       {"3/1/18 9:00:00", ""},
                                                       {"", ""},
                                                       {"00/00/00 00:00:00", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(SortableTestDate(in), out) << in;
}

TEST(LibraryModel, Sha256KnownDigests) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"}};
  for (const auto& [in, out] : cases)
    EXPECT_EQ(Sha256Hex(reinterpret_cast<const uint8_t*>(in.data()), in.size()), out) << in.size();
}

TEST(LibraryModel, CurveTextRoundTripsAndRejectsOtherText) {
  const std::vector<CurvePoint> curve = {{0.1, 123.456789012345}, {1e-5, 7}, {3, 0.1 + 0.2}};
  std::vector<CurvePoint> back;
  ASSERT_TRUE(CurveFromText(CurveToText(curve), back));
  ASSERT_EQ(back.size(), curve.size());
  for (size_t i = 0; i < curve.size(); ++i) {
    EXPECT_EQ(back[i].amps, curve[i].amps);
    EXPECT_EQ(back[i].volts, curve[i].volts);
  }
  EXPECT_TRUE(CurveFromText("", back));
  EXPECT_TRUE(back.empty());
  for (const char* bad : {"1", "1 2;", "1 2;3", "a b", "1  2", "1 2;;3 4", "1 nan", "1 2x"}) {
    EXPECT_FALSE(CurveFromText(bad, back)) << bad;
    EXPECT_TRUE(back.empty()) << bad;
  }
}

TEST(LibraryModel, EntryFromASimulatedRecord) {
  SimTestHeader header;
  header.datetime = "07/15/22 13:45:00";
  header.manufacturer = "Acme";
  header.serialnumber = "SN-77";
  header.station = "North";
  const CtModel ct = CtModel::FromSeed(5);
  std::vector<SimTapPlan> taps(2);
  taps[1].tap_code = 1;
  taps[1].test_type = kRatioTest;  // no resistance, no excitation
  auto rec = MeasureTest(SimModel::k7100, ct, header, taps, 5);
  rec->classsettings.tempcelsius = 20.0;

  RecordEntry e;
  EntryFromRecord(*rec, e);
  EXPECT_EQ(e.ct.key, CtKey("ACME", "sn-77"));
  EXPECT_EQ(e.ct.station, "North");
  EXPECT_EQ(e.test_date, "2022-07-15 13:45:00");
  ASSERT_EQ(e.tests.size(), 2u);
  const TestRow& a = e.tests[0];
  EXPECT_EQ(a.tap, TapNameFromCode(4));
  EXPECT_TRUE(a.has_ratio && a.has_resistance);
  EXPECT_NEAR(a.rct75, rec->taps[0].fWindingRes / 1000 * 309.5 / 254.5, 1e-12);
  EXPECT_NEAR(a.ratio_error, (a.measured_ratio - a.nameplate_ratio) / a.nameplate_ratio * 100,
              1e-12);
  ASSERT_GE(a.curve.size(), 2u);
  for (size_t i = 1; i < a.curve.size(); ++i) EXPECT_LT(a.curve[i - 1].volts, a.curve[i].volts);
  const TestRow& b = e.tests[1];
  EXPECT_EQ(b.tap, TapNameFromCode(1));
  EXPECT_FALSE(b.has_resistance);
  EXPECT_TRUE(b.curve.empty());
}

}  // namespace
}  // namespace kova
