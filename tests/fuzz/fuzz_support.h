// What every harness shares: the input as text, and a check that ends the
// run with a message, so that the fuzzer keeps the input that broke it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(condition)                                                   \
  do {                                                                          \
    if (!(condition)) {                                                         \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,     \
                   #condition);                                                 \
      std::abort();                                                             \
    }                                                                           \
  } while (false)

namespace scrsetup::fuzz {

inline std::string Bytes(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace scrsetup::fuzz
