#pragma once
// A client's connection with scripted dialogs, a scripted server for what a
// real server never sends, and the real vantorsrv with a scripted feed.

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "TestSupport.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/net/ClientConnection.h"
#include "vantor/net/ConnectionUi.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/ConfigBlock.h"

namespace vantor::test {

using namespace std::chrono_literals;

// Answers the address dialog and the connection's password questions from
// queues; an empty queue cancels. A password question is answered from the
// event loop, as the dialog a user fills in would.
class ScriptedPrompts final : public net::ServerAddressPrompt {
 public:
  std::optional<QString> AskServerAddress(net::ServerAddressList& list) override;
  // Answers PasswordNeeded of `connection` from here on.
  void AnswerPasswords(net::ClientConnection& connection);

  std::deque<std::optional<QString>> addresses;
  std::deque<std::optional<QString>> passwords;
  int addressShown = 0;
  int passwordShown = 0;
  // Run while a dialog is "open", before it answers.
  std::function<void()> whileAddressShown;
  std::function<void()> whilePasswordShown;
};

class RecordingNotifier final : public Notifier {
 public:
  void ShowError(const QString& text) override { shown.push_back(text); }
  void ShowInformation(const QString& text) override { shown.push_back(text); }
  std::vector<QString> shown;
  bool Saw(const QString& text) const;
};

// The chat texts the connection hands to the message window.
struct RecordedChat {
  std::vector<QString> messages;
  int shownCount = 0;
};

// Everything a client needs around its connection, with a settable clock.
class ClientUnderTest {
 public:
  explicit ClientUnderTest(net::ConnectionOptions options, Language language = Language::English);
  ~ClientUnderTest();

  model::ClientState state;
  std::int64_t now = 1'700'000'000;
  model::CRivakDoc document;
  ScriptedPrompts prompts;
  RecordingNotifier notifier;
  RecordedChat messages;
  std::unique_ptr<net::ClientConnection> connection;
  std::vector<int> centringCommands;
  std::vector<int> loggedOnSides;
  int datagramsApplied = 0;

  bool WaitForState(net::ConnectionState wanted, std::chrono::milliseconds timeout = 5s);
  bool WaitForContacts(std::size_t count, std::chrono::milliseconds timeout = 5s);
  const model::CContact* Contact(int id) const { return document.FindContact(id); }
};

// A server that sends exactly the bytes a test gives it, one write each.
// Every accepted client is kept; the calls act on the latest one.
class ScriptedServer {
 public:
  ScriptedServer();
  quint16 port() const { return listener_.serverPort(); }
  // Waits until `count` clients have been accepted in all.
  bool WaitForClient(std::chrono::milliseconds timeout = 5s, std::size_t count = 1);
  // One write; waits until the bytes have left.
  void Send(const QByteArray& bytes);
  // Bytes the latest client sent so far.
  QByteArray Received();
  bool WaitForReceived(qsizetype count, std::chrono::milliseconds timeout = 5s);
  // Waits until client `index` (the latest when negative) has closed.
  bool WaitForClientClosed(std::chrono::milliseconds timeout = 5s, int index = -1);
  void CloseClient();
  // The client's address as seen on the control connection.
  QHostAddress ClientAddress() const;
  // One datagram to the client's address and `port`.
  void SendDatagram(const QByteArray& bytes, quint16 port);

 private:
  struct Peer {
    QTcpSocket* socket = nullptr;
    QHostAddress address;  // kept: a closed socket forgets its peer
    QByteArray received;
  };
  Peer* Latest() { return peers_.empty() ? nullptr : peers_.back().get(); }
  const Peer* Latest() const { return peers_.empty() ? nullptr : peers_.back().get(); }

  QTcpServer listener_;
  std::vector<std::unique_ptr<Peer>> peers_;
  QUdpSocket udp_;
};

// Settings of a ConfigBlock for the scripted server.
QByteArray ConfigBlockBytes(const protocol::ConfigBlock& block);
protocol::ConfigBlock BlockWithPasswords(const std::string& blue, const std::string& red);

// The real server, headless, on free ports, with its own settings file.
class ServerProcess {
 public:
  // `configure` writes the server's settings before it starts.
  explicit ServerProcess(const std::function<void(SettingsStore&)>& configure = {});
  ~ServerProcess();
  bool Start();
  void Stop();
  quint16 feedPort() const { return feedPort_; }
  quint16 clientPort() const { return clientPort_; }
  QString Output();

 private:
  QTemporaryDir dir_;
  quint16 feedPort_;
  quint16 clientPort_;
  QProcess process_;
  QString output_;
};

// The simulator's side of the feed.
class FeedWriter {
 public:
  bool Connect(quint16 port);
  // One feed record: "%08d %c %s[%s]@@lat lon alt heading##".
  static QByteArray Record(int id, char classLetter, const QString& name, const QString& coalition, double latitude,
                           double longitude, double altitude, double heading);
  void Send(const QByteArray& text);
  void Close();

 private:
  QTcpSocket socket_;
};

}  // namespace vantor::test
