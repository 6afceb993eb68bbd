// The wizard window on Win32.
#pragma once

#include <windows.h>

#include "platform/wizard_window.h"

namespace scrsetup::win32 {

class Win32Application;

class Win32WizardWindow : public WizardWindow {
 public:
  Win32WizardWindow(HINSTANCE instance, WizardEvents& events, Win32Application& app);
  ~Win32WizardWindow() override;

  HWND handle() const { return window_; }
  // Centres the window on the screen and shows it.
  void ShowCentred();
  // Gives Tab, Escape and accelerator keys their dialog meaning; true when
  // `message` was handled.
  bool TranslateDialogKeys(MSG& message);
  void SetWaitCursor(bool waiting);

  void SetCaption(const std::string& caption) override;
  void SetText(Control control, const std::string& text) override;
  std::string Text(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetEnabled(Control control, bool enabled) override;
  bool IsChecked(Control control) override;
  void Focus(Control control) override;
  void ShowPage(int index) override;
  void SetProgress(int position, int maximum) override;
  void SetWindowEnabled(bool enabled) override;
  void Close() override;
  void HideForExit() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  WizardEvents& events_;
  Win32Application& app_;
  HWND window_ = nullptr;
};

}  // namespace scrsetup::win32
