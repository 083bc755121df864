#include "platform/x11/x11_window_cache.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <utility>

namespace tessevar {
namespace {

// Whose children may come and go, move or be (un)mapped, and which root
// properties (client list, active window) change. Clients and the windows
// that hold them are watched for their own moves and owner properties.
constexpr long rootMask = SubstructureNotifyMask | StructureNotifyMask | PropertyChangeMask;
constexpr long windowMask = StructureNotifyMask | PropertyChangeMask;

}  // namespace

WindowCache::WindowCache(X11Connection& connection, const X11Atoms& atoms)
    : connection_(connection), atoms_(atoms) {
  Display* display = connection_.display();
  XSelectInput(display, connection_.root(), rootMask);
  rootWidth_ = DisplayWidth(display, DefaultScreen(display));
  rootHeight_ = DisplayHeight(display, DefaultScreen(display));
  // Read after the watch starts, so no child can fall between the two.
  rootChildren_ = queryTree(display, connection_.root()).value_or(WindowTree{}).children;
}

void WindowCache::catchUp() {
  Display* display = connection_.display();
  XEvent event;
  while (connection_.usable()) {
    if (XEventsQueued(display, QueuedAlready) == 0) {
      if (!connection_.hasUnread()) return;
      if (XEventsQueued(display, QueuedAfterReading) == 0) continue;
    }
    XNextEvent(display, &event);
    apply(event);
  }
}

bool WindowCache::takeChanged() { return std::exchange(changed_, false); }

void WindowCache::apply(const XEvent& event) {
  switch (event.type) {
    case CreateNotify:
      // A number may come back for a new window (a restarted client gets the
      // old one's): what was known under it, and its watch, are gone.
      forget(event.xcreatewindow.window);
      if (event.xcreatewindow.parent == connection_.root()) {
        rootChildren_.push_back(event.xcreatewindow.window);
        changed_ = true;
      }
      childrenChanged(event.xcreatewindow.parent);
      break;
    case DestroyNotify: {
      const XDestroyWindowEvent& d = event.xdestroywindow;
      changed_ = changed_ || nodes_.contains(d.window) || isRootChild(d.window);
      forget(d.window);
      if (d.event != d.window) childrenChanged(d.event);
      break;
    }
    case ReparentNotify: applyReparent(event.xreparent); break;
    case ConfigureNotify: {
      const XConfigureEvent& c = event.xconfigure;
      if (c.window == connection_.root()) {
        rootWidth_ = c.width;
        rootHeight_ = c.height;
        break;
      }
      Node* entry = find(c.window);
      // Synthetic ones come from window managers, in root coordinates.
      if (entry == nullptr || !entry->placement || c.send_event) break;
      Placement& p = *entry->placement;
      p = {c.x, c.y, c.width, c.height, c.border_width, p.mapped};
      break;
    }
    case GravityNotify:
      if (Node* entry = find(event.xgravity.window); entry && entry->placement) {
        entry->placement->x = event.xgravity.x;
        entry->placement->y = event.xgravity.y;
      }
      break;
    case MapNotify:
    case UnmapNotify: {
      const Window window = event.type == MapNotify ? event.xmap.window : event.xunmap.window;
      Node* entry = find(window);
      if (entry && entry->placement) entry->placement->mapped = event.type == MapNotify;
      changed_ = changed_ || entry != nullptr || !managed_;
      break;
    }
    case PropertyNotify: applyProperty(event.xproperty); break;
    default: break;
  }
}

void WindowCache::applyProperty(const XPropertyEvent& event) {
  serverTime_ = event.time;
  const Atom atom = event.atom;
  if (event.window == connection_.root()) {
    if (atom == atoms_.netClientList || atom == atoms_.netSupportingWmCheck) {
      clientListStale_ = true;
      supportedStale_ = supportedStale_ || atom == atoms_.netSupportingWmCheck;
      changed_ = true;
    } else if (atom == atoms_.netActiveWindow) {
      activeStale_ = true;
      changed_ = true;
    } else if (atom == atoms_.netSupported) {
      supportedStale_ = true;
    }
    return;
  }
  Node* entry = find(event.window);
  if (entry == nullptr) return;
  if (atom == atoms_.netWmPid || atom == XA_WM_CLASS) {
    entry->ownerKnown = false;
    changed_ = true;
  } else if (atom == atoms_.wmState) {
    entry->wmState.reset();
    foundStale_ = true;
    changed_ = true;
  } else if (atom == atoms_.netFrameExtents) {
    entry->extents.reset();
  }
}

// A window that moves to another parent leaves every chain it was part of,
// and its corner is now relative to the new parent.
void WindowCache::applyReparent(const XReparentEvent& event) {
  const Window window = event.window;
  if (event.parent == connection_.root()) {
    if (!isRootChild(window)) rootChildren_.push_back(window);
  } else {
    std::erase(rootChildren_, window);
  }
  if (Node* entry = find(window)) entry->placement.reset();
  dropChainsThrough(window);
  // Told to the old parent, the new one and the window itself alike.
  childrenChanged(event.parent);
  if (event.event != window) childrenChanged(event.event);
  changed_ = true;
}

void WindowCache::childrenChanged(Window parent) {
  if (parent == connection_.root()) {
    foundStale_ = true;
  } else if (Node* entry = find(parent); entry != nullptr && entry->children) {
    entry->children.reset();
    foundStale_ = true;
  }
}

void WindowCache::forget(Window window) {
  if (nodes_.erase(window) > 0 || isRootChild(window)) foundStale_ = true;
  std::erase(rootChildren_, window);
  dropChainsThrough(window);
}

void WindowCache::dropChainsThrough(Window window) {
  for (auto& [client, entry] : nodes_) {
    if (std::find(entry.chain.begin(), entry.chain.end(), window) != entry.chain.end()) {
      entry.chain.clear();
    }
  }
}

bool WindowCache::isRootChild(Window window) const {
  return std::find(rootChildren_.begin(), rootChildren_.end(), window) != rootChildren_.end();
}

WindowCache::Node& WindowCache::node(Window window) {
  auto [found, fresh] = nodes_.try_emplace(window);
  // Watch before the first read, so no change can fall between the two.
  if (fresh) XSelectInput(connection_.display(), window, windowMask);
  return found->second;
}

WindowCache::Node* WindowCache::find(Window window) {
  auto it = nodes_.find(window);
  return it == nodes_.end() ? nullptr : &it->second;
}

}  // namespace tessevar
