#include "editor/automation_queue.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace tessevar {
namespace {

using namespace std::chrono_literals;
using Kind = EditorCommand::Kind;
using Clock = AutomationQueue::Clock;

EditorCommand activate() { return {.kind = Kind::activate}; }
EditorCommand click(std::size_t entry) { return {.kind = Kind::click, .entry = entry}; }
EditorCommand key(Key k) { return {.kind = Kind::key, .key = k}; }

// The queue under a clock the test moves by hand.
struct QueueTest : ::testing::Test {
  AutomationQueue queue{{.capacity = 4, .maxAge = 2s, .activationMerge = 20ms, .reportAfter = 10s}};
  Clock::time_point now{};

  void push(std::initializer_list<EditorCommand> commands) {
    for (const EditorCommand& c : commands) queue.push(c, now);
  }
  std::vector<EditorCommand> takeAll() {
    std::vector<EditorCommand> taken;
    while (std::optional<EditorCommand> c = queue.take(now)) taken.push_back(*c);
    return taken;
  }
};

TEST_F(QueueTest, KeepsOrderAndMergesActivationsWithNothingBetween) {
  push({activate(), activate(), click(3), activate(), activate(), key(Key::f1)});
  EXPECT_EQ(takeAll(), (std::vector<EditorCommand>{activate(), click(3), activate(), key(Key::f1)}));
}

TEST_F(QueueTest, ActivationSoonAfterOneCarriedOutIsMergedUnlessSomethingCameBetween) {
  push({activate()});
  takeAll();
  now += 19ms;
  push({activate()});
  EXPECT_TRUE(takeAll().empty());
  now += 1ms;  // 20 ms after the first: carried out again
  push({activate()});
  EXPECT_EQ(takeAll().size(), 1u);
  push({click(1), activate()});
  EXPECT_EQ(takeAll(), (std::vector<EditorCommand>{click(1), activate()}));
  queue.desktopChanged();  // the desktop moved on: the editor may need bringing forward again
  push({activate()});
  EXPECT_EQ(takeAll().size(), 1u);
}

TEST_F(QueueTest, FullQueueDropsTheOldestSoTheLatestStateSurvives) {
  push({click(1), click(2), click(3), click(4), click(5), click(6)});
  EXPECT_EQ(takeAll(), (std::vector<EditorCommand>{click(3), click(4), click(5), click(6)}));
  EXPECT_EQ(queue.dropReport(now), 2u);
  EXPECT_EQ(queue.dropReport(now), std::nullopt);  // once per fall-behind
}

TEST_F(QueueTest, CommandsTooOldWhenTheirTurnComesAreDropped) {
  push({click(1), click(2)});
  now += 1s;
  push({click(3)});
  now += 1001ms;
  EXPECT_EQ(takeAll(), (std::vector<EditorCommand>{click(3)}));
  EXPECT_EQ(queue.dropReport(now), 2u);
}

TEST_F(QueueTest, DropsAreReportedOnceCaughtUpOrAfterALongFallBehind) {
  push({click(1), click(2), click(3), click(4), click(5)});
  EXPECT_EQ(queue.dropReport(now), std::nullopt);  // not caught up yet
  now += 10s;
  EXPECT_EQ(queue.dropReport(now), 1u);  // still behind, but said by now
  push({click(6)});                       // the queue is full again: a new fall-behind
  EXPECT_EQ(queue.dropReport(now), std::nullopt);
  takeAll();
  EXPECT_EQ(queue.dropReport(now), 4u);  // one made room for click 6, three aged out in those 10 s
}

TEST_F(QueueTest, WakesTheConsumerOnlyWhenItSleeps) {
  EXPECT_FALSE(queue.push(click(1), now));  // the consumer has not said it sleeps
  EXPECT_FALSE(queue.prepareToWait());       // and cannot: a command waits
  takeAll();
  EXPECT_TRUE(queue.prepareToWait());
  EXPECT_TRUE(queue.push(click(2), now));
  EXPECT_FALSE(queue.push(click(3), now));
}

}  // namespace
}  // namespace tessevar
