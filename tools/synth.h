#pragma once
// The synthesis shared by the sound generators: filtered noise, struck modes,
// chimes, and the writing of PCM WAV files. Deterministic: the same build
// writes the same bytes.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace synth {

inline constexpr double kPi = std::numbers::pi;

struct Format {
  int rate = 22050;
  int bits = 16;
  int channels = 1;
};

// One channel of samples in -1..1.
using Wave = std::vector<double>;

// xorshift32: a fixed noise source, so the files never change between runs.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
  double Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<double>(state_) / 2147483648.0 - 1.0;
  }

 private:
  uint32_t state_;
};

// Second-order filter after the usual audio cookbook formulas.
class Biquad {
 public:
  static Biquad BandPass(double rate, double freq, double q) {
    const double w = 2 * kPi * freq / rate, alpha = std::sin(w) / (2 * q);
    return Biquad(alpha, 0, -alpha, 1 + alpha, -2 * std::cos(w), 1 - alpha);
  }
  static Biquad LowPass(double rate, double freq, double q) {
    const double w = 2 * kPi * freq / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
  }
  static Biquad HighPass(double rate, double freq, double q) {
    const double w = 2 * kPi * freq / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    return Biquad((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
  }
  // Takes another filter's response and keeps this one's state, for sweeps.
  void Retune(const Biquad& other) {
    b0_ = other.b0_, b1_ = other.b1_, b2_ = other.b2_, a1_ = other.a1_, a2_ = other.a2_;
  }
  double Step(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_, x1_ = x, y2_ = y1_, y1_ = y;
    return y;
  }

 private:
  Biquad(double b0, double b1, double b2, double a0, double a1, double a2)
      : b0_(b0 / a0), b1_(b1 / a0), b2_(b2 / a0), a1_(a1 / a0), a2_(a2 / a0) {}
  double b0_, b1_, b2_, a1_, a2_;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

inline int Samples(double seconds, int rate) { return static_cast<int>(std::lround(seconds * rate)); }

// Adds a decaying sine (one mode of a struck body) starting at `start`.
inline void AddMode(Wave& w, int rate, double start, double freq, double amp, double decay, double phase = 0) {
  const int from = Samples(start, rate);
  for (int i = std::max(from, 0); i < static_cast<int>(w.size()); ++i) {
    const double t = static_cast<double>(i - from) / rate;
    w[i] += amp * std::exp(-t / decay) * std::sin(2 * kPi * freq * t + phase);
  }
}

// Adds a burst of band-passed noise, the scrape or slap of a card.
inline void AddBurst(Wave& w, int rate, double start, double freq, double q, double amp, double attack, double decay,
                     uint32_t seed) {
  Noise noise(seed);
  Biquad band = Biquad::BandPass(rate, freq, q);
  const int from = Samples(start, rate);
  for (int i = std::max(from, 0); i < static_cast<int>(w.size()); ++i) {
    const double t = static_cast<double>(i - from) / rate;
    const double env = (t < attack ? t / attack : std::exp(-(t - attack) / decay));
    w[i] += amp * env * band.Step(noise.Next());
  }
}

// A bell-like tone: a fundamental with soft partials, quick attack, long decay.
inline void AddChime(Wave& w, int rate, double start, double freq, double amp, double decay) {
  const int from = Samples(start, rate);
  for (int i = std::max(from, 0); i < static_cast<int>(w.size()); ++i) {
    const double t = static_cast<double>(i - from) / rate;
    const double attack = std::min(1.0, t / 0.004);
    const double s = std::sin(2 * kPi * freq * t) +
                     0.35 * std::exp(-t / (decay * 0.5)) * std::sin(2 * kPi * freq * 2.0 * t) +
                     0.12 * std::exp(-t / (decay * 0.25)) * std::sin(2 * kPi * freq * 3.01 * t);
    w[i] += amp * attack * std::exp(-t / decay) * s;
  }
}

// Scales to the peak and fades the very end, so no sound stops with a click.
inline void Finish(Wave& w, int rate, double peak) {
  double max = 0;
  for (double s : w) max = std::max(max, std::abs(s));
  if (max > 0)
    for (double& s : w) s *= peak / max;
  const int fade = std::min(static_cast<int>(w.size()), Samples(0.004, rate));
  for (int i = 0; i < fade; ++i) w[w.size() - 1 - i] *= static_cast<double>(i) / fade;
}

inline QByteArray WavBytes(const std::vector<Wave>& channels, const Format& f) {
  const int frames = static_cast<int>(channels.front().size());
  const int bytesPerSample = f.bits / 8;
  const uint32_t dataSize = static_cast<uint32_t>(frames * f.channels * bytesPerSample);
  QByteArray out;
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>(v >> (8 * i) & 0xFF));
  };
  auto u16 = [&out](uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
  };
  out.append("RIFF");
  u32(36 + dataSize);
  out.append("WAVE");
  out.append("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(static_cast<uint16_t>(f.channels));
  u32(static_cast<uint32_t>(f.rate));
  u32(static_cast<uint32_t>(f.rate * f.channels * bytesPerSample));
  u16(static_cast<uint16_t>(f.channels * bytesPerSample));
  u16(static_cast<uint16_t>(f.bits));
  out.append("data");
  u32(dataSize);
  for (int i = 0; i < frames; ++i) {
    for (const Wave& c : channels) {
      const double s = std::clamp(c[i], -1.0, 1.0);
      if (f.bits == 8) {
        out.append(static_cast<char>(static_cast<uint8_t>(std::lround(128 + s * 127))));
      } else {
        u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767))));
      }
    }
  }
  return out;
}

inline bool Save(const QString& path, const std::vector<Wave>& channels, const Format& f) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(WavBytes(channels, f));
  if (!file.commit()) return false;
  std::printf("%s: %d Hz, %d-bit, %d channel(s), %.3f s\n", qPrintable(path), f.rate, f.bits, f.channels,
              static_cast<double>(channels.front().size()) / f.rate);
  return true;
}

}  // namespace synth
