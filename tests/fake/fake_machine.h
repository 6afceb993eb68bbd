// An in-memory Windows machine for the native tests: files and folders with
// Windows path rules (case-insensitive, "\" separators, drive roots), a
// registry tree, special folders, shell requests and links, message boxes
// answered from a script, a clock, and a wizard window that records what it
// is told. Faults can be injected where the installer must cope with them.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace scrsetup::testing {

// ---------------------------------------------------------------- files

struct FakeFileEntry {
  std::string data;
  bool read_only = false;
  int open_count = 0;       // open handles; a file in use cannot be deleted
  bool deny_sharing = false;  // some handle shares with nobody
  // Faults: reads fail from this offset on; writes accept at most this many
  // bytes in all (a full disk).
  std::optional<int64_t> fail_reads_from;
  // Reads that start at this offset fail (one block that cannot be read).
  std::optional<int64_t> fail_reads_at;
  std::optional<int64_t> write_capacity;
  // Reads report one byte more than they gave (a broken driver).
  bool overstate_reads = false;
  // The room left on the disk the file lies on, shared by its files.
  std::shared_ptr<int64_t> disk_room;
};

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem();

  // Test set-up and inspection. Parent folders are created as needed.
  void AddFolder(const std::string& path);
  void AddFile(const std::string& path, std::string data);
  bool HasFile(const std::string& path) const;
  bool HasFolder(const std::string& path) const;
  // The file's bytes; fails the test when it is missing.
  const std::string& Contents(const std::string& path) const;
  FakeFileEntry& Entry(const std::string& path);
  // Every file path, in its original spelling, sorted by folded path.
  std::vector<std::string> AllFiles() const;
  // Paths refused by MakeFolder, CreateForWriting, CreateNew and as the
  // target of MoveReplacing (any spelling).
  void RefuseCreate(const std::string& path) { refuse_create_.insert(Key(path)); }
  // No file or folder can be created in `folder` (a folder without the
  // right to write).
  void RefuseCreateIn(const std::string& folder) { refuse_create_in_.insert(Key(folder)); }
  // Files created in `folder` share a disk that takes at most `bytes` more
  // (a full disk).
  void LimitWrites(const std::string& folder, int64_t bytes) {
    write_limits_[Key(folder)] = std::make_shared<int64_t>(bytes);
  }
  // Called before each MoveReplacing (for example to let another process
  // take hold of a file).
  std::function<void(const std::string& from, const std::string& to)> on_move;
  std::vector<std::string> scheduled_deletions;
  std::vector<std::pair<std::string, std::string>> copies;
  std::string program_path = "C:\\Downloads\\setup.exe";
  std::string temp_folder = "C:\\Users\\Tester\\AppData\\Local\\Temp\\";
  std::string windows_folder = "C:\\Windows";
  std::string current_folder = "C:\\Users\\Tester\\";
  std::function<std::string(const std::string&)> short_path;
  // The system's lead-byte test: paths are split into characters, so the
  // second byte of a double-byte character is never taken for a "\".
  std::function<bool(uint8_t)> is_lead_byte = [](uint8_t) { return false; };
  // Gives the folder `long_form` a second name `short_form` (such as
  // "C:\PROGRA~1"): paths through either name reach the same files, and
  // LongPath spells out the short one.
  void AddShortName(const std::string& short_form, const std::string& long_form);

  std::unique_ptr<File> OpenForReading(const std::string& path, ShareMode share) override;
  std::unique_ptr<File> OpenForUpdate(const std::string& path) override;
  std::unique_ptr<File> CreateForWriting(const std::string& path) override;
  std::unique_ptr<File> CreateNew(const std::string& path) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool FileExists(const std::string& path) override;
  bool FolderExists(const std::string& path) override;
  bool CanCreateIn(const std::string& folder) override;
  bool MakeFolder(const std::string& path) override;
  bool RemoveEmptyFolder(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyFileReplacing(const std::string& from, const std::string& to) override;
  bool DeleteAtRestart(const std::string& path) override;
  std::string TempFolder() override { return temp_folder; }
  std::string WindowsFolder() override { return windows_folder; }
  std::string FullPath(const std::string& path) override;
  std::string ShortPath(const std::string& path) override;
  std::string LongPath(const std::string& path) override;
  std::string ProgramPath() override { return program_path; }

 private:
  std::string Key(const std::string& path) const;
  // `path` made absolute (from the current folder), its parts joined by one "\".
  std::string Absolute(const std::string& path) const;
  // `path` made absolute, with a short folder name replaced by its long form.
  std::string Spelled(const std::string& path) const;
  std::vector<std::pair<std::string, std::string>> short_names_;  // folded short, long
  bool ParentExists(const std::string& key) const;
  // Whether a file may be created at `key`: not refused, no folder there,
  // its folder exists.
  bool MayCreateFile(const std::string& key) const;
  std::shared_ptr<FakeFileEntry> NewEntry(const std::string& key, const std::string& path);
  std::set<std::string> refuse_create_;
  std::set<std::string> refuse_create_in_;
  std::map<std::string, std::shared_ptr<int64_t>> write_limits_;  // by folded folder
  std::map<std::string, std::shared_ptr<FakeFileEntry>> files_;  // by folded full path
  std::map<std::string, std::string> spelling_;                  // folded -> original
  std::set<std::string> folders_;                                // folded, no trailing "\"
};

// ---------------------------------------------------------------- registry

struct FakeValue {
  enum Type { kString, kExpandString, kDword, kBinary } type = kString;
  std::string data;
  uint32_t dword = 0;
};

class FakeRegistry : public Registry {
 public:
  // Set-up and inspection; `path` as in Open.
  void SetString(RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& value);
  void SetValue(RegistryRoot root, const std::string& path, const std::string& name, FakeValue value);
  bool HasKey(RegistryRoot root, const std::string& path) const;
  std::optional<FakeValue> Value(RegistryRoot root, const std::string& path,
                                 const std::string& name) const;
  std::vector<std::string> ValueNames(RegistryRoot root, const std::string& path) const;
  // Writes under HKEY_LOCAL_MACHINE fail (a user without the right).
  bool deny_local_machine = false;
  // The system's lead-byte test: key paths are split into characters.
  std::function<bool(uint8_t)> is_lead_byte = [](uint8_t) { return false; };

  std::unique_ptr<RegistryKey> Open(RegistryRoot root, const std::string& path) override;
  std::unique_ptr<RegistryKey> Create(RegistryRoot root, const std::string& path) override;
  bool DeleteTree(RegistryRoot root, const std::string& path) override;

  struct Key {
    std::vector<std::pair<std::string, FakeValue>> values;  // in creation order
  };
  Key* Find(RegistryRoot root, const std::string& path);

 private:
  std::string KeyName(RegistryRoot root, const std::string& path) const;
  std::map<std::string, Key> keys_;  // by folded "HKLM\path"
};

// ---------------------------------------------------------------- shell

struct ShellRequest {
  std::string verb, file, parameters;
  ShowCommand show;
  ShellOwner owner;
};

class FakeShell : public Shell {
 public:
  explicit FakeShell(FakeFileSystem& files);
  std::map<SpecialFolder, std::optional<std::string>> special_folders;
  // The system's per-user programs folder (not made until something is
  // installed there); empty for a system that has none.
  std::string user_program_files = "C:\\Users\\Tester\\AppData\\Local\\Programs";
  std::vector<ShellRequest> requests;
  std::map<std::string, std::string> link_targets;  // folded link path -> target
  bool fail_links = false;
  // What the folder dialog answers: a path, or nullopt for Cancel. It records
  // the folder and text it was given.
  std::optional<std::string> browse_answer;
  std::vector<std::pair<std::string, std::string>> browse_calls;

  void Execute(const std::string& verb, const std::string& file, const std::string& parameters,
               ShowCommand show, ShellOwner owner) override;
  std::optional<std::string> SpecialFolderPath(SpecialFolder folder) override;
  std::string UserProgramFilesPath() override { return user_program_files; }
  bool WriteShortcut(const std::string& link_path, const std::string& target) override;
  std::optional<std::string> BrowseForFolder(const std::string& folder,
                                             const std::string& text) override;

 private:
  FakeFileSystem& files_;
};

// ---------------------------------------------------------------- dialogs

struct ShownMessage {
  std::string text, caption;
  MessageButtons buttons;
  MessageIcon icon;
};

class FakeDialogs : public Dialogs {
 public:
  std::vector<ShownMessage> shown;
  // Answers for Yes/No questions, in order; Yes when the script runs out.
  std::deque<MessageAnswer> answers;
  // Called while a message box is open (for example to look at the machine).
  std::function<void(const ShownMessage&)> on_show;

  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons, MessageIcon icon) override;
};

// ---------------------------------------------------------------- system

class FakeSystemInfo : public SystemInfo {
 public:
  std::optional<OsVersion> version = OsVersion{2, 6, 1, ""};  // Windows 7
  uint64_t now = 1000;
  // Milliseconds the clock moves on each time it is read.
  uint64_t tick_step = 0;
  uint32_t sleeps = 0;
  std::deque<uint32_t> random_numbers;  // served in order, then 0
  std::function<void()> on_sleep;
  // The ANSI code page: 1252 (no lead bytes), 932 (Shift-JIS: lead bytes
  // 0x81-0x9F and 0xE0-0xFC), or 936, 949, 950 (lead bytes 0x81-0xFE).
  int code_page = 1252;
  uint16_t ui_language = 0x0409;  // English (United States)

  std::optional<OsVersion> QueryVersion() override { return version; }
  uint64_t TickCount() override { return now += tick_step; }
  void Sleep(uint32_t milliseconds) override;
  uint32_t Random(uint32_t bound) override;
  bool IsLeadByte(uint8_t byte) override;
  uint32_t AnsiCodePage() override { return static_cast<uint32_t>(code_page); }
  uint16_t UserUILanguage() override { return ui_language; }
};

// ---------------------------------------------------------------- window

class FakeWizardWindow : public WizardWindow {
 public:
  explicit FakeWizardWindow(WizardEvents& events);
  WizardEvents& events;
  std::string caption = "Screen Saver Setup";
  std::map<Control, std::string> texts;
  std::map<Control, bool> visible;
  std::map<Control, bool> enabled;
  std::map<Control, bool> checked;
  std::optional<Control> focused;
  WizardPage page = kLicensePage;
  int progress = 0, progress_max = 100;
  std::vector<int> progress_log;
  int progress_repaints = 0;
  bool window_enabled = true;
  bool closed = false;
  bool hidden_for_exit = false;

  // Selects a radio button as a user would and reports the click.
  void ClickRadio(Control control);

  void SetCaption(const std::string& text) override { caption = text; }
  void SetText(Control control, const std::string& text) override { texts[control] = text; }
  std::string Text(Control control) override { return texts[control]; }
  void SetVisible(Control control, bool on) override { visible[control] = on; }
  void SetEnabled(Control control, bool on) override { enabled[control] = on; }
  bool IsChecked(Control control) override { return checked[control]; }
  void Focus(Control control) override { focused = control; }
  void ShowPage(WizardPage shown) override { page = shown; }
  void SetProgress(int position, int maximum) override;
  void RepaintProgress() override { ++progress_repaints; }
  void SetWindowEnabled(bool on) override { window_enabled = on; }
  void Close() override { closed = true; }
  void HideForExit() override { hidden_for_exit = true; }
};

class FakeApplication : public Application {
 public:
  std::string title;
  bool show_main_window = true;
  bool terminated = false;
  bool loop_ran = false;
  bool shown = false;  // the window was shown when the loop started
  int message_passes = 0;
  std::vector<bool> wait_cursor_log;
  // The last window created; it outlives the run so tests can look at it.
  FakeWizardWindow* window = nullptr;
  std::function<void()> on_process_messages;
  // What the user does while the message loop runs (for example click Next).
  std::function<void()> on_message_loop;

  void SetTitle(const std::string& text) override { title = text; }
  void SetShowMainWindow(bool show) override { show_main_window = show; }
  std::unique_ptr<WizardWindow> CreateWizardWindow(WizardEvents& events) override;
  void Terminate() override { terminated = true; }
  bool Terminated() override { return terminated; }
  void RunMessageLoop() override;
  void ProcessMessages() override;
  void SetWaitCursor(bool waiting) override { wait_cursor_log.push_back(waiting); }

 private:
  std::vector<std::unique_ptr<FakeWizardWindow>> windows_;
};

// ---------------------------------------------------------------- machine

class FakeMachine {
 public:
  FakeMachine();
  FakeFileSystem files;
  FakeRegistry registry;
  FakeShell shell{files};
  FakeDialogs dialogs;
  FakeSystemInfo system;
  FakeApplication app;
  Platform platform{files, registry, shell, dialogs, system, app};
};

}  // namespace scrsetup::testing
