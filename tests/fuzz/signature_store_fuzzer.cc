// The signature store on arbitrary bytes: decoded on its own, read after a
// check block that names it (its declared size taken from the input now
// and then, so sizes past the file and past the limit are met), and each
// entry it holds made to sign the uninstaller a package writes. Whatever
// the bytes, nothing is read outside the file, a store is taken only when
// its entries fill it exactly, and an uninstaller written with an entry is
// the unsigned one with exactly that entry's signature.
#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"
#include "fake/pe_image.h"
#include "fuzz/fuzz_support.h"
#include "package/package_reader.h"
#include "package/signature_store.h"
#include "package/signed_file.h"

namespace scrsetup {
namespace {

constexpr char kPackagePath[] = "C:\\p.exe";
constexpr char kUninstallerPath[] = "C:\\u.exe";

std::string WriteUninstaller(testing::FakeFileSystem& files, const testing::PackageBuilder& package,
                             std::string_view store) {
  std::unique_ptr<File> source = files.OpenForReading(kPackagePath, ShareMode::kRead);
  std::unique_ptr<File> target = files.CreateForWriting(kUninstallerPath);
  FUZZ_CHECK(WriteUninstallerPackage(*source, static_cast<int64_t>(package.Bytes().size()),
                                     package.FinalRecord(), *target, store));
  target.reset();
  return files.Contents(kUninstallerPath);
}

}  // namespace
}  // namespace scrsetup

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A failure the fake machine reports (a read past the end of a file)
  // throws and, uncaught, ends the run.
  GTEST_FLAG_SET(throw_on_failure, true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scrsetup;
  const std::string input = fuzz::Bytes(data, size);
  const std::optional<std::vector<StoredSignature>> entries = DecodeSignatureStore(input);
  if (entries) {
    FUZZ_CHECK(EncodeSignatureStore(*entries) == input);
    for (const StoredSignature& entry : *entries) {
      FUZZ_CHECK(!entry.table.empty() && entry.table.size() % kCertificateAlignment == 0);
    }
  }

  scrsetup::testing::PackageBuilder package;
  package.stub = scrsetup::testing::PeImage(0x10b, 613);
  CheckBlock block = DecodeCheckBlock(package.CheckBlockBytes()).block;
  block.store_size = size >= 5 && (data[4] & 1) ? scrsetup::testing::GetLe32(input, 0)
                                                 : static_cast<uint32_t>(size);
  block.store_crc = Crc32(0, input.data(), input.size());
  if (block.store_size == 0) return 0;
  std::optional<std::string> check = EncodeCheckBlock(block, nullptr);
  if (!check) return 0;
  scrsetup::testing::FakeFileSystem files;
  files.AddFile(kPackagePath, package.Bytes() + *check + input);
  std::unique_ptr<File> file = files.OpenForReading(kPackagePath, ShareMode::kReadWrite);
  const CheckBlockRead read =
      ReadCheckBlock(*file, static_cast<int64_t>(package.Bytes().size()), package.FinalRecord());
  file.reset();
  FUZZ_CHECK(read.state != CheckBlockState::kAbsent);
  if (read.state == CheckBlockState::kPresent) {
    FUZZ_CHECK(read.signature_store == input.substr(0, block.store_size));
    FUZZ_CHECK(DecodeSignatureStore(read.signature_store));
  }
  if (!entries) return 0;

  const std::string unsigned_file = WriteUninstaller(files, package, "");
  for (StoredSignature entry : *entries) {
    entry.signed_length = static_cast<uint32_t>(unsigned_file.size());
    entry.signed_crc = Crc32(0, unsigned_file.data(), unsigned_file.size());
    const std::string store = EncodeSignatureStore({entry});
    const std::string written = WriteUninstaller(files, package, store);
    std::string problem;
    const std::optional<StoredSignature> taken = TakeSignature(unsigned_file, written, &problem);
    FUZZ_CHECK(taken && taken->checksum == entry.checksum && taken->table == entry.table);
  }
  return 0;
}
