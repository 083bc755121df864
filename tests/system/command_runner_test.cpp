#include "system/command_runner.h"

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/eventually.h"
#include "support/temp_folder.h"

namespace tessevar {
namespace {

TEST(RunCommand, ArgumentsReachTheProgramUnchangedAndOutputIsDecodedLossy) {
  EXPECT_EQ(runCommand("/usr/bin/printf", {"[%s]", "a b", " c ", "", "$HOME", "*"}),
            "[a b][ c ][][$HOME][*]");
  EXPECT_EQ(runCommand("/usr/bin/printf", {" a\\377b\n"}), " a\xEF\xBF\xBD" "b\n");
}

TEST(RunCommand, ReadsOutputLargerThanAPipeBuffer) {
  const auto output = runCommand("/usr/bin/head", {"-c", "1000000", "/dev/zero"});
  ASSERT_TRUE(output);
  EXPECT_EQ(output->size(), 1000000u);
}

TEST(RunCommand, ProgramsThatCannotStartAreFailures) {
  testing::TempFolder folder;
  const auto plain = folder.path() / "not-executable";
  testing::writeBytes(plain, "#!/bin/sh\necho hi\n");
  EXPECT_FALSE(runCommand("", {}));
  EXPECT_FALSE(runCommand((folder.path() / "missing").string(), {}));
  EXPECT_FALSE(runCommand(plain.string(), {}));
  EXPECT_FALSE(runCommand(folder.path().string(), {}));
  EXPECT_FALSE(runCommand("echo", {"no PATH search"}));
}

// The child closes its output and then waits for a file of ours (giving up
// after a while, so a call that waits for it cannot hang the test): the call
// must come back before that, and a later call must collect the child.
TEST(RunCommand, ReturnsAtTheEndOfOutputAndALaterCallCollectsTheChild) {
  testing::TempFolder folder;
  const std::string go = (folder.path() / "go").string();
  const auto output = runCommand(
      "/bin/sh", {"-c", "echo $$; exec >&-; i=0; while [ ! -e " + go + " ] && [ $i -lt 1000 ]; do"
                   " sleep 0.01; i=$((i+1)); done"});
  ASSERT_TRUE(output);
  const pid_t child = std::stoi(*output);
  EXPECT_EQ(::kill(child, 0), 0) << "the child runs on after its output";
  testing::writeBytes(go, "");
  // A zombie still answers kill(pid, 0); a collected child is gone.
  testing::eventually([&] { return runCommand("/bin/true", {}) && ::kill(child, 0) != 0; }, std::chrono::seconds(10));
  EXPECT_EQ(::kill(child, 0), -1) << "child " << child << " was never collected";
}

// The pipe ends take the lowest free descriptors; the child must see neither.
TEST(RunCommand, PipeDescriptorsDoNotReachTheChild) {
  const int probe = ::dup(0);
  ASSERT_GE(probe, 0);
  ::close(probe);
  const std::string script = "for fd in " + std::to_string(probe) + " " +
                             std::to_string(probe + 1) +
                             "; do [ -e /dev/fd/$fd ] && echo leaked $fd; done; true";
  EXPECT_EQ(runCommand("/bin/sh", {"-c", script}), "");
}

TEST(RunCommand, ConcurrentCallsEachGetTheirOwnOutput) {
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (int i = 0; i < 15; ++i) {
        const std::string word = std::to_string(t) + "." + std::to_string(i);
        if (runCommand("/bin/echo", {word}) != word + "\n") ++mismatches[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace tessevar
