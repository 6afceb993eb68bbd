// SHA-256 (FIPS 180-4), for the installer hash a winget manifest gives: fed
// in pieces of any size, finished once.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace saverpack {

class Sha256 {
 public:
  using Digest = std::array<uint8_t, 32>;

  Sha256();

  // Adds `size` bytes to the message.
  void Update(const void* data, size_t size);

  // The digest of the bytes added; the object is spent afterwards.
  Digest Finish();

 private:
  void Compress(const uint8_t* block);

  std::array<uint32_t, 8> state_;
  std::array<uint8_t, 64> buffer_{};
  size_t buffered_ = 0;
  uint64_t length_ = 0;  // bytes added
};

// The digest as 64 uppercase hexadecimal digits.
std::string HexDigits(const Sha256::Digest& digest);

}  // namespace saverpack
