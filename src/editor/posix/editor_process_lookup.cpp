// The editor's process from the system's process listing (ps), for keys
// while the desktop does not name a window's process.
#include <signal.h>

#include <cerrno>

#include "editor/editor.h"
#include "system/command_runner.h"

namespace tessevar {

namespace {

bool processRunning(std::int64_t pid) {
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

EditorProcessLookup systemEditorProcessLookup() {
  return {findEditorProcess, processRunning, EditorProcessLookup::Clock::now};
}

Result<std::int64_t> findEditorProcess() {
  const Result<std::string> ps = locateTool("ps");
  if (!ps) return Failure{ps.reason()};
  const Result<std::string> listing = runCommand(*ps, {"-ax"});
  if (!listing) return Failure{listing.reason()};
  return editorPidFromListing(*listing);
}

}  // namespace tessevar
