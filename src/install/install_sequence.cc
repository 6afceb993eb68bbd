#include "install/install_sequence.h"

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "install/failure_report.h"
#include "install/settings_key.h"
#include "install/shell_links.h"
#include "install/target_file.h"
#include "install/uninstall_entry.h"
#include "lang/english_texts.h"
#include "package/package_reader.h"

namespace scrsetup {
namespace {

constexpr int64_t kCopyChunk = 100001;

constexpr char kPreviewNotice[] =
    "After successful installation screensaver setup would open Windows Screen Saver Settings. "
    "This window is not displayed in setup preview mode.";

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
  // Settles the screensaver's file name and creates the file. The message
  // of a target error, or nullopt.
  [[nodiscard]] std::optional<std::string_view> SettleTargetName();
  // Reports a folder or target error, returns to the Directory page.
  InstallResult ErrorExit(std::string_view message);
  // The copy block: payload, verb, readme, uninstaller. False on any error.
  [[nodiscard]] bool CopyBlock();
  [[nodiscard]] bool CopyPayload(File& source);
  [[nodiscard]] bool WriteReadme();
  [[nodiscard]] bool WriteUninstaller(File& source);
  // After a failed copy block: the screensaver file goes again.
  void DiscardIncompleteCopy();
  // The uninstall entry and the shortcuts the record asks for.
  void Register();
  // Remembers the installed file and moves on, or reports a failed copy.
  InstallResult Finish(bool copied);
  std::string UninstallerPath() const;

  const RunContext& context_;
  InstallerWindow& wizard_;
  FileSystem& files_;
  const PathRules paths_;
  const bool preview_;
  std::string folder_;          // the destination folder, ending with "\"
  std::string name_;            // the screensaver's file name in it
  std::string installed_path_;  // the full path of the installed screensaver
  std::unique_ptr<File> payload_;
  std::unique_ptr<File> uninstaller_;
  int64_t payload_bytes_ = 0;
};

InstallResult Installation::Run() {
  ShowProgressPage();
  if (std::optional<std::string_view> error = PrepareFolder()) return ErrorExit(*error);
  if (std::optional<std::string_view> error = SettleTargetName()) return ErrorExit(*error);
  const bool copied = CopyBlock();
  if (!copied) DiscardIncompleteCopy();
  if (!preview_) Register();
  uninstaller_.reset();
  return Finish(copied);
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
    if (!directory.empty() && !CreateFolderChain(files_, paths_, directory)) {
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
  payload_ = files_.CreateForWriting(target_path);
  if (!payload_) return kTextAccessDenied;
  return std::nullopt;
}

InstallResult Installation::ErrorExit(std::string_view message) {
  ReportFailure(context_, context_.Translate(message));
  wizard_.SelectPage(kDirectoryPage);
  return InstallResult::kSilentAbort;
}

bool Installation::CopyBlock() {
  std::unique_ptr<File> source =
      files_.OpenForReading(files_.ProgramPath(), ShareMode::kRead);
  if (!source) return false;
  if (!CopyPayload(*source)) return false;
  payload_.reset();

  Platform& platform = context_.platform;
  if (preview_) {
    platform.dialogs.ShowMessage(kPreviewNotice, context_.Title(), MessageButtons::kOk,
                                 MessageIcon::kInformation);
    return true;
  }
  platform.shell.Execute("install", folder_ + name_, "", ShowCommand::kShowNoActivate,
                         ShellOwner::kNone);
  return WriteReadme() && WriteUninstaller(*source);
}

bool Installation::CopyPayload(File& source) {
  const RunContext& c = context_;
  // Position and size of the own file are kept here rather than asked of
  // the file every round: nothing else moves it while the loop runs.
  int64_t position = StubLength(c.PackageEnd, c.record);
  if (!source.Seek(position)) return false;
  Application& app = c.platform.app;
  WizardWindow& controls = wizard_.Controls();
  app.SetWaitCursor(true);
  controls.SetWindowEnabled(false);

  std::vector<char> buffer(kCopyChunk);
  int64_t remaining = PayloadLength(c.record);
  const int64_t size = source.Size();
  bool ok = remaining >= 0 && size >= 0;
  while (ok && remaining > 0 && position < size) {
    int64_t count = source.Read(buffer.data(), std::min(remaining, kCopyChunk));
    ok = count > 0;
    if (ok && !preview_) ok = payload_->Write(buffer.data(), count) == count;
    if (!ok) break;
    position += count;
    remaining -= count;
    payload_bytes_ += count;
    controls.SetProgress(ProgressPercent(position, size), 100);
    controls.RepaintProgress();
    app.ProcessMessages();
  }
  // A payload that ends before its declared length is a damaged package.
  ok = ok && remaining == 0;

  controls.SetWindowEnabled(true);
  app.SetWaitCursor(false);
  return ok;
}

bool Installation::WriteReadme() {
  if (context_.record.ReadmeSize <= 0) return true;
  std::unique_ptr<File> readme =
      files_.CreateForWriting(folder_ + ReadmeFileName(context_.language, context_.Title()));
  if (!readme) return false;
  std::string text = wizard_.Controls().Text(Control::edReadme);
  return readme->Write(text.data(), static_cast<int64_t>(text.size())) ==
         static_cast<int64_t>(text.size());
}

bool Installation::WriteUninstaller(File& source) {
  uninstaller_ =
      files_.CreateForWriting(folder_ + UninstallerFileName(context_.language, paths_, name_));
  if (!uninstaller_) return false;
  return WriteUninstallerPackage(source, context_.PackageEnd, context_.record, *uninstaller_);
}

void Installation::DiscardIncompleteCopy() {
  payload_.reset();
  uninstaller_.reset();
  (void)DeleteIfExists(files_, folder_ + name_);
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
                                  static_cast<uint32_t>((payload_bytes_ + 1023) / 1024)};
    WriteUninstallEntry(platform.registry, title, UninstallerPath(), details);
  }
  if (record.CreateProgramGroup) {
    CreateProgramGroupShortcuts(platform, context_.language, title, UninstallerPath(),
                                screensaver_path, record.ReadmeSize > 0);
  }
  if (record.CreateDesktopShortcut) {
    CreateDesktopPreviewShortcut(platform, context_.language, title, screensaver_path);
  }
}

InstallResult Installation::Finish(bool copied) {
  if (copied) {
    if (!preview_) {
      // The installation is complete without it; only a later reinstallation
      // into this folder would pick a numbered name.
      (void)WriteRememberedFileName(context_.platform.registry, context_.Title(),
                                    installed_path_);
    }
    if (context_.record.ReadmeSize == 0) wizard_.SelectPage(kFinishedPage);
  } else {
    ReportFailure(context_, context_.TranslateWithTitle(kTextInstallFailed), wizard_.Caption());
    wizard_.Controls().Close();
  }
  if (context_.flags.SilentMode) context_.platform.app.Terminate();
  return copied ? InstallResult::kInstalled : InstallResult::kFailed;
}

}  // namespace

InstallResult InstallScreensaver(const RunContext& context, InstallerWindow& wizard) {
  return Installation(context, wizard).Run();
}

}  // namespace scrsetup
