#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "editor/editor.h"
#include "editor/editor_points.h"
#include "support/direct_editor.h"
#include "support/fake_desktop.h"
#include "support/fake_xtouch.h"
#include "surface/mapping.h"

namespace tessevar::testing {

using Bytes = std::vector<std::uint8_t>;
using Lamps = std::vector<Bytes>;

// Readable test names and failure messages: the datagram in hex.
inline void printHex(const Bytes& bytes, std::ostream* os) {
  *os << "datagram";
  for (std::uint8_t b : bytes) *os << '_' << std::hex << std::uppercase << static_cast<int>(b);
  if (bytes.empty()) *os << "_empty";
}

// An editor window of the reference size at the origin, so every click lands
// exactly on its table entry, and a known editor pid.
class SurfaceTest : public ::testing::Test {
 protected:
  SurfaceTest() {
    desktop.windows = {referenceEditorWindow()};
    fillEditorPoints(editor.state.editorPoints);
    editor.state.editorPid = 512;
  }

  // Where clicks on these editor points land.
  std::vector<Point> entries(const std::vector<EditorPoint>& named) const {
    std::vector<Point> points;
    for (EditorPoint point : named) points.push_back(editor.state.editorPoints.at(indexOf(point)));
    return points;
  }

  void fromMixer(const Bytes& datagram) { handleMixerDatagram(context, datagram); }
  void fromSurface(const Bytes& datagram) { handleSurfaceDatagram(context, datagram); }
  static Bytes lamp(std::uint8_t note, std::uint8_t value) { return {0x90, note, value}; }

  FakeDesktop desktop;
  FakeXTouch xtouch;
  Editor editor{desktop, desktop.pause(), {}};
  DirectEditor actions{editor};
  MappingState mapping;
  SurfaceContext context{mapping, actions, xtouch.sender()};
};

}  // namespace tessevar::testing
