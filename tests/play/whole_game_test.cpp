// The whole program, offscreen: the Deal button deals, the computer and a
// scripted local player take turns through the table's own widgets, until
// the game ends; closing, and the executable staying up.
#include "play/game_program.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/embedded_files.h"
#include "media/folders.h"
#include "media/mp3_playback.h"
#include "platform/settings.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "play/program_on_fakes.h"
#include "play/records/player_record.h"
#include "play/rules/rule_checks.h"
#include "play/simulated_game.h"
#include "support/fake_ui.h"
#include "support/missing_sound_server.h"
#include "support/temp_home.h"
#include "support/test_files.h"
#include "table/mouse_events.h"
#include "table/picture_box.h"

namespace play {
namespace {

using table::PileControl;
using testing_support::DoubleClick;
using testing_support::DragTo;
using testing_support::Press;
using testing_support::Release;

constexpr int kTurnCap = 300;  // a game still running then is left as a stalemate
constexpr int kActionsPerTurn = 400;

class WholeGame : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<media::Folders> folders = media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
    ASSERT_TRUE(folders);
    ASSERT_TRUE(media::CopySeedFiles(*folders).ok());
    testing_support::ProgramSetUp setUp;
    setUp.folders = *folders;
    setUp.seed = 20261209;
    program = testing_support::MakeProgram(std::move(setUp), home, joined, &fakeUi);
  }

  const table::PileArrays& P() const { return program->piles(); }
  const play::PlayState& S() const { return program->state(); }
  FrmPlay& W() { return program->frmPlay(); }

  int CardsOnTable() const {
    int n = 0;
    for (int s = 0; s < 2; ++s) n += P().ReserveCount[s] + P().StockCount[s] + P().WasteCount[s];
    for (int i = 1; i <= 8; ++i) n += P().TableauCount[i] + P().CenterCount[i];
    return n;
  }
  void CheckTable(const char* when) {
    const std::string fault = testing_support::independent::TableFault(P());
    if (!fault.empty() && faults.size() < 5) faults.push_back(std::string(when) + ": " + fault);
  }

  table::CardCode Top(PileControl pile, int index) const {
    using testing_support::independent::Top;
    switch (pile) {
      case PileControl::picCenter: return Top(P().Center[index], P().CenterCount[index]);
      case PileControl::picTableau: return Top(P().Tableau[index], P().TableauCount[index]);
      case PileControl::picPlayer:
        return index == 1   ? Top(P().Stock[0], P().StockCount[0])
               : index == 2 ? Top(P().Reserve[0], P().ReserveCount[0])
                            : Top(P().Waste[0], P().WasteCount[0]);
      case PileControl::picOpponent:
        return index == 2 ? Top(P().Reserve[1], P().ReserveCount[1]) : Top(P().Waste[1], P().WasteCount[1]);
      default: return 0;
    }
  }

  bool Legal(PileControl source, int index, PileControl target, int targetIndex) const {
    const table::CardCode card = Top(source, index);
    if (card == 0) return false;
    return CheckDrop(P(), Drop{source, index, card, target, targetIndex, Top(target, targetIndex)}).Legal();
  }

  // One move of the scripted player through the table's widgets, in his
  // order of preference; false when he has none.
  bool PlayOneMove() {
    struct Source {
      PileControl pile;
      int index;
    };
    std::vector<Source> sources{{PileControl::picPlayer, 2}};
    if (S().StockTurned && P().StockCount[0] > 0) sources.push_back({PileControl::picPlayer, 1});
    for (int t = 1; t <= 8; ++t) sources.push_back({PileControl::picTableau, t});

    // To the Center by a double click.
    for (const Source& src : sources) {
      for (int c = 1; c <= 8; ++c) {
        if (!Legal(src.pile, src.index, PileControl::picCenter, c)) continue;
        table::PictureBox* w = W().Pile(src.pile, src.index);
        DoubleClick(w, {10, 10});
        Release(w, {10, 10});
        return true;
      }
    }
    // Elsewhere by a drag: the own cards to the Tableau and onto the
    // opponent's piles, a lone Tableau card onto another pile.
    auto dragged = [&](const Source& src, PileControl target, int t) {
      if (src.pile == PileControl::picTableau && target == PileControl::picTableau &&
          (t == src.index || P().TableauCount[src.index] != 1 || P().TableauCount[t] == 0))
        return false;
      if (!Legal(src.pile, src.index, target, t)) return false;
      DragTo(W().Pile(src.pile, src.index), W().Pile(target, t)->pos());
      return true;
    };
    for (const Source& src : sources) {
      for (int t = 1; t <= 8; ++t)
        if (dragged(src, PileControl::picTableau, t)) return true;
      for (int t = 2; t <= 3; ++t)
        if (dragged(src, PileControl::picOpponent, t)) return true;
    }
    return false;
  }

  // The scripted player's turn; it ends by dropping the Hand card on his
  // Waste, or with the Done button when he holds none.
  void HumanTurn() {
    for (int actions = 0; actions < kActionsPerTurn; ++actions) {
      if (S().GameEnded || S().CurrentTurn != table::Turn::Local) return;
      const int before = CardsOnTable();
      const bool moved = PlayOneMove();
      if (CardsOnTable() != before) faults.push_back("a move changed the number of cards");
      CheckTable("after a move of the player");
      if (moved) {
        ++humanMoves;
        continue;
      }
      if (!S().StockTurned && CanTurnStock(P(), table::Turn::Local).Legal() &&
          (P().StockCount[0] > 0 || P().WasteCount[0] > 0)) {
        const bool recycling = P().StockCount[0] == 0;
        Press(W().picPlayer[1], {10, 10});
        Release(W().picPlayer[1], {10, 10});
        if (recycling ? P().StockCount[0] == 0 : !S().StockTurned)
          faults.push_back(recycling ? "the Waste was not turned over" : "the Stock card was not turned");
        continue;
      }
      ++turnsHandedOver;
      if (S().StockTurned && P().StockCount[0] > 0 && Legal(PileControl::picPlayer, 1, PileControl::picPlayer, 3)) {
        DragTo(W().picPlayer[1], W().picPlayer[3]->pos());
      } else {
        W().cmdDone->click();
      }
      return;
    }
    faults.push_back("the player's turn did not end");
  }

  TempHome home;
  platform::FakeUi* fakeUi = nullptr;
  testing_support::JoinedFakes joined;
  std::unique_ptr<Program> program;
  std::vector<std::string> faults;
  int humanMoves = 0;
  int turnsHandedOver = 0;
  bool closeDeferred = false;
};

TEST_F(WholeGame, TheDealButtonStartsAGameThatIsPlayedToItsEnd) {
  ASSERT_TRUE(program->Start());
  ASSERT_TRUE(W().isVisible());
  ASSERT_TRUE(W().cmdDeal->isVisible());
  EXPECT_EQ(CardsOnTable(), 0);

  W().cmdDeal->click();
  EXPECT_FALSE(W().cmdDeal->isVisible());
  EXPECT_EQ(CardsOnTable(), 104);
  CheckTable("after the deal");
  EXPECT_FALSE(S().ComputerThinking);

  int computerTurnsSeen = 0;
  int lastTurnCount = S().TurnCount;
  while (!S().GameEnded && S().TurnCount < kTurnCap && faults.empty()) {
    ASSERT_EQ(S().CurrentTurn, table::Turn::Local) << "the computer handed the turn back";
    HumanTurn();
    if (S().TurnCount > lastTurnCount) ++computerTurnsSeen;
    lastTurnCount = S().TurnCount;
    EXPECT_FALSE(S().ComputerThinking);
    EXPECT_FALSE(program->guard().IsRunning(table::Activity::ComputerTurn));
    if (!S().GameEnded) {
      EXPECT_EQ(CardsOnTable(), 104);
    }
    CheckTable("after the computer's turn");
  }
  EXPECT_TRUE(faults.empty()) << faults.front();
  EXPECT_GT(humanMoves, 0);
  EXPECT_GT(turnsHandedOver, 2);
  EXPECT_GT(computerTurnsSeen, 2) << "the turn passed to the computer and back";
  if (S().GameEnded) {
    EXPECT_EQ(S().CurrentTurn, table::Turn::None);
    EXPECT_TRUE(W().cmdDeal->isVisible()) << "a finished game offers the next deal";
    // And the next deal starts a fresh game.
    W().cmdDeal->click();
    EXPECT_FALSE(S().GameEnded);
    EXPECT_EQ(CardsOnTable(), 104);
  }
}

TEST_F(WholeGame, TheNextSampleGameIsDealtFromTheStoredCounter) {
  ASSERT_TRUE(program->Start());
  program->sample().SampleGameMode = true;
  W().cmdDeal->click();
  EXPECT_EQ(program->sample().SampleGameNumber, 1);
  EXPECT_EQ(CardsOnTable(), 104);
  platform::IniSettingsStore store(home.ConfigHome());
  EXPECT_EQ(store.GetSetting("Brackwell", "Marrowdale4", "Tip Number", ""), "1");
}

TEST_F(WholeGame, AFirstStartPlaysWithTheTemplateAndStoresNoPlayer) {
  const QString players = program->folders().DataPath + "players4.sav";
  QFile f(players);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray before = f.readAll();
  f.close();

  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 0);
  EXPECT_EQ(program->tableSettings().AnimSpeed, program->player().AnimSpeed);
  W().close();
  EXPECT_FALSE(W().isVisible());
  // No player record is written: records 1 to 10 stay as they were.
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().left(10 * kPlayerRecordLength), before.left(10 * kPlayerRecordLength));
}

TEST_F(WholeGame, TheLastPlayerIsLoadedAndStoredOnClose) {
  // A player in record 3, named as the last one in the settings record.
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(program->folders().DataPath + "players4.sav", kPlayerRecordLength));
    PlayerRecord player = PlayerRecord::Decode(file.Read(kTemplateRecord));
    player.Name = "Dora";
    player.AnimSpeed = 95;
    ASSERT_TRUE(file.Write(3, player.Encode()));
    PlayerRecord settings = PlayerRecord::Decode(file.Read(kSettingsRecord));
    settings.SetLastPlayer(3);
    ASSERT_TRUE(file.Write(kSettingsRecord, settings.Encode()));
  }
  ASSERT_TRUE(program->Start());
  EXPECT_EQ(program->player().CurrentPlayer, 3);
  EXPECT_EQ(program->player().PlayerName, "Dora");
  EXPECT_EQ(program->tableSettings().PlayerName, "Dora");
  EXPECT_EQ(program->tableSettings().AnimSpeed, 95);
  W().close();
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(program->folders().DataPath + "players4.sav", kPlayerRecordLength));
  EXPECT_EQ(vb::TrimRecord(PlayerRecord::Decode(file.Read(3)).Name), "Dora");
}

TEST_F(WholeGame, ACloseDuringTheDealIsCompletedWhenTheDealReturns) {
  ASSERT_TRUE(program->Start());
  program->wait().SetTimeScale(0.01);  // the deal waits, so the close arrives inside it
  QTimer::singleShot(0, &W(), [this] {
    W().close();
    closeDeferred = W().isVisible();
  });
  W().cmdDeal->click();
  EXPECT_TRUE(closeDeferred) << "the window stayed while the deal ran";
  EXPECT_TRUE(program->wait().Exiting());
  EXPECT_FALSE(S().ComputerThinking);
  EXPECT_FALSE(W().isVisible()) << "the Deal button completed the close";
}

TEST_F(WholeGame, TheProgramStaysUpUntilClosed) {
  ASSERT_TRUE(program->Start());
  QEventLoop loop;
  QTimer::singleShot(300, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_TRUE(W().isVisible());
  W().close();
  EXPECT_FALSE(W().isVisible());
}

// The table comes first: the music's decoders are asked for on the music
// player's own thread, when the intro is to play, and a decoder that hangs
// there (as Qt's does while the sound server hangs) holds neither the start
// nor the window.
TEST(StartUpMusic, TheTableIsShownWhileTheDecoderHangs) {
  struct Gate {
    std::mutex mutex;
    std::condition_variable wake;
    bool open = false;
    int asked = 0;
    bool onWindowThread = false;
  };
  auto gate = std::make_shared<Gate>();
  const QThread* windowThread = QThread::currentThread();
  media::SongDecoders decoders;
  decoders.availability = [gate, windowThread] {
    std::unique_lock lock(gate->mutex);
    ++gate->asked;
    gate->onWindowThread = gate->onWindowThread || QThread::currentThread() == windowThread;
    gate->wake.wait_for(lock, std::chrono::seconds(20), [&] { return gate->open; });
    return media::MusicUnavailableCause::None;
  };
  decoders.open = [](const QString&, QString&) -> std::unique_ptr<media::SongDecoder> { return nullptr; };

  TempHome home;
  testing_support::JoinedFakes joined;
  const std::optional<media::Folders> folders = media::SetUpFolders(QString(MARROWDALE_SOURCE_DIR) + "/");
  ASSERT_TRUE(folders);
  ASSERT_TRUE(media::CopySeedFiles(*folders).ok());
  testing_support::ProgramSetUp setUp;
  setUp.folders = *folders;
  setUp.musicPlayer = media::CreateMusicPlayer(std::make_shared<MissingSoundServer>(), decoders);
  std::unique_ptr<Program> program = testing_support::MakeProgram(std::move(setUp), home, joined);
  ASSERT_TRUE(program->Start());
  EXPECT_TRUE(program->frmPlay().isVisible());
  platform::WaitService wait;
  const bool asked = wait.WaitUntil(
      [&] {
        std::lock_guard lock(gate->mutex);
        return gate->asked > 0;
      },
      30);
  {
    std::lock_guard lock(gate->mutex);
    EXPECT_TRUE(asked) << "the intro never asked for a decoder";
    EXPECT_FALSE(gate->onWindowThread) << "a decoder was asked for in the window's thread";
    gate->open = true;
  }
  gate->wake.notify_all();
  program->frmPlay().close();
}

// The real program on a fresh home, offscreen on the screen a file of
// tests/support describes (none: the plugin's own, 800 x 600, where
// start-up warns of the small screen in a box).
class ProgramRun {
 public:
  explicit ProgramRun(const QString& screenFile = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", screenFile.isEmpty()
                                      ? QStringLiteral("offscreen")
                                      : "offscreen:configfile=" + SourceFile("tests/support/" + screenFile));
    env.insert("HOME", home.Path());
    env.insert("XDG_DATA_HOME", home.DataHome());
    env.insert("XDG_CONFIG_HOME", home.ConfigHome());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(MARROWDALE_EXECUTABLE), {});
  }
  ~ProgramRun() {
    if (process.state() == QProcess::NotRunning) return;
    process.kill();
    process.waitForFinished(10000);
  }
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  QString DataPath() const { return home.DataHome() + "/Brackwell/Marrowdale/Data/"; }

  // Start-up has come as far as making this file of the data folder. False
  // when the program ended first or a minute passed.
  bool Reached(const QString& fileName) {
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(DataPath() + fileName)) {
      if (process.state() == QProcess::NotRunning || clock.hasExpired(60000)) return false;
      process.waitForFinished(5);
    }
    return true;
  }

  // A termination signal: the program ends as its close box ends it, with
  // status 0 and no working file left behind.
  void Terminate() {
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(30000)) << "the program stayed up";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(DataPath()).entryList({"*.tmp", kMoveFileName}, QDir::Files), QStringList{});
  }

  TempHome home;
  QProcess process;
};

TEST(Executable, StartsOffscreenAndStaysUp) {
  ASSERT_TRUE(QFile::exists(QStringLiteral(MARROWDALE_EXECUTABLE))) << MARROWDALE_EXECUTABLE;
  ProgramRun run("screen_1024x768.json");
  ASSERT_TRUE(run.process.waitForStarted(10000));
  // The move file is the last start-up makes: the table is shown next.
  ASSERT_TRUE(run.Reached(kMoveFileName)) << run.process.readAllStandardError().toStdString();
  EXPECT_EQ(run.process.state(), QProcess::Running);
  EXPECT_TRUE(QFile::exists(run.DataPath() + kPlayersFileName));
  run.Terminate();
}

TEST(Executable, ATerminationSignalDuringStartUpEndsItUnwritten) {
  // While the program is being built (the players file is copied into a
  // fresh home before), and in the pauses after which the small screen's
  // box would open (the pictures are written out before them).
  for (const char* sign : {kPlayersFileName, media::kPngResourceFiles[1].fileName}) {
    SCOPED_TRACE(sign);
    ProgramRun run;
    ASSERT_TRUE(run.process.waitForStarted(10000));
    ASSERT_TRUE(run.Reached(sign)) << run.process.readAllStandardError().toStdString();
    run.Terminate();
    // No player and no window placement were written.
    const QByteArray players = FileBytes(run.DataPath() + kPlayersFileName);
    EXPECT_FALSE(players.isEmpty());
    EXPECT_EQ(players, FileBytes(SourceFile("Data/seed/players4.sav")));
  }
}

}  // namespace
}  // namespace play
