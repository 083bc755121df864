#include "platform/x11/x11_window_list.h"

#include <X11/Xatom.h>

#include <cmath>
#include <map>

#include "platform/x11/process_name.h"

namespace tessevar {
namespace {

// Windows of one process usually come in numbers; read its name once a lookup.
using NameCache = std::map<long, std::optional<std::string>>;

std::optional<std::string> ownerName(const X11Connection& connection, const X11Atoms& atoms,
                                     Window window, NameCache& names) {
  if (const long pid = windowPid(connection, atoms, window); pid > 0) {
    auto [entry, fresh] = names.try_emplace(pid);
    if (fresh) entry->second = processName(pid);
    if (entry->second) return entry->second;
  }
  return windowClass(connection.display(), window);
}

// A root child's outer corner, size and map state, in one exchange.
bool readRootChild(const X11Connection& connection, Window window, WindowCache::Entry& entry) {
  XWindowAttributes a;
  if (XGetWindowAttributes(connection.display(), window, &a) == 0) return false;
  entry.outer = Rect{static_cast<double>(a.x), static_cast<double>(a.y),
                     a.width + 2.0 * a.border_width, a.height + 2.0 * a.border_width};
  entry.mapped = a.map_state != IsUnmapped;
  return true;
}

// A window manager's frame around the client: left, right, top, bottom.
void widenByFrame(const X11Connection& connection, const X11Atoms& atoms, Window window,
                  Rect& bounds) {
  const std::vector<long> frame =
      readLongs(connection.display(), window, atoms.netFrameExtents, XA_CARDINAL, 4);
  if (frame.size() != 4) return;
  bounds.x -= static_cast<double>(frame[0]);
  bounds.y -= static_cast<double>(frame[2]);
  bounds.width += static_cast<double>(frame[0] + frame[1]);
  bounds.height += static_cast<double>(frame[2] + frame[3]);
}

// A managed client sits inside its frame: its corner comes from a
// translation to the root, and the frame widens it.
std::optional<Rect> managedBounds(const X11Connection& connection, const X11Atoms& atoms,
                                  Window window) {
  Display* display = connection.display();
  Window root = None;
  Window child = None;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  if (XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth) == 0 ||
      XTranslateCoordinates(display, window, root, 0, 0, &x, &y, &child) == 0) {
    return std::nullopt;
  }
  Rect bounds{x - static_cast<double>(border), y - static_cast<double>(border),
              width + 2.0 * border, height + 2.0 * border};
  widenByFrame(connection, atoms, window, bounds);
  return bounds;
}

std::optional<WindowInfo> describe(const X11Connection& connection, const X11Atoms& atoms,
                                   Window window, bool managed, WindowCache& cache,
                                   NameCache& names) {
  WindowCache::Entry& entry = cache.entry(window);
  if (!entry.ownerKnown) {
    entry.owner = ownerName(connection, atoms, window, names);
    entry.ownerKnown = true;
  }
  const std::string owner = entry.owner.value_or("");
  if (managed) {
    const std::optional<Rect> bounds = managedBounds(connection, atoms, window);
    if (!bounds) return std::nullopt;
    return WindowInfo{static_cast<std::int64_t>(window), owner, *bounds};
  }
  if (!entry.outer && !readRootChild(connection, window, entry)) {
    cache.forget(window);
    return std::nullopt;
  }
  if (!entry.owner && !entry.mapped) return std::nullopt;
  return WindowInfo{static_cast<std::int64_t>(window), owner, *entry.outer, entry.mapped};
}

std::vector<Window> childrenOf(Display* display, Window window) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  std::vector<Window> result;
  if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 && children) {
    result.assign(children, children + count);
  }
  if (children != nullptr) XFree(children);
  return result;
}

// Frames hold the client a level or two down; helpers of a toolkit sit
// beside it, so the search goes breadth first.
std::optional<std::string> ownerWithin(const X11Connection& connection, const X11Atoms& atoms,
                                       Window top) {
  NameCache names;
  std::vector<Window> level{top};
  for (int depth = 0; depth < 3 && !level.empty(); ++depth) {
    std::vector<Window> next;
    for (const Window window : level) {
      if (auto owner = ownerName(connection, atoms, window, names)) return owner;
      const std::vector<Window> children = childrenOf(connection.display(), window);
      next.insert(next.end(), children.begin(), children.end());
    }
    level = std::move(next);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ownerOfWindowAt(const X11Connection& connection, const X11Atoms& atoms,
                                           Point at) {
  Display* display = connection.display();
  const double width = DisplayWidth(display, DefaultScreen(display));
  const double height = DisplayHeight(display, DefaultScreen(display));
  const double x = std::round(at.x);
  const double y = std::round(at.y);
  if (!(x >= 0 && y >= 0 && x < width && y < height)) return std::nullopt;
  int rootX = 0;
  int rootY = 0;
  Window child = None;
  if (XTranslateCoordinates(display, connection.root(), connection.root(), static_cast<int>(x),
                            static_cast<int>(y), &rootX, &rootY, &child) == 0 ||
      child == None) {
    return std::nullopt;
  }
  return ownerWithin(connection, atoms, child);
}

TopLevels topLevelWindows(const X11Connection& connection, const X11Atoms& atoms) {
  Display* display = connection.display();
  const Window root = connection.root();
  const std::vector<long> clients = readLongs(display, root, atoms.netClientList, XA_WINDOW, 65536);
  if (!clients.empty()) return {{clients.begin(), clients.end()}, true};
  if (!connection.usable()) return {};
  Window rootOut = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  TopLevels result;
  if (XQueryTree(display, root, &rootOut, &parent, &children, &count) != 0 && children) {
    result.windows.assign(children, children + count);
  }
  if (children != nullptr) XFree(children);
  return result;
}

long windowPid(const X11Connection& connection, const X11Atoms& atoms, Window window) {
  const std::vector<long> pid =
      readLongs(connection.display(), window, atoms.netWmPid, XA_CARDINAL, 1);
  return pid.empty() ? 0 : pid.front();
}

std::vector<WindowInfo> describeWindows(const X11Connection& connection, const X11Atoms& atoms,
                                        const TopLevels& topLevels, WindowCache& cache) {
  std::vector<WindowInfo> windows;
  NameCache names;
  for (const Window window : topLevels.windows) {
    std::optional<WindowInfo> info =
        describe(connection, atoms, window, topLevels.managed, cache, names);
    if (!connection.usable()) return {};
    if (info) windows.push_back(std::move(*info));
  }
  return windows;
}

}  // namespace tessevar
