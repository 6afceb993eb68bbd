#include "platform/win32/win32_wizard_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/res/resource_ids.h"
#include "platform/win32/win32_application.h"

namespace scrsetup::win32 {
namespace {

constexpr char kWindowClass[] = "TSCRSetup";
constexpr char kPageClass[] = "TSCRSetupPage";
constexpr char kBandClass[] = "TSCRSetupBand";
constexpr char kDesignCaption[] = "Screen Saver Setup";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
constexpr COLORREF kTitleColour = RGB(0, 51, 188);
constexpr COLORREF kLinkColour = RGB(0, 102, 204);
// Control ids start above IDOK and IDCANCEL, which IsDialogMessage sends for
// Enter and Escape.
constexpr int kFirstControlId = 100;

struct WindowKind {
  const char* class_name;
  DWORD style;
  DWORD ex_style;
};

// By ControlKind. Radio buttons get their tab stop from SyncRadioTabStops;
// buttons notify when they get the focus (BS_NOTIFY), as edit boxes do.
constexpr WindowKind kWindowKinds[] = {
    /* kLabel */ {"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS, 0},
    /* kWrappedLabel */ {"STATIC", SS_LEFT | SS_NOPREFIX, 0},
    /* kLink */ {"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS | SS_NOTIFY, 0},
    /* kButton */ {"BUTTON", BS_PUSHBUTTON | BS_NOTIFY | WS_TABSTOP, 0},
    /* kRadioButton */ {"BUTTON", BS_AUTORADIOBUTTON | BS_NOTIFY, 0},
    /* kEdit */ {"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE},
    /* kMemo */
    {"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    /* kReadOnlyMemo */
    {"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE},
    /* kProgressBar */ {PROGRESS_CLASSA, 0, 0},
};
static_assert(std::size(kWindowKinds) == static_cast<size_t>(ControlKind::kProgressBar) + 1);

constexpr size_t IndexOf(Control control) { return static_cast<size_t>(control); }

const ControlLayout& LayoutOf(Control control) {
  return *std::find_if(kControlLayouts.begin(), kControlLayouts.end(),
                       [control](const ControlLayout& layout) { return layout.control == control; });
}

HCURSOR SystemCursor(LPCSTR id) { return LoadCursorA(nullptr, id); }

// Multi-line boxes no longer ask the dialog keys to select their whole text
// when entered by Tab: a licence or readme then stays at its first line
// instead of jumping to its end.
LRESULT CALLBACK MemoProc(HWND memo, UINT message, WPARAM wparam, LPARAM lparam) {
  auto edit_proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(memo, GWLP_USERDATA));
  LRESULT result = CallWindowProcA(edit_proc, memo, message, wparam, lparam);
  return message == WM_GETDLGCODE ? result & ~DLGC_HASSETSEL : result;
}

void KeepTextUnselectedOnEntry(HWND memo) {
  SetWindowLongPtrA(memo, GWLP_USERDATA, GetWindowLongPtrA(memo, GWLP_WNDPROC));
  SetWindowLongPtrA(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc));
}

// The common controls (the progress bar; the others' themed look) are
// loaded when a window is built instead of being imported: loading them
// starts theming and the display connection, which a silent installation,
// building no window, then never pays. The library stays loaded for the
// rest of the run, as the controls' classes live in it.
void LoadCommonControls() {
  HMODULE library = LoadLibraryA("comctl32.dll");
  using InitCall = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  auto init = library ? reinterpret_cast<InitCall>(reinterpret_cast<void*>(
                            GetProcAddress(library, "InitCommonControlsEx")))
                      : nullptr;
  const INITCOMMONCONTROLSEX common_controls = {sizeof(common_controls), ICC_PROGRESS_CLASS};
  if (init) init(&common_controls);
}

}  // namespace

Win32WizardWindow::Win32WizardWindow(HINSTANCE instance, WizardEvents& events,
                                     Win32Application& app)
    : events_(events), app_(app), scale_(DpiScale::OfScreen()), resources_(instance, scale_) {
  LoadCommonControls();
  RegisterClasses(instance);
  RECT bounds = {0, 0, scale_(kClientWidth), scale_(kClientHeight)};
  AdjustWindowRectEx(&bounds, kStyle, FALSE, kExStyle);
  window_ = CreateWindowExA(kExStyle, kWindowClass, kDesignCaption, kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, bounds.right - bounds.left, bounds.bottom - bounds.top,
                            nullptr, nullptr, instance, this);
  if (window_) CreateChildren(instance);
}

Win32WizardWindow::~Win32WizardWindow() {
  if (window_) DestroyWindow(window_);
}

void Win32WizardWindow::RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXA window_class = {};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = SystemCursor(IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  window_class.hIcon = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_SETUP_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  window_class.hIconSm = static_cast<HICON>(
      LoadImageA(instance, MAKEINTRESOURCEA(IDI_SETUP_ICON), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  RegisterClassExA(&window_class);

  // The pages and the header band: containers that hand their controls'
  // notifications to the window.
  WNDCLASSEXA pane_class = {};
  pane_class.cbSize = sizeof(pane_class);
  pane_class.lpfnWndProc = PaneProc;
  pane_class.hInstance = instance;
  pane_class.hCursor = SystemCursor(IDC_ARROW);
  pane_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  pane_class.lpszClassName = kPageClass;
  RegisterClassExA(&pane_class);
  pane_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  pane_class.lpszClassName = kBandClass;
  RegisterClassExA(&pane_class);
}

void Win32WizardWindow::CreateChildren(HINSTANCE instance) {
  for (const ControlLayout& layout : kControlLayouts) {
    controls_[IndexOf(layout.control)] = CreateControl(instance, layout);
  }
  CreatePicture(instance, kHeaderPicture, SS_BITMAP, IMAGE_BITMAP, resources_.header_picture());
  CreatePicture(instance, kFolderPicture, SS_ICON, IMAGE_ICON, resources_.folder_icon());
  SyncRadioTabStops();
  FitLinkToText();
}

// Panes are made when the first control on them is, so that they take their
// place in the tab order between the controls before and after them.
HWND Win32WizardWindow::PaneWindow(HINSTANCE instance, Pane pane) {
  if (pane == Pane::kWindow) return window_;
  const bool is_band = pane == Pane::kBand;
  HWND& slot = is_band ? band_ : pages_[static_cast<size_t>(pane)];
  if (!slot) {
    const RECT box = is_band ? scale_.Rect(0, 0, kClientWidth, kBandHeight)
                             : scale_.Rect(kNotebookBox.x, kNotebookBox.y, kNotebookBox.width,
                                           kNotebookBox.height);
    // Page 0 is the current page until the core shows another.
    const bool visible = is_band || pane == Pane::kLicense;
    slot = CreateWindowExA(WS_EX_CONTROLPARENT, is_band ? kBandClass : kPageClass, "",
                           WS_CHILD | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), box.left,
                           box.top, box.right - box.left, box.bottom - box.top, window_, nullptr,
                           instance, nullptr);
  }
  return slot;
}

HWND Win32WizardWindow::CreateControl(HINSTANCE instance, const ControlLayout& layout) {
  const WindowKind& kind = kWindowKinds[static_cast<size_t>(layout.kind)];
  DWORD style = WS_CHILD | kind.style;
  if (!(layout.flags & kHidden)) style |= WS_VISIBLE;
  if (layout.flags & kDisabled) style |= WS_DISABLED;
  if (!(layout.flags & kContinuesGroup)) style |= WS_GROUP;
  const RECT box = scale_.Rect(layout.box.x, layout.box.y, layout.box.width, layout.box.height);
  HWND control = CreateWindowExA(
      kind.ex_style, kind.class_name, layout.text, style, box.left, box.top, box.right - box.left,
      box.bottom - box.top, PaneWindow(instance, layout.pane),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + IndexOf(layout.control))),
      instance, nullptr);
  if (!control) return nullptr;
  HFONT font = layout.control == Control::lbTitle ? resources_.title_font()
               : layout.control == Control::Link  ? resources_.link_font()
                                                  : resources_.text_font();
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (layout.flags & kChecked) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
  if (layout.kind == ControlKind::kMemo || layout.kind == ControlKind::kReadOnlyMemo) {
    // Texts of any length, not only the default 32 K.
    SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
    KeepTextUnselectedOnEntry(control);
  }
  return control;
}

void Win32WizardWindow::CreatePicture(HINSTANCE instance, const PictureLayout& layout, DWORD style,
                                      UINT type, HANDLE picture) {
  const RECT box = scale_.Rect(layout.box.x, layout.box.y, layout.box.width, layout.box.height);
  HWND control = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE | style, box.left,
                                 box.top, box.right - box.left, box.bottom - box.top,
                                 PaneWindow(instance, layout.pane), nullptr, instance, nullptr);
  // The picture is made at the scaled size already, so the control shows it
  // unstretched; it stays owned by resources_.
  if (control && picture) {
    SendMessageA(control, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(picture));
  }
}

HWND Win32WizardWindow::Handle(Control control) const { return controls_[IndexOf(control)]; }

void Win32WizardWindow::ShowCentred() {
  if (!window_) return;
  RECT bounds;
  GetWindowRect(window_, &bounds);
  int left = (GetSystemMetrics(SM_CXSCREEN) - (bounds.right - bounds.left)) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - (bounds.bottom - bounds.top)) / 2;
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ShowWindow(window_, SW_SHOW);
  // Activation may come before the controls count as visible.
  KeepFocusUsable();
  UpdateWindow(window_);
}

bool Win32WizardWindow::TranslateDialogKeys(MSG& message) {
  return window_ && IsDialogMessageA(window_, &message);
}

void Win32WizardWindow::SetWaitCursor(bool waiting) {
  waiting_ = waiting;
  SetCursor(SystemCursor(waiting ? IDC_WAIT : IDC_ARROW));
}

void Win32WizardWindow::SetCaption(const std::string& caption) {
  if (window_) SetWindowTextA(window_, caption.c_str());
}

void Win32WizardWindow::SetText(Control control, const std::string& text) {
  HWND handle = Handle(control);
  if (!handle) return;
  SetWindowTextA(handle, text.c_str());
  if (control == Control::Link) FitLinkToText();
  if (LayoutOf(control).kind == ControlKind::kButton) FitButtonsToText();
}

std::string Win32WizardWindow::Text(Control control) {
  HWND handle = Handle(control);
  if (!handle) return std::string();
  const int length = GetWindowTextLengthA(handle);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  // The string's terminating NUL gives room for the one GetWindowTextA writes.
  const int copied = GetWindowTextA(handle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::clamp(copied, 0, length)));
  return text;
}

void Win32WizardWindow::SetVisible(Control control, bool visible) {
  HWND handle = Handle(control);
  if (!handle) return;
  ShowWindow(handle, visible ? SW_SHOWNA : SW_HIDE);
  KeepFocusUsable();
}

void Win32WizardWindow::SetEnabled(Control control, bool enabled) {
  HWND handle = Handle(control);
  if (!handle) return;
  EnableWindow(handle, enabled);
  KeepFocusUsable();
}

bool Win32WizardWindow::IsChecked(Control control) {
  HWND handle = Handle(control);
  return handle && SendMessageA(handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32WizardWindow::Focus(Control control) {
  HWND handle = Handle(control);
  if (!handle) return;
  chosen_focus_ = handle;
  KeepFocusUsable();
}

void Win32WizardWindow::ShowPage(WizardPage shown) {
  const int index = shown;
  if (!window_ || index < 0 || index >= kPageCount) return;
  ShowWindow(pages_[static_cast<size_t>(index)], SW_SHOWNA);
  for (int page = 0; page < kPageCount; ++page) {
    if (page != index) ShowWindow(pages_[static_cast<size_t>(page)], SW_HIDE);
  }
  KeepFocusUsable();
}

// The copy loop sets the bar once per chunk, thousands of times for a large
// payload, while its value changes at most a hundred times: only changes
// reach the control.
void Win32WizardWindow::SetProgress(int position, int maximum) {
  HWND bar = Handle(Control::ProgressBar);
  if (!bar) return;
  if (maximum != progress_maximum_) {
    SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
    progress_maximum_ = maximum;
    progress_position_ = -1;  // a new range may move the bar
  }
  if (position != progress_position_) {
    SendMessageA(bar, PBM_SETPOS, position, 0);
    progress_position_ = position;
  }
}

void Win32WizardWindow::RepaintProgress() {
  HWND bar = Handle(Control::ProgressBar);
  if (!bar || progress_position_ == painted_position_) return;
  painted_position_ = progress_position_;
  if (IsWindowVisible(bar)) UpdateWindow(bar);
}

void Win32WizardWindow::SetWindowEnabled(bool enabled) {
  if (!window_) return;
  EnableWindow(window_, enabled);
  if (enabled) KeepFocusUsable();
}

void Win32WizardWindow::Close() {
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
}

void Win32WizardWindow::HideForExit() {
  if (!window_) return;
  SetWindowLongA(window_, GWL_STYLE, WS_POPUP);
  SetWindowPos(window_, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

LRESULT CALLBACK Win32WizardWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32WizardWindow*>(
        reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32WizardWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT CALLBACK Win32WizardWindow::PaneProc(HWND pane, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_NEXTDLGCTL:  // Tab in a multi-line box
      return SendMessageA(GetParent(pane), message, wparam, lparam);
    case WM_CLOSE:  // Escape in a multi-line box
      return SendMessageA(GetParent(pane), WM_COMMAND, IDCANCEL, 0);
    default:
      return DefWindowProcA(pane, message, wparam, lparam);
  }
}

LRESULT Win32WizardWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_NEXTDLGCTL:
      if (LOWORD(lparam)) {
        MoveFocus(reinterpret_cast<HWND>(wparam), false);
      } else {
        MoveFocus(GetNextDlgTabItem(window_, GetFocus(), wparam != 0), true);
      }
      return 0;
    case WM_SETCURSOR:
      if (waiting_) {
        SetCursor(SystemCursor(IDC_WAIT));
        return TRUE;
      }
      if (reinterpret_cast<HWND>(wparam) == Handle(Control::Link)) {
        // IDC_HAND is missing before Windows 98 and 2000.
        HCURSOR hand = SystemCursor(IDC_HAND);
        SetCursor(hand ? hand : SystemCursor(IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
      // On activation DefWindowProc focuses the window itself, which takes
      // no keys; the focus goes on to a control.
      RestoreFocus();
      return 0;
    case WM_PAINT:
      PaintLines();
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      band_ = nullptr;
      pages_.fill(nullptr);
      controls_.fill(nullptr);
      chosen_focus_ = nullptr;
      app_.Terminate();
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window_, message, wparam, lparam);
}

void Win32WizardWindow::OnCommand(int id, int code) {
  if (id == IDCANCEL) {  // Escape
    PressEscapeButton();
    return;
  }
  if (id == IDOK) {  // Enter on a control that does not take it
    PressFocusedButton();
    return;
  }
  const int index = id - kFirstControlId;
  if (index < 0 || index >= kControlCount) return;
  const Control control = static_cast<Control>(index);
  if (code == BN_SETFOCUS || code == EN_SETFOCUS) {
    if (!placing_fallback_focus_) chosen_focus_ = Handle(control);
  } else if (code == BN_CLICKED) {  // STN_CLICKED of the link is the same code
    Click(control);
  }
}

void Win32WizardWindow::Click(Control control) {
  switch (control) {
    case Control::btnNext:
      events_.btnNextClick();
      break;
    case Control::btnBack:
      events_.btnBackClick();
      break;
    case Control::btnCancel:
      events_.btnCancelClick();
      break;
    case Control::btnBrowse:
      events_.btnBrowseClick();
      break;
    case Control::rbAccept:
    case Control::rbNotAccept:
      SyncRadioTabStops();
      events_.rbAcceptClick();
      break;
    case Control::Link:
      events_.LinkClick();
      break;
    default:
      break;
  }
}

// Escape clicks the first of Cancel, Back and Next that can be clicked.
void Win32WizardWindow::PressEscapeButton() {
  for (Control control : {Control::btnCancel, Control::btnBack, Control::btnNext}) {
    HWND button = Handle(control);
    if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
      Click(control);
      return;
    }
  }
}

// There is no default button: Enter clicks the focused button and nothing else.
void Win32WizardWindow::PressFocusedButton() {
  HWND focused = GetFocus();
  if (!CanTakeFocus(focused)) return;
  for (const ControlLayout& layout : kControlLayouts) {
    if (layout.kind == ControlKind::kButton && Handle(layout.control) == focused) {
      Click(layout.control);
      return;
    }
  }
}

void Win32WizardWindow::MoveFocus(HWND target, bool select_text) {
  if (!CanTakeFocus(target)) return;
  SetFocus(target);
  // Like a dialog: an edit box entered by keyboard has its text selected.
  if (select_text && (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) {
    SendMessageA(target, EM_SETSEL, 0, -1);
  }
}

// Called after controls or pages are shown, hidden, enabled or disabled.
void Win32WizardWindow::KeepFocusUsable() {
  if (window_ && GetActiveWindow() == window_) RestoreFocus();
}

// The focus belongs on the control last chosen by the user or the core.
// While that one is hidden or disabled, the first tab stop stands in for it
// (without becoming the chosen control), and the focus goes back as soon as
// the chosen control can take it again: Next hidden during the copy has the
// focus again on the Readme page.
void Win32WizardWindow::RestoreFocus() {
  HWND focused = GetFocus();
  if (CanTakeFocus(chosen_focus_)) {
    if (focused != chosen_focus_) SetFocus(chosen_focus_);
    return;
  }
  if (CanTakeFocus(focused)) return;
  HWND first = GetNextDlgTabItem(window_, nullptr, FALSE);
  if (!CanTakeFocus(first)) return;
  placing_fallback_focus_ = true;
  SetFocus(first);
  placing_fallback_focus_ = false;
}

bool Win32WizardWindow::CanTakeFocus(HWND control) const {
  return control && std::find(controls_.begin(), controls_.end(), control) != controls_.end() &&
         IsWindowVisible(control) && IsWindowEnabled(control);
}

// As in a dialog, only the checked radio button of the group is a tab stop;
// the arrow keys move within the group.
void Win32WizardWindow::SyncRadioTabStops() {
  for (Control control : {Control::rbAccept, Control::rbNotAccept}) {
    HWND button = Handle(control);
    if (!button) continue;
    const LONG style = GetWindowLongA(button, GWL_STYLE);
    const LONG wanted = IsChecked(control) ? style | WS_TABSTOP : style & ~WS_TABSTOP;
    if (wanted != style) SetWindowLongA(button, GWL_STYLE, wanted);
  }
}

// The link is as wide as its text (up to its laid-out width), so that the
// hand cursor and clicks cover the text only.
void Win32WizardWindow::FitLinkToText() {
  HWND link = Handle(Control::Link);
  if (!link) return;
  const Box& box = LayoutOf(Control::Link).box;
  const int width = std::min<int>(TextWidth(Control::Link, resources_.link_font()) + 1,
                                  scale_(box.width));
  SetWindowPos(link, nullptr, 0, 0, width, scale_(box.y + box.height) - scale_(box.y),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The width of the text of `control` in `font` (an accelerator mark
// counted as a character: a little room to spare).
int Win32WizardWindow::TextWidth(Control control, HFONT font) {
  const std::string text = Text(control);
  SIZE extent = {};
  WindowDc dc(Handle(control));
  SelectedObject selected(dc.get(), font);
  GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return extent.cx;
}

// The width `control` needs for its text, at least its laid-out width.
int Win32WizardWindow::ButtonWidthForText(Control control) {
  return std::max<int>(TextWidth(control, resources_.text_font()) + 2 * scale_(kButtonTextMargin),
                       scale_(LayoutOf(control).box.width));
}

void Win32WizardWindow::FitButtonsToText() {
  auto place = [&](Control control, int right, int width) {
    const Box& box = LayoutOf(control).box;
    SetWindowPos(Handle(control), nullptr, right - width, scale_(box.y), width,
                 scale_(box.y + box.height) - scale_(box.y), SWP_NOZORDER | SWP_NOACTIVATE);
    return right - width;
  };
  const Box* before = nullptr;  // the laid-out box of the button to the right
  int left = 0;
  for (Control control : kFootButtonsFromTheRight) {
    const Box& box = LayoutOf(control).box;
    const int right = before ? left - (scale_(before->x) - scale_(box.x + box.width))
                             : scale_(box.x + box.width);
    left = place(control, right, ButtonWidthForText(control));
    before = &box;
  }
  const Box& browse = LayoutOf(Control::btnBrowse).box;
  const Box& folder = LayoutOf(Control::edDirectory).box;
  const int browse_left =
      place(Control::btnBrowse, scale_(browse.x + browse.width), ButtonWidthForText(Control::btnBrowse));
  const int folder_right = browse_left - (scale_(browse.x) - scale_(folder.x + folder.width));
  SetWindowPos(Handle(Control::edDirectory), nullptr, 0, 0, folder_right - scale_(folder.x),
               scale_(folder.y + folder.height) - scale_(folder.y),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The header band and the read-only licence text are on window colour; the
// title and the link have their own text colours.
LRESULT Win32WizardWindow::ColourStatic(HDC dc, HWND control) {
  if (control == Handle(Control::Link)) {
    SetTextColor(dc, kLinkColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (GetParent(control) == band_ || control == Handle(Control::edLicense)) {
    SetTextColor(dc, control == Handle(Control::lbTitle) ? kTitleColour
                                                         : GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>(control));
}

// The etched lines under the header band and above the foot.
void Win32WizardWindow::PaintLines() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  const int width = scale_(kClientWidth);
  RECT under_band = {0, scale_(kBandHeight), width, scale_(kBandHeight) + 2};
  DrawEdge(dc, &under_band, EDGE_ETCHED, BF_TOP);
  const int foot_top = scale_(kClientHeight - kFootHeight);
  RECT above_foot = {0, foot_top, width, foot_top + 2};
  DrawEdge(dc, &above_foot, EDGE_ETCHED, BF_TOP);
  EndPaint(window_, &paint);
}

}  // namespace scrsetup::win32
