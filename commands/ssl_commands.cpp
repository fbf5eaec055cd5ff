// The SSL details of a stream as commands: session information, certificates, errors
// and cipher lists.
#include "commands/handlers.h"
#include "commands/stream_result.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {



void GetStreamSslInfoCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  SslInfo info;
  NetStatus r = SslConnectionInfo(slot, &info);
  if (r == NetStatus::Ok) {
    c.SetString(2, info.version);
    c.SetString(3, info.cipher);
    c.SetLong(4, info.secretBits);
    c.SetString(5, info.peerSubject);
  }
  c.ResultLong(StreamResult(r));
}

void SetStreamCertificateCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(StreamResult(SetStreamCertificate(slot, platform::MacRomanToUtf8(c.StringBytes(2)),
                                                 platform::MacRomanToUtf8(c.StringBytes(3)), c.StringBytes(4))));
}

void GetStreamSslErrorCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  std::string text;
  uint32_t code = LastSslErrorText(slot, &text);
  c.SetString(2, text);
  c.ResultLong(int32_t(code));
}

void SetStreamCiphersCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(StreamResult(SetCipherList(slot, c.StringBytes(2))));
}

}  // namespace vrx
