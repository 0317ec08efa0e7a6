#pragma once
// "Send Msg": one line of chat for the controller's own coalition or for
// everyone.

#include <QDialog>

#include "vantor/texts/Language.h"

class QLineEdit;

namespace vantor::shell {

inline constexpr int kSendMsgMaxLength = 250;

// The dialog's results, as its caller tells them apart.
enum class SendMsgChoice { Send = 1, Cancel = 2, SendToAll = 3 };

class CSendMsgDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CSendMsgDlg(Language language, QWidget* parent = nullptr);
  QString Text() const;
  QLineEdit* Edit() const { return edit_; }

  // Modal; exec() returns the choice's number.
  SendMsgChoice Choose();

 private:
  QLineEdit* edit_ = nullptr;
};

}  // namespace vantor::shell
