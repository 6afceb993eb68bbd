#include "wizard/tscr_setup.h"

#include "install/failure_report.h"
#include "lang/english_texts.h"
#include "lang/language_choice.h"
#include "lang/text.h"
#include "package/record_problems.h"
#include "package/short_name.h"
#include "package/windows_version.h"
#include "wizard/destination_folder.h"
#include "wizard/unshown_wizard_window.h"
#include "uninstall/run_uninstall.h"

namespace scrsetup {
namespace {

constexpr std::array<std::string_view, kPageCount> kEnglishPageTitles = {
    kTitleLicense, kTitleDirectory, kTitleReady, kTitleProgress, kTitleReadme, kTextFinish,
};

constexpr std::array<std::string_view, kPageCount> kEnglishPageDescriptions = {
    kDescriptionReadFirst, kDescriptionDirectory, kDescriptionReady,
    kDescriptionProgress,  kDescriptionReadFirst, kDescriptionFinished,
};

}  // namespace

TSCRSetup::TSCRSetup(Platform& platform, const RunFlags& flags)
    : platform_(platform), flags_(flags), record_(EmptyRecord()) {
  // A silent run makes its window once it knows which one it needs (MakeWindow).
  if (!flags_.SilentMode) window_ = platform_.app.CreateWizardWindow(*this);
}

void TSCRSetup::MakeWindow(PackageKind kind) {
  if (window_) return;
  // A silent installation shows neither its window nor a message owned by
  // it: it keeps the controls' texts in memory and builds nothing. An
  // uninstaller started with -silent still asks the user, over the real
  // (hidden) window.
  if (kind == PackageKind::kSetup) {
    window_ = std::make_unique<UnshownWizardWindow>(platform_.app);
  } else {
    window_ = platform_.app.CreateWizardWindow(*this);
  }
}

TSCRSetup::~TSCRSetup() = default;

void TSCRSetup::FormCreate() {
  const std::string own_path = platform_.files.ProgramPath();
  bool loaded = false;
  PackageKind kind = PackageKind::kSetup;
  {
    std::unique_ptr<File> own_file = platform_.files.OpenForReading(own_path, ShareMode::kReadWrite);
    if (!own_file) {
      ReportFailure(context_, "Cannot open file \"" + own_path + "\".");
      EndRun(kExitPackageUnreadable);
      return;
    }
    std::optional<PackageLocation> location = LocatePackage(*own_file);
    if (location) {
      PackageEnd_ = location->PackageEnd;
      kind = location->kind;
      MakeWindow(kind);
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
  // Checked before any block is used: a damaged language table would
  // otherwise already speak to the user.
  if (kind == PackageKind::kSetup && !CheckPackageTail(own_file)) return false;
  if (ShortNameRuleApplies(WindowsVersionClass(platform_.system.QueryVersion()))) {
    // A rewritten name that no longer fits its field is a damaged package,
    // never an overrun.
    if (!ApplyShortNameRule(context_.Paths(), record_)) return false;
  }
  std::optional<std::string> language_text = ReadLanguageText(own_file, PackageEnd_, record_);
  if (!language_text) return false;
  // One table for the whole run, chosen before any text is shown.
  const std::optional<std::string_view> section = ChooseLanguageSection(
      *language_text, platform_.system.AnsiCodePage(), platform_.system.UserUILanguage());
  language_.LoadLanguageTable(section ? std::string_view(*language_text) : std::string_view(),
                              section.value_or(""));
  LangRenameControls();
  // Block sizes that do not add up would make the payload and the blocks be
  // read from the wrong places: a truncated screensaver reported as installed.
  // A setup package's payload is copied from PackageEnd - PayloadSize and its
  // uninstaller from the Stub before it: both must lie inside the file.
  if (!FindRecordProblems(record_, PackageEnd_, kind).None()) return false;

  if (kind == PackageKind::kUninstaller) return RunUninstall(own_file, context_, *window_);
  std::optional<SetupTexts> texts = ReadSetupTexts(own_file, PackageEnd_, record_);
  if (!texts) return false;
  texts_ = std::move(*texts);
  PrepareWizard();
  return true;
}

bool TSCRSetup::CheckPackageTail(File& own_file) {
  check_ = ReadCheckBlock(own_file, PackageEnd_, record_);
  if (check_.state == CheckBlockState::kAbsent) return true;
  if (check_.state == CheckBlockState::kDamaged) return false;
  return TailCrc(own_file, PackageEnd_, record_) == check_.block.tail_crc;
}

void TSCRSetup::LangRenameControls() {
  WizardWindow& w = *window_;
  w.SetText(Control::btnBack, "< " + T(kTextBack));
  w.SetText(Control::btnBrowse, T(kTextBrowseButton) + "...");
  w.SetText(Control::btnCancel, T(kTextCancel));
  w.SetText(Control::btnNext, T(kTextNext) + " >");
  w.SetText(Control::Label1, T(kTextDirectoryPage));
  w.SetText(Control::Label2, T(kTextLicensePage));
  w.SetText(Control::Label3, T(kTextReadmePage));
  w.SetText(Control::Label4, T(kTextFinishedPage));
  w.SetText(Control::Label5, T(kTextReadyPage));
  w.SetText(Control::rbAccept, T(kTextAccept));
  w.SetText(Control::rbNotAccept, T(kTextNotAccept));
  for (int page = 0; page < kPageCount; ++page) {
    PageTitles_[page] = T(kEnglishPageTitles[page]);
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
  caption_ = context_.Title() + " " + T(kTextSetup);
  w.SetCaption(caption_);
  const std::string web_address = FieldText(record_.WebAddress);
  if (web_address.empty()) {
    w.SetVisible(Control::Link, false);
  } else {
    w.SetText(Control::Link, web_address);
  }
}

void TSCRSetup::PrepareDestination() {
  // "-silent FOLDER" is used as given: a folder that cannot be written then
  // fails the installation rather than moving it elsewhere.
  const bool folder_given = flags_.SilentMode && !flags_.SilentFolder.empty();
  window_->SetText(Control::edDirectory,
                   folder_given ? flags_.SilentFolder
                                : DefaultDestination(platform_, record_, check_.block.scope,
                                                     !flags_.PreviewOnlyMode));
  if (!flags_.SilentMode) return;
  SelectPage(kDirectoryPage);
  btnOKClick();
}

void TSCRSetup::SelectPage(WizardPage page) {
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
      w.SetText(Control::btnNext, T(kTextNext) + " >");
      w.SetVisible(Control::btnBack, false);
      break;
    case kDirectoryPage:
    case kReadyPage:
      w.SetText(Control::btnNext, T(kTextInstall));
      w.SetEnabled(Control::btnNext, true);
      w.SetVisible(Control::btnBack, LicenseInUse());
      break;
    case kProgressPage:
    case kReadmePage:
    case kFinishedPage:
      w.SetText(Control::btnNext, page_ == kFinishedPage ? T(kTextFinish) : T(kTextNext) + " >");
      w.SetVisible(Control::btnBack, false);
      w.SetEnabled(Control::btnCancel, false);
      break;
  }
}

bool TSCRSetup::btnOKClick() {
  InstallResult result = InstallScreensaver(context_, *this);
  if (flags_.SilentMode && result != InstallResult::kInstalled) {
    exit_code_ = result == InstallResult::kDamaged ? kExitPackageUnreadable : kExitInstallFailed;
  }
  return result != InstallResult::kBackToDirectoryPage;
}

void TSCRSetup::btnNextClick() {
  if ((page_ == kDirectoryPage || page_ == kReadyPage) && !btnOKClick()) return;
  const WizardPage page = page_;
  if (page == kLicensePage && record_.SkipFolderPage) {
    SelectPage(kReadyPage);
  } else if (page == kFinishedPage) {
    window_->Close();
  } else {
    SelectPage(static_cast<WizardPage>(page + 1));
  }
}

void TSCRSetup::btnBackClick() {
  if (page_ == kReadyPage) {
    SelectPage(kLicensePage);
  } else if (page_ != kLicensePage) {
    SelectPage(static_cast<WizardPage>(page_ - 1));
  }
}

void TSCRSetup::btnCancelClick() { window_->Close(); }

void TSCRSetup::btnBrowseClick() {
  std::string folder = window_->Text(Control::edDirectory);
  if (BrowseForFolder(platform_.shell, context_.Paths(), folder, T(kTextBrowseDialog))) {
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
  ReportFailure(context_, T(kTextCorrupted));
  EndRun(kExitPackageUnreadable);
}

void TSCRSetup::EndRun(ExitCode silent_code) {
  if (flags_.SilentMode) exit_code_ = silent_code;
  platform_.app.Terminate();
}

void TSCRSetup::FormDestroy() { language_.FreeLanguageTable(); }

}  // namespace scrsetup
