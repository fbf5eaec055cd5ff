// The SSL details of a stream as commands: session information, certificates, errors,
// cipher lists, the trusted certificates and the start of SSL on a plain stream.
#include "commands/handlers.h"
#include "commands/stream_result.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {

namespace {
constexpr int32_t kStartAsServer = 1;
}  // namespace

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

void StartTlsCommand(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  if (!slot) return c.ResultLong(-1);
  const int32_t options = c.Long(2);
  // A copy: the text's block may move while the handshake waits.
  const std::string name = c.TextBytes(3);
  TlsStart how;
  how.server = (options & kStartAsServer) != 0;
  how.verify = !how.server && (options & kVerifyPeerOption) != 0;
  how.name = name;
  how.timeoutTicks = c.Long(4);
  c.ResultLong(StreamResult(StartTls(slot, how)));
}

void SetTrustedCertificatesCommand(const Call& c) {
  c.ResultLong(StreamResult(SetTrustedCertificates(platform::MacRomanToUtf8(c.TextBytes(1)))));
}

}  // namespace vrx
