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

// Everything the program shares, created once at the start and kept until
// the process ends.
struct Program {
  Program(std::istream& in, std::ostream& out)
      : input(in), output(out), desktop(openDesktop()), automation(*desktop, relay) {}

  std::unique_ptr<Desktop> openDesktop() {
    std::string problem;
    if (auto desktop = makeDesktop(problem)) return desktop;
    output.line("editor automation is off: no display could be opened (" + problem + ")");
    return makeNullDesktop();
  }

  std::istream& input;
  LineOutput output;
  Configuration configuration;
  PortNames ports;
  RelayState relay;
  std::unique_ptr<Desktop> desktop;
  Automation automation;
};

void waitForBothLinks(const RelayState& relay) {
  while (!(relay.surfaceLinkReady && relay.mixerLinkReady)) {
    std::this_thread::sleep_for(std::chrono::microseconds(10'000));
  }
}

void startWorkers(Program& program, const ConfigServices& services) {
  RelayState& relay = program.relay;
  std::thread surfaceReceive([&relay] { armFirstReceive(relay, Side::surface); });
  std::thread mixerReceive([&relay] { armFirstReceive(relay, Side::mixer); });
  surfaceReceive.join();
  mixerReceive.join();

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
  startWorkers(program, services);

  runRelayLoop(
      program.relay, [&program](const Datagram& d) { program.automation.inspectSurfaceDatagram(d); },
      [&program](const Datagram& d) { program.automation.inspectMixerDatagram(d); });
  return 0;
}

}  // namespace tessevar
