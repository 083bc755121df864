#include "editor/editor_points.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

TEST(EditorPoints, FillGivesSixtyOneEntriesWithUnwrittenOnesAtTheOrigin) {
  std::vector<Point> points;
  fillEditorPoints(points);
  ASSERT_EQ(points.size(), 61u);
  EXPECT_EQ(points[0], (Point{0, 0}));
  EXPECT_EQ(points[1], (Point{25, 380}));
  EXPECT_EQ(points[21], (Point{970, 380}));
  EXPECT_EQ(points[33], (Point{1125, 380}));
  EXPECT_EQ(points[42], (Point{730, 50}));
  EXPECT_EQ(points[48], (Point{10, 727}));
  EXPECT_EQ(points[50], (Point{1130, 415}));
  for (std::size_t i = 51; i <= 60; ++i) EXPECT_EQ(points[i], (Point{0, 0})) << i;
}

}  // namespace
}  // namespace tessevar
