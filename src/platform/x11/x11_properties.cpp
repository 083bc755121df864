#include "platform/x11/x11_properties.h"

#include <X11/Xutil.h>

namespace tessevar {

X11Atoms X11Atoms::intern(Display* display) {
  char* names[] = {const_cast<char*>("_NET_CLIENT_LIST"),   const_cast<char*>("_NET_WM_PID"),
                   const_cast<char*>("_NET_FRAME_EXTENTS"), const_cast<char*>("_NET_ACTIVE_WINDOW"),
                   const_cast<char*>("_NET_SUPPORTED"),
                   const_cast<char*>("_NET_SUPPORTING_WM_CHECK")};
  Atom atoms[6] = {None, None, None, None, None, None};
  XInternAtoms(display, names, 6, False, atoms);
  return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5]};
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
