#include "platform/sound.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "platform/wait.h"

using platform::CreateSoundChannel;

namespace {

// A short silent PCM WAV file: mono, 22,050 Hz, 16-bit.
QByteArray SilentWav(int samples) {
  const quint32 dataBytes = static_cast<quint32>(samples) * 2;
  QByteArray w;
  auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); w.append(b, 4); };
  auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); w.append(b, 2); };
  w.append("RIFF");
  u32(36 + dataBytes);
  w.append("WAVEfmt ");
  u32(16);
  u16(1);
  u16(1);
  u32(22050);
  u32(22050 * 2);
  u16(2);
  u16(16);
  w.append("data");
  u32(dataBytes);
  w.append(QByteArray(static_cast<int>(dataBytes), '\0'));
  return w;
}

// A WAV file of the given kind around these sample bytes; an extensible
// header names the kind in its sub-format.
QByteArray Wav(quint16 tag, quint16 channels, quint16 bits, const QByteArray& data, bool extensible = false) {
  QByteArray w;
  auto u32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); w.append(b, 4); };
  auto u16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); w.append(b, 2); };
  const quint32 fmtBytes = extensible ? 40 : 16;
  w.append("RIFF");
  u32(4 + 8 + fmtBytes + 8 + static_cast<quint32>(data.size()));
  w.append("WAVEfmt ");
  u32(fmtBytes);
  u16(extensible ? 0xFFFE : tag);
  u16(channels);
  u32(8000);
  u32(8000u * channels * bits / 8);
  u16(static_cast<quint16>(channels * bits / 8));
  u16(bits);
  if (extensible) {
    u16(22);
    u16(bits);
    u32(0);
    u16(tag);
    w.append(QByteArray(14, '\x01'));  // the rest of the sub-format's identifier
  }
  w.append("data");
  u32(static_cast<quint32>(data.size()));
  w.append(data);
  return w;
}

QList<qint16> Samples(const platform::WavSamples& wav) {
  QList<qint16> v;
  for (qsizetype i = 0; i + 1 < wav.pcm16.size(); i += 2) v << qFromLittleEndian<qint16>(wav.pcm16.constData() + i);
  return v;
}

}  // namespace

// Every kind of WAV file a user may add plays as 16-bit samples; a partial
// last frame is dropped, and kinds the channel cannot play are nothing.
TEST(SoundChannelTest, DecodesTheWavKindsAUserMayAdd) {
  using platform::DecodeWav;
  const auto bytes = [](std::initializer_list<int> b) {
    QByteArray a;
    for (int v : b) a.append(static_cast<char>(v));
    return a;
  };
  const auto eight = DecodeWav(Wav(1, 1, 8, bytes({0x80, 0xFF, 0x00})));
  ASSERT_TRUE(eight);
  EXPECT_EQ(Samples(*eight), (QList<qint16>{0, 127 * 256, -128 * 256}));
  EXPECT_EQ(eight->sampleRate, 8000);

  const auto stereo16 = DecodeWav(Wav(1, 2, 16, bytes({0x01, 0x00, 0xFF, 0xFF, 0x05})));
  ASSERT_TRUE(stereo16);
  EXPECT_EQ(stereo16->channels, 2);
  EXPECT_EQ(Samples(*stereo16), (QList<qint16>{1, -1})) << "the partial frame goes";

  const auto deep = DecodeWav(Wav(1, 1, 24, bytes({0x00, 0x34, 0x12, 0x00, 0x00, 0x80})));
  ASSERT_TRUE(deep);
  EXPECT_EQ(Samples(*deep), (QList<qint16>{0x1234, -32768}));

  QByteArray floats(8, '\0');
  qToLittleEndian<float>(0.5f, floats.data());
  qToLittleEndian<float>(-2.0f, floats.data() + 4);
  const auto fromFloat = DecodeWav(Wav(3, 1, 32, floats));
  ASSERT_TRUE(fromFloat);
  EXPECT_EQ(Samples(*fromFloat), (QList<qint16>{16383, -32767})) << "clipped to full scale";

  const auto extensible = DecodeWav(Wav(1, 1, 16, bytes({0x10, 0x00}), true));
  ASSERT_TRUE(extensible);
  EXPECT_EQ(Samples(*extensible), QList<qint16>{16});

  EXPECT_FALSE(DecodeWav(Wav(2, 1, 4, bytes({1, 2, 3, 4})))) << "compressed";
  EXPECT_FALSE(DecodeWav(Wav(1, 3, 16, bytes({1, 2, 3, 4, 5, 6})))) << "three channels";
  EXPECT_FALSE(DecodeWav(Wav(1, 1, 16, bytes({1})))) << "no whole sample";
  QByteArray cut = Wav(1, 1, 16, bytes({1, 0, 2, 0}));
  cut.chop(1);
  const auto whole = DecodeWav(cut);
  ASSERT_TRUE(whole);
  EXPECT_EQ(Samples(*whole), QList<qint16>{1}) << "a file cut short keeps what is whole";
  EXPECT_FALSE(DecodeWav("RIFF\x10\x00\x00\x00WAVEjunk"));
  EXPECT_FALSE(DecodeWav(QByteArray()));
}

// The test machine may have no audio device at all: playing must then be
// silence, without an error escaping or a crash, and nothing may wait.
TEST(SoundChannelTest, PlaysCutsAndStopsWithoutADevice) {
  qputenv("QT_MEDIA_BACKEND", "gstreamer");
  QTemporaryDir dir;
  const QString wav = dir.filePath("~113.tmp");
  {
    QFile f(wav);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(SilentWav(4410));
  }
  platform::WaitService wait;
  auto channel = CreateSoundChannel();
  ASSERT_NE(channel, nullptr);
  EXPECT_NO_THROW({
    channel->Stop();  // nothing playing yet
    channel->Play(dir.filePath("missing.wav"));
    channel->Play(wav);
    channel->Play(wav);  // cuts the one before
    wait.Pause(0.05);    // let the backend report whatever it reports
    channel->Play(dir.filePath("missing.wav"));
    channel->Play("");
    channel->Play(wav);
    channel->Stop();
    wait.Pause(0.05);
  });
  channel.reset();
  QCoreApplication::processEvents();
}
