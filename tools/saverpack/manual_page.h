// The manual page saverpack(1), in roff for man(1), made from the same
// parts as `saverpack --help` (command_line.h): the usage lines as the
// synopsis, each command's help as a section, its option lines as tagged
// paragraphs, and the exit statuses. The build options thereby come from
// BuildOptionTable like everywhere else. The release packages for Linux
// carry it, written at build time by saverpack_manual (manual_page_main.cc).
#pragma once

#include <string>
#include <string_view>

namespace saverpack {

// The whole page for saverpack `version` ("1.2.0").
std::string ManualPage(std::string_view version);

}  // namespace saverpack
