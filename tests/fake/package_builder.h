// Builds package bytes in memory for tests: a stub, a payload, the three
// text blocks, a record and an end signature, laid out as the installer
// expects them.
#pragma once

#include <string>
#include <string_view>

#include "package/check_block.h"
#include "package/crc32.h"
#include "package/setup_record.h"

namespace scrsetup::testing {

struct PackageBuilder {
  std::string stub = "MZ-stub-bytes";
  std::string payload = "screensaver-payload";
  std::string readme, license, language;
  SetupRecord record = EmptyRecord();
  std::string_view signature = SetupSignature();
  InstallScope scope = InstallScope::kMachine;  // written into the check block

  PackageBuilder() {
    SetFieldText(record.ScreensaverFile, "Aurora.scr", true);
    SetFieldText(record.Title, "Aurora", true);
  }

  // The record with its sizes filled in from the parts.
  SetupRecord FinalRecord() const {
    SetupRecord final_record = record;
    final_record.ReadmeSize = static_cast<int32_t>(readme.size());
    final_record.LicenseSize = static_cast<int32_t>(license.size());
    final_record.LanguageSize = static_cast<int32_t>(language.size());
    final_record.ExtrasSize = static_cast<int32_t>(readme.size() + license.size() + language.size());
    final_record.PayloadSize =
        static_cast<int32_t>(payload.size() + final_record.ExtrasSize + kTailSize);
    return final_record;
  }

  // The package with the record exactly as given (sizes not filled in).
  std::string BytesWithRecord(const SetupRecord& tail_record) const {
    std::string bytes = stub + payload + readme + license + language;
    bytes.append(reinterpret_cast<const char*>(&tail_record), sizeof(tail_record));
    bytes.append(signature);
    return bytes;
  }

  std::string Bytes() const { return BytesWithRecord(FinalRecord()); }

  // The check block the authoring tool writes after the end signature.
  std::string CheckBlockBytes(const PackageFacts& facts = {}) const {
    const SetupRecord final_record = FinalRecord();
    std::string tail = readme + license + language;
    tail.append(reinterpret_cast<const char*>(&final_record), sizeof(final_record));
    CheckBlock block{static_cast<uint32_t>(final_record.PayloadSize - kSignatureSize),
                     Crc32(0, payload.data(), payload.size()), Crc32(0, tail.data(), tail.size()),
                     facts, scope};
    return EncodeCheckBlock(block, nullptr).value();
  }

  // The package followed by its check block.
  std::string CheckedBytes(const PackageFacts& facts = {}) const {
    return Bytes() + CheckBlockBytes(facts);
  }

  // The uninstaller an installation writes from this package holding
  // `held` as its record: the Stub (its header has no signature fields to
  // clear), the three blocks, the record and "ScUnin.sig".
  std::string UninstallerBytes(const SetupRecord& held) const {
    std::string bytes = stub + readme + license + language;
    bytes.append(reinterpret_cast<const char*>(&held), sizeof(held));
    return bytes + "ScUnin.sig";
  }
  std::string UninstallerBytes() const { return UninstallerBytes(FinalRecord()); }

  // Sets the registrations the record asks for: bit 0 the uninstall entry,
  // bit 1 the program group, bit 2 the desktop shortcut.
  void SetRegistrations(int flags) {
    record.AddUninstallEntry = flags & 1;
    record.CreateProgramGroup = (flags >> 1) & 1;
    record.CreateDesktopShortcut = (flags >> 2) & 1;
  }
};

// The packages the tests share.

// A small package with the registrations of `flags` (all three unless
// told) and, unless told, the readme "Read me".
inline PackageBuilder RegisteringPackage(int flags = 7, bool with_readme = true) {
  PackageBuilder package;
  if (with_readme) package.readme = "Read me";
  package.SetRegistrations(flags);
  return package;
}

// A screensaver of 250,000 bytes (three copy chunks), a readme, an English
// language table and every registration; no licence page.
inline PackageBuilder ThreeChunkPackage() {
  PackageBuilder package = RegisteringPackage();
  package.payload = std::string(250000, 'p');
  package.readme = "Read me\r\nplease";
  package.language = "Setup\r\nBack=Back\r\n";
  return package;
}

// Every optional part in use, the payload small: readme, licence page, a
// German language table (the uninstaller is "entfernen Aurora.exe"), web
// link, default folder and every registration.
inline PackageBuilder EveryPartPackage() {
  PackageBuilder package = RegisteringPackage();
  package.readme = "Aurora\r\nNorthern lights on your screen.\r\n";
  package.license = "Licence\nUse it as you like.\n";
  package.language = "Setup\r\nNext=Weiter\r\nCancel=Abbrechen\r\nUninstall=Entfernen\r\n";
  package.record.LicenseMode = 1;
  SetFieldText(package.record.WebAddress, "https://example.org", true);
  SetCountedText(package.record.DefaultFolder, "<Program Files>");
  SetCountedText(package.record.DefaultSubfolder, "Aurora");
  return package;
}

}  // namespace scrsetup::testing
