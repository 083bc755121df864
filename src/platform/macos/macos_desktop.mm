// Core Graphics and AppKit backend of the Desktop seam. Built on Apple
// systems only (chosen by CMake).
#import <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>
#include <unistd.h>

#include "platform/desktop.h"

namespace tessevar {
namespace {

// Releases a Core Foundation object at the end of a scope.
template <typename T>
struct CfRef {
  explicit CfRef(T ref) : ref(ref) {}
  ~CfRef() {
    if (ref != nullptr) CFRelease(ref);
  }
  CfRef(const CfRef&) = delete;
  CfRef& operator=(const CfRef&) = delete;
  T ref;
};

std::string ownerNameOf(CFDictionaryRef entry) {
  const void* value = CFDictionaryGetValue(entry, kCGWindowOwnerName);
  if (value == nullptr || CFGetTypeID(value) != CFStringGetTypeID()) return {};
  NSString* name = (__bridge NSString*)value;
  return std::string(name.UTF8String ?: "");
}

bool readWindow(CFDictionaryRef entry, WindowInfo& window) {
  const void* number = CFDictionaryGetValue(entry, kCGWindowNumber);
  const void* bounds = CFDictionaryGetValue(entry, kCGWindowBounds);
  if (number == nullptr || CFGetTypeID(number) != CFNumberGetTypeID()) return false;
  if (bounds == nullptr || CFGetTypeID(bounds) != CFDictionaryGetTypeID()) return false;
  CGRect rect;
  if (!CGRectMakeWithDictionaryRepresentation(static_cast<CFDictionaryRef>(bounds), &rect)) return false;
  long long n = 0;
  CFNumberGetValue(static_cast<CFNumberRef>(number), kCFNumberLongLongType, &n);
  window.number = n;
  window.ownerName = ownerNameOf(entry);
  window.bounds = {CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect), CGRectGetHeight(rect)};
  return true;
}

// The virtual key codes of the keys the editor is given.
CGKeyCode virtualKeyCode(Key key) {
  switch (key) {
    case Key::f1: return 0x7A;
    case Key::f2: return 0x78;
    case Key::f3: return 0x63;
    case Key::f4: return 0x76;
    case Key::escape: return 0x35;
  }
  return 0x35;
}

void post(CGEventRef event, CGEventTapLocation tap) {
  if (event == nullptr) return;
  CGEventPost(tap, event);
  CFRelease(event);
}

// The window server's list, front to back.
std::vector<WindowInfo> copyWindows(CGWindowListOption option) {
  std::vector<WindowInfo> windows;
  CfRef<CFArrayRef> list(CGWindowListCopyWindowInfo(option, kCGNullWindowID));
  if (list.ref == nullptr) return windows;
  for (CFIndex i = 0; i < CFArrayGetCount(list.ref); ++i) {
    const void* entry = CFArrayGetValueAtIndex(list.ref, i);
    if (entry == nullptr || CFGetTypeID(entry) != CFDictionaryGetTypeID()) continue;
    WindowInfo window;
    if (readWindow(static_cast<CFDictionaryRef>(entry), window)) windows.push_back(window);
  }
  return windows;
}

bool contains(const Rect& r, Point at) {
  return at.x >= r.x && at.y >= r.y && at.x < r.x + r.width && at.y < r.y + r.height;
}

class MacDesktop final : public Desktop {
 public:
  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    std::vector<WindowInfo> windows = copyWindows(kCGWindowListOptionAll);
    std::erase_if(windows, [&](const WindowInfo& w) { return wanted && !wanted(w.ownerName); });
    return windows;
  }

  std::optional<std::string> ownerAt(Point at) override {
    uint32_t displays = 0;
    if (CGGetDisplaysWithPoint(CGPointMake(at.x, at.y), 0, nullptr, &displays) != kCGErrorSuccess ||
        displays == 0) {
      return std::nullopt;
    }
    for (const WindowInfo& window : copyWindows(kCGWindowListOptionOnScreenOnly)) {
      if (contains(window.bounds, at)) return window.ownerName;
    }
    return std::nullopt;
  }

  void activate(const std::string& ownerName, std::int64_t) override {
    @autoreleasepool {
      NSString* name = [NSString stringWithUTF8String:ownerName.c_str()];
      if (name != nil) {
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wdeprecated-declarations"
        [[NSWorkspace sharedWorkspace] launchApplication:name];
#pragma clang diagnostic pop
      }
    }
  }

  void postLeftButton(Point at, bool down) override {
    CfRef<CGEventSourceRef> source(CGEventSourceCreate(kCGEventSourceStateHIDSystemState));
    const CGEventType type = down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp;
    post(CGEventCreateMouseEvent(source.ref, type, CGPointMake(at.x, at.y), kCGMouseButtonLeft), kCGHIDEventTap);
  }

  void postKey(const KeyTarget& target, Key key, bool down) override {
    if (target.pid <= 0) return;
    CfRef<CGEventSourceRef> source(CGEventSourceCreate(kCGEventSourceStateHIDSystemState));
    CGEventRef event = CGEventCreateKeyboardEvent(source.ref, virtualKeyCode(key), down);
    if (event == nullptr) return;
    CGEventPostToPid(static_cast<pid_t>(target.pid), event);
    CFRelease(event);
  }
};

}  // namespace

std::unique_ptr<Desktop> openMacDesktop(std::string&) { return std::make_unique<MacDesktop>(); }

}  // namespace tessevar
