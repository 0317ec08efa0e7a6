#include "vantor/record/SessionRecorder.h"

#include <QFile>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/net/ClientConnection.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/protocol/TrackRecord.h"
#include "vantor/texts/QText.h"

namespace vantor::record {

MillisecondClock SystemMillisecondClock() {
  return [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
}

SessionRecorder::SessionRecorder(net::ClientConnection& connection, const model::CRivakDoc& document, Language language,
                                 MillisecondClock clock, WriterOptions options, QObject* parent)
    : QObject(parent),
      connection_(connection),
      document_(document),
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
    WriteCurrentTable();
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

void SessionRecorder::WriteCurrentTable() {
  std::string records;
  {
    std::lock_guard<model::ContactLock> guard(document_.ContactTableLock());
    const bool blue = document_.State().isBlue;
    const char ownSide = static_cast<char>(blue ? protocol::SideLetter::Blue : protocol::SideLetter::Red);
    const char otherSide = static_cast<char>(blue ? protocol::SideLetter::Red : protocol::SideLetter::Blue);
    for (const model::CContact& contact : document_.Contacts()) {
      // The class letters the table tells apart: radar sites, the ground
      // symbols, aircraft; an aircraft the airborne rule would drop now
      // was kept by an earlier record and is sent as another class.
      char classLetter = 'B';
      if (contact.radarSite) {
        classLetter = 'A';
      } else if (contact.altSymbol) {
        classLetter = 'C';
      } else if (contact.altitude < model::kMinimumAirAltitudeM ||
                 (!contact.friendly && contact.speed < model::kMinimumHostileSpeedKmh)) {
        classLetter = 'E';
      }
      const std::string name = contact.name.toStdString();
      std::string stored =
          protocol::FormatTrackRecord({contact.id, classLetter, name, contact.friendly ? ownSide : otherSide,
                                       contact.latitude, contact.longitude, contact.altitude, contact.heading});
      // The name begins after eight id digits, as the server writes them.
      const std::size_t digits = std::to_string(contact.id).size();
      if (digits < 8) stored.insert(0, 8 - digits, '0');
      protocol::AppendWithSpeed(records, stored, contact.speed);
    }
  }
  // Datagrams of the size a receiver reads, cut between records.
  protocol::TrackDatagramWriter writer;
  std::size_t at = 0;
  while (at < records.size()) {
    const std::size_t end = records.find(protocol::kRecordEnd, at) + protocol::kRecordEnd.size();
    writer.append(std::string_view(records).substr(at, end - at));
    at = end;
  }
  for (const std::string& datagram : writer.finish()) {
    if (datagram.empty()) continue;
    Append(FrameKind::TrackDatagram,
           std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(datagram.data()), datagram.size()));
  }
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
