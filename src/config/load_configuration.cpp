#include "config/configuration.h"
#include "config/setup_steps.h"
#include "config/system_lookups.h"
#include "system/file_io.h"
#include "util/utf8.h"

namespace tessevar {

namespace {

// Three short values; a larger file is no settings file of ours.
constexpr std::size_t largestConfigFile = 64 * 1024;

// The values from the file, or nothing when it is missing, unreadable or
// too short to hold three values. Says why only when the file is there:
// a missing one is the normal first start.
std::optional<Configuration> readConfigFile(const std::filesystem::path& folder, LineOutput& output) {
  const auto bytes = readWholeFile(folder / configFileName, largestConfigFile);
  if (!bytes) {
    std::error_code ignored;
    if (std::filesystem::exists(folder / configFileName, ignored)) output.line(escapeControls(bytes.reason()));
    return std::nullopt;
  }
  return parseConfiguration(decodeUtf8Lossy(*bytes));
}

// Shown as they are, but a file cannot drive the terminal through them.
void echoValues(const Configuration& values, LineOutput& output) {
  const std::string port = "port: " + escapeControls(values.networkPortName);
  const std::string mixer = "Mixer ip: " + escapeControls(values.mixerAddress);
  const std::string surface = "X-Touch ip: " + escapeControls(values.surfaceAddress);
  output.lines({port, mixer, surface});
}

// False when the setup it ran got no answers.
bool readOrSetUp(Configuration& values, PortNames& ports, const ConfigServices& services) {
  const auto folder = services.documentsFolder();
  if (!folder) return true;  // nowhere to read or write: the values stay empty
  if (auto fromFile = readConfigFile(*folder, services.output)) {
    values = std::move(*fromFile);
    echoValues(values, services.output);
    return true;
  }
  // Nobody to answer (a service manager's /dev/null): the caller's one line
  // says what to do, rather than questions asked into the journal.
  if (services.answersMayCome && !services.answersMayCome()) return false;
  services.output.line("no config file -> entering setup...");
  return runSetup(values, ports, services) != SetupResult::inputEnded;
}

}  // namespace

void findPortHints(PortNames& ports, const ConfigServices& services) {
  if (!services.discoverPortNames(ports)) {
    services.output.line("Cannot find the network port names");
  }
}

bool loadConfiguration(Configuration& values, PortNames& ports, const ConfigServices& services,
                       const std::function<void()>& refreshEditorWindow) {
  findPortHints(ports, services);
  if (!readOrSetUp(values, ports, services)) return false;
  // Even without a Documents folder the editor is looked at.
  if (refreshEditorWindow) refreshEditorWindow();
  return true;
}

ConfigServices platformConfigServices(std::istream& input, LineOutput& output) {
  const DiscoveryWaits waits;
  return ConfigServices{
      .input = input,
      .output = output,
      .documentsFolder = [] { return documentsFolder(); },
      .discoverPortNames = [](PortNames& ports) { return discoverPortNames(ports); },
      .answersMayCome = [&input] { return answersMayCome(input); },
      .network = SetupNetwork{
          .interfaces = listNetworkInterfaces,
          .classifyHost = classifyHost,
          .findMixers = [waits](const NetworkInterface& chosen) { return findMixers(chosen, waits); },
          .hearSurfaces = [waits](const NetworkInterface& chosen, const std::function<void()>& listening) {
            return hearSurfaces(chosen, waits, listening);
          }}};
}

}  // namespace tessevar
