#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "app/process_guards.h"

namespace tessevar {

namespace {

std::atomic<StopSignal*> stopTarget{nullptr};
std::atomic<bool> bySignal{false};

// Windows calls this on a thread of its own.
BOOL WINAPI onConsoleEvent(DWORD event) {
  bySignal = true;
  if (StopSignal* stop = stopTarget.load()) stop->raise();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // The console window is closing (or the user logs off): Windows ends the
  // process as soon as this returns. It returns never; the program ends
  // first, having said goodbye, or Windows ends it after a few seconds.
  Sleep(INFINITE);
  return TRUE;
}

UINT consoleOutputPage = 0;

void restoreConsoleOutputPage() { SetConsoleOutputCP(consoleOutputPage); }

}  // namespace

void routeQuitSignals(StopSignal* stop) {
  stopTarget = stop;
  static std::once_flag routed;
  std::call_once(routed, [] { SetConsoleCtrlHandler(onConsoleEvent, TRUE); });
}

bool quitBySignal() { return bySignal; }

// The console the program shares with its shell gets its code page back at
// the end.
void prepareStandardOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  consoleOutputPage = GetConsoleOutputCP();
  if (consoleOutputPage != 0 && consoleOutputPage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restoreConsoleOutputPage);
  }
}

}  // namespace tessevar
