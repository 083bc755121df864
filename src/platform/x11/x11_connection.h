#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

namespace tessevar {

// One Xlib connection that outlives its server. X protocol errors on it are
// ignored (windows vanish between two requests all the time), and losing the
// server marks the connection unusable instead of ending the process.
class X11Connection {
 public:
  // nullptr plus a reason when no display can be opened.
  static std::unique_ptr<X11Connection> open(std::string& problem);
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

 private:
  explicit X11Connection(Display* display);
  static void onConnectionLost(Display* display, void* self);

  Display* display_;
  bool lost_ = false;
  bool xlibSawLoss_ = false;
};

}  // namespace tessevar
