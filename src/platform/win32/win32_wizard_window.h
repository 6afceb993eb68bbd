// The wizard window on Win32.
//
// A top-level window with a white header band and six pages, each a child
// window (WS_EX_CONTROLPARENT) that is shown only while it is the current
// page. Keyboard navigation runs through IsDialogMessage on the top-level
// window; every click goes to the WizardEvents.
#pragma once

#include <windows.h>

#include <array>

#include "platform/win32/dpi_scale.h"
#include "platform/win32/wizard_layout.h"
#include "platform/win32/wizard_resources.h"
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
  // Gives Tab, Escape, Enter, arrows and accelerator keys their dialog
  // meaning; true when `message` was handled.
  bool TranslateDialogKeys(MSG& message);
  // Shows the hourglass over the whole window until called with false.
  void SetWaitCursor(bool waiting);

  void SetCaption(const std::string& caption) override;
  void SetText(Control control, const std::string& text) override;
  std::string Text(Control control) override;
  void SetVisible(Control control, bool visible) override;
  void SetEnabled(Control control, bool enabled) override;
  bool IsChecked(Control control) override;
  void Focus(Control control) override;
  void ShowPage(WizardPage page) override;
  void SetProgress(int position, int maximum) override;
  void RepaintProgress() override;
  void SetWindowEnabled(bool enabled) override;
  void Close() override;
  void HideForExit() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wparam, LPARAM lparam);
  static void RegisterClasses(HINSTANCE instance);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void CreateChildren(HINSTANCE instance);
  HWND PaneWindow(HINSTANCE instance, Pane pane);
  HWND CreateControl(HINSTANCE instance, const ControlLayout& layout);
  void CreatePicture(HINSTANCE instance, const PictureLayout& layout, DWORD style, UINT type,
                     HANDLE picture);
  HWND Handle(Control control) const;

  void OnCommand(int id, int code);
  void Click(Control control);
  void PressEscapeButton();
  void PressFocusedButton();
  void MoveFocus(HWND target, bool select_text);
  void KeepFocusUsable();
  void RestoreFocus();
  bool CanTakeFocus(HWND control) const;
  void SyncRadioTabStops();
  void FitLinkToText();
  int TextWidth(Control control, HFONT font);
  int ButtonWidthForText(Control control);
  void FitButtonsToText();
  LRESULT ColourStatic(HDC dc, HWND control);
  void PaintLines();

  WizardEvents& events_;
  Win32Application& app_;
  const DpiScale scale_;
  const WizardResources resources_;
  HWND window_ = nullptr;
  HWND band_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  std::array<HWND, kControlCount> controls_{};
  // The control last focused by the user or the core (see RestoreFocus).
  HWND chosen_focus_ = nullptr;
  bool placing_fallback_focus_ = false;
  bool waiting_ = false;
  // What the progress bar was last given and last painted with (-1: nothing yet).
  int progress_maximum_ = -1;
  int progress_position_ = -1;
  int painted_position_ = -1;
};

}  // namespace scrsetup::win32
