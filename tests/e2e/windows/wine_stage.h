#pragma once

#include <filesystem>
#include <string>

namespace tessevar::testing {

// What the end-to-end run of the Windows build shares, set up once per run
// inside the test network: an X server, a Wine prefix whose server runs
// there (so its programs see the test network), and the Windows build.
struct WineStage {
  std::string display;
  std::filesystem::path windowsBin;  // tessevar.exe and the test editor, X-AIR-Edit.exe
};

// The stage, once the run's environment has set it up.
const WineStage& wineStage();

// A Windows path for a path of this system, as Wine's drive Z: shows it.
std::string windowsPath(const std::filesystem::path& path);

}  // namespace tessevar::testing
