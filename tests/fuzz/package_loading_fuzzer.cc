// The loading sequence on arbitrary bytes: the input is the running
// program's own file on the fake machine, and TSCRSetup's creation handler
// runs once with the wizard's command line (then clicks through the wizard)
// and once with "-silent" (which goes on to install, or to uninstall for an
// uninstaller).
#include <gtest/gtest.h>

#include "fake/wizard_run.h"
#include "fuzz/fuzz_support.h"

using scrsetup::testing::FakeMachine;
using scrsetup::testing::WizardRun;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A failure the fake machine reports (a read past the end of a file)
  // throws and, uncaught, ends the run.
  GTEST_FLAG_SET(throw_on_failure, true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = scrsetup::fuzz::Bytes(data, size);
  for (bool silent : {false, true}) {
    FakeMachine machine;
    WizardRun run(machine, bytes, silent ? "setup.exe -silent" : "setup.exe");
    const int exit_code = run.setup().exit_code();
    if (silent) {
      // A silent run always ends by itself: a hidden window left running
      // would never close.
      FUZZ_CHECK(machine.app.terminated);
      FUZZ_CHECK(exit_code >= scrsetup::kExitOk && exit_code <= scrsetup::kExitInstallFailed);
    } else {
      FUZZ_CHECK(exit_code == scrsetup::kExitOk);
      // Without a message the run goes on in the wizard, on one of its first
      // pages; the user then accepts and clicks Next to the end.
      if (machine.dialogs.shown.empty()) {
        FUZZ_CHECK(!machine.app.terminated);
        FUZZ_CHECK(run.setup().page() <= scrsetup::kReadyPage);
        run.window().ClickRadio(scrsetup::Control::rbAccept);
        for (int click = 0; click < scrsetup::kPageCount && !run.window().closed; ++click) {
          run.setup().btnNextClick();
        }
      }
    }
  }
  return 0;
}
