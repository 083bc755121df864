#include <filesystem>
#include <string>
#include <string_view>

#include "config/setup_steps.h"
#include "config/configuration.h"
#include "system/file_io.h"
#include "util/utf8.h"

namespace tessevar {

namespace {

constexpr std::string_view portQuestion = "enter the network port name please";
constexpr std::string_view mixerQuestion = "enter the ip address of the Mixer please";
constexpr std::string_view surfaceQuestion = "enter the ip address of the X-Touch please";

struct Question {
  std::string_view text;
  std::vector<std::string> choices;  // what a listed number stands for
  bool address;                      // an address or host name, else an interface name
};

void printLines(const std::vector<std::string>& lines, LineOutput& output) {
  for (const std::string& line : lines) output.line(line);
}

void printPortQuestion(const PortNames& ports, const Listing& interfaces, LineOutput& output) {
  output.lines({"", "", portQuestion, ""});
  if (!ports.ethernetPortName.empty()) {
    output.line("The port name for the Ethenert port on your system is: " + ports.ethernetPortName);
  }
  if (!ports.wifiPortName.empty()) {
    output.line("The port name for the Wi-Fi port on your system is: " + ports.wifiPortName);
  }
  printLines(interfaces.lines, output);
  output.line("");
  if (!ports.ethernetPortName.empty() || !ports.wifiPortName.empty()) {
    output.line("Please enter the port name that you wish to use");
  }
}

// One setup's questions, with what the answers are checked against.
class Dialogue {
 public:
  explicit Dialogue(const ConfigServices& services)
      : services_(services), network_(services.network),
        interfaces_(network_.interfaces ? network_.interfaces() : std::vector<NetworkInterface>{}) {}

  bool askAll(Configuration& values, const PortNames& ports) {
    const Listing interfaces = listInterfaces(interfaces_);
    printPortQuestion(ports, interfaces, services_.output);
    if (!ask(values.networkPortName, {portQuestion, interfaces.choices, false})) return false;
    const NetworkInterface chosen = interfaceNamed(values.networkPortName);
    const Listing mixers = lookForMixers(chosen);
    services_.output.line(mixerQuestion);
    if (!ask(values.mixerAddress, {mixerQuestion, mixers.choices, true})) return false;
    const Listing surfaces = listenForSurfaces(chosen);
    services_.output.line(surfaceQuestion);
    return ask(values.surfaceAddress, {surfaceQuestion, surfaces.choices, true});
  }

 private:
  // Reads answers until one is taken; the line saying why one is not is
  // followed by the question again. False at end of input, leaving `value`.
  bool ask(std::string& value, const Question& question) {
    std::optional<std::string> doubted;  // the last answer refused only in doubt
    for (;;) {
      const std::optional<AnswerLine> line = readAnswerLine(services_.input);
      if (!line) return false;
      const std::string answer = chooseListed(line->text, question.choices);
      std::optional<std::string> why = line->tooLong ? tooLong() : unstorable(answer, question.address);
      if (!why && answer != doubted) {
        why = doubt(answer, question.address);
        if (why) doubted = answer;
      } else if (why) {
        doubted.reset();
      }
      if (!why) {
        value = answer;
        return true;
      }
      services_.output.lines({*why, question.text});
    }
  }

  static std::string tooLong() {
    return "that answer is longer than " + std::to_string(longestAnswer) + " bytes; please enter it again";
  }

  std::optional<std::string> doubt(const std::string& answer, bool address) const {
    if (!address) return doubtAboutInterface(answer, interfaces_);
    if (!network_.classifyHost) return std::nullopt;
    return doubtAboutAddress(answer, network_.classifyHost(answer));
  }

  NetworkInterface interfaceNamed(const std::string& name) const {
    for (const NetworkInterface& interface : interfaces_) {
      if (interface.name == name) return interface;
    }
    return NetworkInterface{.name = name, .usable = false, .addresses = {}, .ipv4 = {}};
  }

  Listing lookForMixers(const NetworkInterface& chosen) {
    if (!network_.findMixers) return {};
    Listing found = listMixers(network_.findMixers(chosen), chosen.name);
    printLines(found.lines, services_.output);
    return found;
  }

  Listing listenForSurfaces(const NetworkInterface& chosen) {
    if (!network_.hearSurfaces) return {};
    LineOutput& output = services_.output;
    Listing heard = listSurfaces(
        network_.hearSurfaces(chosen, [&] { output.line(surfaceListeningLine(chosen.name)); }), chosen);
    printLines(heard.lines, output);
    return heard;
  }

  const ConfigServices& services_;
  const SetupNetwork& network_;
  const std::vector<NetworkInterface> interfaces_;
};

// Keeps the former file as "Tessevar.cfg.bak" before replacing it; a file
// whose content could not be kept is not replaced. Says where both are.
bool saveSettings(const Configuration& values, const std::filesystem::path& folder,
                  LineOutput& output) {
  const auto file = folder / configFileName;
  const auto backup = folder / (std::string(configFileName) + ".bak");
  const Result<Backup> previous = keepPreviousContent(file, backup);
  const Result<void> written = previous ? writeFileAtomically(file, formatConfiguration(values)) : Failure{};
  if (!previous || !written) {
    output.lines({"something has gone wrong in the setup",
                  escapeControls(previous ? written.reason() : previous.reason())});
    return false;
  }
  const std::string saved = "settings saved in " + escapeControls(file.string());
  if (*previous == Backup::kept) {
    output.lines({saved, "the previous settings are kept in " + escapeControls(backup.string())});
  } else {
    output.line(saved);
  }
  return true;
}

}  // namespace

SetupResult runSetup(Configuration& values, const PortNames& ports, const ConfigServices& services) {
  if (services.answersMayCome && !services.answersMayCome()) {
    services.output.line("nobody can answer the setup: standard input is closed or empty; run tessevar --setup in a terminal");
    return SetupResult::inputEnded;
  }
  // Closed input leaves the old file alone: half a dialogue is no setting.
  if (!Dialogue(services).askAll(values, ports)) {
    services.output.line("the input ended before the last answer: nothing was saved");
    return SetupResult::inputEnded;
  }
  const auto folder = services.documentsFolder();
  if (!folder) return SetupResult::notSaved;
  // A fresh Linux account may have no Documents folder yet.
  std::error_code ignored;
  std::filesystem::create_directories(*folder, ignored);
  return saveSettings(values, *folder, services.output) ? SetupResult::saved : SetupResult::notSaved;
}

}  // namespace tessevar
