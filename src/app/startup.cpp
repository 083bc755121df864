#include "app/startup.h"

#include <chrono>
#include <memory>
#include <thread>

#include "app/console_loop.h"
#include "app/peer_watch.h"
#include "app/process_guards.h"
#include "config/configuration.h"
#include "editor/automation_thread.h"
#include "editor/editor.h"
#include "link/relay.h"
#include "platform/desktop.h"
#include "surface/mapping.h"
#include "util/console_input.h"
#include "util/line_output.h"
#include "util/progress_log.h"
#include "util/utf8.h"

// Threads. Each is started and ended here, and nothing else crosses between
// them but what is named:
// - main: start-up, then the relay (Relay::run): both links, the inspectors,
//   the mapping and the lamps it sends.
// - automation (AutomationThread): the only one that talks to the desktop.
//   Started before the settings are loaded; the main thread hands it
//   commands through its queue and never waits for it. Stopped after the
//   relay with half a second's patience; a desktop that hangs longer ends
//   the process without it.
// - console (consoleLoop): started when relaying begins, or as soon as a
//   link waits, so that q works then; reads standard input through
//   ConsoleInput, which the stop ends. Joined at the end.
// - peer watch (--verbose only): PeerWatch, joined when the program ends.
// - standard input (Windows only): ConsoleInput's reader, which blocks in
//   the system's read and hands what it reads to the console thread (a
//   pipe cannot be waited on beside the stop there). Started at the first
//   read; it ends with the process, since no read can be taken back.
// - console events (Windows only): the system calls the Ctrl+C and close
//   handler on a thread of its own, which raises the StopSignal.
// The StopSignal crosses from the console and the signal handlers to every
// wait; output lines cross through LineOutput's lock. The console's setup
// writes the settings only after the links have taken their copy.

namespace tessevar {
namespace {

// How long quitting waits for the editor command under way (one click hold
// at most, unless the desktop itself hangs).
constexpr std::chrono::milliseconds automationPatience{500};
// How often a waiting link is tried again.
constexpr std::chrono::seconds linkRetryInterval{1};

// Everything the program shares, created at the start and ended, in order,
// when runTessevar returns.
struct Program {
  Program(std::ostream& out, ProgressLog log)
      : output(out),
        progress(std::move(log)),
        services(platformConfigServices(input, output)),
        automation(makeDesktop, output, {.progress = progress}),
        surface{mapping, automation, [this](std::span<const std::uint8_t> bytes) { relay->sendToXTouch(bytes); }} {}
  ~Program() {
    routeQuitSignals(nullptr);
    stop.raise();
    if (console.joinable()) console.join();
  }

  StopSignal stop;
  std::optional<InstanceLock> instanceLock;
  ConsoleInput consoleInput{stop};
  std::istream input{&consoleInput};
  LineOutput output;
  ProgressLog progress;
  ConfigServices services;
  Configuration configuration;
  PortNames ports;
  AutomationThread automation;
  MappingState mapping;
  std::unique_ptr<Relay> relay;
  SurfaceContext surface;
  std::unique_ptr<PeerWatch> peerWatch;  // --verbose only
  std::thread console;
};

void startConsole(Program& program) {
  program.console = std::thread([&program] {
    consoleLoop(program.input, program.output, program.stop,
                [&program] { runSetup(program.configuration, program.ports, program.services); });
  });
}

// A signal says goodbye here; "q" has said it already.
int farewell(Program& program) {
  if (quitBySignal()) program.output.line("Exiting the program...");
  return 0;
}

// Where the settings live, for the operator who has to change them.
void pointToTheSettings(Program& program) {
  if (std::optional<std::filesystem::path> folder = program.services.documentsFolder()) {
    program.output.line("settings are in " + escapeControls((*folder / configFileName).string()) +
                        "; run tessevar --setup to change them");
  }
}

// Tries the links once a second until both are ready. While one waits the
// console is read already, so that q ends the program. False when the stop
// came first.
bool linkBoth(Program& program) {
  while (!program.relay->openLinks()) {
    if (!program.console.joinable()) startConsole(program);
    if (program.stop.waitFor(linkRetryInterval)) return false;
  }
  return !program.stop.raised();
}

void relay(Program& program) {
  auto heard = [&program](Side side, std::span<const std::uint8_t> d) {
    if (program.peerWatch) program.peerWatch->heard(side, d.size());
  };
  program.relay->run(
      program.stop,
      [&](std::span<const std::uint8_t> d) {
        heard(Side::surface, d);
        handleSurfaceDatagram(program.surface, d);
      },
      [&](std::span<const std::uint8_t> d) {
        heard(Side::mixer, d);
        handleMixerDatagram(program.surface, d);
      });
}

// False, having said why, when this copy must not relay.
bool mayRelay(Program& program) {
  Result<InstanceLock> lock = takeInstanceLock();
  if (!lock) {
    program.output.line("cannot make sure that only one copy relays: " + escapeControls(lock.reason()) +
                        "; relaying goes on");
    return true;
  }
  if (lock->otherCopy() == 0) {
    program.instanceLock.emplace(std::move(*lock));
    return true;
  }
  program.output.line("Tessevar is already running" +
                      (lock->otherCopy() > 0 ? " as process " + std::to_string(lock->otherCopy()) : std::string()) +
                      ": only one copy can relay at a time");
  return false;
}

int runRelay(Program& program) {
  if (!mayRelay(program)) return 1;
  routeQuitSignals(&program.stop);
  if (Result<void> started = program.automation.start(); !started) {
    program.output.line("editor automation is off: " + escapeControls(started.reason()));
  }
  const bool loaded = !program.stop.raised() &&
                      loadConfiguration(program.configuration, program.ports, program.services,
                                        [&program] { program.automation.refreshEditorWindow(); });
  if (program.stop.raised()) return farewell(program);
  if (!loaded) {
    // Under a service manager nobody can answer: a dead end without this.
    program.output.line("no settings yet and no terminal to ask for them: run tessevar --setup in a terminal");
    return 1;
  }
  program.output.line("setting up connections...");
  const Configuration& config = program.configuration;
  program.relay = setUpConnections({.networkPortName = config.networkPortName,
                                    .surfaceAddress = config.surfaceAddress,
                                    .mixerAddress = config.mixerAddress},
                                   program.output, program.progress);
  if (!program.relay) {
    pointToTheSettings(program);
    return 1;  // the operator has been told what to check
  }
  if (!linkBoth(program)) return farewell(program);
  program.automation.setEditorPid(findEditorProcess().value_or(0));
  printBanner(program.output);
  if (!program.console.joinable()) startConsole(program);
  if (program.progress.enabled()) program.peerWatch = std::make_unique<PeerWatch>(program.progress);
  relay(program);
  return farewell(program);
}

// --setup: the dialogue on its own, with the port hints; no link is opened.
int runSetupOnly(Program& program) {
  findPortHints(program.ports, program.services);
  return runSetup(program.configuration, program.ports, program.services) == SetupResult::saved ? 0 : 1;
}

}  // namespace

int runTessevar(const Options& options, std::ostream& output, std::ostream& progress) {
  Program program(output, options.verbose ? ProgressLog(progress) : ProgressLog());
  const int status = options.setup ? runSetupOnly(program) : runRelay(program);
  if (!program.automation.stop(automationPatience)) {
    // The desktop hangs (an X server that stopped answering): nothing can
    // end that call, so the process ends around it.
    output.flush();
    progress.flush();
    std::_Exit(status);
  }
  return status;
}

}  // namespace tessevar
