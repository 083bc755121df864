#include "platform/desktop.h"

namespace tessevar {

Result<std::unique_ptr<Desktop>> makeDesktop() {
  const std::span<const DesktopBackend> backends = builtInDesktops();
  if (backends.empty()) return Failure{"no desktop backend is built in"};
  std::string problems;
  for (const DesktopBackend& backend : backends) {
    Result<std::unique_ptr<Desktop>> desktop = backend.open();
    if (desktop) return desktop;
    // With one backend its reason stands alone; with several, each is named.
    if (backends.size() == 1) return desktop;
    problems += (problems.empty() ? "" : "; ") + std::string(backend.name) + ": " + desktop.reason();
  }
  return Failure{problems};
}

}  // namespace tessevar
