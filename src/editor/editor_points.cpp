#include "editor/editor_points.h"

#include <array>

namespace tessevar {

namespace {

// Entries 1..50 of the layout, in index order.
constexpr std::array<Point, 50> layoutPoints{{
    {25, 380},   {75, 380},   {120, 380},  {165, 380},  {210, 380},   // 1-5 strip row
    {260, 380},  {300, 380},  {350, 380},  {400, 380},  {440, 380},   // 6-10
    {485, 380},  {530, 380},  {575, 380},  {625, 380},  {675, 380},   // 11-15
    {720, 380},  {765, 380},  {820, 380},  {870, 380},  {920, 380},   // 16-20
    {970, 380},                                                       // 21
    {1010, 485}, {1070, 485}, {1010, 515}, {1070, 515}, {1010, 540},  // 22-26 right grid
    {1070, 540},                                                      // 27
    {1015, 575}, {1015, 605}, {1015, 635}, {1015, 665},               // 28-31 right column
    {1040, 450},                                                      // 32
    {1125, 380},                                                      // 33 right of strip 21
    {40, 50},    {140, 50},   {240, 50},   {320, 50},   {400, 50},    // 34-38 top row
    {480, 50},   {560, 50},   {650, 50},   {730, 50},   {800, 50},    // 39-43
    {1050, 620}, {1050, 645}, {1050, 675}, {1050, 705},               // 44-47 lower right
    {10, 727},                                                        // 48
    {1045, 415}, {1130, 415},                                         // 49-50
}};

}  // namespace

void fillEditorPoints(std::vector<Point>& editorPoints) {
  editorPoints.resize(editorPoints.size() + editorPointCount);
  for (std::size_t i = 0; i < layoutPoints.size(); ++i) {
    editorPoints[1 + i] = layoutPoints[i];
  }
}

}  // namespace tessevar
