// The application object on Win32: title, main window, message loop.
#pragma once

#include <windows.h>

#include "platform/application.h"

namespace scrsetup::win32 {

class Win32WizardWindow;

class Win32Application : public Application {
 public:
  explicit Win32Application(HINSTANCE instance) : instance_(instance) {}

  void SetTitle(const std::string& title) override { title_ = title; }
  void SetShowMainWindow(bool show) override { show_main_window_ = show; }
  std::unique_ptr<WizardWindow> CreateWizardWindow(WizardEvents& events) override;
  void Terminate() override;
  bool Terminated() override { return terminated_; }
  void RunMessageLoop() override;
  void ProcessMessages() override;
  void SetWaitCursor(bool waiting) override;

  // The wizard's window handle; null before it exists and after it is gone.
  HWND MainWindow() const;

 private:
  HINSTANCE instance_;
  std::string title_;
  bool show_main_window_ = true;
  bool terminated_ = false;
  Win32WizardWindow* main_window_ = nullptr;
};

}  // namespace scrsetup::win32
