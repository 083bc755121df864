#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_properties.h"

namespace tessevar {

// What a lookup learnt about top-level windows, kept true between lookups
// by the server's own notifications, so a lookup costs a round trip or two
// instead of several per window. Every change to an owner property, a root
// child's rectangle or map state, a reparenting or a destruction reaches us
// as an event ahead of the reply to the next lookup's first request, and
// catchUp() applies them all before anything cached is used.
class WindowCache {
 public:
  struct Entry {
    bool ownerKnown = false;
    std::optional<std::string> owner;  // process name, else WM_CLASS class
    // Only for root children: outer rectangle in root coordinates, map state.
    std::optional<Rect> outer;
    bool mapped = false;
  };

  WindowCache(const X11Connection& connection, const X11Atoms& atoms);

  // Applies every notification received so far.
  void catchUp();
  // The entry of a window; a new one starts empty, with the window watched.
  Entry& entry(Window window);
  void forget(Window window);
  // Drops every entry whose window is not among `current`.
  void keepOnly(const std::vector<Window>& current);

 private:
  void apply(const XEvent& event);

  const X11Connection& connection_;
  const X11Atoms& atoms_;
  std::unordered_map<Window, Entry> entries_;
};

}  // namespace tessevar
