#include "saverpack/manual_page.h"

#include "saverpack/command_line.h"

namespace saverpack {
namespace {

// Where an option line's description starts (BuildOptionsHelp's column).
constexpr size_t kDescriptionColumn = 26;

// `text` as roff input: a backslash and a minus sign stay what they are,
// and a line never starts with a control character.
std::string Escaped(std::string_view text) {
  std::string escaped = text.starts_with('.') || text.starts_with('\'') ? "\\&" : "";
  for (char c : text) {
    if (c == '\\') {
      escaped += "\\e";
    } else if (c == '-') {
      escaped += "\\-";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

bool IsOptionLine(std::string_view line) { return line.starts_with("  -"); }

bool IsContinuationLine(std::string_view line) {
  return line.size() > kDescriptionColumn &&
         line.find_first_not_of(' ') == kDescriptionColumn;
}

// Help text in roff: paragraphs apart, option lines as tagged paragraphs
// with the option in bold.
std::string HelpInRoff(std::string_view help) {
  std::string roff;
  bool paragraph_due = false;
  for (size_t start = 0; start < help.size();) {
    size_t end = help.find('\n', start);
    if (end == std::string_view::npos) end = help.size();
    std::string_view line = help.substr(start, end - start);
    start = end + 1;
    if (line.empty()) {
      paragraph_due = !roff.empty();
    } else if (IsOptionLine(line)) {
      std::string_view option = line.substr(2, kDescriptionColumn - 2);
      option = option.substr(0, option.find_last_not_of(' ') + 1);
      roff += ".TP\n\\fB" + Escaped(option) + "\\fR\n";
      if (line.size() > kDescriptionColumn) roff += Escaped(line.substr(kDescriptionColumn)) + "\n";
      paragraph_due = false;
    } else if (IsContinuationLine(line)) {
      roff += Escaped(line.substr(kDescriptionColumn)) + "\n";
    } else {
      if (paragraph_due) roff += ".PP\n";
      roff += Escaped(line) + "\n";
      paragraph_due = false;
    }
  }
  return roff;
}

std::string_view SectionName(Command command) {
  switch (command) {
    case Command::kBuild:
      return "BUILD";
    case Command::kInit:
      return "INIT";
    case Command::kInspect:
      return "INSPECT";
    case Command::kWinget:
      return "WINGET";
    default:
      return "LANGUAGES";
  }
}

}  // namespace

std::string ManualPage(std::string_view version) {
  std::string page = ".TH SAVERPACK 1 \"\" \"saverpack " + std::string(version) +
                     "\" \"User Commands\"\n"
                     ".SH NAME\n"
                     "saverpack \\- builds and inspects Screensaver Setup packages\n"
                     ".SH SYNOPSIS\n"
                     ".nf\n";
  std::string_view usage = UsageLines();
  usage.remove_prefix(usage.find('\n') + 1);  // "Usage:"
  for (size_t start = 0; start < usage.size();) {
    const size_t end = usage.find('\n', start);
    std::string_view line = usage.substr(start, end - start);
    page += Escaped(line.substr(line.find_first_not_of(' '))) + "\n";
    start = end + 1;
  }
  page += ".fi\n";
  for (Command command : kCommands) {
    page += ".SH " + std::string(SectionName(command)) + "\n" + HelpInRoff(CommandHelp(command));
  }
  page += ".SH \"EXIT STATUS\"\n" + HelpInRoff(ExitStatusHelp());
  return page;
}

}  // namespace saverpack
