#pragma once
// The main frame's fixed measures and its keyboard accelerators.

#include <QKeySequence>
#include <QList>
#include <QSize>

#include "vantor/texts/Language.h"

namespace vantor::shell {

// Outer column 0 is this much narrower than the usable screen width: the
// right-hand column's share.
inline constexpr int kRightColumnWidth = 297;
// ... and this much narrower while the right-hand column is collapsed.
inline constexpr int kCollapsedRightColumnWidth = 18;
// A right-hand column narrower than this counts as collapsed.
inline constexpr int kCollapsedColumnLimit = 50;
inline constexpr int kButtonPanelHeight = 420;   // right row 1, ideal and minimum
inline constexpr int kIlsViewShownHeight = 250;  // left row 0 while shown
inline constexpr int kIlsViewHiddenHeight = 1;   // ... and once hidden again
// The sizes the panes are created with.
inline constexpr QSize kScopeCreatedSize{727, 655};
inline constexpr QSize kButtonViewCreatedSize{200, 300};
inline constexpr QSize kInfoViewCreatedSize{100, 100};
// Width of the splitter bars.
inline constexpr int kSplitterBarWidth = 6;

// Outer column 0's ideal and minimum width.
constexpr int ScopeColumnWidth(int usableScreenWidth, bool rightColumnCollapsed) {
  return usableScreenWidth - (rightColumnCollapsed ? kCollapsedRightColumnWidth : kRightColumnWidth);
}

enum class FrameCommand {
  Paste,  // opens "Send Msg"
  Undo,   // takes back the last drawing point
};

// The keys of a command in the accelerator table of `language`: the French
// table has Ctrl+V and Ctrl+Y for paste and Alt+Backspace alone for undo;
// the English and Spanish ones Ctrl+V and Shift+Insert, Ctrl+Z and
// Alt+Backspace.
QList<QKeySequence> AcceleratorKeys(Language language, FrameCommand command);

}  // namespace vantor::shell
