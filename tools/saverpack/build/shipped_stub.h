// The installer stubs that travel with saverpack, found relative to the
// tool's own file so that `saverpack build` needs no --stub. Two stubs
// ship: the i686 one ("x86", runs on every Windows, the default) and the
// x86_64 one ("x64").
//
// Which places are tried, and in which order, is decided here for every
// host alike; only the tool's own path comes from the host
// (ProgramFilePath in host_program.h). For the program at FOLDER/saverpack
// (FOLDER/saverpack.exe) the stub for "x86" is looked for at
//
//   FOLDER/setup-x86.exe                   the unpacked Windows zip
//   FOLDER/../share/saverpack/setup-x86.exe  an installed prefix: cmake
//                                          --install, the Debian package
//                                          (/usr/bin, /usr/share/saverpack)
//                                          and the Linux archive
//   FOLDER/../../win32/bin/setup.exe       the build tree (build/native/bin
//                                          or build/win32/bin beside
//                                          build/win32/bin/setup.exe)
//
// and likewise with setup-x64.exe and win64 for "x64". ".." is resolved by
// name, which is right for the path the host gives: on Linux the kernel's
// path of the file with every symbolic link resolved, on Windows the path
// the program was started from.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "saverpack/host/failure.h"

namespace saverpack {

enum class StubArch { kX86, kX64 };

// "x86" or "x64", the --arch values.
std::string_view StubArchName(StubArch arch);

// The architecture named `name` ("x86" or "x64"); nullopt for anything else.
std::optional<StubArch> StubArchNamed(std::string_view name);

// Where the stub for `arch` is looked for, first place first, for the
// program whose file is `program_path`. Paths keep the separator the
// program's path uses ('\' or '/'); a place above the file system's root
// is left out.
std::vector<std::string> StubCandidates(std::string_view program_path, StubArch arch);

// Why the file at a path cannot be taken as the stub ("No such file or
// directory"); nullopt when it can.
using StubFileProblem = std::function<std::optional<std::string>(const std::string& path)>;

// The first of `candidates` without a problem, into `stub`; else a failure
// that names every place looked at, with its problem, and --stub.
std::optional<Failure> ChooseStub(const std::vector<std::string>& candidates, StubArch arch,
                                  const StubFileProblem& problem, std::string& stub);

// ChooseStub over StubCandidates of the running program, with the host's
// files: the shipped stub for `arch`, or a failure saying where it was
// looked for.
std::optional<Failure> FindShippedStub(StubArch arch, std::string& stub);

}  // namespace saverpack
