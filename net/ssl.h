// SSL and TLS on TCP streams. Each SSL stream has its own SSL_CTX and SSL and the SSL row
// of the stream operations (kSslStream); the SSL reads and writes through the stream
// layer (a custom BIO whose descriptor is the record), so waits, time-outs, counters and
// state changes apply to the bytes on the wire too.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/streams.h"

namespace vrx {

// The server certificate and key, looked up in the host process's current directory.
inline constexpr char kServerCertificateFile[] = "VRXcert.pem";
inline constexpr char kDefaultCipherList[] = "ALL:!ADH:!EXPORT56:RC4+RSA:+SSLv2:@STRENGTH";

// Library start: error strings, algorithms, and some local values mixed into the pool.
void StartSslLibrary();
// After every SSL stream is gone: frees what the library start made.
void StopSslLibrary();

// Option bit of an active open (and of a client STARTTLS): verify the server.
inline constexpr int32_t kVerifyPeerOption = 4096;
// A STARTTLS handshake without a time-out of its own gives up after this many ticks.
inline constexpr int32_t kStartTlsDefaultTicks = 1800;

// Makes a fresh record an SSL client stream: context, connection, transport,
// and the server name to send when `host` is a name rather than a dotted address. With
// `verify` the server's chain must lead to a trusted certificate and name `host` (or hold
// it, for a dotted address; the connected peer's address when `host` is empty).
// False when the library could not make them (the record is then unchanged).
bool SetUpClientSsl(StreamRecord* record, std::string_view host, bool verify);
// Makes a fresh record an SSL server stream: context with the default cipher list,
// connection, transport, and the certificate and key from VRXcert.pem when they load
// and match (certificate ready). A certificate that does not load is not a failure.
bool SetUpServerSsl(StreamRecord* record);
// Frees the SSL objects (after a close notification when `notify`); the stream is plain
// from then on, its operations the plain row. Nothing happens for a record without them.
void EndSsl(StreamRecord* record, bool notify);

// The certificates a verifying client trusts besides the system's, for the whole
// process: every PEM certificate in the file, or in the files of the folder, at `path`;
// an empty path keeps only the system's. Refused (and nothing changed) when no
// certificate loads.
NetStatus SetTrustedCertificates(std::string_view path);

struct TlsStart {
  bool server = false;      // act as the server (certificate from VRXcert.pem)
  bool verify = false;      // a client verifies the server
  std::string_view name;    // the server's name; empty: the name the stream was opened with
  int32_t timeoutTicks = 0; // 0 or less: kStartTlsDefaultTicks
};
// Starts SSL on an established plain stream and runs the handshake to its end, waiting
// (other processes running) while the peer is silent; reads the slot again after every
// wait; presents the certificate SetStreamCertificate gave the plain stream, if any. Ok:
// the stream is an SSL stream in state 8. Failed: not a plain established stream, plain
// bytes still unread, or a name holding a zero byte (nothing changed); AlreadySsl;
// HandshakeFailed and TimedOut break the stream (20), its last SSL error saying why.
NetStatus StartTls(StreamRecord** slot, const TlsStart& how);

// The oldest error of the library's queue becomes the record's last SSL error (when
// there is one); the rest of the queue is dropped. Returns it (0 when none).
uint32_t NoteSslError(StreamRecord* record);

struct SslInfo {
  std::string version, cipher, peerSubject;
  int32_t secretBits = 0;
};
// NotSsl: not an SSL stream; NotEstablished: its connection is not established.
NetStatus SslConnectionInfo(StreamRecord** slot, SslInfo* out);
// Loads the certificate (with its chain) and key the stream presents; a key may share the
// certificate's file and the other way round. A plain TCP stream keeps them for its
// StartTls, which presents them. NotSsl: a UDP endpoint; Refused: the certificate or key
// did not load; KeyMismatch: they do not belong together. A failure keeps what the
// stream had.
NetStatus SetStreamCertificate(StreamRecord** slot, const std::string& certificateFile,
                             const std::string& keyFile, std::string_view password);
// The last SSL error code and its text; 0 and an empty text when none.
uint32_t LastSslErrorText(StreamRecord** slot, std::string* text);
// NotSsl; Refused: the library rejected the list. An empty list sets the default one.
NetStatus SetCipherList(StreamRecord** slot, std::string_view list);

}  // namespace vrx
