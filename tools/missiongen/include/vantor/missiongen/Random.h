#pragma once
// A small deterministic random source (SplitMix64). The standard
// distributions differ between library implementations, so the mission's
// numbers are drawn here to keep a seed's mission the same everywhere.

#include <cstddef>
#include <cstdint>

namespace vantor::missiongen {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  // An independent stream for a numbered part of the mission.
  Random Fork(std::uint64_t stream) const { return Random(state_ ^ (0xA0761D6478BD642FULL * (stream + 1))); }

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Uniform(double low, double high) { return low + (high - low) * Unit(); }
  // Uniform in [0, count); count > 0.
  std::size_t Index(std::size_t count) { return static_cast<std::size_t>(Next() % count); }
  bool Chance(double probability) { return Unit() < probability; }

 private:
  std::uint64_t state_;
};

}  // namespace vantor::missiongen
