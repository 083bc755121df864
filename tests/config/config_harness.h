#pragma once

#include <optional>
#include <sstream>
#include <string>

#include "config/configuration.h"
#include "support/temp_folder.h"

namespace tessevar::testing {

inline constexpr std::string_view addressQuestions =
    "enter the ip address of the Mixer please\nenter the ip address of the X-Touch please\n";

// The setup's questions; `hints` (lines naming the ports found) go between the
// first two, with the request to pick one after them.
inline std::string setupQuestions(const std::string& hints = "") {
  return "\n\nenter the network port name please\n\n" +
         (hints.empty() ? "\n" : hints + "\nPlease enter the port name that you wish to use\n") +
         std::string(addressQuestions);
}

// Operator input from a string, console lines into a string, a temporary
// Documents folder and a scripted port discovery.
struct ConfigHarness {
  explicit ConfigHarness(std::string typed = "") : input(std::move(typed)) {}

  std::filesystem::path configFile() const { return folder.path() / "Tessevar.cfg"; }
  std::filesystem::path backupFile() const { return folder.path() / "Tessevar.cfg.bak"; }

  // The setup's closing lines after a write, with or without a backup.
  std::string savedLines(bool backup = false) const {
    std::string lines = "settings saved in " + configFile().string() + "\n";
    if (backup) lines += "the previous settings are kept in " + backupFile().string() + "\n";
    return lines;
  }

  // Runs the setup from `values` with these port names; gives what it leaves.
  Configuration setUp(PortNames ports = {}, Configuration values = {}) {
    runSetup(values, ports, services());
    return values;
  }
  std::string saved() const { return readBytes(configFile()); }

  ConfigServices services() {
    return ConfigServices{input, output, [this] { return documents; },
                          [this](PortNames& ports) {
                            if (discovered) ports = *discovered;
                            return discovered.has_value();
                          },
                          answersMayCome, network};
  }

  // A network like the test stage's: en0 with the devices on it, a wlan0
  // that is down, and "mixer.lan" the one name that resolves.
  void useStageNetwork() {
    interfaces = {{"en0", true, {"198.18.0.1", "fe80::1%en0"}, {{"198.18.0.1", "198.18.0.255"}}},
                  {"wlan0", false, {}, {}}};
    network = SetupNetwork{
        .interfaces = [this] { return interfaces; },
        .classifyHost = [](const std::string& host) {
          if (host == "mixer.lan") return HostKind::name;
          return host.starts_with("198.18.0.") && host.size() <= 11 ? HostKind::ipv4 : HostKind::unknown;
        },
        .findMixers = [this](const NetworkInterface&) { return mixers; },
        .hearSurfaces = [this](const NetworkInterface&, const std::function<void()>& listening) {
          if (surfaces) listening();
          return surfaces;
        }};
  }

  std::istringstream input;
  std::ostringstream console;
  LineOutput output{console};
  TempFolder folder;
  std::optional<std::filesystem::path> documents = folder.path();
  std::optional<PortNames> discovered = PortNames{};
  std::function<bool()> answersMayCome;
  SetupNetwork network;
  std::vector<NetworkInterface> interfaces;
  Result<std::vector<MixerReply>> mixers = std::vector<MixerReply>{};
  Result<std::vector<std::string>> surfaces = std::vector<std::string>{};
};

}  // namespace tessevar::testing
