// The run flags, fixed by program entry from the command line before the
// wizard window exists and read by every later step, and the application
// title. Part of the bottom layer: every layer may include it.
#pragma once

#include <string>

namespace scrsetup {

struct RunFlags {
  // "-silent": no wizard window, the installation starts at once, and errors
  // end the run without a message box.
  bool SilentMode = false;
  // "-quiet": an uninstaller asks nothing and shows nothing. A setup package
  // takes it as "-silent" (SilentMode and SilentFolder are set with it).
  bool QuietMode = false;
  // "-previewonly": the wizard runs through its pages, but nothing on the
  // machine is created, written or removed.
  bool PreviewOnlyMode = false;
  // "-silent FOLDER": the folder to install into instead of the package's
  // default one; empty when none was given (and always outside SilentMode).
  std::string SilentFolder;
};

// The application title: caption of the application's own message boxes.
inline constexpr const char* kApplicationTitle = "Screensaver Setup";

}  // namespace scrsetup
