#include "saverpack/winget/winget_manifest.h"

#include <cerrno>
#include <memory>
#include <vector>

#include "package/package_reader.h"
#include "package/pe_header.h"
#include "saverpack/host/host_file.h"
#include "saverpack/host/host_path.h"
#include "saverpack/text/package_code_page.h"
#include "saverpack/inspect/package_inspector.h"
#include "saverpack/inspect/report_format.h"
#include "saverpack/winget/sha256.h"
#include "saverpack/host/temporary_output.h"
#include "saverpack/text/unicode_text.h"

namespace saverpack {
namespace {

constexpr std::string_view kManifestVersion = "1.10.0";
constexpr std::string_view kLocale = "en-US";
// Characters no PackageIdentifier part and no PackageVersion may hold.
constexpr std::u32string_view kForbidden = U"\\/:*?\"<>|";

// A YAML double-quoted scalar: JSON's string escapes are YAML's too.
std::string Quoted(std::string_view text) { return JsonString(text); }

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7f; }

bool HoldsForbidden(std::u32string_view text) {
  for (char32_t c : text) {
    if (IsControl(c) || kForbidden.find(c) != std::u32string_view::npos) return true;
  }
  return false;
}

bool HoldsControl(std::u32string_view text) {
  for (char32_t c : text) {
    if (IsControl(c)) return true;
  }
  return false;
}

// PUBLISHER.NAME: two to eight parts of 1 to 32 characters, at most 128 in
// all, without spaces or the characters above.
bool IsPackageIdentifier(std::u32string_view id) {
  if (id.empty() || id.size() > 128) return false;
  int parts = 0;
  for (size_t start = 0; start <= id.size(); ++parts) {
    size_t dot = id.find(U'.', start);
    if (dot == std::u32string_view::npos) dot = id.size();
    std::u32string_view part = id.substr(start, dot - start);
    if (part.empty() || part.size() > 32 || HoldsForbidden(part)) return false;
    for (char32_t c : part) {
      if (c == U' ' || c == U'\t' || c == 0xa0 || c == 0x3000) return false;
    }
    start = dot + 1;
  }
  return parts >= 2 && parts <= 8;
}

bool IsDownloadUrl(std::string_view url) {
  std::string scheme;
  for (char c : url.substr(0, url.find("://"))) scheme += static_cast<char>(c | 0x20);
  const size_t rest = url.find("://");
  return (scheme == "http" || scheme == "https") && rest != std::string_view::npos &&
         url.size() > rest + 3 && url.size() <= 2048 && !HoldsControl(Utf8Characters(url));
}

// A failure when `text` has fewer than `least` or more than `most` characters.
std::optional<Failure> CheckLength(std::string_view what, std::string_view text, size_t least,
                                   size_t most, int exit_code) {
  const std::u32string characters = Utf8Characters(text);
  if (characters.size() >= least && characters.size() <= most && !HoldsControl(characters)) {
    return std::nullopt;
  }
  return Failure{exit_code, std::string(what) + " '" + std::string(text) + "' must be " +
                                std::to_string(least) + " to " + std::to_string(most) +
                                " characters without control characters for winget"};
}

std::string Header(std::string_view kind, const WingetFacts& facts) {
  return "# " + std::string(kind) + " manifest of " + facts.identifier + " " + facts.version +
         ", written by saverpack.\n"
         "# yaml-language-server: $schema=https://aka.ms/winget-manifest." +
         std::string(kind) + "." + std::string(kManifestVersion) + ".schema.json\n\n";
}

std::string Footer(std::string_view kind) {
  return "ManifestType: " + std::string(kind) + "\nManifestVersion: " +
         std::string(kManifestVersion) + "\n";
}

std::string Identity(const WingetFacts& facts) {
  return "PackageIdentifier: " + Quoted(facts.identifier) + "\nPackageVersion: " +
         Quoted(facts.version) + "\n";
}

std::string InstallerText(const WingetFacts& facts) {
  // winget appends InstallLocation to the Silent (or SilentWithProgress)
  // switch, giving `-silent "FOLDER"`, the installer's silent run into
  // FOLDER; quoted, a folder with spaces stays one argument.
  //
  // Exit code 1 is a package the installer cannot read. winget has
  // checked the file's SHA-256 before running it, so the file is as
  // published and broken as such: a new download cannot mend it, only its
  // publisher can (contactSupport). Exit code 2 is a destination that
  // cannot take the screensaver (folder not creatable, not writable, copy
  // failure); no response names that, and a particular one (diskFull,
  // blockedByPolicy) would send the user after the wrong cause, so it is
  // the installer's own error (custom), as the package's documentation
  // describes it.
  return Header("installer", facts) + Identity(facts) +
         "Installers:\n"
         "  - Architecture: " + facts.architecture + "\n"
         "    InstallerUrl: " + Quoted(facts.url) + "\n"
         "    InstallerSha256: " + facts.sha256 + "\n"
         "    InstallerType: exe\n"
         "    Scope: " + facts.scope + "\n" +
         // A machine-scope installer asks for elevation itself where the
         // user may elevate; a user-scope one never does.
         (facts.scope == scrsetup::kMachineScopeText ? "    ElevationRequirement: elevatesSelf\n"
                                                     : "") +
         // The uninstall entry's key name, under which winget finds the
         // installed screensaver; a new version installs over the old.
         "    ProductCode: " + Quoted(facts.name) + "\n"
         "    UpgradeBehavior: install\n"
         "    InstallerSwitches:\n"
         "      Silent: \"-silent\"\n"
         "      SilentWithProgress: \"-silent\"\n"
         "      InstallLocation: \"\\\"<INSTALLPATH>\\\"\"\n"
         "    ExpectedReturnCodes:\n"
         "      # 1: the package is damaged as published; only its publisher can mend it.\n"
         "      - InstallerReturnCode: 1\n"
         "        ReturnResponse: contactSupport\n"
         "      # 2: the destination could not take the screensaver (folder, access,\n"
         "      # copy); no response names that, so it is the installer's own error.\n"
         "      - InstallerReturnCode: 2\n"
         "        ReturnResponse: custom\n"
         "    AppsAndFeaturesEntries:\n"
         "      - DisplayName: " + Quoted(facts.name) + "\n"
         "        Publisher: " + Quoted(facts.publisher) + "\n"
         "        DisplayVersion: " + Quoted(facts.version) + "\n"
         "        ProductCode: " + Quoted(facts.name) + "\n" +
         Footer("installer");
}

// The package's record and check-block texts in UTF-8; a failure for a
// byte the code page does not define.
std::optional<Failure> DecodedText(std::string_view what, std::string_view bytes,
                                   PackageCodePage& code_page, std::string& text) {
  const std::u32string characters = code_page.Decode(bytes);
  for (char32_t c : characters) {
    if (MarkedByte(c)) {
      return Failure{kExitBadInput, "the package's " + std::string(what) +
                                        " holds a byte that is no character in its code page "
                                        "(give --codepage)"};
    }
  }
  text = Utf8(characters);
  return std::nullopt;
}

// The SHA-256 of the whole file, read once through a bounded buffer.
std::optional<std::string> FileSha256(StdioFile& file) {
  if (!file.Seek(0)) return std::nullopt;
  std::vector<char> buffer(1 << 20);
  Sha256 sha;
  for (;;) {
    const int64_t got = file.Read(buffer.data(), static_cast<int64_t>(buffer.size()));
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    sha.Update(buffer.data(), static_cast<size_t>(got));
  }
  return HexDigits(sha.Finish());
}

// "x86" or "x64" from the stub's PE header.
std::optional<Failure> StubArchitecture(StdioFile& file, const std::string& name,
                                        std::string& architecture) {
  unsigned char header[scrsetup::kPeHeaderSpan];
  const int64_t size = std::min<int64_t>(file.Size(), sizeof(header));
  std::optional<uint16_t> machine;
  if (size > 0 && scrsetup::ReadExactly(file, 0, header, size)) {
    machine = scrsetup::PeMachine(header, static_cast<size_t>(size));
  }
  if (machine == scrsetup::kPeMachineI386) {
    architecture = "x86";
  } else if (machine == scrsetup::kPeMachineAmd64) {
    architecture = "x64";
  } else {
    return Failure{kExitBadInput, "'" + name + "': its stub is not an x86 or x64 Windows program"};
  }
  return std::nullopt;
}

// The facts the package gives about itself.
std::optional<Failure> ReadPackageFacts(const WingetOptions& options, WingetFacts& facts) {
  const std::string quoted = "'" + options.package + "'";
  std::unique_ptr<StdioFile> file = OpenForReading(options.package);
  if (!file) return Failure{kExitBadInput, quoted + ": cannot open: " + SystemErrorText()};
  PackageReport report;
  if (auto failure = InspectPackage(*file, options.package, report)) return failure;
  if (report.kind != scrsetup::PackageKind::kSetup) {
    return Failure{kExitBadInput, quoted + ": is an uninstaller, not a setup package"};
  }
  if (!report.problems.empty()) {
    return Failure{kExitBadInput, quoted + ": is damaged: " + report.problems.front()};
  }
  if (report.check.state != scrsetup::CheckBlockState::kPresent ||
      report.check.block.facts.display_version.empty() ||
      report.check.block.facts.publisher.empty()) {
    return Failure{kExitBadInput,
                   quoted + ": carries no version or no publisher, which winget needs; build it "
                            "with --version and --publisher"};
  }
  PackageCodePage code_page;
  if (auto failure = PackageCodePage::Open(options.code_page, code_page)) return failure;
  const scrsetup::PackageFacts& own = report.check.block.facts;
  if (auto failure = DecodedText("version", own.display_version, code_page, facts.version)) {
    return failure;
  }
  if (auto failure = DecodedText("publisher", own.publisher, code_page, facts.publisher)) {
    return failure;
  }
  if (auto failure = DecodedText("title", scrsetup::FieldText(report.record.Title), code_page,
                                 facts.name)) {
    return failure;
  }
  facts.scope = scrsetup::ScopeText(report.check.block.scope);
  if (auto failure = StubArchitecture(*file, options.package, facts.architecture)) return failure;
  errno = 0;
  std::optional<std::string> sha256 = FileSha256(*file);
  if (!sha256) return Failure{kExitBadInput, quoted + ": cannot read: " + SystemErrorText()};
  facts.sha256 = *sha256;
  return std::nullopt;
}

}  // namespace

std::vector<ManifestFile> WingetManifestFiles(const WingetFacts& facts) {
  std::vector<ManifestFile> files;
  files.push_back({facts.identifier + ".yaml",
                   Header("version", facts) + Identity(facts) + "DefaultLocale: " +
                       std::string(kLocale) + "\n" + Footer("version")});
  files.push_back({facts.identifier + ".locale." + std::string(kLocale) + ".yaml",
                   Header("defaultLocale", facts) + Identity(facts) + "PackageLocale: " +
                       std::string(kLocale) + "\nPublisher: " + Quoted(facts.publisher) +
                       "\nPackageName: " + Quoted(facts.name) + "\nLicense: " +
                       Quoted(facts.license) + "\nShortDescription: " +
                       Quoted(facts.description) + "\n" + Footer("defaultLocale")});
  files.push_back({facts.identifier + ".installer.yaml", InstallerText(facts)});
  return files;
}

std::optional<Failure> CheckWingetFacts(const WingetFacts& facts) {
  if (!IsPackageIdentifier(Utf8Characters(facts.identifier))) {
    return Failure{kExitUsage,
                   "winget: --id '" + facts.identifier +
                       "' is no package identifier: two to eight parts joined by \".\" "
                       "(Publisher.Name), each 1 to 32 characters without spaces or "
                       "\\ / : * ? \" < > |"};
  }
  if (!IsDownloadUrl(facts.url)) {
    return Failure{kExitUsage, "winget: --url '" + facts.url +
                                   "' is no http:// or https:// address of at most 2048 bytes"};
  }
  if (auto failure = CheckLength("winget: --license", facts.license, 3, 512, kExitUsage)) {
    return failure;
  }
  if (auto failure =
          CheckLength("winget: --description", facts.description, 3, 256, kExitUsage)) {
    return failure;
  }
  const std::u32string version = Utf8Characters(facts.version);
  if (version.size() > 128 || HoldsForbidden(version)) {
    return Failure{kExitBadInput, "the package's version '" + facts.version +
                                      "' cannot be a winget PackageVersion: at most 128 "
                                      "characters, none of \\ / : * ? \" < > |"};
  }
  if (auto failure = CheckLength("the package's publisher", facts.publisher, 2, 256,
                                 kExitBadInput)) {
    return failure;
  }
  return CheckLength("the package's title", facts.name, 2, 256, kExitBadInput);
}

std::optional<Failure> WriteWingetManifest(const WingetOptions& options) {
  WingetFacts facts;
  facts.identifier = options.identifier;
  facts.url = options.url;
  facts.license = options.license;
  if (auto failure = ReadPackageFacts(options, facts)) return failure;
  facts.description =
      options.description.empty() ? "The " + facts.name + " screensaver." : options.description;
  if (auto failure = CheckWingetFacts(facts)) return failure;
  for (const ManifestFile& manifest : WingetManifestFiles(facts)) {
    const std::string path = JoinPath(options.folder, manifest.name);
    TemporaryOutput output(path, "'" + path + "'");
    if (auto failure = output.Create()) return failure;
    errno = 0;
    if (output.file().Write(manifest.text.data(), static_cast<int64_t>(manifest.text.size())) !=
        static_cast<int64_t>(manifest.text.size())) {
      return Failure{kExitBadInput, output.WriteFailure()};
    }
    if (auto failure = output.Commit()) return failure;
  }
  return std::nullopt;
}

}  // namespace saverpack
