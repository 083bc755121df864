#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "util/result.h"

namespace tessevar {

// One Xlib connection that outlives its server. X protocol errors on it are
// ignored (windows vanish between two requests all the time), and losing the
// server marks the connection unusable instead of ending the process.
class X11Connection {
 public:
  // The display DISPLAY names; fails with why when it is not set.
  static Result<std::string> displayName();
  // Fails with why when the display cannot be opened, or does not answer
  // within about 3 s.
  static Result<std::unique_ptr<X11Connection>> open(const std::string& name);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  Display* display() const { return display_; }
  Window root() const { return DefaultRootWindow(display_); }
  // False once the server has gone away; then no request may be made.
  bool usable() const { return !lost_; }
  // Looks at the socket, without Xlib, for a server that has hung up since
  // the last request, and marks the connection lost if so. Xlib's own way
  // of noticing (an I/O error inside a call) is best kept for the rare
  // death in the middle of a call: libX11 1.8 leaves its display lock in a
  // bad state when the I/O error exit handler returns.
  bool stillConnected();
  // Whether the server has sent something Xlib has not read yet; checked the
  // same way, so Xlib is only asked to read when there is data, never to
  // find the hang-up that may follow it.
  bool hasUnread();

 private:
  explicit X11Connection(Display* display);
  static void onConnectionLost(Display* display, void* self);
  // Peeks at the socket; marks the connection lost when the server hung up.
  bool peek();

  Display* display_;
  bool lost_ = false;
  bool xlibSawLoss_ = false;
};

}  // namespace tessevar
