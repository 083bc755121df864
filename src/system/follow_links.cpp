#include "system/file_io.h"

namespace tessevar {
namespace {

// Linux gives up on the same number of links in a path.
constexpr int maxLinkHops = 40;

}  // namespace

std::optional<std::filesystem::path> followLinks(std::filesystem::path path) {
  for (int hop = 0; hop < maxLinkHops; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) return path;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return std::nullopt;
}

}  // namespace tessevar
