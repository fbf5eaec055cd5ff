#include "pictures/imagemap.h"

#include <algorithm>
#include <vector>


namespace vrx {
namespace {

constexpr size_t kMaxLine = 511;
constexpr size_t kMaxCoordinate = 31;
constexpr size_t kMaxUrl = 254;
// Far beyond any image; keeps the geometry's products inside 64 and 128 bits.
constexpr int64_t kCoordinateLimit = 1000000;

// A decimal integer with an optional minus sign; stops at the first other character.
int32_t ParseNumber(std::string_view s) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    v = std::min<int64_t>(v * 10 + (s[i] - '0'), kCoordinateLimit);
  return int32_t(negative ? -v : v);
}

// "x,y"; false without a comma.
bool ParsePoint(std::string_view field, MapPoint* p) {
  size_t comma = field.find(',');
  if (comma == std::string_view::npos) return false;
  p->x = ParseNumber(field.substr(0, comma));
  p->y = ParseNumber(field.substr(comma + 1));
  return true;
}

// Field k (1-based; 0 also means the first) of a line whose fields are separated by
// single spaces. False beyond the last field.
bool Field(std::string_view line, int k, std::string_view* out) {
  size_t start = 0;
  for (int i = 1; i < k; ++i) {
    size_t space = line.find(' ', start);
    if (space == std::string_view::npos) return false;
    start = space + 1;
  }
  size_t end = line.find(' ', start);
  *out = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  return true;
}

bool CoordinateField(std::string_view line, int k, MapPoint* p) {
  std::string_view f;
  return Field(line, k, &f) && ParsePoint(f.substr(0, kMaxCoordinate), p);
}

bool RectFields(std::string_view line, int32_t* left, int32_t* top, int32_t* right,
                int32_t* bottom) {
  MapPoint a, b;
  if (!CoordinateField(line, 3, &a) || !CoordinateField(line, 4, &b)) return false;
  *left = a.x, *top = a.y, *right = b.x, *bottom = b.y;
  return true;
}

bool AreaHolds(std::string_view line, MapPoint p) {
  std::string_view kind = line.substr(0, 4);
  int32_t l, t, r, b;
  if (kind == "rect") return RectFields(line, &l, &t, &r, &b) && PointInRect(p, l, t, r, b);
  if (kind == "circ") return RectFields(line, &l, &t, &r, &b) && PointInOval(p, l, t, r, b);
  if (kind == "poly") {
    std::vector<MapPoint> vertices;
    MapPoint v;
    for (int k = 3; CoordinateField(line, k, &v); ++k) vertices.push_back(v);
    return PointInPolygon(p, vertices);
  }
  return false;
}

}  // namespace

bool PointInRect(MapPoint p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
}

bool PointInOval(MapPoint p, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (right <= left || bottom <= top) return false;
  // Doubled coordinates: the pixel centre and the ellipse centre are then whole numbers.
  __int128 x = 2 * int64_t(p.x) + 1 - (int64_t(left) + right);
  __int128 y = 2 * int64_t(p.y) + 1 - (int64_t(top) + bottom);
  __int128 a = int64_t(right) - left, b = int64_t(bottom) - top;
  return x * x * b * b + y * y * a * a <= a * a * b * b;
}

bool PointInPolygon(MapPoint p, std::span<const MapPoint> v) {
  if (v.size() < 3) return false;
  // Doubled coordinates: the pixel centre (odd) never lies level with a vertex (even).
  int64_t px = 2 * int64_t(p.x) + 1, py = 2 * int64_t(p.y) + 1;
  bool inside = false;
  for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i++) {
    int64_t xi = 2 * int64_t(v[i].x), yi = 2 * int64_t(v[i].y);
    int64_t xj = 2 * int64_t(v[j].x), yj = 2 * int64_t(v[j].y);
    if ((yi > py) == (yj > py)) continue;
    // Is the crossing of this edge with the pixel's row to the right of the pixel?
    int64_t lhs = (px - xi) * (yj - yi), rhs = (py - yi) * (xj - xi);
    if (yj > yi ? lhs < rhs : lhs > rhs) inside = !inside;
  }
  return inside;
}

std::string HitTestImageMap(std::string_view text) {
  std::string result;
  MapPoint p;
  std::string_view first = text.substr(0, text.find(' '));
  if (!ParsePoint(first.substr(0, kMaxCoordinate), &p) || p.y < 0) return result;
  size_t start = 0;
  while (start < text.size()) {
    size_t cr = text.find('\r', start);
    size_t end = cr == std::string_view::npos ? text.size() : cr;
    std::string_view line = text.substr(start, std::min(end - start, kMaxLine));
    start = end + 1;
    std::string_view url;
    if (line.substr(0, 4) == "defa") {
      if (Field(line, 2, &url)) result.assign(url.substr(0, kMaxUrl));
    } else if (AreaHolds(line, p)) {
      Field(line, 2, &url);
      result.assign(url.substr(0, kMaxUrl));
      break;
    }
  }
  return result;
}

}  // namespace vrx
