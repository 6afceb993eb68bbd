// Runs the installer's wizard on the fake machine: puts a package where the
// running program's file is, creates TSCRSetup with a command line and
// runs its creation handler, as program entry does.
#pragma once

#include <memory>
#include <string>

#include "fake/fake_machine.h"
#include "fake/package_builder.h"
#include "entry/command_line.h"
#include "entry/program.h"
#include "wizard/tscr_setup.h"

namespace scrsetup::testing {

class WizardRun {
 public:
  WizardRun(FakeMachine& machine, const std::string& package_bytes,
            const std::string& command_line = "setup.exe")
      : machine_(machine), flags_(ReadRunFlags(CommandLine(command_line))) {
    machine.files.AddFile(machine.files.program_path, package_bytes);
    setup_ = std::make_unique<TSCRSetup>(machine.platform, flags_);
    setup_->FormCreate();
  }

  TSCRSetup& setup() { return *setup_; }
  FakeWizardWindow& window() { return *machine_.app.window; }
  std::string Text(Control control) { return window().texts[control]; }
  bool Visible(Control control) {
    auto found = window().visible.find(control);
    return found == window().visible.end() || found->second;
  }
  bool Enabled(Control control) {
    auto found = window().enabled.find(control);
    return found == window().enabled.end() || found->second;
  }

 private:
  FakeMachine& machine_;
  RunFlags flags_;
  std::unique_ptr<TSCRSetup> setup_;
};

}  // namespace scrsetup::testing
