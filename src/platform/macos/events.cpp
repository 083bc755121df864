#include "platform/macos/events.h"

#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

#include "platform/macos/cf_owned.h"

namespace tessevar::macos {
namespace {

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

// Events come from the HID system state's own source.
CGEventSourceRef hidSource() { return CGEventSourceCreate(kCGEventSourceStateHIDSystemState); }

}  // namespace

void postLeftButton(Point at, bool down) {
  const CfOwned<CGEventSourceRef> source(hidSource());
  const CGEventType type = down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp;
  const CfOwned<CGEventRef> event(
      CGEventCreateMouseEvent(source.get(), type, CGPointMake(at.x, at.y), kCGMouseButtonLeft));
  if (event.get() != nullptr) CGEventPost(kCGHIDEventTap, event.get());
}

void postKeyToProcess(std::int64_t pid, Key key, bool down) {
  if (pid <= 0) return;
  const CfOwned<CGEventSourceRef> source(hidSource());
  const CfOwned<CGEventRef> event(CGEventCreateKeyboardEvent(source.get(), virtualKeyCode(key), down));
  if (event.get() != nullptr) CGEventPostToPid(static_cast<pid_t>(pid), event.get());
}

}  // namespace tessevar::macos
