// saverpack_manual FILE: writes the manual page saverpack(1) to FILE, for
// the release packages; not shipped.
#include <cstdio>
#include <string>

#include "saverpack/manual_page.h"
#include "scrsetup_version.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string page = saverpack::ManualPage(SCRSETUP_VERSION);
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(page.data(), 1, page.size(), file) == page.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
