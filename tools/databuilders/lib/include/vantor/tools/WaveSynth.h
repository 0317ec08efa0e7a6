#pragma once
// The client's three sounds, synthesised: "switch.wav" (a soft click for the
// panel's toggles), "interfer.wav" (start-up: radio static that clears into a
// chime) and "fall.wav" (exit: a falling three-note chime). 16-bit mono PCM
// at 22,050 Hz, each well under a second and a half.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantor::tools {

inline constexpr int kWaveSampleRate = 22050;

struct WaveHeaderLayout {
  static constexpr std::size_t kRiffSize = 4;
  static constexpr std::size_t kFormatTag = 20;
  static constexpr std::size_t kChannels = 22;
  static constexpr std::size_t kSampleRate = 24;
  static constexpr std::size_t kBitsPerSample = 34;
  static constexpr std::size_t kDataSize = 40;
  static constexpr std::size_t kSize = 44;
};

// A complete RIFF/WAVE file of 16-bit mono samples.
std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int sampleRate);

std::vector<std::int16_t> SwitchSound();
std::vector<std::int16_t> InterferenceSound();
std::vector<std::int16_t> FallSound();

// The sound for one of the three file names, or empty for another name.
std::vector<std::uint8_t> SoundFile(std::string_view fileName);

}  // namespace vantor::tools
