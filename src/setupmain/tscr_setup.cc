#include "setupmain/tscr_setup.h"

#include "lang/text.h"
#include "package/short_name.h"
#include "package/windows_version.h"
#include "setupmain/destination_folder.h"
#include "uninstall/run_uninstall.h"

namespace scrsetup {
namespace {

constexpr const char* kEnglishPageTitles[kPageCount] = {
    "License Agreement", "Select Destination Directory", "Ready to Install",
    "Installing",        "Information",                  "Finish",
};

constexpr const char* kEnglishPageDescriptions[kPageCount] = {
    "Please read the following important information before continuing.",
    "Where should Screen Saver be installed?",
    "Setup is ready to install Screen Saver.",
    "Please wait while Setup installs Screen Saver.",
    "Please read the following important information before continuing.",
    "The Setup has completed successfully.",
};

// Text for a multi-line box: every CR, LF or CR LF becomes CR LF.
std::string WithCrLfLines(std::string_view text) {
  std::string lines;
  lines.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines += "\r\n";
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      lines += text[i];
    }
  }
  return lines;
}

}  // namespace

TSCRSetup::TSCRSetup(Platform& platform, const RunFlags& flags, const CommandLine& arguments)
    : platform_(platform), flags_(flags), arguments_(arguments), record_(EmptyRecord()) {
  window_ = platform_.app.CreateWizardWindow(*this);
}

TSCRSetup::~TSCRSetup() = default;

void TSCRSetup::FormCreate() {
  const std::string own_path = platform_.files.ProgramPath();
  bool loaded = false;
  PackageKind kind = PackageKind::kSetup;
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
    std::optional<PackageLocation> location = LocatePackage(*own_file);
    if (location) {
      PackageEnd_ = location->PackageEnd;
      kind = location->kind;
      loaded = LoadPackage(*own_file, kind);
    }
  }  // the own file is closed here, after a failure too
  if (!loaded) {
    ReportCorruptedPackage();
    return;
  }
  if (kind == PackageKind::kSetup) PrepareDestination();
}

bool TSCRSetup::LoadPackage(File& own_file, PackageKind kind) {
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
  // Block sizes that do not add up would make the payload and the blocks be
  // read from the wrong places: a truncated screensaver reported as installed.
  if (!BlockSizesConsistent(record_)) return false;

  if (kind == PackageKind::kUninstaller) return RunUninstall(own_file, context_, *window_);
  // The installation copies the payload from PackageEnd - PayloadSize and the
  // uninstaller the Stub before it: both must lie inside the file.
  if (!PayloadInsidePackage(record_, PackageEnd_)) return false;
  std::optional<SetupTexts> texts = ReadSetupTexts(own_file, PackageEnd_, record_);
  if (!texts) return false;
  texts_ = std::move(*texts);
  PrepareWizard();
  return true;
}

void TSCRSetup::LangRenameControls() {
  WizardWindow& w = *window_;
  w.SetText(Control::btnBack, "< " + T("Back"));
  w.SetText(Control::btnBrowse, T("&Browse") + "...");
  w.SetText(Control::btnCancel, T("Cancel"));
  w.SetText(Control::btnNext, T("Next") + " >");
  w.SetText(Control::Label1,
            T("Select the folder where you would like the Screen Saver to be installed, then click "
              "Install."));
  w.SetText(Control::Label2,
            T("Please read the following License Agreement. You must accept the terms of this "
              "agreement before continuing with the installation."));
  w.SetText(Control::Label3, T("When you are ready, click Next."));
  w.SetText(Control::Label4, T("Click Finish to exit Setup."));
  w.SetText(Control::Label5,
            T("The Setup is ready to install Screen Saver on your computer. Click Install to "
              "continue, or Cancel to exit Setup."));
  w.SetText(Control::rbAccept, T("I &accept the agreement"));
  w.SetText(Control::rbNotAccept, T("I &do not accept the agreement"));
  for (int page = 0; page < kPageCount; ++page) PageTitles_[page] = T(kEnglishPageTitles[page]);
  for (int page = 0; page < kPageCount; ++page) {
    PageDescriptions_[page] = T(kEnglishPageDescriptions[page]);
  }
}

void TSCRSetup::PrepareWizard() {
  WizardWindow& w = *window_;
  if (texts_.readme) w.SetText(Control::edReadme, WithCrLfLines(*texts_.readme));
  if (texts_.license) {
    w.SetText(Control::edLicense, WithCrLfLines(*texts_.license));
    SelectPage(kLicensePage);
  } else {
    SelectPage(record_.SkipFolderPage ? kReadyPage : kDirectoryPage);
  }
  caption_ = context_.Title() + " " + T("Setup");
  w.SetCaption(caption_);
  const std::string web_address = FieldText(record_.WebAddress);
  if (web_address.empty()) {
    w.SetVisible(Control::Link, false);
  } else {
    w.SetText(Control::Link, web_address);
  }
}

void TSCRSetup::PrepareDestination() {
  window_->SetText(Control::edDirectory,
                   ExpandFolderMacros(platform_, CountedText(record_.DefaultFolder),
                                      CountedText(record_.DefaultSubfolder)));
  if (!flags_.SilentMode) return;
  if (!arguments_.Arg(2).empty()) window_->SetText(Control::edDirectory, arguments_.Arg(2));
  SelectPage(kDirectoryPage);
  btnOKClick();
}

void TSCRSetup::SelectPage(int page) {
  page_ = page;
  window_->ShowPage(page);
  NotebookPageChanged();
}

bool TSCRSetup::LicenseInUse() const { return LicenseModeEnabled(record_) && record_.LicenseSize != 0; }

void TSCRSetup::NotebookPageChanged() {
  WizardWindow& w = *window_;
  w.SetText(Control::lbTitle, PageTitles_[page_]);
  w.SetText(Control::lbDescription, PageDescriptions_[page_]);
  w.SetVisible(Control::btnNext, true);
  switch (page_) {
    case kLicensePage:
      w.SetText(Control::btnNext, T("Next") + " >");
      w.SetVisible(Control::btnBack, false);
      break;
    case kDirectoryPage:
    case kReadyPage:
      w.SetText(Control::btnNext, T("Install"));
      w.SetEnabled(Control::btnNext, true);
      w.SetVisible(Control::btnBack, LicenseInUse());
      break;
    case kProgressPage:
    case kReadmePage:
    case kFinishedPage:
      w.SetText(Control::btnNext, page_ == kFinishedPage ? T("Finish") : T("Next") + " >");
      w.SetVisible(Control::btnBack, false);
      w.SetEnabled(Control::btnCancel, false);
      break;
  }
}

bool TSCRSetup::btnOKClick() {
  InstallResult result = InstallScreensaver(context_, *this);
  if (flags_.SilentMode && result != InstallResult::kInstalled) exit_code_ = kExitInstallFailed;
  return result != InstallResult::kSilentAbort;
}

void TSCRSetup::btnNextClick() {
  if ((page_ == kDirectoryPage || page_ == kReadyPage) && !btnOKClick()) return;
  const int page = page_;
  if (page == kLicensePage && record_.SkipFolderPage) {
    SelectPage(kReadyPage);
  } else if (page >= kPageCount - 1) {
    window_->Close();
  } else {
    SelectPage(page + 1);
  }
}

void TSCRSetup::btnBackClick() {
  if (page_ == kReadyPage) {
    SelectPage(kLicensePage);
  } else if (page_ > 0) {
    SelectPage(page_ - 1);
  }
}

void TSCRSetup::btnCancelClick() { window_->Close(); }

void TSCRSetup::btnBrowseClick() {
  std::string folder = window_->Text(Control::edDirectory);
  if (BrowseForFolder(platform_.shell, folder, T("Browse"))) {
    window_->SetText(Control::edDirectory, folder);
  }
}

void TSCRSetup::rbAcceptClick() {
  if (!LicenseModeEnabled(record_)) return;
  const bool accepted = window_->IsChecked(Control::rbAccept);
  window_->SetEnabled(Control::btnNext, accepted);
  if (accepted) window_->Focus(Control::btnNext);
}

void TSCRSetup::LinkClick() {
  platform_.shell.Execute("", FieldText(record_.WebAddress), "", ShowCommand::kNormal,
                          ShellOwner::kWizard);
}

void TSCRSetup::ReportCorruptedPackage() {
  if (!flags_.SilentMode) {
    platform_.dialogs.ShowMessage(T("The file is corrupted. Setup can not continue."),
                                  kApplicationTitle, MessageButtons::kOk, MessageIcon::kError);
  }
  EndRun(kExitPackageUnreadable);
}

void TSCRSetup::EndRun(ExitCode silent_code) {
  if (flags_.SilentMode) exit_code_ = silent_code;
  platform_.app.Terminate();
}

void TSCRSetup::FormDestroy() { language_.FreeLanguageTable(); }

}  // namespace scrsetup
