// The instruction-set paths of the Base64 codec. The best one the processor has is used;
// tests and benchmarks force each in turn. Every path gives the same output.
#pragma once

namespace vrx {

enum class Base64Path { Scalar, Ssse3, Avx2, Avx512 };  // Avx512: with VBMI

// Makes every later Base64 call use `path`; false (and nothing changes) when this
// processor cannot run it. Not for use while another thread encodes or decodes.
bool UseBase64Path(Base64Path path);
Base64Path CurrentBase64Path();

}  // namespace vrx
