#include "uninstall/run_uninstall.h"

#include <cstring>
#include <optional>
#include <string>

#include "install/settings_key.h"
#include "install/shell_links.h"
#include "install/target_file.h"
#include "install/uninstall_entry.h"
#include "lang/english_texts.h"
#include "lang/text.h"
#include "package/package_reader.h"
#include "package/short_name.h"
#include "uninstall/deferred_deletion.h"

namespace scrsetup {
namespace {

bool IsSoundUninstaller(File& own_file, const RunContext& context) {
  char signature[kSignatureSize];
  return ReadExactly(own_file, context.PackageEnd - kSignatureSize, signature, kSignatureSize) &&
         std::memcmp(signature, UninstallerSignature().data(), kSignatureSize) == 0 &&
         FieldText(context.record.RecordSignature) == kRecordSignature;
}

// The installed screensaver file. The remembered path is trusted only when
// it lies in the uninstaller's own folder, so that a foreign "FileName_"
// value never makes the uninstaller delete a file outside its installation;
// otherwise the file is the record's file name in the uninstaller's folder.
// nullopt when the remembered value is not text.
std::optional<std::string> InstalledFile(const RunContext& context) {
  FileSystem& files = context.platform.files;
  const PathRules paths = context.Paths();
  std::optional<std::string> remembered =
      ReadRememberedFileName(context.platform.registry, context.Title());
  if (!remembered) return std::nullopt;
  const std::string own_folder(paths.FolderPart(files.FullPath(files.ProgramPath())));
  if (!remembered->empty() &&
      AsciiLower(paths.FolderPart(files.FullPath(*remembered))) == AsciiLower(own_folder)) {
    return *remembered;
  }
  return own_folder + std::string(paths.FileNamePart(FieldText(context.record.ScreensaverFile)));
}

// Copies the running uninstaller to the temporary folder and starts the copy
// hidden, to delete the uninstaller's file once this process has ended.
void StartDeferredDeletion(const RunContext& context) {
  Platform& platform = context.platform;
  FileSystem& files = platform.files;
  const std::string copy_path = files.TempFolder() + "\\Vornexuninst" +
                                std::to_string(platform.system.Random(9999999)) + ".exe";
  const std::string own_path = files.ProgramPath();
  (void)files.CopyFileReplacing(own_path, copy_path);
  const DeferredDeletion request{files.ShortPath(own_path), true, kApplicationTitle,
                                 context.TranslateWithTitle(kTextRemoved)};
  platform.shell.Execute("open", copy_path, EncodeDeferredDeletion(request), ShowCommand::kHide,
                         ShellOwner::kWizard);
}

// Removes the installed file, its settings and readme, then the
// registrations; false when a step fails.
bool RemoveInstallation(const RunContext& context) {
  Platform& platform = context.platform;
  const SetupRecord& record = context.record;
  const std::string title = context.Title();
  std::optional<std::string> installed = InstalledFile(context);
  if (!installed) return false;
  if (context.flags.PreviewOnlyMode) return true;

  (void)platform.files.RemoveFile(*installed);
  PurgeSettings(platform.registry, title);
  if (record.ReadmeSize > 0) {
    (void)platform.files.RemoveFile(std::string(context.Paths().FolderPart(*installed)) +
                                    ReadmeFileName(context.language, title));
  }
  StartDeferredDeletion(context);
  if (record.AddUninstallEntry) RemoveUninstallEntry(platform.registry, title);
  if (record.CreateProgramGroup && !RemoveProgramGroup(platform, context.language, title)) {
    return false;
  }
  return !record.CreateDesktopShortcut ||
         RemoveDesktopPreviewShortcut(platform, context.language, title);
}

}  // namespace

bool RunUninstall(File& own_file, const RunContext& context, WizardWindow& window) {
  if (!IsSoundUninstaller(own_file, context)) return false;
  Platform& platform = context.platform;
  MessageAnswer answer = platform.dialogs.ShowMessage(
      context.TranslateWithTitle(kTextRemoveQuestion),
      context.Title() + " " + context.Translate(kTextUninstall), MessageButtons::kYesNo,
      MessageIcon::kQuestion);
  if (answer == MessageAnswer::kYes && !RemoveInstallation(context)) return false;

  platform.app.SetShowMainWindow(false);
  window.HideForExit();
  platform.app.Terminate();
  return true;
}

}  // namespace scrsetup
