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
  return pending->display;
}

}  // namespace tessevar
