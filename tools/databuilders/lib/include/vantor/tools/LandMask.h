#pragma once
// Which samples of the terrain grid are land, as derived from the GSHHG
// shoreline by tools/databuilders/scripts/make_theatre_maps.sh. Stored run-length
// encoded ("landmask.rle"): the magic "VLM1", uint16 width, uint16 height,
// then per row a uint16 run count followed by that many uint16 run lengths,
// alternating sea and land and starting with sea; all little-endian.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor::tools {

class LandMask {
 public:
  LandMask(int width, int height);  // all sea

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsLand(int row, int column) const { return land_[Index(row, column)] != 0; }
  void SetLand(int row, int column, bool land) { land_[Index(row, column)] = land ? 1 : 0; }

  std::vector<std::uint8_t> Encode() const;
  static std::optional<LandMask> Decode(const std::vector<std::uint8_t>& bytes, std::string* error);
  static std::optional<LandMask> Load(const std::string& path, std::string* error);

 private:
  std::size_t Index(int row, int column) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column);
  }
  int width_;
  int height_;
  std::vector<std::uint8_t> land_;
};

}  // namespace vantor::tools
