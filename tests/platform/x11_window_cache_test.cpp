// Lookups reuse what earlier lookups learnt; each case changes a window
// between two lookups through another client and expects the second lookup
// to see the change.
// GoogleTest before Xlib: Xlib's macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "platform/x11_session.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace tessevar::testing {
namespace {

using Client = TestClient;

using X11WindowCache = X11Session;

TEST_F(X11WindowCache, OwnerFollowsChangesOfPidAndClass) {
  auto other = startEditor({"--geometry", "100x100+900+900"}, "Other-App");
  Client client(server_->display());
  ASSERT_NE(*client, nullptr);
  const Window w = client.window(10, 10, 200, 100, "X-AIR-Edit");
  EXPECT_EQ(findWindow(w)->ownerName, "X-AIR-Edit");
  client.setPid(w, other->pid());
  EXPECT_EQ(findWindow(w)->ownerName, "Other-App");
  XDeleteProperty(*client, w, XInternAtom(*client, "_NET_WM_PID", False));
  XClassHint hint{const_cast<char*>("M-AIR-Edit"), const_cast<char*>("M-AIR-Edit")};
  XSetClassHint(*client, w, &hint);
  XSync(*client, False);
  EXPECT_EQ(findWindow(w)->ownerName, "M-AIR-Edit");
}

TEST_F(X11WindowCache, OwnerlessWindowIsListedOnlyWhileMapped) {
  Client client(server_->display());
  ASSERT_NE(*client, nullptr);
  const Window w = client.window(10, 10, 200, 100, nullptr);
  ASSERT_TRUE(findWindow(w).has_value());
  EXPECT_EQ(findWindow(w)->ownerName, "");
  XUnmapWindow(*client, w);
  XSync(*client, False);
  EXPECT_FALSE(findWindow(w).has_value());
  XMapWindow(*client, w);
  XSync(*client, False);
  EXPECT_TRUE(findWindow(w).has_value());
}

TEST_F(X11WindowCache, BoundsFollowBorderChangesAndReparenting) {
  Client client(server_->display());
  ASSERT_NE(*client, nullptr);
  const Window w = client.window(10, 20, 200, 100, "X-AIR-Edit");
  const Window holder = client.window(500, 500, 400, 400, "Holder");
  ASSERT_EQ(findWindow(w)->bounds, (Rect{10, 20, 200, 100}));
  XSetWindowBorderWidth(*client, w, 4);
  XSync(*client, False);
  EXPECT_EQ(findWindow(w)->bounds, (Rect{10, 20, 208, 108}));
  XReparentWindow(*client, w, holder, 5, 5);
  XSync(*client, False);
  EXPECT_FALSE(findWindow(w).has_value()) << "no longer a top-level window";
  XReparentWindow(*client, w, DefaultRootWindow(*client), 70, 80);
  XSync(*client, False);
  EXPECT_EQ(findWindow(w)->bounds, (Rect{70, 80, 208, 108}));
}

// A restarted client gets the number of the window of the one that went
// away, while a window manager may still list the old window for a moment.
TEST_F(X11WindowCache, ANumberGivenAgainNamesTheNewWindow) {
  Client manager(server_->display());
  ASSERT_NE(*manager, nullptr);
  Window first = None;
  {
    Client gone(server_->display());
    first = gone.window(10, 10, 200, 100, "Other-App");
    setProperty(*manager, DefaultRootWindow(*manager), "_NET_CLIENT_LIST", "WINDOW", {long(first)});
    ASSERT_EQ(findWindow(first)->ownerName, "Other-App");
  }
  EXPECT_FALSE(findWindow(first).has_value()) << "still listed, but no longer there";
  Client back(server_->display());
  const Window second = back.window(10, 10, 200, 100, "X-AIR-Edit");
  if (second != first) GTEST_SKIP() << "the server gave the new client another number";
  EXPECT_EQ(findWindow(second)->ownerName, "X-AIR-Edit");
}

// A manager that keeps no client list (weston) puts each client in a frame
// of its own and marks it with WM_STATE: the client is found below its frame,
// and the lookup follows the mark as it comes and goes.
TEST_F(X11WindowCache, WithoutAClientListTheWindowMarkedWithWmStateIsTheClient) {
  auto editor = startEditor({"--geometry", "300x200+0+0"});
  const auto w = static_cast<Window>(editor->window());
  Client manager(server_->display());
  ASSERT_NE(*manager, nullptr);
  const Window frame = manager.window(40, 30, 340, 260, nullptr);
  ASSERT_TRUE(findWindow(w).has_value()) << "no manager yet: the window itself";
  XReparentWindow(*manager, w, frame, 20, 40);
  XSync(*manager, False);
  EXPECT_FALSE(findWindow(w).has_value()) << "not marked yet: the frame stands for it";
  setProperty(*manager, w, "WM_STATE", "WM_STATE", {1, 0});  // NormalState
  const std::optional<WindowInfo> found = findWindow(w);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->ownerName, "X-AIR-Edit");
  EXPECT_EQ(found->bounds, (Rect{60, 70, 300, 200}));
  EXPECT_EQ(desktop_->ownerAt({100, 100}), "X-AIR-Edit");
  XDeleteProperty(*manager, w, XInternAtom(*manager, "WM_STATE", False));
  XSync(*manager, False);
  EXPECT_FALSE(findWindow(w).has_value());
}

}  // namespace
}  // namespace tessevar::testing
