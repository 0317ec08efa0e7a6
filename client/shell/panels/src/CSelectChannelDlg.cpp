#include "vantor/shell/CSelectChannelDlg.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "vantor/texts/QText.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor::shell {

CSelectChannelDlg::CSelectChannelDlg(std::span<const PxrChannelInfo> channels, bool push, Language language,
                                     QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QText(TextId::SelectChannelTitle, language));
  list_ = new QComboBox(this);
  push_ = new QCheckBox(QText(TextId::SelectChannelPush, language), this);
  push_->setChecked(push);
  ok_ = new QPushButton(QText(TextId::SelectChannelOk, language), this);
  cancel_ = new QPushButton(QText(TextId::SelectChannelCancel, language), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  // Alphabetical, without regard to case, as a sorted drop-down list.
  struct Entry {
    QString name;
    int id;
  };
  std::vector<Entry> entries;
  for (const PxrChannelInfo& channel : channels) entries.push_back({voiceclient::ChannelName(channel), channel.id});
  QCollator collator;
  collator.setCaseSensitivity(Qt::CaseInsensitive);
  std::stable_sort(entries.begin(), entries.end(),
                   [&](const Entry& a, const Entry& b) { return collator.compare(a.name, b.name) < 0; });
  for (const Entry& entry : entries) list_->addItem(entry.name, entry.id);
  if (list_->count() > 0) list_->setCurrentIndex(0);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(push_);
  layout->addLayout(buttons);
  setMinimumWidth(240);
}

int CSelectChannelDlg::ChosenChannel() const {
  if (list_->currentIndex() < 0) return -1;
  return list_->currentData().toInt();
}

bool CSelectChannelDlg::Push() const { return push_->isChecked(); }

}  // namespace vantor::shell
