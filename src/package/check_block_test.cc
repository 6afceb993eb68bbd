#include "package/check_block.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"
#include "package/crc32.h"

namespace scrsetup {
namespace {

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

  EXPECT_EQ(Crc32(0, "123456789", 9), 0xCBF43926u);
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
