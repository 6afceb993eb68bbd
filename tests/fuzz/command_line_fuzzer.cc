// The command-line splitter and the switch test on arbitrary text.
#include "fuzz/fuzz_support.h"
#include "entry/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = scrsetup::fuzz::Bytes(data, size);
  const scrsetup::CommandLine arguments(line);
  FUZZ_CHECK(arguments.Count() >= 0);
  size_t total = arguments.Arg(0).size();
  for (int i = 1; i <= arguments.Count(); ++i) {
    // An empty argument ends the list, so every counted one holds something.
    FUZZ_CHECK(!arguments.Arg(i).empty());
    total += arguments.Arg(i).size();
  }
  FUZZ_CHECK(total <= line.size());
  FUZZ_CHECK(arguments.Arg(arguments.Count() + 1).empty());
  arguments.HasSwitch("-silent");
  arguments.HasSwitch("-previewonly");
  return 0;
}
