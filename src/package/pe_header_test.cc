#include "package/pe_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace scrsetup {
namespace {

void Put32(std::vector<unsigned char>& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

// A header of `size` bytes: MZ, the PE header at 0x80, an optional header
// with `magic`, a checksum and a certificate table entry.
std::vector<unsigned char> Header(uint16_t magic, size_t size = 1024, uint32_t directories = 16) {
  std::vector<unsigned char> bytes(size, 0xCC);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  Put32(bytes, 0x3c, 0x80);
  std::memcpy(bytes.data() + 0x80, "PE\0\0", 4);
  size_t optional = 0x80 + 4 + 20;
  bytes[optional] = magic & 0xff;
  bytes[optional + 1] = magic >> 8;
  size_t dirs = optional + (magic == 0x20b ? 112 : 96);
  Put32(bytes, dirs - 4, directories);
  return bytes;
}

TEST(PeHeader, ClearsChecksumAndCertificateEntryOfBothFormats) {
  for (uint16_t magic : {0x10b, 0x20b}) {
    std::vector<unsigned char> bytes = Header(magic);
    std::vector<unsigned char> expected = bytes;
    size_t optional = 0x80 + 24;
    size_t certificate = optional + (magic == 0x20b ? 112 : 96) + 4 * 8;
    for (size_t i = 0; i < 4; ++i) expected[optional + 64 + i] = 0;
    for (size_t i = 0; i < 8; ++i) expected[certificate + i] = 0;
    EXPECT_TRUE(ClearSignatureFields(bytes.data(), bytes.size())) << magic;
    EXPECT_EQ(bytes, expected) << magic;
  }
}

TEST(PeHeader, LeavesAnythingElseAlone) {
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"not an executable", std::vector<unsigned char>(512, 'x')},
      {"too short", {'M', 'Z', 0, 0}},
      {"header cut before the directories", Header(0x10b, 0x80 + 24 + 100)},
      {"unknown optional header", Header(0x107)},
      {"no certificate directory", Header(0x10b, 1024, 4)},
      {"PE pointer past the end", [] {
         std::vector<unsigned char> bytes = Header(0x10b);
         Put32(bytes, 0x3c, 0xFFFFFFF0u);
         return bytes;
       }()},
  };
  for (Case& c : cases) {
    std::vector<unsigned char> before = c.bytes;
    EXPECT_FALSE(ClearSignatureFields(c.bytes.data(), c.bytes.size())) << c.name;
    EXPECT_EQ(c.bytes, before) << c.name;
  }
}

TEST(PeHeader, MachineOfTheCoffHeader) {
  std::vector<unsigned char> x64 = Header(0x20b);
  x64[0x84] = 0x64;
  x64[0x85] = 0x86;
  EXPECT_EQ(PeMachine(x64.data(), x64.size()), kPeMachineAmd64);
  std::vector<unsigned char> x86 = Header(0x10b);
  x86[0x84] = 0x4c;
  x86[0x85] = 0x01;
  EXPECT_EQ(PeMachine(x86.data(), x86.size()), kPeMachineI386);
  // The COFF header must be complete; nothing else is needed.
  EXPECT_TRUE(PeMachine(x86.data(), 0x80 + 24));
  EXPECT_FALSE(PeMachine(x86.data(), 0x80 + 23));
  std::vector<unsigned char> text(512, 'x');
  EXPECT_FALSE(PeMachine(text.data(), text.size()));
}

}  // namespace
}  // namespace scrsetup
