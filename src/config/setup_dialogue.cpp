#include <filesystem>
#include <string>
#include <string_view>

#include "config/answer_input.h"
#include "config/config_file.h"
#include "config/configuration.h"
#include "system/file_io.h"

namespace tessevar {

namespace {

constexpr std::string_view refusedAnswer = "a value must not contain - please enter it again";

void printPortQuestion(const PortNames& ports, LineOutput& output) {
  output.lines({"", "", "enter the network port name please", ""});
  if (!ports.ethernetPortName.empty()) {
    output.line("The port name for the Ethenert port on your system is: " + ports.ethernetPortName);
  }
  if (!ports.wifiPortName.empty()) {
    output.line("The port name for the Wi-Fi port on your system is: " + ports.wifiPortName);
  }
  output.line("");
  if (!ports.ethernetPortName.empty() || !ports.wifiPortName.empty()) {
    output.line("Please enter the port name that you wish to use");
  }
}

// Reads answers until one can be stored: "-" separates the file's values and
// cannot be part of one. The refusal line is the prompt for the next try.
// False at end of input, leaving `value` as it was.
bool readAnswer(std::string& value, const ConfigServices& services) {
  for (;;) {
    auto answer = readAnswerLine(services.input);
    if (!answer) return false;
    if (answer->find('-') == std::string::npos) {
      value = std::move(*answer);
      return true;
    }
    services.output.line(refusedAnswer);
  }
}

bool askAll(Configuration& values, const PortNames& ports, const ConfigServices& services) {
  printPortQuestion(ports, services.output);
  if (!readAnswer(values.networkPortName, services)) return false;
  services.output.line("enter the ip address of the Mixer please");
  if (!readAnswer(values.mixerAddress, services)) return false;
  services.output.line("enter the ip address of the X-Touch please");
  return readAnswer(values.surfaceAddress, services);
}

// Keeps the former file as "Tessevar.cfg.bak" before replacing it; a file
// whose content could not be kept is not replaced. Says where both are.
bool saveSettings(const Configuration& values, const std::filesystem::path& folder,
                  LineOutput& output) {
  const auto file = folder / configFileName;
  const auto backup = folder / (std::string(configFileName) + ".bak");
  const Result<Backup> previous = keepPreviousContent(file, backup);
  const Result<void> written = previous ? writeFileAtomically(file, formatConfiguration(values)) : Failure{};
  if (!previous || !written) {
    output.lines({"something has gone wrong in the setup", previous ? written.reason() : previous.reason()});
    return false;
  }
  const std::string saved = "settings saved in " + file.string();
  if (*previous == Backup::kept) {
    output.lines({saved, "the previous settings are kept in " + backup.string()});
  } else {
    output.line(saved);
  }
  return true;
}

}  // namespace

SetupResult runSetup(Configuration& values, const PortNames& ports, const ConfigServices& services) {
  // Closed input leaves the old file alone: half a dialogue is no setting.
  if (!askAll(values, ports, services)) return SetupResult::inputEnded;
  const auto folder = services.documentsFolder();
  if (!folder) return SetupResult::notSaved;
  // A fresh Linux account may have no Documents folder yet.
  std::error_code ignored;
  std::filesystem::create_directories(*folder, ignored);
  return saveSettings(values, *folder, services.output) ? SetupResult::saved : SetupResult::notSaved;
}

}  // namespace tessevar
