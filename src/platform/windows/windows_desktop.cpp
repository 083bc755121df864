// Win32 backend of the Desktop seam. Coordinates are physical pixels: the
// program's manifest makes it per-monitor DPI aware (v2), so window bounds,
// hit tests and absolute input agree on every monitor and scale.
#include <windows.h>

#include <chrono>

#include "platform/desktop.h"
#include "platform/look_pacer.h"
#include "platform/windows/desktop_rules.h"
#include "platform/windows/window_list.h"

namespace tessevar {
namespace {

using namespace tessevar::windows;

// Windows tells this program nothing of windows coming and going: a fresh
// look at most this often stands in for news.
constexpr std::chrono::seconds lookInterval{1};

WPARAM virtualKey(Key key) {
  switch (key) {
    case Key::f1: return VK_F1;
    case Key::f2: return VK_F2;
    case Key::f3: return VK_F3;
    case Key::f4: return VK_F4;
    case Key::escape: return VK_ESCAPE;
  }
  return VK_ESCAPE;
}

// The key message's bits: repeat count 1, the scan code, and for a release
// "was down" and "being released".
LPARAM keyBits(WPARAM key, bool down) {
  const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC));
  return 1 | (scanCode << 16) | (down ? 0 : (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

VirtualScreen virtualScreen() {
  return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
          GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

class WindowsDesktop final : public Desktop {
 public:
  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override { return listAppWindows(wanted); }

  // Windows lets a background process take the foreground only in some
  // cases, and says when it refused. Without a window manager (Wine on a
  // bare X server) the foreground window is not raised, hence the raise.
  bool activate(const std::string&, std::int64_t windowNumber) override {
    const HWND window = windowOf(windowNumber);
    if (!IsWindow(window)) return false;
    const bool minimised = IsIconic(window) != FALSE;
    if (!minimised && GetForegroundWindow() == window) return true;
    if (minimised) ShowWindow(window, SW_RESTORE);
    const bool foreground = SetForegroundWindow(window) != FALSE;
    BringWindowToTop(window);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return foreground;
  }

  std::optional<std::string> ownerAt(Point at) override {
    const std::optional<Pixel> pixel = wholePixel(at);
    if (!pixel) return std::nullopt;
    const POINT point{pixel->x, pixel->y};
    if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL) == nullptr) return std::nullopt;
    const HWND hit = WindowFromPoint(point);
    const HWND top = hit != nullptr ? GetAncestor(hit, GA_ROOT) : nullptr;
    if (top == nullptr || top == GetDesktopWindow()) return std::nullopt;
    return processOwnerName(ownerProcess(top));
  }

  // The primary button, which is the right one when the user swapped them.
  void postLeftButton(Point at, bool down) override {
    const std::optional<Pixel> pixel = wholePixel(at);
    if (!pixel) return;
    const VirtualScreen screen = virtualScreen();
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = normalisedPosition(pixel->x, screen.left, screen.width);
    input.mi.dy = normalisedPosition(pixel->y, screen.top, screen.height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    if (down) {
      input.mi.dwFlags |= swapped ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    } else {
      input.mi.dwFlags |= swapped ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    }
    SendInput(1, &input, sizeof input);
  }

  // Posted to the editor's window, which needs no focus for it; never to a
  // window another process has come to own.
  void postKey(const KeyTarget& target, Key key, bool down) override {
    const HWND window = windowOf(target.windowNumber);
    if (target.windowNumber == 0 || !IsWindow(window)) return;
    if (target.pid > 0 && ownerProcess(window) != static_cast<DWORD>(target.pid)) return;
    const WPARAM code = virtualKey(key);
    PostMessageW(window, down ? WM_KEYDOWN : WM_KEYUP, code, keyBits(code, down));
  }

  bool takeNotifications() override { return pacer_.due(LookPacer::Clock::now()); }

 private:
  LookPacer pacer_{lookInterval};
};

}  // namespace

Result<std::unique_ptr<Desktop>> openWindowsDesktop() {
  return std::unique_ptr<Desktop>(std::make_unique<WindowsDesktop>());
}

}  // namespace tessevar
