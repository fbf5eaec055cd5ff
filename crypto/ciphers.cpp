#include "crypto/ciphers.h"

#include <nettle/blowfish.h>
#include <nettle/cast128.h>
#include <nettle/cbc.h>
#include <nettle/cfb.h>
#include <nettle/des.h>
#include <nettle/twofish.h>

#include <algorithm>
#include <cstring>

#include "platform/memory.h"

namespace vrx {

// ---- the one-rotor machine ---------------------------------------------------------
// The public-domain replacement for Unix crypt(1): a rotor, its inverse and a reflector,
// all permutations of the 256 byte values drawn from the key by a congruential
// generator. The rotor advances one place per byte and the reflector's offset one place
// per turn; the machine is its own inverse.
namespace {

struct RotorMachine {
  uint8_t rotor[256], inverse[256], reflector[256];
  unsigned position, turns;
};

void RotorSetKey(RotorMachine* m, const uint8_t* key, size_t n) {
  // The key as 13 signed characters, zero-extended: the generator's seed depends on the
  // sign of bytes above 127.
  int32_t k[13] = {};
  for (size_t i = 0; i < std::min<size_t>(n, 13); ++i) k[i] = int8_t(key[i]);
  // The generator wraps at 32 bits and takes its remainder of the signed value.
  uint32_t seed = 123;
  for (int i = 0; i < 13; ++i) seed = seed * uint32_t(k[i]) + uint32_t(i);
  for (int i = 0; i < 256; ++i) {
    m->rotor[i] = uint8_t(i);
    m->reflector[i] = 0;
  }
  for (int i = 0; i < 256; ++i) {
    seed = 5 * seed + uint32_t(k[i % 13]);
    uint32_t random = uint32_t(int32_t(seed) % 65521);
    int top = 255 - i;
    std::swap(m->rotor[top], m->rotor[(random & 0xFF) % uint32_t(top + 1)]);
    // The reflector pairs each place with a lower free one. A place paired with place 0
    // holds 0 and so counts as free again, as the machine always had it.
    if (m->reflector[top] != 0 || top == 0) continue;
    random >>= 8;
    int other = int((random & 0xFF) % uint32_t(top));
    int tries = 0;
    while (m->reflector[other] != 0 && ++tries <= top) other = (other + 1) % top;
    if (tries > top) continue;  // no free place below: leave this one unpaired
    m->reflector[top] = uint8_t(other);
    m->reflector[other] = uint8_t(top);
  }
  for (int i = 0; i < 256; ++i) m->inverse[m->rotor[i]] = uint8_t(i);
  m->position = m->turns = 0;
}

void RotorRun(RotorMachine* m, uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    unsigned turns = m->turns;
    uint8_t x = m->rotor[(p[i] + m->position) & 0xFF];
    x = m->reflector[(x + turns) & 0xFF];
    p[i] = uint8_t(m->inverse[(x - turns) & 0xFF] - m->position);
    if (++m->position == 256) {
      m->position = 0;
      m->turns = (m->turns + 1) & 0xFF;
    }
  }
}

// ---- block ciphers ------------------------------------------------------------------

template <typename Context, void (*F)(const Context*, size_t, uint8_t*, const uint8_t*)>
void Blocks(const void* context, size_t length, uint8_t* dst, const uint8_t* src) {
  F(static_cast<const Context*>(context), length, dst, src);
}

constexpr int kThreeWayBlock = 12;

template <bool Encrypt>
void ThreeWayBlocks(const void* context, size_t length, uint8_t* dst, const uint8_t* src) {
  const ThreeWayKey& k = *static_cast<const ThreeWayKey*>(context);
  for (size_t i = 0; i + kThreeWayBlock <= length; i += kThreeWayBlock) {
    if (dst != src) std::memcpy(dst + i, src + i, kThreeWayBlock);
    Encrypt ? ThreeWayEncryptBlock(k, dst + i) : ThreeWayDecryptBlock(k, dst + i);
  }
}

// Key schedules from a key already extended to a size the algorithm takes.
void DesKey(void* s, const uint8_t* key, size_t) { des_set_key(static_cast<des_ctx*>(s), key); }
void Des3Key(void* s, const uint8_t* key, size_t) { des3_set_key(static_cast<des3_ctx*>(s), key); }
void Cast128Key(void* s, const uint8_t* key, size_t n) {
  // CAST-128 zero-extends any key to 16 bytes and runs 12 rounds up to 10 of them, so a
  // key under Nettle's 5-byte minimum is the same key extended to 5.
  uint8_t k[CAST5_MAX_KEY_SIZE] = {};
  std::memcpy(k, key, n);
  cast5_set_key(static_cast<cast128_ctx*>(s), std::max<size_t>(n, CAST5_MIN_KEY_SIZE), k);
}
void TwofishKey(void* s, const uint8_t* key, size_t n) {
  twofish_set_key(static_cast<twofish_ctx*>(s), n, key);
}
void BlowfishKey(void* s, const uint8_t* key, size_t n) {
  // Blowfish cycles the key through its schedule, so a key under Nettle's 8-byte minimum
  // is the same key repeated.
  uint8_t k[BLOWFISH_MAX_KEY_SIZE];
  size_t length = n;
  std::memcpy(k, key, n);
  while (length < BLOWFISH_MIN_KEY_SIZE) {
    std::memcpy(k + length, key, n);
    length += n;
  }
  blowfish_set_key(static_cast<blowfish_ctx*>(s), length, k);  // weak keys are kept
}
void ThreeWayKeyFrom(void* s, const uint8_t* key, size_t) {
  ThreeWaySetKeyBytes(static_cast<ThreeWayKey*>(s), key);
}
void RotorKey(void* s, const uint8_t* key, size_t n) {
  RotorSetKey(static_cast<RotorMachine*>(s), key, n);
}

}  // namespace

// The algorithms by 4D's numbers. Key rules: an empty key or one longer than maxKey is
// refused; with fixed sizes a key is zero-extended to the next one, otherwise it is
// used as it is.
struct CipherRow {
  int32_t number;
  int blockSize;  // 1: the stream cipher
  size_t maxKey;
  size_t sizes[3];  // fixed key sizes, ascending; all zero: any size up to maxKey
  void (*setKey)(void* state, const uint8_t* key, size_t n);
  BlockFunction encrypt, decrypt;  // null for the stream cipher
};

namespace {

constexpr CipherRow kAlgorithms[] = {
    {1, 8, 8, {8}, DesKey, Blocks<des_ctx, des_encrypt>, Blocks<des_ctx, des_decrypt>},
    {2, 8, 24, {24}, Des3Key, Blocks<des3_ctx, des3_encrypt>, Blocks<des3_ctx, des3_decrypt>},
    {3, kThreeWayBlock, 12, {12}, ThreeWayKeyFrom, ThreeWayBlocks<true>, ThreeWayBlocks<false>},
    {8, 8, 16, {}, Cast128Key, Blocks<cast128_ctx, cast128_encrypt>,
     Blocks<cast128_ctx, cast128_decrypt>},
    {10, 16, 32, {16, 24, 32}, TwofishKey, Blocks<twofish_ctx, twofish_encrypt>,
     Blocks<twofish_ctx, twofish_decrypt>},
    // 14 to 16 all name Blowfish.
    {14, 8, 56, {}, BlowfishKey, Blocks<blowfish_ctx, blowfish_encrypt>,
     Blocks<blowfish_ctx, blowfish_decrypt>},
    {15, 8, 56, {}, BlowfishKey, Blocks<blowfish_ctx, blowfish_encrypt>,
     Blocks<blowfish_ctx, blowfish_decrypt>},
    {16, 8, 56, {}, BlowfishKey, Blocks<blowfish_ctx, blowfish_encrypt>,
     Blocks<blowfish_ctx, blowfish_decrypt>},
    {28, 1, 13, {}, RotorKey, nullptr, nullptr},
};

static_assert(sizeof(CipherSession::keyState) >= sizeof(twofish_ctx) &&
              sizeof(CipherSession::keyState) >= sizeof(blowfish_ctx) &&
              sizeof(CipherSession::keyState) >= sizeof(des3_ctx) &&
              sizeof(CipherSession::keyState) >= sizeof(cast128_ctx) &&
              sizeof(CipherSession::keyState) >= sizeof(ThreeWayKey) &&
              sizeof(CipherSession::keyState) >= sizeof(RotorMachine));

const CipherRow* FindAlgorithm(int32_t number) {
  for (const CipherRow& r : kAlgorithms)
    if (r.number == number) return &r;
  return nullptr;
}

}  // namespace

void RunBlockMode(const BlockCipher& cipher, int32_t mode, uint8_t* reg, bool encrypt,
                  uint8_t* p, size_t n) {
  const size_t b = cipher.blockSize;
  const size_t whole = n - n % b;
  uint8_t out[kMaxBlock];
  switch (mode) {
    case kModeEcb:
      (encrypt ? cipher.encrypt : cipher.decrypt)(cipher.context, whole, p, p);
      break;
    case kModeCbc:
      if (encrypt) cbc_encrypt(cipher.context, cipher.encrypt, b, reg, whole, p, p);
      else cbc_decrypt(cipher.context, cipher.decrypt, b, reg, whole, p, p);
      break;
    case kModeCfb:
      if (encrypt) cfb8_encrypt(cipher.context, cipher.encrypt, b, reg, n, p, p);
      else cfb8_decrypt(cipher.context, cipher.encrypt, b, reg, n, p, p);
      break;
    case kModeOfb:
      // One cipher call per byte: the register shifts left by a byte and takes the
      // key-stream byte.
      for (size_t i = 0; i < n; ++i) {
        cipher.encrypt(cipher.context, b, out, reg);
        p[i] ^= out[0];
        std::memmove(reg, reg + 1, b - 1);
        reg[b - 1] = out[0];
      }
      break;
    case kModeNofb:
      for (size_t done = 0; done < n; done += b) {
        cipher.encrypt(cipher.context, b, reg, reg);
        size_t len = std::min(b, n - done);
        for (size_t i = 0; i < len; ++i) p[done + i] ^= reg[i];
      }
      break;
    default: break;  // CipherOpen admits only the modes above
  }
}

int CipherBlockSize(int32_t algorithm) {
  const CipherRow* r = FindAlgorithm(algorithm);
  return r ? r->blockSize : 0;
}

int32_t CipherOpen(CipherSession* s, int32_t algorithm, int32_t mode,
                   std::span<const uint8_t> key, const std::span<const uint8_t>* iv) {
  const CipherRow* row = FindAlgorithm(algorithm);
  if (!row) return kCipherUnknownAlgorithm;
  if (mode < kModeCbc || mode > kModeStream) return kCipherRefused;
  // The stream cipher runs only in the stream mode, block ciphers only in block modes.
  if ((mode == kModeStream) != (row->encrypt == nullptr)) return kCipherRefused;
  if (key.empty() || key.size() > row->maxKey) return kCipherRefused;

  uint8_t k[64] = {};
  size_t length = key.size();
  std::memcpy(k, key.data(), length);
  if (row->sizes[0]) {
    for (size_t size : row->sizes) {
      if (size >= key.size()) {
        length = size;
        break;
      }
    }
  }
  row->setKey(s->keyState, k, length);
  std::memset(k, 0, sizeof k);

  s->row = row;
  s->mode = mode;
  std::memset(s->reg, 0, sizeof s->reg);
  if (mode != kModeEcb && iv)
    std::memcpy(s->reg, iv->data(), std::min<size_t>(iv->size(), size_t(row->blockSize)));
  return kCipherDone;
}

void CipherApply(CipherSession* s, bool encrypt, uint8_t* data, size_t n) {
  if (n == 0 || !s->row) return;
  if (!s->row->encrypt) {
    RotorRun(reinterpret_cast<RotorMachine*>(s->keyState), data, n);
    return;
  }
  RunBlockMode(BlockCipher{s->row->encrypt, s->row->decrypt, s->keyState,
                           size_t(s->row->blockSize)},
               s->mode, s->reg, encrypt, data, n);
}

void CipherClose(CipherSession* s) {
  std::memset(s->keyState, 0, sizeof s->keyState);
  std::memset(s->reg, 0, sizeof s->reg);
  s->row = nullptr;
}

int32_t CryptHandle(bool encrypt, uint32_t handle, std::span<const uint8_t> key,
                    int32_t algorithm, int32_t mode, const std::span<const uint8_t>* iv,
                    int32_t maxSize) {
  if (handle == 0 || !platform::IsLiveHandle(handle)) return kCipherNoData;
  int64_t n = platform::HandleSize(handle);
  int b = CipherBlockSize(algorithm);
  if (b == 0) return kCipherUnknownAlgorithm;
  CipherSession s;
  int32_t code = CipherOpen(&s, algorithm, mode, key, iv);
  if (code != kCipherDone) return code;
  if (encrypt && b > 1 && n % b != 0) {
    int64_t padded = n + (b - n % b);
    if (padded > maxSize || !platform::SetHandleSize(handle, int32_t(padded))) {
      CipherClose(&s);
      return kCipherRefused;
    }
    std::memset(platform::HandleAddress(handle) + n, 0, size_t(padded - n));
    n = padded;
  }
  if (n > 0) CipherApply(&s, encrypt, platform::HandleAddress(handle), size_t(n));
  CipherClose(&s);
  return kCipherDone;
}

}  // namespace vrx
