#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "base/format.h"
#include "support/record_fixtures.h"

namespace kova {
namespace {

// Switches LC_NUMERIC to a German locale (decimal comma) for one test,
// compiling it into a temporary folder when the machine has none.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    old_ = old ? old : "C";
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "de-DE", "German_Germany"}) {
      if (std::setlocale(LC_NUMERIC, name)) return;
    }
#ifndef _WIN32
    const std::string dir = TempFolder("locales");
    const std::string cmd = "localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return;
    setenv("LOCPATH", dir.c_str(), 1);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
#endif
  }
  ~DecimalCommaLocale() { std::setlocale(LC_NUMERIC, old_.c_str()); }
  bool active() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    return std::string(buf) == "1,5";
  }

 private:
  std::string old_;
};

TEST(Format, NumbersTakeADecimalPointUnderADecimalCommaLocale) {
  DecimalCommaLocale german;
  if (!german.active()) GTEST_SKIP() << "no locale with a decimal comma can be made here";
  struct Case {
    std::string got, want;
  } cases[] = {
      {Format("%.1f", 1.5), "1.5"},
      {Format("%8.3f|%-6.2f|", -2.25, 0.5), "  -2.250|0.50  |"},
      {Format("%g %e", 0.125, 1500.0), "0.125 1.500000e+03"},
      {Format("%*.*f", 7, 2, 3.14159), "   3.14"},
      {Format("%s=%d,%u,%05.1f%%", "a,b", -3, 4u, 2.5), "a,b=-3,4,002.5%"},
      {Format("%zu %lld %lu %x %c", size_t{7}, -8LL, 9UL, 255u, 'z'), "7 -8 9 ff z"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, LongOutputIsWrittenWhole) {
  const std::string big(1000, 'x');
  EXPECT_EQ(Format("[%s]%d", big.c_str(), 5), "[" + big + "]5");
}

}  // namespace
}  // namespace kova
