#include "setupmain/tscr_setup.h"

#include "package/short_name.h"
#include "package/windows_version.h"
#include "uninstall/run_uninstall.h"

namespace scrsetup {

TSCRSetup::TSCRSetup(Platform& platform, const RunFlags& flags, const CommandLine& arguments)
    : platform_(platform), flags_(flags), arguments_(arguments), record_(EmptyRecord()) {
  window_ = platform_.app.CreateWizardWindow(*this);
}

TSCRSetup::~TSCRSetup() = default;

void TSCRSetup::FormCreate() {
  const std::string own_path = platform_.files.ProgramPath();
  bool loaded = false;
  {
    std::unique_ptr<File> own_file = platform_.files.OpenForReading(own_path, ShareMode::kReadWrite);
    if (!own_file) {
      if (!flags_.SilentMode) {
        platform_.dialogs.ShowMessage("Cannot open file \"" + own_path + "\".", kApplicationTitle,
                                      MessageButtons::kOk, MessageIcon::kError);
      }
      EndRun(kExitPackageUnreadable);
      return;
    }
    loaded = LoadPackage(*own_file);
  }  // the own file is closed here, after a failure too
  if (!loaded) {
    ReportCorruptedPackage();
    return;
  }
}

bool TSCRSetup::LoadPackage(File& own_file) {
  std::optional<PackageLocation> location = LocatePackage(own_file);
  if (!location) return false;
  PackageEnd_ = location->PackageEnd;
  kind_ = location->kind;
  if (!ReadRecord(own_file, PackageEnd_, record_)) return false;

  if (ShortNameRuleApplies(WindowsVersionClass(platform_.system.QueryVersion()))) {
    // A rewritten name that no longer fits its field is a damaged package,
    // never an overrun.
    if (!SetFieldText(record_.ScreensaverFile,
                      ApplyShortNameRule(FieldText(record_.ScreensaverFile)), true)) {
      return false;
    }
  }

  std::optional<std::string> language_text = ReadLanguageText(own_file, PackageEnd_, record_);
  if (!language_text) return false;
  language_.LoadLanguageTable(*language_text, "Setup");
  LangRenameControls();

  if (kind_ == PackageKind::kUninstaller) {
    return RunUninstall(own_file, PackageEnd_, record_);
  }
  std::optional<SetupTexts> texts = ReadSetupTexts(own_file, PackageEnd_, record_);
  if (!texts) return false;
  texts_ = std::move(*texts);
  return true;
}

void TSCRSetup::LangRenameControls() {}

void TSCRSetup::ReportCorruptedPackage() {
  if (!flags_.SilentMode) {
    platform_.dialogs.ShowMessage(language_.Translate("The file is corrupted. Setup can not continue."),
                                  kApplicationTitle, MessageButtons::kOk, MessageIcon::kError);
  }
  EndRun(kExitPackageUnreadable);
}

void TSCRSetup::EndRun(ExitCode silent_code) {
  if (flags_.SilentMode) exit_code_ = silent_code;
  platform_.app.Terminate();
}

void TSCRSetup::FormDestroy() { language_.FreeLanguageTable(); }

void TSCRSetup::btnNextClick() {}
void TSCRSetup::btnBackClick() {}
void TSCRSetup::btnCancelClick() { window_->Close(); }
void TSCRSetup::btnBrowseClick() {}
void TSCRSetup::rbAcceptClick() {}
void TSCRSetup::LinkClick() {}

}  // namespace scrsetup
