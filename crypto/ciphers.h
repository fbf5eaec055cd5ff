// Symmetric ciphers: DES, 3DES, CAST-128, Twofish and Blowfish from Nettle, 3-Way and
// the one-rotor stream cipher of our own, in the modes 4D databases have always used:
// the bytes are those of the classic libmcrypt instance interface, key rules included.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/threeway.h"

namespace vrx {

constexpr int32_t kCipherDone = 0;
constexpr int32_t kCipherRefused = -1;  // key, mode or pairing refused
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

// A block cipher as the modes below drive it: whole blocks, length a multiple of
// blockSize, dst == src allowed (Nettle's nettle_cipher_func).
constexpr size_t kMaxBlock = 16;
using BlockFunction = void (*)(const void* context, size_t length, uint8_t* dst,
                               const uint8_t* src);
struct BlockCipher {
  BlockFunction encrypt, decrypt;
  const void* context;
  size_t blockSize;  // at most kMaxBlock
};
// CBC, ECB, 8-bit CFB, 8-bit OFB and full-block OFB (nOFB): reg holds the IV and carries
// the chaining state; ECB and CBC leave a trailing partial block as it is; the stream
// mode is not a block mode and does nothing.
void RunBlockMode(const BlockCipher& cipher, int32_t mode, uint8_t* reg, bool encrypt,
                  uint8_t* data, size_t n);

struct CipherRow;

// One cipher instance, for one buffer.
struct CipherSession {
  const CipherRow* row = nullptr;
  int32_t mode = 0;
  uint8_t reg[kMaxBlock] = {};  // chaining value or shift register
  alignas(16) uint8_t keyState[4352];  // the algorithm's key schedule
};

// Opens an instance. iv may be null (no IV text): zero bytes are used; otherwise it is
// cut or zero-extended to the block size. A key longer than the algorithm's longest is
// refused, a shorter one than a fixed size is extended with zero bytes. Returns 0, -1 or
// -2; on failure nothing needs closing.
int32_t CipherOpen(CipherSession* s, int32_t algorithm, int32_t mode,
                   std::span<const uint8_t> key, const std::span<const uint8_t>* iv);
// Encrypts or decrypts n bytes in place. Block modes leave a trailing partial block as
// it is.
void CipherApply(CipherSession* s, bool encrypt, uint8_t* data, size_t n);
// Wipes the key schedule.
void CipherClose(CipherSession* s);

// The whole command on a handle: -3 no data, -2 unknown algorithm, -1 refused (data
// unchanged). Encryption pads with zero bytes to a multiple of the block size; a result
// larger than maxSize is refused (-1) before anything changes.
int32_t CryptHandle(bool encrypt, uint32_t handle, std::span<const uint8_t> key,
                    int32_t algorithm, int32_t mode, const std::span<const uint8_t>* iv,
                    int32_t maxSize);

}  // namespace vrx
