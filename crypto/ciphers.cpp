#include "crypto/ciphers.h"

#include <mcrypt.h>

#include <algorithm>
#include <cstring>

#include "platform/memory.h"

namespace vrx {
namespace {

constexpr int32_t kThreeWay = 3;

struct AlgorithmRow {
  int32_t number;
  const char* name;  // libmcrypt's module name; null for our own 3-Way
  int blockSize;
};
constexpr AlgorithmRow kAlgorithms[] = {
    {1, "des", 8},       {2, "tripledes", 8}, {kThreeWay, nullptr, 12}, {8, "cast-128", 8},
    {10, "twofish", 16}, {14, "blowfish", 8}, {15, "blowfish", 8},      {16, "blowfish", 8},
    {28, "enigma", 1},
};

const char* ModeName(int32_t mode) {
  switch (mode) {
    case kModeCbc: return "cbc";
    case kModeEcb: return "ecb";
    case kModeCfb: return "cfb";
    case kModeOfb: return "ofb";
    case kModeNofb: return "nofb";
    case kModeStream: return "stream";
    default: return nullptr;
  }
}

const AlgorithmRow* FindAlgorithm(int32_t number) {
  for (const AlgorithmRow& r : kAlgorithms)
    if (r.number == number) return &r;
  return nullptr;
}

constexpr int kThreeWayBlock = 12;

void ThreeWayBlock(const void* key, bool encrypt, uint8_t* block) {
  const ThreeWayKey& k = *static_cast<const ThreeWayKey*>(key);
  encrypt ? ThreeWayEncryptBlock(k, block) : ThreeWayDecryptBlock(k, block);
}

}  // namespace

void RunBlockMode(const BlockCipher& cipher, int32_t mode, uint8_t* reg, bool encrypt,
                  uint8_t* p, size_t n) {
  const size_t b = cipher.blockSize;
  uint8_t out[kMaxBlock];
  auto xorInto = [](uint8_t* dst, const uint8_t* src, size_t len) {
    for (size_t i = 0; i < len; ++i) dst[i] ^= src[i];
  };
  size_t blocks = n / b;
  switch (mode) {
    case kModeEcb:
      for (size_t i = 0; i < blocks; ++i, p += b) cipher.run(cipher.key, encrypt, p);
      break;
    case kModeCbc:
      for (size_t i = 0; i < blocks; ++i, p += b) {
        if (encrypt) {
          xorInto(p, reg, b);
          cipher.run(cipher.key, true, p);
          std::memcpy(reg, p, b);
        } else {
          std::memcpy(out, p, b);
          cipher.run(cipher.key, false, p);
          xorInto(p, reg, b);
          std::memcpy(reg, out, b);
        }
      }
      break;
    case kModeCfb:
    case kModeOfb:
      // One cipher call per byte: the register shifts left by a byte and takes the
      // cipher-text byte (CFB) or the key-stream byte (OFB).
      for (size_t i = 0; i < n; ++i) {
        std::memcpy(out, reg, b);
        cipher.run(cipher.key, true, out);
        uint8_t cipherByte = encrypt ? uint8_t(p[i] ^ out[0]) : p[i];
        p[i] ^= out[0];
        std::memmove(reg, reg + 1, b - 1);
        reg[b - 1] = mode == kModeCfb ? cipherByte : out[0];
      }
      break;
    case kModeNofb:
      for (size_t done = 0; done < n; done += b) {
        cipher.run(cipher.key, true, reg);
        xorInto(p + done, reg, std::min(b, n - done));
      }
      break;
    default: break;
  }
}

int CipherBlockSize(int32_t algorithm) {
  const AlgorithmRow* r = FindAlgorithm(algorithm);
  return r ? r->blockSize : 0;
}

int32_t CipherOpen(CipherSession* s, int32_t algorithm, int32_t mode,
                   std::span<const uint8_t> key, const std::span<const uint8_t>* iv) {
  const AlgorithmRow* row = FindAlgorithm(algorithm);
  if (!row) return kCipherUnknownAlgorithm;
  const char* modeName = ModeName(mode);
  if (!modeName) return kCipherRefused;
  s->mode = mode;
  s->blockSize = row->blockSize;

  uint8_t ivBytes[32] = {0};
  if (mode != kModeEcb && iv)
    std::memcpy(ivBytes, iv->data(), std::min<size_t>(iv->size(), size_t(row->blockSize)));

  if (!row->name) {
    // The library's rules for a key of one supported size: none or a longer one is
    // refused, a shorter one is extended with zero bytes; a block cipher has no stream
    // mode.
    if (mode == kModeStream || key.empty() || key.size() > kThreeWayBlock) return kCipherRefused;
    uint8_t k[kThreeWayBlock] = {0};
    std::memcpy(k, key.data(), key.size());
    ThreeWaySetKeyBytes(&s->threeWay, k);
    std::memcpy(s->reg, ivBytes, kThreeWayBlock);
    s->mcrypt = nullptr;
    return kCipherDone;
  }

  MCRYPT td = mcrypt_module_open(const_cast<char*>(row->name), nullptr,
                                 const_cast<char*>(modeName), nullptr);
  if (td == MCRYPT_FAILED) return kCipherRefused;
  // The library reads the key as an int-sized count; 4D texts are far below that.
  uint8_t emptyKey = 0;
  void* keyBytes = key.empty() ? &emptyKey : const_cast<uint8_t*>(key.data());
  if (key.size() > 0x7FFFFFFF ||
      mcrypt_generic_init(td, keyBytes, int(key.size()), ivBytes) < 0) {
    mcrypt_module_close(td);
    return kCipherRefused;
  }
  s->mcrypt = td;
  return kCipherDone;
}

void CipherApply(CipherSession* s, bool encrypt, uint8_t* data, size_t n) {
  if (n == 0) return;
  if (!s->mcrypt) {
    RunBlockMode(BlockCipher{ThreeWayBlock, &s->threeWay, kThreeWayBlock}, s->mode, s->reg,
                 encrypt, data, n);
    return;
  }
  MCRYPT td = static_cast<MCRYPT>(s->mcrypt);
  // Handles hold at most 2 GB, so n fits the library's int count.
  if (encrypt) mcrypt_generic(td, data, int(n));
  else mdecrypt_generic(td, data, int(n));
}

void CipherClose(CipherSession* s) {
  if (s->mcrypt) {
    MCRYPT td = static_cast<MCRYPT>(s->mcrypt);
    mcrypt_generic_deinit(td);
    mcrypt_module_close(td);
    s->mcrypt = nullptr;
  }
  std::memset(&s->threeWay, 0, sizeof s->threeWay);
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
