#include "platform/win32/win32_wizard_window.h"

#include "platform/win32/win32_application.h"

namespace scrsetup::win32 {
namespace {

constexpr char kWindowClass[] = "TSCRSetup";
constexpr int kClientWidth = 513;
constexpr int kClientHeight = 370;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

}  // namespace

Win32WizardWindow::Win32WizardWindow(HINSTANCE instance, WizardEvents& events,
                                     Win32Application& app)
    : events_(events), app_(app) {
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassA(&window_class);
  RECT bounds = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&bounds, kStyle, FALSE);
  window_ = CreateWindowExA(WS_EX_DLGMODALFRAME, kWindowClass, "Screen Saver Setup", kStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, bounds.right - bounds.left,
                            bounds.bottom - bounds.top, nullptr, nullptr, instance, this);
}

Win32WizardWindow::~Win32WizardWindow() {
  if (window_) DestroyWindow(window_);
}

void Win32WizardWindow::ShowCentred() {
  RECT bounds;
  GetWindowRect(window_, &bounds);
  int left = (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

bool Win32WizardWindow::TranslateDialogKeys(MSG& message) {
  return window_ && IsDialogMessageA(window_, &message);
}

void Win32WizardWindow::SetWaitCursor(bool waiting) {
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(waiting ? IDC_WAIT : IDC_ARROW)));
}

void Win32WizardWindow::SetCaption(const std::string& caption) {
  SetWindowTextA(window_, caption.c_str());
}
void Win32WizardWindow::SetText(Control, const std::string&) {}
std::string Win32WizardWindow::Text(Control) { return std::string(); }
void Win32WizardWindow::SetVisible(Control, bool) {}
void Win32WizardWindow::SetEnabled(Control, bool) {}
bool Win32WizardWindow::IsChecked(Control) { return false; }
void Win32WizardWindow::Focus(Control) {}
void Win32WizardWindow::ShowPage(int) {}
void Win32WizardWindow::SetProgress(int, int) {}
void Win32WizardWindow::SetWindowEnabled(bool enabled) { EnableWindow(window_, enabled); }
void Win32WizardWindow::Close() { PostMessageA(window_, WM_CLOSE, 0, 0); }
void Win32WizardWindow::HideForExit() {
  SetWindowLongA(window_, GWL_STYLE, WS_POPUP);
  SetWindowPos(window_, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

LRESULT CALLBACK Win32WizardWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32WizardWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32WizardWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT Win32WizardWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      app_.Terminate();
      return 0;
    default:
      return DefWindowProcA(window_, message, wparam, lparam);
  }
}

}  // namespace scrsetup::win32
