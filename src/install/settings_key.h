// The per-screensaver settings key, HKEY_CURRENT_USER\Software\Lumivane\<Title>.
// The installer keeps the installed file's full path there in "FileName_";
// the screensaver itself keeps "StartID" and the subkey "PlayList".
#pragma once

#include <optional>
#include <string>

#include "platform/registry.h"

namespace scrsetup {

// The remembered file name: "" when the key or the value is missing;
// nullopt when a value of that name is not a string. Never creates the key.
[[nodiscard]]
std::optional<std::string> ReadRememberedFileName(Registry& registry, const std::string& title);

// Stores `path` as "FileName_", creating the key when missing. False when
// the key exists or was created but the value could not be written.
[[nodiscard]]
bool WriteRememberedFileName(Registry& registry, const std::string& title, const std::string& path);

// Deletes every value but "StartID" (exact name) and the subkey "PlayList"
// with everything under it, creating the key when missing so that it stays
// behind; single failures are ignored.
void PurgeSettings(Registry& registry, const std::string& title);

}  // namespace scrsetup
