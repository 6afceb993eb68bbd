#include "platform/win32/win32_application.h"

#include "platform/win32/win32_wizard_window.h"

namespace scrsetup::win32 {

std::unique_ptr<WizardWindow> Win32Application::CreateWizardWindow(WizardEvents& events) {
  auto window = std::make_unique<Win32WizardWindow>(instance_, events, *this);
  main_window_ = window.get();
  return window;
}

HWND Win32Application::MainWindow() const { return main_window_ ? main_window_->handle() : nullptr; }

void Win32Application::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

void Win32Application::RunMessageLoop() {
  if (terminated_ || !MainWindow()) return;
  if (show_main_window_) main_window_->ShowCentred();
  MSG message;
  while (!terminated_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!main_window_->TranslateDialogKeys(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void Win32Application::ProcessMessages() {
  MSG message;
  // PM_NOYIELD: an empty queue returns at once instead of giving the CPU
  // away, which the copy loop would pay once per chunk.
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
    if (message.message == WM_QUIT) {
      terminated_ = true;
      break;
    }
    if (!main_window_ || !main_window_->TranslateDialogKeys(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

void Win32Application::SetWaitCursor(bool waiting) {
  if (main_window_) main_window_->SetWaitCursor(waiting);
}

}  // namespace scrsetup::win32
