#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>

#include "util/line_output.h"

namespace tessevar {

// The three settings, in the order of the file.
struct Configuration {
  std::string networkPortName;
  std::string mixerAddress;
  std::string surfaceAddress;

  bool operator==(const Configuration&) const = default;
};

// Device names of the machine's Ethernet and Wi-Fi ports, shown as hints.
struct PortNames {
  std::string ethernetPortName;
  std::string wifiPortName;
};

// What loading and the setup reach outside themselves; tests replace parts.
struct ConfigServices {
  std::istream& input;
  LineOutput& output;
  std::function<std::optional<std::filesystem::path>()> documentsFolder;
  std::function<bool(PortNames&)> discoverPortNames;
};

// The platform's Documents folder and port discovery.
ConfigServices platformConfigServices(std::istream& input, LineOutput& output);

// Fills the port-name hints the setup shows; says so when there are none.
void findPortHints(PortNames& ports, const ConfigServices& services);

// Discovers port names, reads "Tessevar.cfg" or runs the setup, echoes the
// values, then calls `refreshEditorWindow` (the start-up's look at the
// editor, which brings it to the front when its window is there).
// False when there was no file and the setup found its input closed before
// the answers: then there are no settings to go on with.
bool loadConfiguration(Configuration& values, PortNames& ports, const ConfigServices& services,
                       const std::function<void()>& refreshEditorWindow);

// The interactive setup: asks the three values, stores them, keeps a former
// file as "Tessevar.cfg.bak", writes the file and says where both are.
enum class SetupResult { saved, notSaved, inputEnded };
SetupResult runSetup(Configuration& values, const PortNames& ports, const ConfigServices& services);

}  // namespace tessevar
