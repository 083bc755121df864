#include "app/startup.h"

#include <chrono>
#include <memory>
#include <thread>

#include "app/automation.h"
#include "app/console_loop.h"
#include "config/configuration.h"
#include "editor/editor_process.h"
#include "link/relay.h"
#include "platform/desktop.h"
#include "util/line_output.h"

namespace tessevar {
namespace {

// How long quitting waits for the editor command under way (one click hold
// at most, unless the desktop itself hangs).
constexpr std::chrono::milliseconds automationPatience{500};

// Everything the program shares, created once at the start and kept until
// the process ends.
struct Program {
  Program(std::istream& in, std::ostream& out) : input(in), output(out), automation(makeDesktop, output, relay) {}

  std::istream& input;
  LineOutput output;
  Configuration configuration;
  PortNames ports;
  RelayState relay;
  Automation automation;
};

void waitForBothLinks(const RelayState& relay) {
  while (!(relay.surfaceLinkReady && relay.mixerLinkReady)) {
    std::this_thread::sleep_for(std::chrono::microseconds(10'000));
  }
}

void startConsole(Program& program, const ConfigServices& services) {
  std::thread console([&program, services] {
    ConsoleActions actions{
        [&program, &services] { runSetup(program.configuration, program.ports, services); },
        [&program] { requestQuit(program.relay); }};
    consoleLoop(program.input, program.output, program.relay.quitRequested, actions);
  });
  console.detach();  // blocked reading the terminal until the process ends
}

}  // namespace

int runTessevar(std::istream& input, std::ostream& output) {
  // Never freed: the console thread uses it until the process ends.
  Program& program = *new Program(input, output);
  if (std::optional<std::string> problem = program.automation.start()) {
    program.output.line("editor automation is off: no display could be opened (" + *problem + ")");
  }
  const ConfigServices services = platformConfigServices(program.input, program.output);

  loadConfiguration(program.configuration, program.ports, services,
                    [&program] { program.automation.prepareEditor(); });

  program.output.line("setting up connections...");
  const Configuration& config = program.configuration;
  if (!setUpConnections(program.relay, {config.networkPortName, config.surfaceAddress, config.mixerAddress},
                        program.output)) {
    return 1;  // the operator has been told to check the network and restart
  }
  waitForBothLinks(program.relay);
  program.automation.setEditorPid(findEditorProcess().value_or(0));
  armFirstReceive(program.relay, Side::surface);
  armFirstReceive(program.relay, Side::mixer);
  startConsole(program, services);

  runRelayLoop(
      program.relay, [&program](const Datagram& d) { program.automation.inspectSurfaceDatagram(d); },
      [&program](const Datagram& d) { program.automation.inspectMixerDatagram(d); });
  program.automation.stop(automationPatience);
  return 0;
}

}  // namespace tessevar
