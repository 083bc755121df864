#include "platform/x11_session.h"

#include <X11/Xlib.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace tessevar::testing {

void X11Session::SetUp() {
  std::string problem;
  server_ = XvfbServer::start(problem);
  if (!server_) GTEST_SKIP() << "no X server for the X11 desktop tests: " << problem;
  setenv("DISPLAY", server_->display().c_str(), 1);
  desktop_ = makeDesktop(problem);
  ASSERT_NE(desktop_, nullptr) << problem;
}

void X11Session::TearDown() {
  desktop_.reset();
  server_.reset();
  if (!linkDir_.empty()) std::filesystem::remove_all(linkDir_);
}

std::unique_ptr<EditorUnderTest> X11Session::startEditor(const std::vector<std::string>& args,
                                                         const std::string& name) {
  std::string program = testEditorProgram();
  if (name != "X-AIR-Edit") {
    if (linkDir_.empty()) {
      std::string pattern = "/tmp/tessevar-apps-XXXXXX";
      linkDir_ = mkdtemp(pattern.data());
    }
    const std::string link = linkDir_ + "/" + name;
    if (!std::filesystem::is_symlink(link)) std::filesystem::create_symlink(program, link);
    program = link;
  }
  auto editor = std::make_unique<EditorUnderTest>(program, server_->display(), args);
  EXPECT_TRUE(editor->ready()) << name << " did not come up";
  return editor;
}

std::optional<WindowInfo> X11Session::findWindow(std::int64_t number) {
  for (const WindowInfo& window : desktop_->listWindows({})) {
    if (window.number == number) return window;
  }
  return std::nullopt;
}

void X11Session::placeWindow(std::int64_t number, const Rect& where) {
  Display* display = XOpenDisplay(server_->display().c_str());
  ASSERT_NE(display, nullptr);
  XMoveResizeWindow(display, static_cast<Window>(number), static_cast<int>(where.x),
                    static_cast<int>(where.y), static_cast<unsigned>(where.width),
                    static_cast<unsigned>(where.height));
  XSync(display, False);
  XCloseDisplay(display);
}

Point scaledPoint(const Rect& bounds, Point reference) {
  return {bounds.x + reference.x * (bounds.width / 1154.0),
          bounds.y + reference.y * (bounds.height / 734.0)};
}

}  // namespace tessevar::testing
