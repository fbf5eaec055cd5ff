// JPEG, PNG and GIF through their libraries. libjpeg and libpng report a fatal error by
// jumping back to a setjmp: each decode step that sets one is a plain function whose
// frame, like every frame the jump leaves, holds no C++ object with a destructor, and
// what it produces lives in a job record its caller owns and cleans up afterwards.
#include "platform/jpeg_png_gif.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

namespace platform {
namespace {

// ---- JPEG --------------------------------------------------------------------------------

// A progressive stream may hold any number of scans, each one more pass over the whole
// image; encoders write about ten.
constexpr int kMaxJpegScans = 500;
// Whole-image buffers (progressive and multi-scan streams keep every coefficient):
// well above what an image within the bounds needs.
constexpr long kMaxJpegMemory = 256L << 20;

struct JpegErrors {
  jpeg_error_mgr manager;  // first: the library hands back a pointer to it
  std::jmp_buf escape;
};

[[noreturn]] void JpegEscape(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->escape, 1);
}
void JpegKeepGoing(j_common_ptr, int) {}  // damaged data is a warning: decoding goes on
void JpegSilent(j_common_ptr) {}

void JpegCountScans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans)
    JpegEscape(cinfo);
}

struct JpegJob {
  const uint8_t* data;
  size_t size;
  ReadMode mode;
  Raster* out;
  uint8_t* inkRow = nullptr;  // a CMYK row before it becomes RGB
};

// Four-colour JPEGs as Adobe writes them (inverted; YCCK turned into them by the
// library): each colour is its ink's value times the black's.
uint8_t Ink(unsigned c, unsigned k) {
  unsigned t = c * k + 128;
  return uint8_t((t + (t >> 8)) >> 8);
}

bool JpegDecode(jpeg_decompress_struct* cinfo, JpegErrors* errors, jpeg_progress_mgr* progress, JpegJob* job) {
  if (setjmp(errors->escape)) return false;
  jpeg_create_decompress(cinfo);
  cinfo->progress = progress;
  cinfo->mem->max_memory_to_use = kMaxJpegMemory;
  jpeg_mem_src(cinfo, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(cinfo, TRUE);
  const JDIMENSION width = cinfo->image_width, height = cinfo->image_height;
  if (!WithinImageBounds(width, height)) return false;
  if (job->mode == ReadMode::kSize) {
    job->out->width = int32_t(width), job->out->height = int32_t(height);
    return true;
  }
  int channels = 3, components = 3;
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
      cinfo->out_color_space = JCS_GRAYSCALE;
      channels = components = 1;
      break;
    case JCS_YCbCr:
    case JCS_RGB:
      cinfo->out_color_space = JCS_RGB;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo->out_color_space = JCS_CMYK;
      components = 4;
      break;
    default:
      return false;
  }
  if (!job->out->Allocate(width, height, channels, Raster::kWrittenByReader)) return false;
  jpeg_start_decompress(cinfo);
  // Without scaling the library promises these; the check guards the rows written below.
  // GCOVR_EXCL_BR_START
  if (cinfo->output_width != width || cinfo->output_height != height || cinfo->output_components != components)
    return false;
  // GCOVR_EXCL_BR_STOP
  if (components == 4 && !(job->inkRow = static_cast<uint8_t*>(std::malloc(size_t(width) * 4)))) return false;
  while (cinfo->output_scanline < height) {
    uint8_t* target = job->out->Row(cinfo->output_scanline);
    JSAMPROW row = components == 4 ? job->inkRow : target;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    for (size_t x = 0; components == 4 && x < width; ++x) {
      const uint8_t* ink = job->inkRow + 4 * x;
      for (int c = 0; c < 3; ++c) target[3 * x + size_t(c)] = Ink(ink[c], ink[3]);
    }
  }
  return true;
}

// ---- PNG ---------------------------------------------------------------------------------

// Text and profile chunks are read whole; none we could use is near this.
constexpr png_alloc_size_t kMaxPngChunk = 4 << 20;

struct PngJob {
  const uint8_t* data;
  size_t size;
  ReadMode mode;
  Raster* out;
  size_t at = 0;
  png_bytep* rows = nullptr;
};

void PngRead(png_structp png, png_bytep dest, size_t length) {
  auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
  if (length > job->size - job->at) png_error(png, "truncated");
  std::memcpy(dest, job->data + job->at, length);
  job->at += length;
}
[[noreturn]] void PngEscape(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngKeepGoing(png_structp, png_const_charp) {}

bool PngDecode(png_structp png, png_infop info, PngJob* job) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, job, PngRead);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_malloc_max(png, kMaxPngChunk);
  // Checksums are not what makes a file safe to read (the structure is checked all the
  // same), and a picture whose checksums are wrong has always been drawn.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (!WithinImageBounds(width, height)) return false;
  if (job->mode == ReadMode::kSize) {
    job->out->width = int32_t(width), job->out->height = int32_t(height);
    return true;
  }
  png_set_expand(png);     // palettes, grey under 8 bits, transparent colours as alpha
  png_set_strip_16(png);   // 16-bit samples keep their high byte
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const int channels = png_get_channels(png, info);
  // The transforms above leave 8-bit samples in 1 to 4 channels for every valid file; the
  // check guards the rows written below should a library version do otherwise.
  // GCOVR_EXCL_BR_START
  if (png_get_bit_depth(png, info) != 8 || channels < 1 || channels > 4 ||
      png_get_rowbytes(png, info) != size_t(width) * size_t(channels))
    return false;
  // GCOVR_EXCL_BR_STOP
  if (!job->out->Allocate(width, height, channels)) return false;
  if (!(job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height)))) return false;
  for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = job->out->Row(y);
  png_read_image(png, job->rows);
  png_read_end(png, nullptr);  // a file without its end chunk is cut short
  return true;
}

// ---- GIF ---------------------------------------------------------------------------------

struct GifSource {
  const uint8_t* data;
  size_t size;
  size_t at;
};

int GifRead(GifFileType* gif, GifByteType* dest, int length) {
  auto* source = static_cast<GifSource*>(gif->UserData);
  if (length <= 0) return 0;  // GCOVR_EXCL_BR_LINE: giflib asks for at least a byte
  const size_t n = std::min(size_t(length), source->size - source->at);
  std::memcpy(dest, source->data + source->at, n);
  source->at += n;
  return int(n);
}

// The first frame on the logical screen, in the frame's colours (its own table or the
// global one). Transparent: the graphic control's colour, indexes past the table, and
// outside the frame, unless the screen's background index is past 0: then that colour,
// opaque, there. Rows the data ends before keep what is under them.
bool GifFirstFrame(GifFileType* gif, int transparent, Raster* out) {
  const GifImageDesc& frame = gif->Image;
  const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
  if (!map) return false;
  // giflib reads the sides and offsets as 16-bit unsigned numbers: never negative.
  if (frame.Width < 0 || frame.Height < 0 || frame.Left < 0 || frame.Top < 0) return false;  // GCOVR_EXCL_BR_LINE
  if (frame.Width > 0 && frame.Height > 0 && !WithinImageBounds(frame.Width, frame.Height)) return false;
  if (!out->Allocate(gif->SWidth, gif->SHeight, 4)) return false;
  uint8_t colors[256][4] = {};
  for (int i = 0; i < std::min(map->ColorCount, 256); ++i)
    colors[i][0] = map->Colors[i].Red, colors[i][1] = map->Colors[i].Green, colors[i][2] = map->Colors[i].Blue,
    colors[i][3] = 255;
  if (transparent >= 0) std::memset(colors[transparent], 0, 4);
  const int background = gif->SBackGroundColor;
  if (background > 0 && background < 256) {  // GCOVR_EXCL_BR_LINE: the index is a byte
    uint8_t fill[4] = {0, 0, 0, 255};
    const ColorMapObject* screen = gif->SColorMap;
    if (screen && background < screen->ColorCount)
      fill[0] = screen->Colors[background].Red, fill[1] = screen->Colors[background].Green,
      fill[2] = screen->Colors[background].Blue;
    const size_t count = size_t(out->width) * size_t(out->height);
    for (size_t i = 0; i < count; ++i) std::memcpy(out->pixels + 4 * i, fill, 4);
  }
  if (frame.Width == 0 || frame.Height == 0) return true;
  std::vector<GifPixelType> line(size_t(frame.Width));
  const int64_t visible = std::min<int64_t>(frame.Width, int64_t(out->width) - frame.Left);
  static const int kFirst[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
  const int passes = frame.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int step = frame.Interlace ? kStep[pass] : 1;
    for (int64_t r = frame.Interlace ? kFirst[pass] : 0; r < frame.Height; r += step) {
      if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) return true;
      const int64_t y = frame.Top + r;
      if (y >= out->height) {
        if (!frame.Interlace) return true;
        continue;
      }
      for (int64_t x = 0; x < visible; ++x)
        std::memcpy(out->Row(y) + 4 * (frame.Left + x), colors[line[size_t(x)]], 4);
    }
  }
  return true;
}

bool GifDecode(GifFileType* gif, ReadMode mode, Raster* out) {
  if (!WithinImageBounds(gif->SWidth, gif->SHeight)) return false;
  if (mode == ReadMode::kSize) {
    out->width = gif->SWidth, out->height = gif->SHeight;
    return true;
  }
  int transparent = -1;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR) return false;
    if (type == IMAGE_DESC_RECORD_TYPE)
      return DGifGetImageDesc(gif) != GIF_ERROR && GifFirstFrame(gif, transparent, out);
    if (type != EXTENSION_RECORD_TYPE) return false;  // the end, and no image
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] == 4) transparent = block[1] & 1 ? block[4] : -1;
    while (block)
      if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  }
}

}  // namespace

bool ReadJpeg(const uint8_t* data, size_t size, ReadMode mode, Raster* out) {
  out->Release();
  if (!data || size < 2 || data[0] != 0xFF || data[1] != 0xD8) return false;
  jpeg_decompress_struct cinfo{};
  JpegErrors errors{};
  cinfo.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegEscape;
  errors.manager.emit_message = JpegKeepGoing;
  errors.manager.output_message = JpegSilent;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = JpegCountScans;
  JpegJob job{data, size, mode, out};
  const bool ok = JpegDecode(&cinfo, &errors, &progress, &job);
  jpeg_destroy_decompress(&cinfo);
  std::free(job.inkRow);
  if (!ok) out->Release();
  return ok;
}

bool ReadPng(const uint8_t* data, size_t size, ReadMode mode, Raster* out) {
  out->Release();
  if (!data || size < 8 || std::memcmp(data, "\x89PNG\r\n\x1A\n", 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngEscape, PngKeepGoing);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngJob job{data, size, mode, out};
  const bool ok = PngDecode(png, info, &job);
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(job.rows);
  if (!ok) out->Release();
  return ok;
}

bool ReadGif(const uint8_t* data, size_t size, ReadMode mode, Raster* out) {
  out->Release();
  if (!data || size < 6 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
    return false;
  GifSource source{data, size, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, GifRead, &error);
  if (!gif) return false;
  const bool ok = GifDecode(gif, mode, out);
  DGifCloseFile(gif, &error);
  if (!ok) out->Release();
  return ok;
}

}  // namespace platform
