#include "uninstall/deferred_deletion.h"

namespace scrsetup {
namespace {

constexpr char kSwitch[] = "-delfile";

std::string Quoted(const std::string& value) { return "\"" + value + "\""; }

}  // namespace

std::string EncodeDeferredDeletion(const DeferredDeletion& request) {
  std::string parameters = std::string(kSwitch) + " " + Quoted(request.file);
  if (request.show_message) {
    parameters += " " + Quoted(request.caption) + " " + Quoted(request.text);
  }
  return parameters;
}

std::optional<DeferredDeletion> DecodeDeferredDeletion(const std::vector<std::string>& arguments) {
  if (arguments.size() < 3 || arguments[1] != kSwitch) return std::nullopt;
  DeferredDeletion request;
  request.file = arguments[2];
  if (arguments.size() == 5) {
    request.show_message = true;
    request.caption = arguments[3];
    request.text = arguments[4];
  }
  return request;
}

}  // namespace scrsetup
