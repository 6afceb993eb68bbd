#include "fake/fake_machine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lang/text.h"

namespace scrsetup::testing {

namespace {

// Paths, registry keys and value names compare without regard to ASCII case.
std::string Fold(std::string_view text) { return AsciiLower(text); }

using LeadByteTest = std::function<bool(uint8_t)>;

// Splits a Windows path into its parts, resolving "." and ".." and runs of
// separators. The first part of an absolute path is its drive ("C:"). The
// path is read by characters: a double-byte character is never a separator.
std::vector<std::string> PathParts(const std::string& path, const LeadByteTest& is_lead_byte) {
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (size_t at = 0; at < path.size(); ++at) {
    const char c = path[at];
    if (is_lead_byte(static_cast<uint8_t>(c)) && at + 1 < path.size()) {
      part += c;
      part += path[++at];
    } else if (c == '\\' || c == '/') {
      flush();
    } else {
      part += c;
    }
  }
  flush();
  return parts;
}

std::string JoinParts(const std::vector<std::string>& parts) {
  std::string joined;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) joined += '\\';
    joined += parts[i];
  }
  return joined;
}

bool IsAbsolute(const std::string& path) { return path.size() >= 2 && path[1] == ':'; }

std::string ParentKey(const std::string& key, const LeadByteTest& is_lead_byte) {
  std::vector<std::string> parts = PathParts(key, is_lead_byte);
  if (parts.size() < 2) return std::string();
  parts.pop_back();
  return JoinParts(parts);
}

// Whether the last character of `path` is "\" (a double-byte character
// ending in the "\" byte is not).
bool EndsWithSeparator(const std::string& path, const LeadByteTest& is_lead_byte) {
  bool separator = false;
  for (size_t at = 0; at < path.size(); ++at) {
    separator = path[at] == '\\';
    if (is_lead_byte(static_cast<uint8_t>(path[at]))) ++at;
  }
  return separator;
}

class FakeFile : public File {
 public:
  FakeFile(std::shared_ptr<FakeFileEntry> entry, bool readable, bool writable, bool exclusive)
      : entry_(std::move(entry)), readable_(readable), writable_(writable), exclusive_(exclusive) {
    ++entry_->open_count;
    if (exclusive_) entry_->deny_sharing = true;
  }
  ~FakeFile() override {
    --entry_->open_count;
    if (exclusive_) entry_->deny_sharing = false;
  }
  int64_t Size() override { return static_cast<int64_t>(entry_->data.size()); }
  int64_t Position() override { return position_; }
  bool Seek(int64_t offset) override {
    if (offset < 0) return false;
    position_ = offset;
    return true;
  }
  int64_t Read(void* buffer, int64_t count) override {
    if (!readable_ || count < 0) return -1;
    if (entry_->fail_reads_from && position_ + count > *entry_->fail_reads_from) return -1;
    if (entry_->fail_reads_at && position_ == *entry_->fail_reads_at) return -1;
    int64_t size = Size();
    // Reading at the end finds the end; reading from past it means the
    // installer took an offset outside the file for one inside it.
    if (position_ > size) {
      ADD_FAILURE() << "read at offset " << position_ << " of a " << size << "-byte file";
    }
    int64_t available = position_ >= size ? 0 : std::min(count, size - position_);
    std::copy_n(entry_->data.data() + position_, available, static_cast<char*>(buffer));
    position_ += available;
    return entry_->overstate_reads ? available + 1 : available;
  }
  int64_t Write(const void* data, int64_t count) override {
    if (!writable_ || count < 0) return -1;
    int64_t accepted = count;
    if (entry_->write_capacity) {
      int64_t room = std::max<int64_t>(0, *entry_->write_capacity - Size());
      accepted = std::min(count, room);
    }
    if (entry_->disk_room) {
      // Only bytes past the end take room on the disk.
      int64_t growth = std::max<int64_t>(0, position_ + accepted - Size());
      int64_t taken = std::min(growth, std::max<int64_t>(0, *entry_->disk_room));
      accepted = std::max<int64_t>(0, accepted - (growth - taken));
      *entry_->disk_room -= taken;
    }
    if (position_ > Size()) entry_->data.resize(position_, '\0');
    entry_->data.replace(position_, std::min<int64_t>(accepted, Size() - position_),
                         static_cast<const char*>(data), accepted);
    position_ += accepted;
    return accepted;
  }

 private:
  std::shared_ptr<FakeFileEntry> entry_;
  int64_t position_ = 0;
  bool readable_, writable_, exclusive_;
};

}  // namespace

// ---------------------------------------------------------------- files

FakeFileSystem::FakeFileSystem() {
  AddFolder(temp_folder);
  AddFolder(windows_folder);
}

std::string FakeFileSystem::Absolute(const std::string& path) const {
  const std::string absolute = IsAbsolute(path) ? path : current_folder + "\\" + path;
  return JoinParts(PathParts(absolute, is_lead_byte));
}

std::string FakeFileSystem::Spelled(const std::string& path) const {
  std::string full = Absolute(path);
  for (const auto& [short_form, long_form] : short_names_) {
    const std::string folded = Fold(full);
    if (folded.compare(0, short_form.size(), short_form) == 0 &&
        (folded.size() == short_form.size() || folded[short_form.size()] == '\\')) {
      full = long_form + full.substr(short_form.size());
    }
  }
  return full;
}

std::string FakeFileSystem::Key(const std::string& path) const {
  if (path.empty()) return std::string();  // names nothing, as on Windows
  return Fold(Spelled(path));
}

void FakeFileSystem::AddShortName(const std::string& short_form, const std::string& long_form) {
  short_names_.emplace_back(Fold(JoinParts(PathParts(short_form, is_lead_byte))),
                            JoinParts(PathParts(long_form, is_lead_byte)));
}

bool FakeFileSystem::ParentExists(const std::string& key) const {
  std::string parent = ParentKey(key, is_lead_byte);
  return parent.empty() || folders_.count(parent) > 0;
}

void FakeFileSystem::AddFolder(const std::string& path) {
  std::vector<std::string> parts = PathParts(path, is_lead_byte);
  for (size_t n = 1; n <= parts.size(); ++n) {
    folders_.insert(Fold(JoinParts({parts.begin(), parts.begin() + n})));
  }
}

void FakeFileSystem::AddFile(const std::string& path, std::string data) {
  std::string key = Key(path);
  AddFolder(ParentKey(JoinParts(PathParts(path, is_lead_byte)), is_lead_byte));
  auto entry = std::make_shared<FakeFileEntry>();
  entry->data = std::move(data);
  files_[key] = entry;
  spelling_[key] = JoinParts(PathParts(path, is_lead_byte));
}

bool FakeFileSystem::HasFile(const std::string& path) const { return files_.count(Key(path)) > 0; }

bool FakeFileSystem::HasFolder(const std::string& path) const {
  return folders_.count(Key(path)) > 0;
}

const std::string& FakeFileSystem::Contents(const std::string& path) const {
  static const std::string kMissing;
  auto found = files_.find(Key(path));
  EXPECT_NE(found, files_.end()) << "no file " << path;
  return found == files_.end() ? kMissing : found->second->data;
}

FakeFileEntry& FakeFileSystem::Entry(const std::string& path) {
  auto found = files_.find(Key(path));
  if (found == files_.end()) {
    ADD_FAILURE() << "no file " << path;
    AddFile(path, "");
    found = files_.find(Key(path));
  }
  return *found->second;
}

std::vector<std::string> FakeFileSystem::AllFiles() const {
  std::vector<std::string> all;
  for (const auto& [key, entry] : files_) all.push_back(spelling_.at(key));
  return all;
}

std::unique_ptr<File> FakeFileSystem::OpenForReading(const std::string& path, ShareMode) {
  auto found = files_.find(Key(path));
  if (found == files_.end() || found->second->deny_sharing) return nullptr;
  return std::make_unique<FakeFile>(found->second, true, false, false);
}

std::unique_ptr<File> FakeFileSystem::OpenForUpdate(const std::string& path) {
  auto found = files_.find(Key(path));
  if (found == files_.end() || found->second->read_only || found->second->open_count > 0) {
    return nullptr;
  }
  return std::make_unique<FakeFile>(found->second, true, true, true);
}

bool FakeFileSystem::MayCreateFile(const std::string& key) const {
  return !refuse_create_.count(key) && !refuse_create_in_.count(ParentKey(key, is_lead_byte)) &&
         !folders_.count(key) && ParentExists(key);
}

std::shared_ptr<FakeFileEntry> FakeFileSystem::NewEntry(const std::string& key,
                                                        const std::string& path) {
  auto entry = std::make_shared<FakeFileEntry>();
  if (auto limit = write_limits_.find(ParentKey(key, is_lead_byte)); limit != write_limits_.end()) {
    entry->disk_room = limit->second;
  }
  files_[key] = entry;
  spelling_[key] = Absolute(path);
  return entry;
}

std::unique_ptr<File> FakeFileSystem::CreateForWriting(const std::string& path) {
  std::string key = Key(path);
  if (!MayCreateFile(key)) return nullptr;
  auto found = files_.find(key);
  if (found != files_.end()) {
    if (found->second->read_only || found->second->open_count > 0) return nullptr;
    if (found->second->disk_room) *found->second->disk_room += static_cast<int64_t>(found->second->data.size());
    found->second->data.clear();
    return std::make_unique<FakeFile>(found->second, false, true, true);
  }
  return std::make_unique<FakeFile>(NewEntry(key, path), false, true, true);
}

std::unique_ptr<File> FakeFileSystem::CreateNew(const std::string& path) {
  std::string key = Key(path);
  if (!MayCreateFile(key) || files_.count(key)) return nullptr;
  return std::make_unique<FakeFile>(NewEntry(key, path), false, true, true);
}

bool FakeFileSystem::MoveReplacing(const std::string& from, const std::string& to) {
  if (on_move) on_move(from, to);
  std::string from_key = Key(from), to_key = Key(to);
  auto source = files_.find(from_key);
  if (source == files_.end() || source->second->open_count > 0 || refuse_create_.count(to_key) ||
      folders_.count(to_key) || !ParentExists(to_key)) {
    return false;
  }
  if (auto target = files_.find(to_key); target != files_.end()) {
    if (target->second->read_only || target->second->open_count > 0) return false;
    if (target->second->disk_room) *target->second->disk_room += static_cast<int64_t>(target->second->data.size());
  }
  std::shared_ptr<FakeFileEntry> entry = source->second;
  files_.erase(source);
  spelling_.erase(from_key);
  files_[to_key] = entry;
  spelling_[to_key] = Absolute(to);
  return true;
}

bool FakeFileSystem::FileExists(const std::string& path) { return HasFile(path); }

bool FakeFileSystem::FolderExists(const std::string& path) { return HasFolder(path); }

bool FakeFileSystem::CanCreateIn(const std::string& folder) {
  const std::string key = Key(folder);
  return folders_.count(key) && !refuse_create_in_.count(key);
}

bool FakeFileSystem::MakeFolder(const std::string& path) {
  std::string key = Key(path);
  if (refuse_create_.count(key) || refuse_create_in_.count(ParentKey(key, is_lead_byte)) ||
      folders_.count(key) || files_.count(key) || !ParentExists(key)) {
    return false;
  }
  folders_.insert(key);
  return true;
}

bool FakeFileSystem::RemoveEmptyFolder(const std::string& path) {
  std::string key = Key(path);
  if (!folders_.count(key)) return false;
  std::string prefix = key + "\\";
  auto inside = [&](const std::string& other) { return other.rfind(prefix, 0) == 0; };
  if (std::any_of(files_.begin(), files_.end(), [&](const auto& f) { return inside(f.first); }) ||
      std::any_of(folders_.begin(), folders_.end(), inside)) {
    return false;
  }
  folders_.erase(key);
  return true;
}

bool FakeFileSystem::RemoveFile(const std::string& path) {
  auto found = files_.find(Key(path));
  if (found == files_.end() || found->second->read_only || found->second->open_count > 0) {
    return false;
  }
  if (found->second->disk_room) {
    *found->second->disk_room += static_cast<int64_t>(found->second->data.size());
  }
  spelling_.erase(found->first);
  files_.erase(found);
  return true;
}

bool FakeFileSystem::CopyFileReplacing(const std::string& from, const std::string& to) {
  copies.emplace_back(from, to);
  auto source = files_.find(Key(from));
  if (source == files_.end()) return false;
  std::string data = source->second->data;
  std::unique_ptr<File> target = CreateForWriting(to);
  return target && target->Write(data.data(), static_cast<int64_t>(data.size())) ==
                       static_cast<int64_t>(data.size());
}

bool FakeFileSystem::DeleteAtRestart(const std::string& path) {
  scheduled_deletions.push_back(path);
  return true;
}

std::string FakeFileSystem::FullPath(const std::string& path) {
  std::string full = Absolute(path);
  // As on Windows, a trailing "\" stays, and a drive root keeps its own.
  if (!path.empty() && (EndsWithSeparator(path, is_lead_byte) || full.size() == 2)) full += '\\';
  return full;
}

std::string FakeFileSystem::ShortPath(const std::string& path) {
  return short_path ? short_path(path) : path;
}

std::string FakeFileSystem::LongPath(const std::string& path) {
  if (!FileExists(path) && !FolderExists(path)) return path;
  std::string spelled = Spelled(path);
  if (!path.empty() && path.back() == '\\' && spelled.back() != '\\') spelled += '\\';
  return spelled;
}

// ---------------------------------------------------------------- registry

namespace {

class FakeKey : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, RegistryRoot root, std::string path)
      : registry_(registry), root_(root), path_(std::move(path)) {}

  ValueRead ReadString(const std::string& name, std::string* value) override {
    FakeRegistry::Key* key = registry_.Find(root_, path_);
    auto* entry = key ? Lookup(*key, name) : nullptr;
    if (!entry) return ValueRead::kMissing;
    if (entry->second.type != FakeValue::kString && entry->second.type != FakeValue::kExpandString) {
      return ValueRead::kWrongType;
    }
    *value = entry->second.data.substr(0, entry->second.data.find('\0'));
    return ValueRead::kString;
  }
  bool WriteString(const std::string& name, const std::string& value) override {
    return Write(name, FakeValue{FakeValue::kString, value, 0});
  }
  bool WriteDword(const std::string& name, uint32_t value) override {
    return Write(name, FakeValue{FakeValue::kDword, "", value});
  }
  std::vector<std::string> ValueNames() override { return registry_.ValueNames(root_, path_); }
  bool DeleteValue(const std::string& name) override {
    FakeRegistry::Key* key = registry_.Find(root_, path_);
    if (!key || Denied()) return false;
    auto& values = key->values;
    auto found = std::find_if(values.begin(), values.end(),
                              [&](const auto& v) { return Fold(v.first) == Fold(name); });
    if (found == values.end()) return false;
    values.erase(found);
    return true;
  }

 private:
  bool Denied() const {
    return root_ == RegistryRoot::kLocalMachine && registry_.deny_local_machine;
  }
  static std::pair<std::string, FakeValue>* Lookup(FakeRegistry::Key& key, const std::string& name) {
    for (auto& value : key.values) {
      if (Fold(value.first) == Fold(name)) return &value;
    }
    return nullptr;
  }
  bool Write(const std::string& name, FakeValue value) {
    FakeRegistry::Key* key = registry_.Find(root_, path_);
    if (!key || Denied()) return false;
    if (auto* existing = Lookup(*key, name)) {
      existing->second = std::move(value);
    } else {
      key->values.emplace_back(name, std::move(value));
    }
    return true;
  }

  FakeRegistry& registry_;
  RegistryRoot root_;
  std::string path_;
};

}  // namespace

std::string FakeRegistry::KeyName(RegistryRoot root, const std::string& path) const {
  std::string name = root == RegistryRoot::kLocalMachine ? "hklm" : "hkcu";
  for (const std::string& part : PathParts(path, is_lead_byte)) name += "\\" + Fold(part);
  return name;
}

FakeRegistry::Key* FakeRegistry::Find(RegistryRoot root, const std::string& path) {
  auto found = keys_.find(KeyName(root, path));
  return found == keys_.end() ? nullptr : &found->second;
}

void FakeRegistry::SetString(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& value) {
  SetValue(root, path, name, FakeValue{FakeValue::kString, value, 0});
}

void FakeRegistry::SetValue(RegistryRoot root, const std::string& path, const std::string& name,
                            FakeValue value) {
  bool denied = deny_local_machine;
  deny_local_machine = false;
  (void)Create(root, path)->DeleteValue(name);
  Find(root, path)->values.emplace_back(name, std::move(value));
  deny_local_machine = denied;
}

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& path) const {
  return keys_.count(KeyName(root, path)) > 0;
}

std::optional<FakeValue> FakeRegistry::Value(RegistryRoot root, const std::string& path,
                                             const std::string& name) const {
  auto key = keys_.find(KeyName(root, path));
  if (key == keys_.end()) return std::nullopt;
  for (const auto& value : key->second.values) {
    if (Fold(value.first) == Fold(name)) return value.second;
  }
  return std::nullopt;
}

std::vector<std::string> FakeRegistry::ValueNames(RegistryRoot root, const std::string& path) const {
  std::vector<std::string> names;
  auto key = keys_.find(KeyName(root, path));
  if (key != keys_.end()) {
    for (const auto& value : key->second.values) names.push_back(value.first);
  }
  return names;
}

std::unique_ptr<RegistryKey> FakeRegistry::Open(RegistryRoot root, const std::string& path) {
  if (!HasKey(root, path)) return nullptr;
  return std::make_unique<FakeKey>(*this, root, path);
}

std::unique_ptr<RegistryKey> FakeRegistry::Create(RegistryRoot root, const std::string& path) {
  std::string name = KeyName(root, path);
  if (!keys_.count(name)) {
    if (root == RegistryRoot::kLocalMachine && deny_local_machine) return nullptr;
    std::vector<std::string> parts = PathParts(path, is_lead_byte);
    for (size_t n = 0; n <= parts.size(); ++n) {
      keys_.try_emplace(KeyName(root, JoinParts({parts.begin(), parts.begin() + n})));
    }
  }
  return std::make_unique<FakeKey>(*this, root, path);
}

bool FakeRegistry::DeleteTree(RegistryRoot root, const std::string& path) {
  std::string name = KeyName(root, path);
  if (!keys_.count(name) || (root == RegistryRoot::kLocalMachine && deny_local_machine)) {
    return false;
  }
  std::string prefix = name + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    it = (it->first == name || it->first.rfind(prefix, 0) == 0) ? keys_.erase(it) : std::next(it);
  }
  return true;
}

// ---------------------------------------------------------------- shell

FakeShell::FakeShell(FakeFileSystem& files) : files_(files) {
  special_folders[SpecialFolder::kDesktop] = "C:\\Users\\Tester\\Desktop";
  special_folders[SpecialFolder::kPrograms] =
      "C:\\Users\\Tester\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  special_folders[SpecialFolder::kProgramFiles] = "C:\\Program Files";
  special_folders[SpecialFolder::kLocalAppData] = "C:\\Users\\Tester\\AppData\\Local";
  for (const auto& [id, path] : special_folders) files_.AddFolder(*path);
}

void FakeShell::Execute(const std::string& verb, const std::string& file,
                        const std::string& parameters, ShowCommand show, ShellOwner owner) {
  requests.push_back({verb, file, parameters, show, owner});
}

std::optional<std::string> FakeShell::SpecialFolderPath(SpecialFolder folder) {
  auto found = special_folders.find(folder);
  return found == special_folders.end() ? std::nullopt : found->second;
}

bool FakeShell::WriteShortcut(const std::string& link_path, const std::string& target) {
  if (fail_links) return false;
  std::unique_ptr<File> link = files_.CreateForWriting(link_path);
  if (!link) return false;
  std::string content = "[link] " + target;
  (void)link->Write(content.data(), static_cast<int64_t>(content.size()));
  link_targets[Fold(link_path)] = target;
  return true;
}

std::optional<std::string> FakeShell::BrowseForFolder(const std::string& folder,
                                                      const std::string& text) {
  browse_calls.emplace_back(folder, text);
  return browse_answer;
}

// ---------------------------------------------------------------- dialogs, system

MessageAnswer FakeDialogs::ShowMessage(const std::string& text, const std::string& caption,
                                       MessageButtons buttons, MessageIcon icon) {
  shown.push_back({text, caption, buttons, icon});
  if (on_show) on_show(shown.back());
  if (buttons == MessageButtons::kOk) return MessageAnswer::kOk;
  if (answers.empty()) return MessageAnswer::kYes;
  MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

void FakeSystemInfo::Sleep(uint32_t milliseconds) {
  now += milliseconds;
  ++sleeps;
  if (on_sleep) on_sleep();
}

uint32_t FakeSystemInfo::Random(uint32_t bound) {
  uint32_t value = 0;
  if (!random_numbers.empty()) {
    value = random_numbers.front();
    random_numbers.pop_front();
  }
  return bound == 0 ? 0 : value % bound;
}

bool FakeSystemInfo::IsLeadByte(uint8_t byte) {
  return IsLeadByteOfCodePage(static_cast<uint32_t>(code_page), byte);
}

// ---------------------------------------------------------------- window

FakeWizardWindow::FakeWizardWindow(WizardEvents& wizard_events) : events(wizard_events) {
  // The window as designed: Back hidden, Next disabled, "I do not accept" selected.
  visible[Control::btnBack] = false;
  enabled[Control::btnNext] = false;
  checked[Control::rbNotAccept] = true;
}

void FakeWizardWindow::ClickRadio(Control control) {
  checked[Control::rbAccept] = control == Control::rbAccept;
  checked[Control::rbNotAccept] = control == Control::rbNotAccept;
  events.rbAcceptClick();
}

void FakeWizardWindow::SetProgress(int position, int maximum) {
  progress = position;
  progress_max = maximum;
  progress_log.push_back(position);
}

namespace {

// What the program holds of a fake window: the window itself stays with the
// application, so tests can look at it after the run.
class WindowHandle : public WizardWindow {
 public:
  explicit WindowHandle(FakeWizardWindow& window) : window_(window) {}
  void SetCaption(const std::string& text) override { window_.SetCaption(text); }
  void SetText(Control control, const std::string& text) override { window_.SetText(control, text); }
  std::string Text(Control control) override { return window_.Text(control); }
  void SetVisible(Control control, bool on) override { window_.SetVisible(control, on); }
  void SetEnabled(Control control, bool on) override { window_.SetEnabled(control, on); }
  bool IsChecked(Control control) override { return window_.IsChecked(control); }
  void Focus(Control control) override { window_.Focus(control); }
  void ShowPage(WizardPage page) override { window_.ShowPage(page); }
  void SetProgress(int position, int maximum) override { window_.SetProgress(position, maximum); }
  void RepaintProgress() override { window_.RepaintProgress(); }
  void SetWindowEnabled(bool on) override { window_.SetWindowEnabled(on); }
  void Close() override { window_.Close(); }
  void HideForExit() override { window_.HideForExit(); }

 private:
  FakeWizardWindow& window_;
};

}  // namespace

std::unique_ptr<WizardWindow> FakeApplication::CreateWizardWindow(WizardEvents& events) {
  windows_.push_back(std::make_unique<FakeWizardWindow>(events));
  window = windows_.back().get();
  return std::make_unique<WindowHandle>(*window);
}

void FakeApplication::RunMessageLoop() {
  loop_ran = true;
  shown = show_main_window && !terminated;
  if (on_message_loop && !terminated) on_message_loop();
}

void FakeApplication::ProcessMessages() {
  ++message_passes;
  if (on_process_messages) on_process_messages();
}

FakeMachine::FakeMachine() {
  files.is_lead_byte = [this](uint8_t byte) { return system.IsLeadByte(byte); };
  registry.is_lead_byte = files.is_lead_byte;
}

}  // namespace scrsetup::testing
