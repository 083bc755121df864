// The editor's process from the system's process listing (ps), for keys
// while the desktop does not name a window's process.
#include <signal.h>

#include <cerrno>

#include "editor/editor.h"
#include "editor/editor_process.h"
#include "system/command_runner.h"
#include "system/tool_path.h"

namespace tessevar {

namespace {

bool processRunning(std::int64_t pid) {
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

EditorProcessLookup systemEditorProcessLookup() {
  return {findEditorProcess, processRunning, EditorProcessLookup::Clock::now};
}

std::optional<std::int64_t> findEditorProcess() {
  const auto ps = locateTool("ps");
  if (!ps) return std::nullopt;
  const auto listing = runCommand(*ps, {"-ax"});
  if (!listing) return std::nullopt;
  return editorPidFromListing(*listing);
}

}  // namespace tessevar
