#include "vantor/record/RecordReader.h"

#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace vantor::record {

std::unique_ptr<RecordReader> RecordReader::Open(const std::filesystem::path& file, OpenFailure& failure) {
  std::ifstream input(file, std::ios::binary);
  std::vector<std::uint8_t> bytes;
  if (input) {
    input.seekg(0, std::ios::end);
    const std::streamoff size = input.tellg();
    input.seekg(0, std::ios::beg);
    if (size >= 0) {
      bytes.resize(static_cast<std::size_t>(size));
      input.read(reinterpret_cast<char*>(bytes.data()), size);
    }
  }
  if (!input) {
    failure.kind = OpenFailure::Kind::CannotRead;
    failure.reason = std::strerror(errno != 0 ? errno : EIO);
    return nullptr;
  }
  return FromBytes(std::move(bytes), failure);
}

std::unique_ptr<RecordReader> RecordReader::FromBytes(std::vector<std::uint8_t> bytes, OpenFailure& failure) {
  std::unique_ptr<RecordReader> reader(
      new RecordReader(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes))));
  if (!reader->Index(failure)) return nullptr;
  return reader;
}

std::unique_ptr<RecordReader> RecordReader::Share() const {
  std::unique_ptr<RecordReader> copy(new RecordReader(bytes_));
  copy->header_ = header_;
  copy->blocks_ = blocks_;
  copy->truncated_ = truncated_;
  return copy;
}

bool RecordReader::Index(OpenFailure& failure) {
  const std::vector<std::uint8_t>& bytes = *bytes_;
  switch (DecodeFileHeader(bytes, header_)) {
    case HeaderCheck::Good:
      break;
    case HeaderCheck::NotARecording:
      failure.kind = OpenFailure::Kind::NotARecording;
      return false;
    case HeaderCheck::NewerVersion:
      failure.kind = OpenFailure::Kind::NewerVersion;
      failure.version = header_.version;
      return false;
  }
  std::uint64_t offset = kFileHeaderBytes;
  std::uint32_t lastArrival = 0;
  while (offset < bytes.size()) {
    const std::uint64_t left = bytes.size() - offset;
    const std::optional<BlockHeader> header = DecodeBlockHeader(
        std::span<const std::uint8_t>(bytes.data() + offset, std::min<std::uint64_t>(left, kBlockHeaderBytes)));
    // Arrivals never go back; a block that says so is not one of ours.
    if (!header || left < kBlockHeaderBytes + header->storedBytes || header->firstArrivalMs < lastArrival) {
      truncated_ = true;
      break;
    }
    blocks_.push_back(BlockEntry{offset, *header});
    lastArrival = header->lastArrivalMs;
    offset += kBlockHeaderBytes + header->storedBytes;
  }
  return true;
}

std::uint32_t RecordReader::DurationMs() const { return blocks_.empty() ? 0 : blocks_.back().header.lastArrivalMs; }

bool RecordReader::ReadBlock(std::size_t index, DecodedBlock& block) const {
  block.raw.clear();
  block.frames.clear();
  if (index >= blocks_.size()) return false;
  const BlockEntry& entry = blocks_[index];
  const std::span<const std::uint8_t> stored(bytes_->data() + entry.offset + kBlockHeaderBytes,
                                             entry.header.storedBytes);
  if (Crc32(stored) != entry.header.crc) return false;
  if (entry.header.codec == Codec::Stored) {
    block.raw.assign(stored.begin(), stored.end());
  } else {
    block.raw.resize(entry.header.rawBytes);
    uLongf rawSize = static_cast<uLongf>(block.raw.size());
    if (uncompress(block.raw.data(), &rawSize, stored.data(), static_cast<uLong>(stored.size())) != Z_OK ||
        rawSize != entry.header.rawBytes) {
      return false;
    }
  }
  std::size_t at = 0;
  std::uint32_t previous = entry.header.firstArrivalMs;
  while (at < block.raw.size()) {
    if (block.raw.size() - at < kFrameHeaderBytes) return false;
    FrameView frame;
    frame.arrivalMs = GetU32(&block.raw[at]);
    const std::uint8_t kind = block.raw[at + 4];
    const std::uint32_t length = GetU32(&block.raw[at + 5]);
    at += kFrameHeaderBytes;
    if (kind < static_cast<std::uint8_t>(FrameKind::Joined) ||
        kind > static_cast<std::uint8_t>(FrameKind::ControlMessage) || length > kMaxFrameBytes ||
        length > block.raw.size() - at || frame.arrivalMs < previous || frame.arrivalMs > entry.header.lastArrivalMs) {
      return false;
    }
    frame.kind = static_cast<FrameKind>(kind);
    frame.payload = std::span<const std::uint8_t>(block.raw.data() + at, length);
    previous = frame.arrivalMs;
    at += length;
    block.frames.push_back(frame);
  }
  return block.frames.size() == entry.header.frameCount;
}

}  // namespace vantor::record
