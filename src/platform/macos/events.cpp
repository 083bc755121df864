#include "platform/macos/events.h"

#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

#include "platform/macos/cf_owned.h"

namespace tessevar::macos {
namespace {

struct KeyStroke {
  CGKeyCode code;
  CGEventFlags flags;
};

// The virtual key codes of the keys the editor is given, with the flags a
// press of that key alone carries: the keyboard marks its F keys as
// function keys.
KeyStroke keyStroke(Key key) {
  switch (key) {
    case Key::f1: return {0x7A, kCGEventFlagMaskSecondaryFn};
    case Key::f2: return {0x78, kCGEventFlagMaskSecondaryFn};
    case Key::f3: return {0x63, kCGEventFlagMaskSecondaryFn};
    case Key::f4: return {0x76, kCGEventFlagMaskSecondaryFn};
    case Key::escape: return {0x35, 0};
  }
  return {0x35, 0};
}

// A source of our own: events made from the HID system's state would carry
// the modifiers of the keys the user holds (a held Cmd turns F1 into
// Cmd-F1, a click into a Cmd-click). The flags of each event are set
// explicitly all the same.
CGEventSourceRef privateSource() { return CGEventSourceCreate(kCGEventSourceStatePrivate); }

}  // namespace

void postLeftButton(Point at, bool down) {
  const CfOwned<CGEventSourceRef> source(privateSource());
  const CGEventType type = down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp;
  const CfOwned<CGEventRef> event(
      CGEventCreateMouseEvent(source.get(), type, CGPointMake(at.x, at.y), kCGMouseButtonLeft));
  if (event.get() == nullptr) return;
  CGEventSetFlags(event.get(), 0);
  CGEventPost(kCGHIDEventTap, event.get());
}

void postKeyToProcess(std::int64_t pid, Key key, bool down) {
  if (pid <= 0) return;
  const KeyStroke stroke = keyStroke(key);
  const CfOwned<CGEventSourceRef> source(privateSource());
  const CfOwned<CGEventRef> event(CGEventCreateKeyboardEvent(source.get(), stroke.code, down));
  if (event.get() == nullptr) return;
  CGEventSetFlags(event.get(), stroke.flags);
  CGEventPostToPid(static_cast<pid_t>(pid), event.get());
}

}  // namespace tessevar::macos
