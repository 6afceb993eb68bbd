#include "saverpack/build/signing.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "package/package_reader.h"
#include "package/short_name.h"
#include "package/signature_store.h"
#include "package/signed_file.h"
#include "platform/path_rules.h"
#include "platform/system_info.h"
#include "saverpack/host/host_file.h"
#include "saverpack/host/host_program.h"

namespace saverpack {
namespace {

using scrsetup::StoredSignature;

Failure BadInput(std::string message) { return Failure{kExitBadInput, std::move(message)}; }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The most a file to sign may hold: signing is checked with the file and
// its signed form in memory.
constexpr int64_t kMaxSignedFileSize = int64_t{512} << 20;

// The Windows a package is installed on, as far as the short-name rule
// sees it: only the lead bytes of the package's code page.
class CodePageSystem : public scrsetup::SystemInfo {
 public:
  explicit CodePageSystem(std::optional<int> code_page) : code_page_(code_page.value_or(0)) {}
  std::optional<scrsetup::OsVersion> QueryVersion() override { return std::nullopt; }
  uint64_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {}
  uint32_t Random(uint32_t) override { return 0; }
  bool IsLeadByte(uint8_t byte) override {
    return scrsetup::IsLeadByteOfCodePage(static_cast<uint32_t>(code_page_), byte);
  }
  uint32_t AnsiCodePage() override { return static_cast<uint32_t>(code_page_); }
  uint16_t UserUILanguage() override { return 0x0409; }

 private:
  int code_page_;
};

// A work file beside the output, removed with the object. Its name ends in
// ".exe", so a signing tool that goes by the name takes it for a program.
class WorkFile {
 public:
  explicit WorkFile(std::string path) : path_(std::move(path)) {}
  WorkFile(const WorkFile&) = delete;
  WorkFile& operator=(const WorkFile&) = delete;
  ~WorkFile() {
    if (!path_.empty()) RemoveFile(path_);
  }

  // Creates OUTPUT.signN.exe, N from 0 to 99, holding `bytes`.
  static std::optional<Failure> Create(const std::string& output, std::string_view bytes,
                                       std::unique_ptr<WorkFile>& made) {
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string path = output + ".sign" + std::to_string(attempt) + ".exe";
      std::unique_ptr<StdioFile> file = CreateNewFile(path);
      if (!file) {
        if (errno == EEXIST) continue;
        break;
      }
      made = std::make_unique<WorkFile>(path);
      const auto size = static_cast<int64_t>(bytes.size());
      if (file->Write(bytes.data(), size) != size || !file->Close()) break;
      return std::nullopt;
    }
    return BadInput("--sign: cannot write a file to sign beside " + Quoted(output) + ": " +
                    SystemErrorText());
  }

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::optional<Failure> ReadWholeFile(const std::string& path, std::string& bytes) {
  std::unique_ptr<StdioFile> file = OpenForReading(path);
  const int64_t size = file ? file->Size() : -1;
  if (size < 0 || size > kMaxSignedFileSize) {
    return BadInput("--sign: cannot read " + Quoted(path) +
                    (size > kMaxSignedFileSize ? ": it holds more than 512 MiB"
                                               : ": " + SystemErrorText()));
  }
  bytes.assign(static_cast<size_t>(size), '\0');
  if (!scrsetup::ReadExactly(*file, 0, bytes.data(), size)) {
    return BadInput("--sign: cannot read " + Quoted(path) + ": " + SystemErrorText());
  }
  return std::nullopt;
}

// A file that keeps what is written to it, for the uninstaller the core writes.
class MemoryFile : public scrsetup::File {
 public:
  int64_t Size() override { return static_cast<int64_t>(bytes.size()); }
  int64_t Position() override { return position_; }
  bool Seek(int64_t offset) override {
    if (offset < 0 || offset > Size()) return false;
    position_ = offset;
    return true;
  }
  int64_t Read(void*, int64_t) override { return -1; }
  int64_t Write(const void* data, int64_t count) override {
    bytes.replace(static_cast<size_t>(position_),
                  std::min(static_cast<size_t>(count), bytes.size() - static_cast<size_t>(position_)),
                  static_cast<const char*>(data), static_cast<size_t>(count));
    position_ += count;
    return count;
  }
  std::string bytes;

 private:
  int64_t position_ = 0;
};

// Signs `bytes` in `work`, a new work file, and takes what signing added;
// `signed_bytes` keeps the signed file, which the entry's table views.
std::optional<Failure> SignBytes(std::string_view command, std::string_view bytes,
                                 const std::string& output, std::string_view what,
                                 std::unique_ptr<WorkFile>& work, std::string& signed_bytes,
                                 StoredSignature& signature) {
  if (auto failure = WorkFile::Create(output, bytes, work)) return failure;
  if (auto failure = RunSignCommand(command, work->path())) return failure;
  if (auto failure = ReadWholeFile(work->path(), signed_bytes)) return failure;
  std::string problem;
  std::optional<StoredSignature> taken = scrsetup::TakeSignature(bytes, signed_bytes, &problem);
  if (!taken) {
    return BadInput("--sign: signing " + std::string(what) + " did more than add a signature: " +
                    problem);
  }
  signature = *taken;
  return std::nullopt;
}

}  // namespace

std::vector<scrsetup::SetupRecord> UninstallerRecords(const scrsetup::SetupRecord& record,
                                                      std::optional<int> code_page) {
  std::vector<scrsetup::SetupRecord> records{record};
  CodePageSystem system(code_page);
  scrsetup::SetupRecord after_rule = record;
  if (scrsetup::ApplyShortNameRule(scrsetup::PathRules(system), after_rule) &&
      std::memcmp(&after_rule, &record, sizeof(record)) != 0) {
    records.push_back(after_rule);
  }
  return records;
}

std::optional<Failure> RunSignCommand(std::string_view command, const std::string& path) {
  std::string line;
  const std::string quoted = ShellQuoted(path);
  for (size_t at = 0;;) {
    const size_t found = command.find("{file}", at);
    line += command.substr(at, found - at);
    if (found == std::string_view::npos) break;
    line += quoted;
    at = found + 6;
  }
  std::string output;
  const int status = RunShellCommand(line, output);
  if (status == 0) return std::nullopt;
  std::string message = "--sign: the command " +
                        (status < 0 ? std::string("could not be run")
                                    : "ended with status " + std::to_string(status)) +
                        ": " + line;
  if (!output.empty()) message += "\n" + output;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return BadInput(message);
}

std::optional<std::string> UninstallerBytes(scrsetup::File& package, int64_t package_end,
                                            const scrsetup::SetupRecord& record) {
  MemoryFile uninstaller;
  if (!scrsetup::WriteUninstallerPackage(package, package_end, record, uninstaller)) {
    return std::nullopt;
  }
  return std::move(uninstaller.bytes);
}

std::optional<Failure> MakeSignatureStore(std::string_view command, scrsetup::File& package,
                                          int64_t package_end,
                                          const std::vector<scrsetup::SetupRecord>& records,
                                          const std::string& output, std::string& store) {
  std::vector<std::string> signed_files(records.size());
  std::vector<StoredSignature> entries(records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    errno = 0;
    const std::optional<std::string> uninstaller =
        UninstallerBytes(package, package_end, records[i]);
    if (!uninstaller) {
      return BadInput("--sign: cannot read the package back to write its uninstaller: " +
                      SystemErrorText());
    }
    const std::string what = i == 0 ? "the uninstaller" : "the uninstaller with the short name";
    std::unique_ptr<WorkFile> work;
    if (auto failure =
            SignBytes(command, *uninstaller, output, what, work, signed_files[i], entries[i])) {
      return failure;
    }
  }
  store = scrsetup::EncodeSignatureStore(entries);
  if (static_cast<int64_t>(store.size()) > scrsetup::kMaxSignatureStoreSize) {
    return BadInput("--sign: the signatures take " + std::to_string(store.size()) +
                    " bytes; a package carries at most 1 MiB of them");
  }
  return std::nullopt;
}

std::optional<Failure> SignPackage(std::string_view command, const std::string& path) {
  std::string bytes;
  if (auto failure = ReadWholeFile(path, bytes)) return failure;
  std::unique_ptr<WorkFile> work;
  std::string signed_bytes;
  StoredSignature signature;
  if (auto failure =
          SignBytes(command, bytes, path, "the package", work, signed_bytes, signature)) {
    return failure;
  }
  if (!MoveFileReplacing(work->path(), path)) {
    return BadInput("--sign: cannot replace " + Quoted(path) + " with its signed form: " +
                    SystemErrorText());
  }
  return std::nullopt;
}

}  // namespace saverpack
