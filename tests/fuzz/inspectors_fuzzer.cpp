// Feeds arbitrary datagrams from both peers to the inspectors over a fake
// desktop and checks what reaches the X-Touch and the desktop.
//
// Input: byte 0 sets the scene (bit 0: an editor window exists, bit 1: a
// second matching window, bit 2: an editor pid is known, bit 3: the window
// rectangle comes raw from the next 32 bytes, else from the next 8 as
// 16-bit values). Then records: a header byte (bit 0: from the mixer, bit 1:
// the editor window appears or disappears first), a length byte, the bytes.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "editor/editor.h"
#include "editor/editor_points.h"
#include "fuzz/fuzz_support.h"
#include "support/direct_editor.h"
#include "support/fake_desktop.h"
#include "support/fake_xtouch.h"
#include "surface/mapping.h"

namespace {

using tessevar::Rect;
using tessevar::WindowInfo;
using tessevar::testing::DesktopEvent;
using tessevar::testing::FakeDesktop;
using tessevar::testing::FakeXTouch;

using tessevar::fuzz::Reader;
using tessevar::fuzz::require;

double rawDouble(Reader& in) {
  std::uint8_t raw[sizeof(double)] = {};
  const auto b = in.bytes(sizeof raw);
  std::memcpy(raw, b.data(), b.size());
  double d;
  std::memcpy(&d, raw, sizeof d);
  return d;
}

double smallDouble(Reader& in) {
  const auto hi = in.byte();
  const auto lo = in.byte();
  return static_cast<double>(static_cast<std::int16_t>((hi << 8) | lo));
}

std::vector<WindowInfo> editorWindows(Reader& in, std::uint8_t scene) {
  Rect r;
  if (scene & 8) {
    r = {rawDouble(in), rawDouble(in), rawDouble(in), rawDouble(in)};
  } else {
    r = {smallDouble(in), smallDouble(in), smallDouble(in), smallDouble(in)};
  }
  std::vector<WindowInfo> windows{{3, "Terminal", Rect{0, 0, 800, 600}}, {40, "X-AIR-Edit", r}};
  if (scene & 2) windows.push_back({12, "M-AIR-Edit", Rect{5, 5, 577, 367}});
  return windows;
}

void checkLamps(const FakeXTouch& xtouch) {
  for (const auto& d : xtouch.sent) {
    require(d.size() == 3, "lamp datagram of 3 bytes");
    require(d[0] == 0x90, "lamp status 0x90");
    require(d[1] == 0x59 || d[1] == 0x5A, "lamp note 0x59 or 0x5A");
    require(d[2] == 0x00 || d[2] == 0x7F, "lamp value 0x00 or 0x7F");
  }
}

// Each click is down, the 10 ms hold, up, at one finite point; keys come in
// down/up pairs to a known pid.
void checkDesktop(const FakeDesktop& desktop, std::int64_t pid, bool windowEverShown) {
  const auto& ev = desktop.events;
  for (std::size_t i = 0; i < ev.size(); ++i) {
    if (ev[i].kind == DesktopEvent::Kind::leftButton) {
      require(windowEverShown, "no click without an editor window");
      require(ev[i].down && i + 2 < ev.size(), "click starts with button down");
      require(ev[i + 1].kind == DesktopEvent::Kind::pause && ev[i + 1].duration.count() == 10'000,
              "10 ms hold");
      require(ev[i + 2].kind == DesktopEvent::Kind::leftButton && !ev[i + 2].down &&
                  ev[i + 2].at == ev[i].at,
              "button up at the same point");
      require(std::isfinite(ev[i].at.x) && std::isfinite(ev[i].at.y), "finite click point");
      i += 2;
    } else if (ev[i].kind == DesktopEvent::Kind::key) {
      require(pid > 0 && ev[i].number == pid, "keys only to a known pid");
      require(ev[i].down && i + 1 < ev.size() && ev[i + 1].kind == DesktopEvent::Kind::key &&
                  !ev[i + 1].down && ev[i + 1].key == ev[i].key,
              "key down then up");
      i += 1;
    } else if (ev[i].kind == DesktopEvent::Kind::activate) {
      require(windowEverShown, "no activation without an editor window");
    } else {
      require(false, "pause outside a click");
    }
  }
}

void checkMapping(const tessevar::MappingState& m) {
  require(m.selectedIndex <= 42, "selectedIndex within the table");
  require(m.soloToggle == 0 || m.soloToggle == 1, "soloToggle 0 or 1");
  require(m.displayFirstDigit >= 0 && m.displayFirstDigit <= 15, "first digit 0..15");
  require(m.displaySecondDigit >= 0 && m.displaySecondDigit <= 15, "second digit 0..15");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in({data, size});
  const std::uint8_t scene = in.byte();
  FakeDesktop desktop;
  FakeXTouch xtouch;
  tessevar::Editor editor(desktop, desktop.pause(), {});
  tessevar::testing::DirectEditor actions(editor);
  tessevar::fillEditorPoints(editor.state.editorPoints);
  editor.state.editorPid = (scene & 4) ? 512 : 0;
  tessevar::MappingState mapping;
  tessevar::SurfaceContext context{mapping, actions, xtouch.sender()};

  const auto windows = editorWindows(in, scene);
  bool shown = scene & 1;
  bool everShown = shown;
  while (!in.empty()) {
    const std::uint8_t header = in.byte();
    if (header & 2) {
      shown = !shown;
      everShown = everShown || shown;
    }
    desktop.windows = shown ? windows : std::vector<WindowInfo>{{3, "Terminal", Rect{0, 0, 800, 600}}};
    const auto datagram = in.bytes(in.byte());
    const int lookupsBefore = desktop.lookups;
    const int activationsBefore = desktop.activations();
    if (header & 1) {
      tessevar::handleMixerDatagram(context, datagram);
      if (!datagram.empty() && datagram[0] == 0xD0) require(desktop.lookups == lookupsBefore, "0xD0 skips the lookup");
    } else {
      tessevar::handleSurfaceDatagram(context, datagram);
      require(desktop.activations() == activationsBefore, "surface datagrams never activate");
    }
    checkMapping(mapping);
  }
  checkLamps(xtouch);
  checkDesktop(desktop, editor.state.editorPid, everShown);
  return 0;
}
