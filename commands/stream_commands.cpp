// The stream commands: parameters in, stream operations, results out.
#include "commands/handlers.h"
#include "commands/stream_result.h"


#include <poll.h>

#include <algorithm>
#include <cstring>

#include "codecs/conversions.h"
#include "codecs/stream_conversion.h"
#include "commands/transfer_commands.h"
#include "net/layer.h"
#include "net/socket_layer.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace vrx {

namespace {

constexpr int32_t kAppendFlag = 1;
constexpr int32_t kStopBeforeDelimiter = 2;
constexpr int32_t kSearchNewOnly = 4;

// The new stream's reference, or 0 when it could not be opened or stored.
void StoreOpened(const Call& c, StreamRecord* record) { c.ResultLong(AdoptStream(c.g->streams, record)); }

// The whole text of a text parameter: its length, bounded by its handle's size.
std::string TextParam(const Call& c, int i) { return c.TextBytes(i); }

}  // namespace

void OpenStreamCommand(const Call& c) {
  if (!HasFreeStream(c.g->streams)) return c.ResultLong(0);
  std::string_view host = c.StringBytes(1);
  StoreOpened(c, OpenActive(host, uint16_t(c.Integer(2)), c.Long(3), c.Long(4),
                            uint16_t(c.Integer(6)), uint32_t(c.Long(7))));
}

void ListenStreamCommand(const Call& c) {
  if (!HasFreeStream(c.g->streams)) return c.ResultLong(0);
  StoreOpened(c, OpenPassive(uint16_t(c.Integer(3)), c.Long(4), c.Long(5), uint32_t(c.Long(7))));
}

void CloseStreamCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(StreamResult(CloseStream(slot)));  // which sends what was collected first
}

void ReleaseStreamCommand(const Call& c) {
  if (!StreamArg(c)) return c.ResultLong(-1);
  c.ResultLong(StreamResult(ReleaseStreamRef(c.g->streams, c.Long(1), c.Long(2))));
}

void GetStreamStateCommand(const Call& c) {
  int32_t ref = c.Long(1);
  if (ref >= -18 && ref <= -1) {
    // Negative references ask for a network value: -1..-5 codes 4..20, -6..-18 0..48.
    int32_t code = ref >= -5 ? -ref * 4 : (-ref - 6) * 4;
    return c.ResultLong(NetworkValue(code));
  }
  StreamRecord** slot = StreamArg(c);
  int32_t value = -1;
  if (!slot || StreamInfo(slot, c.Long(2), &value) != NetStatus::Ok) value = -1;
  c.ResultLong(value);
}

void SendTextCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  // A copy: the text's block may move while the send waits.
  std::string bytes = TextParam(c, 2);
  if (c.Long(4) != 0 && c.Text(2)) {
    // Converted whole, in pieces where the result outgrows a text (Base64 of more than
    // 24 KB, CR LF for many CRs): converted in place, such a text would be cut or emptied
    // and sent so. $2 takes the converted bytes when a text can hold them.
    std::string converted;
    if (!ConvertBytes(bytes, c.Long(4), converted)) return c.ResultLong(platform::kMemFullErr);
    if (converted.size() <= size_t(kMaxTextLength)) c.SetText(2, converted);
    bytes = std::move(converted);
  }
  Buffering how;
  NetStatus s = BufferedSend(slot, bytes, c.Integer(3), &how);
  c.ResultLong(how.collected ? how.held : StreamResult(s));
}

namespace {

// A text's bytes up to a maximum (32000 when 0): done at the delimiter, at the maximum,
// or, with maximum 0, as soon as anything is there (with a conversion: anything it can
// convert without waiting for more, which the conversion itself tells as it is fed).
class TextSink final : public ReceiveSink {
 public:
  TextSink(std::string& text, int32_t maximum, std::string_view delimiter, bool searchNewOnly, int32_t options)
      : text_(text), maximum_(maximum), delimiter_(delimiter), searchNewOnly_(searchNewOnly), options_(options),
        conversion_(options) {
    Probe(text_);
  }
  int64_t Wanted() override { return int64_t(maximum_ ? maximum_ : kMaxReceive) - int64_t(text_.size()); }
  bool Take(std::string& piece) override {
    if (searchNewOnly_ && !delimiter_.empty())
      searchFrom_ = text_.size() >= delimiter_.size() ? text_.size() - delimiter_.size() + 1 : 0;
    text_ += piece;
    Probe(piece);
    return true;
  }
  bool Finished() override {
    if (Delimiter() != std::string::npos) return true;
    if (maximum_ != 0) return text_.size() >= size_t(maximum_);
    return !text_.empty() && (options_ == 0 || whole_);
  }
  // Where the delimiter begins; npos when it is not there.
  size_t Delimiter() const {
    return delimiter_.empty() ? std::string::npos : text_.find(delimiter_, searchFrom_);
  }

 private:
  std::string& text_;
  const int32_t maximum_;
  const std::string_view delimiter_;
  const bool searchNewOnly_;
  const int32_t options_;
  size_t searchFrom_ = 0;

  // Fed piece by piece, so that waiting costs no more than converting once (short of
  // memory it stops waiting: the command's own conversion reports it).
  void Probe(std::string_view piece) {
    if (options_ != 0 && maximum_ == 0 && !whole_) whole_ = conversion_.FeedUntilIdle(piece);
  }
  ConversionStream conversion_;
  bool whole_ = false;
};

}  // namespace

void ReceiveTextCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  const int32_t flags = c.Long(5);
  const std::string_view delimiter = c.StringBytes(6);
  // The text is built here and written back once, at the end.
  std::string text = (flags & kAppendFlag) ? TextParam(c, 2) : std::string();
  const size_t kept = text.size();
  TextSink sink(text, std::clamp<int32_t>(c.Integer(3), 0, kMaxReceive), delimiter,
                (flags & kSearchNewOnly) != 0, c.Long(4));
  const ReceiveEnd why = ReceiveUntil(slot, ReceiveRules{false, Deadline::After(c.Long(7)), 0}, sink);
  // Appended text may hold the delimiter even when there was no room to receive.
  const size_t found = sink.Delimiter();
  if (found != std::string::npos) {
    size_t cut = (flags & kStopBeforeDelimiter) ? found : found + delimiter.size();
    // What follows the cut goes back in front of anything still unread.
    (void)UnreadBytes(slot, std::string_view(text).substr(cut), true);
    text.resize(cut);
  }
  // The bytes taken from the stream, and what of them it gets back if the text cannot
  // be stored.
  std::string raw = std::move(text);
  size_t taken = raw.size();
  if (const int32_t options = c.Long(4); options != 0) {
    // Converted whole where the text is complete (a delimiter, the stream's end);
    // otherwise a unit the read cut (a Base64 group, an escape) goes back to the stream
    // for the next read to finish. Either way no more than a text holds: the rest of the
    // bytes go back too.
    const bool complete = found != std::string::npos || why == ReceiveEnd::Ended || why == ReceiveEnd::Failed;
    taken = ConvertWholeUnits(raw, options, complete, size_t(kMaxTextLength), text);
    if (taken == 0 && !complete) taken = ConvertWholeUnits(raw, options, true, size_t(kMaxTextLength), text);
  } else {
    // A text says its length in 16 bits.
    taken = std::min(raw.size(), size_t(kMaxTextLength));
    text = raw.substr(0, taken);
  }
  (void)UnreadBytes(slot, std::string_view(raw).substr(taken), true);
  // Without memory for the text, what was received goes back to the stream unread.
  if (!c.SetText(2, text)) {
    (void)UnreadBytes(slot, std::string_view(raw).substr(std::min(kept, taken), taken - std::min(kept, taken)), true);
    return c.ResultLong(platform::kMemFullErr);
  }
  TextValue* out = c.Text(2);
  c.ResultLong(out ? out->length : int32_t(text.size()));
}

void GetBytesAvailableCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  c.ResultLong(slot ? BytesAvailable(slot) : -1);
}

void GetStreamAddressesCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  StreamAddressInfo info;
  int32_t r = StreamResult(StreamAddresses(slot, &info));
  c.SetLong(2, int32_t(info.remoteAddress));
  c.SetInteger(3, int16_t(info.remotePort));
  c.SetInteger(4, int16_t(info.localPort));
  c.SetLong(5, -1);
  c.SetLong(6, int32_t(info.localAddress));
  c.ResultLong(r);
}

void AddressToNameCommand(const Call& c) {
  c.ResultString(AddressToName(uint32_t(c.Long(1)), c.Long(2)));
}

void NameToAddressCommand(const Call& c) {
  c.ResultLong(int32_t(NameToAddress(c.StringBytes(1))));
}

void GetStreamAddressTextCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  StreamAddressInfo info;
  int32_t r = StreamResult(StreamAddresses(slot, &info));
  c.SetLong(3, info.localPort);
  c.SetLong(5, info.remotePort);
  if (!c.SetText(2, info.localText) || !c.SetText(4, info.remoteText)) return c.ResultLong(platform::kMemFullErr);
  c.ResultLong(r);
}

void NameToAddressesCommand(const Call& c) {
  std::string lines;
  int32_t count = NameToAddresses(c.TextBytes(1), &lines);
  if (!c.SetText(2, lines)) return c.ResultLong(platform::kMemFullErr);
  c.ResultLong(count);
}

void AddressToNameTextCommand(const Call& c) {
  std::string name;
  NetStatus s = AddressTextToName(c.TextBytes(1), &name);
  if (!c.SetText(2, name)) return c.ResultLong(platform::kMemFullErr);
  c.ResultLong(StreamResult(s));
}

void GetNameServerCommand(const Call& c) {
  c.SetString(2, c.StringBytes(1));
  c.SetLong(3, 1000);
  c.ResultLong(0);
}

void GetNetworkValueCommand(const Call& c) { c.ResultLong(NetworkValue(c.Long(1))); }

void UnreadStreamCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  int32_t unread = -1;
  if (UnreadBytes(slot, TextParam(c, 2), c.Long(3) != 0, &unread) != NetStatus::Ok) unread = -1;
  c.ResultLong(unread);
}

void SetStreamOptionCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return;  // the result area stays as the host passed it
  int32_t timeout = -1;
  if (StreamTimeout(slot, c.Long(2), &timeout) != NetStatus::Ok) timeout = -1;
  c.ResultLong(timeout);
}

}  // namespace vrx
