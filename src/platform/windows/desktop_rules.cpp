#include "platform/windows/desktop_rules.h"

#include <algorithm>
#include <cmath>

namespace tessevar::windows {

namespace {

bool endsWithExe(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view tail = name.substr(name.size() - 4);
  return std::equal(tail.begin(), tail.end(), ".exe", [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

// Far beyond any desktop, yet well inside a long.
constexpr double pixelLimit = 1 << 24;

}  // namespace

std::string ownerNameFromImagePath(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (endsWithExe(name)) name.remove_suffix(4);
  return std::string(name);
}

std::optional<Pixel> wholePixel(Point at) {
  if (!(std::fabs(at.x) < pixelLimit) || !(std::fabs(at.y) < pixelLimit)) return std::nullopt;
  return Pixel{std::lround(at.x), std::lround(at.y)};
}

long normalisedPosition(long pixel, long origin, long extent) {
  if (extent <= 0) return 0;
  const long long offset = std::clamp<long long>(pixel - origin, 0, extent - 1);
  // Rounded up: position * extent / 65536 then falls on the pixel itself.
  const long long position = (offset * 65536 + extent - 1) / extent;
  return static_cast<long>(std::min<long long>(position, 65535));
}

}  // namespace tessevar::windows
