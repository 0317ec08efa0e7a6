#pragma once
// Records what a client connection receives: hooked to the connection as its
// reception tap, it timestamps each log-on, track datagram and chat read and
// hands them to a background RecordWriter. The live connection is untouched:
// the tap only copies bytes, and a failing disk only ends the recording.
//
// Started before the log-on, the file is created at once (so a bad name is
// told at once) and its header written at the log-on, when the coalition is
// known. Started during a session, the recording begins with that log-on and
// the contacts the table holds, as one datagram of their records (trails
// start afresh in the replay).

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "vantor/net/ReceptionTap.h"
#include "vantor/record/RecordWriter.h"
#include "vantor/texts/Language.h"

namespace vantor::net {
class ClientConnection;
}
namespace vantor::model {
class CRivakDoc;
}

namespace vantor::record {

// UTC milliseconds since 1970.
using MillisecondClock = std::function<std::int64_t()>;
MillisecondClock SystemMillisecondClock();

class SessionRecorder : public QObject, public net::ReceptionTap {
  Q_OBJECT
 public:
  // `connection` and `document` (the connection's) must outlive the recorder.
  SessionRecorder(net::ClientConnection& connection, const model::CRivakDoc& document, Language language,
                  MillisecondClock clock = {}, WriterOptions options = {}, QObject* parent = nullptr);
  ~SessionRecorder() override;
  SessionRecorder(const SessionRecorder&) = delete;
  SessionRecorder& operator=(const SessionRecorder&) = delete;

  // Begins a recording into `file` (replacing one in progress). False and
  // `error` (a message for the user) when the file cannot be created.
  bool Start(const QString& file, QString& error);
  // Ends the recording; what was received is on the disk when it returns.
  void Stop();
  bool IsRecording() const { return !file_.isEmpty(); }
  const QString& File() const { return file_; }
  // Bytes written so far.
  std::uint64_t BytesWritten() const { return writer_ ? writer_->BytesWritten() : 0; }

 Q_SIGNALS:
  void RecordingChanged(bool recording);
  // Writing failed and the recording has stopped; the message tells why.
  void Failed(const QString& message);

 private:
  void Joined(int side, std::span<const std::uint8_t> configBlock) override;
  void TrackDatagramAccepted(std::span<const std::uint8_t> datagram) override;
  void ControlMessageRead(std::span<const std::uint8_t> bytes) override;
  bool OpenWriter(int side, QString& error);
  void WriteJoin(int side, std::span<const std::uint8_t> configBlock);
  void WriteCurrentTable();
  void Append(FrameKind kind, std::span<const std::uint8_t> payload);
  void OnWriteFailure(const WriteFailure& failure);

  net::ClientConnection& connection_;
  const model::CRivakDoc& document_;
  Language language_;
  MillisecondClock clock_;
  WriterOptions options_;
  QString file_;  // empty: not recording
  std::unique_ptr<RecordWriter> writer_;
  std::int64_t startMs_ = 0;
  std::uint32_t lastArrivalMs_ = 0;
};

}  // namespace vantor::record
