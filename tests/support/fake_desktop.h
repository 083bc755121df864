#pragma once

// A desktop that lists the windows a test gives it and records what is posted,
// including the click hold, in one ordered log.

#include <algorithm>
#include <chrono>
#include <optional>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "editor/editor.h"
#include "platform/desktop.h"

namespace tessevar::testing {

struct DesktopEvent {
  enum class Kind { activate, leftButton, key, pause };
  Kind kind = Kind::pause;
  Point at{};
  bool down = false;
  std::string ownerName{};
  std::int64_t number = 0;  // window number (activate) or pid (key)
  Key key = Key::f1;
  std::int64_t window = 0;  // key: the window it is meant for, 0 when none
  std::chrono::microseconds duration{0};
  bool operator==(const DesktopEvent&) const = default;
};

// Windows later in `windows` lie on top of earlier ones.
class FakeDesktop : public Desktop {
 public:
  std::vector<WindowInfo> windows;
  std::vector<Rect> screens{{0, 0, 2560, 1600}};
  std::vector<DesktopEvent> events;
  int lookups = 0;

  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    ++lookups;
    std::vector<WindowInfo> listed;
    for (const auto& w : windows) {
      if (!wanted || wanted(w.ownerName)) listed.push_back(w);
    }
    return listed;
  }
  std::optional<std::string> ownerAt(Point at) override {
    const auto contains = [at](const Rect& r) {
      return at.x >= r.x && at.y >= r.y && at.x < r.x + r.width && at.y < r.y + r.height;
    };
    if (std::none_of(screens.begin(), screens.end(), contains)) return std::nullopt;
    for (auto w = windows.rbegin(); w != windows.rend(); ++w) {
      if (w->onScreen && contains(w->bounds)) return w->ownerName;
    }
    return std::nullopt;
  }
  bool activationHonoured = true;
  bool activate(const std::string& ownerName, std::int64_t windowNumber) override {
    events.push_back({.kind = DesktopEvent::Kind::activate, .ownerName = ownerName, .number = windowNumber});
    return activationHonoured;
  }
  void postLeftButton(Point at, bool down) override {
    events.push_back({.kind = DesktopEvent::Kind::leftButton, .at = at, .down = down});
  }
  void postKey(const KeyTarget& target, Key key, bool down) override {
    events.push_back({.kind = DesktopEvent::Kind::key, .down = down, .number = target.pid, .key = key,
                      .window = target.windowNumber});
  }

  // The click hold, recorded in the log instead of slept.
  Pause pause() {
    return [this](std::chrono::microseconds duration) {
      events.push_back({.kind = DesktopEvent::Kind::pause, .duration = duration});
    };
  }

  // Where each click went down, in order.
  std::vector<Point> clicks() const {
    std::vector<Point> points;
    for (const auto& e : events) {
      if (e.kind == DesktopEvent::Kind::leftButton && e.down) points.push_back(e.at);
    }
    return points;
  }
  // Keys pressed (key-down events), in order.
  std::vector<Key> keys() const {
    std::vector<Key> codes;
    for (const auto& e : events) {
      if (e.kind == DesktopEvent::Kind::key && e.down) codes.push_back(e.key);
    }
    return codes;
  }
  int activations() const {
    int n = 0;
    for (const auto& e : events) n += e.kind == DesktopEvent::Kind::activate ? 1 : 0;
    return n;
  }
};

// The reference-size editor window at the origin: clicks land on the table's points.
inline WindowInfo referenceEditorWindow(std::int64_t number = 7, std::string owner = "X-AIR-Edit") {
  return {number, std::move(owner), Rect{0, 0, 1154, 734}};
}

}  // namespace tessevar::testing
