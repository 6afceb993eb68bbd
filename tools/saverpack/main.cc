// saverpack: builds and inspects Screensaver Setup packages.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/catalogue.h"
#include "saverpack/command_line.h"
#include "saverpack/host_program.h"
#include "saverpack/package_builder.h"
#include "saverpack/package_inspector.h"
#include "saverpack/report_format.h"
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

int Run(const saverpack::ParsedCommandLine& parsed) {
  using saverpack::Command;
  if (parsed.failure) return Fail(*parsed.failure);
  switch (parsed.command) {
    case Command::kHelp:
      return Print(saverpack::HelpText(parsed.help_topic));
    case Command::kVersion:
      return Print("saverpack " SCRSETUP_VERSION "\n");
    case Command::kBuild:
      if (auto failure = saverpack::BuildPackage(parsed.build)) return Fail(*failure);
      return 0;
    case Command::kInspect: {
      saverpack::PackageCodePage code_page;
      if (auto failure = saverpack::PackageCodePage::Open(parsed.inspect.code_page, code_page)) {
        return Fail(*failure);
      }
      saverpack::PackageReport report;
      if (auto failure = saverpack::InspectPackageFile(parsed.inspect.package, report)) {
        return Fail(*failure);
      }
      return Print(parsed.inspect.json ? saverpack::FormatReportJson(report, code_page)
                                       : saverpack::FormatReportText(report, code_page));
    }
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
