#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "fake/fake_machine.h"

namespace scrsetup::testing {
namespace {

// Reading at the end finds the end, as on Windows; reading from past it is
// a fault of the caller, which the fake reports so that no test misses it.
TEST(FakeFile, AReadFromPastTheEndFailsTheTest) {
  FakeFileSystem files;
  files.AddFile("C:\\ten.bin", "0123456789");
  std::unique_ptr<File> file = files.OpenForReading("C:\\ten.bin", ShareMode::kRead);
  char buffer[4];
  ASSERT_TRUE(file->Seek(8));
  EXPECT_EQ(file->Read(buffer, 4), 2);
  EXPECT_EQ(file->Read(buffer, 4), 0);
  ASSERT_TRUE(file->Seek(11));
  EXPECT_NONFATAL_FAILURE((void)file->Read(buffer, 4), "read at offset 11 of a 10-byte file");
}

}  // namespace
}  // namespace scrsetup::testing
