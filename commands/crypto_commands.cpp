// Digests and ciphers as commands.
#include <algorithm>
#include <span>
#include <string>

#include "commands/handlers.h"
#include "crypto/ciphers.h"
#include "crypto/digests.h"
#include "platform/memory.h"

namespace vrx {
namespace {

constexpr size_t kBlobPiece = 16384;

// The bytes of a text parameter in place (nothing allocates while they are used).
std::span<const uint8_t> TextSpan(const Call& c, int i) {
  std::string_view v = TextValueBytes(c.Text(i));
  return {reinterpret_cast<const uint8_t*>(v.data()), v.size()};
}

void FinishInto(const Call& c, DigestFamily family) {
  std::string digest, out;
  if (!FinishDigest(c.Long(1), family, &digest)) return;
  c.SetLong(1, 0);
  if (FormatDigest(digest, c.Long(2), &out)) c.ResultString(out);
}

void Crypt(const Call& c, bool encrypt, bool text) {
  std::string key = c.TextBytes(2);
  std::string ivText = c.TextBytes(5);
  std::span<const uint8_t> iv(reinterpret_cast<const uint8_t*>(ivText.data()), ivText.size());
  std::span<const uint8_t> keySpan(reinterpret_cast<const uint8_t*>(key.data()), key.size());
  Handle h = 0;
  TextValue* t = nullptr;
  if (text) {
    t = c.Text(1);
    if (t) h = t->handle;
  } else if (Handle* b = c.Blob(1)) {
    h = *b;
  }
  int32_t code = CryptHandle(encrypt, h, keySpan, c.Long(3), c.Long(4), &iv,
                             text ? kMaxTextLength : 0x7FFFFFFF);
  if (code == kCipherDone && t) t->length = int16_t(platform::HandleSize(h));
  c.ResultLong(code);
}


}  // namespace

void NewMD5Command(const Call& c) { c.ResultLong(NewMd5Digest()); }

void UpdateMD5Command(const Call& c) {
  UpdateDigest(c.Long(1), DigestFamily::Md5Only, TextSpan(c, 2));
}

void FinishMD5Command(const Call& c) { FinishInto(c, DigestFamily::Md5Only); }

void NewDigestCommand(const Call& c) { c.ResultLong(NewDigest(c.Long(1))); }

void UpdateDigestCommand(const Call& c) {
  UpdateDigest(c.Long(1), DigestFamily::General, TextSpan(c, 2));
}

void UpdateDigestBlobCommand(const Call& c) {
  Handle h = c.BlobHandle(2);
  const uint8_t* p = h ? platform::HandleAddress(h) : nullptr;
  size_t n = p ? size_t(platform::HandleSize(h)) : 0;
  if (n == 0) return;
  int32_t ref = c.Long(1);
  for (size_t done = 0; done < n; done += kBlobPiece)
    if (!UpdateDigest(ref, DigestFamily::General, {p + done, std::min(kBlobPiece, n - done)}))
      return;
}

void FinishDigestCommand(const Call& c) { FinishInto(c, DigestFamily::General); }

void EncryptTextCommand(const Call& c) { Crypt(c, true, true); }

void DecryptTextCommand(const Call& c) { Crypt(c, false, true); }

void EncryptBlobCommand(const Call& c) { Crypt(c, true, false); }

void DecryptBlobCommand(const Call& c) { Crypt(c, false, false); }

}  // namespace vrx
