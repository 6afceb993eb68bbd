// Every English text the installer passes to Translate, exactly as passed:
// the keys a language table can translate.
#pragma once

#include <string_view>

namespace scrsetup {

inline constexpr std::string_view kEnglishTexts[] = {
    "Back",
    "&Browse",
    "Cancel",
    "Next",
    "Install",
    "Finish",
    "Select the folder where you would like the Screen Saver to be installed, then click Install.",
    "Please read the following License Agreement. You must accept the terms of this agreement "
    "before continuing with the installation.",
    "When you are ready, click Next.",
    "Click Finish to exit Setup.",
    "The Setup is ready to install Screen Saver on your computer. Click Install to continue, or "
    "Cancel to exit Setup.",
    "I &accept the agreement",
    "I &do not accept the agreement",
    "License Agreement",
    "Select Destination Directory",
    "Ready to Install",
    "Installing",
    "Information",
    "Please read the following important information before continuing.",
    "Where should Screen Saver be installed?",
    "Setup is ready to install Screen Saver.",
    "Please wait while Setup installs Screen Saver.",
    "The Setup has completed successfully.",
    "Setup",
    "Browse",
    "The file is corrupted. Setup can not continue.",
    "Unable to create the directory. Please select a different directory.",
    "Invalid directory. Please select an existing directory.",
    "Unable to copy the files. Access is denied. Please select a different directory.",
    "There was an error installing %s. Installation is not complete.",
    "Readme",
    "Uninstall",
    "Preview",
    "Are you sure you want to remove %s and its components?",
    "%s has been successfully removed from your computer.",
};

}  // namespace scrsetup
