#pragma once

// What the fuzz targets share: a failed invariant aborts (libFuzzer keeps
// the input), and a reader that takes the input apart without running out.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

namespace tessevar::fuzz {

inline void require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  bool empty() const { return data_.empty(); }
  std::uint8_t byte() {
    if (data_.empty()) return 0;
    const std::uint8_t b = data_.front();
    data_ = data_.subspan(1);
    return b;
  }
  std::span<const std::uint8_t> bytes(std::size_t n) {
    n = std::min(n, data_.size());
    auto out = data_.first(n);
    data_ = data_.subspan(n);
    return out;
  }
  std::string text(std::size_t n) {
    const auto b = bytes(n);
    return {b.begin(), b.end()};
  }
  std::string rest() { return text(data_.size()); }

 private:
  std::span<const std::uint8_t> data_;
};

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// True when `part` lies inside `whole` (a view into it, not a copy).
inline bool isViewInto(std::string_view part, std::string_view whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

inline bool hasAsciiSpace(std::string_view text) {
  return text.find_first_of(" \t\n\v\f\r") != std::string_view::npos;
}

}  // namespace tessevar::fuzz
