#pragma once
// Writes a recording from a background thread: the caller's Append only
// copies the frame into memory; once a second (the flush interval) the
// thread deflates what has come, appends it as one block and syncs it to the
// disk, so a crash or a power cut loses at most that last second.
//
// The first failed write (disk full, file-size limit, device gone) ends the
// recording: the file is cut back to its last complete block, later frames
// are dropped, and Failure() tells what went wrong.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "vantor/record/RecordFormat.h"

namespace vantor::record {

class AppendOnlyFile;

struct WriteFailure {
  bool diskFull = false;  // no space left, or the file-size limit reached
  std::string reason;     // the system's words
};

struct WriterOptions {
  std::chrono::milliseconds flushInterval{1000};
  bool syncToDisk = true;  // fdatasync after each block
  int compressionLevel = 6;
  // Called once, on the writer's thread, when writing has failed.
  std::function<void(const WriteFailure&)> onFailure;
};

class RecordWriter {
 public:
  // Creates (or empties) the file and writes its header. nullptr and
  // `error` when the file cannot be created or written.
  static std::unique_ptr<RecordWriter> Create(const std::filesystem::path& file, const RecordHeader& header,
                                              WriterOptions options, WriteFailure& error);
  ~RecordWriter();
  RecordWriter(const RecordWriter&) = delete;
  RecordWriter& operator=(const RecordWriter&) = delete;

  // Queues one frame; never waits on the disk. Ignored after a failure or
  // Close.
  void Append(FrameKind kind, std::uint32_t arrivalMs, std::span<const std::uint8_t> payload);
  // Writes what is queued, stops the thread and closes the file. Called by
  // the destructor too.
  void Close();
  std::optional<WriteFailure> Failure() const;
  // Bytes in the file so far (header and complete blocks).
  std::uint64_t BytesWritten() const;

 private:
  RecordWriter(std::unique_ptr<AppendOnlyFile> file, WriterOptions options, std::uint64_t size);
  void Run();
  // Deflates and appends one block; false after a failure.
  bool WriteBlock(std::vector<std::uint8_t>& raw, const BlockHeader& partial);
  void Fail(const WriteFailure& failure);

  std::unique_ptr<AppendOnlyFile> file_;
  WriterOptions options_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::uint8_t> pending_;  // raw frames since the last block
  BlockHeader pendingHeader_;          // arrivals and count of pending_
  bool stopping_ = false;
  bool closed_ = false;
  std::optional<WriteFailure> failure_;
  std::uint64_t size_ = 0;
  std::thread thread_;  // last: started once everything else exists
};

}  // namespace vantor::record
