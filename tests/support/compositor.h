#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "support/temp_folder.h"

namespace tessevar::testing {

// Wayland compositors of real desktops, headless, with XWayland: the editor
// is an X client there, so the X11 backend drives it through XWayland.
enum class CompositorKind { weston, mutter };

std::string to_string(CompositorKind kind);

// One running compositor with a runtime folder of its own. Stopped when
// destroyed.
class Compositor {
 public:
  // Returns once its X window manager takes windows in; nullptr plus one
  // line saying why when it cannot start. Where XWayland asks for a cookie
  // (mutter), XAUTHORITY is set for this process and the programs it starts.
  static std::unique_ptr<Compositor> start(CompositorKind kind, std::string& problem);
  ~Compositor();
  Compositor(const Compositor&) = delete;
  Compositor& operator=(const Compositor&) = delete;

  // XWayland's display, ":N".
  const std::string& display() const { return display_; }

 private:
  Compositor() = default;
  bool launch(CompositorKind kind, std::string& problem);
  bool startBus(std::string& address);

  TempFolder runtime_;  // XDG_RUNTIME_DIR: its sockets, logs and cookie
  pid_t pid_ = -1;
  pid_t busPid_ = -1;  // mutter's session bus
  std::string display_;
};

// The compositor of this kind for the whole test program: started at the
// first call, stopped when the program ends. nullptr and the same reason at
// every call when it could not start.
Compositor* sharedCompositor(CompositorKind kind, std::string& problem);

}  // namespace tessevar::testing
