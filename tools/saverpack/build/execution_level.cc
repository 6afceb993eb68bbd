#include "saverpack/build/execution_level.h"

#include <string_view>

namespace saverpack {
namespace {

constexpr std::string_view kHighest = "<requestedExecutionLevel level=\"highestAvailable\"";
constexpr std::string_view kInvoker = "<requestedExecutionLevel level=\"asInvoker\"";

}  // namespace

std::optional<std::string> RequestAsInvoker(std::string& stub) {
  const size_t at = stub.find(kHighest);
  if (at == std::string::npos) {
    return "its manifest asks for no \"highestAvailable\" execution level to change";
  }
  if (stub.find(kHighest, at + 1) != std::string::npos) {
    return "it holds more than one manifest execution level";
  }
  std::string replacement(kInvoker);
  replacement.resize(kHighest.size(), ' ');
  stub.replace(at, kHighest.size(), replacement);
  return std::nullopt;
}

}  // namespace saverpack
