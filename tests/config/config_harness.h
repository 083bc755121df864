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
