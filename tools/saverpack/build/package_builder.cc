#include "saverpack/build/package_builder.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "package/check_block.h"
#include "package/crc32.h"
#include "package/package_reader.h"
#include "saverpack/build/catalogue.h"
#include "saverpack/host/host_file.h"
#include "saverpack/host/host_path.h"
#include "saverpack/build/execution_level.h"
#include "saverpack/build/language_tables.h"
#include "saverpack/build/shipped_stub.h"
#include "saverpack/build/signing.h"
#include "saverpack/host/temporary_output.h"

namespace saverpack {
namespace {

using scrsetup::SetupRecord;

Failure BadInput(std::string message) { return Failure{kExitBadInput, std::move(message)}; }

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

// The most a text file may hold to be converted; a larger one can still be
// stored as it is with --codepage none.
constexpr int64_t kMaxConvertedFileSize = int64_t{64} << 20;

std::string TooLong(std::string_view what, size_t length, size_t limit,
                    const PackageCodePage& code_page) {
  std::string in_code_page =
      code_page.number() ? " in code page " + std::to_string(*code_page.number()) : "";
  return std::string(what) + " is " + std::to_string(length) + " bytes long" + in_code_page +
         "; the record holds at most " + std::to_string(limit);
}

// A text stored in a char[N] field in the package's code page; `needs_nul`
// as for SetFieldText. A text over the limit is refused, never cut.
template <size_t N>
std::optional<Failure> StoreText(char (&field)[N], std::string_view text, bool needs_nul,
                                 std::string_view option, PackageCodePage& code_page) {
  std::string bytes;
  if (auto failure = code_page.EncodeText(text, option, bytes)) return failure;
  if (scrsetup::SetFieldText(field, bytes, needs_nul)) return std::nullopt;
  return BadInput(TooLong(option, bytes.size(), needs_nul ? N - 1 : N, code_page));
}

std::optional<Failure> StoreCounted(scrsetup::CountedString& field, std::string_view text,
                                    std::string_view option, PackageCodePage& code_page) {
  std::string bytes;
  if (auto failure = code_page.EncodeText(text, option, bytes)) return failure;
  if (scrsetup::SetCountedText(field, bytes)) return std::nullopt;
  return BadInput(TooLong(option, bytes.size(), scrsetup::CountedString::kCapacity, code_page));
}

// One input file, open, with the option that named it.
struct Input {
  std::string_view option;
  std::string path;
  std::unique_ptr<StdioFile> file;
  int64_t size = 0;

  // The block's bytes in the package's code page; nullopt when the file is
  // copied as it is.
  std::optional<std::string> converted;

  std::string Name() const { return std::string(option) + " " + Quoted(path); }
  int64_t PackagedSize() const {
    return converted ? static_cast<int64_t>(converted->size()) : size;
  }
};

std::optional<Failure> OpenInput(std::string_view option, const std::string& path, Input& input) {
  input.option = option;
  input.path = path;
  input.file = OpenForReading(path);
  if (!input.file) return BadInput(input.Name() + ": cannot open: " + SystemErrorText());
  input.size = input.file->Size();
  if (input.size < 0) {
    return BadInput(input.Name() + ": cannot read its size: " + SystemErrorText());
  }
  return std::nullopt;
}

// A stub must be the installer program itself, not a package built on it.
std::optional<Failure> CheckStub(Input& stub) {
  if (stub.size == 0) return BadInput(stub.Name() + ": is empty");
  if (stub.size < scrsetup::kSignatureSize) return std::nullopt;
  char tail[scrsetup::kSignatureSize];
  if (!scrsetup::ReadExactly(*stub.file, stub.size - scrsetup::kSignatureSize, tail,
                             scrsetup::kSignatureSize)) {
    return BadInput(stub.Name() + ": cannot read: " + SystemErrorText());
  }
  std::string_view ending(tail, sizeof(tail));
  if (ending == scrsetup::SetupSignature() || ending == scrsetup::UninstallerSignature()) {
    return BadInput(stub.Name() + ": is already a package (it ends in \"" + std::string(ending) +
                    "\"); give the installer program itself");
  }
  return std::nullopt;
}

// The package file as the parts go into it: keeps the CRC-32 of the bytes
// the file accepted since the last TakeCrc(), so the check block's CRCs are
// those of the bytes as written, without reading them again.
class CrcTrackingFile : public scrsetup::File {
 public:
  explicit CrcTrackingFile(scrsetup::File& target) : target_(target) {}

  int64_t Size() override { return target_.Size(); }
  int64_t Position() override { return target_.Position(); }
  bool Seek(int64_t offset) override { return target_.Seek(offset); }
  int64_t Read(void* buffer, int64_t count) override { return target_.Read(buffer, count); }
  int64_t Write(const void* data, int64_t count) override {
    const int64_t written = target_.Write(data, count);
    if (written > 0) crc_ = scrsetup::Crc32(crc_, data, static_cast<size_t>(written));
    return written;
  }

  uint32_t TakeCrc() { return std::exchange(crc_, 0u); }

 private:
  scrsetup::File& target_;
  uint32_t crc_ = 0;
};

// The package being written: the temporary output and its CRC tracking.
struct PackageOutput {
  TemporaryOutput& output;
  CrcTrackingFile file;
};

// Reads a text file whole and converts it into the package's code page.
std::optional<Failure> ConvertInput(Input& input, PackageCodePage& code_page) {
  if (input.size > kMaxConvertedFileSize) {
    return BadInput(input.Name() + ": is " + std::to_string(input.size) +
                    " bytes; a text to convert may hold at most 64 MiB (--codepage none "
                    "stores a file as it is)");
  }
  errno = 0;
  std::optional<std::string> contents = scrsetup::ReadBlock(*input.file, 0, input.size);
  if (!contents) return BadInput(input.Name() + ": cannot read: " + SystemErrorText());
  input.converted.emplace();
  return code_page.EncodeFile(*contents, input.Name(), *input.converted);
}

std::optional<Failure> WriteBytes(const void* data, int64_t count, PackageOutput& package) {
  errno = 0;
  if (package.file.Write(data, count) == count) return std::nullopt;
  return BadInput(package.output.WriteFailure());
}

std::optional<Failure> CopyInput(Input& input, PackageOutput& package) {
  if (input.converted) {
    return WriteBytes(input.converted->data(), static_cast<int64_t>(input.converted->size()),
                      package);
  }
  errno = 0;
  if (scrsetup::CopyRange(*input.file, 0, input.size, package.file)) return std::nullopt;
  if (errno == 0) {
    return BadInput(input.Name() + ": the file ended early; was it changed while being read?");
  }
  return BadInput(input.Name() + ": copying into the package failed: " + SystemErrorText());
}

// Each fact of the check block in the package's code page, checked the way
// the encoding will take it; a failure names the option.
std::optional<Failure> ComposeFacts(const BuildOptions& options, PackageCodePage& code_page,
                                    scrsetup::PackageFacts& facts) {
  const struct {
    std::string_view option;
    const std::string& text;
    std::string& bytes;
  } fields[] = {{"--version", options.display_version, facts.display_version},
                {"--publisher", options.publisher, facts.publisher},
                {"--help-link", options.help_link, facts.help_link}};
  for (const auto& field : fields) {
    if (auto failure = code_page.EncodeText(field.text, field.option, field.bytes)) return failure;
  }
  // The CRCs are not known yet; the texts alone decide whether the block can be made.
  std::string problem;
  if (!scrsetup::EncodeCheckBlock(scrsetup::CheckBlock{.facts = facts}, &problem)) {
    return BadInput(problem + "; a package's texts after its end signature may not hold \"" +
                    std::string(scrsetup::SetupSignature()) + "\" or \"" +
                    std::string(scrsetup::UninstallerSignature()) + "\"");
  }
  return std::nullopt;
}

bool HoldsEndSignature(std::string_view bytes) {
  return bytes.find(scrsetup::SetupSignature()) != std::string_view::npos ||
         bytes.find(scrsetup::UninstallerSignature()) != std::string_view::npos;
}

// The check block's bytes for the package just written, and the signature
// store after it.
std::optional<Failure> WriteCheckBlock(scrsetup::CheckBlock block, const std::string& store,
                                       PackageOutput& package) {
  block.store_size = static_cast<uint32_t>(store.size());
  block.store_crc = scrsetup::Crc32(0, store.data(), store.size());
  std::string problem;
  std::optional<std::string> bytes = scrsetup::EncodeCheckBlock(block, &problem);
  if (!bytes) return BadInput("the check block cannot be written: " + problem);
  *bytes += store;
  if (HoldsEndSignature(*bytes)) {
    // The installer would take it for its own end signature.
    return BadInput("--sign: the signatures hold an end signature; sign with another certificate");
  }
  return WriteBytes(bytes->data(), static_cast<int64_t>(bytes->size()), package);
}

// The signature store for the package written so far, which ends at
// `package_end`: the uninstallers it writes, signed by --sign.
std::optional<Failure> MakeStore(const BuildOptions& options, const PackageCodePage& code_page,
                                 const SetupRecord& record, int64_t package_end,
                                 TemporaryOutput& output, std::string& store) {
  errno = 0;
  if (!output.file().Flush()) return BadInput(output.WriteFailure());
  std::unique_ptr<StdioFile> written = OpenForReading(output.path());
  if (!written) {
    return BadInput("--sign: cannot read " + Quoted(output.path()) + " back: " + SystemErrorText());
  }
  return MakeSignatureStore(*options.sign_command, *written, package_end,
                            UninstallerRecords(record, code_page.number()), options.output, store);
}

// The catalogue language of the main table (the first --language entry);
// none when it is a file, which must then be written in the package's code
// page.
std::optional<Failure> ChooseLanguage(const BuildOptions& options,
                                      const std::vector<LanguageEntry>& entries,
                                      const CatalogueLanguage*& chosen) {
  const LanguageEntry& main = entries.front();
  if (!main.file.empty()) {
    if (!main.code_page || main.code_page == options.code_page) return std::nullopt;
    return Failure{kExitUsage, "--language " + main.spelling +
                                   ": the first table is written in the package's code page; "
                                   "give --codepage " + std::to_string(*main.code_page)};
  }
  chosen = main.catalogue;
  if (!options.code_page) {
    return Failure{kExitUsage, "--language " + main.spelling +
                                   " is a catalogue language and needs a code page to be "
                                   "written in; --codepage none takes only files"};
  }
  return std::nullopt;
}

// The catalogue language's table in the package's code page, into `input`.
std::optional<Failure> ConvertCatalogueLanguage(const CatalogueLanguage& language,
                                                PackageCodePage& code_page, Input& input) {
  input.converted.emplace();
  std::optional<Failure> failure =
      code_page.EncodeFile(language.table, "--language " + input.path, *input.converted);
  if (failure && language.code_page != *code_page.number()) {
    failure->message += " (the " + std::string(language.name) + " texts need code page " +
                        std::to_string(language.code_page) + ": give --codepage " +
                        std::to_string(language.code_page) + ")";
  }
  return failure;
}

// A user-scope package's stub, read whole, asks Windows for no elevation.
std::optional<Failure> RunStubAsInvoker(Input& stub) {
  errno = 0;
  std::optional<std::string> bytes = scrsetup::ReadBlock(*stub.file, 0, stub.size);
  if (!bytes) return BadInput(stub.Name() + ": cannot read: " + SystemErrorText());
  if (auto problem = RequestAsInvoker(*bytes)) {
    return BadInput(stub.Name() + ": cannot build a --scope user package on it: " + *problem);
  }
  stub.converted = std::move(*bytes);
  return std::nullopt;
}

// Opens the stub: --stub, or the one for --arch that ships with saverpack;
// for a user-scope package, changed to run without elevation.
std::optional<Failure> OpenStub(const BuildOptions& options, Input& stub) {
  std::string stub_path = options.stub;
  if (stub_path.empty()) {
    if (auto failure = FindShippedStub(options.arch, stub_path)) return failure;
  }
  if (auto failure = OpenInput("--stub", stub_path, stub)) return failure;
  if (auto failure = CheckStub(stub)) return failure;
  return options.scope == scrsetup::InstallScope::kUser ? RunStubAsInvoker(stub) : std::nullopt;
}

// The catalogue language's table, converted, as the language block.
std::optional<Failure> AddCatalogueLanguage(const CatalogueLanguage& language,
                                            PackageCodePage& code_page, std::vector<Input>& parts,
                                            PartSizes& sizes) {
  Input& input = parts.emplace_back();
  input.option = "--language";
  input.path = std::string(language.code);
  if (auto failure = ConvertCatalogueLanguage(language, code_page, input)) return failure;
  sizes.language = input.PackagedSize();
  return std::nullopt;
}

// The parts after the stub, in file order (the screensaver, then the blocks
// given), open, the blocks converted into the code page when there is one;
// their sizes as they go into the package.
std::optional<Failure> OpenParts(const BuildOptions& options, PackageCodePage& code_page,
                                 std::vector<Input>& parts, PartSizes& sizes) {
  Input& screensaver = parts.emplace_back();
  if (auto failure = OpenInput("--screensaver", options.screensaver, screensaver)) return failure;
  sizes.screensaver = screensaver.size;
  std::vector<LanguageEntry> languages;
  const CatalogueLanguage* catalogue_language = nullptr;
  if (!options.language.empty()) {
    if (auto failure = ReadLanguageEntries(options.language, languages)) return failure;
    if (auto failure = ChooseLanguage(options, languages, catalogue_language)) return failure;
  }
  const std::optional<std::string> language_file =
      catalogue_language || languages.empty() ? std::nullopt
                                              : std::optional(languages.front().file);
  struct Block {
    std::string_view option;
    const std::optional<std::string>& path;
    int64_t& size;
  } blocks[] = {{"--readme", options.readme, sizes.readme},
                {"--license", options.license, sizes.license},
                {"--language", language_file, sizes.language}};
  for (Block& block : blocks) {
    if (!block.path) continue;
    Input& input = parts.emplace_back();
    if (auto failure = OpenInput(block.option, *block.path, input)) return failure;
    if (code_page.number()) {
      if (auto failure = ConvertInput(input, code_page)) return failure;
    }
    if (block.option != "--language" && input.converted) {
      if (auto failure = CheckSharedText(*input.converted, input.Name(), languages, code_page)) {
        return failure;
      }
    }
    block.size = input.PackagedSize();
  }
  if (catalogue_language) {
    if (auto failure = AddCatalogueLanguage(*catalogue_language, code_page, parts, sizes)) {
      return failure;
    }
  }
  if (languages.size() < 2) return std::nullopt;
  // The further tables follow the main one inside the language block.
  Input& main_table = parts.back();
  std::string further;
  if (auto failure = ComposeFurtherTables(languages, main_table.converted.value_or(""), code_page,
                                          further)) {
    return failure;
  }
  main_table.converted->append(further);
  sizes.language = main_table.PackagedSize();
  return std::nullopt;
}

// Writes the package into a temporary file beside `output_path` and moves
// it over `output_path` once complete: the stub, the parts, the record, the
// end signature and `check` with the CRCs of the bytes as written. Closes
// the inputs first, as the output may be one of them.
std::optional<Failure> WritePackage(const BuildOptions& options, const PackageCodePage& code_page,
                                    Input& stub, std::vector<Input>& parts,
                                    const SetupRecord& record, scrsetup::CheckBlock check) {
  TemporaryOutput output(options.output, "-o " + Quoted(options.output));
  if (auto failure = output.Create()) return failure;
  PackageOutput package{output, CrcTrackingFile(output.file())};
  if (auto failure = CopyInput(stub, package)) return failure;
  package.file.TakeCrc();
  if (auto failure = CopyInput(parts[0], package)) return failure;
  check.payload_crc = package.file.TakeCrc();
  for (size_t i = 1; i < parts.size(); ++i) {
    if (auto failure = CopyInput(parts[i], package)) return failure;
  }
  if (auto failure = WriteBytes(&record, scrsetup::kRecordSize, package)) return failure;
  check.tail_crc = package.file.TakeCrc();
  check.covered_length = static_cast<uint32_t>(record.PayloadSize - scrsetup::kSignatureSize);
  if (auto failure =
          WriteBytes(scrsetup::SetupSignature().data(), scrsetup::kSignatureSize, package)) {
    return failure;
  }
  std::string store;
  if (options.sign_command) {
    const int64_t package_end = stub.size + record.PayloadSize;
    if (auto failure = MakeStore(options, code_page, record, package_end, output, store)) {
      return failure;
    }
  }
  if (auto failure = WriteCheckBlock(check, store, package)) return failure;
  // Closed before the move: Windows cannot replace a file that is open, and
  // the output may be one of the inputs.
  stub.file.reset();
  parts.clear();
  if (options.sign_command) {
    // Signed last, so that its signature follows the check block and store.
    if (auto failure = output.Close()) return failure;
    if (auto failure = SignPackage(*options.sign_command, output.path())) return failure;
  }
  return output.Commit();
}

}  // namespace

std::optional<Failure> ComposeRecord(const BuildOptions& options, PackageCodePage& code_page,
                                     SetupRecord& record) {
  if (options.title.empty()) {
    return BadInput("--title is empty; the installer needs a name to show");
  }
  // The name stored in the record, the same on every host.
  std::string file_name = FileNameOf(options.screensaver);
  if (file_name.empty()) {
    return BadInput("--screensaver " + Quoted(options.screensaver) + ": names no file");
  }
  std::string file_option = "--screensaver file name " + Quoted(file_name);
  std::optional<Failure> failure =
      StoreText(record.ScreensaverFile, file_name, true, file_option, code_page);
  if (!failure) failure = StoreText(record.Title, options.title, false, "--title", code_page);
  if (!failure)
    failure = StoreText(record.WebAddress, options.web_address, false, "--web", code_page);
  if (!failure) failure = StoreCounted(record.DefaultFolder, options.folder, "--folder", code_page);
  if (!failure) {
    failure = StoreCounted(record.DefaultSubfolder, options.subfolder, "--subfolder", code_page);
  }
  if (failure) return failure;
  record.AddUninstallEntry = options.add_uninstall_entry ? 1 : 0;
  record.CreateProgramGroup = options.create_program_group ? 1 : 0;
  record.CreateDesktopShortcut = options.create_desktop_shortcut ? 1 : 0;
  record.SkipFolderPage = options.skip_folder_page ? 1 : 0;
  record.LicenseMode = static_cast<uint8_t>(options.license_mode);
  if (scrsetup::LicenseModeEnabled(record) && !options.license) {
    return Failure{kExitUsage, "--license-mode " + std::to_string(options.license_mode) +
                                   " shows the licence page, but no --license file is given"};
  }
  return std::nullopt;
}

std::optional<Failure> SetPartSizes(const PartSizes& sizes, SetupRecord& record) {
  int64_t extras = sizes.readme + sizes.license + sizes.language;
  int64_t after_stub = sizes.screensaver + extras + scrsetup::kTailSize;
  if (after_stub > std::numeric_limits<int32_t>::max()) {
    return BadInput("the screensaver (" + std::to_string(sizes.screensaver) +
                    " bytes), the readme, licence and language blocks (" + std::to_string(extras) +
                    " bytes) and the 946-byte record and signature come to " +
                    std::to_string(after_stub) +
                    " bytes; a package must stay under 2 GiB (2147483648 bytes) after the stub");
  }
  record.PayloadSize = static_cast<int32_t>(after_stub);
  record.ExtrasSize = static_cast<int32_t>(extras);
  record.ReadmeSize = static_cast<int32_t>(sizes.readme);
  record.LicenseSize = static_cast<int32_t>(sizes.license);
  record.LanguageSize = static_cast<int32_t>(sizes.language);
  return std::nullopt;
}

std::optional<Failure> BuildPackage(const BuildOptions& options) {
  PackageCodePage code_page;
  if (auto failure = PackageCodePage::Open(options.code_page, code_page)) return failure;
  SetupRecord record = scrsetup::EmptyRecord();
  if (auto failure = ComposeRecord(options, code_page, record)) return failure;
  scrsetup::CheckBlock check;
  if (auto failure = ComposeFacts(options, code_page, check.facts)) return failure;
  check.scope = options.scope;

  Input stub;
  if (auto failure = OpenStub(options, stub)) return failure;
  std::vector<Input> parts;
  PartSizes sizes;
  if (auto failure = OpenParts(options, code_page, parts, sizes)) return failure;
  if (scrsetup::LicenseModeEnabled(record) && sizes.license == 0) {
    return BadInput("--license " + Quoted(*options.license) + ": is empty, but licence mode " +
                    std::to_string(options.license_mode) + " shows the licence page");
  }
  if (auto failure = SetPartSizes(sizes, record)) return failure;
  return WritePackage(options, code_page, stub, parts, record, check);
}

}  // namespace saverpack
