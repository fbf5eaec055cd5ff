// Offscreen drawing: an 8-bit indexed image with its colour table, and drawing a host
// picture into it.
//
// A host picture is an image file (GIF, JPEG, PNG, BMP, PNM) or a picture record: a
// 10-byte header (size, then the frame's top, left, bottom and right, all signed 16-bit
// in host byte order) followed by the image, possibly after other bytes. Drawing decodes
// the image, scales it into the rectangle (nearest pixel, as a bitmap copy does) and
// maps each colour to the nearest entry of the image's colour table, the classic
// Macintosh 8-bit system palette.
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

struct RGBColor {  // 16 bits per component, as colour tables hold them
  uint16_t red, green, blue;
};

struct Rect {
  int32_t top, left, bottom, right;
};

// Largest offscreen image: a side of 16384 pixels and 16 Mi pixels in all. Pictures
// are decoded within the same bounds, so a lying header costs at most a few hundred
// megabytes of decoder buffers.
constexpr int32_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(1) << 24;

struct Offscreen {
  int32_t width = 0;
  int32_t height = 0;
  int32_t rowBytes = 0;  // row stride: width rounded up to a multiple of 4
  uint8_t* pixels = nullptr;
  int32_t lockCount = 0;
  RGBColor colors[256] = {};
  RGBColor foreground = {0, 0, 0};
  RGBColor background = {0xFFFF, 0xFFFF, 0xFFFF};
};

// A new image of width x height with the system palette, black on white, pixels
// undefined until erased; null when a side is not positive, the image is too large or
// memory runs out.
Offscreen* NewOffscreen(int32_t width, int32_t height);
void DisposeOffscreen(Offscreen* image);

// The image that drawing without an explicit image goes to; returns the previous one.
Offscreen* SetDrawingTarget(Offscreen* image);
Offscreen* DrawingTarget();

void SetForeColor(Offscreen* image, RGBColor color);
void SetBackColor(Offscreen* image, RGBColor color);
// Fills the image with the colour-table entry nearest the background colour.
void EraseOffscreen(Offscreen* image);
// Draws a picture scaled into `frame` (clipped to the image); transparent parts show
// what was there. False (nothing drawn) when the picture holds no image that decodes.
bool DrawPicture(Offscreen* image, const uint8_t* data, size_t size, Rect frame);

// The pixels and their row stride; valid while locked.
uint8_t* LockPixels(Offscreen* image);
void UnlockPixels(Offscreen* image);

// The classic Macintosh 8-bit system palette entry i, and the entry nearest a colour
// of 8-bit components.
RGBColor SystemColor(int i);
uint8_t NearestSystemIndex(uint8_t red, uint8_t green, uint8_t blue);

// A picture's frame: (0, 0, height, width) for an image file that decodes, else the
// record header's frame (missing fields read as 0).
Rect PictureFrame(const uint8_t* data, size_t size);

}  // namespace platform
