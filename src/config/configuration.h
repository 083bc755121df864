#pragma once

#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/device_discovery.h"
#include "util/line_output.h"

namespace tessevar {

// The three settings, in the order of the file.
struct Configuration {
  std::string networkPortName;
  std::string mixerAddress;
  std::string surfaceAddress;

  bool operator==(const Configuration&) const = default;
};

inline constexpr std::string_view configFileName = "Tessevar.cfg";

// The values from the decoded file text, split at every "-"; pieces after
// the third are ignored. Nothing when there are fewer than three pieces.
std::optional<Configuration> parseConfiguration(std::string_view text);

// The file content: each value followed by "-", no line end.
std::string formatConfiguration(const Configuration& values);

// Device names of the machine's Ethernet and Wi-Fi ports, shown as hints.
struct PortNames {
  std::string ethernetPortName;
  std::string wifiPortName;
};

// What the setup asks of the network to show the interfaces, find the
// devices and check the answers. A part left empty is help not offered.
struct SetupNetwork {
  std::function<std::vector<NetworkInterface>()> interfaces;
  std::function<HostKind(const std::string&)> classifyHost;
  std::function<Result<std::vector<MixerReply>>(const NetworkInterface&)> findMixers;
  std::function<Result<std::vector<std::string>>(const NetworkInterface&, const std::function<void()>& listening)>
      hearSurfaces;
};

// What loading and the setup reach outside themselves; tests replace parts.
struct ConfigServices {
  std::istream& input;
  LineOutput& output;
  std::function<std::optional<std::filesystem::path>()> documentsFolder;
  std::function<bool(PortNames&)> discoverPortNames;
  std::function<bool()> answersMayCome = {};  // empty: assume someone answers
  SetupNetwork network = {};
};

// The platform's Documents folder and port discovery.
ConfigServices platformConfigServices(std::istream& input, LineOutput& output);

// Fills the port-name hints the setup shows; says so when there are none.
void findPortHints(PortNames& ports, const ConfigServices& services);

// Discovers port names, reads "Tessevar.cfg" or runs the setup, echoes the
// values, then calls `refreshEditorWindow` (the start-up's look at the
// editor, which brings it to the front when its window is there).
// False when there was no file and nobody to answer, or the setup found its
// input closed before the answers: then there are no settings to go on with.
bool loadConfiguration(Configuration& values, PortNames& ports, const ConfigServices& services,
                       const std::function<void()>& refreshEditorWindow);

// The interactive setup: asks the three values, showing the interfaces and
// the devices found and checking each answer, stores them, keeps a former
// file as "Tessevar.cfg.bak", writes the file and says where both are.
// Without anyone to answer it asks nothing and says so in one line.
enum class SetupResult { saved, notSaved, inputEnded };
SetupResult runSetup(Configuration& values, const PortNames& ports, const ConfigServices& services);

}  // namespace tessevar
