#include "uninstall/run_uninstall.h"

#include <cstring>
#include <optional>
#include <string>

#include "install/settings_key.h"
#include "install/shell_links.h"
#include "install/target_file.h"
#include "install/uninstall_entry.h"
#include "lang/english_texts.h"
#include "package/package_reader.h"
#include "uninstall/deferred_deletion.h"

namespace scrsetup {
namespace {

bool IsSoundUninstaller(File& own_file, const RunContext& context) {
  char signature[kSignatureSize];
  return ReadExactly(own_file, context.PackageEnd - kSignatureSize, signature, kSignatureSize) &&
         std::memcmp(signature, UninstallerSignature().data(), kSignatureSize) == 0 &&
         FieldText(context.record.RecordSignature) == kRecordSignature;
}

// The installation names its uninstaller after the screensaver file it
// wrote and puts both into one folder. So a screensaver path is this
// uninstaller's own file only when, in long form and without regard to
// letter case, the uninstaller that installation would have written beside
// it is the running one: a path in another folder, or a file of the same
// folder that another installation numbered (its uninstaller carries the
// number), never is.
bool MadeByThisInstallation(const RunContext& context, const std::string& own_path,
                            const std::string& path) {
  FileSystem& files = context.platform.files;
  const PathRules paths = context.Paths();
  const std::string screensaver = files.LongPath(files.FullPath(path));
  const std::string uninstaller =
      std::string(paths.FolderPart(screensaver)) +
      UninstallerFileName(context.language, paths, std::string(paths.FileNamePart(screensaver)));
  return paths.LowerAsciiLetters(uninstaller) == paths.LowerAsciiLetters(own_path);
}

// The running uninstaller's path in long form.
std::string OwnPath(FileSystem& files) { return files.LongPath(files.FullPath(files.ProgramPath())); }

// Removes the uninstall entry of this installation from whichever root
// holds it: an entry of the same title that names another uninstaller
// belongs to another installation and stays.
void RemoveOwnUninstallEntries(const RunContext& context) {
  Registry& registry = context.platform.registry;
  FileSystem& files = context.platform.files;
  const PathRules paths = context.Paths();
  const std::string own = paths.LowerAsciiLetters(OwnPath(files));
  const std::string title = context.Title();
  for (RegistryRoot root : {RegistryRoot::kLocalMachine, RegistryRoot::kCurrentUser}) {
    std::optional<std::string> named = EntryUninstaller(registry, root, title);
    if (named && paths.LowerAsciiLetters(files.LongPath(files.FullPath(*named))) == own) {
      RemoveUninstallEntry(registry, root, title);
    }
  }
}

// The installed screensaver file: the remembered path, else the record's
// file name in the uninstaller's own folder, whichever this installation
// made ("" when neither: nothing is deleted). nullopt when the remembered
// value is not text.
std::optional<std::string> InstalledFile(const RunContext& context) {
  FileSystem& files = context.platform.files;
  const PathRules paths = context.Paths();
  std::optional<std::string> remembered =
      ReadRememberedFileName(context.platform.registry, context.Title());
  if (!remembered) return std::nullopt;
  const std::string own_path = OwnPath(files);
  if (!remembered->empty() && MadeByThisInstallation(context, own_path, *remembered)) {
    return *remembered;
  }
  const std::string record_name(paths.FileNamePart(FieldText(context.record.ScreensaverFile)));
  const std::string fallback = std::string(paths.FolderPart(own_path)) + record_name;
  if (MadeByThisInstallation(context, own_path, fallback)) return fallback;
  return std::string();
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
  // A quiet removal ends without the closing message.
  const DeferredDeletion request{files.ShortPath(own_path), !context.flags.QuietMode,
                                 kApplicationTitle, context.TranslateWithTitle(kTextRemoved)};
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

  if (!installed->empty()) (void)platform.files.RemoveFile(*installed);
  PurgeSettings(platform.registry, title);
  if (record.ReadmeSize > 0) {
    // The readme lies beside the uninstaller, as the installation wrote both.
    (void)platform.files.RemoveFile(std::string(context.Paths().FolderPart(
                                        platform.files.ProgramPath())) +
                                    ReadmeFileName(context.language, title));
  }
  StartDeferredDeletion(context);
  if (record.AddUninstallEntry) RemoveOwnUninstallEntries(context);
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
  // A quiet removal asks nothing: it was asked for.
  const MessageAnswer answer =
      context.flags.QuietMode
          ? MessageAnswer::kYes
          : platform.dialogs.ShowMessage(context.TranslateWithTitle(kTextRemoveQuestion),
                                         context.Title() + " " + context.Translate(kTextUninstall),
                                         MessageButtons::kYesNo, MessageIcon::kQuestion);
  if (answer == MessageAnswer::kYes && !RemoveInstallation(context)) return false;

  platform.app.SetShowMainWindow(false);
  window.HideForExit();
  platform.app.Terminate();
  return true;
}

}  // namespace scrsetup
