// What the installation and the uninstallation work with: the machine, the
// run flags, the package's language table and record, where the package
// ends in the running file, and its check block (a setup package's; an
// uninstaller has none). Owned by the wizard window for the whole run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/language_table.h"
#include "package/check_block.h"
#include "package/setup_record.h"
#include "platform/path_rules.h"
#include "platform/platform.h"
#include "platform/run_flags.h"

namespace scrsetup {

struct RunContext {
  Platform& platform;
  const RunFlags& flags;
  const LanguageTable& language;
  const SetupRecord& record;
  const int64_t& PackageEnd;
  const CheckBlockRead& check;

  std::string Translate(std::string_view english) const { return language.Translate(english); }
  // The translation of a message holding "%s", with the Title in its place
  // (FillPlaceholder).
  std::string TranslateWithTitle(std::string_view english) const {
    return FillPlaceholder(Translate(english), english, Title());
  }
  // The path helpers, with the system's lead bytes.
  PathRules Paths() const { return PathRules(platform.system); }
  // The Title field as text: used unchanged in captions, names and keys.
  std::string Title() const { return FieldText(record.Title); }
};

}  // namespace scrsetup
