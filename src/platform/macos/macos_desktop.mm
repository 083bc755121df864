// Core Graphics and AppKit backend of the Desktop seam, built on Apple
// systems only. It runs on the automation thread, which has neither a run
// loop nor an autorelease pool of its own: every call that makes
// Objective-C objects drains a pool of its own.
#import <AppKit/AppKit.h>
#include <CoreGraphics/CoreGraphics.h>

#include <chrono>
#include <unordered_map>

#include "platform/activation_watch.h"
#include "platform/desktop.h"
#include "platform/macos/events.h"
#include "platform/macos/window_list.h"
#include "platform/macos/window_rules.h"

namespace tessevar {
namespace {

constexpr std::chrono::seconds lookInterval{1};
// How long the editor may take to come forward once asked.
constexpr std::chrono::seconds activationPatience{1};

const char* const permissionProblem =
    "posting clicks and keys needs the Accessibility permission; allow your terminal application in "
    "System Settings > Privacy & Security > Accessibility, then restart Tessevar";

// Without the permission every click and key would be dropped unseen.
// Asking also lists the terminal there, for the operator to switch on.
bool mayPostEvents() {
  if (CGPreflightPostEventAccess()) return true;
  CGRequestPostEventAccess();
  return false;
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

// LaunchServices' way to the front, given the application's own bundle
// as the running process names it (its process name need not be the
// application's name). Nothing for a process without a bundle or one that
// has gone. Called on the automation thread, as everything here: this
// program's main thread relays datagrams and never runs AppKit's run loop.
// Only when AppKit's activation was refused or went unhonoured.
void openBundleOf(std::int64_t pid) {
  @autoreleasepool {
    NSRunningApplication* application =
        [NSRunningApplication runningApplicationWithProcessIdentifier:static_cast<pid_t>(pid)];
    NSURL* bundle = application.bundleURL;
    if (bundle == nil) return;
    NSWorkspaceOpenConfiguration* configuration = [NSWorkspaceOpenConfiguration configuration];
    configuration.activates = YES;
    [[NSWorkspace sharedWorkspace] openApplicationAtURL:bundle configuration:configuration completionHandler:nil];
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
  // Since macOS 14 activation is cooperative and a YES from AppKit only
  // means it was asked: whether the editor came forward is looked at the
  // next time, in the window list.
  bool activate(const std::string&, std::int64_t windowNumber) override {
    const auto known = pids_.find(windowNumber);
    const std::int64_t pid = known != pids_.end() ? known->second : 0;
    if (pid <= 0) return true;
    const bool shown = inFront(windowNumber, pid);
    const bool honoured = watch_.judge(windowNumber, shown, ActivationWatch::Clock::now());
    if (shown) return true;
    if (!activateProcess(pid) || !honoured) openBundleOf(pid);
    return honoured;
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
  bool takeNotifications() override { return pacer_.due(LookPacer::Clock::now()); }

  std::string name() const override { return "the macOS window server"; }

 private:
  // Only the windows above the editor's are listed: few when it is in front.
  bool inFront(std::int64_t windowNumber, std::int64_t pid) {
    const std::vector<macos::ListedWindow> above = macos::copyWindowList(
        kCGWindowListOptionOnScreenAboveWindow | kCGWindowListOptionIncludingWindow,
        static_cast<CGWindowID>(windowNumber));
    return macos::editorInFront(above, windowNumber, pid);
  }

  std::unordered_map<std::int64_t, std::int64_t> pids_;  // window number to owner, from the last lookup
  LookPacer pacer_{lookInterval};
  ActivationWatch watch_{activationPatience};
};

}  // namespace

Result<std::unique_ptr<Desktop>> openMacDesktop() {
  if (!mayPostEvents()) return Failure{permissionProblem};
  return std::unique_ptr<Desktop>(std::make_unique<MacDesktop>());
}

}  // namespace tessevar
