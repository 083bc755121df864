#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "support/eventually.h"
#include "support/test_editor_client.h"
#include "support/window_manager.h"
#include "support/x11_probe.h"
#include "support/xvfb_server.h"

namespace tessevar::testing {
namespace {


// The whole program on a display with a running editor of reference size at
// (100, 50), without a window manager and under openbox: what the surface and
// the mixer send becomes clicks and keys in the editor, lamps on the surface,
// and every datagram still goes through.
class EditorEndToEnd : public StageTest, public ::testing::WithParamInterface<WindowManagerKind> {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    if (IsSkipped()) return;
    std::string problem;
    xvfb = XvfbServer::start(problem);
    if (!xvfb) GTEST_SKIP() << "no X server for the editor: " << problem;
    startDesktop();
    home.writeConfig(stageConfig());
    surface = std::make_unique<StagePeer>(surfaceAddress);
    mixer = std::make_unique<StagePeer>(mixerAddress);
    tessevar = std::make_unique<TessevarProcess>(TessevarProcess::Options{home.path(), xvfb->display()});
    startUp = tessevar->readStartUp();
  }

  void TearDown() override {
    if (tessevar) tessevar->type("q\n");
  }

  // The window manager (if any, and not running yet) and the editor, taken
  // in by the manager.
  void startDesktop() {
    if (GetParam() == WindowManagerKind::openbox && !manager) {
      std::string problem;
      manager = WindowManager::start(xvfb->display(), problem);
      ASSERT_NE(manager, nullptr) << problem;
    }
    editor = std::make_unique<EditorUnderTest>(testEditorProgram(), xvfb->display(),
                                               std::vector<std::string>{"--geometry", "1154x734+100+50"});
    consumed = 0;
    ASSERT_TRUE(editor->ready());
    TestClient client(xvfb->display());
    const auto window = static_cast<Window>(editor->window());
    if (manager) eventually([&] { return client.managed(window); });
    ASSERT_TRUE(framed = framedWindow(xvfb->display(), editor->window()));
  }

  // The editor's log lines for clicks at these reference points.
  std::vector<std::string> clicks(const std::vector<Point>& references) const {
    std::vector<std::string> lines;
    for (const Point& reference : references) lines.push_back(buttonLine(*framed, reference));
    return lines;
  }

  // Sends `datagram` from the mixer (and takes it at the surface) until the
  // editor logs some input, a few times a second: the program needs a moment
  // to find a desktop or an editor that came back. The input logged.
  std::vector<std::string> inputOnceBack(const Bytes& datagram) {
    std::vector<std::string> input;
    for (int attempt = 0; attempt < 40 && input.empty(); ++attempt) {
      mixer->send(datagram);
      if (surface->receive() != datagram) {
        ADD_FAILURE() << "the program no longer relays";
        break;
      }
      input = nextInput(1, std::chrono::milliseconds(500));
    }
    return input;
  }

  // The next `count` clicks and keys the editor logged after those already
  // taken (fewer only when they do not come within `wait`).
  std::vector<std::string> nextInput(std::size_t count,
                                     std::chrono::milliseconds wait = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::vector<std::string> input;
    while (input.size() < count && std::chrono::steady_clock::now() < deadline) {
      const std::vector<std::string> lines = editor->lines();
      for (; consumed < lines.size() && input.size() < count; ++consumed) {
        if (isInput(lines[consumed])) input.push_back(lines[consumed]);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return input;
  }

  static bool isInput(const std::string& line) {
    return isClickLine(line) || isKeyLine(line);
  }

  std::unique_ptr<XvfbServer> xvfb;
  std::unique_ptr<WindowManager> manager;
  std::unique_ptr<EditorUnderTest> editor;
  std::optional<FramedWindow> framed;
  std::unique_ptr<StagePeer> surface, mixer;
  std::unique_ptr<TessevarProcess> tessevar;
  std::vector<std::string> startUp;
  std::size_t consumed = 0;
};

TEST_P(EditorEndToEnd, StartsWithoutTheNoDisplayLine) {
  ASSERT_FALSE(startUp.empty());
  EXPECT_EQ(startUp.front(), "port: en0");
}

TEST_P(EditorEndToEnd, DisplayRunSelectsTheStripAndIsRelayed) {
  const Bytes display12 = {0xB0, 0x60, 0x06, 0x61, 0x5B};  // "12": strip 10, then strip 12
  mixer->send(display12);
  EXPECT_EQ(surface->receive(), display12);
  EXPECT_EQ(nextInput(2), clicks({{440, 380}, {530, 380}}));
}

TEST_P(EditorEndToEnd, PageLampsClickAndPressFunctionKeys) {
  mixer->send({0x90, 0x36, 0x7F});  // page 2: top row entry, then F1
  EXPECT_EQ(surface->receive(), (Bytes{0x90, 0x36, 0x7F}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{clicks({{730, 50}})[0], "key F1"}));

  mixer->send({0x90, 0x36, 0x00});  // the first lamp-off after start presses nothing
  mixer->send({0x90, 0x36, 0x00});  // a later one: F1, then Escape
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x36, 0x00}, {0x90, 0x36, 0x00}}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"key F1", "key Escape"}));
}

TEST_P(EditorEndToEnd, PageSevenFollowsTheViewText) {
  mixer->send({0x90, 0x2D, 0x7F});  // page 7, first view
  const Bytes viewTwo = {0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, 0x32, 0x00, 0xF7};
  mixer->send(viewTwo);
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x2D, 0x7F}, viewTwo}));
  EXPECT_EQ(nextInput(2), clicks({{320, 50}, {480, 50}}));
}

TEST_P(EditorEndToEnd, SoloButtonsClickLightTheirLampsAndStillReachTheMixer) {
  surface->send({0x90, 0x5A, 0x7F});
  EXPECT_EQ(mixer->receive(), (Bytes{0x90, 0x5A, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}));
  EXPECT_EQ(nextInput(1), clicks({{1130, 415}}));

  surface->send({0x90, 0x59, 0x7F});
  EXPECT_EQ(mixer->receive(), (Bytes{0x90, 0x59, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x59, 0x00}, {0x90, 0x5A, 0x00}}));
  EXPECT_EQ(nextInput(1), clicks({{1045, 415}}));
}

TEST_P(EditorEndToEnd, ChannelPressureNeverTouchesTheEditor) {
  mixer->send({0xD0, 0x15});
  mixer->send({0x90, 0x46, 0x7F});  // then a lamp that clicks, to know the first was done
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0xD0, 0x15}, {0x90, 0x46, 0x7F}}));
  EXPECT_EQ(nextInput(1), clicks({{1015, 575}}));
  const std::vector<std::string> lines = editor->lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isInput), 1);
}

// One mixer datagram of 1,000 display pairs (2,001 bytes) asks for a click
// each, some ten seconds of them: the X-Touch's stream flows on meanwhile,
// the editor is left with the latest, the program says it fell behind, and
// "q" ends it without waiting for the clicks still asked.
TEST_P(EditorEndToEnd, AFloodOfClicksHoldsNeitherTheSurfaceNorQuittingUp) {
  Bytes flood{0xB0};
  for (int pair = 0; pair < 1000; ++pair) {
    flood.insert(flood.end(), {0x61, static_cast<std::uint8_t>(pair % 2 == 0 ? 0x5B : 0x06)});  // strips 2, 1, 2, ...
  }
  ASSERT_EQ(flood.size(), 2001u);
  mixer->send(flood);
  std::vector<Bytes> stream;
  for (std::uint8_t i = 0; i < 100; ++i) {
    stream.push_back({0xE0, i, 0x40});  // a fader moving
    surface->send(stream.back());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(surface->receive(), flood);
  EXPECT_EQ(mixer->receiveAll(), stream);
  const std::optional<std::string> said = tessevar->nextLine(std::chrono::seconds(20));
  ASSERT_TRUE(said);
  EXPECT_EQ(said->rfind("editor automation fell behind: ", 0), 0u) << *said;

  nextInput(1000, std::chrono::milliseconds(500));  // all the editor was given
  mixer->send(flood);
  EXPECT_EQ(surface->receive(), flood);
  const auto quitAt = std::chrono::steady_clock::now();
  tessevar->type("q\n");
  EXPECT_EQ(tessevar->waitForExit(), 0);
  ::testing::Test::RecordProperty(
      "quit_ms", static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now() - quitAt).count()));
  tessevar.reset();
  // Carried out to the end, the queue alone would have held 128 of them.
  EXPECT_LT(nextInput(1000, std::chrono::milliseconds(500)).size(), 100u);
}

// The desktop session restarts: a new X server on the same display, the
// window manager and the editor started again.
TEST_P(EditorEndToEnd, ClicksResumeAfterTheXServerRestarts) {
  editor.reset();
  manager.reset();
  ASSERT_TRUE(xvfb->restart());
  startDesktop();
  const Bytes display12 = {0xB0, 0x60, 0x06, 0x61, 0x5B};
  ASSERT_FALSE(inputOnceBack(display12).empty());
  while (!nextInput(100, std::chrono::seconds(1)).empty()) {
  }  // what the last tries still click, until the editor is quiet
  const Bytes display13 = {0xB0, 0x60, 0x06, 0x61, 0x4F};  // from "12": strip 12 again, then strip 13
  mixer->send(display13);
  EXPECT_EQ(surface->receive(), display13);
  EXPECT_EQ(nextInput(2), clicks({{530, 380}, {575, 380}}));
}

TEST_P(EditorEndToEnd, KeysReachAnEditorStartedAgain) {
  editor->quit();
  startDesktop();
  const Bytes pageTwo = {0x90, 0x36, 0x7F};  // clicks the top row entry, then F1
  // Its process is looked for again at most once a second.
  std::vector<std::string> input;
  const auto keyCame = [&] { return std::find(input.begin(), input.end(), "key F1") != input.end(); };
  for (int attempt = 0; attempt < 40 && !keyCame(); ++attempt) {
    mixer->send(pageTwo);
    ASSERT_EQ(surface->receive(), pageTwo);
    for (const std::string& line : nextInput(2, std::chrono::milliseconds(500))) input.push_back(line);
  }
  EXPECT_TRUE(keyCame());
}

INSTANTIATE_TEST_SUITE_P(, EditorEndToEnd,
                         ::testing::Values(WindowManagerKind::none, WindowManagerKind::openbox),
                         [](const auto& info) {
                           return info.param == WindowManagerKind::openbox ? "Openbox"
                                                                           : "NoWindowManager";
                         });

}  // namespace
}  // namespace tessevar::testing
