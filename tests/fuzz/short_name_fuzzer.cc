// The short-name rule on arbitrary names, directly and as the loader applies
// it to a record's ScreensaverFile field.
#include <cstring>

#include "fake/fake_machine.h"
#include "fuzz/fuzz_support.h"
#include "package/setup_record.h"
#include "package/short_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace scrsetup;
  const std::string name = fuzz::Bytes(data, size);
  testing::FakeSystemInfo system;
  const PathRules paths(system);
  for (int code_page : {1252, 932}) {
    system.code_page = code_page;
    const std::string rewritten = ApplyShortNameRule(paths, name);
    FUZZ_CHECK(paths.FolderPart(rewritten) == paths.FolderPart(name));
  }
  system.code_page = 1252;

  SetupRecord record = EmptyRecord();
  if (!SetFieldText(record.ScreensaverFile, name, true)) return 0;
  const std::string field = FieldText(record.ScreensaverFile);
  const std::string applied = ApplyShortNameRule(paths, field);
  const SetupRecord before = record;
  if (SetFieldText(record.ScreensaverFile, applied, true)) {
    FUZZ_CHECK(FieldText(record.ScreensaverFile) == applied);
  } else {
    // A name that no longer fits leaves the field as it was.
    FUZZ_CHECK(std::memcmp(&before, &record, sizeof(record)) == 0);
  }
  return 0;
}
