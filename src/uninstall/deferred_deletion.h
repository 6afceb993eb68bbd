// The deferred-deletion request: what the uninstaller hands to the hidden
// temporary copy of itself on the copy's command line, written and read
// here side by side:
//   -delfile "FILE" "CAPTION" "TEXT"
// The copy deletes FILE (the uninstaller's own file) once it is free and
// then shows the closing message CAPTION / TEXT.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace scrsetup {

struct DeferredDeletion {
  std::string file;  // the file to delete
  // The closing message, shown only when it came with the request.
  bool show_message = false;
  std::string caption;
  std::string text;
};

// The copy's parameters for `request`, each value in double quotes (a
// short path may still hold blanks). Values cannot hold a double quote.
std::string EncodeDeferredDeletion(const DeferredDeletion& request);

// The request in a split command line (`arguments[0]` is the program's
// name): argument 1 is exactly "-delfile" and there are at least 2
// arguments; the message comes with it only when there are exactly four.
// nullopt for every other command line.
[[nodiscard]]
std::optional<DeferredDeletion> DecodeDeferredDeletion(const std::vector<std::string>& arguments);

}  // namespace scrsetup
