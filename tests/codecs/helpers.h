// Shared by the codec tests: host texts from bytes, a seeded byte generator, and a runner
// for /usr/bin/python3 as a real peer.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "abi/abi.h"

namespace codectest {

// A host text that disposes of its handle.
struct OwnedText {
  vrx::TextValue t{0, 0};
  explicit OwnedText(std::string_view bytes);
  explicit OwnedText(vrx::TextValue adopted) : t(adopted) {}
  ~OwnedText();
  OwnedText(const OwnedText&) = delete;
  OwnedText& operator=(const OwnedText&) = delete;
  std::string Bytes() const;
};

// The bytes of a codec result, disposing of its handle. Also checks that the handle is
// sized exactly to the length, as the commands hand it to 4D.
std::string Take(vrx::TextValue result);

// n bytes drawn from `alphabet` (all 256 bytes when empty), with occasional whole tokens
// from `tokens` spliced in.
std::string RandomText(std::mt19937& rng, size_t n, std::string_view alphabet = {},
                       const std::vector<std::string>& tokens = {});

// Runs a Python script with the input bytes in the file named by sys.argv[1]; what the
// script writes to the file sys.argv[2] is returned. ok is false when python failed.
std::string RunPython(const std::string& script, const std::string& input, bool* ok);

}  // namespace codectest
