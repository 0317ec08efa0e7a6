#include "vantor/record/SessionRecorder.h"

#include <QFile>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "vantor/net/ClientConnection.h"
#include "vantor/texts/QText.h"

namespace vantor::record {

MillisecondClock SystemMillisecondClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
}

SessionRecorder::SessionRecorder(net::ClientConnection& connection, Language language, MillisecondClock clock,
                                 WriterOptions options, QObject* parent)
    : QObject(parent),
      connection_(connection),
      language_(language),
      clock_(clock ? std::move(clock) : SystemMillisecondClock()),
      options_(std::move(options)) {}

SessionRecorder::~SessionRecorder() { Stop(); }

bool SessionRecorder::Start(const QString& file, QString& error) {
  Stop();
  file_ = file;
  if (const protocol::ConfigBlockBytes* block = connection_.JoinedConfigBlock()) {
    const int side = connection_.OwnCoalition() == protocol::CoalitionCode::Blue ? 0 : 1;
    if (!OpenWriter(side, error)) {
      file_.clear();
      return false;
    }
    WriteJoin(side, *block);
  } else {
    // The header waits for the log-on; whether the file can be made is
    // known now.
    QFile probe(file);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      error = QText(TextId::RecordCannotCreate, language_).arg(file, probe.errorString());
      file_.clear();
      return false;
    }
  }
  connection_.SetReceptionTap(this);
  Q_EMIT RecordingChanged(true);
  return true;
}

void SessionRecorder::Stop() {
  if (file_.isEmpty()) return;
  connection_.SetReceptionTap(nullptr);
  writer_.reset();  // writes what is queued
  file_.clear();
  Q_EMIT RecordingChanged(false);
}

bool SessionRecorder::OpenWriter(int side, QString& error) {
  RecordHeader header;
  header.coalition = static_cast<std::uint8_t>(side == 0 ? 0 : 1);
  header.startMs = clock_();
  WriterOptions options = options_;
  options.onFailure = [this](const WriteFailure& failure) {
    // From the writer's thread to this object's.
    QMetaObject::invokeMethod(
        this, [this, failure] { OnWriteFailure(failure); }, Qt::QueuedConnection);
  };
  WriteFailure failure;
  writer_ = RecordWriter::Create(file_.toStdU16String(), header, std::move(options), failure);
  if (!writer_) {
    error = QText(TextId::RecordCannotCreate, language_).arg(file_, QString::fromLocal8Bit(failure.reason));
    return false;
  }
  startMs_ = header.startMs;
  lastArrivalMs_ = 0;
  return true;
}

void SessionRecorder::Joined(int side, std::span<const std::uint8_t> configBlock) {
  if (file_.isEmpty()) return;
  if (!writer_) {
    QString error;
    if (!OpenWriter(side, error)) {
      connection_.SetReceptionTap(nullptr);
      file_.clear();
      Q_EMIT RecordingChanged(false);
      Q_EMIT Failed(error);
      return;
    }
  }
  WriteJoin(side, configBlock);
}

void SessionRecorder::WriteJoin(int side, std::span<const std::uint8_t> configBlock) {
  std::vector<std::uint8_t> payload;
  payload.reserve(1 + configBlock.size());
  payload.push_back(static_cast<std::uint8_t>(side == 0 ? 0 : 1));
  payload.insert(payload.end(), configBlock.begin(), configBlock.end());
  Append(FrameKind::Joined, payload);
}

void SessionRecorder::TrackDatagramAccepted(std::span<const std::uint8_t> datagram) {
  Append(FrameKind::TrackDatagram, datagram);
}

void SessionRecorder::ControlMessageRead(std::span<const std::uint8_t> bytes) {
  Append(FrameKind::ControlMessage, bytes);
}

void SessionRecorder::Append(FrameKind kind, std::span<const std::uint8_t> payload) {
  if (!writer_) return;  // before the log-on nothing shapes the picture
  // A wall clock set back never makes arrivals go back.
  const std::int64_t elapsed =
      std::clamp<std::int64_t>(clock_() - startMs_, lastArrivalMs_, std::numeric_limits<std::uint32_t>::max());
  lastArrivalMs_ = static_cast<std::uint32_t>(elapsed);
  writer_->Append(kind, lastArrivalMs_, payload);
}

void SessionRecorder::OnWriteFailure(const WriteFailure& failure) {
  if (!writer_ || !writer_->Failure()) return;  // a recording stopped meanwhile
  const QString file = file_;
  const QString reason = QString::fromLocal8Bit(failure.reason);
  Stop();
  Q_EMIT Failed(failure.diskFull ? QText(TextId::RecordDiskFull, language_).arg(file)
                                 : QText(TextId::RecordWriteFailed, language_).arg(file, reason));
}

}  // namespace vantor::record
