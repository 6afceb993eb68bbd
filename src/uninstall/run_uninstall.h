// The uninstall sequence, run when the program's own file is an
// UninstallerPackage.
#pragma once

#include <cstdint>

#include "package/setup_record.h"
#include "platform/file_system.h"

namespace scrsetup {

// Checks the package (the uninstaller signature before PackageEnd and the
// record signature) and runs the uninstallation. False when the package is
// not a sound uninstaller; the caller reports that as a corrupted file.
bool RunUninstall(File& own_file, int64_t package_end, const SetupRecord& record);

}  // namespace scrsetup
