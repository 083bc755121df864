#pragma once

#include <X11/Xlib.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tessevar {

// What the backend knows about the server's windows, kept true by the
// server's own notifications, so a lookup costs one round trip: the one
// after which every notification sent before it has been applied. Only what
// a notification made stale, or what no lookup needed before, is read.
//
// Clients are the windows a lookup lists: the window manager's
// _NET_CLIENT_LIST while there is one; else, the ICCCM way, the window at or
// below each root child that carries WM_STATE (a manager that keeps no list,
// such as weston, still marks its clients so), or the root child itself
// where none does (no window manager). Each client hangs in a chain of
// windows up to a root child: itself without a window manager, its frame
// under one. Geometry is read only for clients whose owner a lookup wants.
class WindowCache {
 public:
  WindowCache(X11Connection& connection, const X11Atoms& atoms);

  // Applies every notification received, those Xlib queued during replies
  // and those waiting on the socket, without waiting for more.
  void catchUp();
  // True when, since the last call, windows may have appeared, gone, been
  // (un)mapped or changed owner, or the active window changed.
  bool takeChanged();
  // One round trip, then catchUp() and refresh(): current as of now.
  void synchronize();
  // Reads what notifications made stale: the client list, and the owner
  // and chain of each client not known yet.
  void refresh();

  // The clients whose owner `wanted` accepts, with their outer rectangles
  // (widened by _NET_FRAME_EXTENTS) and map state. Without a window manager,
  // unmapped windows naming no owner are toolkit helpers and left out.
  std::vector<WindowInfo> describe(const OwnerFilter& wanted);
  // Who owns a root child: the client it frames or is, else its own owner.
  std::optional<std::string> ownerOfRootChild(Window child);
  // Where a key for `target` goes: its window while that is a client of the
  // target's process, else the lowest-numbered client whose _NET_WM_PID is
  // the target's pid.
  std::optional<Window> keyWindowFor(const KeyTarget& target) const;
  Window activeWindow();
  bool supports(Atom hint);
  // The server time of the latest property change seen.
  Time serverTime() const { return serverTime_; }
  // Whether a pixel lies on the root window.
  bool onRoot(int x, int y) const { return x >= 0 && y >= 0 && x < rootWidth_ && y < rootHeight_; }

 private:
  // A window's outer corner relative to its parent's inside, its inside
  // size, border and own map state.
  struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int border = 0;
    bool mapped = false;
  };
  struct Node {
    std::optional<Placement> placement;
    bool ownerKnown = false;
    long pid = 0;
    std::optional<std::string> owner;  // process name, else WM_CLASS class
    std::optional<std::array<long, 4>> extents;  // left, right, top, bottom
    // Clients only: the client, then its ancestors up to a root child.
    std::vector<Window> chain;
    // Windows searched for a client: whether it carries WM_STATE, and its
    // children (watched for changes once read).
    std::optional<bool> wmState;
    std::optional<std::vector<Window>> children;
  };
  using NameCache = std::map<long, std::optional<std::string>>;

  void apply(const XEvent& event);
  void applyProperty(const XPropertyEvent& event);
  void applyReparent(const XReparentEvent& event);
  void forget(Window window);
  void dropChainsThrough(Window window);
  bool isRootChild(Window window) const;

  Node& node(Window window);
  Node* find(Window window);
  const std::vector<Window>& clients() const { return managed_ ? managedClients_ : foundClients_; }
  void readClientList();
  void findClients();
  Window clientIn(Window top);
  bool carriesWmState(Window window, Node& entry);
  const std::vector<Window>& knownChildren(Window window, Node& entry);
  void childrenChanged(Window parent);
  void readOwner(Window window, Node& entry, NameCache& names);
  bool readChain(Window client, Node& entry);
  bool readPlacement(Window window, Node& entry);
  std::optional<WindowInfo> place(Window client, Node& entry);
  void prune();

  X11Connection& connection_;
  const X11Atoms& atoms_;
  std::unordered_map<Window, Node> nodes_;
  std::vector<Window> rootChildren_;
  std::vector<Window> managedClients_;
  std::vector<Window> foundClients_;  // without a client list
  bool managed_ = false;
  bool foundStale_ = true;
  bool clientListStale_ = true;
  Window active_ = None;
  bool activeStale_ = true;
  std::vector<long> supported_;
  bool supportedStale_ = true;
  int rootWidth_ = 0;
  int rootHeight_ = 0;
  bool changed_ = false;
  Time serverTime_ = CurrentTime;
};

}  // namespace tessevar
