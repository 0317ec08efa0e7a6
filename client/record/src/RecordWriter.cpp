#include "vantor/record/RecordWriter.h"

#include <zlib.h>

#include <algorithm>

#include "AppendOnlyFile.h"

namespace vantor::record {

std::unique_ptr<RecordWriter> RecordWriter::Create(const std::filesystem::path& file, const RecordHeader& header,
                                                   WriterOptions options, WriteFailure& error) {
  FileError fileError;
  std::unique_ptr<AppendOnlyFile> output = AppendOnlyFile::Create(file, fileError);
  const auto headerBytes = EncodeFileHeader(header);
  if (!output || !output->Write(headerBytes, fileError) || !output->Sync(fileError)) {
    error = WriteFailure{fileError.diskFull, fileError.reason};
    return nullptr;
  }
  return std::unique_ptr<RecordWriter>(new RecordWriter(std::move(output), std::move(options), headerBytes.size()));
}

RecordWriter::RecordWriter(std::unique_ptr<AppendOnlyFile> file, WriterOptions options, std::uint64_t size)
    : file_(std::move(file)), options_(std::move(options)), size_(size) {
  thread_ = std::thread([this] { Run(); });
}

RecordWriter::~RecordWriter() { Close(); }

void RecordWriter::Append(FrameKind kind, std::uint32_t arrivalMs, std::span<const std::uint8_t> payload) {
  std::lock_guard lock(mutex_);
  if (stopping_ || failure_) return;
  if (pendingHeader_.frameCount == 0) pendingHeader_.firstArrivalMs = arrivalMs;
  pendingHeader_.lastArrivalMs = std::max(arrivalMs, pendingHeader_.firstArrivalMs);
  ++pendingHeader_.frameCount;
  AppendFrame(pending_, kind, arrivalMs, payload);
}

void RecordWriter::Close() {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    closed_ = true;
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  file_.reset();
}

std::optional<WriteFailure> RecordWriter::Failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

std::uint64_t RecordWriter::BytesWritten() const {
  std::lock_guard lock(mutex_);
  return size_;
}

void RecordWriter::Run() {
  std::vector<std::uint8_t> raw;
  for (;;) {
    BlockHeader header;
    bool last = false;
    {
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, options_.flushInterval, [this] { return stopping_; });
      last = stopping_;
      raw.clear();
      raw.swap(pending_);
      header = pendingHeader_;
      pendingHeader_ = BlockHeader{};
    }
    if (header.frameCount > 0 && !WriteBlock(raw, header)) return;
    if (last) return;
  }
}

bool RecordWriter::WriteBlock(std::vector<std::uint8_t>& raw, const BlockHeader& partial) {
  BlockHeader header = partial;
  header.rawBytes = static_cast<std::uint32_t>(raw.size());
  std::vector<std::uint8_t> stored(compressBound(static_cast<uLong>(raw.size())));
  uLongf storedSize = static_cast<uLongf>(stored.size());
  if (compress2(stored.data(), &storedSize, raw.data(), static_cast<uLong>(raw.size()), options_.compressionLevel) ==
          Z_OK &&
      storedSize < raw.size()) {
    stored.resize(storedSize);
    header.codec = Codec::Zlib;
  } else {
    stored = raw;
    header.codec = Codec::Stored;
  }
  header.storedBytes = static_cast<std::uint32_t>(stored.size());
  header.crc = Crc32(stored);

  std::vector<std::uint8_t> block;
  block.reserve(kBlockHeaderBytes + stored.size());
  const auto headerBytes = EncodeBlockHeader(header);
  block.insert(block.end(), headerBytes.begin(), headerBytes.end());
  block.insert(block.end(), stored.begin(), stored.end());

  FileError error;
  // One write per block, so that a cut file ends in at most one partial block.
  if (!file_->Write(block, error) || (options_.syncToDisk && !file_->Sync(error))) {
    std::uint64_t goodSize = 0;
    {
      std::lock_guard lock(mutex_);
      goodSize = size_;
    }
    file_->Truncate(goodSize);
    Fail(WriteFailure{error.diskFull, error.reason});
    return false;
  }
  std::lock_guard lock(mutex_);
  size_ += block.size();
  return true;
}

void RecordWriter::Fail(const WriteFailure& failure) {
  {
    std::lock_guard lock(mutex_);
    failure_ = failure;
    pending_.clear();
    pending_.shrink_to_fit();
  }
  if (options_.onFailure) options_.onFailure(failure);
}

}  // namespace vantor::record
