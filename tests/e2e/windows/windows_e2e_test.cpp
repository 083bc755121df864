// The Windows build in the test network under Wine, with the Win32 test
// editor: what the mixer and the X-Touch send becomes clicks at the scaled
// points and keys in the editor, the editor is brought forward, every
// datagram goes through unchanged, and one copy relays at a time.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <sstream>

#include "e2e/e2e_fixture.h"
#include "e2e/windows/wine_stage.h"
#include "support/child_process.h"
#include "support/editor_log.h"
#include "support/x11_probe.h"

namespace tessevar::testing {
namespace {

// The Win32 test editor under Wine, as `name`.exe, its window at (x, y).
class WineEditor {
 public:
  WineEditor(const std::string& name, int x, int y) : log_(folder_.path() / "events.log") {
    std::filesystem::path program = wineStage().windowsBin / "X-AIR-Edit.exe";
    if (name != "X-AIR-Edit") {
      std::filesystem::copy_file(program, folder_.path() / (name + ".exe"));
      program = folder_.path() / (name + ".exe");
    }
    pid_ = spawnProcess({"wine", program.string(), "--log", windowsPath(log_.path()), "--at", std::to_string(x),
                         std::to_string(y)});
    if (log_.waitForLine("ready ").empty()) return;
    std::istringstream frame(log_.waitForLine("frame ").substr(6));
    std::istringstream client(log_.waitForLine("client ").substr(7));
    long left = 0, top = 0, right = 0, bottom = 0;
    frame >> left >> top >> right >> bottom;
    client >> clientX_ >> clientY_;
    bounds_ = {double(left), double(top), double(right - left), double(bottom - top)};
  }
  ~WineEditor() { stopProcess(pid_, SIGKILL); }
  WineEditor(const WineEditor&) = delete;
  WineEditor& operator=(const WineEditor&) = delete;

  bool ready() const { return bounds_.width > 0; }
  const Rect& bounds() const { return bounds_; }
  // Its log line for a click at a reference point, placed as the program places it.
  std::string clickLine(Point reference) const {
    const Point at = scaledPoint(bounds_, reference);
    return "button 1 " + std::to_string(std::lround(at.x) - clientX_) + " " + std::to_string(std::lround(at.y) - clientY_);
  }
  std::vector<std::string> lines() const { return log_.lines(); }

 private:
  TempFolder folder_;
  EditorLog log_;
  pid_t pid_ = -1;
  Rect bounds_{};
  long clientX_ = 0;
  long clientY_ = 0;
};

class WindowsEndToEnd : public ConfiguredStage {
 protected:
  void SetUp() override {
    ConfiguredStage::SetUp();
    if (IsSkipped()) return;
    editor = std::make_unique<WineEditor>("X-AIR-Edit", 100, 50);
    ASSERT_TRUE(editor->ready()) << "the test editor did not start under Wine";
    startDevices();
    ASSERT_TRUE(endsWithBanner(startProgram(wineStage().display, true, std::chrono::seconds(30))));
  }

  void TearDown() override { tessevar.reset(); }  // before the editor goes

  // The editor's clicks and keys after the `taken` ones, once `count` came.
  std::vector<std::string> nextInput(std::size_t count) {
    std::vector<std::string> input;
    eventually([&] {
      input.clear();
      for (const std::string& line : editor->lines()) {
        if (line.starts_with("button") || line.starts_with("key")) input.push_back(line);
      }
      return input.size() >= taken + count;
    });
    input.erase(input.begin(), input.begin() + static_cast<long>(std::min(taken, input.size())));
    taken += input.size();
    return input;
  }

  std::unique_ptr<WineEditor> editor;
  std::size_t taken = 0;
};

TEST_F(WindowsEndToEnd, ClicksAtTheScaledPointsAndPressesKeys) {
  const std::string found = foundLine(editor->bounds());
  EXPECT_TRUE(eventually([&] { return said(found); })) << found;

  EXPECT_TRUE(relayedFromMixer({0xB0, 0x60, 0x06, 0x61, 0x5B}));  // "12": strip 10, then strip 12
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{editor->clickLine({440, 380}), editor->clickLine({530, 380})}));
  EXPECT_TRUE(relayedFromMixer({0x90, 0x36, 0x7F}));  // page 2: top row entry, then F1
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{editor->clickLine({730, 50}), "key F1"}));
  EXPECT_TRUE(relayedFromMixer({0x90, 0x36, 0x00}));  // the first lamp-off after start presses nothing
  EXPECT_TRUE(relayedFromMixer({0x90, 0x36, 0x00}));  // a later one: F1, then Escape
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"key F1", "key Escape"}));

  EXPECT_TRUE(relayedFromSurface({0x90, 0x5A, 0x7F}));  // solo: clicks, lights its lamp, reaches the mixer
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}));
  EXPECT_EQ(nextInput(1), std::vector<std::string>{editor->clickLine({1130, 415})});
}

TEST_F(WindowsEndToEnd, BringsTheEditorForwardWhenAnotherWindowCameFirst) {
  const auto focused = [&] { return std::ranges::count(editor->lines(), "focus"); };
  const auto before = focused();
  WineEditor other("Other-App", 300, 200);  // takes the focus
  ASSERT_TRUE(other.ready());
  EXPECT_TRUE(sendUntil({0xE0, 0x00, 0x40}, [&] { return focused() > before; }, 40));
  EXPECT_FALSE(said("the desktop did not bring the editor to the front"));
}

TEST_F(WindowsEndToEnd, ASecondCopyIsRefusedWhileTheFirstKeepsRelaying) {
  TessevarProcess second({home.path(), wineStage().display});
  const std::optional<std::string> line = second.nextLine(std::chrono::seconds(30));
  ASSERT_TRUE(line);
  EXPECT_TRUE(std::regex_match(*line, std::regex("Tessevar is already running as process [0-9]+: only one copy can "
                                                 "relay at a time")))
      << *line;
  EXPECT_EQ(second.waitForExit(std::chrono::seconds(30)), 1);
  EXPECT_TRUE(relayedFromSurface({0x90, 0x10, 0x7F}));
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->waitForExit(), 0);
}

}  // namespace
}  // namespace tessevar::testing
