// saverpack: builds and inspects Screensaver Setup packages.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/build/catalogue.h"
#include "saverpack/command_line.h"
#include "saverpack/host/host_program.h"
#include "saverpack/build/package_builder.h"
#include "saverpack/build/ini_file.h"
#include "saverpack/inspect/package_inspector.h"
#include "saverpack/inspect/report_format.h"
#include "saverpack/winget/winget_manifest.h"
#include "scrsetup_version.h"

namespace {

int Fail(const saverpack::Failure& failure) {
  saverpack::WriteText(stderr, "saverpack: " + failure.message + "\n");
  return failure.exit_code;
}

// Prints `text` on stdout; a failure when it cannot be written completely.
int Print(const std::string& text) {
  if (!saverpack::WriteText(stdout, text)) {
    return Fail({saverpack::kExitBadInput, "cannot write to standard output"});
  }
  return 0;
}

// Builds from the command line, or from an INI file with the command
// line's options laid over it.
int Build(const saverpack::ParsedCommandLine& parsed) {
  saverpack::BuildOptions options = parsed.build;
  if (parsed.ini_file) {
    if (auto failure = saverpack::BuildOptionsFromIniFile(*parsed.ini_file,
                                                              parsed.build_settings, options)) {
      return Fail(*failure);
    }
  }
  if (auto failure = saverpack::BuildPackage(options)) return Fail(*failure);
  return 0;
}

// Prints the report; with --verify, then fails unless the check block matches.
int Inspect(const saverpack::InspectOptions& options) {
  saverpack::PackageCodePage code_page;
  if (auto failure = saverpack::PackageCodePage::Open(options.code_page, code_page)) {
    return Fail(*failure);
  }
  saverpack::PackageReport report;
  if (auto failure = saverpack::InspectPackageFile(options.package, report)) {
    return Fail(*failure);
  }
  if (int status = Print(options.json ? saverpack::FormatReportJson(report, code_page)
                                      : saverpack::FormatReportText(report, code_page))) {
    return status;
  }
  if (!options.verify) return 0;
  if (std::optional<std::string> problem = saverpack::VerifyFailure(report)) {
    return Fail({saverpack::kExitBadInput, "'" + options.package + "': " + *problem});
  }
  return 0;
}

int Run(const saverpack::ParsedCommandLine& parsed) {
  using saverpack::Command;
  if (parsed.failure) return Fail(*parsed.failure);
  switch (parsed.command) {
    case Command::kHelp:
      return Print(saverpack::HelpText(parsed.help_topic));
    case Command::kVersion:
      return Print("saverpack " SCRSETUP_VERSION "\n");
    case Command::kBuild:
      return Build(parsed);
    case Command::kInit:
      if (auto failure = saverpack::WriteIniFileTemplate(parsed.init_file)) {
        return Fail(*failure);
      }
      return 0;
    case Command::kInspect:
      return Inspect(parsed.inspect);
    case Command::kWinget:
      if (auto failure = saverpack::WriteWingetManifest(parsed.winget)) return Fail(*failure);
      return 0;
    case Command::kLanguages:
      return Print(saverpack::CatalogueListing());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> given = saverpack::ProgramArguments(argc, argv);
  std::vector<std::string_view> arguments(given.begin(), given.end());
  return Run(saverpack::ParseCommandLine(arguments));
}
