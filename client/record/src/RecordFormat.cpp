#include "vantor/record/RecordFormat.h"

#include <zlib.h>

#include <algorithm>

namespace vantor::record {

void PutU16(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutU64(std::uint8_t* out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t GetU16(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] | (in[1] << 8)); }

std::uint32_t GetU32(const std::uint8_t* in) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

std::uint64_t GetU64(const std::uint8_t* in) {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | in[i];
  return value;
}

std::array<std::uint8_t, kFileHeaderBytes> EncodeFileHeader(const RecordHeader& header) {
  std::array<std::uint8_t, kFileHeaderBytes> bytes{};
  std::copy(kFileMagic.begin(), kFileMagic.end(), bytes.begin());
  PutU16(&bytes[8], header.version);
  PutU16(&bytes[10], static_cast<std::uint16_t>(kFileHeaderBytes));
  bytes[12] = header.coalition;
  PutU64(&bytes[16], static_cast<std::uint64_t>(header.startMs));
  return bytes;
}

HeaderCheck DecodeFileHeader(std::span<const std::uint8_t> bytes, RecordHeader& header) {
  if (bytes.size() < kFileHeaderBytes || !std::equal(kFileMagic.begin(), kFileMagic.end(), bytes.begin())) {
    return HeaderCheck::NotARecording;
  }
  header.version = GetU16(&bytes[8]);
  header.coalition = bytes[12];
  header.startMs = static_cast<std::int64_t>(GetU64(&bytes[16]));
  if (header.version > kFormatVersion) return HeaderCheck::NewerVersion;
  // Version 1 has exactly this header; a version-0 file never existed.
  if (header.version == 0 || GetU16(&bytes[10]) != kFileHeaderBytes || header.coalition > 1) {
    return HeaderCheck::NotARecording;
  }
  return HeaderCheck::Good;
}

std::array<std::uint8_t, kBlockHeaderBytes> EncodeBlockHeader(const BlockHeader& header) {
  std::array<std::uint8_t, kBlockHeaderBytes> bytes{};
  PutU32(&bytes[0], kBlockMarker);
  PutU32(&bytes[4], header.storedBytes);
  PutU32(&bytes[8], header.rawBytes);
  PutU32(&bytes[12], header.crc);
  PutU32(&bytes[16], header.firstArrivalMs);
  PutU32(&bytes[20], header.lastArrivalMs);
  PutU32(&bytes[24], header.frameCount);
  bytes[28] = static_cast<std::uint8_t>(header.codec);
  return bytes;
}

std::optional<BlockHeader> DecodeBlockHeader(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kBlockHeaderBytes || GetU32(&bytes[0]) != kBlockMarker) return std::nullopt;
  BlockHeader header;
  header.storedBytes = GetU32(&bytes[4]);
  header.rawBytes = GetU32(&bytes[8]);
  header.crc = GetU32(&bytes[12]);
  header.firstArrivalMs = GetU32(&bytes[16]);
  header.lastArrivalMs = GetU32(&bytes[20]);
  header.frameCount = GetU32(&bytes[24]);
  const std::uint8_t codec = bytes[28];
  if (codec > static_cast<std::uint8_t>(Codec::Zlib)) return std::nullopt;
  header.codec = static_cast<Codec>(codec);
  if (header.storedBytes > kMaxBlockBytes || header.rawBytes > kMaxBlockBytes) return std::nullopt;
  if (header.codec == Codec::Stored && header.storedBytes != header.rawBytes) return std::nullopt;
  if (header.lastArrivalMs < header.firstArrivalMs || header.frameCount == 0) return std::nullopt;
  return header;
}

void AppendFrame(std::vector<std::uint8_t>& raw, FrameKind kind, std::uint32_t arrivalMs,
                 std::span<const std::uint8_t> payload) {
  const std::size_t at = raw.size();
  raw.resize(at + kFrameHeaderBytes + payload.size());
  PutU32(&raw[at], arrivalMs);
  raw[at + 4] = static_cast<std::uint8_t>(kind);
  PutU32(&raw[at + 5], static_cast<std::uint32_t>(payload.size()));
  std::copy(payload.begin(), payload.end(), raw.begin() + static_cast<std::ptrdiff_t>(at + kFrameHeaderBytes));
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  uLong crc = crc32(0L, Z_NULL, 0);
  // zlib takes at most a uInt per call.
  constexpr std::size_t kStep = 1u << 30;
  for (std::size_t at = 0; at < bytes.size(); at += kStep) {
    const std::size_t count = std::min(kStep, bytes.size() - at);
    crc = crc32(crc, bytes.data() + at, static_cast<uInt>(count));
  }
  return static_cast<std::uint32_t>(crc);
}

}  // namespace vantor::record
