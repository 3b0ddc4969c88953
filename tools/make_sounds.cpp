// Makes the program's sounds: Data/sounds/106.wav .. 124.wav (the sounds the
// program writes out at start-up and plays as its effects) and Data/win.wav.
// Everything is synthesised here, deterministically: the same build writes
// the same bytes.
//
// Usage: make_sounds SOURCE_FOLDER   (the folder that holds Data/)

#include "synth.h"

#include <QDir>
#include <QString>
#include <cmath>
#include <cstdio>

namespace {

using namespace synth;

// --- The card sounds ---------------------------------------------------------

// A card on wood: a soft slap of noise and the hollow knock of the table.
Wave WoodCard(double seconds, double pitch, double ring, uint32_t seed) {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(seconds, rate)), 0.0);
  AddBurst(w, rate, 0.0, 2200 * pitch, 0.9, 0.9, 0.002, 0.012, seed);
  AddBurst(w, rate, 0.0, 700 * pitch, 1.5, 0.6, 0.001, 0.020, seed + 7);
  AddMode(w, rate, 0.0, 190 * pitch, 0.50, 0.045 * ring);
  AddMode(w, rate, 0.0, 410 * pitch, 0.35, 0.030 * ring, 0.4);
  AddMode(w, rate, 0.0, 870 * pitch, 0.20, 0.018 * ring, 1.1);
  Biquad soft = Biquad::LowPass(rate, 5200, 0.7);
  for (double& s : w) s = soft.Step(s);
  Finish(w, rate, 0.7);
  return w;
}

// A card on metal: a bright tick and the inharmonic ring of a thin plate.
Wave MetalCard(double seconds, double pitch, double ring, uint32_t seed) {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(seconds, rate)), 0.0);
  AddBurst(w, rate, 0.0, 4200 * pitch, 1.2, 0.7, 0.001, 0.008, seed);
  // Partial ratios of a free bar, slightly detuned pairs for a shimmer.
  const double base = 820 * pitch;
  const double ratios[] = {1.0, 2.756, 5.404, 8.933};
  const double amps[] = {0.45, 0.32, 0.20, 0.10};
  const double decays[] = {0.16, 0.10, 0.06, 0.035};
  for (int k = 0; k < 4; ++k) {
    AddMode(w, rate, 0.0, base * ratios[k], amps[k], decays[k] * ring, 0.3 * k);
    AddMode(w, rate, 0.0, base * ratios[k] * 1.004, amps[k] * 0.5, decays[k] * ring, 0.9 * k);
  }
  Finish(w, rate, 0.65);
  return w;
}

// A card laid down quickly: one short snap (played 8-bit).
Wave Snap() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.05, rate)), 0.0);
  AddBurst(w, rate, 0.0, 1800, 0.8, 1.0, 0.001, 0.008, 120);
  AddMode(w, rate, 0.0, 320, 0.4, 0.012);
  Finish(w, rate, 0.8);
  return w;
}

// The Waste gathered and turned over: a riffle of quick card flicks.
Wave Riffle() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.67, rate)), 0.0);
  double t = 0.01;
  for (int k = 0; t < 0.56; ++k) {
    const double amp = 0.5 + 0.5 * std::sin(kPi * t / 0.6);
    AddBurst(w, rate, t, 2600 + 300 * (k % 3), 1.1, amp, 0.001, 0.006, 1210 + k);
    t += 0.034 - 0.012 * (t / 0.56);
  }
  // A final squaring of the pile.
  AddBurst(w, rate, 0.58, 900, 1.0, 0.9, 0.002, 0.02, 1299);
  AddMode(w, rate, 0.58, 210, 0.4, 0.03);
  Finish(w, rate, 0.7);
  return w;
}

// --- Interface sounds --------------------------------------------------------

// The menu panel coming up: a short soft breath of air rising in pitch.
Wave Whoosh() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.25, rate)), 0.0);
  Noise noise(106);
  Biquad band = Biquad::BandPass(rate, 600, 1.2);
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double x = t / 0.25;
    if (i % 32 == 0) band.Retune(Biquad::BandPass(rate, 600 + 2400 * x, 1.2));
    w[i] = std::sin(kPi * x) * std::sin(kPi * x) * band.Step(noise.Next());
  }
  Finish(w, rate, 0.45);
  return w;
}

// A menu heading clicked: a light wooden tick.
Wave Tick() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.08, rate)), 0.0);
  AddBurst(w, rate, 0.0, 3000, 2.0, 0.6, 0.0005, 0.004, 107);
  AddMode(w, rate, 0.0, 1750, 0.5, 0.012);
  AddMode(w, rate, 0.0, 2900, 0.2, 0.007);
  Finish(w, rate, 0.55);
  return w;
}

// A notice from the game or the other player: three quick rising bell notes.
Wave Notice() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.55, rate)), 0.0);
  AddChime(w, rate, 0.00, 1046.5, 0.5, 0.12);  // C6
  AddChime(w, rate, 0.09, 1318.5, 0.5, 0.12);  // E6
  AddChime(w, rate, 0.18, 1568.0, 0.6, 0.18);  // G6
  Finish(w, rate, 0.55);
  return w;
}

// A chat line arrived: a round bubble pop gliding upwards.
Wave Pop() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.18, rate)), 0.0);
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double freq = 420 + 700 * (1 - std::exp(-t / 0.03));
    phase += 2 * kPi * freq / rate;
    w[i] = std::min(1.0, t / 0.003) * std::exp(-t / 0.045) * std::sin(phase);
  }
  Finish(w, rate, 0.6);
  return w;
}

// A refused move: a soft, low, slightly wavering buzz.
Wave Buzz() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.62, rate)), 0.0);
  Biquad warm = Biquad::LowPass(rate, 700, 0.8);
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    phase += 2 * kPi * 116.0 / rate;
    // A few odd harmonics make it reedy without being harsh.
    double s = 0;
    for (int h = 1; h <= 9; h += 2) s += std::sin(h * phase) / h;
    const double env = std::min(1.0, t / 0.03) * std::min(1.0, (0.62 - t) / 0.12);
    const double tremolo = 0.8 + 0.2 * std::sin(2 * kPi * 9.0 * t);
    w[i] = warm.Step(s) * env * tremolo;
  }
  Finish(w, rate, 0.3);
  return w;
}

// The game is lost: a falling tone, sliding down a fifth and fading.
Wave Falling() {
  const int rate = 11025;
  Wave w(static_cast<size_t>(Samples(0.44, rate)), 0.0);
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double freq = 523.25 * std::pow(2.0, -(7.0 / 12.0) * (t / 0.44) * 1.4);
    phase += 2 * kPi * freq / rate;
    const double s = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase);
    const double env = std::min(1.0, t / 0.01) * (1 - 0.7 * t / 0.44);
    const double vibrato = 1 + 0.04 * std::sin(2 * kPi * 5.5 * t);
    w[i] = s * env * vibrato;
  }
  Finish(w, rate, 0.6);
  return w;
}

// The turn comes back: two friendly chime notes, a fourth apart.
Wave TurnChime() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(0.54, rate)), 0.0);
  AddChime(w, rate, 0.00, 783.99, 0.55, 0.16);   // G5
  AddChime(w, rate, 0.14, 1046.50, 0.60, 0.22);  // C6
  Finish(w, rate, 0.6);
  return w;
}

// A coin spun on the table: a metallic ring whose wobble speeds up as the
// coin settles, ending in a small clatter. Two channels, the coin drifting.
std::vector<Wave> CoinToss() {
  const int rate = 22050;
  const double length = 1.16;
  Wave left(static_cast<size_t>(Samples(length, rate)), 0.0), right = left;
  Wave ring(left.size(), 0.0);
  const double ratios[] = {1.0, 1.593, 2.135, 2.653, 3.155};
  const double amps[] = {0.5, 0.35, 0.25, 0.15, 0.1};
  for (int k = 0; k < 5; ++k) AddMode(ring, rate, 0.0, 2150 * ratios[k], amps[k], 0.9 - 0.12 * k, k);
  double wobble = 0;
  for (size_t i = 0; i < ring.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    // The spin rate rises from 7 to 40 wobbles a second as the coin falls flat.
    const double rateHz = 7 + 33 * std::pow(t / 0.95, 2.0);
    wobble += 2 * kPi * rateHz / rate;
    const double am = t < 0.95 ? 0.55 + 0.45 * std::abs(std::sin(wobble)) : std::exp(-(t - 0.95) / 0.03);
    const double pan = 0.5 + 0.25 * std::sin(2 * kPi * 0.8 * t);
    left[i] = ring[i] * am * (1 - pan) * 2;
    right[i] = ring[i] * am * pan * 2;
  }
  // The first strike of the flick, and the coin coming to rest.
  for (Wave* c : {&left, &right}) {
    AddBurst(*c, rate, 0.0, 5000, 1.5, 0.5, 0.0005, 0.006, c == &left ? 1221 : 1222);
    AddBurst(*c, rate, 0.96, 3800, 1.5, 0.6, 0.0005, 0.010, c == &left ? 1223 : 1224);
    AddMode(*c, rate, 0.96, 2150 * 1.593, 0.3, 0.06);
  }
  double max = 0;
  for (const Wave* c : {&left, &right})
    for (double s : *c) max = std::max(max, std::abs(s));
  for (Wave* c : {&left, &right}) {
    for (double& s : *c) s *= 0.6 / max;
    const int fade = Samples(0.004, rate);
    for (int i = 0; i < fade; ++i) (*c)[c->size() - 1 - i] *= static_cast<double>(i) / fade;
  }
  return {left, right};
}

// A game won: a bright rising fanfare on bells that ends on a full chord.
Wave WinFanfare() {
  const int rate = 22050;
  Wave w(static_cast<size_t>(Samples(1.9, rate)), 0.0);
  const double notes[] = {523.25, 659.25, 783.99, 1046.50};  // C5 E5 G5 C6
  for (int k = 0; k < 4; ++k) AddChime(w, rate, 0.11 * k, notes[k], 0.5, 0.25);
  const double chord[] = {523.25, 659.25, 783.99, 1046.50, 1318.51};
  for (double f : chord) AddChime(w, rate, 0.52, f, 0.32, 0.55);
  // A light shimmer over the chord.
  for (int k = 0; k < 6; ++k) AddChime(w, rate, 0.56 + 0.07 * k, 2093.0 * (k % 2 ? 1.25 : 1.0), 0.08, 0.12);
  Finish(w, rate, 0.7);
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOURCE_FOLDER\n", argv[0]);
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  if (!root.mkpath("Data/sounds")) {
    std::fprintf(stderr, "cannot make %s/Data/sounds\n", argv[1]);
    return 1;
  }
  const Format mono16;
  const Format mono8{22050, 8, 1};
  const Format low16{11025, 16, 1};
  const Format stereo8{22050, 8, 2};
  auto sound = [&root](int n) { return root.filePath(QString("Data/sounds/%1.wav").arg(n)); };

  bool ok = true;
  ok &= Save(sound(106), {Whoosh()}, mono16);
  ok &= Save(sound(107), {Tick()}, mono16);
  ok &= Save(sound(108), {Notice()}, mono16);
  ok &= Save(sound(109), {Buzz()}, mono16);
  ok &= Save(sound(110), {Pop()}, mono16);
  // Metallic card set.
  ok &= Save(sound(111), {MetalCard(0.26, 1.00, 0.9, 111)}, mono16);  // dealt
  ok &= Save(sound(112), {MetalCard(0.76, 0.84, 3.6, 112)}, mono16);  // onto a Center pile
  ok &= Save(sound(113), {MetalCard(0.19, 1.18, 0.6, 113)}, mono16);  // Stock card turned
  ok &= Save(sound(114), {MetalCard(0.26, 0.92, 0.9, 114)}, mono16);  // dealt to the opponent
  ok &= Save(sound(115), {MetalCard(0.15, 1.30, 0.4, 115)}, mono16);
  // Wood card set.
  ok &= Save(sound(116), {WoodCard(0.19, 1.00, 1.0, 116)}, mono16);  // dealt
  ok &= Save(sound(117), {WoodCard(0.20, 0.80, 1.6, 117)}, mono16);  // onto a Center pile
  ok &= Save(sound(118), {WoodCard(0.26, 1.20, 1.2, 118)}, mono16);  // Stock card turned
  ok &= Save(sound(119), {WoodCard(0.48, 0.90, 2.4, 119)}, mono16);  // dealt to the opponent
  ok &= Save(sound(120), {Snap()}, mono8);
  ok &= Save(sound(121), {Riffle()}, mono16);
  ok &= Save(sound(122), CoinToss(), stereo8);
  ok &= Save(sound(123), {Falling()}, low16);
  ok &= Save(sound(124), {TurnChime()}, mono16);
  ok &= Save(root.filePath("Data/win.wav"), {WinFanfare()}, mono16);
  return ok ? 0 : 1;
}
