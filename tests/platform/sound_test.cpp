#include "platform/sound.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <sys/prctl.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <memory>
#include <mutex>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

#include "platform/wait.h"
#include "support/missing_sound_server.h"

using platform::CreateSoundChannel;

namespace {

// A WAV file of the given kind around these sample bytes; an extensible
// header names the kind in its sub-format.
QByteArray Wav(quint16 tag, quint16 channels, quint16 bits, const QByteArray& data, bool extensible = false,
               quint32 rate = 8000) {
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
  const quint32 fmtBytes = extensible ? 40 : 16;
  w.append("RIFF");
  u32(4 + 8 + fmtBytes + 8 + static_cast<quint32>(data.size()));
  w.append("WAVEfmt ");
  u32(fmtBytes);
  u16(extensible ? 0xFFFE : tag);
  u16(channels);
  u32(rate);
  u32(rate * channels * bits / 8);
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

// A short silent PCM WAV file: mono, 22,050 Hz, 16-bit.
QByteArray SilentWav(int samples) { return Wav(1, 1, 16, QByteArray(samples * 2, '\0'), false, 22050); }

// A tone of the given length: mono, 22,050 Hz, 16-bit, a third of full scale.
QByteArray ToneWav(double seconds) {
  const int samples = static_cast<int>(22050 * seconds);
  QByteArray data(samples * 2, Qt::Uninitialized);
  for (int i = 0; i < samples; ++i)
    qToLittleEndian<qint16>(static_cast<qint16>(11000 * std::sin(i * 2 * std::numbers::pi * 440 / 22050)),
                            data.data() + 2 * i);
  return Wav(1, 1, 16, data, false, 22050);
}

// Looks again and again, for at most 20 seconds, whether the condition
// holds: what the sound server and its recorder do raises no event here.
bool Eventually(platform::WaitService& wait, const std::function<bool()>& condition) {
  for (int i = 0; i < 400; ++i) {
    if (condition()) return true;
    wait.Pause(0.05);
  }
  return condition();
}

// A sound server of its own for a test, with a sink that plays into
// nothing and whose monitor is recorded, so that the test hears what the
// channel played. This process reaches it (and only it) through
// PULSE_SERVER while it lives.
class TestSoundServer {
 public:
  static bool Installed() {
    return !QStandardPaths::findExecutable("pulseaudio").isEmpty() &&
           !QStandardPaths::findExecutable("parecord").isEmpty();
  }

  TestSoundServer() : oldServer_(qgetenv("PULSE_SERVER")), oldCookie_(qgetenv("PULSE_COOKIE")) {
    // The server and the recorder end with the test, even when it crashes.
    for (QProcess* p : {&server_, &recorder_}) p->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert("HOME", dir_.path());
    env_.insert("XDG_RUNTIME_DIR", dir_.path());
    env_.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    env_.insert("PULSE_COOKIE", dir_.filePath("cookie"));
    env_.insert("PULSE_SERVER", "unix:" + Socket());
    env_.remove("DISPLAY");
    qputenv("PULSE_SERVER", ("unix:" + Socket()).toUtf8());
    qputenv("PULSE_COOKIE", dir_.filePath("cookie").toUtf8());
  }

  ~TestSoundServer() {
    StopRecording();
    Kill();
    if (oldServer_.isNull())
      qunsetenv("PULSE_SERVER");
    else
      qputenv("PULSE_SERVER", oldServer_);
    if (oldCookie_.isNull())
      qunsetenv("PULSE_COOKIE");
    else
      qputenv("PULSE_COOKIE", oldCookie_);
  }

  bool Start(platform::WaitService& wait) {
    QFile::remove(Socket());  // left behind by a killed server
    server_.setProcessEnvironment(env_);
    server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server_.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
                                 "--load=module-null-sink sink_name=table",
                                 "--load=module-native-protocol-unix auth-anonymous=1 socket=" + Socket()});
    return server_.waitForStarted() &&
           Eventually(wait, [&] { return QFileInfo::exists(Socket()) || server_.state() == QProcess::NotRunning; }) &&
           server_.state() == QProcess::Running;
  }

  void Kill() {
    server_.kill();
    server_.waitForFinished();
  }

  // Records what the sink plays into a new file, from once the recorder
  // runs.
  bool Record(platform::WaitService& wait) {
    StopRecording();
    recording_ = dir_.filePath(QStringLiteral("heard%1.raw").arg(++recordings_));
    recorder_.setProcessEnvironment(env_);
    recorder_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    recorder_.start("parecord", {"--raw", "--format=s16le", "--rate=22050", "--channels=1", "--latency-msec=20",
                                 "--device=table.monitor", recording_});
    return recorder_.waitForStarted() &&
           Eventually(wait,
                      [&] { return QFileInfo(recording_).size() > 0 || recorder_.state() == QProcess::NotRunning; }) &&
           recorder_.state() == QProcess::Running;
  }

  // Whether the recording holds a sound: a sample louder than a fifth of
  // the tone.
  bool Heard() const {
    QFile f(recording_);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray raw = f.readAll();
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2)
      if (std::abs(qFromLittleEndian<qint16>(raw.constData() + i)) > 2000) return true;
    return false;
  }

 private:
  QString Socket() const { return dir_.filePath("native"); }
  void StopRecording() {
    recorder_.kill();
    recorder_.waitForFinished();
  }

  QTemporaryDir dir_;
  QProcessEnvironment env_;
  QProcess server_;
  QProcess recorder_;
  QString recording_;
  int recordings_ = 0;
  QByteArray oldServer_;
  QByteArray oldCookie_;
};

// A sound server that takes streams and then hangs in every write and
// flush until the test lets it go, as a server stopped by a signal does.
// What it shares with the test lives in a gate of its own, so that the
// test can watch the players' threads after it has let go of the server.
class HangingServer : public platform::SoundServer {
 public:
  struct Gate {
    std::mutex mutex;
    std::condition_variable wake;
    bool open = false;  // the server answers again
    int stuck = 0;      // calls hanging now
    int streams = 0;    // streams not yet closed
    bool gone = false;  // the server itself is gone: no thread holds it
  };

  ~HangingServer() override {
    std::lock_guard lock(gate->mutex);
    gate->gone = true;
    gate->wake.notify_all();
  }
  bool Usable() override { return true; }

 protected:
  std::unique_ptr<platform::SoundStream> Connect(const platform::SoundFormat&, const platform::StreamShape&) override {
    return std::make_unique<Stream>(gate);
  }

 public:
  // Waits, for at most five seconds, until the condition on the gate holds.
  bool Until(const std::function<bool(const Gate&)>& condition) const {
    std::unique_lock lock(gate->mutex);
    return gate->wake.wait_for(lock, std::chrono::seconds(5), [&] { return condition(*gate); });
  }

  const std::shared_ptr<Gate> gate = std::make_shared<Gate>();

 private:
  class Stream : public platform::SoundStream {
   public:
    explicit Stream(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {
      std::lock_guard lock(gate_->mutex);
      ++gate_->streams;
    }
    ~Stream() override {
      std::lock_guard lock(gate_->mutex);
      --gate_->streams;
      gate_->wake.notify_all();
    }
    bool Write(const char*, qsizetype) override { return Hang(); }
    bool Flush() override { return Hang(); }

   private:
    bool Hang() {
      std::unique_lock lock(gate_->mutex);
      ++gate_->stuck;
      gate_->wake.notify_all();
      gate_->wake.wait(lock, [&] { return gate_->open; });
      --gate_->stuck;
      return false;
    }
    std::shared_ptr<Gate> gate_;
  };
};

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

// Leaving ends the effects and the music at once even while the server
// hangs in their writes; the threads left behind end by themselves once
// the server answers, and touch nothing but what is theirs meanwhile.
TEST(SoundChannelTest, LeavingNeverWaitsForAServerThatHangs) {
  QTemporaryDir dir;
  const QString tone = dir.filePath("~122.tmp");
  {
    QFile f(tone);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ToneWav(0.4));
  }
  auto server = std::make_shared<HangingServer>();
  auto channel = CreateSoundChannel(server);
  auto music = platform::CreateMusicOutput(server);
  channel->Play(tone);
  music->Start({22050, 1});
  music->Append(QByteArray(22050 * 2, '\1'));
  ASSERT_TRUE(server->Until([](const HangingServer::Gate& g) { return g.stuck == 2; }));
  EXPECT_TRUE(music->Playing());

  QElapsedTimer leaving;
  leaving.start();
  channel->Stop();
  channel.reset();
  music->Stop();
  music.reset();
  EXPECT_LT(leaving.elapsed(), 1000) << "leaving waited for the server";

  const std::shared_ptr<HangingServer::Gate> gate = server->gate;
  server.reset();
  EXPECT_FALSE(gate->gone) << "the threads still hold the server";
  {
    std::lock_guard lock(gate->mutex);
    gate->open = true;
  }
  gate->wake.notify_all();
  std::unique_lock lock(gate->mutex);
  EXPECT_TRUE(gate->wake.wait_for(lock, std::chrono::seconds(5), [&] { return gate->gone && gate->streams == 0; }))
      << "a thread left behind never ended";
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
  auto channel = CreateSoundChannel(platform::CreateSoundServer());
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

// Play and Stop hand the sound over and return: an event waiting in the
// queue (a chat line, a click) never runs inside them, so a sound asked for
// from such an event cannot pull the output from under the call that is
// starting one. Against a real sound server, the effects are heard, and
// they come back after the server has been killed and started again.
TEST(SoundChannelTest, NeverRunsEventsAndSoundsAgainAfterTheServerRestarts) {
  QTemporaryDir dir;
  const QString tone = dir.filePath("~122.tmp");
  const QString click = dir.filePath("~120.tmp");
  for (const auto& [file, seconds] : {std::pair{tone, 0.4}, std::pair{click, 0.01}}) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ToneWav(seconds));
  }
  platform::WaitService wait;
  const bool withServer = TestSoundServer::Installed();
  std::optional<TestSoundServer> server;
  if (withServer) {
    server.emplace();
    ASSERT_TRUE(server->Start(wait));
    ASSERT_TRUE(server->Record(wait));
  }
  auto channel = CreateSoundChannel(platform::CreateSoundServer());
  int ranInside = 0;
  for (int i = 0; i < 40; ++i) {
    bool inside = true;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
          ranInside += inside;
          channel->Play(i % 2 ? tone : click);  // a sound asked for by the event
          if (i % 3 == 0) channel->Stop();
        },
        Qt::QueuedConnection);
    channel->Play(i % 2 ? click : tone);
    channel->Play(tone);
    channel->Stop();
    channel->Play(click);
    inside = false;
    QCoreApplication::processEvents();
    if (i % 8 == 0) wait.Pause(0.02);
  }
  EXPECT_EQ(ranInside, 0);
  if (!withServer) GTEST_SKIP() << "no sound server installed: only the events were checked";

  channel->Play(tone);
  EXPECT_TRUE(Eventually(wait, [&] { return server->Heard(); })) << "the tone never reached the server";

  server->Kill();
  channel->Play(click);  // into a server that is gone: silence, no error
  wait.Pause(0.1);
  ASSERT_TRUE(server->Start(wait));
  ASSERT_TRUE(server->Record(wait));
  ASSERT_FALSE(server->Heard());
  // The failed try just now holds the next one back for a second: the
  // tone is asked for again as a player would.
  int looks = 0;
  EXPECT_TRUE(Eventually(wait, [&] {
    if (looks++ % 10 == 0) channel->Play(tone);
    return server->Heard();
  })) << "no sound after the server came back";
  channel.reset();
}

// The music starts while no server runs, is heard once one does, and plays
// on after the server has been killed and started again, within the same
// song: nothing has to start it anew.
TEST(SoundChannelTest, MusicIsHeardOnceAServerRunsAndAgainAfterItRestarts) {
  if (!TestSoundServer::Installed()) GTEST_SKIP() << "no sound server installed";
  platform::WaitService wait;
  TestSoundServer server;  // not running yet
  auto music = platform::CreateMusicOutput(platform::CreateSoundServer());
  const QByteArray tone = ToneWav(1.0).mid(44);  // the samples of a second
  music->Start({22050, 1});
  // The song is handed over as a decoder would, as far as there is room.
  const auto feedAndHeard = [&] {
    while (music->Room() >= tone.size()) music->Append(tone);
    return server.Heard();
  };
  wait.Pause(0.3);
  feedAndHeard();
  EXPECT_TRUE(music->Playing());

  ASSERT_TRUE(server.Start(wait));
  ASSERT_TRUE(server.Record(wait));
  EXPECT_TRUE(Eventually(wait, feedAndHeard)) << "no music once the server ran";

  server.Kill();
  wait.Pause(0.3);
  feedAndHeard();
  ASSERT_TRUE(server.Start(wait));
  ASSERT_TRUE(server.Record(wait));
  EXPECT_TRUE(Eventually(wait, feedAndHeard)) << "no music after the server came back";
  EXPECT_TRUE(music->Playing());

  music->Finish();
  EXPECT_TRUE(Eventually(wait, [&] { return !music->Playing(); })) << "the song never ended";
}

// Without a server the effects and the music each ask for one at most once
// a second, however many sounds are asked for meanwhile.
TEST(SoundChannelTest, AMissingServerIsAskedForOnceASecond) {
  QTemporaryDir dir;
  const QString click = dir.filePath("~120.tmp");
  {
    QFile f(click);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ToneWav(0.01));
  }
  platform::WaitService wait;
  auto server = std::make_shared<MissingSoundServer>();
  auto channel = CreateSoundChannel(server);
  auto music = platform::CreateMusicOutput(server);
  music->Start({22050, 1});
  music->Append(QByteArray(22050 * 2, '\1'));
  for (int i = 0; i < 12; ++i) {
    channel->Play(click);
    wait.Pause(0.05);
  }
  EXPECT_GE(server->tries, 1);
  EXPECT_LE(server->tries, 2) << "the server was asked at every sound";
  wait.Pause(0.5);
  channel->Play(click);
  EXPECT_TRUE(Eventually(wait, [&] { return server->tries >= 2 && server->tries <= 4; }));
}

// A song at a rate of a few frames a second (a WAV file may say anything)
// is still played out in its own time, a frame at least at a time, and
// ends: the music's thread never spins on empty slices.
TEST(SoundChannelTest, MusicAtAFewFramesASecondStillEnds) {
  platform::WaitService wait;
  auto music = platform::CreateMusicOutput(std::make_shared<MissingSoundServer>());
  music->Start({10, 1});
  music->Append(QByteArray(5 * 2, '\1'));
  music->Finish();
  EXPECT_TRUE(Eventually(wait, [&] { return !music->Playing(); })) << "the song never ended";
}

// A start without a runtime folder or a named server: the library is told
// where to look and tries there without making a folder in the temporary
// folder (as it did at every start) or starting a server of its own. A
// session that names its runtime folder is left as it is.
TEST(SoundServerLookup, WithoutARuntimeFolderNothingIsLeftInTheTemporaryFolder) {
  // The variables are put back as they were for the tests after this one.
  struct SavedEnvironment {
    std::vector<std::pair<const char*, std::optional<QByteArray>>> saved;
    SavedEnvironment() {
      for (const char* name : {"PULSE_SERVER", "PULSE_RUNTIME_PATH", "PULSE_CLIENTCONFIG", "PULSE_CONFIG_PATH",
                               "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "HOME", "TMPDIR"})
        saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    ~SavedEnvironment() {
      for (const auto& [name, value] : saved) {
        if (value) {
          qputenv(name, *value);
        } else {
          qunsetenv(name);
        }
      }
    }
  } savedEnvironment;
  QTemporaryDir home;
  QTemporaryDir temp;
  for (const char* name :
       {"PULSE_SERVER", "PULSE_RUNTIME_PATH", "PULSE_CLIENTCONFIG", "PULSE_CONFIG_PATH", "XDG_CONFIG_HOME"})
    qunsetenv(name);
  qputenv("HOME", home.path().toLocal8Bit());
  qputenv("TMPDIR", temp.path().toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
  platform::PrepareSoundServerLookup();
  EXPECT_TRUE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "the session's runtime folder was passed over";

  qunsetenv("XDG_RUNTIME_DIR");
  platform::PrepareSoundServerLookup();
  const QString lookup = qEnvironmentVariable("PULSE_SERVER");
  EXPECT_TRUE(lookup.startsWith("unix:" + home.path() + "/.config/pulse/")) << lookup.toStdString();
  EXPECT_TRUE(lookup.endsWith("-runtime/native unix:/var/run/pulse/native")) << lookup.toStdString();

  auto server = platform::CreateSoundServer();
  if (!server->Usable()) GTEST_SKIP() << "no sound server library";
  EXPECT_EQ(server->Open({22050, 1}, {"Sound effects", 80, 20}), nullptr);
  EXPECT_TRUE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
  EXPECT_FALSE(QFileInfo::exists(home.filePath(".config/pulse")));
}
