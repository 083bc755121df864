// A stand-in for the mixer's editor on Windows: one top-level window that
// records what reaches it. Built as X-AIR-Edit.exe so its image name matches.
//
//   X-AIR-Edit.exe --log FILE [--at X Y] [--client W H]
//
//   --log     file to append event lines to
//   --at      the window's top-left corner on the screen (default 100 50)
//   --client  the size of its client area (default 1154 734)
//
// Lines, each appended and flushed at once:
//   "frame L T R B"  its bounds on the screen as the program takes them
//   "client X Y"     the screen point of its client area's corner
//   "ready WINDOW"   the window (its handle, decimal) is shown
//   "button 1 X Y"   left button down at client X, Y
//   "key NAME"       key down: F1 to F4, Escape, else "vk" and its code
//   "focus"          the window got the keyboard focus
// Runs until its window is closed or the process is ended.
#include <windows.h>
#include <dwmapi.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

struct Options {
  const wchar_t* log = nullptr;
  int x = 100;
  int y = 50;
  int width = 1154;
  int height = 734;
};

FILE* logFile = nullptr;

void logLine(const std::string& line) {
  if (logFile == nullptr) return;
  std::fputs((line + "\n").c_str(), logFile);
  std::fflush(logFile);
}

bool parse(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const int left = argc - i - 1;
    if (arg == L"--log" && left >= 1) {
      options.log = argv[++i];
    } else if (arg == L"--at" && left >= 2) {
      options.x = _wtoi(argv[++i]);
      options.y = _wtoi(argv[++i]);
    } else if (arg == L"--client" && left >= 2) {
      options.width = _wtoi(argv[++i]);
      options.height = _wtoi(argv[++i]);
    } else {
      return false;
    }
  }
  return options.log != nullptr;
}

std::string keyName(WPARAM key) {
  if (key >= VK_F1 && key <= VK_F4) return "F" + std::to_string(key - VK_F1 + 1);
  if (key == VK_ESCAPE) return "Escape";
  return "vk" + std::to_string(key);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      logLine("button 1 " + std::to_string(GET_X_LPARAM(lParam)) + " " + std::to_string(GET_Y_LPARAM(lParam)));
      return 0;
    case WM_KEYDOWN: logLine("key " + keyName(wParam)); return 0;
    case WM_SETFOCUS: logLine("focus"); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND createWindow(const Options& options) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = windowProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"TessevarTestEditor";
  RegisterClassW(&windowClass);
  RECT frame{0, 0, options.width, options.height};
  AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  return CreateWindowExW(0, windowClass.lpszClassName, L"X-AIR-Edit", WS_OVERLAPPEDWINDOW,
                         options.x, options.y, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                         nullptr, windowClass.hInstance, nullptr);
}

// The outer frame the user sees (DWM's), else the window rectangle.
void logPlace(HWND window) {
  RECT frame{};
  if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &frame, sizeof frame))) {
    GetWindowRect(window, &frame);
  }
  POINT client{0, 0};
  ClientToScreen(window, &client);
  logLine("frame " + std::to_string(frame.left) + " " + std::to_string(frame.top) + " " + std::to_string(frame.right) +
          " " + std::to_string(frame.bottom));
  logLine("client " + std::to_string(client.x) + " " + std::to_string(client.y));
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  Options options;
  if (argv == nullptr || !parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: see the comment at the top of test_editor.cpp\n");
    return 2;
  }
  const HWND window = createWindow(options);
  if (window == nullptr) {
    std::fprintf(stderr, "X-AIR-Edit: no window (error %lu); under Wine, is DISPLAY set?\n", GetLastError());
    return 1;
  }
  logFile = _wfopen(options.log, L"ab");  // lines end in "\n" on every system
  if (logFile == nullptr) return 1;
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  logPlace(window);
  logLine("ready " + std::to_string(reinterpret_cast<std::intptr_t>(window)));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
