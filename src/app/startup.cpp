#include "app/startup.h"

#include <chrono>
#include <memory>
#include <thread>

#include "app/automation.h"
#include "app/console_loop.h"
#include "app/instance_lock.h"
#include "app/peer_watch.h"
#include "app/quit_signals.h"
#include "config/config_file.h"
#include "config/configuration.h"
#include "editor/editor_process.h"
#include "link/relay.h"
#include "platform/desktop.h"
#include "util/line_output.h"
#include "util/progress_log.h"

namespace tessevar {
namespace {

// How long quitting waits for the editor command under way (one click hold
// at most, unless the desktop itself hangs).
constexpr std::chrono::milliseconds automationPatience{500};

// Everything the program shares, created once at the start and kept until
// the process ends.
struct Program {
  Program(std::istream& in, std::ostream& out, ProgressLog log)
      : input(in),
        output(out),
        progress(std::move(log)),
        services(platformConfigServices(input, output)),
        automation(makeDesktop, output, relay, progress) {}

  std::istream& input;
  LineOutput output;
  ProgressLog progress;
  ConfigServices services;
  Configuration configuration;
  PortNames ports;
  RelayState relay;
  Automation automation;
  std::unique_ptr<PeerWatch> peerWatch;  // --verbose only
};

void waitForBothLinks(const RelayState& relay) {
  while (!(relay.surfaceLinkReady && relay.mixerLinkReady)) {
    std::this_thread::sleep_for(std::chrono::microseconds(10'000));
  }
}

void startConsole(Program& program) {
  std::thread console([&program] {
    ConsoleActions actions{
        [&program] { runSetup(program.configuration, program.ports, program.services); },
        [&program] { requestQuit(program.relay); }};
    consoleLoop(program.input, program.output, program.relay.quitRequested, actions);
  });
  console.detach();  // blocked reading the terminal until the process ends
}

// Where the settings live, for the operator who has to change them.
void pointToTheSettings(Program& program) {
  if (std::optional<std::filesystem::path> folder = program.services.documentsFolder()) {
    program.output.line("settings are in " + (*folder / configFileName).string() +
                        "; run tessevar --setup to change them");
  }
}

bool openLinks(Program& program) {
  program.output.line("setting up connections...");
  const Configuration& config = program.configuration;
  const LinkSettings settings{.networkPortName = config.networkPortName,
                              .surfaceAddress = config.surfaceAddress,
                              .mixerAddress = config.mixerAddress};
  if (!setUpConnections(program.relay, settings, program.output)) {
    pointToTheSettings(program);
    return false;
  }
  waitForBothLinks(program.relay);
  return true;
}

void relay(Program& program) {
  auto heard = [&program](Side side, const Datagram& d) {
    if (program.peerWatch) program.peerWatch->heard(side, d.size());
  };
  quitSignalsEndTheRelayLoop(program.relay);
  runRelayLoop(
      program.relay,
      [&](const Datagram& d) {
        heard(Side::surface, d);
        program.automation.inspectSurfaceDatagram(d);
      },
      [&](const Datagram& d) {
        heard(Side::mixer, d);
        program.automation.inspectMixerDatagram(d);
      });
  if (quitBySignal()) program.output.line("Exiting the program...");
  program.automation.stop(automationPatience);
}

int runRelay(Program& program) {
  if (std::optional<long> other = takeInstanceLock()) {
    program.output.line("Tessevar is already running" +
                        (*other > 0 ? " as process " + std::to_string(*other) : std::string()) +
                        ": only one copy can relay at a time");
    return 1;
  }
  routeQuitSignals();
  if (std::optional<std::string> problem = program.automation.start()) {
    program.output.line("editor automation is off: " + *problem);
  }
  if (!loadConfiguration(program.configuration, program.ports, program.services,
                         [&program] { program.automation.prepareEditor(); })) {
    // Under a service manager nobody can answer: a dead end without this.
    program.output.line("no settings yet and no terminal to ask for them: run tessevar --setup in a terminal");
    return 1;
  }
  if (!openLinks(program)) return 1;  // the operator has been told what to check
  program.automation.setEditorPid(findEditorProcess().value_or(0));
  armFirstReceive(program.relay, Side::surface);
  armFirstReceive(program.relay, Side::mixer);
  if (program.progress.enabled()) program.peerWatch = std::make_unique<PeerWatch>(program.progress);
  startConsole(program);
  relay(program);
  return 0;
}

// --setup: the dialogue on its own, with the port hints; no link is opened.
int runSetupOnly(Program& program) {
  findPortHints(program.ports, program.services);
  return runSetup(program.configuration, program.ports, program.services) == SetupResult::saved ? 0 : 1;
}

}  // namespace

int runTessevar(const Options& options, std::istream& input, std::ostream& output, std::ostream& progress) {
  // Never freed: the console thread uses it until the process ends.
  Program& program = *new Program(input, output, options.verbose ? ProgressLog(progress) : ProgressLog());
  return options.setup ? runSetupOnly(program) : runRelay(program);
}

}  // namespace tessevar
