#include "platform/x11/bounded_open.h"

#include <condition_variable>
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
// Abandoned opens still waiting for their server, by display name.
std::map<std::string, std::weak_ptr<PendingOpen>> stuckOpens;

bool stillStuck(const std::string& name) {
  std::lock_guard<std::mutex> hold(stuckLock);
  auto it = stuckOpens.find(name);
  if (it == stuckOpens.end()) return false;
  if (!it->second.expired()) return true;
  stuckOpens.erase(it);
  return false;
}

void openOn(const std::shared_ptr<PendingOpen>& pending, const std::string& name) {
  Display* display = XOpenDisplay(name.c_str());
  std::unique_lock<std::mutex> hold(pending->lock);
  if (pending->abandoned) {
    hold.unlock();
    if (display != nullptr) XCloseDisplay(display);
    return;
  }
  pending->display = display;
  pending->finished = true;
  pending->done.notify_all();
}

}  // namespace

Display* openDisplayWithin(const std::string& name, std::chrono::milliseconds patience,
                           bool& gaveUp) {
  gaveUp = true;
  if (stillStuck(name)) return nullptr;
  auto pending = std::make_shared<PendingOpen>();
  std::thread(openOn, pending, name).detach();
  std::unique_lock<std::mutex> hold(pending->lock);
  if (!pending->done.wait_for(hold, patience, [&] { return pending->finished; })) {
    pending->abandoned = true;
    std::lock_guard<std::mutex> holdStuck(stuckLock);
    stuckOpens[name] = pending;
    return nullptr;
  }
  gaveUp = false;
  return pending->display;
}

}  // namespace tessevar
