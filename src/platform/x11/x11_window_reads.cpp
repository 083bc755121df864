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

// Watched on windows searched for a client: what lives inside them.
constexpr long searchedMask = StructureNotifyMask | PropertyChangeMask | SubstructureNotifyMask;

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
  const bool searched = !managed_ && foundStale_;
  if (searched) findClients();
  if (!connection_.usable()) return;
  NameCache names;  // windows of one process come in numbers
  for (const Window client : clients()) {
    Node& entry = node(client);
    if (!entry.ownerKnown) readOwner(client, entry, names);
    if (entry.chain.empty() && !readChain(client, entry) && !connection_.usable()) return;
  }
  if (listChanged || searched) prune();
}

void WindowCache::readClientList() {
  const std::optional<std::vector<long>> list = readList(
      connection_.display(), connection_.root(), atoms_.netClientList, XA_WINDOW, 65536);
  if (!connection_.usable()) return;
  clientListStale_ = false;
  managed_ = list.has_value();
  managedClients_.clear();
  if (list) managedClients_.assign(list->begin(), list->end());
  foundStale_ = foundStale_ || !managed_;
}

void WindowCache::findClients() {
  std::vector<Window> found;
  for (const Window top : rootChildren_) {
    found.push_back(clientIn(top));
    if (!connection_.usable()) return;
  }
  foundClients_ = std::move(found);
  foundStale_ = false;
}

// Breadth first, as xprop does: the client nearest the root child wins.
// Reads only what no notification has kept current.
Window WindowCache::clientIn(Window top) {
  std::vector<Window> level{top};
  for (int depth = 0; depth < deepestChain && !level.empty(); ++depth) {
    std::vector<Window> below;
    for (const Window window : level) {
      Node& entry = node(window);
      if (carriesWmState(window, entry)) return window;
      if (depth + 1 == deepestChain) continue;
      const std::vector<Window>& children = knownChildren(window, entry);
      below.insert(below.end(), children.begin(), children.end());
      if (!connection_.usable()) return top;
    }
    level = std::move(below);
  }
  return top;
}

bool WindowCache::carriesWmState(Window window, Node& entry) {
  if (!entry.wmState) {
    bool gone = false;
    const bool marked = hasProperty(connection_.display(), window, atoms_.wmState, gone);
    if (gone || !connection_.usable()) return false;  // its DestroyNotify is on the way
    entry.wmState = marked;
  }
  return *entry.wmState;
}

const std::vector<Window>& WindowCache::knownChildren(Window window, Node& entry) {
  if (!entry.children) {
    // Watched before the read, so no change can fall between the two.
    XSelectInput(connection_.display(), window, searchedMask);
    entry.children = queryTree(connection_.display(), window).value_or(WindowTree{}).children;
  }
  return *entry.children;
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
    const std::optional<WindowTree> tree = queryTree(connection_.display(), window);
    const std::optional<Window> parent = tree ? std::optional<Window>(tree->parent) : std::nullopt;
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
// children, nor lie where a client was looked for, are dropped.
void WindowCache::prune() {
  std::unordered_set<Window> keep(rootChildren_.begin(), rootChildren_.end());
  // What a search below the root children read is kept for the next one.
  std::vector<Window> searched(rootChildren_.begin(), rootChildren_.end());
  while (!searched.empty()) {
    const Node* entry = find(searched.back());
    searched.pop_back();
    if (entry == nullptr || !entry->children) continue;
    for (const Window child : *entry->children) {
      if (keep.insert(child).second) searched.push_back(child);
    }
  }
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
