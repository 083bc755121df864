#include "platform/macos/events.h"

#include <CoreGraphics/CoreGraphics.h>
#include <sys/types.h>

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

// Events from the HID system state's own source, released with the event.
class EventSource {
 public:
  EventSource() : source_(CGEventSourceCreate(kCGEventSourceStateHIDSystemState)) {}
  ~EventSource() {
    if (source_ != nullptr) CFRelease(source_);
  }
  EventSource(const EventSource&) = delete;
  EventSource& operator=(const EventSource&) = delete;
  CGEventSourceRef get() const { return source_; }

 private:
  CGEventSourceRef source_;
};

}  // namespace

void postLeftButton(Point at, bool down) {
  EventSource source;
  const CGEventType type = down ? kCGEventLeftMouseDown : kCGEventLeftMouseUp;
  CGEventRef event = CGEventCreateMouseEvent(source.get(), type, CGPointMake(at.x, at.y), kCGMouseButtonLeft);
  if (event == nullptr) return;
  CGEventPost(kCGHIDEventTap, event);
  CFRelease(event);
}

void postKeyToProcess(std::int64_t pid, Key key, bool down) {
  if (pid <= 0) return;
  EventSource source;
  CGEventRef event = CGEventCreateKeyboardEvent(source.get(), virtualKeyCode(key), down);
  if (event == nullptr) return;
  CGEventPostToPid(static_cast<pid_t>(pid), event);
  CFRelease(event);
}

}  // namespace tessevar::macos
