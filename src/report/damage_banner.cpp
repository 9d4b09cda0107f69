#include "report/damage_banner.h"

#include <algorithm>

namespace kova {

namespace {
constexpr Color kBannerRed{190, 0, 0};
constexpr Color kBannerText{255, 255, 255};
}  // namespace

int DamageBannerHeight(const Rect& page) { return std::max(14, page.Height() / 26); }

void DrawDamageBanner(Surface& s, const Rect& strip, const std::string& text) {
  s.FillRect(strip, kBannerRed);
  int height = strip.Height() * 62 / 100;
  s.SelectFont({"Arial", height, 700, false});
  // A narrow picture takes a smaller font, so the whole line shows.
  const int room = strip.Width() - strip.Height();
  const int wide = s.TextWidth(text);
  if (wide > room && wide > 0 && room > 0) {
    height = std::max(6, static_cast<int>(static_cast<long long>(height) * room / wide));
    s.SelectFont({"Arial", height, 700, false});
  }
  const int line = s.Metrics().height;
  s.SetTextColor(kBannerText);
  s.SetBackgroundColor(kBannerRed);
  const int x = strip.left + std::max(0, (strip.Width() - s.TextWidth(text)) / 2);
  s.TextAt(x, strip.top + std::max(0, (strip.Height() - line) / 2), text);
  s.SetTextColor({0, 0, 0});
  s.SetBackgroundColor({255, 255, 255});
}

}  // namespace kova
