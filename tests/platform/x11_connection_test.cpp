#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/x11_session.h"

namespace tessevar::testing {
namespace {

void setOrUnset(const char* variable, const char* value) {
  if (value) {
    setenv(variable, value, 1);
  } else {
    unsetenv(variable);
  }
}

// Why the desktop could not be opened ("" when it was).
std::string whyNoDesktop() {
  const Result<std::unique_ptr<Desktop>> desktop = makeDesktop();
  return desktop ? "" : desktop.reason();
}

std::string unreachable(const std::string& display) {
  return "no display could be opened (cannot reach X display " + display + ")";
}

TEST(X11Connection, NoDisplayMeansNoDesktopAndAReason) {
  struct Case {
    const char* display;
    const char* wayland;
    const char* problem;
  } cases[] = {
      {nullptr, nullptr, "no display could be opened (DISPLAY is not set)"},
      {"", nullptr, "no display could be opened (DISPLAY is not set)"},
      {nullptr, "wayland-0",
       "no display could be opened (DISPLAY is not set; the editor runs under XWayland on this Wayland desktop, "
       "and Tessevar needs XWayland's display in DISPLAY, often :0)"},
      {":4093", "wayland-0", "no display could be opened (cannot reach X display :4093)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.display ? c.display : "(unset)") + " " + (c.wayland ? c.wayland : "(unset)"));
    setOrUnset("DISPLAY", c.display);
    setOrUnset("WAYLAND_DISPLAY", c.wayland);
    EXPECT_EQ(whyNoDesktop(), c.problem);
  }
  unsetenv("WAYLAND_DISPLAY");
}

// A display that accepts connections and never answers: a listening socket
// where an X server's would be. Once told to refuse, it answers each
// client's setup request with a refusal, as a server does to a client
// without its cookie.
class SilentDisplay {
 public:
  SilentDisplay() {
    mkdir("/tmp/.X11-unix", 01777);
    // A number of its own: an open abandoned on an earlier one may still wait.
    static int next = 4000;
    for (int number = next; number < 4100 && fd_ < 0; next = ++number) {
      const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
      if (access(path.c_str(), F_OK) == 0) continue;
      const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      path.copy(address.sun_path, sizeof address.sun_path - 1);
      if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && listen(fd, 8) == 0) {
        fd_ = fd;
        path_ = path;
        name_ = ":" + std::to_string(number);
      } else {
        close(fd);
      }
    }
  }
  ~SilentDisplay() {
    stop_ = true;
    if (refuser_.joinable()) refuser_.join();
    if (fd_ >= 0) close(fd_), unlink(path_.c_str());
  }
  const std::string& name() const { return name_; }

  void refuse() {
    refuser_ = std::thread([this] {
      const std::string reason = "No protocol specified\n";  // 22 bytes, padded to 24
      std::string reply{'\0', static_cast<char>(reason.size()), 11, 0, 0, 0, 6, 0};
      reply += reason + std::string(2, '\0');
      while (!stop_) {
        pollfd wait{fd_, POLLIN, 0};
        if (poll(&wait, 1, 20) <= 0) continue;
        const int client = accept(fd_, nullptr, nullptr);
        char request[512];
        if (recv(client, request, sizeof request, 0) > 0) {
          ++setupRequests_;
          send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
        close(client);
      }
    });
  }
  int setupRequests() const { return setupRequests_; }

 private:
  std::thread refuser_;
  std::atomic<bool> stop_{false};
  std::atomic<int> setupRequests_{0};
  int fd_ = -1;
  std::string path_;
  std::string name_;
};

// Start-up goes on without editor automation instead of hanging; a second
// try while the first still waits gives up the same way, and once the
// silent display goes away the display is tried afresh.
TEST(X11Connection, ADisplayThatNeverAnswersIsGivenUp) {
  std::string name;
  {
    SilentDisplay silent;
    name = silent.name();
    ASSERT_FALSE(name.empty()) << "no free display number for a silent socket";
    setenv("DISPLAY", name.c_str(), 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_EQ(whyNoDesktop(), "no display could be opened (X display " + name + " did not answer within 3 s)");
    }
  }
  EXPECT_TRUE(eventually([&] { return whyNoDesktop() == unreachable(name); }));
}

// A refusal is printed by the X library each time the server is asked, so a
// display that refused is not asked again at every try (within a second).
TEST(X11Connection, AServerThatRefusedIsNotAskedAgainAtOnce) {
  SilentDisplay refusing;
  ASSERT_FALSE(refusing.name().empty()) << "no free display number for a socket";
  refusing.refuse();
  setenv("DISPLAY", refusing.name().c_str(), 1);
  for (int attempt = 0; attempt < 3; ++attempt) EXPECT_EQ(whyNoDesktop(), unreachable(refusing.name()));
  EXPECT_EQ(refusing.setupRequests(), 1);
}

using X11ServerLoss = X11Session;

TEST_F(X11ServerLoss, DesktopBecomesEmptyAndQuietWhenTheServerDies) {
  auto editor = startEditor();
  ASSERT_FALSE(desktop_->listWindows({}).empty());
  server_->kill();
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(desktop_->listWindows({}).empty());
    desktop_->activate("X-AIR-Edit", editor->window());
    click({10, 10});
    pressKey({editor->pid(), 0}, Key::f1);
  }
  desktop_.reset();
  SUCCEED() << "still running after the server went away";
}

// The first call after the loss is a pure write with no reply to wait for:
// it must neither end the process (Xlib's exit, SIGPIPE) nor block.
TEST_F(X11ServerLoss, APostIntoADeadConnectionDoesNotEndTheProcess) {
  server_->kill();
  click({10, 10});
  EXPECT_TRUE(desktop_->listWindows({}).empty());
}

}  // namespace
}  // namespace tessevar::testing
