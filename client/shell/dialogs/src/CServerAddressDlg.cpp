#include "vantor/shell/CServerAddressDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "vantor/net/ServerAddressList.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {

constexpr int kBannerWidth = 260;
constexpr int kBannerHeight = 48;
// Host names are at most 253 characters.
constexpr int kMaxAddressLength = 255;

}  // namespace

QPixmap ServerDialogBanner(int width, int height) {
  QPixmap banner(width, height);
  QPainter painter(&banner);
  QLinearGradient fill(0, 0, 0, height);
  fill.setColorAt(0.0, QColor(90, 93, 99));
  fill.setColorAt(1.0, QColor(20, 22, 26));
  painter.fillRect(banner.rect(), fill);
  painter.setRenderHint(QPainter::Antialiasing);
  // A radar sweep at the left, the name beside it.
  const int radius = height / 2 - 6;
  const QPoint centre(height / 2, height / 2);
  painter.setPen(QPen(QColor(51, 160, 40), 1));
  painter.drawEllipse(centre, radius, radius);
  painter.drawEllipse(centre, radius / 2, radius / 2);
  painter.drawLine(centre, centre + QPoint(radius * 7 / 10, -radius * 7 / 10));
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(height / 2);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(200, 230, 200));
  painter.drawText(QRect(height + 4, 0, width - height - 8, height), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("VANTOR"));
  return banner;
}

CServerAddressDlg::CServerAddressDlg(net::ServerAddressList& list, Language language, QWidget* parent)
    : QDialog(parent), list_(list), language_(language) {
  setObjectName("serverAddressDialog");
  setWindowTitle(QText(TextId::ServerDialogTitle, language));

  banner_ = new QLabel(this);
  banner_->setObjectName("banner");
  banner_->setPixmap(ServerDialogBanner(kBannerWidth, kBannerHeight));

  addressLabel_ = new QLabel(QText(TextId::ServerDialogAddressLabel, language), this);
  addressLabel_->setObjectName("addressLabel");
  addressBox_ = new QComboBox(this);
  addressBox_->setObjectName("address");
  addressBox_->setEditable(true);
  // The dialog decides what joins the list, on OK only.
  addressBox_->setInsertPolicy(QComboBox::NoInsert);
  addressBox_->lineEdit()->setMaxLength(kMaxAddressLength);
  addressBox_->setMinimumContentsLength(20);
  addressLabel_->setBuddy(addressBox_);

  resetButton_ = new QPushButton(QText(TextId::ServerDialogResetList, language), this);
  resetButton_->setObjectName("resetList");
  resetButton_->setAutoDefault(false);
  okButton_ = new QPushButton(QText(TextId::ServerDialogOk, language), this);
  okButton_->setObjectName("ok");
  okButton_->setDefault(true);
  cancelButton_ = new QPushButton(QText(TextId::ServerDialogCancel, language), this);
  cancelButton_->setObjectName("cancel");
  cancelButton_->setAutoDefault(false);

  auto* addressRow = new QHBoxLayout;
  addressRow->addWidget(addressLabel_);
  addressRow->addWidget(addressBox_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(resetButton_);
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(banner_, 0, Qt::AlignHCenter);
  layout->addLayout(addressRow);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  FillDropDown();
  OnTextChanged();
  connect(addressBox_, &QComboBox::editTextChanged, this, &CServerAddressDlg::OnTextChanged);
  connect(okButton_, &QPushButton::clicked, this, &CServerAddressDlg::OnOk);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  connect(resetButton_, &QPushButton::clicked, this, &CServerAddressDlg::OnResetList);
}

QString CServerAddressDlg::Address() const { return net::NormalisedAddress(addressBox_->currentText()); }

void CServerAddressDlg::FillDropDown() {
  addressBox_->clear();
  addressBox_->addItems(list_.SortedForDisplay());
  addressBox_->setCurrentIndex(-1);
  addressBox_->setEditText(QString());
}

void CServerAddressDlg::OnTextChanged() { okButton_->setEnabled(!Address().isEmpty()); }

void CServerAddressDlg::OnOk() {
  const QString chosen = Address();
  if (chosen.isEmpty()) return;
  // A file that cannot be written is no reason not to connect.
  if (!list_.Confirm(chosen)) ReportNotSaved();
  accept();
}

void CServerAddressDlg::OnResetList() {
  if (!list_.Reset()) ReportNotSaved();
  FillDropDown();
}

void CServerAddressDlg::ReportNotSaved() {
  QMessageBox::warning(this, windowTitle(), QText(TextId::ServerListNotSaved, language_).arg(list_.FilePath()));
}

std::optional<QString> CServerAddressDlg::Run(net::ServerAddressList& list, Language language, QWidget* parent) {
  CServerAddressDlg dialog(list, language, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Address();
}

}  // namespace vantor::shell
