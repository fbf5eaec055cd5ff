// The text codecs and the keyed text queues as commands.
#include "commands/handlers.h"

#include "queues/queues.h"
#include "codecs/text_codecs.h"
#include "platform/memory.h"

namespace vrx {
namespace {

// A text parameter; an absent one reads as the empty text.
TextValue In(const Call& c, int i) {
  const TextValue* t = c.Text(i);
  return t ? *t : TextValue{0, 0};
}

void Answer(const Call& c, TextValue result) {
  if (result.handle)
    c.ResultTextHandle(result.handle);
  else
    c.ResultText({});
}

// A copy of parameter 1 for the commands that convert in place.
TextValue CopyOfFirst(const Call& c) { return CopyText(In(c, 1)); }

}  // namespace

void EncodeHTMLCommand(const Call& c) { Answer(c, HTMLEncode(In(c, 1), c.Long(2))); }

void DecodeHTMLCommand(const Call& c) {
  int32_t mode = c.Long(2);
  Answer(c, mode == 2 ? HTMLToText(In(c, 1)) : HTMLDecode(In(c, 1), mode));
}

void EncodeURLCommand(const Call& c) { Answer(c, URLEncode(In(c, 1), c.Long(2))); }
void DecodeURLCommand(const Call& c) { Answer(c, DecodeHexEscapes(In(c, 1), c.Long(2))); }

void MacToISOCommand(const Call& c) {
  TextValue t = CopyOfFirst(c);
  MacToISO(&t, c.Long(2));
  Answer(c, t);
}

void ISOToMacCommand(const Call& c) {
  TextValue t = CopyOfFirst(c);
  ISOToMac(&t, c.Long(2));
  Answer(c, t);
}

void EncodeBase64Command(const Call& c) { Answer(c, Base64Encode(In(c, 1), c.Long(2))); }
void DecodeBase64Command(const Call& c) { Answer(c, Base64Decode(In(c, 1))); }
void EncodeQuotedPrintableCommand(const Call& c) { Answer(c, QPEncode(In(c, 1), c.Long(2))); }
void DecodeQuotedPrintableCommand(const Call& c) { Answer(c, QPDecode(In(c, 1), c.Long(2))); }

void MapTextCharsCommand(const Call& c) {
  static const TextValue kEmpty = {0, 0};
  const TextValue* in = c.Text(1);
  TextValue t = Rot13TextCopy(in ? *in : kEmpty);
  if (!t.handle) return c.ResultText({});
  // Field by field, as the host reads them: the packed fields straddle the words a copy
  // of the whole would move, and a read across two recent stores waits for both.
  TextValue* result = c.ResultTextValue();
  result->handle = t.handle;
  result->length = t.length;  // as long as a text parameter: within the limit
}

void MapBlobCharsCommand(const Call& c) {
  Handle* blob = c.Blob(1);
  if (!blob || !*blob) return;
  int32_t n;
  uint8_t* p = platform::HandleBytes(*blob, &n);
  if (!p) return;
  Rot13Bytes(p, size_t(n), p);
}

void CountQueueItemsCommand(const Call& c) { c.ResultLong(QueueCountItems(&c.g->queueTable, c.Long(1))); }

void AppendQueueItemCommand(const Call& c) { QueueAppend(&c.g->queueTable, c.Long(1), In(c, 2)); }

void GetQueueItemCommand(const Call& c) {
  Handle h = QueueTake(&c.g->queueTable, c.Long(1), c.Long(2) != 0);
  Answer(c, TextValue{0, h});
}

void ClearQueueCommand(const Call& c) { QueueClear(&c.g->queueTable, c.Long(1)); }
void CountQueuesCommand(const Call& c) { c.ResultLong(QueueCountSlots(&c.g->queueTable)); }
void GetQueueIDCommand(const Call& c) { c.ResultLong(QueueKeyAt(&c.g->queueTable, c.Long(1))); }

}  // namespace vrx
