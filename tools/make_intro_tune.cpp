// Makes Data/intro.mp3, the tune that plays when the game starts: a short
// piece in D minor for plucked strings over a bass and a broken-chord
// accompaniment, synthesised here at 44.1 kHz and encoded with lame at a
// constant 128 kbit/s. The synthesis uses no random numbers, so the same
// lame makes the same file.
//
//   cmake --build build --target make_intro_tune
//   build/tools/make_intro_tune SOURCE_FOLDER
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kBeat = 60.0 / 96.0;  // 96 beats a minute
constexpr int kBeatsPerBar = 4;

struct Note {
  int midi;  // 0: a rest
  double beats;
};

// Twelve bars and a closing note.
const std::vector<Note> kMelody = {
    {69, 1},   {74, 1},   {77, 1},   {76, 0.5}, {74, 0.5},  // Dm
    {74, 1.5}, {72, 0.5}, {70, 1},   {69, 1},               // Bb
    {67, 1},   {72, 1},   {76, 1.5}, {74, 0.5},             // C
    {72, 2},   {69, 1},   {65, 1},                          // F
    {69, 1},   {74, 1},   {77, 1},   {81, 1},               // Dm
    {79, 1.5}, {77, 0.5}, {74, 1},   {70, 1},               // Gm
    {69, 1},   {73, 1},   {76, 1},   {79, 1},               // A
    {77, 1.5}, {76, 0.5}, {74, 2},                          // Dm
    {72, 1},   {77, 1},   {81, 1},   {79, 0.5}, {77, 0.5},  // F
    {76, 1.5}, {74, 0.5}, {72, 1},   {67, 1},               // C
    {70, 1},   {74, 1},   {79, 1},   {77, 0.5}, {76, 0.5},  // Gm
    {76, 2},   {73, 1},   {69, 1},                          // A
    {74, 4},                                                // Dm
};

// The chord of each bar: root, third, fifth (MIDI numbers around middle C).
const std::vector<std::array<int, 3>> kChords = {
    {62, 65, 69}, {58, 62, 65}, {60, 64, 67}, {65, 69, 72}, {62, 65, 69}, {55, 58, 62}, {57, 61, 64},
    {62, 65, 69}, {65, 69, 72}, {60, 64, 67}, {55, 58, 62}, {57, 61, 64}, {62, 65, 69},
};

double Frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// A plucked string: a few harmonics, each dying away faster than the one
// below it, with a short attack so that the note does not click.
void Pluck(std::vector<double>& out, double start, double length, int midi, double gain, double decay) {
  const double f = Frequency(midi);
  const int from = static_cast<int>(start * kRate);
  const int count = static_cast<int>((length + 1.2) * kRate);
  constexpr double kHarmonics[] = {1.0, 0.5, 0.28, 0.16, 0.08, 0.04};
  for (int i = 0; i < count && from + i < static_cast<int>(out.size()); ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double attack = std::min(1.0, t / 0.006);
    // The note is damped after its written length.
    const double release = t > length ? std::exp(-(t - length) * 9.0) : 1.0;
    double v = 0;
    for (int k = 0; k < 6; ++k) {
      const double n = k + 1;
      v += kHarmonics[k] * std::sin(2 * std::numbers::pi * f * n * t) * std::exp(-t * decay * std::sqrt(n));
    }
    out[from + i] += gain * attack * release * v;
  }
}

std::vector<double> Compose(double& seconds) {
  double melodyBeats = 0;
  for (const Note& n : kMelody) melodyBeats += n.beats;
  seconds = melodyBeats * kBeat + 2.5;
  std::vector<double> mix(static_cast<std::size_t>(seconds * kRate), 0.0);

  double t = 0;
  for (const Note& n : kMelody) {
    if (n.midi) Pluck(mix, t, n.beats * kBeat, n.midi, 0.32, 1.6);
    t += n.beats * kBeat;
  }
  for (std::size_t bar = 0; bar < kChords.size(); ++bar) {
    const double barStart = bar * kBeatsPerBar * kBeat;
    const auto& c = kChords[bar];
    const bool last = bar + 1 == kChords.size();
    // The bass: the root on the first and third beats, the fifth between.
    Pluck(mix, barStart, 2 * kBeat, c[0] - 24, 0.30, 1.2);
    if (!last) Pluck(mix, barStart + 2 * kBeat, 2 * kBeat, c[2] - 24, 0.24, 1.2);
    // Broken chords in eighth notes, softer, up and down.
    const int pattern[] = {c[0], c[1], c[2], c[0] + 12, c[2], c[1], c[2], c[1]};
    const int steps = last ? 4 : 8;
    for (int i = 0; i < steps; ++i) Pluck(mix, barStart + i * kBeat / 2, kBeat / 2, pattern[i] - 12, 0.10, 2.4);
  }
  return mix;
}

// A little room: two feedback echoes, mixed in low.
std::vector<double> Room(const std::vector<double>& dry) {
  std::vector<double> wet = dry;
  const int d1 = static_cast<int>(0.113 * kRate), d2 = static_cast<int>(0.171 * kRate);
  for (std::size_t i = 0; i < wet.size(); ++i) {
    if (i >= static_cast<std::size_t>(d1)) wet[i] += 0.22 * wet[i - d1];
    if (i >= static_cast<std::size_t>(d2)) wet[i] += 0.15 * wet[i - d2];
  }
  std::vector<double> out(dry.size());
  for (std::size_t i = 0; i < dry.size(); ++i) out[i] = 0.8 * dry[i] + 0.2 * wet[i];
  return out;
}

QByteArray Wav(const std::vector<double>& samples) {
  double peak = 1e-9;
  for (double s : samples) peak = std::max(peak, std::abs(s));
  const double scale = 0.89 / peak;  // about -1 dBFS
  const std::size_t n = samples.size();
  const std::size_t fade = kRate * 2;
  QByteArray data;
  data.reserve(static_cast<int>(n * 2));
  for (std::size_t i = 0; i < n; ++i) {
    double v = samples[i] * scale;
    if (i + fade > n) v *= static_cast<double>(n - i) / fade;
    const auto pcm = static_cast<qint16>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
    char b[2];
    qToLittleEndian(pcm, b);
    data.append(b, 2);
  }
  QByteArray w;
  auto u32 = [&](quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    w.append(b, 4);
  };
  auto u16 = [&](quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    w.append(b, 2);
  };
  w.append("RIFF");
  u32(36 + static_cast<quint32>(data.size()));
  w.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  w.append("data");
  u32(static_cast<quint32>(data.size()));
  return w + data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s SOURCE_FOLDER\n", argv[0]);
    return 2;
  }
  const QDir root(QString::fromLocal8Bit(argv[1]));
  const QString target = root.filePath("Data/intro.mp3");

  double seconds = 0;
  const QByteArray wav = Wav(Room(Compose(seconds)));
  QTemporaryDir temp;
  if (!temp.isValid()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  const QString wavPath = temp.filePath("intro.wav");
  QFile file(wavPath);
  if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(wavPath));
    return 1;
  }
  file.close();

  // Constant 128 kbit/s, mono, no tags: the same input gives the same file.
  QProcess lame;
  lame.start("lame", {"--quiet", "--cbr", "-b", "128", "-q", "2", "-m", "m", "-t", "--noreplaygain", wavPath, target});
  if (!lame.waitForFinished(120000) || lame.exitStatus() != QProcess::NormalExit || lame.exitCode() != 0) {
    std::fprintf(stderr, "lame failed (is the package lame installed?): %s\n", lame.readAllStandardError().constData());
    return 1;
  }
  std::printf("%s: %.1f s\n", qPrintable(target), seconds);
  return 0;
}
