// Image-map shapes at their edges: a pixel centre lying exactly on a slanted polygon edge,
// and boxes with no area.
#include "pictures/imagemap.h"

#include "tests/codecs/files/helpers.h"

using vrx::MapPoint;

// A rectangle holds left <= x < right; a parallelogram sheared one pixel right per row
// holds, on each row, the same ten pixels shifted with it: a centre on the slanted left
// edge is inside, one on the slanted right edge is outside.
TEST(ImageMapEdges, ShearedRectangleKeepsTheHalfOpenRule) {
  MapPoint sheared[] = {{0, 0}, {10, 0}, {20, 10}, {10, 10}};
  for (int y = 0; y < 10; ++y)
    for (int x = -2; x < 24; ++x)
      EXPECT_EQ(vrx::PointInPolygon({x, y}, sheared), x >= y && x < y + 10) << x << "," << y;
}

// An oval in a box without width or height holds no pixel, not every pixel.
TEST(ImageMapEdges, EmptyBoxesHoldNothing) {
  for (MapPoint p : {MapPoint{5, 5}, MapPoint{4, 4}, MapPoint{100, -3}}) {
    EXPECT_FALSE(vrx::PointInOval(p, 5, 5, 5, 5)) << p.x << "," << p.y;
    EXPECT_FALSE(vrx::PointInOval(p, 5, 0, 5, 10)) << p.x << "," << p.y;
    EXPECT_FALSE(vrx::PointInRect(p, 5, 5, 5, 5)) << p.x << "," << p.y;
  }
  EXPECT_EQ(vrx::HitTestImageMap("9,9 \rcirc /c 5,5 5,5\rdefault /d"), "/d");
}
