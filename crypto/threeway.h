// Joan Daemen's 3-Way block cipher: 96-bit block and key, eleven rounds. Bytes map to
// the three words most significant byte first, as libmcrypt maps them.
#pragma once
#include <cstdint>

namespace vrx {

struct ThreeWayKey {
  uint32_t k[3];   // encryption key
  uint32_t ki[3];  // the inverse key used for decryption
};

void ThreeWaySetKey(ThreeWayKey* key, const uint32_t words[3]);
void ThreeWaySetKeyBytes(ThreeWayKey* key, const uint8_t bytes[12]);
void ThreeWayEncryptWords(const ThreeWayKey& key, uint32_t a[3]);
void ThreeWayDecryptWords(const ThreeWayKey& key, uint32_t a[3]);
void ThreeWayEncryptBlock(const ThreeWayKey& key, uint8_t block[12]);
void ThreeWayDecryptBlock(const ThreeWayKey& key, uint8_t block[12]);

}  // namespace vrx
