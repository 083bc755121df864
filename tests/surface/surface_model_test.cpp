#include <gtest/gtest.h>

#include "surface/surface_model.h"
#include "surface_fixture.h"

namespace tessevar {
namespace {

using enum EditorPoint;

using namespace step;
using testing::Bytes;
using testing::Lamps;

// A mapped lamp and a surface button are one row each of a model.
constexpr LampRule oneLamp[] = {{0x50, {click(lowerRight1), press(Key::f2)}, {click(bottomLeft)}}};
constexpr ButtonRule oneButton[] = {{0x5B, {press(Key::escape), click(topRow10), toggleSolo}}};

SurfaceModel withOneOfEach() {
  SurfaceModel model = xTouch;
  model.lamps = oneLamp;
  model.buttons = oneButton;
  return model;
}

class SecondModel : public testing::SurfaceTest {
 protected:
  SurfaceModel model = withOneOfEach();
  SurfaceContext modelContext{mapping, actions, xtouch.sender(), model};
};

TEST_F(SecondModel, ItsRowsAloneAreMapped) {
  handleMixerDatagram(modelContext, Bytes{0x90, 0x50, 0x7F, 0x50, 0x00, 0x50, 0x00, 0x28, 0x7F, 0x36, 0x7F});
  handleSurfaceDatagram(modelContext, Bytes{0x90, 0x5B, 0x7F});
  handleSurfaceDatagram(modelContext, Bytes{0x90, 0x5A, 0x7F});
  EXPECT_EQ(desktop.clicks(), entries({lowerRight1, bottomLeft, topRow10}));
  EXPECT_EQ(desktop.keys(), (std::vector<Key>{Key::f2, Key::escape}));
  EXPECT_EQ(xtouch.sent, (Lamps{lamp(0x5A, 0x7F), lamp(0x59, 0x7F)}));
}

}  // namespace
}  // namespace tessevar
