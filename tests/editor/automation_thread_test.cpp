#include "editor/automation_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "support/captured_lines.h"
#include "support/fake_desktop.h"
#include "util/wake_up.h"

namespace tessevar {
namespace {

using testing::DesktopEvent;
using testing::eventually;
using testing::FakeDesktop;
using namespace std::chrono_literals;

// The recording desktop behind a lock, since the test and the automation
// thread both reach it, with a notification pipe like a window server's.
class SharedDesktop final : public Desktop {
 public:
  // Runs `use` on the recording desktop under the lock, to change or read it.
  template <typename Use>
  auto with(Use use) {
    std::lock_guard lock(mutex_);
    return use(fake_);
  }
  // The window server announces a change.
  void announce() {
    changed_ = true;
    news_.raise();
  }
  std::vector<DesktopEvent> events() {
    return with([](FakeDesktop& d) { return d.events; });
  }
  std::vector<Point> clicks() {
    return with([](FakeDesktop& d) { return d.clicks(); });
  }

  std::vector<WindowInfo> listWindows(const OwnerFilter& wanted) override {
    return with([&](FakeDesktop& d) { return d.listWindows(wanted); });
  }
  bool activate(const std::string& owner, std::int64_t number) override {
    return with([&](FakeDesktop& d) { return d.activate(owner, number); });
  }
  std::optional<std::string> ownerAt(Point at) override {
    return with([&](FakeDesktop& d) { return d.ownerAt(at); });
  }
  void postLeftButton(Point at, bool down) override {
    with([&](FakeDesktop& d) { d.postLeftButton(at, down); });
  }
  void postKey(const KeyTarget& target, Key key, bool down) override {
    with([&](FakeDesktop& d) { d.postKey(target, key, down); });
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

// What the automation thread opens: a shared desktop listing `windows`,
// with `handle` left pointing at it for the test.
Result<std::unique_ptr<Desktop>> sharedDesktop(std::vector<WindowInfo> windows, SharedDesktop*& handle) {
  auto shared = std::make_unique<SharedDesktop>();
  shared->with([&](FakeDesktop& d) { d.windows = std::move(windows); });
  handle = shared.get();
  return std::unique_ptr<Desktop>(std::move(shared));
}

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
    automation = std::make_unique<AutomationThread>([this, windows] { return sharedDesktop(windows, desktop); },
                                                    capture.output, options);
    ASSERT_TRUE(automation->start());
  }
  // The window server lists other windows and announces the change.
  void announce(std::vector<WindowInfo> windows) {
    desktop->with([&](FakeDesktop& d) { d.windows = std::move(windows); });
    desktop->announce();
  }

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
  ASSERT_TRUE(eventually([&] { return desktop->clicks().size() == 2; }));
  ASSERT_TRUE(eventually([&] { return desktop->events().size() == 7u; }));
  using Kind = DesktopEvent::Kind;
  std::vector<Kind> kinds;
  for (const DesktopEvent& e : desktop->events()) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::activate, Kind::leftButton, Kind::leftButton, Kind::key, Kind::key,
                                      Kind::leftButton, Kind::leftButton}));
  EXPECT_EQ(desktop->clicks(), (std::vector<Point>{{75, 380}, {40, 50}}));
}

TEST_F(AutomationThreadTest, AnEditorWindowCountsOnceTheDesktopHasAnnouncedIt) {
  start({});
  hold.release();
  EXPECT_FALSE(automation->refreshEditorWindow());
  announce({testing::referenceEditorWindow(7)});
  ASSERT_TRUE(eventually([&] { return automation->refreshEditorWindow(); }));
  announce({});
  ASSERT_TRUE(eventually([&] { return !automation->refreshEditorWindow(); }));
}

TEST_F(AutomationThreadTest, StopsAfterTheClickUnderWayWhileMoreAreQueued) {
  start();
  for (int i = 0; i < 50; ++i) automation->clickEntry(1);
  hold.waitForFirst();
  automation->requestStop();
  hold.release();
  EXPECT_TRUE(automation->stop(std::chrono::seconds(20)));
  EXPECT_EQ(desktop->clicks().size(), 1u);  // the one under way
  const std::vector<DesktopEvent> events = desktop->events();
  ASSERT_FALSE(events.empty());
  EXPECT_FALSE(events.back().down);  // never leaves the button down
}

TEST_F(AutomationThreadTest, AFloodIsCutToTheLatestAndSaidOnceCaughtUp) {
  start({testing::referenceEditorWindow(7)}, {.capacity = 4});
  automation->clickEntry(1);
  hold.waitForFirst();
  for (std::size_t entry = 2; entry <= 10; ++entry) automation->clickEntry(entry);
  hold.release();
  ASSERT_TRUE(eventually([&] { return desktop->clicks().size() == 5; }));
  ASSERT_TRUE(eventually([&] { return !capture.lines().empty(); }));
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"editor automation fell behind: 5 editor actions dropped"}));
  EXPECT_EQ(desktop->clicks().back(), (Point{440, 380}));  // entry 10, the latest asked
}

TEST(AutomationThreadStart, SaysWhyThereIsNoDesktopAndGoesOnWithNone) {
  testing::CapturedLines capture;
  AutomationThread automation([]() -> Result<std::unique_ptr<Desktop>> { return Failure{"DISPLAY is not set"}; },
                              capture.output);
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
        return sharedDesktop({testing::referenceEditorWindow(7)}, desktop);
      },
      capture.output, {.pause = {}, .processLookup = {}, .now = [&] {
                         return AutomationQueue::Clock::time_point{} + seconds.load() * 1s;
                       }});
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
  EXPECT_TRUE(eventually([&] { return !desktop->clicks().empty(); }));
  EXPECT_TRUE(automation.stop(std::chrono::seconds(20)));
  EXPECT_EQ(tries, 3);
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{"editor automation is on: the desktop"}));
}

}  // namespace
}  // namespace tessevar
