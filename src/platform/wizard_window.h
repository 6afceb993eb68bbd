// The wizard window as the installer's logic sees it: a set of named
// controls on six pages, driven from the core, and the events it reports.
//
// The window decides nothing: it shows what it is told and passes every
// click on to its WizardEvents. Which page is current is kept by the core;
// ShowPage only makes a page visible.
#pragma once

#include <string>

namespace scrsetup {

// The window's controls, by their component names.
enum class Control {
  lbTitle,
  lbDescription,
  Link,
  btnBack,
  btnNext,
  btnCancel,
  Label1,  // Directory page text
  Label2,  // License page text
  Label3,  // Readme page text
  Label4,  // Finished page text
  Label5,  // Ready page text
  edLicense,
  rbAccept,
  rbNotAccept,
  edDirectory,
  btnBrowse,
  ProgressBar,
  edReadme,
};

// The pages, in their order; the value is the page's index.
enum WizardPage : int {
  kLicensePage = 0,
  kDirectoryPage = 1,
  kReadyPage = 2,
  kProgressPage = 3,
  kReadmePage = 4,
  kFinishedPage = 5,
};

// The number of pages; the one count every page table is sized by.
inline constexpr int kPageCount = kFinishedPage + 1;

// Clicks and other user actions, delivered by the window.
class WizardEvents {
 public:
  virtual ~WizardEvents() = default;
  virtual void btnNextClick() = 0;
  virtual void btnBackClick() = 0;
  virtual void btnCancelClick() = 0;
  virtual void btnBrowseClick() = 0;
  virtual void rbAcceptClick() = 0;
  virtual void LinkClick() = 0;
};

class WizardWindow {
 public:
  virtual ~WizardWindow() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void SetText(Control control, const std::string& text) = 0;
  virtual std::string Text(Control control) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual bool IsChecked(Control control) = 0;
  virtual void Focus(Control control) = 0;
  // Shows `page` and hides the others.
  virtual void ShowPage(WizardPage page) = 0;
  // Sets the progress bar's range to 0..`maximum` and its position.
  virtual void SetProgress(int position, int maximum) = 0;
  // Paints the progress bar now, so that it shows its position before the
  // next chunk is copied (nothing to do while it is hidden or unchanged).
  virtual void RepaintProgress() = 0;
  // Enables or disables the whole window (during the copy loop).
  virtual void SetWindowEnabled(bool enabled) = 0;
  // Closes the window; the message loop then ends.
  virtual void Close() = 0;
  // Shrinks the window to an invisible 1 x 1 pixel without a border, so that
  // a run that ends during its creation never shows it.
  virtual void HideForExit() = 0;
};

}  // namespace scrsetup
