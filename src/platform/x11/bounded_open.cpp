#include "platform/x11/bounded_open.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace tessevar {
namespace {

struct PendingOpen {
  std::mutex lock;
  std::condition_variable done;
  bool finished = false;
  bool abandoned = false;
  Display* display = nullptr;
};

std::mutex stuckLock;
// Abandoned opens that may still wait for their server, by display name.
std::map<std::string, std::shared_ptr<PendingOpen>> stuckOpens;

bool stillStuck(const std::string& name) {
  std::lock_guard<std::mutex> hold(stuckLock);
  auto it = stuckOpens.find(name);
  if (it == stuckOpens.end()) return false;
  {
    // Taking its lock also orders whatever its thread did before this.
    std::lock_guard<std::mutex> holdPending(it->second->lock);
    if (!it->second->finished) return true;
  }
  stuckOpens.erase(it);
  return false;
}

// Xlib (through xcb) prints a server's refusal, a missing cookie say, on
// standard error at every try. A display whose server keeps refusing is
// tried again after 1, 2, 4, ... and at most 32 s, so a program that retries
// every second does not fill the journal; a server still starting up is
// given another try soon.
constexpr std::chrono::seconds longestRefusalWait{32};

struct Refusals {
  int count = 0;
  std::chrono::steady_clock::time_point last;
};
std::mutex refusalsLock;
std::map<std::string, Refusals> refusals;

bool refusedLately(const std::string& name) {
  std::lock_guard<std::mutex> hold(refusalsLock);
  auto it = refusals.find(name);
  if (it == refusals.end()) return false;
  const std::chrono::seconds wait = std::min(std::chrono::seconds(1L << (it->second.count - 1)), longestRefusalWait);
  return std::chrono::steady_clock::now() - it->second.last < wait;
}

void noteRefusal(const std::string& name, bool refused) {
  std::lock_guard<std::mutex> hold(refusalsLock);
  if (!refused) {
    refusals.erase(name);
    return;
  }
  Refusals& entry = refusals[name];
  entry.count = std::min(entry.count + 1, 8);
  entry.last = std::chrono::steady_clock::now();
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

void openOn(const std::shared_ptr<PendingOpen>& pending, const std::string& name) {
  Display* display = XOpenDisplay(name.c_str());
  std::unique_lock<std::mutex> hold(pending->lock);
  if (pending->abandoned && display != nullptr) XCloseDisplay(display);
  pending->display = pending->abandoned ? nullptr : display;
  pending->finished = true;
  pending->done.notify_all();
}

}  // namespace

Display* openDisplayWithin(const std::string& name, std::chrono::milliseconds patience,
                           bool& gaveUp) {
  gaveUp = true;
  if (stillStuck(name)) return nullptr;
  gaveUp = false;
  if (refusedLately(name) || !mayBeListening(name)) return nullptr;
  gaveUp = true;
  auto pending = std::make_shared<PendingOpen>();
  std::thread(openOn, pending, name).detach();
  std::unique_lock<std::mutex> hold(pending->lock);
  if (!pending->done.wait_for(hold, patience, [&] { return pending->finished; })) {
    pending->abandoned = true;
    hold.unlock();  // stillStuck() takes the two locks the other way round
    std::lock_guard<std::mutex> holdStuck(stuckLock);
    stuckOpens[name] = pending;
    return nullptr;
  }
  gaveUp = false;
  noteRefusal(name, pending->display == nullptr);
  return pending->display;
}

}  // namespace tessevar
