// The picture commands: what a picture is, sending or writing its GIF or JPEG bytes.
#include "commands/handlers.h"

#include <errno.h>
#include <fcntl.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/guards.h"
#include "commands/file_path.h"
#include "commands/globals.h"
#include "net/streams.h"
#include "platform/drawing.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "pictures/gif.h"
#include "pictures/imagemap.h"
#include "pictures/pictures.h"

namespace vrx {
namespace {

// Locks a picture's block for the length of a command and restores its lock state.
struct LockedPicture {
  Handle h = 0;
  uint8_t savedState = 0;
  explicit LockedPicture(const Handle* param) {
    if (!param || !*param || !platform::HandleAddress(*param) || platform::HandleSize(*param) <= 0) return;
    h = *param;
    savedState = platform::HandleState(h);
    platform::LockHandle(h);
  }
  ~LockedPicture() {
    if (h) platform::SetHandleState(h, savedState);
  }
  LockedPicture(const LockedPicture&) = delete;
  LockedPicture& operator=(const LockedPicture&) = delete;
  bool ok() const { return h != 0; }
  // Asked each time: another process may resize or dispose of the block while a send
  // waits.
  Bytes bytes() const {
    uint8_t* p = platform::HandleAddress(h);
    int32_t n = platform::HandleSize(h);
    if (!p || n <= 0) return {};
    return {p, size_t(n)};
  }
};

}  // namespace

void GetPictureInfoCommand(const Call& c) {
  LockedPicture pic(c.Blob(1));
  if (!pic.ok()) return c.ResultLong(-1);
  PictureInfo info = GetPictureInfo(pic.bytes());
  c.SetLong(2, info.top);
  c.SetLong(3, info.left);
  c.SetLong(4, info.bottom);
  c.SetLong(5, info.right);
  c.SetLong(6, info.kind);
  c.ResultLong(info.result);
}

void SendPictureCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  LockedPicture pic(c.Blob(2));
  if (!pic.ok()) return c.ResultLong(-1);
  Bytes data = pic.bytes();
  SendRange range = PictureSendRange(data, c.Long(3), c.Long(4));
  int32_t result = -1;
  if (range.start != range.end) {
    int32_t start = range.start;
    std::vector<uint8_t> piece;
    result = 0;
    while (start < range.end && result == 0) {
      int32_t n = NextPieceSize(start, range.end);
      data = pic.bytes();
      if (size_t(start) + size_t(n) > data.size()) {
        result = -1;  // the block shrank under a waiting send
        break;
      }
      // A copy of the piece: while the send waits, other processes run and may dispose
      // of the picture, locked or not.
      piece.assign(data.begin() + start, data.begin() + start + n);
      result = SendBytes(slot, piece.data(), n) == NetStatus::Ok ? 0 : -1;
      start += n;
    }
  }
  c.ResultLong(result);
}

void PictureToFileCommand(const Call& c) {
  LockedPicture pic(c.Blob(1));
  Bytes data = pic.ok() ? pic.bytes() : Bytes{};
  FileRange range = PictureFileRange(data, c.Long(3), c.Long(4));
  std::string path = TextParamToPath(c.Text(2));
  Fd file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (file.fd < 0) return c.ResultLong(platform::WindowsErrorForPath(errno, path));
  static const uint8_t kHeader[512] = {};
  errno = 0;
  bool ok = (c.Long(5) != 1 || WriteFully(file.fd, kHeader, sizeof kHeader)) &&
            WriteFully(file.fd, data.data() + range.start, range.end - range.start);
  if (!ok) return c.ResultLong(platform::WindowsErrorFromErrno(errno ? errno : ENOSPC));
  c.ResultLong(0);
}

void PictureToGifCommand(const Call& c) {
  LockedPicture pic(c.Blob(1));
  if (!pic.ok()) return c.ResultLong(0);
  Bytes data = pic.bytes();
  int32_t flags = c.Long(2);
  platform::Rect frame = platform::PictureFrame(data.data(), data.size());
  int32_t width = c.Long(3) > 0 ? c.Long(3) : frame.right - frame.left;
  int32_t height = c.Long(4) > 0 ? c.Long(4) : frame.bottom - frame.top;
  // Drawing and writing never give way to other processes, so no second conversion can
  // start while this one runs.
  platform::Offscreen* image = platform::NewOffscreen(width, height);
  if (!image) return c.ResultLong(0);
  platform::Offscreen* previous = platform::SetDrawingTarget(image);
  platform::SetForeColor(image, {0, 0, 0});
  platform::SetBackColor(image, {0xFFFF, 0xFFFF, 0xFFFF});
  platform::EraseOffscreen(image);
  platform::DrawPicture(image, data.data(), data.size(), {0, 0, height, width});
  uint8_t* pixels = platform::LockPixels(image);

  // The transparent colour is the one of the given pixel; a pixel outside the image
  // names none.
  int32_t transparent = -1;
  int32_t column = c.Long(5), row = c.Long(6);
  if ((flags & 2) && column >= 0 && column < width && row >= 0 && row < height)
    transparent = pixels[size_t(row) * size_t(image->rowBytes) + size_t(column)];

  uint16_t palette[256][3];
  for (int i = 0; i < 256; ++i) {
    palette[i][0] = image->colors[i].red;
    palette[i][1] = image->colors[i].green;
    palette[i][2] = image->colors[i].blue;
  }
  GifSource source{pixels, image->rowBytes, width, height, palette};
  std::string gif;
  bool written = WriteGif(source, (flags & 1) != 0, transparent, gif);
  platform::UnlockPixels(image);
  platform::SetDrawingTarget(previous);
  platform::DisposeOffscreen(image);
  if (!written || gif.size() > size_t(INT32_MAX)) return c.ResultLong(0);

  Handle result = platform::NewHandle(int32_t(gif.size()));
  uint8_t* p = result ? platform::HandleAddress(result) : nullptr;
  if (!p) {
    if (result) platform::DisposeHandle(result);
    return c.ResultLong(0);
  }
  std::memcpy(p, gif.data(), gif.size());
  c.ResultLong(int32_t(result));
}

void HitTestImageMapCommand(const Call& c) { c.ResultString(HitTestImageMap(c.TextBytes(1))); }

}  // namespace vrx
