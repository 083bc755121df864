#include "platform/macos/window_list.h"

#include <CoreGraphics/CoreGraphics.h>

#include <cstring>
#include <string>
#include <utility>

#include "platform/macos/cf_owned.h"

namespace tessevar::macos {
namespace {

const void* valueOf(CFDictionaryRef entry, CFStringRef key, CFTypeID type) {
  const void* value = CFDictionaryGetValue(entry, key);
  return value != nullptr && CFGetTypeID(value) == type ? value : nullptr;
}

// Read straight into our own storage: no Objective-C object, so nothing is
// left to an autorelease pool on a thread that drains none.
std::string ownerNameOf(CFDictionaryRef entry) {
  const auto* name = static_cast<CFStringRef>(valueOf(entry, kCGWindowOwnerName, CFStringGetTypeID()));
  if (name == nullptr) return {};
  char small[256];
  if (CFStringGetCString(name, small, sizeof small, kCFStringEncodingUTF8)) return small;
  const CFIndex room = CFStringGetMaximumSizeForEncoding(CFStringGetLength(name), kCFStringEncodingUTF8) + 1;
  std::string text(static_cast<std::size_t>(room), '\0');
  if (!CFStringGetCString(name, text.data(), room, kCFStringEncodingUTF8)) return {};
  text.resize(std::strlen(text.c_str()));
  return text;
}

template <typename Value>
bool numberOf(CFDictionaryRef entry, CFStringRef key, CFNumberType type, Value& value) {
  const auto* number = static_cast<CFNumberRef>(valueOf(entry, key, CFNumberGetTypeID()));
  return number != nullptr && CFNumberGetValue(number, type, &value);
}

bool readEntry(CFDictionaryRef entry, const OwnerFilter& wanted, ListedWindow& window) {
  window.ownerName = ownerNameOf(entry);
  if (wanted && !wanted(window.ownerName)) return false;
  long long number = 0;
  if (!numberOf(entry, kCGWindowNumber, kCFNumberLongLongType, number)) return false;
  const auto* bounds = static_cast<CFDictionaryRef>(valueOf(entry, kCGWindowBounds, CFDictionaryGetTypeID()));
  CGRect rect;
  if (bounds == nullptr || !CGRectMakeWithDictionaryRepresentation(bounds, &rect)) return false;
  window.number = number;
  window.bounds = {CGRectGetMinX(rect), CGRectGetMinY(rect), CGRectGetWidth(rect), CGRectGetHeight(rect)};
  long long pid = 0;
  if (numberOf(entry, kCGWindowOwnerPID, kCFNumberLongLongType, pid)) window.ownerPid = pid;
  int layer = 0;
  if (numberOf(entry, kCGWindowLayer, kCFNumberIntType, layer)) window.layer = layer;
  double alpha = 1;
  if (numberOf(entry, kCGWindowAlpha, kCFNumberDoubleType, alpha)) window.alpha = alpha;
  // True for windows on screen; may be missing for the others.
  const auto* shown = static_cast<CFBooleanRef>(valueOf(entry, kCGWindowIsOnscreen, CFBooleanGetTypeID()));
  window.onScreen = shown != nullptr && CFBooleanGetValue(shown);
  return true;
}

}  // namespace

std::vector<ListedWindow> copyWindowList(std::uint32_t option, std::uint32_t relativeTo, const OwnerFilter& wanted) {
  std::vector<ListedWindow> windows;
  CfOwned<CFArrayRef> list(CGWindowListCopyWindowInfo(option, relativeTo));
  if (list.get() == nullptr) return windows;
  const CFIndex count = CFArrayGetCount(list.get());
  for (CFIndex i = 0; i < count; ++i) {
    const auto* entry = static_cast<CFDictionaryRef>(CFArrayGetValueAtIndex(list.get(), i));
    if (entry == nullptr || CFGetTypeID(entry) != CFDictionaryGetTypeID()) continue;
    ListedWindow window;
    if (readEntry(entry, wanted, window)) windows.push_back(std::move(window));
  }
  return windows;
}

}  // namespace tessevar::macos
