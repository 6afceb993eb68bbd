// The Windows shell: verbs on files, special folders, shell links and the
// folder-browse dialog.
#pragma once

#include <optional>
#include <string>

namespace scrsetup {

// Shell special folders by their CSIDL values.
enum class SpecialFolder {
  kDesktop = 0,
  kPrograms = 2,
  kLocalAppData = 28,  // the user's local (not roaming) application data
  kProgramFiles = 38,
};

// Show commands passed to a started program.
enum class ShowCommand {
  kHide = 0,
  kNormal = 1,
  kShowNoActivate = 4,
};

// Which window owns a shell request.
enum class ShellOwner { kNone, kWizard };

class Shell {
 public:
  virtual ~Shell() = default;

  // Performs `verb` on `file` (an empty verb is the default action), with
  // `parameters` and no working folder. The outcome is not reported: the
  // installer never looks at it.
  virtual void Execute(const std::string& verb, const std::string& file,
                       const std::string& parameters, ShowCommand show,
                       ShellOwner owner) = 0;

  // The file-system path of a special folder: nullopt when the folder cannot
  // be located, an empty text when it has no file-system path.
  [[nodiscard]] virtual std::optional<std::string> SpecialFolderPath(SpecialFolder folder) = 0;
  // The user's own programs folder where the system names one (it need not
  // exist yet); empty where the system has none or its path cannot be
  // written in the ANSI code page.
  [[nodiscard]] virtual std::string UserProgramFilesPath() = 0;

  // Writes the shell link `link_path` (a full path ending in ".lnk",
  // replacing a link of that name) whose target and icon source (index 0)
  // are `target`. False when the link object cannot be made or saved.
  [[nodiscard]]
  virtual bool WriteShortcut(const std::string& link_path, const std::string& target) = 0;

  // Shows the folder-browse dialog over the whole shell namespace, centred
  // on the screen, starting at `folder` when it names an existing folder,
  // with `text` above the tree; OK is enabled only while the selection is
  // an existing folder. The chosen folder's path as the shell reports it,
  // or nullopt when the user cancels.
  [[nodiscard]]
  virtual std::optional<std::string> BrowseForFolder(const std::string& folder,
                                                     const std::string& text) = 0;
};

}  // namespace scrsetup
