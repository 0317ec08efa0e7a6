#pragma once
// The recording file: what a client received, in the order it arrived.
//
//   file    = header, block*
//   header  = 32 bytes (RecordHeader)
//   block   = 32-byte block header, then `storedBytes` of frames, deflated
//             (zlib) or stored as they are
//   frame   = u32 arrival ms, u8 kind, u32 payload length, payload
//
// Every number is little-endian. The file is only ever appended to, one
// whole block at a time, so a file cut anywhere reads up to its last
// complete block. docs/recording.md describes the layout field by field.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vantor::record {

inline constexpr std::array<std::uint8_t, 8> kFileMagic = {'V', 'A', 'N', 'T', 'O', 'R', 'R', 'C'};
inline constexpr std::uint16_t kFormatVersion = 1;
// "VBLK": marks the start of every block.
inline constexpr std::uint32_t kBlockMarker = 0x4B4C4256;

inline constexpr std::size_t kFileHeaderBytes = 32;
inline constexpr std::size_t kBlockHeaderBytes = 32;
inline constexpr std::size_t kFrameHeaderBytes = 9;
// No frame the client receives comes near these; anything larger is damage.
inline constexpr std::uint32_t kMaxFrameBytes = 1u << 20;
inline constexpr std::uint32_t kMaxBlockBytes = 64u << 20;

// magic, version, header size, coalition, 3 reserved, start time, 8 reserved
static_assert(kFileHeaderBytes == 8 + 2 + 2 + 1 + 3 + 8 + 8);
// marker, stored size, raw size, CRC-32, first and last arrival, frame
// count, codec, 3 reserved
static_assert(kBlockHeaderBytes == 4 + 4 + 4 + 4 + 4 + 4 + 4 + 1 + 3);
// arrival, kind, length
static_assert(kFrameHeaderBytes == 4 + 1 + 4);

enum class FrameKind : std::uint8_t {
  // The log-on: u8 side (0 Blue, 1 Red), then the server's ConfigBlock as
  // received.
  Joined = 1,
  TrackDatagram = 2,   // one accepted track datagram, as read
  ControlMessage = 3,  // one control-connection read after the log-on (chat)
};

enum class Codec : std::uint8_t { Stored = 0, Zlib = 1 };

struct RecordHeader {
  std::uint16_t version = kFormatVersion;
  std::uint8_t coalition = 0;  // the client's side when recording began: 0 Blue, 1 Red
  std::int64_t startMs = 0;    // UTC milliseconds since 1970; arrivals count from here
};

struct BlockHeader {
  std::uint32_t storedBytes = 0;
  std::uint32_t rawBytes = 0;
  std::uint32_t crc = 0;  // CRC-32 of the stored bytes
  std::uint32_t firstArrivalMs = 0;
  std::uint32_t lastArrivalMs = 0;
  std::uint32_t frameCount = 0;
  Codec codec = Codec::Zlib;
};

// --- Little-endian packing -------------------------------------------------
void PutU16(std::uint8_t* out, std::uint16_t value);
void PutU32(std::uint8_t* out, std::uint32_t value);
void PutU64(std::uint8_t* out, std::uint64_t value);
std::uint16_t GetU16(const std::uint8_t* in);
std::uint32_t GetU32(const std::uint8_t* in);
std::uint64_t GetU64(const std::uint8_t* in);

std::array<std::uint8_t, kFileHeaderBytes> EncodeFileHeader(const RecordHeader& header);
enum class HeaderCheck { Good, NotARecording, NewerVersion };
// Reads the fields even of a newer version, so its number can be told.
HeaderCheck DecodeFileHeader(std::span<const std::uint8_t> bytes, RecordHeader& header);

std::array<std::uint8_t, kBlockHeaderBytes> EncodeBlockHeader(const BlockHeader& header);
// nullopt without the marker or with an unknown codec or impossible sizes.
std::optional<BlockHeader> DecodeBlockHeader(std::span<const std::uint8_t> bytes);

// Appends one frame to a block's raw bytes.
void AppendFrame(std::vector<std::uint8_t>& raw, FrameKind kind, std::uint32_t arrivalMs,
                 std::span<const std::uint8_t> payload);

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);

}  // namespace vantor::record
