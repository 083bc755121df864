#include "platform/x11/x11_connection.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "platform/x11/bounded_open.h"
#include "platform/x11/x11_error_handlers.h"

namespace tessevar {
namespace {

constexpr std::chrono::seconds openPatience{3};

// A display whose server hung up without Xlib noticing cannot be closed:
// XCloseDisplay would talk to the dead server and trip over libX11's lock
// handling. Its socket is closed and the rest is kept (not leaked) here;
// this happens at most once per lost server.
void retireDeadDisplay(Display* display) {
  static std::vector<Display*> retired;
  close(ConnectionNumber(display));
  retired.push_back(display);
}

}  // namespace

Result<std::string> X11Connection::displayName() {
  const char* name = XDisplayName(nullptr);
  if (name == nullptr || *name == '\0') {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return Failure{wayland == nullptr || *wayland == '\0'
                       ? "DISPLAY is not set"
                       : "DISPLAY is not set; the editor runs under XWayland on this Wayland desktop, and Tessevar "
                         "needs XWayland's display in DISPLAY, often :0"};
  }
  return std::string(name);
}

Result<std::unique_ptr<X11Connection>> X11Connection::open(const std::string& name) {
  bool gaveUp = false;
  Display* display = openDisplayWithin(name, openPatience, gaveUp);
  if (display == nullptr) {
    return Failure{gaveUp ? "X display " + name + " did not answer within " + std::to_string(openPatience.count()) +
                                " s"
                          : "cannot reach X display " + name};
  }
  return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::X11Connection(Display* display) : display_(display) {
  adoptDisplayErrors(display_);
  XSetIOErrorExitHandler(display_, &X11Connection::onConnectionLost, this);
}

X11Connection::~X11Connection() {
  // Once Xlib has seen the I/O error itself, XCloseDisplay skips the server.
  if (lost_ && !xlibSawLoss_) {
    retireDeadDisplay(display_);
  } else {
    XCloseDisplay(display_);
  }
  releaseDisplayErrors(display_);
}

void X11Connection::onConnectionLost(Display*, void* self) {
  auto* connection = static_cast<X11Connection*>(self);
  connection->lost_ = true;
  connection->xlibSawLoss_ = true;
}

bool X11Connection::stillConnected() {
  if (!lost_) peek();
  return !lost_;
}

bool X11Connection::hasUnread() { return !lost_ && peek(); }

// A hang-up shows even while events sent before it are still unread, so
// Xlib is never asked to read up to it.
bool X11Connection::peek() {
  pollfd socket{ConnectionNumber(display_), POLLIN | POLLRDHUP, 0};
  if (poll(&socket, 1, 0) < 0) return false;
  if ((socket.revents & (POLLRDHUP | POLLHUP | POLLERR | POLLNVAL)) != 0) lost_ = true;
  return !lost_ && (socket.revents & POLLIN) != 0;
}

}  // namespace tessevar
