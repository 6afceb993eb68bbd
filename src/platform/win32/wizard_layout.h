// The wizard window's layout at 96 DPI: where every control sits, what kind
// of control it is, its design-time text and its initial state.
//
// The window is 513 x 370 (client area): a white header band at the top, a
// page area (the notebook) in the middle holding one of six pages, and a foot
// with the link and the three buttons. Page controls are placed relative to
// the notebook, band controls relative to the band.
#pragma once

#include <array>

#include "platform/wizard_window.h"

namespace scrsetup::win32 {

struct Box {
  int x, y, width, height;
};

inline constexpr int kClientWidth = 513;
inline constexpr int kClientHeight = 370;
// The white header band (Panel2), full width; an etched line runs under it.
inline constexpr int kBandHeight = 65;
// The foot under the lower etched line, holding the link and the buttons.
inline constexpr int kFootHeight = 45;
inline constexpr Box kNotebookBox{8, 72, 497, 249};

// Where a control lives: on the window itself, in the header band, or on
// one of the pages (the value is the page index).
enum class Pane : int {
  kWindow = -2,
  kBand = -1,
  kLicense = 0,
  kDirectory = 1,
  kReady = 2,
  kProgress = 3,
  kReadme = 4,
  kFinished = 5,
};

enum class ControlKind {
  kLabel,         // one line, cut with "..." when too long
  kWrappedLabel,  // word-wrapped over its height
  kLink,          // one line, clickable
  kButton,
  kRadioButton,
  kEdit,          // one line
  kMemo,          // multi-line with a vertical scroll bar
  kReadOnlyMemo,
  kProgressBar,
};

enum ControlFlags : unsigned {
  kNoFlags = 0,
  kHidden = 1,
  kDisabled = 2,
  kChecked = 4,
  // A radio button that belongs to the group of the control before it.
  kContinuesGroup = 8,
};

struct ControlLayout {
  Control control;
  Pane pane;
  ControlKind kind;
  Box box;
  const char* text;
  unsigned flags;
};

inline constexpr int kControlCount = static_cast<int>(Control::edReadme) + 1;

// In creation order, which is also the tab order: btnNext, btnCancel, the
// page controls, btnBack; labels take no focus.
inline constexpr std::array<ControlLayout, kControlCount> kControlLayouts{{
    {Control::btnNext, Pane::kWindow, ControlKind::kButton, {337, 336, 80, 25}, "Next >", kDisabled},
    {Control::btnCancel, Pane::kWindow, ControlKind::kButton, {424, 336, 81, 25}, "Cancel", kNoFlags},

    {Control::Label2, Pane::kLicense, ControlKind::kWrappedLabel, {32, 8, 417, 28},
     "Please read the following License Agreement. You must accept the terms of this agreement "
     "before continuing with the installation.",
     kNoFlags},
    {Control::edLicense, Pane::kLicense, ControlKind::kReadOnlyMemo, {32, 42, 433, 145}, "", kNoFlags},
    {Control::rbAccept, Pane::kLicense, ControlKind::kRadioButton, {32, 196, 433, 17},
     "I &accept the agreement", kNoFlags},
    {Control::rbNotAccept, Pane::kLicense, ControlKind::kRadioButton, {32, 217, 433, 17},
     "I &do not accept the agreement", kChecked | kContinuesGroup},

    {Control::Label1, Pane::kDirectory, ControlKind::kWrappedLabel, {76, 10, 389, 42},
     "Select the folder where you would like the Screen Saver to be installed, then click Install.",
     kNoFlags},
    {Control::edDirectory, Pane::kDirectory, ControlKind::kEdit, {32, 60, 345, 21}, "", kNoFlags},
    {Control::btnBrowse, Pane::kDirectory, ControlKind::kButton, {385, 58, 80, 25}, "&Browse...",
     kNoFlags},

    {Control::Label5, Pane::kReady, ControlKind::kWrappedLabel, {32, 8, 433, 56},
     "The Setup is ready to install Screen Saver on your computer. Click Install to continue, or "
     "Cancel to exit Setup.",
     kNoFlags},

    {Control::ProgressBar, Pane::kProgress, ControlKind::kProgressBar, {32, 8, 433, 25}, "",
     kNoFlags},

    {Control::Label3, Pane::kReadme, ControlKind::kLabel, {32, 8, 433, 14},
     "When you are ready, click Next.", kNoFlags},
    {Control::edReadme, Pane::kReadme, ControlKind::kMemo, {32, 28, 433, 193}, "", kNoFlags},

    {Control::Label4, Pane::kFinished, ControlKind::kWrappedLabel, {32, 8, 433, 42},
     "Click Finish to exit Setup.", kNoFlags},

    {Control::btnBack, Pane::kWindow, ControlKind::kButton, {256, 336, 81, 25}, "< Back", kHidden},

    {Control::lbTitle, Pane::kBand, ControlKind::kLabel, {18, 12, 430, 19},
     "Select Destination Directory", kNoFlags},
    {Control::lbDescription, Pane::kBand, ControlKind::kWrappedLabel, {40, 34, 408, 28},
     "Where should Screen Saver be installed?", kNoFlags},

    // Its width follows its text, up to the width given here.
    {Control::Link, Pane::kWindow, ControlKind::kLink, {8, 342, 240, 14}, "", kNoFlags},
}};

// A button is at least as wide as laid out above, and wider when its text
// needs it: the text with this margin on each side, clear of the focus
// frame. Buttons grow within their row: the foot's buttons, in this order
// from the right, keep Cancel's right edge and the gaps between them; the
// folder box gives way to Browse.
inline constexpr int kButtonTextMargin = 8;
inline constexpr Control kFootButtonsFromTheRight[] = {Control::btnCancel, Control::btnNext,
                                                       Control::btnBack};

constexpr bool EveryControlLaidOutOnce() {
  for (int i = 0; i < kControlCount; ++i) {
    int found = 0;
    for (const ControlLayout& layout : kControlLayouts) {
      if (static_cast<int>(layout.control) == i) ++found;
    }
    if (found != 1) return false;
  }
  return true;
}
static_assert(EveryControlLaidOutOnce());

// The pictures: the monitor in the header band (Image2) and the folder icon
// on the Directory page (Image1).
struct PictureLayout {
  Pane pane;
  Box box;
};
inline constexpr PictureLayout kHeaderPicture{Pane::kBand, {456, 8, 48, 48}};
inline constexpr PictureLayout kFolderPicture{Pane::kDirectory, {32, 8, 32, 32}};

}  // namespace scrsetup::win32
