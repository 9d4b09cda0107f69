#pragma once
// Where a top-level window opens: within the screen's available area, at
// the size and place it had when it last closed on a screen of that size,
// or at its preferred size (shrunk to fit) in the middle. Kept per window
// and per screen, as "x,y,width,height".

#include <optional>
#include <string>

#include "app/settings_store.h"

namespace kova {

struct PlaceRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PlaceRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// The screen a place was kept for: its available area's size ("1366x728").
std::string ScreenKeyOf(const PlaceRect& available);

// `wanted` moved and, if need be, shrunk so it lies within `available`; the
// window's frame adds `frame_w`/`frame_h` around its contents.
PlaceRect FitWithin(PlaceRect wanted, const PlaceRect& available, int frame_w = 0, int frame_h = 0);

// The preferred size, shrunk to fit, centred in `available`.
PlaceRect CentredPlace(int width, int height, const PlaceRect& available, int frame_w = 0,
                       int frame_h = 0);

std::string PlaceText(const PlaceRect& place);
// "x,y,width,height" with a positive size; none for anything else.
std::optional<PlaceRect> ParsePlace(const std::string& text);

// The kept place of `window` on the screen `available` describes, fitted
// into it; none when nothing usable is kept.
std::optional<PlaceRect> KeptPlace(const SettingsStore& store, const std::string& window,
                                   const PlaceRect& available);
void KeepPlace(SettingsStore& store, const std::string& window, const PlaceRect& available,
               const PlaceRect& place);

}  // namespace kova
