// Writes the harnesses' seed corpus: real packages made with the package
// builder (setup packages in their shapes, an uninstaller, bytes appended),
// language texts, command lines, folder fields and screensaver names.
//   fuzz_seed_corpus OUTPUT_FOLDER   writes OUTPUT_FOLDER/<harness>/<seed>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fake/package_builder.h"
#include "package/signature_store.h"

namespace scrsetup::testing {
namespace {

namespace fs = std::filesystem;

struct Seed {
  std::string name, bytes;
};

std::string ReadHostFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<Seed> Packages(const std::string& german) {
  PackageBuilder plain;
  PackageBuilder full;
  full.readme = "Aurora\r\nA screensaver of northern lights.\r\n";
  full.license = "Licence\nUse it as you like.\n";
  full.language = german;
  full.record.LicenseMode = 1;
  SetFieldText(full.record.WebAddress, "https://example.org", true);
  SetCountedText(full.record.DefaultFolder, "<Program Files>");
  SetCountedText(full.record.DefaultSubfolder, "Aurora\\");
  full.record.AddUninstallEntry = full.record.CreateProgramGroup = 1;
  full.record.CreateDesktopShortcut = 1;
  PackageBuilder skipping = full;
  skipping.license.clear();
  skipping.record.SkipFolderPage = 1;
  SetCountedText(skipping.record.DefaultFolder, " <Windows>\\System32 ");
  PackageBuilder long_name = plain;
  SetFieldText(long_name.record.ScreensaverFile, "Savers\\My Long Saver Name.scr", true);
  long_name.record.LicenseMode = 3;
  long_name.license = "Terms";
  PackageBuilder uninstaller = full;
  uninstaller.payload.clear();
  uninstaller.signature = UninstallerSignature();
  return {
      {"plain", plain.Bytes()},
      {"full", full.Bytes()},
      {"skip_folder_page", skipping.Bytes()},
      {"long_name", long_name.Bytes()},
      {"uninstaller", uninstaller.Bytes()},
      {"appended", plain.Bytes() + "appended certificate bytes"},
  };
}

std::vector<Seed> LanguageTexts(const std::string& german) {
  return {
      {"german", "Setup\n" + german},
      {"all_sections", "\nSetup\r\nNext=Weiter\r\nOther\rBack=Zur#13ck\r\n"},
      {"placeholder", "Setup\nSetup\r\nThere was an error installing %s. Installation is not "
                      "complete.=Fehler bei %s.\r\n%s has been successfully removed from your "
                      "computer.=%s %d\r\n"},
      {"nul", std::string("Setup\nSetup\r\nNext=Weiter") + '\0' + "Back=X"},
      {"several_tables", "Setup\nSetup\r\nNext=Weiter\r\nSetup main 0407 1252\r\n"
                         "Setup 0419 1251\r\nNext=Dalee\r\nSetup 0411 932\r\nNext=Tsugi\r\n"},
  };
}

std::vector<Seed> CommandLines() {
  return {
      {"wizard", "setup.exe"},
      {"silent", "\"C:\\Program Files\\setup.exe\" -silent \"C:\\My Savers\\\""},
      {"preview", "setup.exe \t-PreviewOnly"},
      {"delfile", "copy.exe -delfile \"C:\\x\\uninstall aurora.exe\" \"Setup\" \"Done\""},
      {"quotes", "s.exe \"\"\"\"-silent ab\"c d\"e \"unterminated"},
  };
}

std::vector<Seed> FolderFields() {
  auto fields = [](std::string folder, std::string subfolder) {
    return std::string(1, static_cast<char>(folder.size())) + folder + subfolder;
  };
  return {
      {"program_files", fields("<Program Files>", "Aurora")},
      {"windows", fields(" <Windows>\\ ", "\\System32\\")},
      {"plain", fields("D:\\Savers", "")},
      {"empty", fields("", "")},
  };
}

std::vector<Seed> ScreensaverNames() {
  return {
      {"short", "Aurora.scr"},
      {"long", "My Long Saver.scr"},
      {"folder", "Savers\\Sub:Dir\\Northern Lights.scr"},
      {"no_dot", "Northern-Lights"},
      {"long_folder", std::string(243, 'd') + "\\Saver1234.x"},
  };
}

std::vector<Seed> SignatureStores() {
  const std::string table = std::string("\x18\0\0\0\0\x02\x02\0", 8) + "PKCS#7 signed data.";
  auto entry = [&](uint32_t length, uint32_t crc) {
    return EncodeSignatureStore({{length, crc, 0x5A5A, std::string_view(table).substr(0, 24)}});
  };
  return {
      {"one", entry(1200, 0x12345678)},
      {"two", entry(1200, 0x12345678) + entry(1204, 0x9abcdef0)},
  };
}

void WriteSeeds(const fs::path& folder, const std::vector<Seed>& seeds) {
  fs::create_directories(folder);
  for (const Seed& seed : seeds) {
    std::ofstream(folder / seed.name, std::ios::binary) << seed.bytes;
  }
}

}  // namespace
}  // namespace scrsetup::testing

int main(int argc, char** argv) {
  using namespace scrsetup::testing;
  if (argc != 2) return 2;
  const fs::path out = argv[1];
  const std::string german = ReadHostFile(GERMAN_LANGUAGE_FILE);
  if (german.empty()) return 1;
  WriteSeeds(out / "package_loading", Packages(german));
  WriteSeeds(out / "package_reader", Packages(german));
  WriteSeeds(out / "language_table", LanguageTexts(german));
  WriteSeeds(out / "command_line", CommandLines());
  WriteSeeds(out / "folder_macros", FolderFields());
  WriteSeeds(out / "short_name", ScreensaverNames());
  WriteSeeds(out / "signature_store", SignatureStores());
  return 0;
}
