// The destination folder from arbitrary folder fields. As in the record's
// counted strings, the input's first byte gives the length of the folder
// field; the bytes after it are the subfolder field.
#include <algorithm>
#include <string_view>

#include "fake/fake_machine.h"
#include "fuzz/fuzz_support.h"
#include "wizard/destination_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string input = scrsetup::fuzz::Bytes(data + 1, size - 1);
  const size_t folder_length = std::min<size_t>(data[0], input.size());
  const std::string_view folder = std::string_view(input).substr(0, folder_length);
  const std::string_view subfolder = std::string_view(input).substr(folder_length);
  scrsetup::testing::FakeSystemInfo system;
  const scrsetup::PathRules paths(system);
  for (int code_page : {1252, 932}) {
    system.code_page = code_page;
    for (std::string_view windows : {"C:\\Windows", "C:\\"}) {
      const std::string expanded = scrsetup::ExpandFolderMacros(paths, folder, subfolder, windows,
                                                                "C:\\Program Files\\");
      FUZZ_CHECK(paths.EndsWithBackslash(expanded));
    }
  }
  return 0;
}
