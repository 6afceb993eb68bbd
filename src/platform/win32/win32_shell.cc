#include "platform/win32/win32_shell.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace scrsetup::win32 {

// The seam's values are the Win32 ones and are passed on unchanged.
static_assert(static_cast<int>(SpecialFolder::kDesktop) == CSIDL_DESKTOP);
static_assert(static_cast<int>(SpecialFolder::kPrograms) == CSIDL_PROGRAMS);
static_assert(static_cast<int>(SpecialFolder::kLocalAppData) == CSIDL_LOCAL_APPDATA);
static_assert(static_cast<int>(SpecialFolder::kProgramFiles) == CSIDL_PROGRAM_FILES);
static_assert(static_cast<int>(ShowCommand::kHide) == SW_HIDE);
static_assert(static_cast<int>(ShowCommand::kNormal) == SW_SHOWNORMAL);
static_assert(static_cast<int>(ShowCommand::kShowNoActivate) == SW_SHOWNOACTIVATE);
namespace {

// Holds one COM interface pointer and releases it.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ~ComPtr() {
    if (pointer_) pointer_->Release();
  }
  Interface* operator->() const { return pointer_; }
  Interface** out() { return &pointer_; }
  void** out_void() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// An item list returned by the shell, freed with CoTaskMemFree.
class ScopedItemList {
 public:
  ScopedItemList() = default;
  explicit ScopedItemList(LPITEMIDLIST list) : list_(list) {}
  ScopedItemList(const ScopedItemList&) = delete;
  ScopedItemList& operator=(const ScopedItemList&) = delete;
  ~ScopedItemList() {
    if (list_) CoTaskMemFree(list_);
  }
  LPITEMIDLIST get() const { return list_; }
  LPITEMIDLIST* out() { return &list_; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// The file-system path of an item list, empty when it has none.
std::string PathOfItem(LPCITEMIDLIST item) {
  char path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListA(item, path)) return std::string();
  path[MAX_PATH] = '\0';
  return path;
}

bool IsFolder(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Keeps `window` inside the work area of the screen after centring it.
void CentreOnScreen(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  int screen_width = GetSystemMetrics(SM_CXSCREEN), screen_height = GetSystemMetrics(SM_CYSCREEN);
  int left = (screen_width - width) / 2, top = (screen_height - height) / 2;
  if (left + width > screen_width) left = screen_width - width;
  if (top + height > screen_height) top = screen_height - height;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM lparam, LPARAM data) {
  if (message == BFFM_INITIALIZED) {
    CentreOnScreen(dialog);
    const auto* folder = reinterpret_cast<const char*>(data);
    if (IsFolder(folder)) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
  } else if (message == BFFM_SELCHANGED) {
    std::string path = PathOfItem(reinterpret_cast<LPCITEMIDLIST>(lparam));
    BOOL enable = !path.empty() && IsFolder(path.c_str());
    SendMessageA(dialog, BFFM_ENABLEOK, 0, enable);
  }
  return 0;
}

// Disables the program's other windows while a dialog runs, and restores
// them and the active window afterwards.
class ModalScope {
 public:
  explicit ModalScope(HWND owner) : owner_(owner), active_(GetActiveWindow()) {
    if (owner_) EnableWindow(owner_, FALSE);
  }
  ~ModalScope() {
    if (owner_) EnableWindow(owner_, TRUE);
    if (active_) SetActiveWindow(active_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND owner_;
  HWND active_;
};

}  // namespace

std::string Win32Shell::UserProgramFilesPath() {
  // Looked up: systems before Windows 7 have no per-user programs folder.
  using GetKnownFolderCall = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, wchar_t**);
  HMODULE shell32 = GetModuleHandleA("shell32.dll");
  auto get_known_folder = reinterpret_cast<GetKnownFolderCall>(reinterpret_cast<void*>(
      shell32 ? GetProcAddress(shell32, "SHGetKnownFolderPath") : nullptr));
  // FOLDERID_UserProgramFiles; KF_FLAG_DONT_VERIFY gives it before it exists.
  static constexpr GUID kUserProgramFiles = {
      0x5CD7AEE2, 0x2219, 0x4A67, {0xB8, 0x5D, 0x6C, 0x9C, 0xE1, 0x56, 0x60, 0xCB}};
  constexpr DWORD kDontVerify = 0x00004000;
  char path[MAX_PATH] = {};
  wchar_t* wide = nullptr;
  if (get_known_folder && SUCCEEDED(get_known_folder(kUserProgramFiles, kDontVerify, nullptr, &wide))) {
    BOOL lossy = FALSE;
    if (!WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, MAX_PATH, nullptr,
                             &lossy) ||
        lossy) {
      path[0] = '\0';
    }
  }
  CoTaskMemFree(wide);
  return path;
}

Win32Shell::Win32Shell(std::function<HWND()> wizard_window)
    : wizard_window_(std::move(wizard_window)) {}

Win32Shell::~Win32Shell() {
  if (com_initialised_) CoUninitialize();
}

void Win32Shell::Execute(const std::string& verb, const std::string& file,
                         const std::string& parameters, ShowCommand show, ShellOwner owner) {
  HWND owner_window = owner == ShellOwner::kWizard ? wizard_window_() : nullptr;
  ShellExecuteA(owner_window, verb.empty() ? nullptr : verb.c_str(), file.c_str(),
                parameters.empty() ? nullptr : parameters.c_str(), nullptr, static_cast<int>(show));
}

std::optional<std::string> Win32Shell::SpecialFolderPath(SpecialFolder folder) {
  ScopedItemList item;
  HWND owner = folder == SpecialFolder::kProgramFiles ? wizard_window_() : nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, static_cast<int>(folder), item.out()))) {
    return std::nullopt;
  }
  return PathOfItem(item.get());
}

bool Win32Shell::WriteShortcut(const std::string& link_path, const std::string& target) {
  // COM stays initialised from the first link until the shell goes: one
  // apartment for all links instead of one set up and torn down per link.
  if (!com_initialised_) com_initialised_ = SUCCEEDED(CoInitialize(nullptr));
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IShellLinkA, link.out_void()))) {
    return false;
  }
  ComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.out_void()))) return false;
  link->SetPath(target.c_str());
  link->SetIconLocation(target.c_str(), 0);
  wchar_t wide_path[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, link_path.c_str(), -1, wide_path, MAX_PATH) == 0) return false;
  return SUCCEEDED(file->Save(wide_path, TRUE));
}

std::optional<std::string> Win32Shell::BrowseForFolder(const std::string& folder,
                                                       const std::string& text) {
  HWND owner = wizard_window_();
  char display_name[MAX_PATH] = {};
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = text.empty() ? nullptr : text.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(folder.c_str());
  ScopedItemList chosen;
  {
    ModalScope modal(owner);
    *chosen.out() = SHBrowseForFolderA(&info);
  }
  if (!chosen.get()) return std::nullopt;
  return PathOfItem(chosen.get());
}

}  // namespace scrsetup::win32
