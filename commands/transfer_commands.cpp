#include "commands/handlers.h"
#include "commands/transfer_commands.h"
#include "commands/stream_result.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "codecs/conversions.h"
#include "codecs/stream_conversion.h"
#include "platform/guards.h"
#include "commands/file_path.h"
#include "net/socket_layer.h"
#include "net/streams.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace vrx {
namespace {

constexpr int32_t kReceivePiece = 16384;  // asked for per pass when receiving
constexpr int32_t kBlobPiece = 16384;     // the most a BLOB send offers at once
constexpr int32_t kDefaultTextPiece = 16384;
constexpr int32_t kDefaultBytePiece = 131072;
// A text piece too long for a text goes out as consecutive pieces of this size: whole
// groups of three and of four bytes, so Base64 either way continues across them.
constexpr int32_t kTextSubPiece = 16380;
// Byte pieces are read at most this much at a time; the peer sees the same bytes, and a
// huge piece size asks for no huge buffer.
constexpr int32_t kMaxByteRead = 1 << 20;
constexpr int64_t kMaxReserve = 64 << 20;

constexpr int32_t kFlagAppend = 1;
constexpr int32_t kFlagKeepOpen = 2;
constexpr int32_t kFlagSearchNew = 4;
constexpr int32_t kFlagDropDelimiter = 8;

int32_t MemoryFailure() {
  int16_t e = platform::MemError();
  return e ? e : platform::kMemFullErr;
}

// A receive's conversion fed a piece at a time, with a point to go back to: where it
// last held nothing, the data so far converts alone. What came since is kept as it
// came, to return to the stream when memory or the disk runs short; with `keepTaken`,
// what came before it too.
class Checkpoints {
 public:
  Checkpoints(int32_t options, bool keepTaken, int64_t at) : conversion_(options), keepTaken_(keepTaken), at_(at) {}
  // Feeds `piece` in two parts, the last few bytes apart, so that the end of either may
  // be such a point. `put` takes each part's converted bytes (false: it could not) and
  // `at` tells where the output then stands. False at the first part that failed: it
  // and the rest of the piece are refused.
  template <typename Put, typename At>
  bool Feed(std::string_view piece, Put put, At at) {
    const size_t split = piece.size() - std::min<size_t>(piece.size(), kTail);
    for (const std::string_view part : {piece.substr(0, split), piece.substr(split)}) {
      converted_.clear();
      if (!conversion_.Feed(part, converted_) || !put(converted_)) return Refuse(piece, part);
      sinceIdle_ += part;
      if (conversion_.Idle()) Reached(at());
    }
    return true;
  }
  // The end of the data: what the conversion held, converted (null without memory for
  // it). Once it is placed, Reached.
  const std::string* Finish() {
    converted_.clear();
    return conversion_.Finish(converted_) ? &converted_ : nullptr;
  }
  // A point to go back to, with the output at `at`.
  void Reached(int64_t at) {
    at_ = at;
    if (keepTaken_) taken_ += sinceIdle_;
    sinceIdle_.clear();
  }
  // Refuses `piece` from `part` on.
  bool Refuse(std::string_view piece, std::string_view part) {
    refused_.assign(part.data(), size_t(piece.data() + piece.size() - part.data()));
    return false;
  }
  // Returns to the stream, as they came, what came since the last point and what was
  // refused; where the output stood at that point.
  int64_t GiveBack(StreamRecord** slot) {
    (void)UnreadBytes(slot, refused_, true);
    (void)UnreadBytes(slot, sinceIdle_, true);
    return at_;
  }
  // With keepTaken: what came up to the last point.
  std::string_view Taken() const { return taken_; }
  // With keepTaken: everything fed so far, as it came.
  std::string Fed() const { return taken_ + sinceIdle_; }

 private:
  static constexpr size_t kTail = 64;
  ConversionStream conversion_;
  const bool keepTaken_;
  int64_t at_;
  std::string converted_, sinceIdle_, taken_, refused_;
};

// The host's file-system code for a file that cannot be opened to be sent.
int32_t SendFileOpenError(int32_t windowsError) {
  struct Row {
    int32_t windows, result;
  };
  static constexpr Row kRows[] = {{2, -43}, {3, -120}, {4, -42}, {5, -49},
                                  {15, -35}, {19, -49}, {53, -120}};
  for (const Row& r : kRows)
    if (r.windows == windowsError) return r.result;
  return -2;
}


}  // namespace

// Whole data, converted in pieces that each fit in a text.
bool ConvertBytes(std::string_view in, int32_t options, std::string& out) {
  ConversionStream conversion(options);
  return conversion.Feed(in, out) && conversion.Finish(out);
}

void WaitStreamStateCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  // Seconds; none when not positive.
  const Deadline deadline = c.Long(3) > 0 ? Deadline::After(int64_t(c.Long(3)) * 60) : Deadline{};
  int16_t target = int16_t(uint32_t(c.Long(2)) & 0xFFFF);
  if (target == 0) target = kStateEstablished;
  int32_t state;
  for (;;) {
    state = StateNumber(slot);
    // Wake early on what can change the state: a connection coming to a listener, a
    // connect completing, or data or the end arriving on a quiet connection (a socket
    // with bytes waiting stays ready).
    StreamRecord* record = *slot;
    int32_t ticks = kIdleWaitTicks;
    if (record && record->socket >= 0) {
      if (state == kStateListening)
        ticks = HintStreamWait(record, POLLIN, ticks);
      else if (state == kStateConnecting)
        ticks = HintStreamWait(record, POLLOUT, ticks);
      else if ((state == kStateEstablished || state == kStateLocalClosed) && BytesAvailable(slot) == 0)
        ticks = HintStreamWait(record, POLLIN, ticks);
    }
    HostWait(ticks);
    // Read again: others ran meanwhile, and a state they saw must not be reported older.
    state = StateNumber(slot);
    if (target < 0 && state < 0) break;
    if (target > 0 && state >= target) break;
    if (deadline.Passed()) break;
    if (state < 0) break;
  }
  c.ResultLong(state);
}

void SendFileCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  const int32_t options = c.Long(3);
  const bool textMode = options != 0;
  int64_t piece = c.Long(4) > 0 ? c.Long(4) : (textMode ? kDefaultTextPiece : kDefaultBytePiece);
  // A text's length has 16 bits: a longer text piece would be cut short.
  if (textMode && piece > kMaxTextLength) piece = kTextSubPiece;
  if (!textMode) piece = std::min<int64_t>(piece, kMaxByteRead);

  OwnedHandle buffer(platform::NewHandle(0));
  if (!buffer.h) return c.ResultLong(MemoryFailure());

  if (FlushSendBuffer(slot) != NetStatus::Ok) return c.ResultLong(-1);  // collected texts go first
  const std::string path = TextParamToPath(c.Text(2));
  Fd file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.fd < 0) return c.ResultLong(SendFileOpenError(platform::WindowsErrorForPath(errno, path)));
  struct stat st;
  if (fstat(file.fd, &st) != 0) return c.ResultLong(-2);
  if (S_ISDIR(st.st_mode)) return c.ResultLong(SendFileOpenError(5));  // as Windows refuses it
  const int64_t size = st.st_size;

  int64_t first = c.Long(5);
  int64_t last = c.Long(6) != 0 ? c.Long(6) : size;
  if (first < 0) first = 0;
  if (last < first) last = first;
  if (last > size) last = size;
  if (first > last) first = last;
  int64_t remaining = last - first;
  if (first != 0 && lseek(file.fd, first, SEEK_SET) < 0) remaining = 0;

  if (remaining > 0) {
    if (!platform::SetHandleSize(buffer.h, int32_t(std::min(piece, remaining))))
      return c.ResultLong(MemoryFailure());
    // Locked: SendBytes reads it while other processes run.
    platform::LockHandle(buffer.h);
  }
  // One conversion across the pieces: a unit the piece size cuts is finished by the next.
  ConversionStream conversion(options);
  std::string converted;
  while (remaining > 0) {
    uint8_t* data = platform::HandleAddress(buffer.h);
    const int64_t asked = std::min(piece, remaining);
    int64_t got = ReadFully(file.fd, data, asked);
    if (got <= 0) break;
    remaining -= got;
    NetStatus r;
    if (textMode) {
      converted.clear();
      bool ok = conversion.Feed(std::string_view(reinterpret_cast<const char*>(data), size_t(got)), converted);
      // The last piece (or the file ended early): what is held is the end of the data.
      if (ok && (remaining == 0 || got < asked)) ok = conversion.Finish(converted);
      r = ok ? SendText(slot, converted) : NetStatus::Failed;
    } else {
      r = SendBytes(slot, data, int32_t(got));
    }
    // Sending goes on while this side may send: established, or the peer done with its
    // own sending (14). Any other state, or a failed send, cuts the file: -1.
    bool failed = r != NetStatus::Ok;
    if (!failed) {
      int32_t state = StateNumber(slot);
      failed = state != kStateEstablished && state != kStatePeerClosed;
    }
    HostWait(-1);
    if (failed) return c.ResultLong(-1);
  }
  c.ResultLong(0);
}

namespace {

// Converted bytes written to a file, up to a limit of converted bytes (0: none).
class FileSink final : public ReceiveSink {
 public:
  FileSink(int fd, int32_t options, int64_t limit)
      : fd_(fd), options_(options), limit_(limit), start_(lseek(fd, 0, SEEK_CUR)), points_(options, false, 0) {}
  int64_t Wanted() override { return limit_ > 0 ? std::min<int64_t>(limit_ - written_, kReceivePiece) : kReceivePiece; }
  bool Take(std::string& piece) override {
    if (options_ != 0)
      return points_.Feed(piece, [&](const std::string& bytes) { return Write(bytes); }, [&] { return written_; });
    if (!Write(piece)) return points_.Refuse(piece, piece);
    points_.Reached(written_);
    return true;
  }
  // The end of what this transfer takes: what the conversion held is converted as such.
  bool Finish() {
    const std::string* rest = points_.Finish();
    if (!rest || !Write(*rest)) return false;
    points_.Reached(written_);
    return true;
  }
  bool Finished() override { return limit_ > 0 && written_ >= limit_; }
  // After a conversion or a write failed: the file goes back to the last point, and what
  // came since returns to the stream. False when the file could not be cut back.
  bool GiveBack(StreamRecord** slot) {
    written_ = points_.GiveBack(slot);
    const off_t end = start_ + off_t(written_);
    return start_ >= 0 && ftruncate(fd_, end) == 0 && lseek(fd_, end, SEEK_SET) == end;
  }

 private:
  bool Write(const std::string& bytes) {
    written_ += int64_t(bytes.size());
    return WriteFully(fd_, bytes.data(), bytes.size());
  }
  const int fd_;
  const int32_t options_;
  const int64_t limit_;
  const off_t start_;  // where this transfer began writing
  int64_t written_ = 0;
  Checkpoints points_;
};

}  // namespace

void ReceiveFileCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  const int32_t flags = c.Long(4);
  // The host's transfer buffer: when the host has no memory left, nothing starts. The
  // bytes themselves pass through plain strings, which other processes cannot move.
  OwnedHandle buffer(platform::NewHandle(0));
  if (!buffer.h) return c.ResultLong(MemoryFailure());
  const std::string path = TextParamToPath(c.Text(2));
  Fd file(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (file.fd < 0) return c.ResultLong(-1);
  if ((flags & kFlagAppend) && lseek(file.fd, 0, SEEK_END) < 0) return c.ResultLong(-1);

  FileSink sink(file.fd, c.Long(3), std::max(c.Long(6), 0));
  // Seconds without data after which the transfer ends; none when not positive.
  const int32_t idleTicks = c.Long(5) > 0 ? int32_t(std::min<int64_t>(int64_t(c.Long(5)) * 60, INT32_MAX)) : 0;
  // A failed conversion or write ends the transfer short: the bytes it could not place
  // go back to the stream, and the result says so rather than staying as it came.
  // Otherwise the result area stays as the host passed it.
  if (ReceiveUntil(slot, ReceiveRules{true, Deadline{}, idleTicks}, sink) == ReceiveEnd::SinkFailed ||
      !sink.Finish()) {
    (void)sink.GiveBack(slot);
    c.ResultLong(-1);
  }
  // A verified stream cut short: the file keeps what came, the result says it may be
  // incomplete.
  else if (HowDataEnded(slot) == NetStatus::Truncated)
    c.ResultLong(StreamResult(NetStatus::Truncated));
  // A shorter file written over a longer one must not keep the old tail after it.
  if (!(flags & kFlagAppend)) {
    off_t end = lseek(file.fd, 0, SEEK_CUR);
    if (end < 0 || ftruncate(file.fd, end) != 0) c.ResultLong(-1);
  }
  if (!(flags & kFlagKeepOpen)) ReleaseWhenIdle(c.g->streams, c.Long(1));
}

void SendBlobCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  const Handle* param = c.Blob(2);
  if (!param || !BlobPresent(*param)) return c.ResultLong(-1);
  const Handle blob = *param;
  const int32_t size = platform::HandleSize(blob);
  int32_t first = 0, last = size - 1;
  if (c.Long(5) != 0 || c.Long(6) != 0) {
    first = c.Long(5);
    last = c.Long(6) <= 0 ? size - 1 : c.Long(6);
  }
  if (first < 0) first = 0;
  if (last < 0) last = 0;
  if (last > size - 1) last = size - 1;
  if (size == 0 || last < first) return c.ResultLong(-1);

  const int32_t options = c.Long(4);
  const uint8_t lockState = platform::HandleState(blob);
  platform::LockHandle(blob);
  // One conversion across the pieces, finished with the last one.
  ConversionStream conversion(options);
  std::string piece, converted;
  bool failed = false;
  while (first <= last && !failed) {
    // Another process may have shrunk the BLOB while this one waited.
    if (!platform::IsLiveHandle(blob) || platform::HandleSize(blob) <= last) break;
    int32_t left = last - first + 1;
    int32_t n = left;
    if (left > kBlobPiece) n = left % kBlobPiece ? left % kBlobPiece : kBlobPiece;
    // A copy: the send may wait, and other processes run meanwhile.
    piece.assign(reinterpret_cast<const char*>(platform::HandleAddress(blob)) + first, size_t(n));
    const std::string* bytes = &piece;
    if (options != 0) {
      converted.clear();
      failed = !conversion.Feed(piece, converted) || (n == left && !conversion.Finish(converted));
      bytes = &converted;
    }
    if (!failed)
      failed = SendBytes(slot, reinterpret_cast<const uint8_t*>(bytes->data()), int32_t(bytes->size())) != NetStatus::Ok;
    first += n;
    HostWait(-1);
  }
  if (platform::IsLiveHandle(blob)) platform::SetHandleState(blob, lockState);
  // A send that failed (the connection broke, timed out or was released meanwhile) is
  // not reported as done.
  c.ResultLong(failed ? -1 : 0);
}

namespace {

// Converted bytes appended to a BLOB: done at the delimiter (searched in what the BLOB
// holds from `searchFrom` less the delimiter's length, never below 0) or at the limit
// (0: none); full near the largest size a BLOB can have.
class BlobSink final : public ReceiveSink {
 public:
  BlobSink(std::string& blob, int32_t options, int64_t limit, std::string_view delimiter, int64_t searchFrom)
      : blob_(blob), options_(options), limit_(limit), delimiter_(delimiter),
        searchFrom_(std::max<int64_t>(searchFrom - int64_t(delimiter.size()) + 1, 0)),
        start_(int64_t(blob.size())), points_(options, true, start_) {
    // With a limit the final size is known: room for it at once, within reason.
    if (limit > 0) blob.reserve(size_t(std::min<int64_t>(limit, kMaxReserve)));
  }
  int64_t Wanted() override {
    const int64_t size = int64_t(blob_.size());
    if (size > kCeiling) return 0;
    return limit_ > 0 ? std::min<int64_t>(limit_ - size, kReceivePiece) : kReceivePiece;
  }
  bool Take(std::string& piece) override {
    if (options_ == 0) {
      Append(piece);
      return true;
    }
    return points_.Feed(
        piece, [&](const std::string& bytes) { return Append(bytes), true; }, [&] { return int64_t(blob_.size()); });
  }
  // The end of what this receive takes: what the conversion held is converted as such
  // (false without memory for it). Past a delimiter found already, it joins what goes
  // back to the stream.
  bool Finish() {
    if (found_ != std::string::npos && options_ != 0 && CutAsItCame()) return true;
    const std::string* rest = points_.Finish();
    if (!rest) return false;
    if (found_ == std::string::npos)
      Append(*rest);
    else
      blob_ += *rest;
    points_.Reached(int64_t(blob_.size()));
    return true;
  }
  // The bytes the BLOB's new ones came as: with a conversion, what they were converted
  // from; without, themselves. Past a delimiter where the data did not convert on its
  // own, they went back converted, and so do these.
  std::string_view AsTheyCame() const {
    if (options_ == 0 || (found_ != std::string::npos && !cutAsItCame_))
      return std::string_view(blob_).substr(std::min(blob_.size(), size_t(start_)));
    return found_ != std::string::npos ? std::string_view(came_) : points_.Taken();
  }
  // What follows the delimiter found, for the stream: as it came where the data converts
  // on its own up to the delimiter's end (always, without a conversion, and for the
  // conversions byte by byte), else converted (a delimiter ending inside a Base64 group).
  std::string_view AfterDelimiter() const {
    if (cutAsItCame_) return rest_;
    return std::string_view(blob_).substr(std::min(blob_.size(), found_ + delimiter_.size()));
  }
  // After memory ran short: the BLOB goes back to the last point where the conversion
  // held nothing, and what came since returns to the stream as it came (a later receive
  // converts it afresh). A delimiter found past that point is found again then.
  void GiveBack(StreamRecord** slot) {
    blob_.resize(std::min(blob_.size(), size_t(points_.GiveBack(slot))));
    if (found_ != std::string::npos && found_ + delimiter_.size() > blob_.size()) found_ = std::string::npos;
  }
  bool Finished() override { return found_ != std::string::npos || (limit_ > 0 && int64_t(blob_.size()) >= limit_); }
  size_t Delimiter() const { return found_; }

 private:
  void Append(const std::string& bytes) {
    blob_ += bytes;
    found_ = delimiter_.empty() ? std::string::npos : blob_.find(delimiter_, size_t(searchFrom_));
    // A delimiter that began in earlier bytes is found on the next piece too.
    searchFrom_ = std::max<int64_t>(int64_t(blob_.size()) - int64_t(delimiter_.size()) + 1, 0);
  }

  // A delimiter found with a conversion: when what came converts on its own up to the
  // delimiter's end, the BLOB ends there and what came after goes back as it came, to be
  // converted once, by the next receive. (Bytes the BLOB held before the receive that
  // follow a delimiter found among them go back before it, as they are.)
  bool CutAsItCame() {
    const size_t cut = found_ + delimiter_.size(), start = size_t(start_);
    const std::string raw = points_.Fed();
    const size_t k = cut <= start ? 0 : PrefixConvertingTo(raw, options_, cut - start);
    if (k == std::string::npos) return false;
    rest_ = cut < start ? blob_.substr(cut, start - cut) : std::string();
    rest_.append(raw, k);
    came_.assign(raw, 0, k);
    blob_.resize(cut);
    cutAsItCame_ = true;
    return true;
  }

  // A BLOB's size is a 32-bit number.
  static constexpr int64_t kCeiling = int64_t(INT32_MAX) - kReceivePiece * 3;
  std::string& blob_;
  const int32_t options_;
  const int64_t limit_;
  const std::string delimiter_;
  int64_t searchFrom_;
  size_t found_ = std::string::npos;
  const int64_t start_;  // the BLOB's size before this receive
  Checkpoints points_;
  bool cutAsItCame_ = false;
  std::string came_, rest_;  // then: what came up to the delimiter's end, and after it
};

}  // namespace

void ReceiveBlobCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  Handle* param = c.Blob(2);
  if (!param) return c.ResultLong(-1);
  if (!platform::IsLiveHandle(*param)) {
    *param = platform::NewHandle(0);
    if (!*param) return c.ResultLong(MemoryFailure());
  }
  const int32_t flags = c.Long(5);
  // The BLOB is built here and written back once: other processes run during the loop
  // and its block would move with every piece.
  std::string blob;
  if (flags & kFlagAppend) {
    const uint8_t* p = platform::HandleAddress(*param);
    int32_t n = platform::HandleSize(*param);
    if (p && n > 0) blob.assign(reinterpret_cast<const char*>(p), size_t(n));
  }
  const int64_t start = int64_t(blob.size());
  BlobSink sink(blob, c.Long(4), std::max(c.Long(3), 0), c.StringBytes(6),
                (flags & kFlagSearchNew) ? start : 0);
  const ReceiveEnd end = ReceiveUntil(slot, ReceiveRules{true, Deadline::After(c.Long(7)), 0}, sink);
  if (end == ReceiveEnd::SinkFailed || !sink.Finish()) {
    // With nothing converted before what goes back, the shortage is the answer and the
    // BLOB stays as it was.
    sink.GiveBack(slot);
    if (int64_t(blob.size()) == start) return c.ResultLong(MemoryFailure());
  }
  if (size_t p = sink.Delimiter(); p != std::string::npos) {
    const size_t dlen = c.StringBytes(6).size();
    // What came after the delimiter is the next receive's.
    (void)UnreadBytes(slot, sink.AfterDelimiter(), true);
    blob.resize((flags & kFlagDropDelimiter) ? p : p + dlen);
  }

  int32_t result = int32_t(int64_t(blob.size()) - start);
  // A verified stream cut short: the BLOB keeps what came, the result says it may be
  // incomplete.
  if (HowDataEnded(slot) == NetStatus::Truncated) result = StreamResult(NetStatus::Truncated);
  // Another process may have disposed of the variable's block meanwhile.
  if (!platform::IsLiveHandle(*param)) *param = platform::NewHandle(0);
  Handle h = *param;
  const uint8_t lockState = platform::HandleState(h);
  platform::UnlockHandle(h);
  if (platform::SetHandleSize(h, int32_t(blob.size()))) {
    if (!blob.empty()) std::memcpy(platform::HandleAddress(h), blob.data(), blob.size());
  } else {
    // No room for what came: it stays in the stream rather than being lost, as it came
    // (a later receive converts it again).
    if (*slot) (void)UnreadBytes(slot, sink.AsTheyCame(), true);
    result = MemoryFailure();
  }
  platform::SetHandleState(h, lockState);
  if (!(flags & kFlagKeepOpen)) ReleaseWhenIdle(c.g->streams, c.Long(1));
  c.ResultLong(result);
}

}  // namespace vrx
