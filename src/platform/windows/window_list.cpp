#include "platform/windows/window_list.h"

#include <dwmapi.h>

#include <memory>
#include <unordered_map>

#include "platform/windows/desktop_rules.h"
#include "util/windows/wide_text.h"

namespace tessevar::windows {

namespace {

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

bool cloaked(HWND window) {
  DWORD value = 0;
  return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &value, sizeof value)) && value != 0;
}

bool switchable(HWND window) {
  return IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr &&
         (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0 && !cloaked(window);
}

// The frame the user sees: DWM's extended frame bounds leave out the
// invisible resize borders; without DWM (Wine has none) the window rectangle.
std::optional<Rect> frameBounds(HWND window) {
  RECT r{};
  if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)) &&
      !GetWindowRect(window, &r)) {
    return std::nullopt;
  }
  return Rect{static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.right - r.left),
              static_cast<double>(r.bottom - r.top)};
}

struct Walk {
  const OwnerFilter& wanted;
  std::unordered_map<DWORD, std::optional<std::string>> names;  // one question per process
  std::vector<WindowInfo> windows;
};

BOOL CALLBACK visit(HWND window, LPARAM context) {
  Walk& walk = *reinterpret_cast<Walk*>(context);
  if (!switchable(window)) return TRUE;
  const DWORD pid = ownerProcess(window);
  auto [name, fresh] = walk.names.try_emplace(pid);
  if (fresh) name->second = processOwnerName(pid);
  if (!name->second || (walk.wanted && !walk.wanted(*name->second))) return TRUE;
  if (const std::optional<Rect> bounds = frameBounds(window)) {
    walk.windows.push_back({.number = numberOf(window),
                            .ownerName = *name->second,
                            .bounds = *bounds,
                            .onScreen = IsIconic(window) == FALSE,
                            .ownerPid = static_cast<std::int64_t>(pid)});
  }
  return TRUE;
}

}  // namespace

std::int64_t numberOf(HWND window) { return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(window)); }

HWND windowOf(std::int64_t number) { return reinterpret_cast<HWND>(static_cast<std::intptr_t>(number)); }

DWORD ownerProcess(HWND window) {
  DWORD pid = 0;
  return GetWindowThreadProcessId(window, &pid) != 0 ? pid : 0;
}

std::optional<std::string> processOwnerName(DWORD pid) {
  if (pid == 0) return std::nullopt;
  const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid), &CloseHandle);
  if (!process) return std::nullopt;
  std::wstring path(32768, L'\0');  // the longest path Windows has
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return std::nullopt;
  path.resize(size);
  return ownerNameFromImagePath(utf8FromWide(path));
}

std::vector<WindowInfo> listAppWindows(const OwnerFilter& wanted) {
  Walk walk{wanted, {}, {}};
  EnumWindows(visit, reinterpret_cast<LPARAM>(&walk));
  return std::move(walk.windows);
}

}  // namespace tessevar::windows
