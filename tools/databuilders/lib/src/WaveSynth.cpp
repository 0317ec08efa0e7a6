#include "vantor/tools/WaveSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantor::tools {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr double kRate = kWaveSampleRate;

void PutU16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}
void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) { out.insert(out.end(), tag, tag + 4); }

// Deterministic white noise in [-1, 1].
class Noise {
 public:
  double Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
  }

 private:
  std::uint64_t state_ = 0x5EEDULL;
};

// A bell-like tone: fundamental with a soft octave and fifth, a quick
// attack and an exponential decay.
double Chime(double t, double frequency, double decaySeconds) {
  if (t < 0) return 0;
  const double attack = std::min(1.0, t / 0.006);
  const double envelope = attack * std::exp(-t / decaySeconds);
  const double w = kTwoPi * frequency * t;
  return envelope *
         (std::sin(w) + 0.3 * std::sin(2 * w) * std::exp(-t / (decaySeconds * 0.5)) + 0.12 * std::sin(3 * w));
}

std::vector<std::int16_t> Render(const std::vector<double>& signal) {
  double peak = 1e-9;
  for (double v : signal) peak = std::max(peak, std::abs(v));
  // Half of full scale: clear but never harsh.
  const double gain = 0.5 * 32767.0 / peak;
  std::vector<std::int16_t> samples(signal.size());
  const std::size_t fade = std::min<std::size_t>(signal.size(), 220);  // 10 ms, no click at the end
  for (std::size_t i = 0; i < signal.size(); ++i) {
    double v = signal[i] * gain;
    if (i + fade >= signal.size()) v *= static_cast<double>(signal.size() - i) / static_cast<double>(fade);
    samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(v, -32767.0, 32767.0)));
  }
  return samples;
}

}  // namespace

std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int sampleRate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.reserve(WaveHeaderLayout::kSize + dataBytes);
  PutTag(out, "RIFF");
  PutU32(out, 36 + dataBytes);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutU32(out, 16);
  PutU16(out, 1);  // PCM
  PutU16(out, 1);  // mono
  PutU32(out, static_cast<std::uint32_t>(sampleRate));
  PutU32(out, static_cast<std::uint32_t>(sampleRate) * 2);
  PutU16(out, 2);
  PutU16(out, 16);
  PutTag(out, "data");
  PutU32(out, dataBytes);
  for (std::int16_t s : samples) PutU16(out, static_cast<std::uint16_t>(s));
  return out;
}

std::vector<std::int16_t> SwitchSound() {
  // 70 ms: a muted tick and a short high blip.
  const auto count = static_cast<std::size_t>(0.07 * kRate);
  std::vector<double> signal(count);
  Noise noise;
  double low = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    low += 0.25 * (noise.Next() - low);  // soft, low-passed transient
    const double tick = low * std::exp(-t / 0.004);
    const double blip = std::exp(-t / 0.015) * std::sin(kTwoPi * 1760.0 * t) * std::min(1.0, t / 0.002);
    signal[i] = 0.8 * tick + 0.6 * blip;
  }
  return Render(signal);
}

std::vector<std::int16_t> InterferenceSound() {
  // 1.4 s: radio static that fades while a two-note chime comes through.
  const auto count = static_cast<std::size_t>(1.4 * kRate);
  std::vector<double> signal(count);
  Noise noise;
  double band = 0, band2 = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    band += 0.35 * (noise.Next() - band);  // low-pass
    band2 += 0.35 * (band - band2);
    const double crackle = (band - band2) * (0.6 + 0.4 * std::sin(kTwoPi * 7.0 * t));  // band-pass, fluttering
    const double staticLevel = std::min(1.0, t / 0.05) * std::exp(-t / 0.35);
    const double chime = 0.55 * Chime(t - 0.25, 880.0, 0.45) + 0.5 * Chime(t - 0.55, 1318.5, 0.5);
    signal[i] = 1.6 * staticLevel * crackle + chime;
  }
  return Render(signal);
}

std::vector<std::int16_t> FallSound() {
  // 1.1 s: E6, B5, E5 falling, each ringing into the next.
  const auto count = static_cast<std::size_t>(1.1 * kRate);
  std::vector<double> signal(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    signal[i] = Chime(t, 1318.5, 0.3) + 0.9 * Chime(t - 0.18, 987.8, 0.3) + 0.85 * Chime(t - 0.36, 659.3, 0.4);
  }
  return Render(signal);
}

std::vector<std::uint8_t> SoundFile(std::string_view fileName) {
  if (fileName == "switch.wav") return EncodeWave(SwitchSound(), kWaveSampleRate);
  if (fileName == "interfer.wav") return EncodeWave(InterferenceSound(), kWaveSampleRate);
  if (fileName == "fall.wav") return EncodeWave(FallSound(), kWaveSampleRate);
  return {};
}

}  // namespace vantor::tools
