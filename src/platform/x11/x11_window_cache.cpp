#include "platform/x11/x11_window_cache.h"

#include <X11/Xatom.h>

#include <unordered_set>

namespace tessevar {

WindowCache::WindowCache(const X11Connection& connection, const X11Atoms& atoms)
    : connection_(connection), atoms_(atoms) {
  // Root children's moves, resizes, maps, reparentings and destruction.
  XSelectInput(connection_.display(), connection_.root(), SubstructureNotifyMask);
}

void WindowCache::catchUp() {
  Display* display = connection_.display();
  XEvent event;
  while (connection_.usable() && XPending(display) > 0) {
    XNextEvent(display, &event);
    apply(event);
  }
}

WindowCache::Entry& WindowCache::entry(Window window) {
  auto [found, fresh] = entries_.try_emplace(window);
  if (fresh) {
    // Watch before the first read, so no change can fall between the two.
    XSelectInput(connection_.display(), window, PropertyChangeMask | StructureNotifyMask);
  }
  return found->second;
}

void WindowCache::forget(Window window) { entries_.erase(window); }

void WindowCache::keepOnly(const std::vector<Window>& current) {
  const std::unordered_set<Window> keep(current.begin(), current.end());
  std::erase_if(entries_, [&](const auto& item) { return !keep.contains(item.first); });
}

void WindowCache::apply(const XEvent& event) {
  switch (event.type) {
    case DestroyNotify: forget(event.xdestroywindow.window); break;
    case ReparentNotify: forget(event.xreparent.window); break;
    case PropertyNotify:
      if (auto it = entries_.find(event.xproperty.window);
          it != entries_.end() &&
          (event.xproperty.atom == atoms_.netWmPid || event.xproperty.atom == XA_WM_CLASS)) {
        it->second = {};
      }
      break;
    case ConfigureNotify: {
      const XConfigureEvent& c = event.xconfigure;
      auto it = entries_.find(c.window);
      // Synthetic ones come from window managers, in other coordinates.
      if (it == entries_.end() || !it->second.outer || c.send_event) break;
      it->second.outer = Rect{static_cast<double>(c.x), static_cast<double>(c.y),
                              c.width + 2.0 * c.border_width, c.height + 2.0 * c.border_width};
      break;
    }
    case GravityNotify:
      if (auto it = entries_.find(event.xgravity.window); it != entries_.end() && it->second.outer) {
        it->second.outer->x = event.xgravity.x;
        it->second.outer->y = event.xgravity.y;
      }
      break;
    case MapNotify:
    case UnmapNotify: {
      const Window window = event.type == MapNotify ? event.xmap.window : event.xunmap.window;
      if (auto it = entries_.find(window); it != entries_.end()) {
        it->second.mapped = event.type == MapNotify;
      }
      break;
    }
    default: break;
  }
}

}  // namespace tessevar
