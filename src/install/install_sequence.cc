#include "install/install_sequence.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "install/failure_report.h"
#include "install/progress_pacer.h"
#include "install/settings_key.h"
#include "install/shell_links.h"
#include "install/staged_file.h"
#include "install/target_file.h"
#include "install/uninstall_entry.h"
#include "lang/english_texts.h"
#include "package/crc32.h"
#include "package/package_reader.h"

namespace scrsetup {
namespace {

constexpr int64_t kCopyChunk = 100001;

constexpr char kPreviewNotice[] =
    "After successful installation screensaver setup would open Windows Screen Saver Settings. "
    "This window is not displayed in setup preview mode.";

enum class CopyOutcome { kCopied, kFailed, kDamaged };

// The CRC-32 of the payload as it is copied, kept only when the package
// carries a check block to compare it with: only such a package pays for it.
class PayloadCheck {
 public:
  explicit PayloadCheck(const CheckBlockRead& check)
      : checked_(check.state == CheckBlockState::kPresent), expected_(check.block.payload_crc) {}
  void Add(const char* bytes, int64_t count) {
    if (checked_) crc_ = Crc32(crc_, bytes, static_cast<size_t>(count));
  }
  // Whether the bytes added match the check block; true without one.
  bool Matches() const { return !checked_ || crc_ == expected_; }

 private:
  const bool checked_;
  const uint32_t expected_;
  uint32_t crc_ = 0;
};

// One installation: the values the steps share.
class Installation {
 public:
  Installation(const RunContext& context, InstallerWindow& wizard)
      : context_(context),
        wizard_(wizard),
        files_(context.platform.files),
        paths_(context.Paths()),
        preview_(context.flags.PreviewOnlyMode) {}

  InstallResult Run();

 private:
  // The Progress page, Next hidden, the bar at 0.
  void ShowProgressPage();
  // Creates and checks the destination folder and ends its text with "\".
  // The message of a folder error, or nullopt.
  [[nodiscard]] std::optional<std::string_view> PrepareFolder();
  // Settles the screensaver's file name, checks that an earlier file of
  // that name can be replaced, and creates the payload's temporary file.
  // The message of a target error, or nullopt.
  [[nodiscard]] std::optional<std::string_view> SettleTargetName();
  // Reports a folder or target error, returns to the Directory page.
  InstallResult ErrorExit(std::string_view message);
  // The copy block: payload, readme, uninstaller, each complete before any
  // is moved into place; then the "install" verb.
  [[nodiscard]] CopyOutcome CopyBlock();
  // Copies the payload with the window disabled and the wait cursor shown,
  // then compares it with the check block.
  [[nodiscard]] CopyOutcome CopyPayload(File& source);
  // The copy loop from `position` (the payload's start), chunk by chunk: each
  // chunk is written (not in PreviewOnlyMode), added to `check` and shown.
  // False on a failed or overlong read, a short write, or a payload that
  // ends before its length.
  [[nodiscard]] bool CopyPayloadChunks(File& source, int64_t position, PayloadCheck& check);
  // Does the window work `pacer` finds due for the bar at `percent`.
  void ShowCopyProgress(ProgressPacer& pacer, int percent);
  [[nodiscard]] bool WriteReadme();
  [[nodiscard]] bool WriteUninstaller(File& source);
  // Moves the written files into place; false when one cannot be moved.
  [[nodiscard]] bool CommitFiles();
  // After a folder or copy error: removes what this run made.
  void Discard();
  // The uninstall entry and the shortcuts the record asks for.
  void Register();
  // Remembers the installed file and moves on, or reports a failed copy.
  InstallResult Finish(CopyOutcome outcome);
  std::string UninstallerPath() const;

  const RunContext& context_;
  InstallerWindow& wizard_;
  FileSystem& files_;
  const PathRules paths_;
  const bool preview_;
  std::string folder_;          // the destination folder, ending with "\"
  std::string name_;            // the screensaver's file name in it
  std::string installed_path_;  // the full path of the installed screensaver
  std::vector<std::string> created_folders_;  // by this run, parents first
  std::vector<std::string> made_files_;       // moved into place where no file stood
  std::unique_ptr<StagedFile> payload_;
  std::unique_ptr<StagedFile> readme_;
  std::unique_ptr<StagedFile> uninstaller_;
  int64_t payload_bytes_ = 0;
};

InstallResult Installation::Run() {
  ShowProgressPage();
  std::optional<std::string_view> error = PrepareFolder();
  if (!error) error = SettleTargetName();
  if (error) {
    Discard();
    return ErrorExit(*error);
  }
  const CopyOutcome outcome = CopyBlock();
  if (outcome != CopyOutcome::kCopied) {
    Discard();
  } else if (!preview_) {
    Register();
  }
  return Finish(outcome);
}

void Installation::ShowProgressPage() {
  WizardWindow& controls = wizard_.Controls();
  wizard_.SelectPage(kProgressPage);
  controls.SetVisible(Control::btnNext, false);
  controls.SetProgress(0, 100);
}

std::optional<std::string_view> Installation::PrepareFolder() {
  WizardWindow& controls = wizard_.Controls();
  std::string directory = controls.Text(Control::edDirectory);
  if (!preview_) {
    if (!directory.empty() &&
        !CreateFolderChain(files_, paths_, directory, &created_folders_)) {
      return kTextCannotCreateFolder;
    }
    if (!files_.FolderExists(directory)) return kTextInvalidFolder;
  }
  if (!paths_.EndsWithBackslash(directory)) {
    directory += '\\';
    controls.SetText(Control::edDirectory, directory);
  }
  folder_ = directory;
  return std::nullopt;
}

std::optional<std::string_view> Installation::SettleTargetName() {
  std::string target_path =
      folder_ + std::string(paths_.FileNamePart(FieldText(context_.record.ScreensaverFile)));
  ChooseTargetFileName(
      files_, paths_,
      ReadRememberedFileName(context_.platform.registry, context_.Title()).value_or(""),
      target_path, folder_);
  name_ = std::string(paths_.FileNamePart(target_path));
  installed_path_ = files_.FullPath(folder_ + name_);
  if (preview_) return std::nullopt;
  // An earlier file is opened for writing without being truncated: one that
  // is read-only or in use could not be replaced after the copy.
  if (files_.FileExists(target_path) && !files_.OpenForUpdate(target_path)) {
    return kTextAccessDenied;
  }
  payload_ = std::make_unique<StagedFile>(files_, target_path);
  if (!payload_->Create()) return kTextAccessDenied;
  return std::nullopt;
}

InstallResult Installation::ErrorExit(std::string_view message) {
  ReportFailure(context_, context_.Translate(message));
  wizard_.SelectPage(kDirectoryPage);
  return InstallResult::kBackToDirectoryPage;
}

CopyOutcome Installation::CopyBlock() {
  std::unique_ptr<File> source =
      files_.OpenForReading(files_.ProgramPath(), ShareMode::kRead);
  if (!source) return CopyOutcome::kFailed;
  const CopyOutcome copied = CopyPayload(*source);
  if (copied != CopyOutcome::kCopied) return copied;

  Platform& platform = context_.platform;
  if (preview_) {
    platform.dialogs.ShowMessage(kPreviewNotice, context_.Title(), MessageButtons::kOk,
                                 MessageIcon::kInformation);
    return CopyOutcome::kCopied;
  }
  if (!WriteReadme() || !WriteUninstaller(*source) || !CommitFiles()) return CopyOutcome::kFailed;
  platform.shell.Execute("install", folder_ + name_, "", ShowCommand::kShowNoActivate,
                         ShellOwner::kNone);
  return CopyOutcome::kCopied;
}

CopyOutcome Installation::CopyPayload(File& source) {
  const int64_t position = StubLength(context_.PackageEnd, context_.record);
  if (!source.Seek(position)) return CopyOutcome::kFailed;
  Application& app = context_.platform.app;
  WizardWindow& controls = wizard_.Controls();
  app.SetWaitCursor(true);
  controls.SetWindowEnabled(false);
  PayloadCheck check(context_.check);
  const bool copied = CopyPayloadChunks(source, position, check);
  controls.SetWindowEnabled(true);
  app.SetWaitCursor(false);
  if (!copied) return CopyOutcome::kFailed;
  return check.Matches() ? CopyOutcome::kCopied : CopyOutcome::kDamaged;
}

bool Installation::CopyPayloadChunks(File& source, int64_t position, PayloadCheck& check) {
  // Position and size of the own file are kept here rather than asked of
  // the file every round: nothing else moves it while the loop runs.
  int64_t remaining = PayloadLength(context_.record);
  const int64_t size = source.Size();
  if (remaining < 0 || size < 0) return false;
  ProgressPacer pacer(context_.platform.system.TickCount());
  std::vector<char> buffer(kCopyChunk);
  while (remaining > 0 && position < size) {
    const int64_t want = std::min(remaining, kCopyChunk);
    const int64_t count = source.Read(buffer.data(), want);
    if (count <= 0 || count > want) return false;
    if (!preview_ && payload_->file().Write(buffer.data(), count) != count) return false;
    check.Add(buffer.data(), count);
    position += count;
    remaining -= count;
    payload_bytes_ += count;
    ShowCopyProgress(pacer, ProgressPercent(position, size));
  }
  // A payload that ends before its declared length is a damaged package.
  return remaining == 0;
}

void Installation::ShowCopyProgress(ProgressPacer& pacer, int percent) {
  const ProgressPacer::Work work = pacer.After(percent, context_.platform.system.TickCount());
  if (work == ProgressPacer::Work::kNone) return;
  if (work == ProgressPacer::Work::kBarAndMessages) {
    WizardWindow& controls = wizard_.Controls();
    controls.SetProgress(percent, 100);
    controls.RepaintProgress();
  }
  context_.platform.app.ProcessMessages();
}

bool Installation::WriteReadme() {
  if (context_.record.ReadmeSize <= 0) return true;
  readme_ = std::make_unique<StagedFile>(
      files_, folder_ + ReadmeFileName(context_.language, context_.Title()));
  if (!readme_->Create()) return false;
  std::string text = wizard_.Controls().Text(Control::edReadme);
  return readme_->file().Write(text.data(), static_cast<int64_t>(text.size())) ==
         static_cast<int64_t>(text.size());
}

bool Installation::WriteUninstaller(File& source) {
  uninstaller_ = std::make_unique<StagedFile>(
      files_, folder_ + UninstallerFileName(context_.language, paths_, name_));
  if (!uninstaller_->Create()) return false;
  return WriteUninstallerPackage(source, context_.PackageEnd, context_.record,
                                 uninstaller_->file(), context_.check.signature_store);
}

bool Installation::CommitFiles() {
  for (StagedFile* staged : {payload_.get(), readme_.get(), uninstaller_.get()}) {
    if (!staged) continue;
    const bool replacing = files_.FileExists(staged->final_path());
    if (!staged->Commit()) return false;
    if (!replacing) made_files_.push_back(staged->final_path());
  }
  return true;
}

void Installation::Discard() {
  payload_.reset();
  readme_.reset();
  uninstaller_.reset();
  for (const std::string& path : made_files_) (void)DeleteIfExists(files_, path);
  for (auto folder = created_folders_.rbegin(); folder != created_folders_.rend(); ++folder) {
    (void)files_.RemoveEmptyFolder(*folder);
  }
}

std::string Installation::UninstallerPath() const {
  return std::string(paths_.FolderPart(installed_path_)) +
         UninstallerFileName(context_.language, paths_, name_);
}

void Installation::Register() {
  const SetupRecord& record = context_.record;
  Platform& platform = context_.platform;
  const std::string title = context_.Title();
  const std::string screensaver_path = folder_ + name_;
  if (record.AddUninstallEntry) {
    const std::string location(
        paths_.WithoutTrailingBackslashUnlessRoot(files_.FullPath(folder_)));
    UninstallEntryDetails details{files_.FullPath(screensaver_path), location,
                                  static_cast<uint32_t>((payload_bytes_ + 1023) / 1024),
                                  context_.check.block.facts, FieldText(record.WebAddress)};
    WriteUninstallEntry(platform.registry, context_.check.block.scope, title, UninstallerPath(),
                        details);
  }
  if (record.CreateProgramGroup) {
    CreateProgramGroupShortcuts(platform, context_.language, title, UninstallerPath(),
                                screensaver_path, record.ReadmeSize > 0);
  }
  if (record.CreateDesktopShortcut) {
    CreateDesktopPreviewShortcut(platform, context_.language, title, screensaver_path);
  }
}

InstallResult Installation::Finish(CopyOutcome outcome) {
  if (outcome == CopyOutcome::kCopied) {
    if (!preview_) {
      // The installation is complete without it; only a later reinstallation
      // into this folder would pick a numbered name.
      (void)WriteRememberedFileName(context_.platform.registry, context_.Title(),
                                    installed_path_);
    }
    if (context_.record.ReadmeSize == 0) wizard_.SelectPage(kFinishedPage);
  } else if (outcome == CopyOutcome::kDamaged) {
    ReportFailure(context_, context_.Translate(kTextCorrupted));
    wizard_.Controls().Close();
  } else {
    ReportFailure(context_, context_.TranslateWithTitle(kTextInstallFailed), wizard_.Caption());
    wizard_.Controls().Close();
  }
  if (context_.flags.SilentMode) context_.platform.app.Terminate();
  switch (outcome) {
    case CopyOutcome::kCopied: return InstallResult::kInstalled;
    case CopyOutcome::kDamaged: return InstallResult::kDamaged;
    case CopyOutcome::kFailed: break;
  }
  return InstallResult::kFailed;
}

}  // namespace

InstallResult InstallScreensaver(const RunContext& context, InstallerWindow& wizard) {
  return Installation(context, wizard).Run();
}

}  // namespace scrsetup
