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

}  // namespace

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
