#include "play/records/players.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <string>
#include <vector>

#include "media/folders.h"
#include "platform/recordfile.h"
#include "platform/vb.h"
#include "play/state/utilities.h"
#include "support/temp_home.h"
#include "table/card_deck.h"
#include "table/fake_table_view.h"
#include "table/game_state.h"
#include "table/table_settings.h"

namespace play {
namespace {

// The table window as loading a player sees it: a background list of full
// paths, and a card-deck library offering `decks` decks and backs.
class FakePlayerTable : public PlayerTable, public PlayerBackgrounds {
 public:
  void ApplySettings(const PlayerSettings& s) override {
    log.push_back("ApplySettings");
    applied = s;
  }
  void LoadBackgroundList(QString& name) override {
    log.push_back("LoadBackgroundList");
    listedName = name;
    for (int i = 0; i < int(list.size()); ++i) {
      if (list[i].endsWith(name)) {
        index = i + 1;
        return;
      }
    }
  }
  int BackgroundCount() const override { return int(list.size()); }
  int BackgroundIndex() const override { return index; }
  void SetBackgroundIndex(int i) override { index = i; }
  QString BackgroundList(int i) const override { return i >= 1 && i <= int(list.size()) ? list[i - 1] : QString(); }
  void ClearTablePicture() override { log.push_back("ClearTablePicture"); }
  void ShowBackground() override { log.push_back("ShowBackground"); }
  void SetEmptyPilePictures() override { log.push_back("SetEmptyPilePictures"); }
  void GetCardFaces(std::int16_t& deck) override {
    log.push_back("GetCardFaces");
    if (deck < table::kBuiltInDeck || deck > table::kBuiltInDeck + decks) deck = table::kBuiltInDeck;
  }
  void GetCardBacks(std::int16_t& back) override {
    log.push_back("GetCardBacks");
    if (back < table::kOwnBack || back > decks) back = table::kOwnBack;
  }
  void ShowDealButton() override { log.push_back("ShowDealButton"); }

  std::vector<QString> list{"/app/Data/Backgrounds/Cork.gif", "/app/Data/Backgrounds/Slate.jpg",
                            "/home/u/User/Backgrounds-4/Beach.bmp"};
  int index = 0;
  int decks = 3;
  QString listedName;
  PlayerSettings applied;
  std::vector<std::string> log;
};

class FakeScores : public PlayerScores {
 public:
  void LoadScoreRec() override { log.push_back("LoadScoreRec"); }
  void ResumeMatch() override { log.push_back("ResumeMatch"); }
  std::vector<std::string> log;
};

class FakeNetFile : public PlayerNetFile {
 public:
  void CloseNetFile() override { log.push_back("Close"); }
  bool OpenNetFile(const QString& path) override {
    log.push_back("Open");
    opened = path;
    return true;
  }
  void LoadNetPlayerList() override { log.push_back("LoadNetPlayerList"); }
  QString opened;
  std::vector<std::string> log;
};

PlayerRecord Alice() {
  PlayerRecord r;
  r.Name = "Alice";
  r.TextFontSize = 11;
  r.BackgroundName = "Slate.jpg";
  r.CurrentStructure = 1002;
  r.ThinkLevel = 4;
  r.AnimSpeed = 120;
  r.SoundOn = vb::True;
  r.NoIntroMusic = vb::True;
  r.CardSoundSet = kCardSoundMetallic;
  r.CardDeck = 3;
  r.CardBack = 2;
  r.FontColor = 0x00112233;
  r.MatColor = 0x00445566;
  r.Reserved86 = QByteArray("\x01\x02\x03\x04", 4);
  r.WoodPlaceHolders = vb::False;
  r.Reserved92 = QByteArray("\x0A\x0B\x0C\x0D\x0E\x0F", 6);
  r.FirstPlayerRule = kFirstPlayerCoinToss;
  r.Scores.SinglePlayed = 12;
  r.Scores.MatchTarget = 200;
  r.Scores.MatchInProgress = 1;
  r.Scores.MatchScore = 90;
  r.Scores.OpponentName = "";
  r.Scores.AvatarFile = "";
  return r;
}

class PlayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = home_.Path() + "/players4.sav";
    ASSERT_TRUE(QFile::copy(SourceFile("Data/seed/players4.sav"), path_));
    QFile::setPermissions(path_, QFile::permissions(path_) | QFileDevice::WriteOwner);
    ASSERT_TRUE(file.Open(path_, kPlayerRecordLength));
    folders.UserPath = home_.Path() + "/User/";
    ASSERT_TRUE(QDir().mkpath(folders.UserPath));
  }

  PlayerServices Services() { return {file, folders, state, view, table, table, scores, net, largeFonts}; }
  void Put(int n, const PlayerRecord& r) { ASSERT_TRUE(file.Write(n, r.Encode())); }
  QByteArray Bytes(int n) const { return file.Read(n); }
  PlayerRecord Get(int n) const { return PlayerRecord::Decode(file.Read(n)); }

  TempHome home_;
  QString path_;
  platform::RecordFile file;
  media::Folders folders;
  play::PlayState state;
  testing_support::FakeTableView view;
  FakePlayerTable table;
  FakeScores scores;
  FakeNetFile net;
  bool largeFonts = false;
  PlayerSettings s;
};

TEST_F(PlayersTest, LoadFillsEveryTableVariableAndSaveWritesTheSameBytes) {
  Put(3, Alice());
  const QByteArray stored = Bytes(3);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);

  EXPECT_EQ(s.Player.Encode(), Alice().Encode());
  EXPECT_EQ(s.PlayerName, "Alice");
  EXPECT_EQ(view.panels[1], "Alice");
  EXPECT_EQ(s.TextFontSize, 11);
  EXPECT_EQ(s.CurrentStructure, 1002);
  EXPECT_EQ(s.AnimSpeed, 120);
  EXPECT_FLOAT_EQ(s.ThinkDelay, SpeedFactor(4));
  EXPECT_TRUE(s.SoundOn);
  EXPECT_TRUE(s.NoIntroMusic);
  EXPECT_EQ(s.CardSoundSet, kCardSoundMetallic);
  EXPECT_EQ(s.CardDeck, 3);
  EXPECT_EQ(s.CardBack, 2);
  EXPECT_EQ(s.FontColor, 0x00112233u);
  EXPECT_EQ(s.MatColor, 0x00445566u);
  EXPECT_FALSE(s.WoodPlaceHolders);
  EXPECT_EQ(s.FirstPlayerRule, kFirstPlayerCoinToss);
  EXPECT_EQ(table.listedName, "Slate.jpg");
  EXPECT_EQ(table.index, 2);
  EXPECT_EQ(table.applied.CurrentStructure, 1002);
  EXPECT_EQ(table.applied.MatColor, 0x00445566u);

  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Bytes(3), stored);
}

TEST_F(PlayersTest, SaveStoresChangedSettingsAndLeavesTheOtherWritersFields) {
  Put(3, Alice());
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);

  s.TextFontSize = 15;
  s.CurrentStructure = 1004;
  s.AnimSpeed = 540;
  s.SoundOn = false;
  s.NoIntroMusic = false;
  s.CardSoundSet = table::kNoCardSounds;
  s.CardDeck = 4;
  s.CardBack = 1;
  s.FontColor = 0x00ABCDEF;
  s.MatColor = 0x00010203;
  s.WoodPlaceHolders = true;
  s.FirstPlayerRule = kFirstPlayerHighestCard;  // stored by its own writer
  s.ThinkDelay = 0.05f;                         // the speed dialog writes ThinkLevel
  s.PlayerName = "Mallory";
  table.index = 3;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);

  const PlayerRecord r = Get(3);
  EXPECT_EQ(r.TextFontSize, 15);
  EXPECT_EQ(vb::TrimRecord(r.BackgroundName), "Beach.bmp");
  EXPECT_EQ(r.CurrentStructure, 1004);
  EXPECT_EQ(r.AnimSpeed, 540);
  EXPECT_EQ(r.SoundOn, vb::False);
  EXPECT_EQ(r.NoIntroMusic, vb::False);
  EXPECT_EQ(r.CardSoundSet, table::kNoCardSounds);
  EXPECT_EQ(r.CardDeck, 4);
  EXPECT_EQ(r.CardBack, 1);
  EXPECT_EQ(r.FontColor, 0x00ABCDEF);
  EXPECT_EQ(r.MatColor, 0x00010203);
  EXPECT_EQ(r.WoodPlaceHolders, vb::True);
  const PlayerRecord a = Alice();
  EXPECT_EQ(r.Name.trimmed(), "Alice");
  EXPECT_EQ(r.ThinkLevel, a.ThinkLevel);
  EXPECT_EQ(r.FirstPlayerRule, a.FirstPlayerRule);
  EXPECT_EQ(r.Scores.Encode(), a.Scores.Encode());
  EXPECT_EQ(r.Reserved86, a.Reserved86);
  EXPECT_EQ(r.Reserved92, a.Reserved92);

  // Loading the saved record gives back what was saved.
  PlayerSettings again;
  again.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, again, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(again.CurrentStructure, 1004);
  EXPECT_EQ(again.CardDeck, 4);
  EXPECT_EQ(again.CardSoundSet, table::kNoCardSounds);
  EXPECT_EQ(table.listedName, "Beach.bmp");
}

TEST_F(PlayersTest, OutOfRangeValuesLoadSafelyAndKeepTheirStoredBytes) {
  PlayerRecord r = Alice();
  r.CurrentStructure = 1005;
  r.AnimSpeed = 0;
  r.ThinkLevel = 9;
  r.FirstPlayerRule = 5;
  r.CardSoundSet = -4;
  r.CardDeck = 40;  // the library offers three decks
  r.CardBack = 40;  // and three backs
  r.TextFontSize = 300;
  Put(3, r);
  const QByteArray stored = Bytes(3);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);

  EXPECT_EQ(s.CurrentStructure, kFirstStructure);
  EXPECT_EQ(s.AnimSpeed, kMinAnimSpeed);
  EXPECT_FLOAT_EQ(s.ThinkDelay, SpeedFactor(kMaxThinkLevel));
  EXPECT_EQ(s.FirstPlayerRule, kFirstPlayerLowestCard);
  EXPECT_EQ(s.CardSoundSet, kCardSoundWood);
  EXPECT_EQ(s.CardDeck, table::kBuiltInDeck);
  EXPECT_EQ(s.CardBack, table::kOwnBack);
  EXPECT_EQ(s.TextFontSize, kMaxTextFontSize);
  // The table draws what is in force: its own back, over its back colour,
  // and messages at a size the labels hold.
  EXPECT_EQ(table.applied.AnimSpeed, kMinAnimSpeed);
  EXPECT_EQ(table.applied.CardBack, table::kOwnBack);
  EXPECT_EQ(table.applied.TextFontSize, kMaxTextFontSize);

  // Unchanged settings keep what was stored, so a deck missing today comes
  // back once it is installed.
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Bytes(3), stored);

  // A setting the user changes is stored as changed.
  s.CurrentStructure = 1001;
  s.CardDeck = 2;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Get(3).CurrentStructure, 1001);
  EXPECT_EQ(Get(3).CardDeck, 2);
  EXPECT_EQ(Get(3).AnimSpeed, 0);
  // ...and changing it back to the built-in deck is stored too.
  s.CardDeck = table::kBuiltInDeck;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Get(3).CardDeck, table::kBuiltInDeck);
}

TEST(PlayerChecks, TakeTheNearestValidValueAtTheOtherEnd) {
  EXPECT_EQ(CheckedThinkLevel(0), kMinThinkLevel);  // not SpeedFactor(0): no pause at all
  EXPECT_EQ(CheckedAnimSpeed(541), kMaxAnimSpeed);
  EXPECT_EQ(CheckedStructure(999), kFirstStructure);
  EXPECT_EQ(TextFontSizeInForce(-5, false), kNormalTextSize);
}

TEST_F(PlayersTest, TextFullOfNulBytesReadsAsBlank) {
  PlayerRecord r = Alice();
  r.Name = NulText(kNameWidth);
  r.BackgroundName = NulText(kBackgroundNameWidth);
  Put(3, r);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(s.PlayerName, "");
  EXPECT_EQ(view.panels[1], "");
  EXPECT_EQ(table.listedName, QString(kDefaultBackground));
  // A NUL name is no file name: no opponents file is looked for.
  EXPECT_EQ(net.log, (std::vector<std::string>{"Close"}));
}

TEST_F(PlayersTest, DefaultTextSizeStaysInTheFileUntilThePlayerChangesIt) {
  PlayerRecord r = Alice();
  r.TextFontSize = 0;
  Put(3, r);
  s.CurrentPlayer = 3;
  largeFonts = true;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(s.TextFontSize, 10);
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Get(3).TextFontSize, 0);
  s.TextFontSize = 12;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Get(3).TextFontSize, 12);
  // ...and back to what was in force at the start is a change too.
  s.TextFontSize = 10;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Get(3).TextFontSize, 10);
}

TEST_F(PlayersTest, BackgroundChoiceIsLoadedAndSaved) {
  PlayerRecord r = Alice();
  r.BackgroundName = "";
  Put(3, r);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(table.listedName, "Cork.gif");
  EXPECT_EQ(table.log[2], "ShowBackground");
  // Left as it was, the background keeps its stored bytes.
  const QByteArray stored = Bytes(3);
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(Bytes(3), stored);

  // The "None" entry after the last picture.
  table.index = table.BackgroundCount() + 1;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(vb::TrimRecord(Get(3).BackgroundName), "None");

  // An index naming no entry keeps the record's background.
  s.Player.BackgroundName = "Slate.jpg";
  for (int index : {0, -1, table.BackgroundCount() + 2, 30000}) {
    table.index = index;
    ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
    EXPECT_EQ(vb::TrimRecord(Get(3).BackgroundName), "Slate.jpg") << index;
  }
}

TEST_F(PlayersTest, ABackgroundNameTheListMatchesByItsEndIsNotCutWhenLeftAlone) {
  PlayerRecord r = Alice();
  r.BackgroundName = "Backgrounds/Slate.jpg";
  Put(3, r);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  ASSERT_EQ(table.index, 2);
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(vb::TrimRecord(Get(3).BackgroundName), "Backgrounds/Slate.jpg");
  // Another picture chosen is stored by its file name.
  table.index = 3;
  ASSERT_EQ(SavePlayer(s, table, file), PlayerFileResult::Ok);
  EXPECT_EQ(vb::TrimRecord(Get(3).BackgroundName), "Beach.bmp");
}

TEST_F(PlayersTest, NoneClearsThePictureAndStartUpPaintsNothing) {
  PlayerRecord r = Alice();
  r.BackgroundName = "None";
  Put(3, r);
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(table.index, table.BackgroundCount() + 1);
  EXPECT_EQ(table.log[2], "ClearTablePicture");

  Put(3, Alice());
  state.StartingUp = true;
  table.log.clear();
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(table.log, (std::vector<std::string>{"ApplySettings", "LoadBackgroundList", "SetEmptyPilePictures",
                                                 "GetCardFaces", "GetCardBacks", "ShowDealButton"}));
}

TEST_F(PlayersTest, OnlyTheCurrentPlayerLoadsScoresAndResumesTheMatch) {
  Put(3, Alice());
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(scores.log, (std::vector<std::string>{"LoadScoreRec", "ResumeMatch"}));

  scores.log.clear();
  Put(4, Alice());
  ASSERT_EQ(LoadPlayer(4, s, Services()), PlayerFileResult::Ok);
  EXPECT_TRUE(scores.log.empty());
}

TEST_F(PlayersTest, FirstStartLoadsTheTemplateWithoutScores) {
  const PlayerRecord t = Get(kTemplateRecord);
  ASSERT_EQ(LastPlayerOf(Get(kSettingsRecord)), 0);
  ASSERT_EQ(LoadPlayer(kTemplateRecord, s, Services()), PlayerFileResult::Ok);
  EXPECT_TRUE(scores.log.empty());
  EXPECT_EQ(s.PlayerName, "");
  EXPECT_EQ(s.CurrentStructure, t.CurrentStructure);
  EXPECT_EQ(s.AnimSpeed, t.AnimSpeed);
  EXPECT_EQ(s.SoundOn, vb::ToBool(t.SoundOn));
  EXPECT_EQ(s.WoodPlaceHolders, vb::ToBool(t.WoodPlaceHolders));
  EXPECT_FLOAT_EQ(s.ThinkDelay, SpeedFactor(t.ThinkLevel));
  EXPECT_EQ(s.TextFontSize, TextFontSizeInForce(t.TextFontSize, false));
  EXPECT_EQ(table.log.back(), "ShowDealButton");

  // The template keeps the animation speed found for this machine.
  GetCpuMHz(true, {s.AnimSpeed, s.Player.AnimSpeed}, [] { return 2400L; });
  ASSERT_EQ(SaveTemplate(s, file), PlayerFileResult::Ok);
  PlayerRecord expected = t;
  expected.AnimSpeed = table::kDefaultSlideSpeed;
  EXPECT_EQ(Bytes(kTemplateRecord), expected.Encode());
  const QByteArray templateBytes = Bytes(kTemplateRecord);

  // Saving without a current player writes nowhere.
  for (std::int16_t current : {0, 11, 12, -1, 13}) {
    s.CurrentPlayer = current;
    EXPECT_EQ(SavePlayer(s, table, file), PlayerFileResult::NoSuchPlayer);
  }
  s.CurrentPlayer = 3;
  EXPECT_EQ(SaveTemplate(s, file), PlayerFileResult::NoSuchPlayer);
  EXPECT_EQ(Bytes(kTemplateRecord), templateBytes);
  EXPECT_EQ(LastPlayerOf(Get(kSettingsRecord)), 0);
}

TEST_F(PlayersTest, RecordsThatHoldNoPlayerAreNotLoaded) {
  Put(3, Alice());
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  const PlayerRecord before = s.Player;
  for (int n : {0, -1, kSettingsRecord, 13}) EXPECT_EQ(LoadPlayer(n, s, Services()), PlayerFileResult::NoSuchPlayer);
  file.Close();
  EXPECT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::ReadFailed);
  EXPECT_EQ(s.Player, before);
  EXPECT_EQ(s.PlayerName, "Alice");
  EXPECT_EQ(SavePlayer(s, table, file), PlayerFileResult::WriteFailed);
}

TEST_F(PlayersTest, OpponentsFileIsOpenedForThePlayerFoundWithoutRegardToCase) {
  Put(3, Alice());
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_TRUE(QDir(folders.UserPath + "Net").exists());
  EXPECT_EQ(net.log, (std::vector<std::string>{"Close"}));

  QFile f(folders.UserPath + "Net/alice.NET");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  net.log.clear();
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(net.log, (std::vector<std::string>{"Close", "Open", "LoadNetPlayerList"}));
  EXPECT_EQ(net.opened, folders.UserPath + "Net/alice.NET");
}

TEST_F(PlayersTest, NoOpponentsFileOutsideTheNetFolder) {
  QFile outside(folders.UserPath + "x.net");
  ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
  outside.close();
  for (const QString name : {"../x", ".hidden", "", "x"})
    EXPECT_EQ(FindNetFile(folders, name), "") << name.toStdString();

  // A file where the folder should be: the folder cannot be made, and the
  // previous player's file is closed all the same.
  QFile blocker(folders.UserPath + "Net");
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  Put(3, Alice());
  s.CurrentPlayer = 3;
  ASSERT_EQ(LoadPlayer(3, s, Services()), PlayerFileResult::Ok);
  EXPECT_EQ(net.log, (std::vector<std::string>{"Close"}));
}

TEST(SettingsRecord, LastPlayerOutsideThePlayersIsNone) {
  PlayerRecord r;
  for (std::int16_t n : {1, 10}) {
    r.SetLastPlayer(n);
    EXPECT_EQ(LastPlayerOf(r), n);
  }
  for (std::int16_t n : {0, -1, 11, 12, 32767}) {
    r.SetLastPlayer(n);
    EXPECT_EQ(LastPlayerOf(r), 0) << n;
  }
}

TEST_F(PlayersTest, SettingsRecordStoresLastPlayerAndPlacementAndKeepsTheRest) {
  PlayerRecord settings = Get(kSettingsRecord);
  settings.Name = "kept";
  settings.Reserved92 = QByteArray("\x09\x08\x07\x06\x05\x04", 6);
  settings.Scores.SinglePlayed = 321;
  settings.SetWindowHeight(9000);
  settings.SetWindowWidth(12000);
  settings.SetWindowTop(300);
  settings.SetWindowLeft(450);
  Put(kSettingsRecord, settings);

  // A 4K screen gives more twips than the fields hold.
  ASSERT_EQ(SaveSettingsRecord(file, 7, WindowShown::Normal, {32400, 57600, -40000, 45000}), PlayerFileResult::Ok);
  PlayerRecord r = Get(kSettingsRecord);
  EXPECT_EQ(LastPlayerOf(r), 7);
  EXPECT_EQ(r.WindowState(), kWindowStateNormal);
  EXPECT_EQ(r.WindowHeight(), 32400);
  EXPECT_EQ(r.WindowWidth(), 32767);
  EXPECT_EQ(r.WindowTop(), -32768);
  EXPECT_EQ(r.WindowLeft(), 32767);
  PlayerRecord expected = settings;
  expected.SetLastPlayer(7);
  SetWindowPlacement(expected, {32400, 57600, -40000, 45000});
  EXPECT_EQ(r.Encode(), expected.Encode());

  // Maximised: the state only; minimised: no window field.
  ASSERT_EQ(SaveSettingsRecord(file, 2, WindowShown::Maximized, {1, 2, 3, 4}), PlayerFileResult::Ok);
  expected.SetLastPlayer(2);
  expected.SetWindowState(kWindowStateMaximized);
  EXPECT_EQ(Bytes(kSettingsRecord), expected.Encode());
  ASSERT_EQ(SaveSettingsRecord(file, 12, WindowShown::Minimized, {1, 2, 3, 4}), PlayerFileResult::Ok);
  expected.SetLastPlayer(kNoLastPlayer);
  EXPECT_EQ(Bytes(kSettingsRecord), expected.Encode());
  EXPECT_EQ(ReadSettingsRecord(file)->Encode(), expected.Encode());
}

}  // namespace
}  // namespace play
