// A stand-in for the mixer's editor: one X11 top-level window that records
// what reaches it. Built as "X-AIR-Edit" so its process name matches.
//
//   X-AIR-Edit [--display NAME] [--geometry WxH+X+Y] [--border N]
//              [--log FILE] [--class NAME] [--no-pid] [--unmapped]
//
//   --display   X display (default: $DISPLAY)
//   --geometry  window size and position (default 1154x734+100+50)
//   --border    X border width in pixels (default 0)
//   --log       file to append event lines to (default: none)
//   --class     WM_CLASS class (default X-AIR-Edit)
//   --no-pid    do not set _NET_WM_PID
//   --unmapped  create the window but never map it
//
// Lines, each written and flushed at once, to the log and to stdout:
//   "ready WINDOW"   the window (decimal id) is mapped (or created, --unmapped)
//   "button B X Y"   ButtonPress of button B at window-relative X, Y
//   "key NAME"       KeyPress, NAME the keysym's name (F1, Escape, ...)
//   "focus"          FocusIn
// Runs until killed or until its X server goes away.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  const char* display = nullptr;
  unsigned width = 1154;
  unsigned height = 734;
  int x = 100;
  int y = 50;
  unsigned border = 0;
  const char* log = nullptr;
  std::string className = "X-AIR-Edit";
  bool setPid = true;
  bool map = true;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--no-pid") {
      options.setPid = false;
    } else if (arg == "--unmapped") {
      options.map = false;
    } else if (!hasValue) {
      return false;
    } else if (arg == "--display") {
      options.display = argv[++i];
    } else if (arg == "--log") {
      options.log = argv[++i];
    } else if (arg == "--class") {
      options.className = argv[++i];
    } else if (arg == "--border") {
      options.border = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (arg == "--geometry") {
      if (std::sscanf(argv[++i], "%ux%u+%d+%d", &options.width, &options.height, &options.x,
                      &options.y) != 4) {
        return false;
      }
    } else {
      return false;
    }
  }
  return true;
}

class Log {
 public:
  explicit Log(const char* path)
      : fd_(path ? ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1) {}
  void line(const std::string& text) const {
    const std::string whole = text + "\n";
    if (fd_ >= 0 && ::write(fd_, whole.data(), whole.size()) < 0) std::perror("log");
    std::fputs(whole.c_str(), stdout);
    std::fflush(stdout);
  }

 private:
  int fd_;
};

Window createWindow(Display* display, const Options& options) {
  const int screen = DefaultScreen(display);
  const Window window = XCreateSimpleWindow(
      display, RootWindow(display, screen), options.x, options.y, options.width, options.height,
      options.border, BlackPixel(display, screen), WhitePixel(display, screen));
  XSelectInput(display, window,
               ButtonPressMask | KeyPressMask | FocusChangeMask | StructureNotifyMask);
  XSizeHints hints{};
  hints.flags = USPosition | USSize;
  hints.x = options.x;
  hints.y = options.y;
  hints.width = static_cast<int>(options.width);
  hints.height = static_cast<int>(options.height);
  XSetWMNormalHints(display, window, &hints);
  std::string instance = options.className;
  XClassHint classHint{instance.data(), const_cast<char*>(options.className.c_str())};
  XSetClassHint(display, window, &classHint);
  XStoreName(display, window, options.className.c_str());
  if (options.setPid) {
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL,
                    32, PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  }
  return window;
}

void waitUntilMapped(Display* display, Window window) {
  XMapWindow(display, window);
  XEvent event;
  do {
    XWindowEvent(display, window, StructureNotifyMask, &event);
  } while (event.type != MapNotify);
}

void report(const Log& log, const XEvent& event) {
  char text[128];
  if (event.type == ButtonPress) {
    std::snprintf(text, sizeof text, "button %u %d %d", event.xbutton.button, event.xbutton.x,
                  event.xbutton.y);
  } else if (event.type == KeyPress) {
    XKeyEvent key = event.xkey;
    const char* name = XKeysymToString(XLookupKeysym(&key, 0));
    std::snprintf(text, sizeof text, "key %s", name ? name : "?");
  } else if (event.type == FocusIn) {
    std::snprintf(text, sizeof text, "focus");
  } else {
    return;
  }
  log.line(text);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: see the comment at the top of test_editor.cpp\n");
    return 2;
  }
  Display* display = XOpenDisplay(options.display);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open display\n");
    return 1;
  }
  const Log log(options.log);
  const Window window = createWindow(display, options);
  if (options.map) waitUntilMapped(display, window);
  XSync(display, False);
  log.line("ready " + std::to_string(window));
  for (XEvent event;;) {
    XNextEvent(display, &event);
    report(log, event);
  }
}
