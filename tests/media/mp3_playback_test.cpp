#include "media/mp3_playback.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_music_player.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace media {
namespace {

class Mp3CommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"first.mp3", "second.mp3", "with blanks in it.mp3", "broken.mp3"}) {
      QFile f(dir.filePath(name));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      f.write("x");
    }
    wait.SetTimeScale(0);
  }
  QString File(const char* name) const { return dir.filePath(name); }

  QTemporaryDir dir;
  platform::WaitService wait;
  platform::FakeUi ui;
  FakeMusicPlayer player;
  Mp3Commands mci{&player, wait, ui, "Marrowdale"};
};

TEST_F(Mp3CommandsTest, OneFileAtATimeUnderOneHandle) {
  // Stopping with nothing open stops and closes, and answers nothing.
  EXPECT_EQ(mci.StopMP3(), "");
  EXPECT_EQ(player.log, (std::vector<QString>{"stop", "close"}));

  // The first file is stopped and closed before the second is opened.
  player.log.clear();
  EXPECT_EQ(mci.PlayMP3(File("first.mp3")), "Success");
  EXPECT_TRUE(mci.IsMP3Playing());
  EXPECT_EQ(mci.PlayMP3(File("with blanks in it.mp3")), "Success");
  EXPECT_EQ(player.log, (std::vector<QString>{"stop", "close", "open " + File("first.mp3"), "play", "stop", "close",
                                              "open " + File("with blanks in it.mp3"), "play"}));

  // A song that has ended is not playing.
  player.FinishSong();
  EXPECT_FALSE(mci.IsMP3Playing());

  // A missing file: the song before is already stopped and closed, nothing
  // is opened, and no box is shown.
  EXPECT_EQ(mci.PlayMP3(File("second.mp3")), "Success");
  player.log.clear();
  EXPECT_EQ(mci.PlayMP3(File("missing.mp3")), "Error with input file");
  EXPECT_EQ(player.log, (std::vector<QString>{"stop", "close"}));
  EXPECT_FALSE(mci.IsMP3Playing());
  EXPECT_EQ(mci.PlayMP3(dir.path()), "Error with input file") << "a folder is no music file";
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(Mp3CommandsTest, AFileThePlayerCannotOpenShowsItsErrorAndIsNotPlayed) {
  player.invalid = {File("broken.mp3")};
  player.error = "Could not determine type of stream.";
  EXPECT_EQ(mci.PlayMP3(File("broken.mp3")), "Could not determine type of stream.");
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "Could not determine type of stream.");
  EXPECT_EQ(ui.boxes[0].title, "Marrowdale");
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbCritical);
  EXPECT_EQ(player.log.back(), "close");
  EXPECT_FALSE(mci.IsMP3Playing());
}

TEST_F(Mp3CommandsTest, TheWaitForASlowFileEndsAndNeverOutlastsClosing) {
  // Still loading when the wait ends: it is played once it has loaded.
  player.slow = {File("first.mp3")};
  EXPECT_EQ(mci.PlayMP3(File("first.mp3")), "Success");
  EXPECT_EQ(player.log.back(), "play");

  // The program closing ends the wait at once; nothing is left open.
  wait.SetTimeScale(1);
  wait.SetExiting(true);
  player.log.clear();
  EXPECT_EQ(mci.PlayMP3(File("first.mp3")), "");
  EXPECT_EQ(player.log.back(), "close");
  EXPECT_FALSE(mci.IsMP3Playing());

  // Without a player nothing ever plays.
  Mp3Commands none(nullptr, wait, ui, "Marrowdale");
  EXPECT_EQ(none.PlayMP3(File("first.mp3")), "Error with input file");
  EXPECT_FALSE(none.IsMP3Playing());
  EXPECT_EQ(none.StopMP3(), "");
}

// The shipped intro tune: MPEG-1 Layer III frames at 128 kbit/s and
// 44.1 kHz from its first byte to its last, 20 to 40 seconds of music.
TEST(IntroTune, IsAnMp3OfTheExpectedLength) {
  QFile f(SourceFile("Data/intro.mp3"));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  constexpr int kSamplesPerFrame = 1152;
  constexpr int kRate = 44100;
  qsizetype pos = 0;
  int frames = 0;
  while (pos + 4 <= bytes.size()) {
    const auto b = [&](qsizetype i) { return static_cast<unsigned char>(bytes[pos + i]); };
    ASSERT_EQ(b(0), 0xFF) << "frame " << frames << " at " << pos;
    ASSERT_EQ(b(1) & 0xE0, 0xE0) << "frame sync at " << pos;
    ASSERT_EQ((b(1) >> 3) & 3, 3) << "MPEG-1 at " << pos;
    ASSERT_EQ((b(1) >> 1) & 3, 1) << "Layer III at " << pos;
    ASSERT_EQ(b(2) >> 4, 9) << "128 kbit/s at " << pos;
    ASSERT_EQ((b(2) >> 2) & 3, 0) << "44.1 kHz at " << pos;
    const int padding = (b(2) >> 1) & 1;
    pos += 144 * 128000 / kRate + padding;
    ++frames;
  }
  EXPECT_EQ(pos, bytes.size()) << "no bytes after the last frame";
  const double seconds = static_cast<double>(frames) * kSamplesPerFrame / kRate;
  EXPECT_GE(seconds, 20.0);
  EXPECT_LE(seconds, 40.0);
}

}  // namespace
}  // namespace media
