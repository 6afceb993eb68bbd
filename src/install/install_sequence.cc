#include "install/install_sequence.h"

#include <memory>
#include <vector>

#include "install/failure_report.h"
#include "install/settings_key.h"
#include "install/shell_links.h"
#include "install/target_file.h"
#include "install/uninstall_entry.h"
#include "lang/english_texts.h"
#include "lang/text.h"
#include "package/package_reader.h"
#include "package/short_name.h"

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
      : context_(context), wizard_(wizard), files_(context.platform.files) {}

  InstallResult Run();

 private:
  // Reports a folder or target error, returns to the Directory page.
  InstallResult ErrorExit(std::string_view message);
  // The copy block: payload, verb, readme, uninstaller. False on any error.
  bool CopyBlock();
  bool CopyPayload(File& source);
  bool WriteReadme();
  bool WriteUninstaller(File& source);
  void Register();
  void ReportCopyFailure();

  const RunContext& context_;
  InstallerWindow& wizard_;
  FileSystem& files_;
  std::string folder_;
  std::string target_path_;
  std::string name_;
  std::unique_ptr<File> target_;
  int64_t payload_bytes_ = 0;
};

InstallResult Installation::Run() {
  const RunFlags& flags = context_.flags;
  WizardWindow& controls = wizard_.Controls();
  wizard_.SelectPage(kProgressPage);
  controls.SetVisible(Control::btnNext, false);
  controls.SetProgress(0, 100);

  std::string directory = controls.Text(Control::edDirectory);
  if (!flags.PreviewOnlyMode) {
    if (!directory.empty() && !CreateFolderChain(files_, directory)) {
      return ErrorExit(kTextCannotCreateFolder);
    }
    if (!files_.FolderExists(directory)) {
      return ErrorExit(kTextInvalidFolder);
    }
  }
  if (directory.empty() || directory.back() != '\\') {
    directory += '\\';
    controls.SetText(Control::edDirectory, directory);
  }
  folder_ = directory;

  target_path_ = folder_ + std::string(FileNamePart(FieldText(context_.record.ScreensaverFile)));
  const std::string title = context_.Title();
  ChooseTargetFileName(files_, ReadRememberedFileName(context_.platform.registry, title).value_or(""),
                       target_path_, folder_);
  name_ = std::string(FileNamePart(target_path_));

  if (!flags.PreviewOnlyMode) {
    target_ = files_.CreateForWriting(target_path_);
    if (!target_) {
      return ErrorExit(kTextAccessDenied);
    }
  }

  const bool succeeded = CopyBlock();
  if (!succeeded) {
    target_.reset();
    DeleteIfExists(files_, folder_ + name_);
  }
  if (!flags.PreviewOnlyMode) Register();
  target_.reset();

  if (succeeded) {
    if (!flags.PreviewOnlyMode) {
      // The installation is complete without it; only a later reinstallation
      // into this folder would pick a numbered name.
      WriteRememberedFileName(context_.platform.registry, title, target_path_);
    }
    if (context_.record.ReadmeSize == 0) wizard_.SelectPage(kFinishedPage);
  } else {
    ReportCopyFailure();
  }
  if (flags.SilentMode) context_.platform.app.Terminate();
  return succeeded ? InstallResult::kInstalled : InstallResult::kFailed;
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
  target_.reset();

  Platform& platform = context_.platform;
  if (context_.flags.PreviewOnlyMode) {
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
  if (!source.Seek(StubLength(c.PackageEnd, c.record))) return false;
  Application& app = c.platform.app;
  WizardWindow& controls = wizard_.Controls();
  app.SetWaitCursor(true);
  controls.SetWindowEnabled(false);

  std::vector<char> buffer(kCopyChunk);
  int64_t remaining = PayloadLength(c.record);
  const int64_t size = source.Size();
  bool ok = remaining >= 0 && size >= 0;
  while (ok && remaining > 0 && source.Position() < size) {
    int64_t count = source.Read(buffer.data(), std::min(remaining, kCopyChunk));
    ok = count > 0;
    if (ok && !c.flags.PreviewOnlyMode) ok = target_->Write(buffer.data(), count) == count;
    if (!ok) break;
    remaining -= count;
    payload_bytes_ += count;
    controls.SetProgress(ProgressPercent(source.Position(), size), 100);
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
  target_ = files_.CreateForWriting(folder_ + UninstallerFileName(context_.language, name_));
  if (!target_) return false;
  target_path_ = files_.FullPath(folder_ + name_);
  return WriteUninstallerPackage(source, context_.PackageEnd, context_.record, *target_);
}

void Installation::Register() {
  const SetupRecord& record = context_.record;
  Platform& platform = context_.platform;
  const std::string title = context_.Title();
  const std::string screensaver_path = folder_ + name_;
  const std::string uninstaller_path =
      std::string(FolderPart(target_path_)) + UninstallerFileName(context_.language, name_);
  if (record.AddUninstallEntry) {
    std::string location = files_.FullPath(folder_);
    if (location.size() > 3 && location.back() == '\\') location.pop_back();  // "C:\" keeps it
    UninstallEntryDetails details{files_.FullPath(screensaver_path), location,
                                  static_cast<uint32_t>((payload_bytes_ + 1023) / 1024)};
    WriteUninstallEntry(platform.registry, title, uninstaller_path, details);
  }
  if (record.CreateProgramGroup) {
    CreateProgramGroupShortcuts(platform, context_.language, title, uninstaller_path,
                                screensaver_path, record.ReadmeSize > 0);
  }
  if (record.CreateDesktopShortcut) {
    CreateDesktopPreviewShortcut(platform, context_.language, title, screensaver_path);
  }
}

void Installation::ReportCopyFailure() {
  ReportFailure(context_, context_.TranslateWithTitle(kTextInstallFailed), wizard_.Caption());
  wizard_.Controls().Close();
}

}  // namespace

InstallResult InstallScreensaver(const RunContext& context, InstallerWindow& wizard) {
  return Installation(context, wizard).Run();
}

}  // namespace scrsetup
