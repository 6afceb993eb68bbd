#include "package/check_block.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"
#include "package/crc32.h"

namespace scrsetup {
namespace {

using testing::FakeMachine;
using testing::PackageBuilder;

CheckBlock SampleBlock() {
  CheckBlock block{1000, 0x11223344u, 0xAABBCCDDu, {"1.2.0", "Example Makers", "https://e.org"}};
  block.store_size = 0x1800;
  block.store_crc = 0x55667788u;
  return block;
}

TEST(CheckBlock, EncodesTheFixedFieldsAndOnlyTheFactsGiven) {
  CheckBlock block = SampleBlock();
  block.facts.publisher.clear();
  block.store_size = 0;
  const std::string bytes = EncodeCheckBlock(block, nullptr).value();
  const std::string expected_start =
      std::string("SCRcheck\x01\x00", 10) + static_cast<char>(bytes.size()) + '\0' +
      std::string("\xE8\x03\x00\x00\x44\x33\x22\x11\xDD\xCC\xBB\xAA", 12) +
      std::string("\x01\x00\x05\x00", 4) + "1.2.0" + std::string("\x03\x00\x0D\x00", 4) +
      "https://e.org";
  ASSERT_EQ(bytes.size(), expected_start.size() + 4);
  EXPECT_EQ(bytes.substr(0, expected_start.size()), expected_start);
  const uint32_t crc = Crc32(0, bytes.data(), bytes.size() - 4);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(reinterpret_cast<const char*>(&crc), 4));
}

TEST(CheckBlock, ReadsBackWhatWasWrittenFollowedByAnything) {
  const std::string bytes = EncodeCheckBlock(SampleBlock(), nullptr).value();
  for (const std::string& after : {std::string(), std::string(3, '\0') + "padding-and-certificate"}) {
    CheckBlockRead read = DecodeCheckBlock(bytes + after);
    ASSERT_EQ(read.state, CheckBlockState::kPresent);
    EXPECT_EQ(read.block.covered_length, 1000u);
    EXPECT_EQ(read.block.payload_crc, 0x11223344u);
    EXPECT_EQ(read.block.tail_crc, 0xAABBCCDDu);
    EXPECT_EQ(read.block.facts.display_version, "1.2.0");
    EXPECT_EQ(read.block.facts.publisher, "Example Makers");
    EXPECT_EQ(read.block.facts.help_link, "https://e.org");
    EXPECT_EQ(read.block.store_size, 0x1800u);
    EXPECT_EQ(read.block.store_crc, 0x55667788u);
    EXPECT_EQ(read.block_size, static_cast<int64_t>(bytes.size()));
  }
}

// Rewrites the block's own CRC after `change`, as a later writer would.
std::string Resealed(std::string bytes, const std::function<void(std::string&)>& change) {
  change(bytes);
  const uint32_t crc = Crc32(0, bytes.data(), bytes.size() - 4);
  bytes.replace(bytes.size() - 4, 4, reinterpret_cast<const char*>(&crc), 4);
  return bytes;
}

TEST(CheckBlock, TellsAbsentFromDamaged) {
  const std::string good = EncodeCheckBlock(SampleBlock(), nullptr).value();
  // A field of a later kind, inserted before the block's CRC.
  const std::string with_unknown_field = Resealed(good, [](std::string& b) {
    b.insert(b.size() - 4, std::string("\x09\x00\x02\x00zz", 6));
    b[10] = static_cast<char>(b.size());
  });
  EXPECT_EQ(DecodeCheckBlock(with_unknown_field).state, CheckBlockState::kPresent);
  EXPECT_EQ(DecodeCheckBlock(with_unknown_field).block.facts.help_link, "https://e.org");

  struct Case {
    const char* name;
    std::string bytes;
    CheckBlockState state;
  } cases[] = {
      {"nothing after the signature", "", CheckBlockState::kAbsent},
      {"other bytes (a certificate)", std::string(64, '\x30'), CheckBlockState::kAbsent},
      {"a later format", Resealed(good, [](std::string& b) { b[8] = 2; }), CheckBlockState::kAbsent},
      {"a flipped byte in a fact", Resealed(good, [](std::string&) {}).replace(30, 1, "X"),
       CheckBlockState::kDamaged},
      {"a flipped byte in a CRC", std::string(good).replace(0x10, 1, "\x45"), CheckBlockState::kDamaged},
      {"cut short", good.substr(0, good.size() - 1), CheckBlockState::kDamaged},
      {"only the tag", good.substr(0, 12), CheckBlockState::kDamaged},
      {"size below the fixed part", Resealed(good, [](std::string& b) { b[10] = 8; }),
       CheckBlockState::kDamaged},
      {"signature store field of another length",
       Resealed(good, [](std::string& b) { b[b.size() - 4 - 8 - 2] = 7; }), CheckBlockState::kDamaged},
      {"field running past the end",
       Resealed(good, [](std::string& b) { b[0x18 + 2] = static_cast<char>(0xFF); }),
       CheckBlockState::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeCheckBlock(c.bytes).state, c.state);
  }
}

// The scope travels as text, written for a user-scope package only; a block
// without the field is a machine-scope package's, and a text this reader
// does not know is a damaged block.
TEST(CheckBlock, ScopeField) {
  for (InstallScope scope : {InstallScope::kMachine, InstallScope::kUser}) {
    CheckBlock block = SampleBlock();
    block.scope = scope;
    EXPECT_EQ(DecodeCheckBlock(EncodeCheckBlock(block, nullptr).value()).block.scope, scope);
  }
  CheckBlock user = SampleBlock();
  user.scope = InstallScope::kUser;
  const std::string good = EncodeCheckBlock(user, nullptr).value();
  const size_t at = good.find(std::string("\x04\x00\x04\x00user", 8)) + 4;
  ASSERT_EQ(EncodeCheckBlock(SampleBlock(), nullptr)->size() + 8, good.size());
  // The block with its scope field (the last one) cut out, or its text changed.
  const std::string without = Resealed(good, [at](std::string& b) {
    b.erase(at - 4, 8);
    b[10] = static_cast<char>(b.size());
  });
  struct Case {
    const char* name;
    std::string bytes;
    CheckBlockState state;
    InstallScope scope;
  } cases[] = {
      {"no scope field", without, CheckBlockState::kPresent, InstallScope::kMachine},
      {"machine", Resealed(good, [at](std::string& b) {
         b.replace(at - 2, 6, std::string("\x07\x00machine", 9));
         b[10] = static_cast<char>(b.size());
       }),
       CheckBlockState::kPresent, InstallScope::kMachine},
      {"upper case", Resealed(good, [at](std::string& b) { b.replace(at, 4, "USER"); }),
       CheckBlockState::kDamaged, InstallScope::kMachine},
      {"unknown text", Resealed(good, [at](std::string& b) { b.replace(at, 4, "both"); }),
       CheckBlockState::kDamaged, InstallScope::kMachine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CheckBlockRead read = DecodeCheckBlock(c.bytes);
    EXPECT_EQ(read.state, c.state);
    EXPECT_EQ(read.block.scope, c.scope);
  }
}

TEST(CheckBlock, RefusesTextsThatHoldAnEndSignature) {
  for (std::string_view signature : {SetupSignature(), UninstallerSignature()}) {
    CheckBlock block = SampleBlock();
    block.facts.publisher = "Makers " + std::string(signature);
    std::string problem;
    EXPECT_FALSE(EncodeCheckBlock(block, &problem));
    EXPECT_EQ(problem, "the publisher holds an end signature");
  }
  CheckBlock huge = SampleBlock();
  huge.facts.help_link = std::string(kMaxCheckBlockSize, 'h');
  EXPECT_FALSE(EncodeCheckBlock(huge, nullptr));
}

TEST(CheckBlock, ReadFromAPackageFitsItsRecordAndTail) {
  PackageBuilder package;
  package.readme = "readme";
  package.language = "Setup";
  FakeMachine machine;
  machine.files.AddFile("C:\\p.exe", package.CheckedBytes({"2.0", "", ""}));
  std::unique_ptr<File> file = machine.files.OpenForReading("C:\\p.exe", ShareMode::kRead);
  const int64_t package_end = static_cast<int64_t>(package.Bytes().size());
  const SetupRecord record = package.FinalRecord();
  CheckBlockRead read = ReadCheckBlock(*file, package_end, record);
  ASSERT_EQ(read.state, CheckBlockState::kPresent);
  EXPECT_EQ(read.block.facts.display_version, "2.0");
  EXPECT_EQ(TailCrc(*file, package_end, record), read.block.tail_crc);
  // A block that covers another length than the record's does not belong to it.
  SetupRecord other = record;
  other.PayloadSize += 1;
  EXPECT_EQ(ReadCheckBlock(*file, package_end, other).state, CheckBlockState::kDamaged);
  other = record;
  other.ExtrasSize = -2000;
  EXPECT_EQ(TailCrc(*file, package_end, other), std::nullopt);
}

// The CRC of a file range equals the CRC of the same bytes in memory, also
// across the reading buffer's edges; a range that leaves the file has none.
TEST(CheckBlock, RangeCrcCoversExactlyTheRange) {
  testing::PackageBuilder builder;
  builder.payload = std::string(200000, 'p');
  for (size_t i = 0; i < builder.payload.size(); ++i) builder.payload[i] = static_cast<char>(i * 7);
  builder.readme = "readme";
  builder.language = "Setup\r\n";
  const std::string bytes = builder.Bytes();
  testing::FakeFileSystem files;
  files.AddFile("C:\\p.exe", bytes);
  auto file = files.OpenForReading("C:\\p.exe", ShareMode::kReadWrite);
  ASSERT_TRUE(file);

  const int64_t stub = static_cast<int64_t>(builder.stub.size());
  const int64_t payload = static_cast<int64_t>(builder.payload.size());
  EXPECT_EQ(RangeCrc(*file, stub, payload), Crc32(0, builder.payload.data(), builder.payload.size()));
  EXPECT_EQ(RangeCrc(*file, 0, 0), 0u);
  EXPECT_FALSE(RangeCrc(*file, 1, static_cast<int64_t>(bytes.size())));
  EXPECT_FALSE(RangeCrc(*file, 0, -1));

  const SetupRecord record = builder.FinalRecord();
  const int64_t end = static_cast<int64_t>(bytes.size());
  const std::string tail = bytes.substr(static_cast<size_t>(stub + payload), record.ExtrasSize + 936);
  EXPECT_EQ(TailCrc(*file, end, record), Crc32(0, tail.data(), tail.size()));
}

}  // namespace
}  // namespace scrsetup
