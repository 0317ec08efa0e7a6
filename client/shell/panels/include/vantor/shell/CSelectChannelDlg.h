#pragma once
// "Select Channel": the voice channels by name, sorted, each with its
// channel number, and whether the button works as a push button.

#include <QDialog>

#include <span>

#include <PxRemote.h>

#include "vantor/texts/Language.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vantor::shell {

class CSelectChannelDlg : public QDialog {
  Q_OBJECT
 public:
  CSelectChannelDlg(std::span<const PxrChannelInfo> channels, bool push, Language language, QWidget* parent = nullptr);

  // The channel number of the selected entry; -1 when the list is empty.
  int ChosenChannel() const;
  bool Push() const;

  QComboBox* ChannelList() const { return list_; }
  QCheckBox* PushBox() const { return push_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

 private:
  QComboBox* list_ = nullptr;
  QCheckBox* push_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace vantor::shell
