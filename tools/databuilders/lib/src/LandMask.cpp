#include "vantor/tools/LandMask.h"

#include "vantor/tools/FileBytes.h"

#include <algorithm>

namespace vantor::tools {
namespace {

constexpr char kMagic[4] = {'V', 'L', 'M', '1'};

void PutU16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// Sequential little-endian reader that reports running past the end.
class ByteReader {
 public:
  explicit ByteReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
  bool U16(unsigned& value) {
    if (position_ + 2 > bytes_.size()) return false;
    value = static_cast<unsigned>(bytes_[position_] | (bytes_[position_ + 1] << 8));
    position_ += 2;
    return true;
  }
  bool Skip(std::size_t count) {
    if (position_ + count > bytes_.size()) return false;
    position_ += count;
    return true;
  }
  bool AtEnd() const { return position_ == bytes_.size(); }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t position_ = 0;
};

}  // namespace

LandMask::LandMask(int width, int height)
    : width_(width), height_(height), land_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

std::vector<std::uint8_t> LandMask::Encode() const {
  std::vector<std::uint8_t> out(kMagic, kMagic + 4);
  PutU16(out, static_cast<unsigned>(width_));
  PutU16(out, static_cast<unsigned>(height_));
  for (int row = 0; row < height_; ++row) {
    std::vector<unsigned> runs;
    bool current = false;  // runs start with sea
    unsigned length = 0;
    for (int column = 0; column < width_; ++column) {
      if (IsLand(row, column) != current) {
        runs.push_back(length);
        current = !current;
        length = 0;
      }
      ++length;
    }
    runs.push_back(length);
    PutU16(out, static_cast<unsigned>(runs.size()));
    for (unsigned run : runs) PutU16(out, run);
  }
  return out;
}

std::optional<LandMask> LandMask::Decode(const std::vector<std::uint8_t>& bytes, std::string* error) {
  auto fail = [error](const std::string& why) {
    if (error) *error = "land mask: " + why;
    return std::nullopt;
  };
  if (bytes.size() < 8 || !std::equal(kMagic, kMagic + 4, bytes.begin())) return fail("not a land mask file");
  ByteReader reader(bytes);
  reader.Skip(4);
  unsigned width = 0, height = 0;
  reader.U16(width);
  reader.U16(height);
  if (width == 0 || height == 0) return fail("empty size");
  LandMask mask(static_cast<int>(width), static_cast<int>(height));
  for (unsigned row = 0; row < height; ++row) {
    unsigned runCount = 0;
    if (!reader.U16(runCount)) return fail("cut short at row " + std::to_string(row));
    unsigned column = 0;
    bool land = false;
    for (unsigned i = 0; i < runCount; ++i, land = !land) {
      unsigned run = 0;
      if (!reader.U16(run)) return fail("cut short at row " + std::to_string(row));
      if (column + run > width) return fail("row " + std::to_string(row) + " is longer than the width");
      for (unsigned k = 0; k < run; ++k, ++column) mask.SetLand(static_cast<int>(row), static_cast<int>(column), land);
    }
    if (column != width) return fail("row " + std::to_string(row) + " is shorter than the width");
  }
  if (!reader.AtEnd()) return fail("trailing bytes");
  return mask;
}

std::optional<LandMask> LandMask::Load(const std::string& path, std::string* error) {
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  return Decode(*bytes, error);
}

}  // namespace vantor::tools
