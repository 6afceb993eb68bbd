// The rights the installer asks Windows for when it starts, written in the
// requested execution level of the manifest the stub carries as a resource.
// The shipped stub asks for "highestAvailable": an administrator is asked to
// elevate, a standard user runs as themselves. A package that installs for
// the user alone needs no elevation and asks for "asInvoker"; saverpack
// writes that into the stub copy it packs, in place:
//
//   <requestedExecutionLevel level="highestAvailable" uiAccess="false"/>
//   <requestedExecutionLevel level="asInvoker"        uiAccess="false"/>
//
// The blanks keep the resource's size, so nothing else in the stub moves.
#pragma once

#include <optional>
#include <string>

namespace saverpack {

// Rewrites the stub's requested execution level to "asInvoker". Returns
// what is wrong, leaving `stub` unchanged, unless the stub holds the element
// with level "highestAvailable" exactly once.
[[nodiscard]] std::optional<std::string> RequestAsInvoker(std::string& stub);

}  // namespace saverpack
