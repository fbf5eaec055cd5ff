// Digests at every length across the padding boundaries, against Python's hashlib and
// zlib and a SHA-0 written in Python from the published algorithm (SHA-1 without the
// rotation in its message schedule).
#include "crypto/digests.h"
#include "tests/support.h"

namespace {

using namespace vrx;

constexpr const char* kReference = R"PY(
import hashlib, struct, sys, zlib
def sha0(m):
    h = [0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0]
    m = m + b"\x80" + b"\0" * ((55 - len(m)) % 64) + struct.pack(">Q", 8 * len(m))
    for o in range(0, len(m), 64):
        w = list(struct.unpack(">16I", m[o:o + 64]))
        for i in range(16, 80): w.append(w[i-3] ^ w[i-8] ^ w[i-14] ^ w[i-16])
        a, b, c, d, e = h
        for i in range(80):
            if i < 20: f, k = (b & c) | (~b & d), 0x5A827999
            elif i < 40: f, k = b ^ c ^ d, 0x6ED9EBA1
            elif i < 60: f, k = (b & c) | (b & d) | (c & d), 0x8F1BBCDC
            else: f, k = b ^ c ^ d, 0xCA62C1D6
            t = (((a << 5) | (a >> 27)) + f + e + k + w[i]) & 0xFFFFFFFF
            a, b, c, d, e = t, a, ((b << 30) | (b >> 2)) & 0xFFFFFFFF, c, d
        h = [(x + y) & 0xFFFFFFFF for x, y in zip(h, [a, b, c, d, e])]
    return struct.pack(">5I", *h).hex()
data = bytes((7 * i + 3) % 256 for i in range(200))
for n in range(len(data) + 1):
    m = data[:n]
    print(1, n, sha0(m))
    print(5, n, hashlib.md5(m).hexdigest())
    print(9, n, hashlib.sha1(m).hexdigest())
    print(100, n, "%08x" % zlib.crc32(m))
    print(101, n, "%08x" % zlib.adler32(m))
)PY";

TEST(DigestBoundaries, EveryLengthUpToThreeBlocksMatchesPython) {
  vrxtest::TempDir dir;
  std::string out = vrxtest::RunPython(dir, kReference, "");
  std::string data;
  for (int i = 0; i < 200; ++i) data += char((7 * i + 3) % 256);
  int checked = 0;
  for (const std::string& line : vrxtest::Lines(out)) {
    int32_t algorithm = 0;
    size_t n = 0;
    char hex[64] = {};
    if (std::sscanf(line.c_str(), "%d %zu %63s", &algorithm, &n, hex) != 3) continue;
    int32_t ref = NewDigest(algorithm);
    ASSERT_NE(ref, 0) << algorithm;
    UpdateDigest(ref, DigestFamily::General,
                 {reinterpret_cast<const uint8_t*>(data.data()), n});
    std::string digest;
    ASSERT_TRUE(FinishDigest(ref, DigestFamily::General, &digest));
    EXPECT_EQ(vrxtest::Hex(digest), hex) << "algorithm " << algorithm << ", " << n << " bytes";
    ++checked;
  }
  EXPECT_EQ(checked, 5 * 201);
}

}  // namespace
