// Where a window opens: fitted into the screen's area, kept per screen size.

#include <gtest/gtest.h>

#include "app/settings_store.h"
#include "app/window_place.h"

namespace kova {
namespace {

TEST(WindowPlace, FitsIntoTheAvailableAreaAndKeepsPerScreen) {
  const PlaceRect laptop{0, 0, 1366, 728};
  const struct {
    const char* what;
    PlaceRect wanted;
    int frame_w, frame_h;
    PlaceRect fitted;
  } rows[] = {
      {"fits already", {10, 20, 800, 600}, 0, 0, {10, 20, 800, 600}},
      {"too tall: shrunk to the area", {0, 0, 1200, 780}, 0, 0, {0, 0, 1200, 728}},
      {"off to the right: moved back", {900, 100, 800, 600}, 0, 0, {566, 100, 800, 600}},
      {"above and left: moved in", {-50, -40, 400, 300}, 0, 0, {0, 0, 400, 300}},
      {"the frame counts", {0, 0, 1366, 728}, 8, 30, {0, 0, 1358, 698}},
      {"bigger than the screen both ways", {-300, 500, 1900, 1200}, 0, 0, {0, 0, 1366, 728}},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(FitWithin(r.wanted, laptop, r.frame_w, r.frame_h), r.fitted);
  }
  EXPECT_EQ(CentredPlace(1200, 780, laptop), (PlaceRect{83, 0, 1200, 728}));
  EXPECT_EQ(CentredPlace(800, 600, {1366, 0, 1920, 1080}), (PlaceRect{1926, 240, 800, 600}));

  for (const char* bad : {"", "1,2,3", "1,2,0,5", "1,2,3,4x", "a,b,c,d"})
    EXPECT_FALSE(ParsePlace(bad).has_value()) << bad;
  EXPECT_EQ(ParsePlace("-5,7,300,200"), (PlaceRect{-5, 7, 300, 200}));

  // Kept per screen size; a place kept on a bigger screen is fitted in.
  MemorySettingsStore store;
  const PlaceRect desktop{0, 0, 1920, 1040};
  KeepPlace(store, "Main", desktop, {600, 300, 1300, 700});
  EXPECT_FALSE(KeptPlace(store, "Main", laptop).has_value());
  EXPECT_FALSE(KeptPlace(store, "Library", desktop).has_value());
  EXPECT_EQ(KeptPlace(store, "Main", desktop), (PlaceRect{600, 300, 1300, 700}));
  KeepPlace(store, "Main", laptop, {600, 300, 1300, 700});
  EXPECT_EQ(KeptPlace(store, "Main", laptop), (PlaceRect{66, 28, 1300, 700}));
}

}  // namespace
}  // namespace kova
