// Start-up and leaving the table, offscreen, with a temporary home: what a
// fresh install, a returning player, a second copy and a damaged or locked
// players file find, and what leaving stores and deletes.
#include "play/start_up.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "media/embedded_files.h"
#include "platform/recordfile.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "play/game_program.h"
#include "play/program_on_fakes.h"
#include "play/records/player_record.h"
#include "play/records/saved_game_record.h"
#include "support/child_process.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace play {
namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Record(const QByteArray& file, int n) {
  return file.mid((n - 1) * kPlayerRecordLength, kPlayerRecordLength);
}

// The byte offsets at which two records differ.
std::set<int> Differences(const QByteArray& a, const QByteArray& b) {
  std::set<int> at;
  for (int i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) at.insert(i);
  return at;
}

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    preflight = PrepareStart(QString(MARROWDALE_SOURCE_DIR) + "/");
    ASSERT_EQ(preflight.result, Preflight::Result::Ok);
    players = preflight.folders->DataPath + "players4.sav";
  }

  void Make() {
    testing_support::ProgramSetUp setUp;
    setUp.folders = *preflight.folders;
    setUp.seed = 7;
    program = testing_support::MakeProgram(std::move(setUp), home, joined, &fakeUi);
  }

  // A player in record 3, stored as the last one, with a placement.
  void StorePlayer(std::int16_t windowState) {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(players, kPlayerRecordLength));
    PlayerRecord player = PlayerRecord::Decode(file.Read(kTemplateRecord));
    player.Name = "Dora";
    ASSERT_TRUE(file.Write(3, player.Encode()));
    PlayerRecord settings = PlayerRecord::Decode(file.Read(kSettingsRecord));
    settings.SetLastPlayer(3);
    settings.SetWindowState(windowState);
    settings.SetWindowLeft(1500);
    settings.SetWindowTop(900);
    settings.SetWindowWidth(15000);
    settings.SetWindowHeight(11025);
    ASSERT_TRUE(file.Write(kSettingsRecord, settings.Encode()));
  }

  QStringList Leftovers() const {
    return QDir(preflight.folders->DataPath).entryList({"*.tmp", "~tempmoves.sav"}, QDir::Files | QDir::Hidden);
  }

  TempHome home;
  Preflight preflight;
  QString players;
  testing_support::JoinedFakes joined;  // the splash window and a first start's windows among them
  platform::FakeUi* fakeUi = nullptr;
  std::unique_ptr<Program> program;
};

TEST_F(StartUpTest, AFreshInstallWritesItsFilesAsksForAPlayerAndLeavesClean) {
  const QByteArray seed = FileBytes(players);
  Make();
  ASSERT_TRUE(program->Start());
  const QString data = program->folders().DataPath;

  EXPECT_EQ(joined.splashShown, 1);
  EXPECT_FALSE(joined.splashOpen);
  EXPECT_EQ(joined.firstStart.playerWindows, 1);
  EXPECT_EQ(joined.firstStart.tutorials, 1);
  EXPECT_TRUE(program->frmPlay().isVisible());
  for (int n = media::kFirstSoundResource; n <= media::kLastSoundResource; ++n) {
    const QByteArray embedded = media::LoadResData(QString::number(n), media::kResTypeSound);
    ASSERT_FALSE(embedded.isEmpty()) << n;
    EXPECT_EQ(FileBytes(data + media::SoundResourceFile(n)), embedded) << n;
  }
  for (const auto& picture : media::kPngResourceFiles)
    EXPECT_EQ(FileBytes(data + picture.fileName), media::LoadResData(picture.resourceName, media::kResTypeCustom));

  // The template keeps this machine's animation speed and nothing else;
  // the settings record gets the fitted placement.
  const QByteArray started = FileBytes(players);
  for (int at : Differences(Record(seed, kTemplateRecord), Record(started, kTemplateRecord)))
    EXPECT_TRUE(at == PlayerRecord::kAnimSpeedOffset || at == PlayerRecord::kAnimSpeedOffset + 1) << at;
  const PlayerRecord settings = PlayerRecord::Decode(Record(started, kSettingsRecord));
  EXPECT_EQ(settings.WindowState(), 0);
  EXPECT_GT(settings.WindowWidth(), 0);
  EXPECT_GT(settings.WindowHeight(), 0);
  // The fitted window, title bar included, fits the work area.
  EXPECT_LE(program->frmPlay().frameGeometry().bottom(), 984);

  // Leaving touches only the last player and the window fields of record 11.
  program->frmPlay().move(120, 40);
  program->frmPlay().close();
  EXPECT_FALSE(program->frmPlay().isVisible());
  const QByteArray left = FileBytes(players);
  for (int at : Differences(Record(started, kSettingsRecord), Record(left, kSettingsRecord)))
    EXPECT_TRUE((at >= 64 && at <= 65) || (at >= 116 && at <= 125)) << at;
  EXPECT_EQ(PlayerRecord::Decode(Record(left, kSettingsRecord)).WindowLeft(), 120 * 15);
  EXPECT_EQ(Leftovers(), QStringList());
}

TEST_F(StartUpTest, AReturningPlayerGetsHisPlacementBackMaximisedToo) {
  StorePlayer(0);
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 3);
  EXPECT_EQ(joined.firstStart.playerWindows, 0);
  const QRect frame = program->frmPlay().frameGeometry();
  EXPECT_EQ(frame, QRect(100, 60, 1000, 735));
  program->frmPlay().close();
  program.reset();

  StorePlayer(2);
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_TRUE(program->frmPlay().isMaximized());
  EXPECT_TRUE(program->frmPlay().WindowMaximized);
  program->frmPlay().close();
  // Closing maximised stores state 2 and keeps the normal placement.
  const PlayerRecord settings = PlayerRecord::Decode(Record(FileBytes(players), kSettingsRecord));
  EXPECT_EQ(settings.WindowState(), 2);
  EXPECT_EQ(settings.WindowWidth(), 15000);
}

TEST_F(StartUpTest, ASecondCopyTouchesNothing) {
  QFile::remove(players);
  const Preflight second = PrepareStart(QString(MARROWDALE_SOURCE_DIR) + "/");
  EXPECT_EQ(second.result, Preflight::Result::AlreadyRunning);
  // Where to look on this system: the running copy's process.
  const QString text = PreflightText(second);
  EXPECT_TRUE(text.startsWith(kAlreadyRunningText)) << text.toStdString();
  EXPECT_TRUE(text.contains("process " + QString::number(QCoreApplication::applicationPid()))) << text.toStdString();
  EXPECT_FALSE(text.contains("Windows"));
  EXPECT_FALSE(QFile::exists(players));
}

// A FIFO in place of a file the start reads would wait for a writer that
// never comes: the start goes on past each.
TEST_F(StartUpTest, FifosInPlaceOfFilesReadAtStartNeverStopIt) {
  StorePlayer(0);
  const QString user = preflight.folders->UserPath;
  QDir().mkpath(user);
  const QStringList fifos{user + "MusicList.txt", preflight.folders->DataPath + "logo.tmp",
                          preflight.folders->DataPath + "splash.tmp"};
  for (const QString& fifo : fifos) ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_TRUE(program->frmPlay().isVisible());
  // The list that cannot be read is left as it is.
  EXPECT_EQ(QFileInfo(fifos[0]).isFile(), false);
  EXPECT_TRUE(QFileInfo::exists(fifos[0]));
  program->frmPlay().close();
}

// Links planted under the names of the program's working files are
// replaced, never written through: what they point to keeps its bytes.
TEST_F(StartUpTest, PlantedLinksNeverRedirectAWrite) {
  StorePlayer(0);
  const QString data = preflight.folders->DataPath;
  const QString outside = home.Path() + "/precious";
  const QByteArray precious("the user's own bytes\n");
  for (const QString& name : {QString("one"), QString("two"), QString("three")}) {
    QFile f(outside + "-" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(precious);
  }
  ASSERT_TRUE(QFile::link(outside + "-one", data + media::SoundResourceFile(media::kFirstSoundResource)));
  ASSERT_TRUE(QFile::link(outside + "-two", data + kMoveFileName));
  ASSERT_EQ(link(QFile::encodeName(outside + "-three").constData(), QFile::encodeName(data + "handD.tmp").constData()),
            0);
  Make();
  ASSERT_TRUE(program->Start());
  for (const QString& name : {QString("one"), QString("two"), QString("three")})
    EXPECT_EQ(FileBytes(outside + "-" + name), precious) << name.toStdString();
  EXPECT_FALSE(QFileInfo(data + media::SoundResourceFile(media::kFirstSoundResource)).isSymLink());
  EXPECT_EQ(FileBytes(data + media::SoundResourceFile(media::kFirstSoundResource)),
            media::LoadResData(QString::number(media::kFirstSoundResource), media::kResTypeSound));
  program->frmPlay().close();
  for (const QString& name : {QString("one"), QString("two"), QString("three")})
    EXPECT_EQ(FileBytes(outside + "-" + name), precious) << name.toStdString();
}

// A kill between a whole file's write and its rename leaves its temporary;
// the next start takes away those and nothing it did not make.
TEST_F(StartUpTest, AStartRemovesTheStaleTemporariesOfItsOwnFilesOnly) {
  const QString data = preflight.folders->DataPath;
  const QString user = preflight.folders->UserPath;
  const QStringList stale{data + "players4.sav.new-Ab12Cd", data + "backup4.sav.new-XyZ123",
                          data + "highscore.sav.new-000000", user + "MusicList.txt.new-abcdef"};
  const QStringList others{data + "players4.sav.new-mine.txt", data + "notes.new-abcdef", user + "MusicList.txt.new-"};
  for (const QString& path : stale + others) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("left");
  }
  const QString linked = data + "backup4.sav.new-linked";
  ASSERT_TRUE(QFile::link(others[0], linked));
  preflight.lock.reset();
  const Preflight again = PrepareStart(QString(MARROWDALE_SOURCE_DIR) + "/");
  ASSERT_EQ(again.result, Preflight::Result::Ok);
  for (const QString& path : stale) EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
  for (const QString& path : others) EXPECT_EQ(FileBytes(path), "left") << path.toStdString();
  EXPECT_TRUE(QFileInfo(linked).isSymLink());
}

TEST_F(StartUpTest, ADamagedPlayersFileIsKeptAsideAndAFreshOneMade) {
  const QByteArray seed = FileBytes(players);
  {
    QFile f(players);
    ASSERT_TRUE(f.resize(kPlayerRecordLength * 5));
  }
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 0);
  ASSERT_FALSE(fakeUi->boxes.empty());
  EXPECT_TRUE(fakeUi->boxes[0].text.contains("was damaged")) << fakeUi->boxes[0].text.toStdString();
  const QStringList aside = QDir(program->folders().DataPath).entryList({"players4.sav.damaged-*"});
  ASSERT_EQ(aside.size(), 1);
  EXPECT_EQ(QFileInfo(program->folders().DataPath + aside[0]).size(), kPlayerRecordLength * 5);
  EXPECT_EQ(Record(FileBytes(players), 1), Record(seed, 1));
  program->frmPlay().close();
}

// Whole, sound records followed by a few bytes that make no record: the
// players stay, the file as it was is kept aside, and the file loses only
// the extra bytes.
TEST_F(StartUpTest, APlayersFileWithTrailingBytesKeepsItsPlayers) {
  StorePlayer(0);
  const QByteArray stored = FileBytes(players);
  const QByteArray damaged = stored + QByteArray("\x01\x02\x03\x04\x05", 5);
  {
    QFile f(players);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(damaged), damaged.size());
  }
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 3);
  EXPECT_EQ(program->player().PlayerName, "Dora");
  EXPECT_EQ(joined.firstStart.playerWindows, 0);
  ASSERT_FALSE(fakeUi->boxes.empty());
  const QString text = fakeUi->boxes[0].text;
  EXPECT_TRUE(text.startsWith("The players file " + players + " was damaged (5 bytes after its last record)."))
      << text.toStdString();
  EXPECT_TRUE(text.contains("The players in it are kept.")) << text.toStdString();
  EXPECT_EQ(fakeUi->boxes[0].icon(), platform::vbExclamation);
  const QStringList aside = QDir(program->folders().DataPath).entryList({"players4.sav.damaged-*"});
  ASSERT_EQ(aside.size(), 1);
  EXPECT_TRUE(text.contains(program->folders().DataPath + aside[0])) << text.toStdString();
  EXPECT_EQ(FileBytes(program->folders().DataPath + aside[0]), damaged);
  const QByteArray now = FileBytes(players);
  EXPECT_EQ(now.size(), stored.size());
  EXPECT_EQ(Record(now, 3), Record(stored, 3));
  program->frmPlay().close();
  program.reset();

  // The next start finds a whole file and says nothing of it.
  Make();
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 3);
  EXPECT_TRUE(fakeUi->boxes.empty()) << fakeUi->boxes[0].text.toStdString();
  EXPECT_EQ(QDir(program->folders().DataPath).entryList({"players4.sav.damaged-*"}).size(), 1);
  program->frmPlay().close();
}

// Noise of the right length is no players file either: a file of one byte
// value throughout, and a name holding a control character.
TEST_F(StartUpTest, APlayersFileOfNoiseIsKeptAsideAndAFreshOneMade) {
  const QByteArray seed = FileBytes(players);
  QByteArray badName = seed;
  badName.replace(2 * kPlayerRecordLength, 4, QByteArray("An\x07n", 4));
  const QByteArray noise(kPlayerRecordLength * kPlayersFileRecords, char(0xA5));
  for (const QByteArray& damaged : {noise, badName}) {
    {
      QFile f(players);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
      ASSERT_EQ(f.write(damaged), damaged.size());
    }
    Make();
    ASSERT_TRUE(program->Start());
    EXPECT_EQ(program->player().CurrentPlayer, 0);
    ASSERT_FALSE(fakeUi->boxes.empty());
    EXPECT_TRUE(fakeUi->boxes[0].text.contains("was damaged")) << fakeUi->boxes[0].text.toStdString();
    EXPECT_EQ(fakeUi->boxes[0].icon(), platform::vbExclamation);
    EXPECT_EQ(FileBytes(players).left(kLastPlayerRecord * kPlayerRecordLength),
              seed.left(kLastPlayerRecord * kPlayerRecordLength))
        << "a fresh file: no players";
    program->frmPlay().close();
    program.reset();
  }
  QStringList aside = QDir(preflight.folders->DataPath).entryList({"players4.sav.damaged-*"}, QDir::Files, QDir::Time);
  ASSERT_EQ(aside.size(), 2);
  std::set<QByteArray> kept;
  for (const QString& name : aside) kept.insert(FileBytes(preflight.folders->DataPath + name));
  EXPECT_EQ(kept, (std::set<QByteArray>{noise, badName}));
}

TEST_F(StartUpTest, AReadOnlyPlayersFileIsNamedWithTheReason) {
  ASSERT_TRUE(QFile::setPermissions(players, QFile::ReadOwner));
  QFile probe(players);
  if (probe.open(QIODevice::ReadWrite)) GTEST_SKIP() << "running as a user who may write anything";
  Make();
  EXPECT_FALSE(program->Start());
  ASSERT_EQ(fakeUi->boxes.size(), 1u);
  EXPECT_TRUE(fakeUi->boxes[0].text.contains(players + " for writing")) << fakeUi->boxes[0].text.toStdString();
  EXPECT_EQ(Leftovers(), QStringList());
}

TEST_F(StartUpTest, ACloseDuringTheComputersWorkStoresThePlayerWhenItStops) {
  StorePlayer(0);
  Make();
  ASSERT_TRUE(program->Start());
  program->wait().SetTimeScale(0.01);
  bool deferred = false;
  QTimer::singleShot(0, &program->frmPlay(), [&] {
    program->frmPlay().close();
    deferred = program->frmPlay().isVisible();
  });
  program->frmPlay().cmdDeal->click();
  EXPECT_TRUE(deferred);
  EXPECT_FALSE(program->frmPlay().isVisible());
  EXPECT_TRUE(program->leaving().report.playerStored);
  EXPECT_TRUE(program->leaving().report.settingsStored);
  EXPECT_EQ(PlayerRecord::Decode(Record(FileBytes(players), kSettingsRecord)).LastPlayer(), 3);
  EXPECT_EQ(Leftovers(), QStringList());
}

// Only a running copy's lock is "already running": a data folder that
// cannot be written is named with the system's reason, and so is a first
// start that cannot put its files in place.
TEST(StartUpFolders, AFolderThatCannotBeWrittenIsNamedWithTheReason) {
  const QString notADirectory = QString::fromLocal8Bit(std::strerror(ENOTDIR));
  {
    TempHome home;
    ASSERT_TRUE(QDir().mkpath(home.DataHome() + "/Brackwell"));
    QFile blocker(home.DataHome() + "/Brackwell/Marrowdale");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Preflight p = PrepareStart(QString(MARROWDALE_SOURCE_DIR) + "/");
    EXPECT_EQ(p.result, Preflight::Result::LockFailed);
    const QString text = PreflightText(p);
    EXPECT_TRUE(text.contains(home.DataHome() + "/Brackwell/Marrowdale/Data")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(notADirectory)) << text.toStdString();
    EXPECT_FALSE(text.contains(kAlreadyRunningText));
  }
  {
    TempHome home;
    ASSERT_TRUE(QDir().mkpath(home.DataHome() + "/Brackwell/Marrowdale"));
    QFile blocker(home.DataHome() + "/Brackwell/Marrowdale/User");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Preflight p = PrepareStart(QString(MARROWDALE_SOURCE_DIR) + "/");
    EXPECT_EQ(p.result, Preflight::Result::SeedFailed);
    const QString text = PreflightText(p);
    EXPECT_TRUE(text.contains(home.DataHome() + "/Brackwell/Marrowdale/User: " + notADirectory)) << text.toStdString();
  }
}

// The game's sounds are written out at every start; one past the user's
// file-size limit is named with the system's reason, and the game lives on.
TEST(StartUpFolders, ASoundPastTheFileSizeLimitIsNamedWithTheSystemsReason) {
  QTemporaryDir dir;
  const QString data = dir.path() + "/";
  const int status = testing_support::InChildUnderFileSizeLimit(40 * 1024, [&] {
    const media::FileProblem problem = media::SetUpSounds(data);
    return !problem.ok() && problem.Text().endsWith(".tmp: File too large") ? 0 : 2;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // What could not be written whole is not left cut short.
  EXPECT_FALSE(QFile::exists(data + media::SoundResourceFile(122)));
}

TEST(StartUpRules, DeveloperSwitchAndScreenWarning) {
  EXPECT_TRUE(DeveloperViewSwitch("/kovra"));
  EXPECT_TRUE(DeveloperViewSwitch("/KoVrAextra"));
  EXPECT_FALSE(DeveloperViewSwitch("/KOVR"));
  EXPECT_EQ(ScreenWarning(12000, false), kSmallScreenText);
  EXPECT_EQ(ScreenWarning(12288, true), QString(kSmallScreenText) + kLargeFontsText);
  EXPECT_EQ(ScreenWarning(15360, false), QString());
}

}  // namespace
}  // namespace play
