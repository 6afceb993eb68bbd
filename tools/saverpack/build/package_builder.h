// Building a SetupPackage from the build options.
//
// The package is, in file order: the stub's bytes (--stub, or the stub for
// --arch that ships with saverpack, see shipped_stub.h), the screensaver's
// bytes, the readme, licence and language blocks, the setup record, the end
// signature "Vornex.sig" and the check block (check_block.h) with the
// CRC-32 of the screensaver and of the blocks and record, taken from the
// bytes as they are written, and the version, publisher and help link.
// Texts are written in options.code_page (see
// PackageCodePage); --language names a catalogue language or a file. The
// record's texts are checked before any file is opened, and all texts and
// sizes before anything is written. The screensaver (and with --codepage
// none every file) is copied in bounded chunks; a text file to convert is
// read whole, up to 64 MiB. The package is written to a new temporary file
// beside the output and moved over the output only once complete, so a
// failure leaves no temporary file and the output as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "package/setup_record.h"
#include "saverpack/build/build_options.h"
#include "saverpack/host/failure.h"
#include "saverpack/text/package_code_page.h"

namespace saverpack {

// Fills the record's texts (written in `code_page`), flags and licence mode
// from `options`; a failure that names the option whose text cannot be
// written in the code page or does not fit, the empty title, or a licence
// mode that shows the licence page without a --license file.
std::optional<Failure> ComposeRecord(const BuildOptions& options, PackageCodePage& code_page,
                                     scrsetup::SetupRecord& record);

// Sizes of the inputs that follow the stub; 0 for a block not given.
struct PartSizes {
  int64_t screensaver = 0;
  int64_t readme = 0;
  int64_t license = 0;
  int64_t language = 0;
};

// Sets PayloadSize, ExtrasSize and the three block sizes; a failure when
// the part after the stub (the parts and the 946-byte tail) would not stay
// under 2 GiB, the most the record's signed 32-bit sizes can describe.
std::optional<Failure> SetPartSizes(const PartSizes& sizes, scrsetup::SetupRecord& record);

// Writes the package described by `options` to options.output.
std::optional<Failure> BuildPackage(const BuildOptions& options);

}  // namespace saverpack
