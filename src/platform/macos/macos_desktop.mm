// Core Graphics and AppKit backend of the Desktop seam, built on Apple
// systems only. It runs on the automation thread, which has neither a run
// loop nor an autorelease pool of its own: every call that makes
// Objective-C objects drains a pool of its own.
#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

#include <chrono>
#include <unordered_map>

#include "platform/desktop.h"
#include "platform/macos/events.h"
#include "platform/macos/window_list.h"
#include "platform/macos/window_rules.h"

namespace tessevar {
namespace {

constexpr std::chrono::seconds lookInterval{1};

const char* const permissionProblem =
    "posting clicks and keys needs the Accessibility permission; allow your terminal application in "
    "System Settings > Privacy & Security > Accessibility, then restart Tessevar";

// Without the permission every click and key would be dropped unseen.
// Asking also lists the terminal there, for the operator to switch on.
bool mayPostEvents() {
  if (@available(macOS 10.15, *)) {
    if (CGPreflightPostEventAccess()) return true;
    CGRequestPostEventAccess();
    return false;
  }
  return true;
}

// NSRunningApplication may be used from any thread. Its instances are not
// kept: their state only changes while the main run loop runs, which it
// never does here.
bool activateProcess(std::int64_t pid) {
  @autoreleasepool {
    NSRunningApplication* application =
        [NSRunningApplication runningApplicationWithProcessIdentifier:static_cast<pid_t>(pid)];
    if (application == nil || application.terminated) return false;
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdeprecated-declarations"
    // A program in the background brings another forward only by ignoring
    // the active one (deprecated in macOS 14, where activation became
    // cooperative).
    return [application activateWithOptions:NSApplicationActivateAllWindows | NSApplicationActivateIgnoringOtherApps];
#pragma clang diagnostic pop
  }
}

// The activation by name, which also starts an editor that is not running.
// AppKit documents launchApplication: for the main thread, but this
// program's main thread relays datagrams and never runs AppKit's run loop,
// so nothing there could take the call; it is made here, and only when the
// window's process is gone or would not come forward.
void launchByName(const std::string& name) {
  @autoreleasepool {
    NSString* text = [NSString stringWithUTF8String:name.c_str()];
    if (text == nil) return;
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdeprecated-declarations"
    [[NSWorkspace sharedWorkspace] launchApplication:text];
#pragma clang diagnostic pop
  }
}

class MacDesktop final : public Desktop {
 public:
  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    std::vector<WindowInfo> windows =
        macos::normalWindows(macos::copyWindowList(kCGWindowListOptionAll, kCGNullWindowID, wanted));
    pids_.clear();
    for (const WindowInfo& window : windows) pids_[window.number] = window.ownerPid;
    return windows;
  }

  // Activation always follows a lookup, which gave the window's process.
  bool activate(const std::string& ownerName, std::int64_t windowNumber) override {
    const auto known = pids_.find(windowNumber);
    const std::int64_t pid = known != pids_.end() ? known->second : 0;
    if (pid > 0 && inFront(windowNumber, pid)) return true;
    if (pid > 0 && activateProcess(pid)) return true;
    launchByName(ownerName);
    return true;
  }

  std::optional<std::string> ownerAt(Point at) override {
    std::uint32_t displays = 0;
    if (CGGetDisplaysWithPoint(CGPointMake(at.x, at.y), 0, nullptr, &displays) != kCGErrorSuccess ||
        displays == 0) {
      return std::nullopt;
    }
    return macos::ownerAtPoint(macos::copyWindowList(kCGWindowListOptionOnScreenOnly, kCGNullWindowID), at);
  }

  void postLeftButton(Point at, bool down) override { macos::postLeftButton(at, down); }

  void postKey(const KeyTarget& target, Key key, bool down) override {
    macos::postKeyToProcess(target.pid, key, down);
  }

  // No news from the window server: a window that appeared or went away is
  // seen by a fresh lookup at most this often.
  bool takeNotifications() override { return pacer_.due(macos::LookPacer::Clock::now()); }

 private:
  // Only the windows above the editor's are listed: few when it is in front.
  bool inFront(std::int64_t windowNumber, std::int64_t pid) {
    const std::vector<macos::ListedWindow> above = macos::copyWindowList(
        kCGWindowListOptionOnScreenAboveWindow | kCGWindowListOptionIncludingWindow,
        static_cast<CGWindowID>(windowNumber));
    return macos::editorInFront(above, windowNumber, pid);
  }

  std::unordered_map<std::int64_t, std::int64_t> pids_;  // window number to owner, from the last lookup
  macos::LookPacer pacer_{lookInterval};
};

}  // namespace

std::unique_ptr<Desktop> openMacDesktop(std::string& problem) {
  if (!mayPostEvents()) {
    problem = permissionProblem;
    return nullptr;
  }
  return std::make_unique<MacDesktop>();
}

}  // namespace tessevar
