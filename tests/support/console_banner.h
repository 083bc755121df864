#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace tessevar::testing {

// The lines the console prints once both links are ready, as the user sees them.
inline const std::vector<std::string>& consoleBanner() {
  static const std::vector<std::string> lines = {
      "now listening...", " ", " ",
      "+---------------------------------------------------+",
      "|Press q + enter to quit or s + enter to enter setup|",
      "+---------------------------------------------------+"};
  return lines;
}

// Whether a start-up's lines end with the whole banner.
inline bool endsWithBanner(const std::vector<std::string>& lines) {
  const std::vector<std::string>& banner = consoleBanner();
  return lines.size() >= banner.size() &&
         std::equal(banner.begin(), banner.end(), lines.end() - static_cast<long>(banner.size()));
}

// The same lines as one text, each ended by a newline.
inline std::string consoleBannerText() {
  std::string text;
  for (const std::string& line : consoleBanner()) text += line + "\n";
  return text;
}

}  // namespace tessevar::testing
