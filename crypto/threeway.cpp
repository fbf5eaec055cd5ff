#include "crypto/threeway.h"

namespace vrx {
namespace {

constexpr uint32_t kStartEncrypt = 0x0b0b;
constexpr uint32_t kStartDecrypt = 0xb1b1;
constexpr int kRounds = 11;

inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

uint32_t ReverseBits(uint32_t x) {
  x = ((x & 0xAAAAAAAAu) >> 1) | ((x & 0x55555555u) << 1);
  x = ((x & 0xCCCCCCCCu) >> 2) | ((x & 0x33333333u) << 2);
  x = ((x & 0xF0F0F0F0u) >> 4) | ((x & 0x0F0F0F0Fu) << 4);
  x = ((x & 0xFF00FF00u) >> 8) | ((x & 0x00FF00FFu) << 8);
  return (x >> 16) | (x << 16);
}

// Reverses the order of all 96 bits.
void Mu(uint32_t a[3]) {
  uint32_t t = ReverseBits(a[0]);
  a[0] = ReverseBits(a[2]);
  a[1] = ReverseBits(a[1]);
  a[2] = t;
}

void Gamma(uint32_t a[3]) {
  uint32_t b0 = a[0] ^ (a[1] | ~a[2]);
  uint32_t b1 = a[1] ^ (a[2] | ~a[0]);
  uint32_t b2 = a[2] ^ (a[0] | ~a[1]);
  a[0] = b0;
  a[1] = b1;
  a[2] = b2;
}

// One word of the linear step; x is the word itself, y and z the next two cyclically.
inline uint32_t ThetaWord(uint32_t x, uint32_t y, uint32_t z) {
  return x ^ (x >> 16) ^ (x << 16) ^ (x << 24) ^ (x << 8) ^ (y << 16) ^ (y >> 16) ^
         (y >> 24) ^ (z << 16) ^ (z >> 16) ^ (z << 8) ^ (z >> 8) ^ (z >> 24);
}

void Theta(uint32_t a[3]) {
  uint32_t b0 = ThetaWord(a[0], a[1], a[2]);
  uint32_t b1 = ThetaWord(a[1], a[2], a[0]);
  uint32_t b2 = ThetaWord(a[2], a[0], a[1]);
  a[0] = b0;
  a[1] = b1;
  a[2] = b2;
}

void Rho(uint32_t a[3]) {
  Theta(a);
  a[0] = Rotl(a[0], 22);  // pi_1
  a[2] = Rotl(a[2], 1);
  Gamma(a);
  a[0] = Rotl(a[0], 1);  // pi_2
  a[2] = Rotl(a[2], 22);
}

void RoundConstants(uint32_t start, uint32_t out[kRounds + 1]) {
  for (int i = 0; i <= kRounds; ++i) {
    out[i] = start;
    start <<= 1;
    if (start & 0x10000) start ^= 0x11011;
  }
}

void Run(const uint32_t k[3], uint32_t start, uint32_t a[3]) {
  uint32_t rc[kRounds + 1];
  RoundConstants(start, rc);
  for (int i = 0; i < kRounds; ++i) {
    a[0] ^= k[0] ^ (rc[i] << 16);
    a[1] ^= k[1];
    a[2] ^= k[2] ^ rc[i];
    Rho(a);
  }
  a[0] ^= k[0] ^ (rc[kRounds] << 16);
  a[1] ^= k[1];
  a[2] ^= k[2] ^ rc[kRounds];
  Theta(a);
}

void Load(const uint8_t* p, uint32_t w[3]) {
  for (int i = 0; i < 3; ++i)
    w[i] = (uint32_t(p[4 * i]) << 24) | (uint32_t(p[4 * i + 1]) << 16) |
           (uint32_t(p[4 * i + 2]) << 8) | uint32_t(p[4 * i + 3]);
}

void Store(const uint32_t w[3], uint8_t* p) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j) p[4 * i + j] = uint8_t(w[i] >> (24 - 8 * j));
}

}  // namespace

void ThreeWaySetKey(ThreeWayKey* key, const uint32_t words[3]) {
  for (int i = 0; i < 3; ++i) key->k[i] = key->ki[i] = words[i];
  Theta(key->ki);
  Mu(key->ki);
}

void ThreeWaySetKeyBytes(ThreeWayKey* key, const uint8_t bytes[12]) {
  uint32_t w[3];
  Load(bytes, w);
  ThreeWaySetKey(key, w);
}

void ThreeWayEncryptWords(const ThreeWayKey& key, uint32_t a[3]) { Run(key.k, kStartEncrypt, a); }

void ThreeWayDecryptWords(const ThreeWayKey& key, uint32_t a[3]) {
  Mu(a);
  Run(key.ki, kStartDecrypt, a);
  Mu(a);
}

void ThreeWayEncryptBlock(const ThreeWayKey& key, uint8_t block[12]) {
  uint32_t a[3];
  Load(block, a);
  ThreeWayEncryptWords(key, a);
  Store(a, block);
}

void ThreeWayDecryptBlock(const ThreeWayKey& key, uint8_t block[12]) {
  uint32_t a[3];
  Load(block, a);
  ThreeWayDecryptWords(key, a);
  Store(a, block);
}

}  // namespace vrx
