// What a signing tool added to an executable: the check that it did no
// more, for the authoring tool, which stores what it finds in the
// signature store.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "package/signature_store.h"

namespace scrsetup {

// What signing added to `unsigned_file`, read from `signed_file`: the
// checksum and the certificate table. nullopt, with the reason in
// `problem`, unless the signed file is the unsigned one with only its
// checksum and certificate table entry changed, the zero padding and one
// table appended, and the entry pointing at that table. The table views
// `signed_file`.
[[nodiscard]] std::optional<StoredSignature> TakeSignature(std::string_view unsigned_file,
                                                          std::string_view signed_file,
                                                          std::string* problem);


}  // namespace scrsetup
