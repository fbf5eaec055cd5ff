// The SSL details of a stream as commands: session information, certificates, errors
// and cipher lists.
#include "commands/handlers.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {



void GetStreamSslInfoCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  SslInfo info;
  int32_t r = SslConnectionInfo(slot, &info);
  if (r == 0) {
    c.SetString(2, info.version);
    c.SetString(3, info.cipher);
    c.SetLong(4, info.secretBits);
    c.SetString(5, info.peerSubject);
  }
  c.ResultLong(r);
}

void SetStreamCertificateCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(SetStreamCertificate(slot, platform::MacRomanToUtf8(c.StringBytes(2)),
                                    platform::MacRomanToUtf8(c.StringBytes(3)), c.StringBytes(4)));
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
  c.ResultLong(SetCipherList(slot, c.StringBytes(2)));
}

}  // namespace vrx
