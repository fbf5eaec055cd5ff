// Symmetric ciphers over libmcrypt, plus 3-Way run through the same modes with the
// library's semantics.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/threeway.h"

namespace vrx {

constexpr int32_t kCipherDone = 0;
constexpr int32_t kCipherRefused = -1;      // the library refused key, mode or pairing
constexpr int32_t kCipherUnknownAlgorithm = -2;
constexpr int32_t kCipherNoData = -3;

constexpr int32_t kModeCbc = 0;
constexpr int32_t kModeEcb = 1;
constexpr int32_t kModeCfb = 2;   // 8-bit feedback
constexpr int32_t kModeOfb = 3;   // 8-bit feedback
constexpr int32_t kModeNofb = 4;  // full-block output feedback
constexpr int32_t kModeStream = 5;

// Block size of an accepted algorithm (1 for the stream cipher); 0 when not accepted.
int CipherBlockSize(int32_t algorithm);

// A block cipher as the modes below drive it.
constexpr size_t kMaxBlock = 32;
struct BlockCipher {
  void (*run)(const void* key, bool encrypt, uint8_t* block);
  const void* key;
  size_t blockSize;  // at most kMaxBlock
};
// CBC, ECB, 8-bit CFB, 8-bit OFB and full-block OFB (nOFB) with libmcrypt's semantics:
// reg holds the IV and carries the chaining state; ECB and CBC leave a trailing
// partial block as it is; the stream mode is not a block mode and does nothing.
void RunBlockMode(const BlockCipher& cipher, int32_t mode, uint8_t* reg, bool encrypt,
                  uint8_t* data, size_t n);

// One cipher instance, for one buffer.
struct CipherSession {
  void* mcrypt = nullptr;  // the library's instance, or null for 3-Way
  int32_t mode = 0;
  int blockSize = 0;
  ThreeWayKey threeWay{};
  uint8_t reg[12] = {};  // 3-Way: chaining value or shift register
};

// Opens an instance. iv may be null (no IV text): b zero bytes are used; otherwise it is
// cut or zero-extended to the block size b. Returns 0, -1 or -2; on failure nothing
// needs closing.
int32_t CipherOpen(CipherSession* s, int32_t algorithm, int32_t mode,
                   std::span<const uint8_t> key, const std::span<const uint8_t>* iv);
// Encrypts or decrypts n bytes in place. Block modes leave a trailing partial block as
// it is, as libmcrypt does.
void CipherApply(CipherSession* s, bool encrypt, uint8_t* data, size_t n);
void CipherClose(CipherSession* s);

// The whole command on a handle: -3 no data, -2 unknown algorithm, -1 refused (data
// unchanged). Encryption pads with zero bytes to a multiple of the block size; a result
// larger than maxSize is refused (-1) before anything changes.
int32_t CryptHandle(bool encrypt, uint32_t handle, std::span<const uint8_t> key,
                    int32_t algorithm, int32_t mode, const std::span<const uint8_t>* iv,
                    int32_t maxSize);

}  // namespace vrx
