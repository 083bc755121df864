#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace tessevar::testing {

// A 32-bit property of a window, of the given type; empty when it has none.
std::vector<long> propertyValues(Display* display, Window window, const char* property, Atom type);

// The windows a window manager names in a root property (_NET_CLIENT_LIST,
// _NET_ACTIVE_WINDOW, ...); empty when it names none.
std::vector<Window> rootWindows(Display* display, const char* property);

// Whether a window manager has marked the window as one it manages (ICCCM).
bool carriesWmState(Display* display, Window window);

// Whether the window manager process `pid` runs on `display` and takes new
// windows in; false when it ends or is not ready within 30 s.
bool managerReady(const std::string& display, pid_t pid);

// Which window manager a test desktop runs: none, or openbox (reparenting,
// frames, _NET_ACTIVE_WINDOW, like a real desktop).
enum class WindowManagerKind { none, openbox };

std::string to_string(WindowManagerKind kind);
// How GoogleTest shows a parameter of this kind.
inline void PrintTo(WindowManagerKind kind, std::ostream* out) { *out << to_string(kind); }

// openbox on a test display, started and waited for until it announces
// itself (_NET_SUPPORTING_WM_CHECK on the root). Stopped when destroyed.
class WindowManager {
 public:
  // nullptr plus a reason when openbox is missing or does not come up.
  static std::unique_ptr<WindowManager> start(const std::string& display, std::string& problem);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

 private:
  explicit WindowManager(pid_t pid) : pid_(pid) {}
  pid_t pid_;
};

}  // namespace tessevar::testing
