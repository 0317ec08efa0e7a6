// The "Assign CallSign" dialog, under the offscreen platform.
#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "vantor/model/CRivakDoc.h"
#include "vantor/shell/CAssignCallsignDlg.h"
#include "vantor/texts/Texts.h"

namespace vantor::shell {
namespace {

using model::CRivakDoc;

class AssignCallsignDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.UpdateContact(101, "F-15C (Eagle 1-1)", 45.0, 38.0, 3000.0, 0.0, 1, 'B', 800.0);
    doc.UpdateContact(102, "Su-27 (Red 1)", 45.0, 38.0, 3000.0, 0.0, 0, 'B', 800.0);
    doc.UpdateContact(103, "HAWK SR", 45.0, 38.0, 10.0, 0.0, 1, 'A', 0.0);
    doc.UpdateContact(104, "Perry (ship)", 45.0, 38.0, 0.0, 0.0, 1, 'C', 20.0);
    doc.UpdateContact(16777217, "Mig-29 (Blue 9)", 45.0, 38.0, 3000.0, 0.0, 0, 'B', 800.0);
    doc.AssignCallsign("PAP", 104);
  }

  template <typename T>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static void ClickRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  }

  model::ClientState state;
  CRivakDoc doc{state, [] { return std::int64_t{0}; }};
};

TEST_F(AssignCallsignDialog, OpensWithFriendlyNonRadarContactsAndAssignDisabled) {
  CAssignCallsignDlg dialog(doc, "(Eagle 1-1)", Language::French);
  dialog.show();
  auto* list = Child<QTreeWidget>(dialog, "contacts");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "F-15C (Eagle 1-1)");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "");
  EXPECT_EQ(list->topLevelItem(1)->text(0), "Perry (ship)");
  EXPECT_EQ(list->topLevelItem(1)->text(1), "PAP1");
  EXPECT_EQ(list->headerItem()->text(0), "Pilot");
  EXPECT_EQ(list->headerItem()->text(1), "CallSign");
  EXPECT_EQ(list->columnWidth(0), 150);
  EXPECT_EQ(list->columnWidth(1), 100);
  EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);

  auto* prefix = Child<QComboBox>(dialog, "prefix");
  ASSERT_EQ(prefix->count(), 9);
  const QStringList expected = {"KOD", "PAP", "FAL", "BIZ", "KUZ", "ALP", "BRA", "CHA", "DEL"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(prefix->itemText(i), expected[i]);
  EXPECT_TRUE(prefix->isEditable());
  EXPECT_EQ(prefix->currentText(), "");

  EXPECT_EQ(Child<QLabel>(dialog, "pilotText")->text(), "(Eagle 1-1)");
  EXPECT_FALSE(Child<QPushButton>(dialog, "assign")->isEnabled());
  EXPECT_TRUE(Child<QPushButton>(dialog, "ok")->isEnabled());
  EXPECT_EQ(Child<QPushButton>(dialog, "assign")->text(), "Assigner");
  EXPECT_EQ(Child<QPushButton>(dialog, "close")->text(), "Fermer");
  EXPECT_EQ(dialog.windowTitle(), "Assign CallSign");
}

TEST_F(AssignCallsignDialog, ButtonTextsByLanguage) {
  for (Language language : {Language::English, Language::Spanish}) {
    CAssignCallsignDlg dialog(doc, "x", language);
    EXPECT_EQ(Child<QPushButton>(dialog, "assign")->text(), "&Assign");
    EXPECT_EQ(Child<QPushButton>(dialog, "close")->text(), "&Close...");
    EXPECT_EQ(Child<QPushButton>(dialog, "ok")->text(), "OK");
  }
  CAssignCallsignDlg unknown(doc, "", kFallbackLanguage);
  EXPECT_EQ(Child<QPushButton>(unknown, "assign")->text(), "Assigner");
  EXPECT_EQ(Child<QLabel>(unknown, "pilotText")->text(), "none");
}

TEST_F(AssignCallsignDialog, ClickingARowEnablesAssignAndDisablesOk) {
  CAssignCallsignDlg dialog(doc, "7217", Language::English);
  dialog.show();
  auto* list = Child<QTreeWidget>(dialog, "contacts");
  ClickRow(list, 1);
  EXPECT_EQ(dialog.PickedRow(), 1);
  EXPECT_EQ(Child<QLabel>(dialog, "pilotText")->text(), "Perry (ship)");
  EXPECT_TRUE(Child<QPushButton>(dialog, "assign")->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(dialog, "ok")->isEnabled());
  // A click beside the rows changes nothing picked so far.
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->viewport()->height() - 3));
  EXPECT_EQ(dialog.PickedRow(), 1);
  EXPECT_FALSE(Child<QPushButton>(dialog, "ok")->isEnabled());
}

TEST_F(AssignCallsignDialog, AssignGivesTheRowACallsignAndKeepsTheDialogOpen) {
  CAssignCallsignDlg dialog(doc, "x", Language::English);
  dialog.show();
  auto* list = Child<QTreeWidget>(dialog, "contacts");
  auto* prefix = Child<QComboBox>(dialog, "prefix");
  auto* assign = Child<QPushButton>(dialog, "assign");

  // Typing alone does nothing; Assign needs a picked row and is disabled.
  prefix->setEditText("KOD");
  EXPECT_FALSE(assign->isEnabled());

  ClickRow(list, 0);
  QTest::mouseClick(assign, Qt::LeftButton);
  QString callsign;
  ASSERT_TRUE(doc.LookupCallsign(101, callsign));
  EXPECT_EQ(callsign, "KOD1");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "KOD1");
  EXPECT_TRUE(dialog.isVisible());

  // Re-assigning the other row with a chosen prefix.
  ClickRow(list, 1);
  prefix->setCurrentIndex(0);
  QTest::mouseClick(assign, Qt::LeftButton);
  EXPECT_EQ(list->topLevelItem(1)->text(1), "KOD2");

  // An empty prefix gives no callsign.
  prefix->setEditText("   ");
  QTest::mouseClick(assign, Qt::LeftButton);
  ASSERT_TRUE(doc.LookupCallsign(104, callsign));
  EXPECT_EQ(callsign, "KOD2");

  QTest::mouseClick(Child<QPushButton>(dialog, "close"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_EQ(doc.Callsigns().size(), 2u);
}

// Runs `act` on the modal dialog once it is open.
void WhenDialogOpens(std::function<void(CAssignCallsignDlg&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    auto* dialog = qobject_cast<CAssignCallsignDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    act(*dialog);
  });
}

TEST_F(AssignCallsignDialog, OkGivesTheOpenedContactACallsignEvenWhenHostile) {
  QString pilotText;
  WhenDialogOpens([&](CAssignCallsignDlg& dialog) {
    pilotText = dialog.findChild<QLabel*>("pilotText")->text();
    dialog.findChild<QComboBox*>("prefix")->setEditText("BIZ");
    QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton);
  });
  EXPECT_TRUE(RunAssignCallsign(doc, 16777217, Language::English));
  EXPECT_EQ(pilotText, "7217");
  QString callsign;
  ASSERT_TRUE(doc.LookupCallsign(16777217, callsign));
  EXPECT_EQ(callsign, "BIZ1");
}

TEST_F(AssignCallsignDialog, CloseOrAnEmptyPrefixAssignsNothing) {
  WhenDialogOpens([](CAssignCallsignDlg& dialog) {
    dialog.findChild<QComboBox*>("prefix")->setEditText("BIZ");
    QTest::mouseClick(dialog.findChild<QPushButton*>("close"), Qt::LeftButton);
  });
  EXPECT_FALSE(RunAssignCallsign(doc, 101, Language::French));
  WhenDialogOpens(
      [](CAssignCallsignDlg& dialog) { QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton); });
  EXPECT_FALSE(RunAssignCallsign(doc, 101, Language::French));
  QString callsign;
  EXPECT_FALSE(doc.LookupCallsign(101, callsign));
  // An unknown contact opens nothing.
  EXPECT_FALSE(RunAssignCallsign(doc, 999, Language::French));
}

TEST_F(AssignCallsignDialog, ContactLeavingWhileOpenStillGetsItsCallsign) {
  WhenDialogOpens([this](CAssignCallsignDlg& dialog) {
    doc.UpdateContact(101, "F-15C (Eagle 1-1)", 45.0, 0.0, 0.0, 0.0, 1, 'B', 0.0);
    dialog.findChild<QComboBox*>("prefix")->setEditText("ALP");
    QTest::mouseClick(dialog.findChild<QPushButton*>("ok"), Qt::LeftButton);
  });
  EXPECT_TRUE(RunAssignCallsign(doc, 101, Language::French));
  EXPECT_EQ(doc.FindContact(101), nullptr);
  QString callsign;
  ASSERT_TRUE(doc.LookupCallsign(101, callsign));
  EXPECT_EQ(callsign, "ALP1");
}

}  // namespace
}  // namespace vantor::shell
