// The connection as the shell shows it, against a scripted server: the
// password dialog opened over the window without blocking the event loop,
// answered back to the connection, withdrawn when the connection ends; the
// chat message window; and the log-on without anyone to answer.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

#include "NetTestSupport.h"
#include "vantor/shell/CPasswordDlg.h"
#include "vantor/shell/ConnectionShell.h"

namespace vantor::shell {
namespace {

using namespace std::chrono_literals;
using net::ConnectionState;
using test::WaitUntil;

const QByteArray kRedJoin("\x06\x01", 2);

class ConnectionShellTest : public ::testing::Test {
 protected:
  // The shell over the window, connected at once (no address dialog); the
  // messages it shows are recorded.
  void Start(bool passwordDialog) {
    net::ConnectionOptions options;
    options.serverPort = server_.port();
    options.datagramPort = test::FreeTcpPort();
    options.bindAddress = QHostAddress("127.0.0.1");
    options.serverListFile = dir_.filePath("Configsrv.cfg");
    options.presetServer = QString("127.0.0.1");
    ConnectionShell::Parts parts;
    auto recorder = std::make_unique<test::RecordingNotifier>();
    notifier_ = recorder.get();
    parts.notifier = std::move(recorder);
    parts.passwordDialog = passwordDialog;
    shell_ =
        std::make_unique<ConnectionShell>(document_, Language::English, 12, options, std::move(parts), &window_, false);
    ASSERT_TRUE(shell_->ConnectToServer());
    ASSERT_TRUE(server_.WaitForClient());
    ASSERT_TRUE(WaitUntil([&] { return State() == ConnectionState::WaitingForConfig; }));
  }
  ConnectionState State() const { return shell_->Connection().State(); }
  // Waits for the dialog and answers it as a user would.
  void Answer(const QString& text) {
    ASSERT_TRUE(WaitUntil([&] { return shell_->PasswordDialog() != nullptr; }));
    CPasswordDlg* dialog = shell_->PasswordDialog();
    dialog->findChild<QLineEdit*>("password")->setText(text);
    dialog->findChild<QPushButton*>("ok")->click();
  }

  QTemporaryDir dir_;
  test::ScriptedServer server_;
  model::ClientState state_;
  model::CRivakDoc document_{state_};
  QWidget window_;
  test::RecordingNotifier* notifier_ = nullptr;
  std::unique_ptr<ConnectionShell> shell_;
};

TEST_F(ConnectionShellTest, PasswordDialogOverTheWindowAnswersTheConnection) {
  Start(true);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(WaitUntil([&] { return shell_->PasswordDialog() != nullptr; }));
  CPasswordDlg* dialog = shell_->PasswordDialog();
  EXPECT_EQ(dialog->parentWidget(), &window_);
  EXPECT_EQ(dialog->windowTitle(), "Password");
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(State(), ConnectionState::LoggingOn);
  // The event loop runs on while the dialog is open: datagrams still arrive.
  server_.SendDatagram("10000001CShip[A]@44.0 37.0 0.0 0.00 10##", shell_->Connection().DatagramPort());
  ASSERT_TRUE(WaitUntil([&] { return document_.ContactCount() == 1; }));

  Answer("nope");
  ASSERT_TRUE(WaitUntil([&] { return !notifier_->shown.empty(); }));
  EXPECT_EQ(notifier_->shown, std::vector<QString>{"Invalid password."});
  // The dialog again, a new one, for the second entry.
  Answer("RED");
  ASSERT_TRUE(server_.WaitForReceived(2));
  EXPECT_EQ(server_.Received(), kRedJoin);
  EXPECT_EQ(State(), ConnectionState::Joined);
  EXPECT_EQ(shell_->PasswordDialog(), nullptr);
  EXPECT_FALSE(state_.isBlue);
}

TEST_F(ConnectionShellTest, CancelClosesWithoutAMessage) {
  Start(true);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(WaitUntil([&] { return shell_->PasswordDialog() != nullptr; }));
  shell_->PasswordDialog()->findChild<QPushButton*>("cancel")->click();
  ASSERT_TRUE(server_.WaitForClientClosed());
  EXPECT_EQ(State(), ConnectionState::Closed);
  EXPECT_TRUE(notifier_->shown.empty());
  EXPECT_TRUE(server_.Received().isEmpty());
}

TEST_F(ConnectionShellTest, TheDialogGoesWhenTheServerLeaves) {
  Start(true);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(WaitUntil([&] { return shell_->PasswordDialog() != nullptr; }));
  QPointer<CPasswordDlg> dialog = shell_->PasswordDialog();
  server_.CloseClient();
  ASSERT_TRUE(WaitUntil([&] { return State() == ConnectionState::Closed; }));
  EXPECT_EQ(shell_->PasswordDialog(), nullptr);
  EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
  EXPECT_EQ(notifier_->shown, std::vector<QString>{"Disconnected from server"});
}

TEST_F(ConnectionShellTest, ReconnectingWithdrawsTheOpenDialog) {
  Start(true);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(WaitUntil([&] { return shell_->PasswordDialog() != nullptr; }));
  QPointer<CPasswordDlg> dialog = shell_->PasswordDialog();
  // The address dialog of the new connection is cancelled: no connection.
  EXPECT_FALSE(shell_->ConnectToServer());
  EXPECT_EQ(State(), ConnectionState::NoConnection);
  EXPECT_EQ(shell_->PasswordDialog(), nullptr);
  EXPECT_TRUE(dialog.isNull() || !dialog->isVisible());
  ASSERT_TRUE(server_.WaitForClientClosed());
  EXPECT_TRUE(notifier_->shown.empty());
}

TEST_F(ConnectionShellTest, WithoutADisplayALogOnThatNeedsAPasswordGivesUp) {
  Start(false);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("blue", "red")));
  ASSERT_TRUE(server_.WaitForClientClosed());
  EXPECT_EQ(State(), ConnectionState::Closed);
  EXPECT_EQ(shell_->PasswordDialog(), nullptr);
  EXPECT_TRUE(notifier_->shown.empty());
}

TEST_F(ConnectionShellTest, ChatBringsUpTheMessageWindowAtItsPlace) {
  Start(false);
  server_.Send(test::ConfigBlockBytes(test::BlockWithPasswords("", "")));
  ASSERT_TRUE(server_.WaitForReceived(2));
  CMessageWnd& messages = shell_->MessageWindow();
  EXPECT_FALSE(messages.isVisible());
  messages.move(300, 300);
  server_.Send(QByteArray("\x03") + "hello");
  ASSERT_TRUE(WaitUntil([&] { return messages.Messages().size() == 1; }));
  EXPECT_EQ(messages.Messages().front(), "hello");
  EXPECT_TRUE(messages.isVisible());
  EXPECT_EQ(messages.pos(), QPoint(20, 30));
  EXPECT_EQ(messages.parentWidget(), &window_);
}

}  // namespace
}  // namespace vantor::shell
