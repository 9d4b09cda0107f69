#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/json.h"

namespace kova {
namespace {

TEST(Json, DoublesReadBackExactlyAndNonFiniteIsNull) {
  JsonValue o = JsonValue::Object();
  o.Set("a", JsonValue::Number(0.1));
  o.Set("b", JsonValue::Number(std::numeric_limits<double>::quiet_NaN()));
  o.Set("c", JsonValue::Integer(-7));
  o.Set("d", JsonValue::Number(3.0));
  o.Set("s", JsonValue::String("tab\there \"q\" \x01"));
  const std::string text = o.Dump();
  EXPECT_EQ(text,
            "{\"a\":0.1,\"b\":null,\"c\":-7,\"d\":3.0,"
            "\"s\":\"tab\\there \\\"q\\\" \\u0001\"}");
  JsonValue back;
  std::string error;
  ASSERT_TRUE(JsonValue::Parse(text, back, error)) << error;
  EXPECT_EQ(back.Find("a")->AsNumber(), 0.1);
  EXPECT_TRUE(back.Find("b")->IsNull());
  EXPECT_EQ(back.Find("c")->AsInteger(), -7);
  EXPECT_EQ(back.Find("s")->AsString(), "tab\there \"q\" \x01");
  EXPECT_EQ(back.Dump(), text);
}

TEST(Json, StrictParserRefusesSloppyText) {
  JsonValue v;
  std::string error;
  for (const char* bad : {"{\"a\":1,}", "[01]", "[1,]", "{'a':1}", "[1] x", "\"\\ud800\"",
                          "[\"a\nb\"]", "", "[1e]", "nul", "{\"a\" 1}", "[1.]"}) {
    EXPECT_FALSE(JsonValue::Parse(bad, v, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  std::string deep(100, '[');
  EXPECT_FALSE(JsonValue::Parse(deep + std::string(100, ']'), v, error)) << "depth is bounded";
  ASSERT_TRUE(JsonValue::Parse(" {\"x\": [true, false, null, 1.5e2, \"\\u00b0\\ud83d\\ude00\"]} ",
                               v, error))
      << error;
  const JsonValue& x = *v.Find("x");
  ASSERT_EQ(x.Size(), 5u);
  EXPECT_EQ(x.At(3).AsNumber(), 150.0);
  EXPECT_EQ(x.At(4).AsString(), "\xC2\xB0\xF0\x9F\x98\x80");
}

TEST(Json, AMemberNamedTwiceIsRefusedAndNamed) {
  JsonValue v;
  std::string error;
  EXPECT_FALSE(JsonValue::Parse("{\"a\":{\"tap\":1,\"tap\":2}}", v, error));
  EXPECT_NE(error.find("\"tap\""), std::string::npos) << error;
  EXPECT_TRUE(JsonValue::Parse("{\"a\":{\"tap\":1},\"b\":{\"tap\":2}}", v, error)) << error;
}

// The error text goes to terminals and message boxes: what it quotes from
// the input never carries control bytes or raw non-ASCII bytes.
TEST(Json, ErrorTextShowsOddBytesEscaped) {
  struct Case {
    const char* name;
    std::string text;
    const char* shown;  // must appear in the error
  };
  const Case cases[] = {
      // The parser names a control byte outside a string itself.
      {"escape byte in a bare word", std::string("{\"a\": \x1b[2J}"), "<U+001B>"},
      {"invalid UTF-8 in a string", std::string("[\"\xFF\xFE\"]"), "\\xFF"},
      {"control byte in a string",
       std::string("[\"a\x07"
                   "b\"]"),
       "<U+0007>"},
      {"Windows-1252 text, not UTF-8", std::string("{\"tap\": \"n\xB0\"}"), "\\xB0"},
      {"non-ASCII member given twice", std::string("{\"\xC3\xA9\":1,\"\xC3\xA9\":2}"),
       "\\xC3\\xA9"},
  };
  for (const Case& c : cases) {
    JsonValue v;
    std::string error;
    ASSERT_FALSE(JsonValue::Parse(c.text, v, error)) << c.name;
    EXPECT_NE(error.find(c.shown), std::string::npos) << c.name << ": " << error;
    for (unsigned char b : error) {
      EXPECT_TRUE(b >= 0x20 && b < 0x7F) << c.name << ": byte " << int{b} << " in " << error;
    }
  }
}

}  // namespace
}  // namespace kova
