#pragma once
// The questions the button panel asks the controller. The panel's own
// dialogs by default; tests answer them.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>
#include <span>

#include <PxRemote.h>

#include "vantor/texts/Language.h"

namespace vantor::shell {

struct ChannelChoice {
  int channel = -1;  // -1: the list was empty
  bool push = false;
  bool operator==(const ChannelChoice&) const = default;
};

class ButtonPanelPrompts {
 public:
  virtual ~ButtonPanelPrompts() = default;
  // Yes or No.
  virtual bool AskYesNo(const QString& question) = 0;
  // The "Select Channel" dialog over `channels`, its push box preset to
  // `push`; nullopt for Cancel.
  virtual std::optional<ChannelChoice> SelectChannel(std::span<const PxrChannelInfo> channels, bool push) = 0;
};

// Modal dialogs over the panel. Where nobody can answer (offscreen, no
// display) every question is answered No / Cancel.
class DialogButtonPanelPrompts final : public ButtonPanelPrompts {
 public:
  DialogButtonPanelPrompts(QWidget* parent, Language language) : parent_(parent), language_(language) {}
  bool AskYesNo(const QString& question) override;
  std::optional<ChannelChoice> SelectChannel(std::span<const PxrChannelInfo> channels, bool push) override;

 private:
  QPointer<QWidget> parent_;
  Language language_;
};

}  // namespace vantor::shell
