#include "vantor/shell/CAssignCallsignDlg.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <mutex>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/Callsigns.h"
#include "vantor/model/ContactLabels.h"
#include "vantor/texts/QText.h"

namespace vantor::shell {
namespace {
constexpr int kIdRole = Qt::UserRole;
// The callsign ends up in labels ten characters wide; a prefix far longer
// than that is a typing accident.
constexpr int kMaxPrefixLength = 16;
}  // namespace

CAssignCallsignDlg::CAssignCallsignDlg(model::CRivakDoc& document, const QString& pilotText, Language language,
                                       QWidget* parent)
    : QDialog(parent), document_(document) {
  setWindowTitle(QText(TextId::AssignCallsignTitle, language));
  setObjectName("assignCallsignDialog");

  auto* caption = new QLabel(QText(TextId::AssignCallsignPilotCaption, language), this);
  pilotLabel_ = new QLabel(pilotText.isEmpty() ? QText(TextId::AssignCallsignNoPilot, language) : pilotText, this);
  pilotLabel_->setObjectName("pilotText");
  pilotLabel_->setAlignment(Qt::AlignCenter);

  prefixBox_ = new QComboBox(this);
  prefixBox_->setObjectName("prefix");
  prefixBox_->setEditable(true);
  prefixBox_->setInsertPolicy(QComboBox::NoInsert);
  for (const char* prefix : model::kCallsignPrefixes) prefixBox_->addItem(QString::fromLatin1(prefix));
  prefixBox_->setCurrentIndex(-1);
  prefixBox_->lineEdit()->setMaxLength(kMaxPrefixLength);

  auto* separator = new QFrame(this);
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);

  contactList_ = new QTreeWidget(this);
  contactList_->setObjectName("contacts");
  contactList_->setColumnCount(2);
  contactList_->setHeaderLabels(
      {QText(TextId::AssignCallsignPilotColumn, language), QText(TextId::AssignCallsignCallsignColumn, language)});
  contactList_->setRootIsDecorated(false);
  contactList_->setSelectionMode(QAbstractItemView::SingleSelection);
  contactList_->setSelectionBehavior(QAbstractItemView::SelectRows);
  contactList_->setSortingEnabled(false);
  contactList_->header()->setStretchLastSection(false);
  contactList_->setColumnWidth(0, kPilotColumnWidth);
  contactList_->setColumnWidth(1, kCallsignColumnWidth);

  assignButton_ = new QPushButton(QText(TextId::AssignCallsignAssign, language), this);
  assignButton_->setObjectName("assign");
  assignButton_->setEnabled(false);
  assignButton_->setAutoDefault(false);
  okButton_ = new QPushButton(QText(TextId::AssignCallsignOk, language), this);
  okButton_->setObjectName("ok");
  okButton_->setDefault(true);
  closeButton_ = new QPushButton(QText(TextId::AssignCallsignClose, language), this);
  closeButton_->setObjectName("close");
  closeButton_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(assignButton_);
  buttons->addStretch();
  buttons->addWidget(okButton_);
  buttons->addWidget(closeButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(pilotLabel_);
  layout->addWidget(prefixBox_);
  layout->addWidget(separator);
  layout->addWidget(contactList_, 1);
  layout->addLayout(buttons);

  FillContactList();

  connect(contactList_, &QTreeWidget::itemSelectionChanged, this, &CAssignCallsignDlg::OnRowPicked);
  connect(contactList_, &QTreeWidget::itemClicked, this, &CAssignCallsignDlg::OnRowPicked);
  connect(assignButton_, &QPushButton::clicked, this, &CAssignCallsignDlg::OnAssign);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CAssignCallsignDlg::FillContactList() {
  std::lock_guard<model::ContactLock> guard(document_.ContactTableLock());
  for (const model::CContact& contact : document_.Contacts()) {
    if (!contact.friendly || contact.radarSite) continue;
    auto* row = new QTreeWidgetItem(contactList_);
    row->setText(0, contact.name);
    row->setData(0, kIdRole, contact.id);
    QString callsign;
    if (document_.LookupCallsign(contact.id, callsign)) row->setText(1, callsign);
  }
}

QString CAssignCallsignDlg::Prefix() const { return prefixBox_->currentText(); }

void CAssignCallsignDlg::OnRowPicked() {
  const QList<QTreeWidgetItem*> selected = contactList_->selectedItems();
  if (selected.isEmpty()) return;
  // From now on only list rows can be given a callsign.
  pickedRow_ = contactList_->indexOfTopLevelItem(selected.front());
  pilotLabel_->setText(selected.front()->text(0));
  assignButton_->setEnabled(true);
  okButton_->setEnabled(false);
}

void CAssignCallsignDlg::OnAssign() {
  QTreeWidgetItem* row = contactList_->topLevelItem(pickedRow_);
  if (row == nullptr) return;
  const QString chosen = Prefix();
  if (chosen.trimmed().isEmpty()) return;
  const int id = row->data(0, kIdRole).toInt();
  document_.AssignCallsign(chosen, id);
  // Show the callsign the contact now has, numbered as the labels show it.
  QString callsign;
  if (document_.LookupCallsign(id, callsign)) row->setText(1, callsign);
}

bool RunAssignCallsign(model::CRivakDoc& document, int id, Language language, QWidget* parent) {
  QString pilotText;
  {
    std::lock_guard<model::ContactLock> guard(document.ContactTableLock());
    const model::CContact* contact = document.FindContact(id);
    if (contact == nullptr) return false;
    pilotText = model::PilotOrPlaneText(*contact);
  }
  CAssignCallsignDlg dialog(document, pilotText, language, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QString prefix = dialog.Prefix();
  if (prefix.trimmed().isEmpty()) return false;
  // Keyed by id, so this holds even if the contact left meanwhile.
  document.AssignCallsign(prefix, id);
  return true;
}

}  // namespace vantor::shell
