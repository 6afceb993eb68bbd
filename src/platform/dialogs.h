// Modal message boxes.
#pragma once

#include <string>

namespace scrsetup {

enum class MessageIcon {
  kError = 0x10,
  kQuestion = 0x20,
  kInformation = 0x40,
};

enum class MessageButtons {
  kOk = 0x0,
  kYesNo = 0x4,
};

enum class MessageAnswer {
  kOk = 1,
  kYes = 6,
  kNo = 7,
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message box and waits until it is closed.
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageButtons buttons, MessageIcon icon) = 0;
};

}  // namespace scrsetup
