#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "editor/editor.h"
#include "editor/editor_points.h"
#include "support/direct_editor.h"
#include "support/fake_desktop.h"
#include "support/fake_xtouch.h"
#include "surface/mapping_state.h"
#include "surface/surface_context.h"

namespace tessevar::testing {

// An editor window of the reference size at the origin, so every click lands
// exactly on its table entry, and a known editor pid.
class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() {
    desktop.windows = {referenceEditorWindow()};
    fillEditorPoints(editor.state.editorPoints);
    editor.state.editorPid = 512;
  }

  std::vector<Point> entries(std::initializer_list<std::size_t> indices) const {
    std::vector<Point> points;
    for (std::size_t i : indices) points.push_back(editor.state.editorPoints[i]);
    return points;
  }

  static std::vector<std::uint8_t> lamp(std::uint8_t note, std::uint8_t value) { return {0x90, note, value}; }

  FakeDesktop desktop;
  FakeXTouch xtouch;
  Editor editor{desktop, desktop.pause(), {}};
  DirectEditor actions{editor};
  MappingState mapping;
  SurfaceContext context{mapping, actions, xtouch.sender()};
};

}  // namespace tessevar::testing
