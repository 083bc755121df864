#pragma once

#include <optional>
#include <sstream>
#include <string>

#include "config/configuration.h"
#include "support/temp_folder.h"

namespace tessevar::testing {

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

  ConfigServices services() {
    return ConfigServices{input, output, [this] { return documents; },
                          [this](PortNames& ports) {
                            if (discovered) ports = *discovered;
                            return discovered.has_value();
                          }};
  }

  std::istringstream input;
  std::ostringstream console;
  LineOutput output{console};
  TempFolder folder;
  std::optional<std::filesystem::path> documents = folder.path();
  std::optional<PortNames> discovered = PortNames{};
};

}  // namespace tessevar::testing
