#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "base/codepage.h"
#include "base/fixed_text.h"
#include "base/format.h"
#include "base/le_bytes.h"

namespace kova {
namespace {

TEST(LittleEndian, ReadsRefuseAnythingPastTheEnd) {
  const uint8_t buf[6] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  uint32_t v = 0xDEAD;
  EXPECT_TRUE(ReadU16LE(buf, 6, 4, v));
  EXPECT_EQ(v, 0x0605u);
  v = 0xDEAD;
  EXPECT_FALSE(ReadU16LE(buf, 6, 5, v));
  EXPECT_FALSE(ReadU32LE(buf, 6, 3, v));
  EXPECT_FALSE(ReadU8(buf, 6, 6, v));
  // An offset near the top of size_t must not wrap around into the buffer.
  EXPECT_FALSE(ReadU32LE(buf, 6, std::numeric_limits<size_t>::max() - 1, v));
  EXPECT_EQ(v, 0xDEADu) << "a failed read leaves the output untouched";
  EXPECT_TRUE(ReadU24LE(buf, 6, 0, v));
  EXPECT_EQ(v, 0x030201u);
}

TEST(LittleEndian, WritesPastTheEndChangeNothing) {
  uint8_t buf[4] = {9, 9, 9, 9};
  EXPECT_FALSE(WriteU32LE(buf, 4, 1, 0x11223344));
  EXPECT_EQ(buf[1], 9);
  EXPECT_TRUE(WriteU32LE(buf, 4, 0, 0x11223344));
  EXPECT_EQ(buf[0], 0x44);
  EXPECT_EQ(buf[3], 0x11);
  uint8_t d[8];
  ASSERT_TRUE(WriteF64LE(d, 8, 0, -2.5));
  double back = 0;
  ASSERT_TRUE(ReadF64LE(d, 8, 0, back));
  EXPECT_EQ(back, -2.5);
  float f = 0;
  ASSERT_TRUE(WriteF32LE(d, 8, 4, 1.5f));
  ASSERT_TRUE(ReadF32LE(d, 8, 4, f));
  EXPECT_EQ(f, 1.5f);
}

TEST(ByteReader, FailureIsStickyAndLengthsAreBounded) {
  ByteWriter w;
  w.U32(7);
  w.LengthPrefixed("hello");
  w.U32(1000);  // a length that claims more than is there
  w.Bytes("ab", 2);
  ByteReader r(w.Data());
  uint32_t n = 0;
  std::string s;
  ASSERT_TRUE(r.U32(n));
  ASSERT_TRUE(r.LengthPrefixed(s, 100));
  EXPECT_EQ(s, "hello");
  EXPECT_FALSE(r.LengthPrefixed(s, 1u << 20));
  EXPECT_EQ(s, "hello");
  EXPECT_FALSE(r.U32(n)) << "after a failure every read fails";
  EXPECT_FALSE(r.Ok());

  ByteReader capped(w.Data());
  capped.U32(n);
  EXPECT_FALSE(capped.LengthPrefixed(s, 4)) << "longer than the caller allows";
}

TEST(FixedText, NulBecomesSpaceAndTrailingSpacesGo) {
  uint8_t field[20] = {'A', 'B', 'C'};
  EXPECT_EQ(FixedText(field, 20), "ABC");
  const uint8_t inner[20] = {'A', 0, 'B', ' ', ' '};
  EXPECT_EQ(FixedText(inner, 20), "A B");
  // Fewer bytes available than the field: the rest reads as empty.
  EXPECT_EQ(FixedText(reinterpret_cast<const uint8_t*>("XY"), 20, 2), "XY");

  uint8_t out[5];
  PadText("TOOLONGTEXT", out, 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), "TOOLO");
  PadText("AB", out, 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 5), "AB   ");
}

TEST(Codepage, Windows1252RoundTripsThroughUtf8AndUtf16) {
  const std::string degree =
      "25\xB0"
      "C \xD8 \x80";
  EXPECT_EQ(Cp1252ToUtf8(degree),
            "25\xC2\xB0"
            "C \xC3\x98 \xE2\x82\xAC");
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(degree)), degree);
  EXPECT_EQ(Cp1252ToUtf16("\x80")[0], u'\u20AC');
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(all)), all);
}

TEST(Codepage, UnrepresentableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");  // a CJK character
  EXPECT_EQ(Utf8ToCp1252("a\xC3"), "a?");        // cut short
  EXPECT_EQ(Utf8ToCp1252("\xFF"
                         "b"),
            "?b");                                   // not UTF-8 at all
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");  // outside the BMP
}

TEST(Format, LongOutputAndPercent) {
  const std::string long_text(1000, 'x');
  EXPECT_EQ(Format("%s|%d%%", long_text.c_str(), 42), long_text + "|42%");
  EXPECT_EQ(Format("%02x/%02x", 0x12, 0x5), "12/05");
}

TEST(ReplaceAll, LeftToRightNeverInsideWhatItPutIn) {
  struct Case {
    const char *text, *from, *to, *result;
  };
  const Case cases[] = {
      {"a VA/COS b VA/COS", "VA/COS", "\r\nVA/COS", "a \r\nVA/COS b \r\nVA/COS"},
      {"aaa", "aa", "b", "ba"},
      {"#01#01", "#01", "", ""},
      {"abc", "", "x", "abc"},
      {"", "a", "b", ""},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    ReplaceAll(text, c.from, c.to);
    EXPECT_EQ(text, c.result) << c.text << " " << c.from;
  }
}

}  // namespace
}  // namespace kova
