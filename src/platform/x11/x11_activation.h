#pragma once

#include <X11/Xlib.h>

#include "platform/activation_watch.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_cache.h"

namespace tessevar {

// Brings top-level windows forward: through the window manager when it
// supports _NET_ACTIVE_WINDOW (nothing when the window already is the active
// one), else by raising the window and giving it the focus.
class X11Activation {
 public:
  X11Activation(const X11Connection& connection, const X11Atoms& atoms);
  X11Activation(const X11Activation&) = delete;
  X11Activation& operator=(const X11Activation&) = delete;

  // False when the window manager has not honoured an earlier request for
  // this window within about a second (sway only marks the window urgent,
  // weston ignores the request); the request is made again all the same.
  bool activate(WindowCache& cache, Window window);

 private:
  Time freshTime(WindowCache& cache);
  void askManager(Window window, Time time);

  const X11Connection& connection_;
  const X11Atoms& atoms_;
  Window stampWindow_;  // an unmapped window of ours whose property changes tell the time
  ActivationWatch watch_;
};

}  // namespace tessevar
