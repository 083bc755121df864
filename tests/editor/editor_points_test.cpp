#include "editor/editor_points.h"

#include <gtest/gtest.h>

namespace tessevar {
namespace {

// Entries 1..50 of the reference layout as the mapping expects them; every
// other entry is the window's top-left corner.
const std::vector<Point> layout{
    {25, 380},   {75, 380},   {120, 380},  {165, 380},  {210, 380},  {260, 380},  {300, 380},
    {350, 380},  {400, 380},  {440, 380},  {485, 380},  {530, 380},  {575, 380},  {625, 380},
    {675, 380},  {720, 380},  {765, 380},  {820, 380},  {870, 380},  {920, 380},  {970, 380},
    {1010, 485}, {1070, 485}, {1010, 515}, {1070, 515}, {1010, 540}, {1070, 540}, {1015, 575},
    {1015, 605}, {1015, 635}, {1015, 665}, {1040, 450}, {1125, 380}, {40, 50},    {140, 50},
    {240, 50},   {320, 50},   {400, 50},   {480, 50},   {560, 50},   {650, 50},   {730, 50},
    {800, 50},   {1050, 620}, {1050, 645}, {1050, 675}, {1050, 705}, {10, 727},   {1045, 415},
    {1130, 415}};

TEST(EditorPoints, EveryEntryHoldsItsReferencePoint) {
  ASSERT_EQ(layout.size(), 50u);
  std::vector<Point> points;
  fillEditorPoints(points);
  ASSERT_EQ(points.size(), 61u);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Point expected = i >= 1 && i <= 50 ? layout[i - 1] : Point{0, 0};
    EXPECT_EQ(points[i], expected) << "entry " << i;
  }
}

TEST(EditorPoints, FillingAgainReplacesWhateverWasThere) {
  std::vector<Point> once;
  fillEditorPoints(once);
  std::vector<Point> points(70, Point{1, 1});
  fillEditorPoints(points);
  fillEditorPoints(points);
  EXPECT_EQ(points, once);
}

}  // namespace
}  // namespace tessevar
