// Message digests and checksums fed in pieces. Contexts live in one table inside the
// plug-in; 4D holds a small positive number naming a live entry, never an address.
#pragma once
#include <cstdint>
#include <span>
#include <string>

namespace vrx {

// Algorithm numbers as 4D passes them.
constexpr int32_t kDigestSha0 = 1;
constexpr int32_t kDigestMd2 = 2;
constexpr int32_t kDigestMd4 = 4;
constexpr int32_t kDigestMd5 = 5;
constexpr int32_t kDigestSha1 = 9;
constexpr int32_t kDigestRipemd160 = 10;
constexpr int32_t kDigestCrc32 = 100;
constexpr int32_t kDigestAdler32 = 101;

// The two command families keep separate contexts: one never accepts the other's.
enum class DigestFamily : uint8_t { General, Md5Only };

// Digest size in bytes; 0 when the number is not an algorithm.
int DigestSize(int32_t algorithm);

// A new context; 0 when the algorithm is unknown (or no entry is left).
int32_t NewDigest(int32_t algorithm);
int32_t NewMd5Digest();
// False (and nothing done) when ref names no live context of that family.
bool UpdateDigest(int32_t ref, DigestFamily family, std::span<const uint8_t> data);
// Finishes and releases the context; false when ref names no live context of that
// family (nothing released).
bool FinishDigest(int32_t ref, DigestFamily family, std::string* digest);
// Live contexts, for leak checks.
int LiveDigestCount();

// Output forms: 0 the bytes themselves, 1 lower-case hexadecimal. False for other forms.
bool FormatDigest(const std::string& digest, int32_t form, std::string* out);

// SHA as first published in FIPS 180 (no rotation in the message schedule).
struct Sha0Context {
  uint32_t h[5];
  uint64_t length;  // bytes
  uint8_t block[64];
  uint32_t used;
};
void Sha0Init(Sha0Context* c);
void Sha0Update(Sha0Context* c, const uint8_t* data, size_t n);
void Sha0Final(Sha0Context* c, uint8_t out[20]);

}  // namespace vrx
