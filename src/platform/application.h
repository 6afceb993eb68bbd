// The application object: its title, its main window and message loop,
// and requests to end the program.
#pragma once

#include <memory>
#include <string>

#include "platform/wizard_window.h"

namespace scrsetup {

class Application {
 public:
  virtual ~Application() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // Whether the main window is shown when the message loop starts.
  virtual void SetShowMainWindow(bool show) = 0;
  // Creates the (not yet shown) wizard window, which reports to `events`.
  virtual std::unique_ptr<WizardWindow> CreateWizardWindow(WizardEvents& events) = 0;
  // Asks the program to end; takes effect when control reaches the message loop.
  virtual void Terminate() = 0;
  virtual bool Terminated() = 0;
  // Shows the main window (unless hidden or terminated) and dispatches
  // messages until the program is asked to end or the window closes.
  virtual void RunMessageLoop() = 0;
  // Handles all pending window messages and returns.
  virtual void ProcessMessages() = 0;
  // Shows the screen-wide wait cursor, or restores the default one.
  virtual void SetWaitCursor(bool waiting) = 0;
};

}  // namespace scrsetup
