#include "vantor/protocol/TrackDatagram.h"

#include <algorithm>
#include <cstring>

#include "vantor/protocol/TextNumbers.h"
#include "vantor/protocol/TrackRecord.h"

namespace vantor::protocol {

TrackDatagramWriter::TrackDatagramWriter(std::size_t maxDatagramBytes) : maxBytes_(maxDatagramBytes) { clear(); }

void TrackDatagramWriter::clear() {
  for (auto& datagram : datagrams_) datagram.clear();
  if (datagrams_.empty()) datagrams_.emplace_back();
  used_ = 1;
  records_ = 0;
}

std::string* TrackDatagramWriter::roomFor(std::size_t length) {
  if (length > maxBytes_) return nullptr;
  std::string* current = &datagrams_[used_ - 1];
  if (current->size() + length <= maxBytes_) return current;
  if (used_ == datagrams_.size()) datagrams_.emplace_back();
  ++used_;
  current = &datagrams_[used_ - 1];
  current->clear();
  return current;
}

bool TrackDatagramWriter::append(std::string_view record) {
  std::string* datagram = roomFor(record.size());
  if (datagram == nullptr) return false;
  datagram->append(record);
  ++records_;
  return true;
}

bool TrackDatagramWriter::appendWithSpeed(std::string_view storedRecord, double speedKmh) {
  std::string* datagram = roomFor(WithSpeedLength(storedRecord, speedKmh));
  if (datagram == nullptr) return false;
  AppendWithSpeed(*datagram, storedRecord, speedKmh);
  ++records_;
  return true;
}

bool TrackDatagramWriter::appendLostTrack(std::string_view storedRecord) {
  const auto head = LostTrackHeadLength(storedRecord);
  if (!head) return false;
  std::string* datagram = roomFor(*head + kLostTrackTail.size());
  if (datagram == nullptr) return false;
  datagram->append(storedRecord.substr(0, *head));
  datagram->append(kLostTrackTail);
  ++records_;
  return true;
}

std::vector<std::string> TrackDatagramWriter::finish() {
  std::vector<std::string> result(std::make_move_iterator(datagrams_.begin()),
                                  std::make_move_iterator(datagrams_.begin() + static_cast<std::ptrdiff_t>(used_)));
  datagrams_.clear();
  clear();
  return result;
}

std::optional<TrackEntry> ParseTrackRecord(std::string_view record) {
  constexpr std::size_t kIdDigits = 8;
  constexpr std::size_t kNameStart = kIdDigits + 1;
  std::size_t digits = 0;
  std::int32_t id = 0;
  while (digits < kIdDigits && digits < record.size() && record[digits] >= '0' && record[digits] <= '9') {
    id = id * 10 + (record[digits] - '0');
    ++digits;
  }
  if (digits == 0 || record.size() <= kNameStart) return std::nullopt;

  const std::size_t bracketEnd = record.find("]@", kNameStart);
  if (bracketEnd == std::string_view::npos) return std::nullopt;
  const std::string_view nameAndSide = record.substr(kNameStart, bracketEnd - kNameStart);
  const std::size_t open = nameAndSide.rfind('[');
  if (open == std::string_view::npos || open == 0) return std::nullopt;

  TrackEntry entry;
  entry.id = id;
  entry.classLetter = record[digits];
  entry.name.assign(nameAndSide.substr(0, open));
  // "[" directly before "]@" leaves the "]" as the letter, as a plain
  // character read would.
  entry.sideLetter = record[kNameStart + open + 1];

  double* numbers[] = {&entry.latitude, &entry.longitude, &entry.altitude, &entry.heading, &entry.speed};
  std::size_t pos = bracketEnd + 2;
  for (double* number : numbers) {
    const auto value = ScanDouble(record, pos);
    if (!value) break;
    *number = *value;
  }
  return entry;
}

bool IsFriendly(char sideLetter, bool clientIsBlue) {
  return sideLetter == static_cast<char>(SideLetter::Red) ? !clientIsBlue : clientIsBlue;
}

void TrackDatagramReader::feed(std::span<const std::uint8_t> datagram, std::vector<TrackEntry>& out) {
  if (datagram.empty()) return;
  const std::size_t received = std::min(datagram.size(), kMaxDatagramBytes);
  const auto* bytes = reinterpret_cast<const char*>(datagram.data());
  const void* nul = std::memchr(bytes, 0, received);
  const std::size_t textLength = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : received;

  std::string text = std::move(carry_);
  carry_.clear();
  text.append(bytes, textLength);

  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find(kRecordEnd, start);
    if (end == std::string::npos) {
      // Text that fills a whole receive buffer without an end mark can never
      // complete: drop it rather than hold it for ever.
      if (text.size() - start < kMaxDatagramBytes) carry_.assign(text, start, std::string::npos);
      return;
    }
    if (auto entry = ParseTrackRecord(std::string_view(text).substr(start, end - start))) {
      out.push_back(std::move(*entry));
    }
    start = end + kRecordEnd.size();
  }
}

std::vector<TrackEntry> TrackDatagramReader::feed(std::span<const std::uint8_t> datagram) {
  std::vector<TrackEntry> out;
  feed(datagram, out);
  return out;
}

std::vector<TrackEntry> TrackDatagramReader::feed(std::string_view datagram) {
  return feed(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(datagram.data()), datagram.size()));
}

}  // namespace vantor::protocol
