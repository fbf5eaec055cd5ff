// Server-side image maps: which area of a map text holds a click point.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrx {

struct MapPoint {
  int32_t x = 0, y = 0;
};

// Areas on the pixel grid: pixel (x, y) is the unit square whose top-left corner is
// (x, y); it belongs to a shape when its centre lies inside. A rectangle holds the
// pixels left <= x < right, top <= y < bottom.
bool PointInRect(MapPoint p, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The ellipse inscribed in the rectangle.
bool PointInOval(MapPoint p, int32_t left, int32_t top, int32_t right, int32_t bottom);
// The polygon through the vertices, closed back to the first (even-odd rule).
bool PointInPolygon(MapPoint p, std::span<const MapPoint> vertices);

// The text holds the click point ("x,y" up to the first space) and the map lines
// ("rect", "circ", "poly", "default"), separated by CR. The URL of the first area that
// holds the point, else that of the last "default" line met, else empty.
std::string HitTestImageMap(std::string_view text);

}  // namespace vrx
