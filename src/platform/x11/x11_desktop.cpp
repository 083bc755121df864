#include <X11/extensions/XTest.h>

#include <optional>

#include "platform/desktop.h"
#include "platform/x11/mac_key_codes.h"
#include "platform/x11/sigpipe_guard.h"
#include "platform/x11/x11_activation.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_cache.h"
#include "platform/x11/x11_window_list.h"

namespace tessevar {
namespace {

// The desktop of one X display. Used from one thread only. Once the server
// has gone away it behaves like no desktop at all.
class X11Desktop final : public Desktop {
 public:
  explicit X11Desktop(std::unique_ptr<X11Connection> connection)
      : connection_(std::move(connection)),
        atoms_(X11Atoms::intern(connection_->display())),
        cache_(*connection_, atoms_) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    hasXTest_ = XTestQueryExtension(connection_->display(), &event, &error, &major, &minor);
  }

  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    SigpipeGuard guard;
    if (!connection_->stillConnected()) return {};
    // Its round trip brings every earlier notification in for catchUp().
    const TopLevels topLevels = topLevelWindows(*connection_, atoms_);
    cache_.catchUp();
    std::vector<WindowInfo> windows = describeWindows(*connection_, atoms_, topLevels, cache_);
    cache_.keepOnly(topLevels.windows);
    std::erase_if(windows, [&](const WindowInfo& w) { return wanted && !wanted(w.ownerName); });
    return windows;
  }

  std::optional<std::string> ownerAt(Point at) override {
    SigpipeGuard guard;
    if (!connection_->stillConnected()) return std::nullopt;
    return ownerOfWindowAt(*connection_, atoms_, at);
  }

  void activate(const std::string&, std::int64_t windowNumber) override {
    SigpipeGuard guard;
    if (windowNumber <= 0 || !connection_->stillConnected()) return;
    activateWindow(*connection_, atoms_, static_cast<Window>(windowNumber));
  }

  void postLeftButton(Point at, bool down) override {
    SigpipeGuard guard;
    if (!hasXTest_ || !connection_->stillConnected()) return;
    fakeLeftButton(*connection_, at, down);
  }

  void postKey(std::int64_t pid, std::uint16_t keyCode, bool down) override {
    SigpipeGuard guard;
    const KeySym keysym = keysymForMacKeyCode(keyCode);
    if (pid <= 0 || keysym == NoSymbol || !connection_->stillConnected()) return;
    const std::optional<Window> window = lowestWindowOf(pid);
    if (window && connection_->usable()) sendKey(*connection_, *window, keysym, down);
  }

 private:
  std::optional<Window> lowestWindowOf(std::int64_t pid) {
    std::optional<Window> lowest;
    for (const Window window : topLevelWindows(*connection_, atoms_).windows) {
      if (lowest && window >= *lowest) continue;
      if (windowPid(*connection_, atoms_, window) == pid) lowest = window;
    }
    return lowest;
  }

  std::unique_ptr<X11Connection> connection_;
  X11Atoms atoms_;
  WindowCache cache_;
  bool hasXTest_ = false;
};

}  // namespace

std::unique_ptr<Desktop> makeDesktop(std::string& problem) {
  SigpipeGuard guard;
  std::unique_ptr<X11Connection> connection = X11Connection::open(problem);
  if (!connection) return nullptr;
  return std::make_unique<X11Desktop>(std::move(connection));
}

}  // namespace tessevar
