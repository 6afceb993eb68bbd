// Every English text the installer passes to Translate, by name, and the
// list of all of them. A language table translates a text through an entry
// whose key is the text exactly as written here (CR LF written as "#13").
// Texts holding "%s" get the Title in its place after translation.
#pragma once

#include <array>
#include <string_view>

namespace scrsetup {

// Buttons and choices of the wizard.
inline constexpr std::string_view kTextBack = "Back";
inline constexpr std::string_view kTextNext = "Next";
inline constexpr std::string_view kTextCancel = "Cancel";
inline constexpr std::string_view kTextInstall = "Install";
inline constexpr std::string_view kTextFinish = "Finish";
inline constexpr std::string_view kTextBrowseButton = "&Browse";
inline constexpr std::string_view kTextAccept = "I &accept the agreement";
inline constexpr std::string_view kTextNotAccept = "I &do not accept the agreement";

// Page texts.
inline constexpr std::string_view kTextDirectoryPage =
    "Select the folder where you would like the Screen Saver to be installed, then click "
    "Install.";
inline constexpr std::string_view kTextLicensePage =
    "Please read the following License Agreement. You must accept the terms of this agreement "
    "before continuing with the installation.";
inline constexpr std::string_view kTextReadmePage = "When you are ready, click Next.";
inline constexpr std::string_view kTextFinishedPage = "Click Finish to exit Setup.";
inline constexpr std::string_view kTextReadyPage =
    "The Setup is ready to install Screen Saver on your computer. Click Install to continue, or "
    "Cancel to exit Setup.";

// Page titles (License, Directory, Ready, Progress, Readme; the Finished
// page's title is kTextFinish).
inline constexpr std::string_view kTitleLicense = "License Agreement";
inline constexpr std::string_view kTitleDirectory = "Select Destination Directory";
inline constexpr std::string_view kTitleReady = "Ready to Install";
inline constexpr std::string_view kTitleProgress = "Installing";
inline constexpr std::string_view kTitleReadme = "Information";

// Page descriptions; the License and Readme pages share one.
inline constexpr std::string_view kDescriptionReadFirst =
    "Please read the following important information before continuing.";
inline constexpr std::string_view kDescriptionDirectory = "Where should Screen Saver be installed?";
inline constexpr std::string_view kDescriptionReady = "Setup is ready to install Screen Saver.";
inline constexpr std::string_view kDescriptionProgress =
    "Please wait while Setup installs Screen Saver.";
inline constexpr std::string_view kDescriptionFinished = "The Setup has completed successfully.";

// Words in captions, file and link names.
inline constexpr std::string_view kTextSetup = "Setup";
inline constexpr std::string_view kTextBrowseDialog = "Browse";
inline constexpr std::string_view kTextPreview = "Preview";
inline constexpr std::string_view kTextReadme = "Readme";
inline constexpr std::string_view kTextUninstall = "Uninstall";

// Messages.
inline constexpr std::string_view kTextCorrupted = "The file is corrupted. Setup can not continue.";
inline constexpr std::string_view kTextCannotCreateFolder =
    "Unable to create the directory. Please select a different directory.";
inline constexpr std::string_view kTextInvalidFolder =
    "Invalid directory. Please select an existing directory.";
inline constexpr std::string_view kTextAccessDenied =
    "Unable to copy the files. Access is denied. Please select a different directory.";
inline constexpr std::string_view kTextInstallFailed =
    "There was an error installing %s. Installation is not complete.";
inline constexpr std::string_view kTextRemoveQuestion =
    "Are you sure you want to remove %s and its components?";
inline constexpr std::string_view kTextRemoved =
    "%s has been successfully removed from your computer.";

// Every text above, each once.
inline constexpr auto kEnglishTexts = std::to_array<std::string_view>({
    kTextBack,
    kTextNext,
    kTextCancel,
    kTextInstall,
    kTextFinish,
    kTextBrowseButton,
    kTextAccept,
    kTextNotAccept,
    kTextDirectoryPage,
    kTextLicensePage,
    kTextReadmePage,
    kTextFinishedPage,
    kTextReadyPage,
    kTitleLicense,
    kTitleDirectory,
    kTitleReady,
    kTitleProgress,
    kTitleReadme,
    kDescriptionReadFirst,
    kDescriptionDirectory,
    kDescriptionReady,
    kDescriptionProgress,
    kDescriptionFinished,
    kTextSetup,
    kTextBrowseDialog,
    kTextPreview,
    kTextReadme,
    kTextUninstall,
    kTextCorrupted,
    kTextCannotCreateFolder,
    kTextInvalidFolder,
    kTextAccessDenied,
    kTextInstallFailed,
    kTextRemoveQuestion,
    kTextRemoved,
});

namespace english_texts_detail {
constexpr bool AllDistinct() {
  for (size_t i = 0; i < kEnglishTexts.size(); ++i) {
    for (size_t j = i + 1; j < kEnglishTexts.size(); ++j) {
      if (kEnglishTexts[i] == kEnglishTexts[j]) return false;
    }
  }
  return true;
}
}  // namespace english_texts_detail
static_assert(english_texts_detail::AllDistinct(), "an English text is listed twice");

}  // namespace scrsetup
