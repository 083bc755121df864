#include "platform/x11/x11_connection.h"

#include "platform/x11/x11_error_handlers.h"

#include <sys/socket.h>

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace tessevar {
namespace {

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

std::unique_ptr<X11Connection> X11Connection::open(std::string& problem) {
  const char* name = XDisplayName(nullptr);
  if (name == nullptr || *name == '\0') {
    problem = "DISPLAY is not set";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    problem = std::string("cannot reach X display ") + name;
    return nullptr;
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

}  // namespace tessevar

namespace tessevar {

bool X11Connection::stillConnected() {
  if (lost_) return false;
  char byte = 0;
  const ssize_t peeked =
      recv(ConnectionNumber(display_), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
    lost_ = true;
  }
  return !lost_;
}

}  // namespace tessevar
