#pragma once
// Reads a recording: the header, an index of its complete blocks (made at
// open from the block headers alone), and the frames of one block at a time.
//
// A file that ends inside a block, or whose block is damaged, reads up to
// the last good block before it; Truncated() tells that it happened.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "vantor/record/RecordFormat.h"

namespace vantor::record {

struct OpenFailure {
  enum class Kind { CannotRead, NotARecording, NewerVersion };
  Kind kind = Kind::CannotRead;
  std::string reason;         // CannotRead: the system's words
  std::uint16_t version = 0;  // NewerVersion: the file's format version
};

struct BlockEntry {
  std::uint64_t offset = 0;  // of the block header
  BlockHeader header;
};

struct FrameView {
  FrameKind kind = FrameKind::TrackDatagram;
  std::uint32_t arrivalMs = 0;
  std::span<const std::uint8_t> payload;  // into the DecodedBlock it came from
};

struct DecodedBlock {
  std::vector<std::uint8_t> raw;
  std::vector<FrameView> frames;
};

class RecordReader {
 public:
  // Reads the whole file into memory and indexes it; nullptr and `failure`
  // when it is unreadable, not a recording or of a newer format.
  static std::unique_ptr<RecordReader> Open(const std::filesystem::path& file, OpenFailure& failure);
  // From bytes already in memory (the same checks).
  static std::unique_ptr<RecordReader> FromBytes(std::vector<std::uint8_t> bytes, OpenFailure& failure);
  // A second reader over the same bytes, for another thread.
  std::unique_ptr<RecordReader> Share() const;

  const RecordHeader& Header() const { return header_; }
  const std::vector<BlockEntry>& Blocks() const { return blocks_; }
  // Arrival of the last frame of the last good block; 0 for an empty file.
  std::uint32_t DurationMs() const;
  // The file goes on past its last good block (cut or damaged there).
  bool Truncated() const { return truncated_; }

  // Inflates and splits block `index`; false when its contents are damaged
  // (bad CRC, bad sizes, frames that do not add up).
  bool ReadBlock(std::size_t index, DecodedBlock& block) const;

 private:
  explicit RecordReader(std::shared_ptr<const std::vector<std::uint8_t>> bytes) : bytes_(std::move(bytes)) {}
  bool Index(OpenFailure& failure);

  std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
  RecordHeader header_;
  std::vector<BlockEntry> blocks_;
  bool truncated_ = false;
};

}  // namespace vantor::record
