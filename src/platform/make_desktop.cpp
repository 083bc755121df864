#include "platform/desktop.h"

namespace tessevar {

std::unique_ptr<Desktop> makeDesktop(std::string& problem) {
  const std::span<const DesktopBackend> backends = builtInDesktops();
  std::string problems;
  for (const DesktopBackend& backend : backends) {
    std::string why;
    if (std::unique_ptr<Desktop> desktop = backend.open(why)) return desktop;
    // With one backend its reason stands alone; with several, each is named.
    if (backends.size() == 1) {
      problems = why;
    } else {
      problems += (problems.empty() ? "" : "; ") + std::string(backend.name) + ": " + why;
    }
  }
  problem = backends.empty() ? "no desktop backend is built in" : problems;
  return nullptr;
}

}  // namespace tessevar
