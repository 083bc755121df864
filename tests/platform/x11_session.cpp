#include "platform/x11_session.h"

#include <X11/Xlib.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace tessevar::testing {

void X11Session::SetUp() {
  std::string problem;
  server_ = XvfbServer::start(problem);
  if (!server_) GTEST_SKIP() << "no X server for the X11 desktop tests: " << problem;
  setenv("DISPLAY", server_->display().c_str(), 1);
  startWindowManager();
  Result<std::unique_ptr<Desktop>> desktop = makeDesktop();
  ASSERT_TRUE(desktop) << desktop.reason();
  desktop_ = std::move(*desktop);
}

void X11Session::TearDown() {
  desktop_.reset();
  manager_.reset();
  server_.reset();
  if (!linkDir_.empty()) std::filesystem::remove_all(linkDir_);
}

void X11Session::startWindowManager() {
  if (windowManager() == WindowManagerKind::none) return;
  std::string problem;
  manager_ = WindowManager::start(server_->display(), problem);
  ASSERT_NE(manager_, nullptr) << problem;
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
  // The window manager takes a window in on its own schedule (and never one
  // that is not mapped).
  const bool mapped = std::find(args.begin(), args.end(), "--unmapped") == args.end();
  if (manager_ && editor->ready() && mapped) {
    EXPECT_TRUE(eventually([&] { return findWindow(editor->window()).has_value(); }));
  }
  return editor;
}

void X11Session::click(Point at) {
  desktop_->postLeftButton(at, true);
  desktop_->postLeftButton(at, false);
}

void X11Session::pressKey(const KeyTarget& target, Key key) {
  desktop_->postKey(target, key, true);
  desktop_->postKey(target, key, false);
}

std::optional<WindowInfo> X11Session::findWindow(std::int64_t number) {
  for (const WindowInfo& window : desktop_->listWindows({})) {
    if (window.number == number) return window;
  }
  return std::nullopt;
}

void X11Session::placeWindow(std::int64_t number, const Rect& where) {
  TestClient client(server_->display());
  ASSERT_NE(*client, nullptr);
  XMoveResizeWindow(*client, static_cast<Window>(number), static_cast<int>(where.x), static_cast<int>(where.y),
                    static_cast<unsigned>(where.width), static_cast<unsigned>(where.height));
  XSync(*client, False);
}

void X11Session::restartServer() {
  manager_.reset();
  ASSERT_TRUE(server_->restart()) << "Xvfb did not come back on " << server_->display();
  startWindowManager();
}

void setProperty(Display* display, Window window, const char* name, const char* type, std::vector<long> values) {
  XChangeProperty(display, window, XInternAtom(display, name, False), XInternAtom(display, type, False), 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
  XSync(display, False);
}

std::string windowManagerName(const ::testing::TestParamInfo<WindowManagerKind>& info) {
  return info.param == WindowManagerKind::openbox ? "Openbox" : "NoWindowManager";
}

}  // namespace tessevar::testing
