#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include "e2e/e2e_fixture.h"
#include "platform/editor_under_test.h"
#include "platform/xvfb_server.h"

namespace tessevar::e2e {
namespace {

using tessevar::testing::EditorUnderTest;
using tessevar::testing::XvfbServer;

// The whole program on a display with a running editor of reference size at
// (100, 50): what the surface and the mixer send becomes clicks and keys in
// the editor, lamps on the surface, and every datagram still goes through.
class EditorEndToEnd : public StageTest {
 protected:
  void SetUp() override {
    StageTest::SetUp();
    if (IsSkipped()) return;
    std::string problem;
    xvfb = XvfbServer::start(problem);
    if (!xvfb) GTEST_SKIP() << "no X server for the editor: " << problem;
    editor = std::make_unique<EditorUnderTest>(tessevar::testing::testEditorProgram(), xvfb->display(),
                                               std::vector<std::string>{"--geometry", "1154x734+100+50"});
    ASSERT_TRUE(editor->ready());
    home.writeConfig(stageConfig());
    surface = std::make_unique<StagePeer>(surfaceAddress);
    mixer = std::make_unique<StagePeer>(mixerAddress);
    tessevar = std::make_unique<TessevarProcess>(TessevarProcess::Options{home.path(), xvfb->display()});
    startUp = readStartUp(*tessevar);
  }

  void TearDown() override {
    if (tessevar) tessevar->type("q\n");
  }

  // The next `count` clicks and keys the editor logged after those already
  // taken (fewer only when they do not come at all).
  std::vector<std::string> nextInput(std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
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
    return line.rfind("button", 0) == 0 || line.rfind("key", 0) == 0;
  }

  std::unique_ptr<XvfbServer> xvfb;
  std::unique_ptr<EditorUnderTest> editor;
  std::unique_ptr<StagePeer> surface, mixer;
  std::unique_ptr<TessevarProcess> tessevar;
  std::vector<std::string> startUp;
  std::size_t consumed = 0;
};

TEST_F(EditorEndToEnd, StartsWithoutTheNoDisplayLine) {
  ASSERT_FALSE(startUp.empty());
  EXPECT_EQ(startUp.front(), "port: en0");
}

TEST_F(EditorEndToEnd, DisplayRunSelectsTheStripAndIsRelayed) {
  const Bytes display12 = {0xB0, 0x60, 0x06, 0x61, 0x5B};  // "12": strip 10, then strip 12
  mixer->send(display12);
  EXPECT_EQ(surface->receive(), display12);
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"button 1 440 380", "button 1 530 380"}));
}

TEST_F(EditorEndToEnd, PageLampsClickAndPressFunctionKeys) {
  mixer->send({0x90, 0x36, 0x7F});  // page 2: top row entry, then F1
  EXPECT_EQ(surface->receive(), (Bytes{0x90, 0x36, 0x7F}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"button 1 730 50", "key F1"}));

  mixer->send({0x90, 0x36, 0x00});  // the first lamp-off after start presses nothing
  mixer->send({0x90, 0x36, 0x00});  // a later one: F1, then Escape
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x36, 0x00}, {0x90, 0x36, 0x00}}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"key F1", "key Escape"}));
}

TEST_F(EditorEndToEnd, PageSevenFollowsTheViewText) {
  mixer->send({0x90, 0x2D, 0x7F});  // page 7, first view
  const Bytes viewTwo = {0xF0, 0x00, 0x20, 0x66, 0x58, 0x21, 0x00, 0x32, 0x00, 0xF7};
  mixer->send(viewTwo);
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x2D, 0x7F}, viewTwo}));
  EXPECT_EQ(nextInput(2), (std::vector<std::string>{"button 1 320 50", "button 1 480 50"}));
}

TEST_F(EditorEndToEnd, SoloButtonsClickLightTheirLampsAndStillReachTheMixer) {
  surface->send({0x90, 0x5A, 0x7F});
  EXPECT_EQ(mixer->receive(), (Bytes{0x90, 0x5A, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x5A, 0x7F}, {0x90, 0x59, 0x7F}}));
  EXPECT_EQ(nextInput(1), (std::vector<std::string>{"button 1 1130 415"}));

  surface->send({0x90, 0x59, 0x7F});
  EXPECT_EQ(mixer->receive(), (Bytes{0x90, 0x59, 0x7F}));
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0x90, 0x59, 0x00}, {0x90, 0x5A, 0x00}}));
  EXPECT_EQ(nextInput(1), (std::vector<std::string>{"button 1 1045 415"}));
}

TEST_F(EditorEndToEnd, ChannelPressureNeverTouchesTheEditor) {
  mixer->send({0xD0, 0x15});
  mixer->send({0x90, 0x46, 0x7F});  // then a lamp that clicks, to know the first was done
  EXPECT_EQ(surface->receiveAll(), (std::vector<Bytes>{{0xD0, 0x15}, {0x90, 0x46, 0x7F}}));
  EXPECT_EQ(nextInput(1), (std::vector<std::string>{"button 1 1015 575"}));
  const std::vector<std::string> lines = editor->lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isInput), 1);
}

}  // namespace
}  // namespace tessevar::e2e
