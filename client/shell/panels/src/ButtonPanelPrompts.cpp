#include "vantor/shell/ButtonPanelPrompts.h"

#include <QMessageBox>

#include "vantor/platform/Display.h"
#include "vantor/shell/CSelectChannelDlg.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {

bool DialogButtonPanelPrompts::AskYesNo(const QString& question) {
  if (!HasInteractiveDisplay()) return false;
  return QMessageBox::question(parent_.data(), QText(TextId::PanelBoxTitle, language_), question,
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<ChannelChoice> DialogButtonPanelPrompts::SelectChannel(std::span<const PxrChannelInfo> channels,
                                                                     bool push) {
  if (!HasInteractiveDisplay()) return std::nullopt;
  CSelectChannelDlg dialog(channels, push, language_, parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ChannelChoice{dialog.ChosenChannel(), dialog.Push()};
}

}  // namespace vantor::shell
