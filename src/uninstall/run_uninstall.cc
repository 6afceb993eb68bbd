#include "uninstall/run_uninstall.h"

#include <cstring>

#include "package/package_reader.h"

namespace scrsetup {

bool RunUninstall(File& own_file, int64_t package_end, const SetupRecord& record) {
  char signature[kSignatureSize];
  if (!ReadExactly(own_file, package_end - kSignatureSize, signature, kSignatureSize) ||
      std::memcmp(signature, kUninstallerSignature.data(), kSignatureSize) != 0 ||
      FieldText(record.RecordSignature) != kRecordSignature) {
    return false;
  }
  return true;
}

}  // namespace scrsetup
