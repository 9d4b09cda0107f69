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

}  // namespace
}  // namespace kova
