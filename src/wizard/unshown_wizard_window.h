// The wizard window of a run that never shows it (a silent installation):
// it keeps the texts and check states the wizard's logic sets and reads
// back, and builds no window, control, font or picture. Everything that only
// shows something does nothing; Close ends the run, as closing the real
// window does.
#pragma once

#include <array>
#include <string>

#include "platform/application.h"
#include "platform/wizard_window.h"

namespace scrsetup {

class UnshownWizardWindow : public WizardWindow {
 public:
  explicit UnshownWizardWindow(Application& app) : app_(app) {}

  void SetCaption(const std::string&) override {}
  // Keeps the text up to its first NUL character, as a window's text does.
  void SetText(Control control, const std::string& text) override {
    texts_[Index(control)] = text.substr(0, text.find('\0'));
  }
  std::string Text(Control control) override { return texts_[Index(control)]; }
  void SetVisible(Control, bool) override {}
  void SetEnabled(Control, bool) override {}
  // The radio buttons start as the real window's do: "do not accept" checked.
  bool IsChecked(Control control) override { return control == Control::rbNotAccept; }
  void Focus(Control) override {}
  void ShowPage(WizardPage) override {}
  void SetProgress(int, int) override {}
  void RepaintProgress() override {}
  void SetWindowEnabled(bool) override {}
  void Close() override { app_.Terminate(); }
  void HideForExit() override {}

 private:
  static constexpr size_t kControlCount = static_cast<size_t>(Control::edReadme) + 1;
  static size_t Index(Control control) { return static_cast<size_t>(control); }

  Application& app_;
  std::array<std::string, kControlCount> texts_;
};

}  // namespace scrsetup
