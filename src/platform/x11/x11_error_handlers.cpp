#include "platform/x11/x11_error_handlers.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace tessevar {
namespace {

std::mutex registryLock;
std::vector<Display*> ownedDisplays;
XErrorHandler previousErrorHandler = nullptr;
XIOErrorHandler previousIOErrorHandler = nullptr;

bool isOwned(Display* display) {
  std::lock_guard<std::mutex> hold(registryLock);
  return std::find(ownedDisplays.begin(), ownedDisplays.end(), display) != ownedDisplays.end();
}

int onXError(Display* display, XErrorEvent* event) {
  if (isOwned(display) || previousErrorHandler == nullptr) return 0;
  return previousErrorHandler(display, event);
}

// Returning is fine on our displays: the per-display exit handler runs next
// and marks the connection lost instead of calling exit().
int onXIOError(Display* display) {
  if (isOwned(display) || previousIOErrorHandler == nullptr) return 0;
  return previousIOErrorHandler(display);
}

void installOnce() {
  static std::once_flag installed;
  std::call_once(installed, [] {
    previousErrorHandler = XSetErrorHandler(onXError);
    previousIOErrorHandler = XSetIOErrorHandler(onXIOError);
  });
}

}  // namespace

void adoptDisplayErrors(Display* display) {
  installOnce();
  std::lock_guard<std::mutex> hold(registryLock);
  ownedDisplays.push_back(display);
}

void releaseDisplayErrors(Display* display) {
  std::lock_guard<std::mutex> hold(registryLock);
  std::erase(ownedDisplays, display);
}

}  // namespace tessevar
