#include "net/ssl.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/rand.h>
#include <openssl/ssl.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "net/address.h"
#include "net/layer.h"
#include "platform/services.h"

namespace vrx {
namespace {

// Every caller has a record (the command layer looks it up first).
SSL* Ssl(const StreamRecord* r) { return r ? r->sslConnection : nullptr; }  // GCOVR_EXCL_BR_LINE
SSL_CTX* Ctx(const StreamRecord* r) { return r ? r->sslContext : nullptr; }  // GCOVR_EXCL_BR_LINE

// The password for an encrypted key; holds it only while SetStreamCertificate runs, so
// an encrypted VRXcert.pem never loads at a passive open.
char gKeyPassword[256];

// Local values are mixed into the pool, never credited as entropy: the library seeds
// itself from the system, and guessable values must not count towards that.
void AddToPool(uint32_t v) { RAND_add(&v, sizeof v, 0.0); }

void Raise(StreamRecord* record, int32_t state) {
  if (record->state < state) record->state = state;
}

// ---- the transport: the SSL's reads and writes go through the stream layer -----------

// A connection that failed in the system (reset by the peer) is put on the library's
// error queue as such; the library would otherwise report a plain end of the data, or
// nothing, and VRX_GetStreamSSLError could not tell a reset from an orderly end.
void QueueSystemError() {
  if (errno != 0) ERR_raise(ERR_LIB_SYS, errno);  // GCOVR_EXCL_BR_LINE: the transport's failures set it
}

// The record is set before the SSL is first used, and the library passes lengths of at
// least one byte.
int TransportWrite(BIO* bio, const char* data, int n) {
  BIO_clear_retry_flags(bio);
  auto* record = static_cast<StreamRecord*>(BIO_get_data(bio));
  if (!record || n < 0) return -1;  // GCOVR_EXCL_BR_LINE
  if (n == 0) return 0;             // GCOVR_EXCL_BR_LINE
  errno = 0;
  size_t sent = 0;
  if (SendOnce(record, reinterpret_cast<const uint8_t*>(data), size_t(n), &sent) != NetStatus::Ok) {
    QueueSystemError();
    return -1;
  }
  if (sent > 0) return int(sent);
  BIO_set_retry_write(bio);  // the socket is full: the SSL call says "later"
  return -1;
}

int TransportRead(BIO* bio, char* buffer, int n) {
  BIO_clear_retry_flags(bio);
  auto* record = static_cast<StreamRecord*>(BIO_get_data(bio));
  if (!record || n < 0) return -1;  // GCOVR_EXCL_BR_LINE: as for writes
  if (n == 0) return 0;             // GCOVR_EXCL_BR_LINE
  static std::string scratch;  // GCOVR_EXCL_BR_LINE: one SSL call at a time: there are no threads
  errno = 0;
  if (ReceiveRaw(record, scratch, std::min(n, kMaxReceive)) != NetStatus::Ok) {
    QueueSystemError();
    return -1;
  }
  if (!scratch.empty()) {
    std::memcpy(buffer, scratch.data(), scratch.size());
    return int(scratch.size());
  }
  // Nothing yet, unless the peer has finished sending: then it is the end of the data.
  if (record->state < kStatePeerClosed) BIO_set_retry_read(bio);
  return record->state >= kStatePeerClosed ? 0 : -1;
}

long TransportCtrl(BIO* bio, int cmd, long, void*) {
  // Bytes are handed to the socket as they are written: there is nothing to flush.
  if (cmd == BIO_CTRL_FLUSH) return 1;
  // The end of the data, so that the library tells an end without close notification.
  if (cmd == BIO_CTRL_EOF) {
    auto* record = static_cast<StreamRecord*>(BIO_get_data(bio));
    return record && record->state >= kStatePeerClosed ? 1 : 0;  // GCOVR_EXCL_BR_LINE: the record is set
  }
  return 0;
}

int TransportCreate(BIO* bio) {
  BIO_set_data(bio, nullptr);
  BIO_set_init(bio, 1);
  return 1;
}

// Made on first use, freed when the socket layer stops (the plug-in may be unloaded).
BIO_METHOD* gTransportMethod = nullptr;

BIO_METHOD* TransportMethod() {
  if (!gTransportMethod) {
    BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "vrx stream");
    if (m) {
      BIO_meth_set_write(m, TransportWrite);
      BIO_meth_set_read(m, TransportRead);
      BIO_meth_set_ctrl(m, TransportCtrl);
      BIO_meth_set_create(m, TransportCreate);
    }
    gTransportMethod = m;
  }
  return gTransportMethod;
}

// The library asks here, never on a console, for the password of an encrypted key.
int SuppliedPassword(char* buffer, int size, int, void*) {
  size_t n = strnlen(gKeyPassword, sizeof gKeyPassword);
  if (n == 0 || size <= 0) return -1;  // GCOVR_EXCL_BR_LINE: the library gives a buffer
  n = std::min(n, size_t(size));
  std::memcpy(buffer, gKeyPassword, n);
  return int(n);
}

// An address of either family, not a name: checked against the certificate's IP
// addresses, and never sent as the server's name.
bool IsAddressLiteral(const std::string& host) {
  SocketAddress a;
  return ParseAddressLiteral(host, 0, &a);
}

// ---- trusted certificates ---------------------------------------------------------------

// What SetTrustedCertificates set, for the whole process: certificates and revocation
// lists. Both empty: only the system's certificates.
struct Trusted {
  STACK_OF(X509)* certificates = nullptr;
  STACK_OF(X509_CRL)* crls = nullptr;
};
Trusted gTrusted;

void FreeTrusted(Trusted& t) {
  sk_X509_pop_free(t.certificates, X509_free);
  sk_X509_CRL_pop_free(t.crls, X509_CRL_free);
  t = Trusted{};
}

// Appends the PEM certificates and revocation lists of a file; other blocks (keys) are
// skipped. False when a block is damaged: a file is taken whole or not at all, so that a
// bad block never leaves a trust that silently lacks what followed it.
bool LoadPemFile(const std::string& file, Trusted& into) {
  BIO* bio = BIO_new_file(file.c_str(), "r");
  if (!bio) return false;
  STACK_OF(X509_INFO)* infos = PEM_X509_INFO_read_bio(bio, nullptr, nullptr, nullptr);
  BIO_free(bio);
  if (!infos) return false;
  bool ok = true;
  for (int i = 0; i < sk_X509_INFO_num(infos); ++i) {
    X509_INFO* info = sk_X509_INFO_value(infos, i);
    if (info->x509 && sk_X509_push(into.certificates, info->x509)) info->x509 = nullptr;
    else if (info->x509) ok = false;
    if (info->crl && sk_X509_CRL_push(into.crls, info->crl)) info->crl = nullptr;
    else if (info->crl) ok = false;
  }
  sk_X509_INFO_pop_free(infos, X509_INFO_free);
  return ok;
}

// A server whose issuer has no revocation list among those given is not refused for
// that: the lists are checked where they exist, and a server of another authority is
// verified as it would be without them.
int AcceptMissingCrl(int ok, X509_STORE_CTX* ctx) {
  if (!ok && X509_STORE_CTX_get_error(ctx) == X509_V_ERR_UNABLE_TO_GET_CRL) {
    X509_STORE_CTX_set_error(ctx, X509_V_OK);
    return 1;
  }
  return ok;
}

// The store every verifying client checks its server against: the system's certificates
// (the environment's SSL_CERT_FILE and SSL_CERT_DIR when set) and those set for the
// process. Reading the system's bundle costs milliseconds of parsing, so it is built once
// and shared; a context holds its own reference, so a stream keeps the trust it started
// with when the store is replaced. Rebuilt when the set certificates or those variables
// change. One SSL call at a time (there are no threads), so no lock.
struct SharedStore {
  X509_STORE* store = nullptr;
  std::string certFile, certDir;  // the environment it was built in
};
SharedStore gStore;

void DropSharedStore() {
  X509_STORE_free(gStore.store);
  gStore = SharedStore{};
}

std::string EnvironmentValue(const char* name) {
  const char* v = getenv(name);
  return v ? v : "";
}

// The shared store, built if needed; null when it cannot be built whole (a store missing
// some of the trust is never kept).
X509_STORE* SharedTrustStore() {
  std::string file = EnvironmentValue(X509_get_default_cert_file_env());
  std::string dir = EnvironmentValue(X509_get_default_cert_dir_env());
  if (gStore.store && gStore.certFile == file && gStore.certDir == dir) return gStore.store;
  DropSharedStore();
  X509_STORE* store = X509_STORE_new();
  // A missing default file or folder is no failure: the system may have none.
  bool ok = store && X509_STORE_set_default_paths(store) == 1;
  for (int i = 0; ok && i < sk_X509_num(gTrusted.certificates); ++i)
    ok = X509_STORE_add_cert(store, sk_X509_value(gTrusted.certificates, i)) == 1;
  for (int i = 0; ok && i < sk_X509_CRL_num(gTrusted.crls); ++i)
    ok = X509_STORE_add_crl(store, sk_X509_CRL_value(gTrusted.crls, i)) == 1;
  if (!ok) {
    X509_STORE_free(store);
    return nullptr;
  }
  gStore = SharedStore{store, std::move(file), std::move(dir)};
  return store;
}

// The trust for one verifying client; with revocation lists, every certificate of the
// chain whose issuer has one is checked against it. False when there is no store.
bool TrustCertificates(SSL* ssl) {
  X509_STORE* store = SharedTrustStore();
  if (!store) return false;
  SSL_CTX_set1_cert_store(SSL_get_SSL_CTX(ssl), store);  // the context holds a reference
  if (sk_X509_CRL_num(gTrusted.crls) > 0) {
    X509_VERIFY_PARAM_set_flags(SSL_get0_param(ssl), X509_V_FLAG_CRL_CHECK | X509_V_FLAG_CRL_CHECK_ALL);
    SSL_set_verify(ssl, SSL_VERIFY_PEER, AcceptMissingCrl);
  } else {
    SSL_set_verify(ssl, SSL_VERIFY_PEER, nullptr);
  }
  ERR_clear_error();
  return true;
}

// The connected peer's address as text, of either family; empty when the socket has none.
std::string PeerAddressText(int socket) {
  SocketAddress sa;
  return PeerAddressOf(socket, &sa) ? sa.Text() : std::string();
}

// The server must show a chain to a trusted certificate that names `host` (holds the
// address, for a dotted one). False when there is nothing to check the server against.
bool RequireVerifiedServer(StreamRecord* record, const std::string& host) {
  SSL* ssl = Ssl(record);
  if (host.empty()) return false;
  int r = IsAddressLiteral(host)
              ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), std::string(WithoutBrackets(host)).c_str())
              : SSL_set1_host(ssl, host.c_str());
  if (r != 1) return false;
  SSL_set_hostflags(ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  if (!TrustCertificates(ssl)) return false;
  record->verifyPeer = true;
  return true;
}

// A handshake that failed: why the certificate was refused, when it was, and the stream
// broken, with its connection ended so that the peer is not left waiting.
void FailHandshake(StreamRecord* record) {
  NoteSslError(record);
  // The refused certificate is the reason, not whatever its check queued first (a broken
  // signature queues "invalid padding" before "certificate verify failed").
  long v = SSL_get_verify_result(Ssl(record));
  if (v != X509_V_OK) {
    record->verifyResult = int32_t(v);
    record->lastSslError = uint32_t(ERR_PACK(ERR_LIB_SSL, 0, SSL_R_CERTIFICATE_VERIFY_FAILED));
  }
  Raise(record, kStateBroken);
  if (record->socket >= 0) shutdown(record->socket, SHUT_RDWR);  // GCOVR_EXCL_BR_LINE: a connection's
}

// Makes a certificate, its key and its chain those the connection presents.
bool UseCertificate(SSL* ssl, X509* certificate, EVP_PKEY* key, STACK_OF(X509)* chain) {
  SSL_certs_clear(ssl);
  return SSL_use_certificate(ssl, certificate) == 1 && SSL_use_PrivateKey(ssl, key) == 1 &&
         SSL_set1_chain(ssl, chain) == 1 && SSL_check_private_key(ssl) == 1;
}

bool SetUpSsl(StreamRecord* record, bool server) {
  ERR_clear_error();
  SSL_CTX* ctx = SSL_CTX_new(server ? TLS_server_method() : TLS_client_method());
  if (!ctx) {
    NoteSslError(record);
    return false;
  }
  // Nothing older than TLS 1.2, as client and as server, whatever the ciphers allow: a
  // peer that offers only less is refused with a protocol_version alert.
  if (SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION) != 1) {
    SSL_CTX_free(ctx);
    NoteSslError(record);
    return false;
  }
  SSL_CTX_set_read_ahead(ctx, 0);
  SSL_CTX_set_default_passwd_cb(ctx, SuppliedPassword);
  // A write that waited is repeated from the same bytes, wherever they are by then.
  SSL_CTX_set_mode(ctx, SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (server) SSL_CTX_set_cipher_list(ctx, kDefaultCipherList);
  SSL* ssl = SSL_new(ctx);
  BIO* bio = ssl && TransportMethod() ? BIO_new(TransportMethod()) : nullptr;
  if (!bio) {
    SSL_free(ssl);
    SSL_CTX_free(ctx);
    NoteSslError(record);
    return false;
  }
  BIO_set_data(bio, record);
  SSL_set_bio(ssl, bio, bio);
  record->sslContext = ctx;
  record->sslConnection = ssl;
  record->ops = &kSslStream;
  record->sslFlag = 1;
  NoteSslError(record);
  return true;
}

// 1 done, 0 waiting for the peer or the socket, -1 failed.
int HandshakeResult(SSL* ssl, int r) {
  if (r == 1) return 1;
  int e = SSL_get_error(ssl, r);
  return e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE ? 0 : -1;
}

}  // namespace

void StartSslLibrary() {
  OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
  int local = 0;
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  const uint32_t values[] = {platform::Milliseconds(), uint32_t(getpid()), platform::DateTimeNow(),
                             platform::TickCount(), uint32_t(reinterpret_cast<uintptr_t>(&local)),
                             uint32_t(ts.tv_nsec), uint32_t(time(nullptr))};
  for (uint32_t v : values) AddToPool(v);
  OPENSSL_cleanse(gKeyPassword, sizeof gKeyPassword);
}

void StopSslLibrary() {
  DropSharedStore();
  FreeTrusted(gTrusted);
  BIO_meth_free(gTransportMethod);
  gTransportMethod = nullptr;
  OPENSSL_cleanse(gKeyPassword, sizeof gKeyPassword);
}

bool SetUpClientSsl(StreamRecord* record, std::string_view host, bool verify) {
  // A zero byte would cut the name that is sent and checked: such a name is no name. (The
  // opens and StartTls refuse it before they get here.)
  if (host.find('\0') != std::string_view::npos) return false;  // GCOVR_EXCL_BR_LINE
  std::string name(host);
  // An accepted stream has no name: its peer's address is what there is to check.
  std::string checked = name.empty() && verify ? PeerAddressText(record->socket) : name;
  if (!SetUpSsl(record, false)) return false;
  if (verify && !RequireVerifiedServer(record, checked)) {
    EndSsl(record, false);
    record->verifyPeer = false;
    return false;
  }
  // The server name goes with the hello; an address is not a name to send.
  if (!name.empty() && !IsAddressLiteral(name)) {
    SSL_set_tlsext_host_name(Ssl(record), name.c_str());
    NoteSslError(record);
  }
  return true;
}

bool SetUpServerSsl(StreamRecord* record) {
  if (!SetUpSsl(record, true)) return false;
  SSL* ssl = Ssl(record);
  int r = SSL_use_certificate_file(ssl, kServerCertificateFile, SSL_FILETYPE_PEM);
  NoteSslError(record);
  if (r == 1) {
    r = SSL_use_PrivateKey_file(ssl, kServerCertificateFile, SSL_FILETYPE_PEM);
    NoteSslError(record);
  }
  if (r == 1) {
    if (SSL_check_private_key(ssl) == 1) record->certificateReady = 1;
    NoteSslError(record);
  }
  return true;
}

void EndSsl(StreamRecord* record, bool notify) {
  // Called for records that have an SSL: the SSL row's close and a set-up that failed.
  if (!record) return;             // GCOVR_EXCL_BR_LINE
  if (SSL* ssl = Ssl(record)) {  // GCOVR_EXCL_BR_LINE
    if (notify && SSL_is_init_finished(ssl)) {
      ERR_clear_error();
      SSL_shutdown(ssl);
      NoteSslError(record);
    }
    SSL_free(ssl);
  }
  SSL_CTX_free(Ctx(record));
  record->sslConnection = nullptr;
  record->sslContext = nullptr;
  record->ops = &kPlainStream;
  record->sslFlag = 0;
}

namespace {

// The SSL row's steps: the record has its SSL.
void ServerHandshakeStep(StreamRecord* record) {
  SSL* ssl = Ssl(record);
  if (!ssl) return;  // GCOVR_EXCL_BR_LINE
  AddToPool(platform::Milliseconds());
  SSL_set_read_ahead(ssl, 1);
  ERR_clear_error();
  int r = HandshakeResult(ssl, SSL_accept(ssl));
  record->serverHandshakeResult = int16_t(r);
  NoteSslError(record);
  Raise(record, r == 1 ? kStateEstablished : r == 0 ? kStateSslAccepting : kStatePeerClosed);
}

void ClientHandshakeStep(StreamRecord* record) {
  SSL* ssl = Ssl(record);
  if (!ssl) return;  // GCOVR_EXCL_BR_LINE
  ERR_clear_error();
  int r = HandshakeResult(ssl, SSL_connect(ssl));
  NoteSslError(record);
  if (r == 1) {
    record->clientHandshakePhase = 2;
    Raise(record, kStateEstablished);
  } else if (r < 0 && record->verifyPeer) {
    // A server that could not be verified gets nothing: the stream is broken at once.
    record->clientHandshakePhase = 1;
    FailHandshake(record);
  } else {
    // Under way, or failed: either way the stream stays Connecting until the
    // connection ends.
    record->clientHandshakePhase = 1;
    Raise(record, kStateConnecting);
    // After a failure nothing will ever read what the peer sent; dropping it lets the
    // peer's end show, instead of the stream waiting behind bytes no one can take. The
    // peer is told by our end, so that it does not wait for a handshake that stopped
    // without an alert (a failure inside our own library), and a send stops at once.
    if (r < 0) {
      DropWaitingBytes(record->socket);
      shutdown(record->socket, SHUT_WR);
    }
  }
}

NetStatus SslSend(StreamRecord** slot, const uint8_t* data, size_t length, size_t) {
  StreamRecord* record = *slot;
  if (length > size_t(INT_MAX)) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: sends come in longint counts
  record->sslBytesSent += uint32_t(length);
  uint32_t lastProgress = platform::TickCount();
  uint32_t onWire = record->bytesSent;
  for (;;) {
    record = *slot;
    SSL* ssl = Ssl(record);
    if (!ssl) return NetStatus::Failed;
    short waitFor = POLLOUT;
    if (SSL_in_before(ssl)) {
      // No handshake yet: the connection is still being made (or never will be).
      if (record->state == kStateListening) return NetStatus::Failed;
      PollStream(record, 0);
      if (!SSL_in_before(ssl)) continue;
    } else {
      ERR_clear_error();
      int r = SSL_write(ssl, data, int(length));
      if (r > 0) {
        // The write may have finished the handshake: let the state say so.
        if (record->state < kStateEstablished) PollStream(record, 0);
        return NetStatus::Ok;
      }
      int e = SSL_get_error(ssl, r);
      if (e == SSL_ERROR_WANT_READ) {
        waitFor = POLLIN;
      } else if (e != SSL_ERROR_WANT_WRITE) {
        NoteSslError(record);
        return NetStatus::Failed;
      }
    }
    if (record->bytesSent != onWire) {
      onWire = record->bytesSent;
      lastProgress = platform::TickCount();
    }
    record = WaitWhileSending(slot, waitFor);
    if (!record) return NetStatus::Failed;
    if (record->bytesSent != onWire) {
      onWire = record->bytesSent;
      lastProgress = platform::TickCount();
    }
    if (TimedOut(platform::TickCount(), lastProgress, record->sendTimeout)) return NetStatus::Failed;
  }
}

bool IsUnexpectedEnd(uint32_t error) {
  return ERR_GET_LIB(error) == ERR_LIB_SSL && ERR_GET_REASON(error) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

// The peer ended without its close notification: what came may be cut short. A stream
// opened with verification, whose caller asked for data it can trust, is broken by it;
// any other ends as a plain stream does (many servers end so), its error telling.
int32_t EndedWithoutNotification(StreamRecord* record) {
  record->sslFailed = record->cutShort = true;
  record->lastSslError = uint32_t(ERR_PACK(ERR_LIB_SSL, 0, SSL_R_UNEXPECTED_EOF_WHILE_READING));
  return record->verifyPeer ? kStateBroken : kStatePeerClosed;
}

// What a receive on an SSL that failed for good comes to.
NetStatus FailedReceive(const StreamRecord* record) {
  if (!record->cutShort) return NetStatus::Failed;
  return record->verifyPeer ? NetStatus::Truncated : NetStatus::Ok;
}

// A read of the SSL failed (e: what SSL_get_error said, error: the first queued error).
// A protocol failure is for good: an end without notification, or a record that could
// not be decrypted or parsed, after which nothing can be trusted: the stream is broken,
// what still waits is never handed out, and the peer sees the end. (System errors have
// set the state in the transport already.)
void ReadFailed(StreamRecord* record, int e, uint32_t error) {
  if (e != SSL_ERROR_SSL) return;
  if (IsUnexpectedEnd(error)) {
    Raise(record, EndedWithoutNotification(record));
    return;
  }
  record->sslFailed = true;
  Raise(record, kStateBroken);
  if (record->socket >= 0) shutdown(record->socket, SHUT_RDWR);  // GCOVR_EXCL_BR_LINE: a connection's
}

NetStatus SslReceive(StreamRecord** slot, std::string& out, int32_t maximum) {
  out.clear();
  StreamRecord* record = *slot;
  SSL* ssl = Ssl(record);
  if (!ssl) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: the SSL row's, called without a wait
  if (record->sslFailed) return FailedReceive(record);
  if (SSL_in_before(ssl)) {
    // The handshake starts when the connection is made; a poll may make it now.
    PollStream(record, 0);
    if (SSL_in_before(ssl)) return record->state == kStateConnecting ? NetStatus::Ok : NetStatus::Failed;
  }
  int32_t m = maximum > 0 ? std::min(maximum, kMaxReceive) : kMaxReceive;  // GCOVR_EXCL_BR_LINE: 1..32000
  out.resize(size_t(m));
  ERR_clear_error();
  int r = SSL_read(ssl, out.data(), m);
  if (r > 0) {
    out.resize(size_t(r));
    record->sslBytesReceived += uint32_t(r);
    if (record->state < kStateEstablished) PollStream(record, 0);
    return NetStatus::Ok;
  }
  out.clear();
  int e = SSL_get_error(ssl, r);
  uint32_t error = NoteSslError(record);
  if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) return NetStatus::Ok;
  if (e == SSL_ERROR_ZERO_RETURN) {
    // The peer's close notification: it has finished sending.
    PollStream(record, kStatePeerClosed);
    return NetStatus::Ok;
  }
  ReadFailed(record, e, error);
  return record->sslFailed ? FailedReceive(record) : NetStatus::Failed;
}

// The SSL row's functions have a record with its SSL: the row and the SSL come and go
// together.
int32_t SslPending(StreamRecord* record) {
  SSL* ssl = Ssl(record);
  if (!SSL_is_init_finished(ssl) || record->sslFailed) return 0;
  int raw = 0;
  if (ioctl(record->socket, FIONREAD, &raw) != 0) raw = 0;
  if (raw > 0 || SSL_has_pending(ssl)) {
    // Let the SSL take in and decrypt what has arrived, without handing it out.
    SSL_set_read_ahead(ssl, 1);
    char byte;
    ERR_clear_error();
    int r = SSL_peek(ssl, &byte, 1);
    if (r <= 0) {
      int e = SSL_get_error(ssl, r);
      ReadFailed(record, e, NoteSslError(record));
      if (record->sslFailed) return 0;
    }
  }
  return SSL_pending(ssl);
}

// Only a close notification ends the data of a finished handshake in order.
int32_t SslEnded(StreamRecord* record) {
  SSL* ssl = Ssl(record);
  if (!SSL_is_init_finished(ssl) || (SSL_get_shutdown(ssl) & SSL_RECEIVED_SHUTDOWN) || record->sslFailed)
    return kStatePeerClosed;
  return EndedWithoutNotification(record);
}

void SslStep(StreamRecord* record) {
  if (SSL_is_server(Ssl(record)))
    ServerHandshakeStep(record);
  else
    ClientHandshakeStep(record);
}

// The close notification goes out, then the stream is plain; what the peer still sends
// cannot be decrypted any more and is dropped.
void SslClose(StreamRecord* record, bool notify) {
  record->dropIncoming = true;
  EndSsl(record, notify);
}

}  // namespace

const StreamOps kSslStream = {kKindSsl, SslSend,  SslReceive,         SslPending, SslStep,
                              SslClose, SslEnded, kStateSslAccepting, true};

NetStatus HowDataEnded(StreamRecord** slot) {
  const StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  return record && record->cutShort && record->verifyPeer ? NetStatus::Truncated : NetStatus::Ok;
}

uint32_t NoteSslError(StreamRecord* record) {
  unsigned long e = ERR_get_error();
  if (e == 0) return 0;
  if (record) record->lastSslError = uint32_t(e);  // GCOVR_EXCL_BR_LINE: callers pass their record
  // The rest belongs to the same failure; left queued it would be charged to the next.
  ERR_clear_error();
  return uint32_t(e);
}

NetStatus SslConnectionInfo(StreamRecord** slot, SslInfo* out) {
  StreamRecord* record = *slot;
  SSL* ssl = Ssl(record);
  if (!ssl) return NetStatus::NotSsl;  // (a record has its SSL and its flag together)
  // A poll never waits: the record and its SSL stay.
  if (PollStream(record, 0) != kStateEstablished) return NetStatus::NotEstablished;
  out->version = SSL_get_version(ssl);
  NoteSslError(record);
  const SSL_CIPHER* cipher = SSL_get_current_cipher(ssl);
  // An established connection has its cipher.
  out->cipher = cipher ? SSL_CIPHER_get_name(cipher) : "";  // GCOVR_EXCL_BR_LINE
  int algorithmBits = 0;
  out->secretBits = cipher ? SSL_CIPHER_get_bits(cipher, &algorithmBits) : 0;  // GCOVR_EXCL_BR_LINE
  out->peerSubject.clear();
  if (X509* peer = SSL_get1_peer_certificate(ssl)) {
    char subject[256];
    if (X509_NAME_oneline(X509_get_subject_name(peer), subject, sizeof subject))
      out->peerSubject = subject;
    X509_free(peer);
  }
  return NetStatus::Ok;
}

NetStatus SetStreamCertificate(StreamRecord** slot, const std::string& certificateFile,
                             const std::string& keyFile, std::string_view password) {
  AddToPool(platform::Milliseconds());
  StreamRecord* record = *slot;
  SSL* ssl = Ssl(record);
  // A plain stream keeps it, in a context of its own, for its STARTTLS.
  const bool held = !ssl && record && record->ops == &kPlainStream;
  if (!ssl && !held) return NetStatus::NotSsl;
  ERR_clear_error();
  SSL_CTX* holder = held ? SSL_CTX_new(TLS_method()) : nullptr;
  if (holder) SSL_CTX_set_default_passwd_cb(holder, SuppliedPassword);

  // Loaded and checked on a scratch connection first, so that a failure leaves the
  // stream with what it had (a new key would also be refused next to an old certificate).
  SSL* scratch = held ? (holder ? SSL_new(holder) : nullptr) : SSL_new(Ctx(record));
  if (!scratch) {
    SSL_CTX_free(holder);
    NoteSslError(record);
    return NetStatus::Refused;
  }
  SSL_certs_clear(scratch);
  size_t n = std::min({password.size(), sizeof gKeyPassword - 1, password.find('\0')});
  std::memcpy(gKeyPassword, password.data(), n);
  gKeyPassword[n] = '\0';

  auto loadKey = [scratch](const std::string& file) {
    if (file.empty() || file.find('\0') != std::string::npos) return 0;
    int r = SSL_use_PrivateKey_file(scratch, file.c_str(), SSL_FILETYPE_PEM);
    if (r != 1) r = SSL_use_PrivateKey_file(scratch, file.c_str(), SSL_FILETYPE_ASN1);
    return r;
  };
  auto loadCertificate = [scratch](const std::string& file) {
    if (file.empty() || file.find('\0') != std::string::npos) return 0;
    int r = SSL_use_certificate_chain_file(scratch, file.c_str());
    if (r != 1) r = SSL_use_certificate_file(scratch, file.c_str(), SSL_FILETYPE_PEM);
    if (r != 1) r = SSL_use_certificate_file(scratch, file.c_str(), SSL_FILETYPE_ASN1);
    return r;
  };

  ERR_clear_error();
  int keyLoaded = loadKey(keyFile);
  if (keyLoaded != 1) keyLoaded = loadKey(certificateFile);  // a key kept with the certificate
  NoteSslError(record);
  OPENSSL_cleanse(gKeyPassword, sizeof gKeyPassword);

  int r = loadCertificate(certificateFile);
  if (r != 1) r = loadCertificate(keyFile);  // a certificate kept with the key
  NoteSslError(record);
  NetStatus result = NetStatus::Ok;
  if (r != 1 || keyLoaded != 1) {
    result = NetStatus::Refused;
  } else if (SSL_check_private_key(scratch) != 1) {
    // A certificate that does not match drops the key again; the check then fails.
    result = NetStatus::KeyMismatch;
  } else {
    STACK_OF(X509)* chain = nullptr;
    SSL_get0_chain_certs(scratch, &chain);
    X509* certificate = SSL_get_certificate(scratch);
    EVP_PKEY* key = SSL_get_privatekey(scratch);
    if (held) {
      if (SSL_CTX_use_certificate(holder, certificate) == 1 && SSL_CTX_use_PrivateKey(holder, key) == 1 &&
          SSL_CTX_set1_chain(holder, chain) == 1 && SSL_CTX_check_private_key(holder) == 1)
        record->heldCertificate = {std::exchange(holder, nullptr), SSL_CTX_free};
      else
        result = NetStatus::KeyMismatch;
    } else if (UseCertificate(ssl, certificate, key, chain)) {
      record->certificateReady = 1;
    } else {
      result = NetStatus::KeyMismatch;
    }
  }
  NoteSslError(record);
  SSL_free(scratch);
  SSL_CTX_free(holder);
  return result;
}

uint32_t LastSslErrorText(StreamRecord** slot, std::string* text) {
  text->clear();
  StreamRecord* record = *slot;
  // Kept after the close of the SSL until the release: how the stream ended stays known.
  if (!record || record->lastSslError == 0) return 0;  // GCOVR_EXCL_BR_LINE: callers pass a stream's slot
  char buffer[256];
  ERR_error_string_n(record->lastSslError, buffer, sizeof buffer);
  *text = buffer;
  // "certificate verify failed" alone does not say what was wrong with it.
  if (record->verifyResult != X509_V_OK && ERR_GET_LIB(record->lastSslError) == ERR_LIB_SSL &&
      ERR_GET_REASON(record->lastSslError) == SSL_R_CERTIFICATE_VERIFY_FAILED)
    *text += std::string(": ") + X509_verify_cert_error_string(record->verifyResult);
  return record->lastSslError;
}

NetStatus SetCipherList(StreamRecord** slot, std::string_view list) {
  StreamRecord* record = *slot;
  SSL* ssl = Ssl(record);
  if (!ssl) return NetStatus::NotSsl;
  ERR_clear_error();
  int r;
  if (list.empty()) {
    SSL_CTX_set_cipher_list(Ctx(record), kDefaultCipherList);
    SSL_set_cipher_list(ssl, kDefaultCipherList);
    r = 1;
  } else {
    std::string l(list.substr(0, list.find('\0')));
    // The connection was made from the context: both take the list.
    r = SSL_CTX_set_cipher_list(Ctx(record), l.c_str());
    if (r == 1) r = SSL_set_cipher_list(ssl, l.c_str());
  }
  NoteSslError(record);
  return r == 1 ? NetStatus::Ok : NetStatus::Refused;
}

NetStatus SetTrustedCertificates(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return NetStatus::Refused;
  std::string p(path);
  if (p.empty()) {
    FreeTrusted(gTrusted);
    DropSharedStore();
    return NetStatus::Ok;
  }
  Trusted loaded{sk_X509_new_null(), sk_X509_CRL_new_null()};
  bool ok = loaded.certificates && loaded.crls;
  namespace fs = std::filesystem;
  std::error_code ec;
  if (ok && fs::is_directory(p, ec)) {
    for (fs::directory_iterator it(p, ec), end; ok && !ec && it != end; it.increment(ec))
      if (it->is_regular_file(ec)) ok = LoadPemFile(it->path().string(), loaded);
    ok = ok && !ec;
  } else if (ok) {
    ok = LoadPemFile(p, loaded);
  }
  ERR_clear_error();
  if (!ok || (sk_X509_num(loaded.certificates) == 0 && sk_X509_CRL_num(loaded.crls) == 0)) {
    FreeTrusted(loaded);
    return NetStatus::Refused;
  }
  FreeTrusted(gTrusted);
  gTrusted = loaded;
  DropSharedStore();  // streams already open keep the store they hold
  return NetStatus::Ok;
}

namespace {

// Nothing may be waiting before the handshake: bytes put back or collected by a receive,
// and for a client anything on the socket (a server says nothing before the client's
// hello, so what is there came before it, in plain).
bool PlainBytesPending(const StreamRecord* record, bool server) {
  if (!record->unread.empty()) return true;
  if (server) return false;
  int raw = 0;
  return ioctl(record->socket, FIONREAD, &raw) == 0 && raw > 0;
}

}  // namespace

NetStatus StartTls(StreamRecord** slot, const TlsStart& how) {
  StreamRecord* record = *slot;
  // A name with a zero byte in it is refused before anything changes.
  if (!record || how.name.find('\0') != std::string_view::npos) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: a stream's slot
  if (Ssl(record)) return NetStatus::AlreadySsl;
  // What was collected for sending belongs to the plain part: it goes first.
  if (!record->output.empty() && FlushSendBuffer(slot) != NetStatus::Ok) return NetStatus::Failed;
  record = *slot;
  if (!record || record->ops != &kPlainStream) return NetStatus::Failed;
  if (PollStream(record, 0) != kStateEstablished || PlainBytesPending(record, how.server)) return NetStatus::Failed;

  std::string name(how.name.empty() ? std::string_view(record->hostName) : how.name);
  if (how.server ? !SetUpServerSsl(record) : !SetUpClientSsl(record, name, how.verify)) {
    NoteSslError(record);
    return NetStatus::HandshakeFailed;
  }
  SSL* ssl = Ssl(record);
  // A certificate given to the plain stream is the one presented, as client or server.
  if (SSL_CTX* held = record->heldCertificate.get()) {
    STACK_OF(X509)* chain = nullptr;
    SSL_CTX_get0_chain_certs(held, &chain);
    if (UseCertificate(ssl, SSL_CTX_get0_certificate(held), SSL_CTX_get0_privatekey(held), chain))
      record->certificateReady = 1;
    NoteSslError(record);
    record->heldCertificate.reset();
  }
  if (how.server) {
    SSL_set_accept_state(ssl);
    SSL_set_read_ahead(ssl, 1);
  } else {
    SSL_set_connect_state(ssl);
  }

  const Deadline deadline =
      Deadline::After(how.timeoutTicks > 0 ? how.timeoutTicks : kStartTlsDefaultTicks);
  for (;;) {
    record = *slot;
    ssl = Ssl(record);
    // Released, or closed, by another process while this one waited.
    if (!record || !ssl) return NetStatus::Failed;
    if (how.server) AddToPool(platform::Milliseconds());
    ERR_clear_error();
    int r = HandshakeResult(ssl, SSL_do_handshake(ssl));
    if (r == 1) {
      if (how.server) record->serverHandshakeResult = 1;
      else record->clientHandshakePhase = 2;
      NoteSslError(record);
      return NetStatus::Ok;
    }
    if (r < 0) {
      FailHandshake(record);
      return NetStatus::HandshakeFailed;
    }
    if (deadline.Passed()) {
      FailHandshake(record);
      return NetStatus::TimedOut;
    }
    IdleWait(slot, SSL_want_write(ssl) ? POLLOUT : POLLIN, deadline);
  }
}

}  // namespace vrx
