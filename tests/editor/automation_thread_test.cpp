#include "editor/automation_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "support/captured_lines.h"
#include "support/fake_desktop.h"
#include "util/wake_up.h"

namespace tessevar {
namespace {

using testing::eventually;
using testing::FakeDesktop;
using namespace std::chrono_literals;

// The recording desktop behind a lock, since the test and the automation
// thread both reach it, with a notification pipe like a window server's.
class SharedDesktop final : public Desktop {
 public:
  template <typename Change>
  void change(Change change) {
    std::lock_guard lock(mutex_);
    change(fake_);
  }
  // The window server announces a change.
  void announce() {
    changed_ = true;
    news_.raise();
  }
  template <typename Read>
  auto read(Read read) {
    std::lock_guard lock(mutex_);
    return read(fake_);
  }

  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    std::lock_guard lock(mutex_);
    return fake_.listWindows(wanted);
  }
  bool activate(const std::string& owner, std::int64_t number) override {
    std::lock_guard lock(mutex_);
    return fake_.activate(owner, number);
  }
  std::optional<std::string> ownerAt(Point at) override {
    std::lock_guard lock(mutex_);
    return fake_.ownerAt(at);
  }
  void postLeftButton(Point at, bool down) override {
    std::lock_guard lock(mutex_);
    fake_.postLeftButton(at, down);
  }
  void postKey(const KeyTarget& target, Key key, bool down) override {
    std::lock_guard lock(mutex_);
    fake_.postKey(target, key, down);
  }
  int notificationDescriptor() override { return static_cast<int>(news_.handle()); }
  bool takeNotifications() override {
    news_.drain();
    return changed_.exchange(false);
  }

 private:
  std::mutex mutex_;
  FakeDesktop fake_;
  WakeUp news_;
  std::atomic<bool> changed_{false};
};

// A click hold the test can keep down for as long as it likes.
class Hold {
 public:
  void operator()(std::chrono::microseconds) {
    std::unique_lock lock(mutex_);
    ++holds_;
    held_.notify_all();
    released_.wait(lock, [this] { return open_; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    open_ = true;
    released_.notify_all();
  }
  void waitForFirst() {
    std::unique_lock lock(mutex_);
    held_.wait(lock, [this] { return holds_ > 0; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable held_, released_;
  int holds_ = 0;
  bool open_ = false;
};

class AutomationThreadTest : public ::testing::Test {
 protected:
  // The thread owns the desktop; the test keeps a hand on it meanwhile.
  void start(std::vector<WindowInfo> windows = {testing::referenceEditorWindow(7)},
             AutomationQueue::Limits limits = {}) {
    AutomationThread::Options options{.pause = [this](auto d) { hold(d); }, .processLookup = {}, .limits = limits};
    automation = std::make_unique<AutomationThread>(
        [this, windows]() -> Result<std::unique_ptr<Desktop>> {
          auto shared = std::make_unique<SharedDesktop>();
          shared->change([&](FakeDesktop& d) { d.windows = windows; });
          desktop = shared.get();
          return std::unique_ptr<Desktop>(std::move(shared));
        },
        capture.output, options);
    ASSERT_TRUE(automation->start());
  }
  std::size_t clicks() { return desktop->read([](FakeDesktop& d) { return d.clicks().size(); }); }

  Hold hold;
  testing::CapturedLines capture;
  SharedDesktop* desktop = nullptr;
  std::unique_ptr<AutomationThread> automation;
};

TEST_F(AutomationThreadTest, CarriesTheRequestsOutInOrderWithoutHoldingTheCaller) {
  start();
  ASSERT_TRUE(automation->refreshEditorWindow());
  automation->clickEntry(2);
  automation->setEditorPid(512);
  automation->pressKey(Key::f1);
  automation->clickEntry(34);  // all asked while the first click is still held
  hold.waitForFirst();
  hold.release();
  ASSERT_TRUE(eventually([&] { return clicks() == 2; }));
  ASSERT_TRUE(eventually([&] { return desktop->read([](FakeDesktop& d) { return d.events.size(); }) == 7u; }));
  using Kind = testing::DesktopEvent::Kind;
  std::vector<Kind> kinds;
  desktop->read([&](FakeDesktop& d) {
    for (const auto& e : d.events) kinds.push_back(e.kind);
    return 0;
  });
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::activate, Kind::leftButton, Kind::leftButton, Kind::key, Kind::key,
                                      Kind::leftButton, Kind::leftButton}));
  EXPECT_EQ(desktop->read([](FakeDesktop& d) { return d.clicks(); }), (std::vector<Point>{{75, 380}, {40, 50}}));
}

TEST_F(AutomationThreadTest, AnEditorWindowCountsOnceTheDesktopHasAnnouncedIt) {
  start({});
  hold.release();
  EXPECT_FALSE(automation->refreshEditorWindow());
  desktop->change([](FakeDesktop& d) { d.windows = {testing::referenceEditorWindow(7)}; });
  desktop->announce();
  ASSERT_TRUE(eventually([&] { return automation->refreshEditorWindow(); }));
  desktop->change([](FakeDesktop& d) { d.windows.clear(); });
  desktop->announce();
  ASSERT_TRUE(eventually([&] { return !automation->refreshEditorWindow(); }));
}

TEST_F(AutomationThreadTest, StopsAfterTheClickUnderWayWhileMoreAreQueued) {
  start();
  for (int i = 0; i < 50; ++i) automation->clickEntry(1);
  hold.waitForFirst();
  automation->requestStop();
  hold.release();
  EXPECT_TRUE(automation->stop(std::chrono::seconds(20)));
  EXPECT_EQ(clicks(), 1u);  // the one under way
  const auto events = desktop->read([](FakeDesktop& d) { return d.events; });
  ASSERT_FALSE(events.empty());
  EXPECT_FALSE(events.back().down);  // never leaves the button down
}

TEST_F(AutomationThreadTest, AFloodIsCutToTheLatestAndSaidOnceCaughtUp) {
  start({testing::referenceEditorWindow(7)}, {.capacity = 4});
  automation->clickEntry(1);
  hold.waitForFirst();
  for (std::size_t entry = 2; entry <= 10; ++entry) automation->clickEntry(entry);
  hold.release();
  ASSERT_TRUE(eventually([&] { return clicks() == 5; }));
  ASSERT_TRUE(eventually([&] { return !capture.lines().empty(); }));
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"editor automation fell behind: 5 editor actions dropped"}));
  const auto points = desktop->read([](FakeDesktop& d) { return d.clicks(); });
  EXPECT_EQ(points.back(), (Point{440, 380}));  // entry 10, the latest asked
}

TEST(AutomationThreadStart, SaysWhyThereIsNoDesktopAndGoesOnWithNone) {
  testing::CapturedLines capture;
  AutomationThread automation(
      []() -> Result<std::unique_ptr<Desktop>> { return Failure{"DISPLAY is not set"}; }, capture.output);
  const Result<void> started = automation.start();
  ASSERT_FALSE(started);
  EXPECT_EQ(started.reason(), "DISPLAY is not set");
  EXPECT_FALSE(automation.refreshEditorWindow());
  automation.clickEntry(1);
  EXPECT_TRUE(automation.stop(std::chrono::seconds(20)));
}

// The display may come after the program: it is tried again at most once a
// second, and its coming is said once.
TEST(AutomationThreadStart, ADesktopThatComesLaterIsTakenAndSaidOnce) {
  testing::CapturedLines capture;
  std::atomic<int> tries{0};
  std::atomic<int> seconds{0};
  SharedDesktop* desktop = nullptr;
  AutomationThread automation(
      [&]() -> Result<std::unique_ptr<Desktop>> {
        if (++tries < 3) return Failure{"cannot reach X display :57"};
        auto shared = std::make_unique<SharedDesktop>();
        shared->change([](FakeDesktop& d) { d.windows = {testing::referenceEditorWindow(7)}; });
        desktop = shared.get();
        return std::unique_ptr<Desktop>(std::move(shared));
      },
      capture.output,
      {.pause = {}, .processLookup = {}, .now = [&] { return AutomationQueue::Clock::time_point{} + seconds.load() * 1s; }});
  const Result<void> started = automation.start();
  ASSERT_FALSE(started);
  EXPECT_EQ(started.reason(), "cannot reach X display :57");
  for (int attempt = 2; attempt <= 3; ++attempt) {
    automation.clickEntry(1);  // wakes the thread: too early to try again
    ++seconds;
    ASSERT_TRUE(eventually([&] {
      automation.clickEntry(1);
      return tries == attempt;
    }));
  }
  ASSERT_TRUE(eventually([&] { return automation.refreshEditorWindow(); }));
  EXPECT_TRUE(eventually([&] { return desktop->read([](FakeDesktop& d) { return !d.clicks().empty(); }); }));
  EXPECT_TRUE(automation.stop(std::chrono::seconds(20)));
  EXPECT_EQ(tries, 3);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"editor automation is on: the desktop"}));
}

}  // namespace
}  // namespace tessevar
