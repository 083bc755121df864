#include "platform/x11/x11_connection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "platform/x11/bounded_open.h"
#include "platform/x11/x11_error_handlers.h"

namespace tessevar {
namespace {

constexpr std::chrono::seconds openPatience{3};

// Xlib (through xcb) prints a server's refusal, a missing cookie say, on
// standard error at every try. A display that refused is tried again only
// this often, so a program that retries every second does not fill the
// journal: a refusal mends only with a new server or a new cookie.
constexpr std::chrono::seconds refusedPatience{30};

std::mutex refusalsLock;
std::map<std::string, std::chrono::steady_clock::time_point> refusals;

bool refusedLately(const std::string& name) {
  std::lock_guard<std::mutex> hold(refusalsLock);
  auto it = refusals.find(name);
  return it != refusals.end() && std::chrono::steady_clock::now() - it->second < refusedPatience;
}

void noteRefusal(const std::string& name, bool refused) {
  std::lock_guard<std::mutex> hold(refusalsLock);
  if (refused) {
    refusals[name] = std::chrono::steady_clock::now();
  } else {
    refusals.erase(name);
  }
}

bool socketAccepts(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() + 1 >= sizeof address.sun_path) return false;
  path.copy(address.sun_path + (abstract ? 1 : 0), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const bool accepted = fd >= 0 && connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  if (fd >= 0) close(fd);
  return accepted;
}

// Whether a server listens on the display's socket, asked without Xlib (so
// nothing is printed). Displays on other hosts are not looked at: maybe.
bool mayBeListening(const std::string& name) {
  char* host = nullptr;
  int number = 0;
  if (xcb_parse_display(name.c_str(), &host, &number, nullptr) == 0) return true;
  const std::string hostName = host != nullptr ? host : "";
  std::free(host);
  if (!hostName.empty() && hostName != "unix") return true;
  const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
  return socketAccepts(path, true) || socketAccepts(path, false);
}

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

std::string X11Connection::displayName(std::string& problem) {
  const char* name = XDisplayName(nullptr);
  if (name == nullptr || *name == '\0') {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    problem = wayland == nullptr || *wayland == '\0'
                  ? "DISPLAY is not set"
                  : "DISPLAY is not set; the editor runs under XWayland on this Wayland desktop, and Tessevar "
                    "needs XWayland's display in DISPLAY, often :0";
    return {};
  }
  return name;
}

std::unique_ptr<X11Connection> X11Connection::open(const std::string& name, std::string& problem) {
  bool gaveUp = false;
  const bool listening = !refusedLately(name) && mayBeListening(name);
  Display* display = listening ? openDisplayWithin(name, openPatience, gaveUp) : nullptr;
  if (listening) noteRefusal(name, display == nullptr && !gaveUp);
  if (display == nullptr) {
    problem = gaveUp ? "X display " + name + " did not answer within " +
                           std::to_string(openPatience.count()) + " s"
                     : "cannot reach X display " + name;
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
