#include "platform/x11/x11_connection.h"

#include "platform/x11/x11_error_handlers.h"

namespace tessevar {

std::unique_ptr<X11Connection> X11Connection::open(std::string& problem) {
  const char* name = XDisplayName(nullptr);
  if (name == nullptr || *name == '\0') {
    problem = "no X display (DISPLAY is not set)";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    problem = std::string("cannot open X display ") + name;
    return nullptr;
  }
  return std::unique_ptr<X11Connection>(new X11Connection(display));
}

X11Connection::X11Connection(Display* display) : display_(display) {
  adoptDisplayErrors(display_);
  XSetIOErrorExitHandler(display_, &X11Connection::onConnectionLost, this);
}

X11Connection::~X11Connection() {
  // XCloseDisplay skips the server round trip once the connection is broken.
  XCloseDisplay(display_);
  releaseDisplayErrors(display_);
}

void X11Connection::onConnectionLost(Display*, void* self) {
  static_cast<X11Connection*>(self)->lost_ = true;
}

}  // namespace tessevar
