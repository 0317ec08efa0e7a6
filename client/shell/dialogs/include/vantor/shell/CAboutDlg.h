#pragma once
// The about box: the falling-characters animation over the credits. It has
// no buttons; Escape or the window's close button closes it.

#include <QDialog>

#include <memory>

#include "vantor/shell/AnimationTimers.h"
#include "vantor/texts/Language.h"

namespace vantor::shell {

class CFallingTextWnd;

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  // `timers` drive the animation (real timers when none are given).
  explicit CAboutDlg(Language language, QWidget* parent = nullptr, std::unique_ptr<AnimationTimers> timers = nullptr);
  CFallingTextWnd* Animation() const { return animation_; }

 private:
  CFallingTextWnd* animation_ = nullptr;
};

}  // namespace vantor::shell
