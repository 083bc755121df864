#include "config/configuration.h"

#include "util/text_pieces.h"

namespace tessevar {

std::optional<Configuration> parseConfiguration(std::string_view text) {
  const auto pieces = splitAt(text, '-');
  if (pieces.size() < 3) return std::nullopt;
  return Configuration{.networkPortName = std::string(pieces[0]),
                       .mixerAddress = std::string(pieces[1]),
                       .surfaceAddress = std::string(pieces[2])};
}

std::string formatConfiguration(const Configuration& values) {
  return values.networkPortName + "-" + values.mixerAddress + "-" + values.surfaceAddress + "-";
}

}  // namespace tessevar
