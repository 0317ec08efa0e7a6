#pragma once
// Paces batches from a source into an output: a batch every 1/rate seconds
// (or as fast as the output takes them), the clock record first on every
// new connection, and a copy of everything written into the record file.

#include "vantor/missiongen/BatchSource.h"
#include "vantor/missiongen/FeedOutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <ostream>

namespace vantor::missiongen {

struct StreamOptions {
  double rate = 5.0;      // batches per second
  bool paced = true;      // false: as fast as the output takes them
  int statusSeconds = 0;  // a status line on standard error this often; 0: none
  bool stamp = false;     // close every batch with a batch stamp (BatchStamp.h)
};

class FeedStreamer : public QObject {
  Q_OBJECT
 public:
  FeedStreamer(BatchSource& source, FeedOutput& output, const StreamOptions& options, QObject* parent = nullptr);

  // A copy of the bytes written to the output goes here too (may be null).
  void SetRecord(std::ostream* record) { record_ = record; }
  void Start();
  // Ends the stream (after flushing the output) and emits Finished(0).
  void Stop();

  std::uint64_t BatchesWritten() const { return written_; }
  std::uint64_t BatchesSkipped() const { return skipped_; }

 Q_SIGNALS:
  void Finished(int exitCode);

 private:
  void Tick();
  void OnOpened();
  void Emit(const std::string& text);
  // Produces one batch; false at the end of the feed.
  bool Produce(bool send);
  void Finish(int exitCode);
  void ReportStatus();

  BatchSource& source_;
  FeedOutput& output_;
  StreamOptions options_;
  std::ostream* record_ = nullptr;
  QTimer timer_;
  QTimer statusTimer_;
  QElapsedTimer clock_;
  std::uint64_t produced_ = 0;
  std::uint64_t paceBase_ = 0;  // batches produced when the clock was last restarted
  std::uint64_t written_ = 0;
  std::uint64_t skipped_ = 0;
  bool recordFailed_ = false;
  bool finishing_ = false;
};

}  // namespace vantor::missiongen
