// SSL and TLS on TCP streams. Each SSL stream has its own SSL_CTX and SSL; the SSL reads
// and writes through the stream layer (a custom BIO whose descriptor is the record), so
// waits, time-outs, counters and state changes apply to the bytes on the wire too.
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

// Makes a fresh record an SSL client stream (kind 1): context, connection, transport,
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
// from then on. Nothing happens for a record without them.
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
// wait. Ok: the stream is an SSL stream in state 8. Failed: not a plain established
// stream, or plain bytes still unread (nothing changed); AlreadySsl; HandshakeFailed and
// TimedOut break the stream (20), its last SSL error saying why.
NetStatus StartTls(StreamRecord** slot, const TlsStart& how);

// Handshake steps run while the stream is polled; they set the state.
void ServerHandshakeStep(StreamRecord* record);
void ClientHandshakeStep(StreamRecord* record);

// Application bytes through the SSL: every byte written or failure (0 / -1), waiting
// like a plain send while the socket is full; the stream gives up in either state.
NetStatus SslSend(StreamRecord** slot, const uint8_t* data, size_t length, int32_t giveUpA,
                int32_t giveUpB);
// What the SSL has decrypted, at most `maximum` bytes, never waiting: bytes, 0 when
// nothing is there yet, -1 on failure.
int32_t SslReceive(StreamRecord** slot, std::string& out, int32_t maximum);
// Decrypted bytes ready now (takes in what the socket holds first).
int32_t SslPending(StreamRecord* record);

// The oldest error of the library's queue becomes the record's last SSL error (when
// there is one); the rest of the queue is dropped. Returns it (0 when none).
uint32_t NoteSslError(StreamRecord* record);

struct SslInfo {
  std::string version, cipher, peerSubject;
  int32_t secretBits = 0;
};
// 0; -2 not an SSL stream; -3 not established.
NetStatus SslConnectionInfo(StreamRecord** slot, SslInfo* out);
// 0; -2 not an SSL stream; -3 certificate or key not loaded; -4 key does not match.
NetStatus SetStreamCertificate(StreamRecord** slot, const std::string& certificateFile,
                             const std::string& keyFile, std::string_view password);
// The last SSL error code and its text; 0 and an empty text when none.
uint32_t LastSslErrorText(StreamRecord** slot, std::string* text);
// 0; -2 not an SSL stream; -3 list rejected. An empty list sets the default one.
NetStatus SetCipherList(StreamRecord** slot, std::string_view list);

}  // namespace vrx
