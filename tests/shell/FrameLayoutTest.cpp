// The main frame's panes: the three splitters on a known screen, the
// right-hand column's expand and collapse thresholds, the approach view's
// two heights, the panes' signals, the accelerator tables of the three
// languages and the exit confirmation without a server.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "FrameTestSupport.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/CExitDlg.h"
#include "vantor/shell/CILSView.h"
#include "vantor/shell/CInfoView.h"
#include "vantor/shell/CSendMsgDlg.h"
#include "vantor/shell/ConsoleStyle.h"
#include "vantor/shell/FrameLayout.h"
#include "vantor/shell/ShellSplitter.h"

namespace vantor::shell::test {
namespace {

QRect InFrame(const CMainFrame& frame, const QWidget* pane) {
  return QRect(pane->mapTo(&frame, QPoint(0, 0)), pane->size());
}

TEST(FrameLayout, ThreeSplittersOnAKnownScreen) {
  ClientUnderTest client("1033", QRect(0, 0, 1600, 1000));
  CMainFrame& frame = client.Frame();
  ASSERT_EQ(frame.geometry(), QRect(0, 0, 1600, 1000));
  EXPECT_EQ(frame.UsableScreenWidth(), 1600);

  // Outer: one row, two columns; column 0 ideal and minimum 1600 - 297.
  ShellSplitter& outer = *frame.OuterSplitter();
  ASSERT_EQ(outer.count(), 2);
  EXPECT_EQ(outer.orientation(), Qt::Horizontal);
  EXPECT_EQ(outer.widget(0), frame.LeftSplitter());
  EXPECT_EQ(outer.widget(1), frame.RightSplitter());
  EXPECT_EQ(frame.LeftSplitter()->width(), 1303);
  EXPECT_EQ(frame.LeftSplitter()->minimumWidth(), 1303);
  EXPECT_EQ(frame.RightSplitter()->x(), 1303 + kSplitterBarWidth);
  EXPECT_EQ(frame.RightSplitter()->width(), 297 - kSplitterBarWidth);

  // Left: the approach view hidden at height 0 above the scope.
  ShellSplitter& left = *frame.LeftSplitter();
  ASSERT_EQ(left.count(), 2);
  EXPECT_EQ(left.widget(0), frame.IlsView());
  EXPECT_EQ(left.widget(1), frame.Scope());
  EXPECT_EQ(frame.IlsView()->height(), 0);
  EXPECT_EQ(frame.Scope()->width(), 1303);
  EXPECT_EQ(frame.Scope()->height(), left.height() - kSplitterBarWidth);

  // Right: an empty text pane of no height, the button panel at 420, the
  // information panel below it.
  ShellSplitter& right = *frame.RightSplitter();
  ASSERT_EQ(right.count(), 3);
  auto* text = qobject_cast<QPlainTextEdit*>(right.widget(0));
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->toPlainText().isEmpty());
  EXPECT_EQ(text->height(), 0);
  EXPECT_EQ(right.widget(1), frame.ButtonView());
  EXPECT_EQ(right.widget(2), frame.InfoView());
  EXPECT_EQ(frame.ButtonView()->height(), kButtonPanelHeight);
  EXPECT_EQ(frame.ButtonView()->minimumHeight(), kButtonPanelHeight);
  EXPECT_EQ(frame.InfoView()->height(), right.height() - kButtonPanelHeight - 2 * kSplitterBarWidth);

  // Bars and borders are one solid grey.
  const QImage shot = frame.grab().toImage();
  const QRect scope = InFrame(frame, frame.Scope());
  const QRect buttons = InFrame(frame, frame.ButtonView());
  const QRgb bar = kFrameBarColour.rgb();
  EXPECT_EQ(shot.pixel(scope.right() + 3, scope.center().y()), bar);
  EXPECT_EQ(shot.pixel(buttons.center().x(), buttons.bottom() + 3), bar);
  EXPECT_EQ(shot.pixel(buttons.center().x(), buttons.top() - 3), bar);
  EXPECT_EQ(shot.pixel(scope.center().x(), scope.top() - 3), bar);
  // The panes are painted, not left to the default grey.
  EXPECT_NE(shot.pixel(buttons.center()), QColor(239, 239, 239).rgb());
}

TEST(FrameLayout, ASmallScreenMeasuresTheColumnsFromTheWindow) {
  ClientUnderTest client("1033", QRect(0, 0, 800, 600));
  CMainFrame& frame = client.Frame();
  ASSERT_EQ(frame.geometry(), QRect(0, 0, 1024, 768));
  // The scope keeps the 727 pixels it was made for.
  EXPECT_EQ(frame.LeftSplitter()->width(), 727);
  EXPECT_EQ(frame.Scope()->width(), 727);
  EXPECT_EQ(frame.RightSplitter()->width(), 297 - kSplitterBarWidth);
}

TEST(FrameLayout, RightColumnExpandsAndCollapsesAtItsThresholds) {
  ClientUnderTest client;
  CMainFrame& frame = client.Frame();
  scope::CRivakView& scope = *frame.Scope();
  ShellSplitter& outer = *frame.OuterSplitter();

  // Expanding an open column changes nothing, not even a range of 400.
  scope.SetRangeKm(400);
  frame.ExpandRightColumn(true);
  EXPECT_EQ(scope.RangeKm(), 400u);
  EXPECT_EQ(frame.LeftSplitter()->width(), 1303);

  // Collapse: column 0 at the usable width less 18; the scope goes wide.
  scope.SetRangeKm(200);
  frame.ExpandRightColumn(false);
  EXPECT_EQ(frame.LeftSplitter()->width(), 1600 - 18);
  EXPECT_EQ(frame.LeftSplitter()->minimumWidth(), 1600 - 18);
  EXPECT_EQ(frame.RightSplitter()->width(), 18 - kSplitterBarWidth);
  EXPECT_TRUE(scope.Geometry().WideScope());
  // Collapsing a collapsed column changes nothing.
  scope.SetRangeKm(400);
  frame.ExpandRightColumn(false);
  EXPECT_EQ(frame.LeftSplitter()->width(), 1600 - 18);
  EXPECT_EQ(scope.RangeKm(), 400u);

  // Expand: back to 297, the range limited to 300, the scope narrow again.
  frame.ExpandRightColumn(true);
  EXPECT_EQ(frame.LeftSplitter()->width(), 1303);
  EXPECT_EQ(frame.RightSplitter()->width(), 297 - kSplitterBarWidth);
  EXPECT_EQ(scope.RangeKm(), 300u);
  EXPECT_FALSE(scope.Geometry().WideScope());

  // At exactly 50 pixels the column is neither expanded nor collapsed.
  auto rightColumnAt = [&](int width) {
    outer.setSizes({outer.width() - kSplitterBarWidth - width, width});
    ASSERT_EQ(frame.RightSplitter()->width(), width);
  };
  rightColumnAt(kCollapsedColumnLimit);
  frame.ExpandRightColumn(true);
  EXPECT_EQ(frame.RightSplitter()->width(), 50);
  frame.ExpandRightColumn(false);
  EXPECT_EQ(frame.RightSplitter()->width(), 50);
  rightColumnAt(49);
  frame.ExpandRightColumn(true);
  EXPECT_EQ(frame.RightSplitter()->width(), 297 - kSplitterBarWidth);
  rightColumnAt(51);
  frame.ExpandRightColumn(false);
  EXPECT_EQ(frame.RightSplitter()->width(), 18 - kSplitterBarWidth);
}

TEST(FrameLayout, ApproachViewShownAt250AndHiddenAtOnePixel) {
  ClientUnderTest client;
  CMainFrame& frame = client.Frame();
  frame.ShowIlsView(true);
  EXPECT_EQ(frame.IlsView()->height(), kIlsViewShownHeight);
  EXPECT_EQ(frame.IlsView()->minimumHeight(), kIlsViewShownHeight);
  EXPECT_EQ(frame.Scope()->height(), frame.LeftSplitter()->height() - kIlsViewShownHeight - kSplitterBarWidth);
  frame.ShowIlsView(false);
  EXPECT_EQ(frame.IlsView()->height(), kIlsViewHiddenHeight);

  // The panel's ATC button drives both the view and its pane.
  Q_EMIT frame.ButtonView()->IlsViewShown(true);
  EXPECT_TRUE(frame.IlsView()->Active());
  EXPECT_EQ(frame.IlsView()->height(), kIlsViewShownHeight);
  Q_EMIT frame.ButtonView()->IlsViewShown(false);
  EXPECT_FALSE(frame.IlsView()->Active());
  EXPECT_EQ(frame.IlsView()->height(), kIlsViewHiddenHeight);

  // The information panel collapses and expands the column.
  Q_EMIT frame.InfoView()->ExpandRequested(false);
  EXPECT_EQ(frame.RightSplitter()->width(), 18 - kSplitterBarWidth);
  Q_EMIT frame.InfoView()->ExpandRequested(true);
  EXPECT_EQ(frame.RightSplitter()->width(), 297 - kSplitterBarWidth);
}

TEST(FrameAccelerators, PasteAndUndoKeysOfEachTable) {
  using Keys = QList<QKeySequence>;
  const QKeySequence ctrlV(Qt::CTRL | Qt::Key_V), ctrlY(Qt::CTRL | Qt::Key_Y), shiftInsert(Qt::SHIFT | Qt::Key_Insert);
  const QKeySequence ctrlZ(Qt::CTRL | Qt::Key_Z), altBackspace(Qt::ALT | Qt::Key_Backspace);
  EXPECT_EQ(AcceleratorKeys(Language::French, FrameCommand::Paste), (Keys{ctrlV, ctrlY}));
  EXPECT_EQ(AcceleratorKeys(Language::French, FrameCommand::Undo), (Keys{altBackspace}));
  for (const Language language : {Language::English, Language::Spanish}) {
    EXPECT_EQ(AcceleratorKeys(language, FrameCommand::Paste), (Keys{ctrlV, shiftInsert}));
    EXPECT_EQ(AcceleratorKeys(language, FrameCommand::Undo), (Keys{ctrlZ, altBackspace}));
  }
}

class FrameKeys : public ::testing::TestWithParam<const char*> {
 protected:
  // Presses the keys on the scope; true when "Send Msg" opened (and is
  // cancelled again).
  static bool OpensSendMsg(CMainFrame& frame, QKeyCombination keys) {
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
      if (auto* dialog = qobject_cast<CSendMsgDlg*>(QApplication::activeModalWidget())) {
        opened = true;
        Click(*dialog, "cancel");
      }
    });
    QTest::keyClick(frame.Scope(), keys.key(), keys.keyboardModifiers());
    QTest::qWait(5);
    // The window is active again once the dialog has gone.
    frame.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    return opened;
  }
};

TEST_P(FrameKeys, PasteOpensSendMsgAndUndoTakesBackDrawingPoints) {
  ClientUnderTest client(GetParam());
  CMainFrame& frame = client.Frame();
  frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  scope::CRivakView* scope = frame.Scope();
  const bool french = std::string_view(GetParam()) == "1036";

  EXPECT_TRUE(OpensSendMsg(frame, Qt::CTRL | Qt::Key_V));
  EXPECT_EQ(OpensSendMsg(frame, Qt::CTRL | Qt::Key_Y), french);
  EXPECT_EQ(OpensSendMsg(frame, Qt::SHIFT | Qt::Key_Insert), !french);

  scope->StartDrawing();
  const std::size_t start = scope->MapData()->drawing.Size();
  QTest::mouseClick(scope, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  QTest::mouseClick(scope, Qt::LeftButton, Qt::NoModifier, QPoint(400, 320));
  ASSERT_EQ(scope->MapData()->drawing.Size(), start + 2);
  QTest::keyClick(scope, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(scope->MapData()->drawing.Size(), french ? start + 2 : start + 1);
  QTest::keyClick(scope, Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(scope->MapData()->drawing.Size(), french ? start + 1 : start);
  scope->StopDrawing();
}

INSTANTIATE_TEST_SUITE_P(Tables, FrameKeys, ::testing::Values("1036", "1033", "1034"));

TEST(FrameExit, CancelStaysOkClosesReconnectWithoutServerStaysOpen) {
  ClientUnderTest client("1034");
  CMainFrame& frame = client.Frame();
  QString text;
  WhenModalOpens<CExitDlg>([&text](CExitDlg& dialog) {
    text = dialog.findChild<QLabel*>("text")->text();
    EXPECT_EQ(dialog.windowTitle(), "VANTOR");
    Click(dialog, "cancel");
  });
  frame.RequestExit();
  EXPECT_EQ(text, "Salir ahora");
  EXPECT_TRUE(frame.isVisible());

  // Reconnect: the address dialog is cancelled here; the scope is redrawn
  // and no longer wide.
  frame.ExpandRightColumn(false);
  ASSERT_TRUE(frame.Scope()->Geometry().WideScope());
  WhenModalOpens<CExitDlg>([](CExitDlg& dialog) { Click(dialog, "reconnect"); });
  frame.RequestExit();
  EXPECT_TRUE(frame.isVisible());
  EXPECT_FALSE(frame.Scope()->Geometry().WideScope());

  // The panel's quit button and the menu entry ask the same question.
  WhenModalOpens<CExitDlg>([](CExitDlg& dialog) { Click(dialog, "ok"); });
  Q_EMIT frame.ButtonView()->ExitRequested();
  EXPECT_FALSE(frame.isVisible());
}

TEST(FrameExit, TextsByLanguage) {
  for (const auto& [language, text] : {std::pair{Language::French, "Quitter"}, std::pair{Language::English, "Exit now"},
                                       std::pair{Language::Spanish, "Salir ahora"}}) {
    CExitDlg dialog(language);
    EXPECT_EQ(dialog.findChild<QLabel*>("text")->text(), text);
    EXPECT_EQ(dialog.findChild<QPushButton*>("reconnect")->text(), "Reconnect");
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.Choice(), ExitChoice::Cancel);
  }
}

TEST(FrameDrawing, AnUnwritableDrawingIsReportedAndTheFileStays) {
  const QByteArray stored = "45.000000\t38.000000\n";
  ClientUnderTest client("1033", QRect(0, 0, 1600, 1000), [&stored](StartupOptions& options, ShellPlatform&) {
    const QDir folder(options.dataFolders.front());
    QFile drawing(folder.filePath("dessin.dat"));
    ASSERT_TRUE(drawing.open(QIODevice::WriteOnly));
    drawing.write(stored);
    // What the new drawing would be written to first is taken.
    ASSERT_TRUE(folder.mkdir("dessin.dat.new"));
  });
  CMainFrame& frame = client.Frame();
  frame.Scope()->StartDrawing();
  QTest::mouseClick(frame.Scope(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  EXPECT_FALSE(frame.SaveDrawingOnExit());
  EXPECT_TRUE(frame.isVisible());
  QFile drawing(client.dir.filePath("dessin.dat"));
  ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
  EXPECT_EQ(drawing.readAll(), stored);
}

}  // namespace
}  // namespace vantor::shell::test
