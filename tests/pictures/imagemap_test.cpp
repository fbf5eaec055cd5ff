#include "pictures/imagemap.h"

#include "tests/codecs/files/helpers.h"

using namespace fctest;
using vrx::HitTestImageMap;
using vrx::MapPoint;

namespace {

std::string Hit(host::Host& h, const std::string& text) {
  return Call(h, "VRX_HitTestImageMap", {host::Value::Text(text)}).bytes;
}

}  // namespace

TEST(ImageMap, Lookup) {
  host::Host h;
  std::string map = "rect /a.html 0,0 20,20\rdefault /none.html";
  EXPECT_EQ(Hit(h, "10,10 \r" + map), "/a.html");
  EXPECT_EQ(Hit(h, "30,30 \r" + map), "/none.html");
  // A default after the match is never reached; one before it is overridden.
  EXPECT_EQ(Hit(h, "10,10 \rdefault /d1\rrect /a 0,0 20,20\rdefault /d2"), "/a");
  EXPECT_EQ(Hit(h, "50,50 \rdefault /d1\rrect /a 0,0 20,20\rdefault /d2"), "/d2");
  // No point: no comma, a negative y, or nothing at all.
  EXPECT_EQ(Hit(h, "10 \r" + map), "");
  EXPECT_EQ(Hit(h, "10,-1 \r" + map), "");
  EXPECT_EQ(Hit(h, ""), "");
  // Keywords are case-sensitive and known by their first four letters.
  EXPECT_EQ(Hit(h, "10,10 \rRECT /a 0,0 20,20\rdefault /d"), "/d");
  EXPECT_EQ(Hit(h, "10,10 \rcircle /c 0,0 20,20"), "/c");
  EXPECT_EQ(Hit(h, "10,10 \rdefa /d"), "/d");
  // The first line is examined too; fields are separated by single spaces.
  EXPECT_EQ(Hit(h, "5,5 rect /x 0,0 9,9"), "");  // its first field is the point
  EXPECT_EQ(Hit(h, "5,5 \rrect  /x 0,0 9,9"), "");  // field 2 is empty, 3 is "/x"
  // Circles are ellipses inscribed in the box; the corners are outside.
  std::string circ = "\rcirc /c 0,0 100,50\rdefault /out";
  EXPECT_EQ(Hit(h, "50,25 " + circ), "/c");
  EXPECT_EQ(Hit(h, "2,2 " + circ), "/out");
  EXPECT_EQ(Hit(h, "98,25 " + circ), "/c");
  EXPECT_EQ(Hit(h, "50,48 " + circ), "/c");
  EXPECT_EQ(Hit(h, "50,51 " + circ), "/out");
  // Polygons: a triangle, closed back to its first point; a concave shape.
  std::string tri = "\rpoly /t 0,0 100,0 0,100\rdefault /out";
  EXPECT_EQ(Hit(h, "10,10 " + tri), "/t");
  EXPECT_EQ(Hit(h, "60,60 " + tri), "/out");
  std::string u = "\rpoly /u 0,0 30,0 30,30 20,30 20,10 10,10 10,30 0,30\rdefault /out";
  EXPECT_EQ(Hit(h, "5,20 " + u), "/u");
  EXPECT_EQ(Hit(h, "15,20 " + u), "/out");  // inside the notch
  EXPECT_EQ(Hit(h, "25,20 " + u), "/u");
  // Missing or broken fields make the line match nothing.
  EXPECT_EQ(Hit(h, "5,5 \rrect /a 0,0\rpoly /p 0,0 10,0\rrect /b 0,0 x\rdefault /d"), "/d");
  // Long URLs are cut to 254 bytes.
  EXPECT_EQ(Hit(h, "1,1 \rdefault /" + std::string(400, 'u')).size(), 254u);
}

TEST(ImageMap, PixelGridRules) {
  // A rectangle holds left <= x < right, top <= y < bottom; a reversed one holds nothing.
  EXPECT_TRUE(vrx::PointInRect({0, 0}, 0, 0, 20, 20));
  EXPECT_TRUE(vrx::PointInRect({19, 19}, 0, 0, 20, 20));
  EXPECT_FALSE(vrx::PointInRect({20, 5}, 0, 0, 20, 20));
  EXPECT_FALSE(vrx::PointInRect({5, 5}, 20, 20, 0, 0));
  // Ovals and polygons agree with the rectangle on the pixels they share with it:
  // a square polygon holds exactly the rectangle's pixels.
  MapPoint square[] = {{2, 3}, {12, 3}, {12, 9}, {2, 9}};
  for (int x = -1; x < 15; ++x)
    for (int y = 0; y < 12; ++y)
      EXPECT_EQ(vrx::PointInPolygon({x, y}, square), vrx::PointInRect({x, y}, 2, 3, 12, 9))
          << x << "," << y;
  // The oval's pixels lie inside its box and are symmetric about the centre.
  int count = 0;
  for (int x = -2; x < 42; ++x)
    for (int y = -2; y < 22; ++y) {
      bool in = vrx::PointInOval({x, y}, 0, 0, 40, 20);
      if (in) {
        ++count;
        EXPECT_TRUE(vrx::PointInRect({x, y}, 0, 0, 40, 20));
      }
      EXPECT_EQ(in, vrx::PointInOval({39 - x, 19 - y}, 0, 0, 40, 20));
    }
  // Close to the ellipse's area, pi * 20 * 10.
  EXPECT_NEAR(count, 628, 20);
  // Far-out coordinates neither overflow nor match.
  EXPECT_EQ(HitTestImageMap("5,5 \rcirc /c -99999999999,0 99999999999,10\rdefault /d"), "/c");
  EXPECT_EQ(HitTestImageMap("99999999999,5 \rpoly /p 0,0 10,0 10,10"), "");
  // Random map texts: any answer is a field of the text, never longer than 254 bytes.
  std::mt19937 rng(9);
  const std::string pool = "rectcircpolydefault /,- 0123456789\r";
  for (int i = 0; i < 3000; ++i) {
    std::string text = std::to_string(rng() % 50) + "," + std::to_string(rng() % 50) + " \r";
    size_t n = rng() % 2000;
    for (size_t k = 0; k < n; ++k) text += pool[rng() % pool.size()];
    std::string url = HitTestImageMap(text);
    EXPECT_LE(url.size(), 254u);
    EXPECT_EQ(url.find('\r'), std::string::npos);
    EXPECT_EQ(url.find(' '), std::string::npos);
  }
}
