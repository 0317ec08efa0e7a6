#pragma once
// "Assign CallSign": gives callsigns to the friendly contacts listed, or to
// the contact the dialog was opened for.

#include <QDialog>
#include "vantor/texts/Language.h"

namespace vantor::model {
class CRivakDoc;
}

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace vantor::shell {

class CAssignCallsignDlg : public QDialog {
  Q_OBJECT
 public:
  // `pilotText` names the contact the dialog was opened for. Contacts are
  // kept by id only: the table may change while the dialog is open.
  CAssignCallsignDlg(model::CRivakDoc& document, const QString& pilotText, Language language,
                     QWidget* parent = nullptr);

  // The prefix typed or chosen in the combo box.
  QString Prefix() const;
  // Row of the list picked by a click, or -1.
  int PickedRow() const { return pickedRow_; }

  static constexpr int kPilotColumnWidth = 150;
  static constexpr int kCallsignColumnWidth = 100;

 private:
  void FillContactList();
  void OnRowPicked();
  void OnAssign();

  model::CRivakDoc& document_;
  QLabel* pilotLabel_ = nullptr;
  QComboBox* prefixBox_ = nullptr;
  QTreeWidget* contactList_ = nullptr;
  QPushButton* assignButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* closeButton_ = nullptr;
  int pickedRow_ = -1;
};

// Opening from the scope for contact `id`: runs the dialog modally and, when
// it ends with OK and a prefix, gives that contact a callsign. Returns true
// when a callsign was given. Nothing happens for an unknown id.
bool RunAssignCallsign(model::CRivakDoc& document, int id, Language language, QWidget* parent = nullptr);

}  // namespace vantor::shell
