#include "editor/editor_points.h"

#include <array>

namespace tessevar {

namespace {

struct Placed {
  EditorPoint name;
  Point at;
};

using enum EditorPoint;

// Where each point lies in the reference layout; points not listed stay (0, 0).
constexpr Placed layout[] = {
    {strip1, {25, 380}},      {strip2, {75, 380}},      {strip3, {120, 380}},     {strip4, {165, 380}},
    {strip5, {210, 380}},     {strip6, {260, 380}},     {strip7, {300, 380}},     {strip8, {350, 380}},
    {strip9, {400, 380}},     {strip10, {440, 380}},    {strip11, {485, 380}},    {strip12, {530, 380}},
    {strip13, {575, 380}},    {strip14, {625, 380}},    {strip15, {675, 380}},    {strip16, {720, 380}},
    {strip17, {765, 380}},    {strip18, {820, 380}},    {strip19, {870, 380}},    {strip20, {920, 380}},
    {strip21, {970, 380}},    {stripRowEnd, {1125, 380}},
    {grid1, {1010, 485}},     {grid2, {1070, 485}},     {grid3, {1010, 515}},     {grid4, {1070, 515}},
    {grid5, {1010, 540}},     {grid6, {1070, 540}},
    {column1, {1015, 575}},   {column2, {1015, 605}},   {column3, {1015, 635}},   {column4, {1015, 665}},
    {rightBlock, {1040, 450}}, {rightRowLeft, {1045, 415}}, {rightRowRight, {1130, 415}},
    {topRow1, {40, 50}},      {topRow2, {140, 50}},     {topRow3, {240, 50}},     {topRow4, {320, 50}},
    {topRow5, {400, 50}},     {topRow6, {480, 50}},     {topRow7, {560, 50}},     {topRow8, {650, 50}},
    {topRow9, {730, 50}},     {topRow10, {800, 50}},
    {lowerRight1, {1050, 620}}, {lowerRight2, {1050, 645}}, {lowerRight3, {1050, 675}},
    {lowerRight4, {1050, 705}}, {bottomLeft, {10, 727}},
};

// Built once, while compiling: a point placed twice does not compile.
constexpr std::array<Point, editorPointCount> buildTable() {
  std::array<Point, editorPointCount> table{};
  std::array<bool, editorPointCount> placed{};
  for (const Placed& p : layout) {
    if (placed[indexOf(p.name)]) throw "a point is placed twice";
    placed[indexOf(p.name)] = true;
    table[indexOf(p.name)] = p.at;
  }
  return table;
}

constexpr std::array<Point, editorPointCount> editorPointTable = buildTable();

}  // namespace

void fillEditorPoints(std::vector<Point>& editorPoints) {
  editorPoints.assign(editorPointTable.begin(), editorPointTable.end());
}

}  // namespace tessevar
