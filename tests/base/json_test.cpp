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

// The error text goes to terminals and message boxes: it says where the
// text went wrong, by line and column, and never quotes the text itself (it
// may carry control bytes, broken UTF-8 or anything else of anybody's).
TEST(Json, ErrorTextSaysWhereAndQuotesNothing) {
  struct Case {
    const char* name;
    std::string text;
    const char* where;  // must appear in the error
  };
  const Case cases[] = {
      {"escape byte in a bare word", std::string("{\"a\": \x1b[2Jsecret}"), "at line 1, column 7"},
      {"a bare word on the second line", std::string("{\n  \"isr\": secret}"),
       "at line 2, column 10"},
      {"invalid UTF-8 in a string", std::string("[\"secret\xFF\xFE\"]"), "at line 1, column 9"},
      {"control byte in a string", std::string("[\"secret\x07\"]"), "at line 1, column 9"},
      {"Windows-1252 text, not UTF-8", std::string("{\"tap\":\n\"secret\xB0\"}"),
       "at line 2, column 8"},
      {"a comma before the end", std::string("[\"secret\",\n\n]"), "at line 3, column 1"},
      {"a number too large", std::string("[1e999999]"), "a number too large"},
      {"text after the value", std::string("[1] secret"), "at line 1, column 5"},
  };
  for (const Case& c : cases) {
    JsonValue v;
    std::string error;
    ASSERT_FALSE(JsonValue::Parse(c.text, v, error)) << c.name;
    EXPECT_NE(error.find(c.where), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(error.find("secret"), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(error.find("999"), std::string::npos) << c.name << ": " << error;
    for (unsigned char b : error) {
      EXPECT_TRUE(b >= 0x20 && b < 0x7F) << c.name << ": byte " << int{b} << " in " << error;
    }
  }
  // A member named twice is named, its odd bytes shown escaped.
  JsonValue v;
  std::string error;
  ASSERT_FALSE(JsonValue::Parse(std::string("{\"\xC3\xA9\":1,\"\xC3\xA9\":2}"), v, error));
  EXPECT_NE(error.find("\"\\xC3\\xA9\""), std::string::npos) << error;
}

}  // namespace
}  // namespace kova
