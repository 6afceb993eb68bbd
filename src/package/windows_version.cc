#include "package/windows_version.h"

namespace scrsetup {

int WindowsVersionClass(const std::optional<OsVersion>& version) {
  if (!version) return -1;
  const OsVersion& v = *version;
  if (v.platform_id == 1) {
    if (v.major == 4 && v.minor == 0) return 0;
    if (v.major == 4 && v.minor == 10) {
      return v.service_pack.size() >= 2 && v.service_pack[1] == 'A' ? 2 : 1;
    }
    if (v.major == 4 && v.minor == 90) return 3;
    return -1;
  }
  if (v.platform_id == 2) {
    if (v.major <= 4) return 4;
    if (v.major == 5 && v.minor == 0) return 5;
    if (v.major == 5 && v.minor == 1) return 6;
    if (v.major == 6) return 7;
    return -1;
  }
  return -1;
}

}  // namespace scrsetup
