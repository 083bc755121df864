#include "platform/x11/x11_properties.h"

#include <X11/Xutil.h>

namespace tessevar {

X11Atoms X11Atoms::intern(Display* display) {
  const char* names[] = {"_NET_CLIENT_LIST", "_NET_WM_PID",          "_NET_FRAME_EXTENTS",
                         "_NET_ACTIVE_WINDOW", "_NET_SUPPORTED",     "_NET_SUPPORTING_WM_CHECK",
                         "WM_STATE",          "_TESSEVAR_TIME_STAMP"};
  constexpr int count = sizeof names / sizeof names[0];
  Atom atoms[count] = {};
  XInternAtoms(display, const_cast<char**>(names), count, False, atoms);
  return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7]};
}

std::optional<std::vector<long>> readList(Display* display, Window window, Atom property,
                                          Atom type, long maxItems, bool* windowGone) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, maxItems, False, type,
                                        &actualType, &actualFormat, &count, &remaining, &data);
  if (windowGone != nullptr) *windowGone = status != Success;
  std::optional<std::vector<long>> values;
  if (status == Success && actualType == type && actualFormat == 32) {
    const long* items = reinterpret_cast<const long*>(data);
    values.emplace(items, items + (data != nullptr ? count : 0));
  }
  if (data != nullptr) XFree(data);
  return values;
}

std::vector<long> readLongs(Display* display, Window window, Atom property, Atom type,
                            long maxItems) {
  return readList(display, window, property, type, maxItems).value_or(std::vector<long>{});
}

bool hasProperty(Display* display, Window window, Atom property, bool& windowGone) {
  Atom actualType = None;
  int actualFormat = 0;
  unsigned long count = 0;
  unsigned long remaining = 0;
  unsigned char* data = nullptr;
  const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                        &actualType, &actualFormat, &count, &remaining, &data);
  if (data != nullptr) XFree(data);
  windowGone = status != Success;
  return status == Success && actualType != None;
}

std::optional<WindowTree> queryTree(Display* display, Window window) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  const Status ok = XQueryTree(display, window, &root, &parent, &children, &count);
  std::optional<WindowTree> tree;
  if (ok != 0) tree = WindowTree{parent, children != nullptr ? std::vector<Window>(children, children + count)
                                                              : std::vector<Window>{}};
  if (children != nullptr) XFree(children);
  return tree;
}

std::optional<std::string> windowClass(Display* display, Window window) {
  XClassHint hint{nullptr, nullptr};
  if (XGetClassHint(display, window, &hint) == 0) return std::nullopt;
  std::optional<std::string> name;
  if (hint.res_class != nullptr && *hint.res_class != '\0') name = hint.res_class;
  if (hint.res_name != nullptr) XFree(hint.res_name);
  if (hint.res_class != nullptr) XFree(hint.res_class);
  return name;
}

}  // namespace tessevar
