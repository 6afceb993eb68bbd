// Message boxes through MessageBoxA.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/dialogs.h"

namespace scrsetup::win32 {

// The seam's values are the Win32 ones and are passed on unchanged.
static_assert(static_cast<UINT>(MessageIcon::kError) == MB_ICONERROR);
static_assert(static_cast<UINT>(MessageIcon::kQuestion) == MB_ICONQUESTION);
static_assert(static_cast<UINT>(MessageIcon::kInformation) == MB_ICONINFORMATION);
static_assert(static_cast<UINT>(MessageButtons::kOk) == MB_OK);
static_assert(static_cast<UINT>(MessageButtons::kYesNo) == MB_YESNO);
static_assert(static_cast<int>(MessageAnswer::kOk) == IDOK);
static_assert(static_cast<int>(MessageAnswer::kYes) == IDYES);
static_assert(static_cast<int>(MessageAnswer::kNo) == IDNO);

class Win32Dialogs : public Dialogs {
 public:
  // `owner` gives the window that owns message boxes (null: none).
  explicit Win32Dialogs(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override {
    HWND owner = owner_();
    if (owner && !IsWindowVisible(owner)) owner = nullptr;
    int answer = MessageBoxA(owner, text.c_str(), caption.c_str(),
                             static_cast<UINT>(buttons) | static_cast<UINT>(icon));
    return static_cast<MessageAnswer>(answer);
  }

 private:
  std::function<HWND()> owner_;
};

}  // namespace scrsetup::win32
