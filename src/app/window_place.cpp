#include "app/window_place.h"

#include <algorithm>
#include <cstdio>

#include "app/settings_table.h"

namespace kova {

std::string ScreenKeyOf(const PlaceRect& available) {
  return std::to_string(available.width) + "x" + std::to_string(available.height);
}

PlaceRect FitWithin(PlaceRect wanted, const PlaceRect& available, int frame_w, int frame_h) {
  // The size first, so the frame can then be moved wholly inside.
  wanted.width = std::max(1, std::min(wanted.width, available.width - frame_w));
  wanted.height = std::max(1, std::min(wanted.height, available.height - frame_h));
  const int right = available.x + available.width - (wanted.width + frame_w);
  const int bottom = available.y + available.height - (wanted.height + frame_h);
  wanted.x = std::max(available.x, std::min(wanted.x, right));
  wanted.y = std::max(available.y, std::min(wanted.y, bottom));
  return wanted;
}

PlaceRect CentredPlace(int width, int height, const PlaceRect& available, int frame_w,
                       int frame_h) {
  PlaceRect place{0, 0, width, height};
  place = FitWithin(place, available, frame_w, frame_h);
  place.x = available.x + (available.width - place.width - frame_w) / 2;
  place.y = available.y + (available.height - place.height - frame_h) / 2;
  return place;
}

std::string PlaceText(const PlaceRect& p) {
  return std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.width) + "," +
         std::to_string(p.height);
}

std::optional<PlaceRect> ParsePlace(const std::string& text) {
  PlaceRect p;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &p.x, &p.y, &p.width, &p.height, &tail) != 4)
    return std::nullopt;
  if (p.width <= 0 || p.height <= 0) return std::nullopt;
  return p;
}

std::optional<PlaceRect> KeptPlace(const SettingsStore& store, const std::string& window,
                                   const PlaceRect& available) {
  const std::optional<PlaceRect> kept = ParsePlace(LoadText(
      store, SettingRef::OfWindow(SettingId::kWindowPlace, window, ScreenKeyOf(available))));
  if (!kept) return std::nullopt;
  return FitWithin(*kept, available);
}

void KeepPlace(SettingsStore& store, const std::string& window, const PlaceRect& available,
               const PlaceRect& place) {
  StoreText(store, SettingRef::OfWindow(SettingId::kWindowPlace, window, ScreenKeyOf(available)),
            PlaceText(place));
}

}  // namespace kova
