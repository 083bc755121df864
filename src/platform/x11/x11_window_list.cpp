// Lookups answered from WindowCache.
#include <X11/Xatom.h>

#include <algorithm>

#include "platform/x11/x11_window_cache.h"

namespace tessevar {

std::vector<WindowInfo> WindowCache::describe(const OwnerFilter& wanted) {
  std::vector<WindowInfo> windows;
  for (const Window client : clients()) {
    Node* entry = find(client);
    if (entry == nullptr || !entry->ownerKnown) continue;
    // Owner first: geometry is read only for the windows a lookup wants.
    if (wanted && !wanted(entry->owner.value_or(""))) continue;
    std::optional<WindowInfo> info = place(client, *entry);
    if (!connection_.usable()) return {};
    if (!info || (!managed_ && !entry->owner && !info->onScreen)) continue;
    windows.push_back(std::move(*info));
  }
  return windows;
}

// The client's outer rectangle in root coordinates, from the corners of the
// windows above it, widened by the frame the window manager says it drew.
std::optional<WindowInfo> WindowCache::place(Window client, Node& entry) {
  if (entry.chain.empty()) return std::nullopt;
  const std::vector<Window> chain = entry.chain;
  double x = 0;
  double y = 0;
  bool mapped = true;
  const Placement* own = nullptr;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    Node& member = node(*it);
    if (!member.placement && !readPlacement(*it, member)) return std::nullopt;
    own = &*member.placement;
    x += own->x;
    y += own->y;
    mapped = mapped && own->mapped;
    if (*it != client) {
      x += own->border;
      y += own->border;
    }
  }
  if (!entry.extents) {
    const std::vector<long> frame = readLongs(connection_.display(), client,
                                              atoms_.netFrameExtents, XA_CARDINAL, 4);
    entry.extents = frame.size() == 4 ? std::array<long, 4>{frame[0], frame[1], frame[2], frame[3]}
                                      : std::array<long, 4>{};
  }
  const auto [left, right, top, bottom] = *entry.extents;
  const Rect bounds{x - static_cast<double>(left), y - static_cast<double>(top),
                    own->width + 2.0 * own->border + static_cast<double>(left + right),
                    own->height + 2.0 * own->border + static_cast<double>(top + bottom)};
  return WindowInfo{static_cast<std::int64_t>(client), entry.owner.value_or(""), bounds, mapped, entry.pid};
}

std::optional<std::string> WindowCache::ownerOfRootChild(Window child) {
  for (const Window client : clients()) {
    const Node* entry = find(client);
    if (entry && !entry->chain.empty() && entry->chain.back() == child) return entry->owner;
  }
  // A root child holding no client: a menu or tooltip (override-redirect),
  // a window not taken in yet, or the window manager's own.
  Node& entry = node(child);
  if (!entry.ownerKnown) {
    NameCache names;
    readOwner(child, entry, names);
  }
  return entry.owner;
}

std::optional<Window> WindowCache::keyWindowFor(const KeyTarget& target) const {
  const auto known = [this](Window window) {
    auto it = nodes_.find(window);
    return it != nodes_.end() && it->second.ownerKnown ? &it->second : nullptr;
  };
  const auto window = static_cast<Window>(target.windowNumber);
  const bool isClient = std::find(clients().begin(), clients().end(), window) != clients().end();
  if (const Node* node = isClient ? known(window) : nullptr;
      node != nullptr && (target.pid <= 0 || node->pid == 0 || node->pid == target.pid)) {
    return window;
  }
  std::optional<Window> lowest;
  for (const Window client : clients()) {
    const Node* node = known(client);
    if (target.pid <= 0 || node == nullptr || node->pid != target.pid) continue;
    if (!lowest || client < *lowest) lowest = client;
  }
  return lowest;
}

}  // namespace tessevar
