// The two process-wide run flags, fixed by program entry before the wizard
// window exists and read by every later step. Leaf header: every layer may
// include it.
#pragma once

namespace scrsetup {

struct RunFlags {
  // "-silent": no wizard window, the installation starts at once, and errors
  // end the run without a message box.
  bool SilentMode = false;
  // "-previewonly": the wizard runs through its pages, but nothing on the
  // machine is created, written or removed.
  bool PreviewOnlyMode = false;
};

// The application title: caption of the application's own message boxes.
inline constexpr const char* kApplicationTitle = "Screensaver Setup";

}  // namespace scrsetup
