// The web's text edge: escaping record texts, reading URLs strictly, the
// CT's place in a URL, the listen address and the base path.

#include <gtest/gtest.h>

#include "web/fleet_request.h"
#include "web/listen_address.h"
#include "web/web_server.h"
#include "web/web_site.h"
#include "web/web_text.h"

namespace kova {
namespace {

TEST(WebText, RecordTextsBecomeSafeHtmlInUtf8) {
  struct Case {
    std::string cp1252, html;
  } cases[] = {
      {"<script>alert('x')</script>", "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;"},
      {"a & b \"q\"", "a &amp; b &quot;q&quot;"},
      {"\xE9t\xE9 \x80", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC"},  // Windows-1252 to UTF-8
      {"a\x01z\x7F", "a\xEF\xBF\xBDz\xEF\xBF\xBD"},          // controls
      {"tab\there\nline", "tab\there\nline"},
      {"\x81\x8D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // bytes 1252 leaves undefined
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HtmlText(c.cp1252), c.html) << c.cp1252;
  }
  // UTF-8 that is not: each bad byte replaced, the good text kept.
  EXPECT_EQ(HtmlEscape("ok\xC3(\xFF\xE2\x82"),
            "ok\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(HtmlEscape("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
}

TEST(WebText, PercentCodingIsStrictAndRoundTrips) {
  struct Case {
    std::string text;
    bool plus, ok;
    std::string out;
  } cases[] = {
      {"a%20b", false, true, "a b"},
      {"a+b", true, true, "a b"},
      {"a+b", false, true, "a+b"},
      {"%2e%2E", false, true, ".."},
      {"%", false, false, ""},
      {"%4", false, false, ""},
      {"%zz", false, false, ""},
      {"%00", false, true, std::string(1, '\0')},
      {"%C3%A9", false, true, "\xC3\xA9"},
  };
  for (const Case& c : cases) {
    std::string out;
    EXPECT_EQ(PercentDecode(c.text, c.plus, out), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(out, c.out) << c.text;
    }
  }
  const std::string all = [] {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
  }();
  std::string back;
  ASSERT_TRUE(PercentDecode(PercentEncode(all), false, back));
  EXPECT_EQ(back, all);
}

TEST(WebText, QueriesAreBoundedAndDecoded) {
  struct Case {
    std::string query;
    bool ok;
    size_t pairs;
  } cases[] = {
      {"", true, 0},
      {"a=1&b=x+y&c", true, 3},
      {"&&a=1&", true, 1},
      {"a=%ZZ", false, 0},
      {"a=%C3", false, 0},  // not UTF-8
      {std::string("a=") + std::string(513, 'x'), false, 0},
      {[] {
         std::string q;
         for (int i = 0; i < 33; ++i) q += "p=1&";
         return q;
       }(),
       false, 0},
  };
  for (const Case& c : cases) {
    QueryParams params;
    std::string why;
    EXPECT_EQ(ParseQuery(c.query, params, why), c.ok) << c.query.substr(0, 40);
    if (c.ok) {
      EXPECT_EQ(params.size(), c.pairs) << c.query;
    }
    if (!c.ok) {
      EXPECT_FALSE(why.empty());
    }
  }
  QueryParams params;
  std::string why;
  ASSERT_TRUE(ParseQuery("s=1&s=2&t=%26", params, why));
  bool found = false;
  EXPECT_EQ(QueryValue(params, "s", &found), "2");
  EXPECT_TRUE(found);
  QueryValue(params, "u", &found);
  EXPECT_FALSE(found);
  EXPECT_EQ(EncodeQuery(params), "s=1&s=2&t=%26");
}

TEST(WebText, ACtsUrlIdRoundTripsAndRefusesWhatIsNoKey) {
  for (const std::string& key : {std::string("KOVA SIM\x1fSN00001"), std::string("A/B\x1f../x?#%"),
                                 std::string("\xE9\x1f<\">")}) {
    const std::string id = CtUrlId(key);
    EXPECT_EQ(id.find_first_of("/?#%<>\" ."), id.find('%')) << id;  // only %XX escapes
    std::string back;
    ASSERT_TRUE(CtKeyFromUrlId(id, back));
    EXPECT_EQ(back, key);
  }
  for (const std::string& id : {std::string(), std::string("NOKEY"), std::string("A%1FB%1FC"),
                                std::string("%"), std::string("A%1F%00"), std::string(1100, 'a')}) {
    std::string key;
    EXPECT_FALSE(CtKeyFromUrlId(id, key)) << id;
  }
  EXPECT_TRUE(IsContentHash(std::string(64, 'a')));
  for (const std::string& h : {std::string(63, 'a'), std::string(64, 'A'), std::string(64, 'g'),
                               std::string(65, '0'), std::string("../") + std::string(61, '0')})
    EXPECT_FALSE(IsContentHash(h)) << h;
}

TEST(WebText, ListenAddressesAndBasePaths) {
  struct Case {
    std::string text;
    bool ok;
    std::string host;
    int port;
  } cases[] = {
      {"127.0.0.1:8470", true, "127.0.0.1", 8470},
      {"[::1]:80", true, "::1", 80},
      {"localhost:0", true, "localhost", 0},
      {"0.0.0.0:65535", true, "0.0.0.0", 65535},
      {"127.0.0.1", false, "", 0},
      {"::1:80", false, "", 0},
      {"127.0.0.1:65536", false, "", 0},
      {"127.0.0.1:-1", false, "", 0},
      {"127.0.0.1:80x", false, "", 0},
      {":80", false, "", 0},
      {"a b:80", false, "", 0},
      {"[]:80", false, "", 0},
  };
  for (const Case& c : cases) {
    ListenAddress a;
    std::string why;
    EXPECT_EQ(ParseListenAddress(c.text, a, why), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(a.host + ":" + std::to_string(a.port), c.host + ":" + std::to_string(c.port));
    }
  }
  EXPECT_EQ(ListenUrl({"::1", 8470}), "http://[::1]:8470");
  for (const std::string p : {"", "/kova", "/a/b-c_d.e~"}) {
    EXPECT_TRUE(IsBasePath(p)) << p;
  }
  for (const std::string p : {"/", "kova", "/kova/", "/a b", "/..", "/a//b", "/%2e", "/a?b"}) {
    EXPECT_FALSE(IsBasePath(p)) << p;
  }
}

TEST(WebText, LoggedPathsCannotForgeLogLines) {
  EXPECT_EQ(LoggedPath("/a?b=1"), "/a?b=1");
  EXPECT_EQ(LoggedPath("/x\r\nGET /forged 200"), "/x\\x0D\\x0AGET /forged 200");
  EXPECT_EQ(LoggedPath("/\xC3\xA9\\"), "/\\xC3\\xA9\\x5C");
  EXPECT_EQ(LoggedPath(std::string(300, 'a')), std::string(200, 'a') + "...");
}

TEST(FleetRequest, ParametersAreReadStrictlyWithWordsForEveryRefusal) {
  struct Case {
    std::string query;
    bool ok;
    std::string why_has;  // part of the refusal
  } cases[] = {
      {"", true, ""},
      {"search=SN0&station=STATION+1&circuit=FEEDER%201&state=warn&overdue=1&due-within=90"
       "&sort=due&desc=1&limit=50&offset=100&format=csv",
       true, ""},
      {"state=ALARM", true, ""},
      {"state=", true, ""},
      {"state=bad", false, "state: \"bad\" is not one of ok, warn, alarm, fail"},
      {"limit=0", false, "limit: \"0\" is not a number from 1 to 1000"},
      {"limit=1001", false, "limit"},
      {"limit=1e3", false, "limit"},
      {"limit=99999999999999999999", false, "limit"},
      {"offset=-1", false, "offset"},
      {"offset=10000001", false, "offset"},
      {"due-within=36501", false, "due-within"},
      {"due-within=x", false, "due-within"},
      {"sort=colour", false, "sort: \"colour\" is not a column: serial"},
      {"desc=maybe", false, "desc"},
      {"overdue=2", false, "overdue"},
      {"format=xml", false, "format"},
      {"page=2", false, "The fleet has no parameter \"page\""},
  };
  for (const Case& c : cases) {
    QueryParams params;
    std::string why;
    ASSERT_TRUE(ParseQuery(c.query, params, why)) << c.query;
    FleetRequest r;
    EXPECT_EQ(ParseFleetRequest(params, r, why), c.ok) << c.query;
    if (!c.ok) {
      EXPECT_NE(why.find(c.why_has), std::string::npos) << why;
    }
  }
  QueryParams params;
  std::string why;
  ASSERT_TRUE(
      ParseQuery("search=%C3%A9&state=warn&overdue=1&sort=due&desc=1&limit=50", params, why));
  FleetRequest r;
  ASSERT_TRUE(ParseFleetRequest(params, r, why));
  EXPECT_EQ(r.filter.text, "\xE9");  // Windows-1252 inside
  EXPECT_EQ(r.filter.min_state, FleetState::kWarn);
  EXPECT_TRUE(r.filter.overdue && r.filter.descending);
  EXPECT_EQ(r.filter.sort, FleetColumn::kDue);
  EXPECT_EQ(r.filter.limit, 50);
  // The links keep every choice and only those.
  EXPECT_EQ(FleetQueryText(r.filter, 150),
            "search=%C3%A9&state=warn&overdue=1&sort=due&desc=1&limit=50&offset=150");
  EXPECT_EQ(FleetQueryText(FleetFilter(), 0), "");
}

}  // namespace
}  // namespace kova
