// The Windows version class the installer's rules depend on.
#pragma once

#include <optional>

#include "platform/system_info.h"

namespace scrsetup {

// Maps the version the system reports to a class:
//   -1 unknown (or the query failed), 0 Windows 95, 1 Windows 98,
//    2 Windows 98 Second Edition, 3 Windows Me, 4 Windows NT 4.0 and earlier,
//    5 Windows 2000, 6 Windows XP, 7 any version reporting 6.x.
int WindowsVersionClass(const std::optional<OsVersion>& version);

}  // namespace scrsetup
