// The connection's widgets: the server address dialog over "Configsrv.cfg",
// the password dialog, the chat message window and the address prompts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "vantor/net/ServerAddressList.h"
#include "vantor/platform/Display.h"
#include "vantor/shell/CMessageWnd.h"
#include "vantor/shell/CPasswordDlg.h"
#include "vantor/shell/CServerAddressDlg.h"
#include "vantor/shell/ConnectionShell.h"

namespace vantor::shell {
namespace {

template <typename Widget>
Widget* Child(QWidget& parent, const char* name) {
  return parent.findChild<Widget*>(QString::fromLatin1(name));
}

// Acts on the modal dialog once its event loop runs.
void WhenModal(std::function<void(QWidget&)> act) {
  QTimer::singleShot(0, [act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    ASSERT_NE(modal, nullptr);
    act(*modal);
  });
}

// The password dialog run to its end: the text for OK, nothing for Cancel.
std::optional<QString> RunPasswordDialog(Language language) {
  CPasswordDlg dialog(language);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Password();
}

class AddressDialog : public ::testing::Test {
 protected:
  QString path() const { return dir.filePath("Configsrv.cfg"); }
  void Write(const QByteArray& content) const {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }
  QByteArray Read() const {
    QFile file(path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }
  net::ServerAddressList& List() {
    list.Load();
    return list;
  }
  QTemporaryDir dir;
  net::ServerAddressList list{dir.filePath("Configsrv.cfg")};
};

TEST_F(AddressDialog, TextsFollowTheLanguage) {
  struct Expected {
    Language language;
    const char *caption, *label, *ok, *cancel;
  };
  for (const Expected& e : {Expected{Language::French, "Serveur", "Adresse du serveur:", "OK", "Cancel"},
                            Expected{kFallbackLanguage, "Serveur", "Adresse du serveur:", "OK", "Cancel"},
                            Expected{Language::English, "Server", "Server IP", "&OK", "&Cancel"},
                            Expected{Language::Spanish, "Servidor", "IP de Servidor", "&OK", "&Cancelar"}}) {
    CServerAddressDlg dialog(List(), e.language);
    EXPECT_EQ(dialog.windowTitle(), e.caption);
    EXPECT_EQ(Child<QLabel>(dialog, "addressLabel")->text(), e.label);
    EXPECT_EQ(Child<QPushButton>(dialog, "resetList")->text(), "Reset list");
    EXPECT_EQ(Child<QPushButton>(dialog, "ok")->text(), e.ok);
    EXPECT_EQ(Child<QPushButton>(dialog, "cancel")->text(), e.cancel);
    EXPECT_TRUE(Child<QPushButton>(dialog, "ok")->isDefault());
    EXPECT_FALSE(Child<QLabel>(dialog, "banner")->pixmap().isNull());
  }
}

TEST_F(AddressDialog, DropDownIsEditableAndSorted) {
  Write("zulu.example\n10.0.0.2\nAlpha\n10.0.0.2\n");
  CServerAddressDlg dialog(List(), Language::English);
  QComboBox* box = Child<QComboBox>(dialog, "address");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isEditable());
  ASSERT_EQ(box->count(), 3);
  EXPECT_EQ(box->itemText(0), "10.0.0.2");
  EXPECT_EQ(box->itemText(1), "Alpha");
  EXPECT_EQ(box->itemText(2), "zulu.example");
  EXPECT_EQ(box->currentText(), "");
  // Nothing typed: OK cannot be pressed.
  EXPECT_FALSE(Child<QPushButton>(dialog, "ok")->isEnabled());
  box->setEditText("  ");
  EXPECT_FALSE(Child<QPushButton>(dialog, "ok")->isEnabled());
  box->setCurrentIndex(1);
  EXPECT_TRUE(Child<QPushButton>(dialog, "ok")->isEnabled());
}

TEST_F(AddressDialog, TypingANewAddressWritesTheFile) {
  Write("10.0.0.2\n");
  WhenModal([](QWidget& dialog) {
    Child<QComboBox>(dialog, "address")->setEditText(" radar.example ");
    Child<QPushButton>(dialog, "ok")->click();
  });
  EXPECT_EQ(CServerAddressDlg::Run(List(), Language::English), "radar.example");
  EXPECT_EQ(Read(), "10.0.0.2\nradar.example\n");
}

TEST_F(AddressDialog, ChoosingAListedAddressLeavesTheFile) {
  Write("b.example\na.example\nb.example\n");
  WhenModal([](QWidget& dialog) {
    auto* box = Child<QComboBox>(dialog, "address");
    box->setCurrentIndex(box->findText("b.example"));
    QTest::keyClick(&dialog, Qt::Key_Return);  // the default button
  });
  EXPECT_EQ(CServerAddressDlg::Run(List(), Language::French), "b.example");
  EXPECT_EQ(Read(), "b.example\na.example\nb.example\n");
}

TEST_F(AddressDialog, ResetListThenCancelLeavesAnEmptyFile) {
  Write("one\ntwo\n");
  WhenModal([](QWidget& dialog) {
    Child<QPushButton>(dialog, "resetList")->click();
    EXPECT_EQ(Child<QComboBox>(dialog, "address")->count(), 0);
    EXPECT_TRUE(dialog.isVisible());
    Child<QPushButton>(dialog, "cancel")->click();
  });
  EXPECT_EQ(CServerAddressDlg::Run(List(), Language::English), std::nullopt);
  EXPECT_EQ(Read(), "");
}

TEST_F(AddressDialog, CancelWritesNothing) {
  WhenModal([](QWidget& dialog) {
    Child<QComboBox>(dialog, "address")->setEditText("typed.example");
    Child<QPushButton>(dialog, "cancel")->click();
  });
  EXPECT_EQ(CServerAddressDlg::Run(List(), Language::English), std::nullopt);
  EXPECT_EQ(Read(), "<missing>");
}

TEST(PasswordDialog, NineMaskedCharactersAtMost) {
  CPasswordDlg dialog(Language::English);
  EXPECT_EQ(dialog.windowTitle(), "Password");
  QLineEdit* edit = Child<QLineEdit>(dialog, "password");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->maxLength(), 9);
  EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
  QTest::keyClicks(edit, "abcdefghijkl");
  EXPECT_EQ(dialog.Password(), "abcdefghi");
  EXPECT_EQ(CPasswordDlg(Language::Spanish).windowTitle(), "Password");
}

TEST(PasswordDialog, OkGivesTheTextCancelNothing) {
  WhenModal([](QWidget& dialog) {
    QTest::keyClicks(Child<QLineEdit>(dialog, "password"), "Tiger");
    QTest::keyClick(Child<QLineEdit>(dialog, "password"), Qt::Key_Return);
  });
  EXPECT_EQ(RunPasswordDialog(Language::French), "Tiger");
  WhenModal([](QWidget& dialog) { Child<QPushButton>(dialog, "cancel")->click(); });
  EXPECT_EQ(RunPasswordDialog(Language::French), std::nullopt);
  // An empty entry is an answer too (a coalition without a password).
  WhenModal([](QWidget& dialog) { Child<QPushButton>(dialog, "ok")->click(); });
  EXPECT_EQ(RunPasswordDialog(Language::English), QString(""));
}

// The password dialog over the window is the connection shell's: see
// ConnectionShellTest.
TEST(AddressPrompts, RunTheDialogOverTheWindow) {
  QTemporaryDir dir;
  net::ServerAddressList list(dir.filePath("Configsrv.cfg"));
  QWidget window;
  WidgetAddressPrompt prompts(&window, Language::English);
  WhenModal([&window](QWidget& dialog) {
    EXPECT_EQ(dialog.parentWidget(), &window);
    Child<QComboBox>(dialog, "address")->setEditText("127.0.0.1");
    Child<QPushButton>(dialog, "ok")->click();
  });
  EXPECT_EQ(prompts.AskServerAddress(list), "127.0.0.1");
  EXPECT_EQ(list.Entries(), QStringList{"127.0.0.1"});

  // Without a display nobody could answer: the dialog counts as cancelled.
  UnattendedAddressPrompt unattended;
  EXPECT_EQ(unattended.AskServerAddress(list), std::nullopt);
  EXPECT_FALSE(HasInteractiveDisplay());
  EXPECT_NE(dynamic_cast<UnattendedAddressPrompt*>(DefaultAddressPrompt(&window, Language::English).get()), nullptr);
}

TEST(MessageWindow, ListsMessagesAndComesUpAtTheGivenPlace) {
  QWidget owner;
  CMessageWnd window(Language::English, 0, &owner);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), "chat");
  EXPECT_NEAR(window.windowOpacity(), 150.0 / 255.0, 0.01);
  window.resize(300, 100);
  window.AddMessage("first");
  window.AddMessage("second");
  EXPECT_EQ(window.Messages(), (QStringList{"first", "second"}));
  window.ShowAt(20, 30);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.pos(), QPoint(20, 30));
  EXPECT_EQ(window.size(), QSize(300, 100));
  // The newest line is drawn in green just above the bottom edge.
  const QImage picture = window.grab().toImage();
  bool greenNearBottom = false;
  for (int y = 100 - 15; y < 100 && !greenNearBottom; ++y) {
    for (int x = 20; x < 120 && !greenNearBottom; ++x) {
      const QColor pixel = picture.pixelColor(x, y);
      greenNearBottom = pixel.green() > 100 && pixel.red() < 80 && pixel.blue() < 80;
    }
  }
  EXPECT_TRUE(greenNearBottom);
  // A long chat keeps its newest messages.
  for (int i = 0; i < 1000; ++i) window.AddMessage(QString::number(i));
  EXPECT_LE(window.Messages().size(), 500);
  EXPECT_EQ(window.Messages().back(), "999");
}

TEST(TrackLog, OptionOrEnvironment) {
  qunsetenv("VANTOR_LOG_TRACKS");
  EXPECT_FALSE(TrackLogRequested(false));
  EXPECT_TRUE(TrackLogRequested(true));
  qputenv("VANTOR_LOG_TRACKS", "1");
  EXPECT_TRUE(TrackLogRequested(false));
  qputenv("VANTOR_LOG_TRACKS", "0");
  EXPECT_FALSE(TrackLogRequested(false));
  qunsetenv("VANTOR_LOG_TRACKS");
}

}  // namespace
}  // namespace vantor::shell
