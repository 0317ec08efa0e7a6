#include "vantor/shell/CAboutDlg.h"

#include "vantor/shell/CFallingTextWnd.h"
#include "vantor/shell/DialogUnits.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {

CAboutDlg::CAboutDlg(Language language, QWidget* parent, std::unique_ptr<AnimationTimers> timers) : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(QText(TextId::AboutCaption, language));
  setStyleSheet(QStringLiteral("QDialog { background: rgb(44, 47, 52); }"));
  // The template: 235 by 78 units, the animation over its one text area at
  // (7, 7), 221 by 64 units.
  setFixedSize(DialogUnitsToPixels(font(), QSize(235, 78)));
  animation_ = new CFallingTextWnd(this, std::move(timers));
  animation_->SetLines(QText(TextId::AboutCredits, language));
  animation_->SetClosingText(QText(TextId::AboutThanks, language));
  animation_->Create(DialogUnitsToPixels(font(), QRect(7, 7, 221, 64)));
}

}  // namespace vantor::shell
