// The reads behind WindowCache: only what a notification made stale, or
// what no lookup needed before.
#include <X11/Xatom.h>

#include <algorithm>
#include <unordered_set>

#include "platform/x11/process_name.h"
#include "platform/x11/x11_window_cache.h"

namespace tessevar {
namespace {

// How far a client may sit below its root child: a frame, and perhaps a
// wrapper or two inside it.
constexpr int deepestChain = 4;

std::optional<Window> parentOf(Display* display, Window window) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  const Status ok = XQueryTree(display, window, &root, &parent, &children, &count);
  if (children != nullptr) XFree(children);
  if (ok == 0) return std::nullopt;
  return parent;
}

}  // namespace

void WindowCache::synchronize() {
  if (!connection_.stillConnected()) return;
  // The server answers after every event it sent us before this request.
  XSync(connection_.display(), False);
  catchUp();
  refresh();
}

void WindowCache::refresh() {
  if (!connection_.usable()) return;
  const bool listChanged = clientListStale_;
  if (clientListStale_) readClientList();
  NameCache names;  // windows of one process come in numbers
  for (const Window client : clients()) {
    Node& entry = node(client);
    if (!entry.ownerKnown) readOwner(client, entry, names);
    if (entry.chain.empty() && !readChain(client, entry) && !connection_.usable()) return;
  }
  if (listChanged) prune();
}

void WindowCache::readClientList() {
  const std::optional<std::vector<long>> list = readList(
      connection_.display(), connection_.root(), atoms_.netClientList, XA_WINDOW, 65536);
  if (!connection_.usable()) return;
  clientListStale_ = false;
  managed_ = list.has_value();
  managedClients_.clear();
  if (list) managedClients_.assign(list->begin(), list->end());
}

// A window that does not exist (yet) names nobody for now: nothing is kept,
// as its number may soon name a new window.
void WindowCache::readOwner(Window window, Node& entry, NameCache& names) {
  Display* display = connection_.display();
  bool gone = false;
  const std::vector<long> pid =
      readList(display, window, atoms_.netWmPid, XA_CARDINAL, 1, &gone).value_or(std::vector<long>{});
  entry.pid = pid.empty() ? 0 : pid.front();
  entry.owner.reset();
  if (entry.pid > 0) {
    auto [name, fresh] = names.try_emplace(entry.pid);
    if (fresh) name->second = processName(entry.pid);
    entry.owner = name->second;
  }
  if (!entry.owner && !gone && connection_.usable()) entry.owner = windowClass(display, window);
  entry.ownerKnown = !gone && connection_.usable();
}

// Up from the client to a root child; the root children are known, so under
// a window manager this is one query (the client's parent is its frame).
bool WindowCache::readChain(Window client, Node& entry) {
  std::vector<Window> chain{client};
  for (Window window = client; !isRootChild(window);) {
    const std::optional<Window> parent = parentOf(connection_.display(), window);
    if (!parent || *parent == None || chain.size() > deepestChain) return false;
    if (*parent == connection_.root()) break;  // its creation is still on the way
    node(*parent);
    chain.push_back(*parent);
    window = *parent;
  }
  entry.chain = std::move(chain);
  return true;
}

bool WindowCache::readPlacement(Window window, Node& entry) {
  XWindowAttributes a;
  if (XGetWindowAttributes(connection_.display(), window, &a) == 0) return false;
  entry.placement = Placement{a.x, a.y, a.width, a.height, a.border_width,
                              a.map_state != IsUnmapped};
  return true;
}

// Nodes of windows that are no longer clients, nor hold one, nor root
// children, are dropped.
void WindowCache::prune() {
  std::unordered_set<Window> keep(rootChildren_.begin(), rootChildren_.end());
  for (const Window client : clients()) {
    keep.insert(client);
    if (const Node* entry = find(client)) keep.insert(entry->chain.begin(), entry->chain.end());
  }
  std::erase_if(nodes_, [&](const auto& item) { return !keep.contains(item.first); });
}

Window WindowCache::activeWindow() {
  if (activeStale_ && connection_.usable()) {
    const std::vector<long> active = readLongs(connection_.display(), connection_.root(),
                                               atoms_.netActiveWindow, XA_WINDOW, 1);
    active_ = active.empty() ? None : static_cast<Window>(active.front());
    activeStale_ = !connection_.usable();
  }
  return active_;
}

bool WindowCache::supports(Atom hint) {
  if (supportedStale_ && connection_.usable()) {
    supported_ = readLongs(connection_.display(), connection_.root(), atoms_.netSupported, XA_ATOM,
                           4096);
    supportedStale_ = !connection_.usable();
  }
  return std::find(supported_.begin(), supported_.end(), static_cast<long>(hint)) !=
         supported_.end();
}

}  // namespace tessevar
