#include <X11/extensions/XTest.h>

#include <chrono>
#include <optional>
#include <utility>

#include "platform/desktop.h"
#include "platform/x11/sigpipe_guard.h"
#include "platform/x11/x11_activation.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_input.h"
#include "platform/x11/x11_properties.h"
#include "platform/x11/x11_window_cache.h"

namespace tessevar {
namespace {

// A lost server is looked for again at most this often.
constexpr std::chrono::seconds reconnectInterval{1};

// One connection to the X server and what is known through it.
struct X11Server {
  explicit X11Server(std::unique_ptr<X11Connection> open)
      : connection(std::move(open)),
        atoms(X11Atoms::intern(connection->display())),
        cache(*connection, atoms),
        activation(*connection, atoms) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    hasXTest = XTestQueryExtension(connection->display(), &event, &error, &major, &minor);
  }

  std::unique_ptr<X11Connection> connection;
  X11Atoms atoms;
  WindowCache cache;
  X11Activation activation;
  bool hasXTest = false;
};

// The desktop of one X display. Used from one thread only. While its server
// is gone it behaves like no desktop at all, and it connects again once a
// server answers on the display.
class X11Desktop final : public Desktop {
 public:
  X11Desktop(std::string displayName, std::unique_ptr<X11Connection> connection)
      : displayName_(std::move(displayName)),
        server_(std::make_unique<X11Server>(std::move(connection))) {}

  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    SigpipeGuard guard;
    X11Server* server = live();
    if (server == nullptr) return {};
    server->cache.synchronize();
    std::vector<WindowInfo> windows = server->cache.describe(wanted);
    return server->connection->usable() ? windows : std::vector<WindowInfo>{};
  }

  std::optional<std::string> ownerAt(Point at) override {
    SigpipeGuard guard;
    X11Server* server = live();
    const std::optional<int> x = pixel(at.x);
    const std::optional<int> y = pixel(at.y);
    // Off the screen X would move the pointer to its edge.
    if (server == nullptr || !x || !y || !server->cache.onRoot(*x, *y)) return std::nullopt;
    const Window root = server->connection->root();
    int rootX = 0;
    int rootY = 0;
    Window child = None;
    const Status ok =
        XTranslateCoordinates(server->connection->display(), root, root, *x, *y, &rootX, &rootY,
                              &child);
    // Its reply comes after every earlier notification: frames are current.
    server->cache.catchUp();
    server->cache.refresh();
    if (ok == 0 || child == None || !server->connection->usable()) return std::nullopt;
    return server->cache.ownerOfRootChild(child);
  }

  bool activate(const std::string&, std::int64_t windowNumber) override {
    SigpipeGuard guard;
    X11Server* server = windowNumber > 0 ? live() : nullptr;
    if (server == nullptr) return true;
    server->cache.catchUp();
    return server->activation.activate(server->cache, static_cast<Window>(windowNumber));
  }

  void postLeftButton(Point at, bool down) override {
    SigpipeGuard guard;
    X11Server* server = live();
    if (server == nullptr || !server->hasXTest) return;
    fakeLeftButton(*server->connection, at, down);
  }

  void postKey(const KeyTarget& target, Key key, bool down) override {
    SigpipeGuard guard;
    X11Server* server = target.pid > 0 || target.windowNumber > 0 ? live() : nullptr;
    if (server == nullptr) return;
    server->cache.catchUp();
    server->cache.refresh();
    const std::optional<Window> window = server->cache.keyWindowFor(target);
    if (window && server->connection->usable()) sendKey(*server->connection, *window, keysymOf(key), down);
  }

  std::string name() const override { return "display " + displayName_; }

  int notificationDescriptor() override {
    return server_ && server_->connection->usable()
               ? ConnectionNumber(server_->connection->display())
               : -1;
  }

  bool takeNotifications() override {
    SigpipeGuard guard;
    if (X11Server* server = live()) {
      server->cache.catchUp();
      if (server->cache.takeChanged()) changed_ = true;
      if (!server->connection->usable()) dropServer();
    }
    return std::exchange(changed_, false);
  }

 private:
  // The server, connected again when it was lost (at most once a second);
  // nullptr while there is none.
  X11Server* live() {
    if (server_ && server_->connection->stillConnected()) return server_.get();
    if (server_) dropServer();
    const auto now = std::chrono::steady_clock::now();
    if (lastAttempt_ && now - *lastAttempt_ < reconnectInterval) return nullptr;
    lastAttempt_ = now;
    if (Result<std::unique_ptr<X11Connection>> connection = X11Connection::open(displayName_)) {
      server_ = std::make_unique<X11Server>(std::move(*connection));
      changed_ = true;  // a new server: every window may be new
    }
    return server_.get();
  }

  void dropServer() {
    server_.reset();
    changed_ = true;  // its windows are gone
  }

  std::string displayName_;
  std::unique_ptr<X11Server> server_;
  std::optional<std::chrono::steady_clock::time_point> lastAttempt_;
  bool changed_ = false;
};

}  // namespace

Result<std::unique_ptr<Desktop>> openX11Desktop() {
  SigpipeGuard guard;
  const Result<std::string> name = X11Connection::displayName();
  if (!name) return Failure{"no display could be opened (" + name.reason() + ")"};
  Result<std::unique_ptr<X11Connection>> connection = X11Connection::open(*name);
  if (!connection) return Failure{"no display could be opened (" + connection.reason() + ")"};
  return std::unique_ptr<Desktop>(std::make_unique<X11Desktop>(*name, std::move(*connection)));
}

}  // namespace tessevar
