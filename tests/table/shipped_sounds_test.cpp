// The shipped sounds must be plain PCM WAV files of the format and length the
// program's effects were timed for.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <cstdint>
#include <optional>

#include "support/temp_home.h"

namespace {

struct WavInfo {
  int channels = 0;
  int rate = 0;
  int bits = 0;
  double seconds = 0;
};

uint32_t Le(const QByteArray& b, qsizetype at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(b[at + i]);
  return v;
}

// Reads the header of a RIFF WAVE file, walking its chunks; nothing when the
// file is not well-formed PCM.
std::optional<WavInfo> ReadWav(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray b = file.readAll();
  if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") return std::nullopt;
  if (Le(b, 4, 4) != static_cast<uint32_t>(b.size() - 8)) return std::nullopt;
  std::optional<WavInfo> info;
  int blockAlign = 0;
  for (qsizetype at = 12; at + 8 <= b.size();) {
    const QByteArray id = b.mid(at, 4);
    const qsizetype size = Le(b, at + 4, 4);
    if (at + 8 + size > b.size()) return std::nullopt;
    if (id == "fmt ") {
      if (size < 16 || Le(b, at + 8, 2) != 1) return std::nullopt;  // PCM only
      WavInfo w;
      w.channels = static_cast<int>(Le(b, at + 10, 2));
      w.rate = static_cast<int>(Le(b, at + 12, 4));
      const uint32_t byteRate = Le(b, at + 16, 4);
      blockAlign = static_cast<int>(Le(b, at + 20, 2));
      w.bits = static_cast<int>(Le(b, at + 22, 2));
      if (w.channels < 1 || w.rate <= 0 || blockAlign != w.channels * w.bits / 8 ||
          byteRate != static_cast<uint32_t>(w.rate * blockAlign)) {
        return std::nullopt;
      }
      info = w;
    } else if (id == "data") {
      if (!info || size % blockAlign != 0) return std::nullopt;
      info->seconds = static_cast<double>(size / blockAlign) / info->rate;
      return info;
    }
    at += 8 + size + (size & 1);
  }
  return std::nullopt;
}

struct Expected {
  int number;
  double seconds;  // 0: not timed, only short
  int rate;
  int bits;
  int channels;
};

// The effect sounds' timings and formats; 106-108, 110 and 115 are the
// interface sounds, free in length but short.
constexpr Expected kSounds[] = {
    {106, 0, 22050, 16, 1},    {107, 0, 22050, 16, 1},    {108, 0, 22050, 16, 1},    {109, 0.62, 22050, 16, 1},
    {110, 0, 22050, 16, 1},    {111, 0.26, 22050, 16, 1}, {112, 0.76, 22050, 16, 1}, {113, 0.19, 22050, 16, 1},
    {114, 0.26, 22050, 16, 1}, {115, 0, 22050, 16, 1},    {116, 0.19, 22050, 16, 1}, {117, 0.20, 22050, 16, 1},
    {118, 0.26, 22050, 16, 1}, {119, 0.48, 22050, 16, 1}, {120, 0.05, 22050, 8, 1},  {121, 0.67, 22050, 16, 1},
    {122, 1.16, 22050, 8, 2},  {123, 0.44, 11025, 16, 1}, {124, 0.54, 22050, 16, 1},
};

TEST(ShippedSounds, EveryEffectSoundHasItsFormatAndLength) {
  for (const Expected& e : kSounds) {
    SCOPED_TRACE(e.number);
    const auto info = ReadWav(SourceFile(QString("Data/sounds/%1.wav").arg(e.number)));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->rate, e.rate);
    EXPECT_EQ(info->bits, e.bits);
    EXPECT_EQ(info->channels, e.channels);
    if (e.seconds > 0) {
      EXPECT_NEAR(info->seconds, e.seconds, e.seconds * 0.03);
    } else {
      EXPECT_GT(info->seconds, 0.03);
      EXPECT_LT(info->seconds, 1.0);
    }
  }
}

TEST(ShippedSounds, WinSoundIsAShortWav) {
  const auto info = ReadWav(SourceFile("Data/win.wav"));
  ASSERT_TRUE(info.has_value());
  EXPECT_GT(info->seconds, 0.5);
  EXPECT_LT(info->seconds, 5.0);
}

}  // namespace
