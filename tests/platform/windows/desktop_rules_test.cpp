#include "platform/windows/desktop_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessevar::windows {
namespace {

TEST(WindowsDesktopRules, TheOwnerNameIsTheImageFileNameWithoutExe) {
  const struct {
    std::string_view path;
    std::string owner;
  } cases[] = {
      {R"(C:\Program Files\Behringer\X-AIR-Edit.exe)", "X-AIR-Edit"},
      {R"(Z:\opt\M-AIR-Edit.EXE)", "M-AIR-Edit"},
      {"/usr/lib/X-AIR-Edit.Exe", "X-AIR-Edit"},
      {R"(C:\tools\X-AIR-Edit)", "X-AIR-Edit"},
      {R"(C:\tools\X-AIR-Edit.exe.old)", "X-AIR-Edit.exe.old"},
      {R"(C:\.exe)", ""},
      {"X-AIR-Edit.exe", "X-AIR-Edit"},
  };
  for (const auto& c : cases) EXPECT_EQ(ownerNameFromImagePath(c.path), c.owner) << c.path;
}

// Windows takes the pixel as position * extent / 65536, rounded down; every
// pixel of screens of several sizes and origins must be hit exactly.
TEST(WindowsDesktopRules, EveryPixelIsHitExactlyByItsNormalisedPosition) {
  const VirtualScreen screens[] = {{0, 0, 1024, 768}, {-1920, 0, 3840, 1080}, {0, -1200, 2560, 2640}, {0, 0, 7680, 4320}};
  for (const VirtualScreen& screen : screens) {
    for (long offset = 0; offset < screen.width; ++offset) {
      const long position = normalisedPosition(screen.left + offset, screen.left, screen.width);
      ASSERT_GE(position, 0);
      ASSERT_LE(position, 65535);
      ASSERT_EQ(position * screen.width / 65536, offset) << screen.width << " at " << offset;
    }
  }
  // Off the screen the pointer stops at its edge.
  EXPECT_EQ(normalisedPosition(-5000, 0, 1024), 0);
  EXPECT_EQ(normalisedPosition(5000, 0, 1024) * 1024 / 65536, 1023);
}

TEST(WindowsDesktopRules, OnlyPointsWithinReachBecomePixels) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const Point unreachable[] = {{nan, 10}, {10, nan}, {infinity, 0}, {0, -infinity}, {1e300, 0}, {0, -1e12}};
  for (const Point& at : unreachable) EXPECT_FALSE(wholePixel(at)) << at.x << "," << at.y;
  const std::optional<Pixel> pixel = wholePixel({-1919.6, 431.49});
  ASSERT_TRUE(pixel);
  EXPECT_EQ(pixel->x, -1920);
  EXPECT_EQ(pixel->y, 431);
}

}  // namespace
}  // namespace tessevar::windows
