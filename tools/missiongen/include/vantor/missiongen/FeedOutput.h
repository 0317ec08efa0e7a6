#pragma once
// Where the feed goes: the server's feed port, or standard output.

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <string>

namespace vantor::missiongen {

class FeedOutput : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  virtual void Open() = 0;
  // Connected, and not so far behind that another batch would only pile up.
  virtual bool Ready() const = 0;
  virtual bool Connected() const = 0;
  virtual void Write(const std::string& text) = 0;
  // Sends what is still queued (for at most a few seconds), closes, then
  // calls `done`.
  virtual void Close(std::function<void()> done) = 0;

 Q_SIGNALS:
  // A (new) connection is up: the feed starts again with its clock record.
  void Opened();
  // The output cannot go on (standard output closed).
  void Failed(const QString& why);
};

// The server's feed port. Connects, and connects again every `retryMs`
// while the server is not up or after it closed the connection.
class TcpFeedOutput : public FeedOutput {
  Q_OBJECT
 public:
  TcpFeedOutput(QString host, quint16 port, int retryMs, QObject* parent = nullptr);
  void Open() override;
  bool Ready() const override;
  bool Connected() const override;
  void Write(const std::string& text) override;
  void Close(std::function<void()> done) override;

 private:
  void OnDisconnected();
  void OnError(QAbstractSocket::SocketError error);
  void ScheduleRetry();

  QString host_;
  quint16 port_;
  QTcpSocket socket_;
  QTimer retryTimer_;
  std::size_t lastWriteBytes_ = 0;
  bool closing_ = false;
  bool waitingReported_ = false;
};

// Standard output, for piping into other tools and for tests.
class StdoutFeedOutput : public FeedOutput {
  Q_OBJECT
 public:
  using FeedOutput::FeedOutput;
  void Open() override;
  bool Ready() const override { return !failed_; }
  bool Connected() const override { return !failed_; }
  void Write(const std::string& text) override;
  void Close(std::function<void()> done) override;

 private:
  bool failed_ = false;
};

}  // namespace vantor::missiongen
