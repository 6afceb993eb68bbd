#include "saverpack/build/shipped_stub.h"

#include <cerrno>

#include "saverpack/host/host_file.h"
#include "saverpack/host/host_path.h"
#include "saverpack/host/host_program.h"

namespace saverpack {
std::string_view StubArchName(StubArch arch) { return arch == StubArch::kX64 ? "x64" : "x86"; }

std::optional<StubArch> StubArchNamed(std::string_view name) {
  if (name == "x86") return StubArch::kX86;
  if (name == "x64") return StubArch::kX64;
  return std::nullopt;
}

std::vector<std::string> StubCandidates(std::string_view program_path, StubArch arch) {
  std::vector<std::string> candidates;
  std::optional<std::string> folder = ParentFolder(program_path);
  if (!folder) return candidates;
  const std::string separator(1, program_path[folder->size()]);
  auto join = [&separator](std::string path, std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) path += separator + std::string(part);
    return path;
  };
  const std::string shipped_name = "setup-" + std::string(StubArchName(arch)) + ".exe";
  candidates.push_back(join(*folder, {shipped_name}));
  std::optional<std::string> prefix = ParentFolder(*folder);
  if (!prefix) return candidates;
  candidates.push_back(join(*prefix, {"share", "saverpack", shipped_name}));
  std::optional<std::string> build_tree = ParentFolder(*prefix);
  if (!build_tree) return candidates;
  candidates.push_back(
      join(*build_tree, {arch == StubArch::kX64 ? "win64" : "win32", "bin", "setup.exe"}));
  return candidates;
}

std::optional<Failure> ChooseStub(const std::vector<std::string>& candidates, StubArch arch,
                                  const StubFileProblem& problem, std::string& stub) {
  std::string places;
  for (const std::string& candidate : candidates) {
    std::optional<std::string> why_not = problem(candidate);
    if (!why_not) {
      stub = candidate;
      return std::nullopt;
    }
    places += "\n  " + candidate + ": " + *why_not;
  }
  return Failure{kExitBadInput, "no --stub given, and the " + std::string(StubArchName(arch)) +
                                    " installer stub that ships with saverpack is not where "
                                    "it was looked for:" +
                                    places + "\nName the installer program with --stub FILE."};
}

std::optional<Failure> FindShippedStub(StubArch arch, std::string& stub) {
  const std::string program = ProgramFilePath();
  if (program.empty()) {
    return Failure{kExitBadInput,
                   "no --stub given, and saverpack cannot tell where its own file is to find "
                   "the stub that ships with it.\nName the installer program with --stub FILE."};
  }
  auto problem = [](const std::string& path) -> std::optional<std::string> {
    errno = 0;
    if (OpenForReading(path)) return std::nullopt;
    return SystemErrorText();
  };
  return ChooseStub(StubCandidates(program, arch), arch, problem, stub);
}

}  // namespace saverpack
