#include "play/records/players.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "media/folders.h"
#include "platform/recordfile.h"
#include "platform/vb.h"
#include "play/state/utilities.h"
#include "table/game_state.h"
#include "table/table_settings.h"
#include "table/table_view.h"

namespace play {

namespace {

std::int16_t InRangeOr(std::int16_t v, std::int16_t low, std::int16_t high, std::int16_t fallback) {
  return v >= low && v <= high ? v : fallback;
}

// The stored value while the one in force is what it was loaded as, so a
// value only brought into range in memory keeps its bytes; the value in
// force once the user has changed it.
std::int16_t KeepStored(std::int16_t stored, std::int16_t inForce, std::int16_t loadedAs) {
  return inForce == loadedAs ? stored : inForce;
}

QString FileNameOnly(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

// The background entry the table has in force: "None", a listed picture's
// path, or empty when the index names no entry.
QString BackgroundInForce(const PlayerBackgrounds& backgrounds) {
  const int index = backgrounds.BackgroundIndex();
  const int count = backgrounds.BackgroundCount();
  if (index == count + 1) return QString::fromLatin1(kNoBackground);
  if (index >= 1 && index <= count) return backgrounds.BackgroundList(index);
  return {};
}

// A player's name becomes a file name inside the Net folder only when it
// stays there and is an ordinary visible file.
bool IsBareFileName(const QString& name) {
  return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(QChar(0));
}

void OpenPlayersNetFile(const PlayerSettings& settings, const PlayerServices& services) {
  services.net.CloseNetFile();
  // Without the folder there is no file to open; the previous player's
  // file is closed all the same, so his opponents are never scored for
  // this player.
  if (!media::EnsureFolder(services.folders, kNetFolderName)) return;
  const QString path = FindNetFile(services.folders, settings.PlayerName);
  if (path.isEmpty()) return;
  if (services.net.OpenNetFile(path)) services.net.LoadNetPlayerList();
}

}  // namespace

QString PlayerFileResultText(PlayerFileResult result) {
  switch (result) {
    case PlayerFileResult::Ok: return {};
    case PlayerFileResult::NoSuchPlayer: return QStringLiteral("There is no such player in the players file.");
    case PlayerFileResult::ReadFailed: return QStringLiteral("The players file could not be read.");
    case PlayerFileResult::WriteFailed: return QStringLiteral("The players file could not be written.");
  }
  return {};
}

std::int16_t CheckedStructure(std::int16_t stored) {
  return InRangeOr(stored, kFirstStructure, kLastStructure, kFirstStructure);
}

std::int16_t CheckedAnimSpeed(std::int16_t stored) { return std::clamp(stored, kMinAnimSpeed, kMaxAnimSpeed); }

std::int16_t CheckedThinkLevel(std::int16_t stored) { return std::clamp(stored, kMinThinkLevel, kMaxThinkLevel); }

std::int16_t CheckedCardSoundSet(std::int16_t stored) {
  return InRangeOr(stored, kCardSoundWood, table::kNoCardSounds, kCardSoundWood);
}

std::int16_t CheckedFirstPlayerRule(std::int16_t stored) {
  return InRangeOr(stored, kFirstPlayerLowestCard, kFirstPlayerCoinToss, kFirstPlayerLowestCard);
}

std::int16_t TextFontSizeInForce(std::int16_t stored, bool LargeFonts) {
  if (stored > 0) return std::clamp(stored, kMinTextFontSize, kMaxTextFontSize);
  return DefaultTextSize(LargeFonts);
}

bool IsPlayerRecordNumber(int recordNo) { return recordNo >= kFirstPlayerRecord && recordNo <= kLastPlayerRecord; }

PlayerFileResult LoadPlayer(int PlayerNo, PlayerSettings& settings, const PlayerServices& services) {
  if (!IsPlayerRecordNumber(PlayerNo) && PlayerNo != kTemplateRecord) return PlayerFileResult::NoSuchPlayer;
  const QByteArray bytes = services.players.Read(PlayerNo);
  if (bytes.size() < kPlayerRecordLength) return PlayerFileResult::ReadFailed;
  settings.Player = PlayerRecord::Decode(bytes);
  const PlayerRecord& p = settings.Player;

  settings.PlayerName = vb::TrimRecord(p.Name);
  services.view.SetStatusPanel(kStatusPanelPlayerName, settings.PlayerName);

  settings.CardBack = p.CardBack;
  settings.CardDeck = p.CardDeck;
  settings.CardSoundSet = CheckedCardSoundSet(p.CardSoundSet);
  settings.SoundOn = vb::ToBool(p.SoundOn);
  settings.NoIntroMusic = vb::ToBool(p.NoIntroMusic);
  settings.WoodPlaceHolders = vb::ToBool(p.WoodPlaceHolders);

  settings.ThinkDelay = SpeedFactor(CheckedThinkLevel(p.ThinkLevel));

  settings.CurrentStructure = CheckedStructure(p.CurrentStructure);
  settings.AnimSpeed = CheckedAnimSpeed(p.AnimSpeed);
  settings.MatColor = static_cast<std::uint32_t>(p.MatColor);
  settings.FontColor = static_cast<std::uint32_t>(p.FontColor);
  settings.TextFontSize = settings.TextFontSizeAsLoaded = TextFontSizeInForce(p.TextFontSize, services.LargeFonts);

  settings.FirstPlayerRule = CheckedFirstPlayerRule(p.FirstPlayerRule);
  services.table.ApplySettings(settings);

  // The template and records looked at on the way carry no score record
  // of the player in play.
  if (PlayerNo == settings.CurrentPlayer && IsPlayerRecordNumber(PlayerNo)) {
    services.scores.LoadScoreRec();
    services.scores.ResumeMatch();
  }

  QString background = vb::TrimRecord(settings.Player.BackgroundName);
  if (background.isEmpty()) background = kDefaultBackground;
  services.backgrounds.LoadBackgroundList(background);
  // The record keeps the name as stored (a blank, a name the list matched
  // by its end) until the player chooses another background.
  if (background == kNoBackground) {
    services.backgrounds.SetBackgroundIndex(services.backgrounds.BackgroundCount() + 1);
    services.backgrounds.ClearTablePicture();
  } else if (!services.state.StartingUp) {
    services.backgrounds.ShowBackground();
  }
  settings.BackgroundAsLoaded = BackgroundInForce(services.backgrounds);

  services.table.SetEmptyPilePictures();

  std::int16_t deck = settings.CardDeck;
  services.table.GetCardFaces(deck);
  std::int16_t back = settings.CardBack;
  services.table.GetCardBacks(back);
  const bool corrected = deck != settings.CardDeck || back != settings.CardBack;
  settings.CardDeck = settings.CardDeckAsLoaded = deck;
  settings.CardBack = settings.CardBackAsLoaded = back;
  // The table draws with the deck and back in force, not with stored
  // numbers the library does not offer.
  if (corrected) services.table.ApplySettings(settings);

  OpenPlayersNetFile(settings, services);

  services.table.ShowDealButton();
  return PlayerFileResult::Ok;
}

PlayerFileResult SavePlayer(PlayerSettings& settings, PlayerBackgrounds& backgrounds, platform::RecordFile& players) {
  // Only a player's own record takes his settings: without a current
  // player (a first start) the template and the settings record stay as
  // they are.
  if (!IsPlayerRecordNumber(settings.CurrentPlayer)) return PlayerFileResult::NoSuchPlayer;
  PlayerRecord& p = settings.Player;

  p.CardDeck = KeepStored(p.CardDeck, settings.CardDeck, settings.CardDeckAsLoaded);
  p.CardBack = KeepStored(p.CardBack, settings.CardBack, settings.CardBackAsLoaded);
  p.NoIntroMusic = vb::FromBool(settings.NoIntroMusic);
  p.SoundOn = vb::FromBool(settings.SoundOn);
  p.CardSoundSet = KeepStored(p.CardSoundSet, settings.CardSoundSet, CheckedCardSoundSet(p.CardSoundSet));
  p.WoodPlaceHolders = vb::FromBool(settings.WoodPlaceHolders);
  p.AnimSpeed = KeepStored(p.AnimSpeed, settings.AnimSpeed, CheckedAnimSpeed(p.AnimSpeed));

  const QString background = BackgroundInForce(backgrounds);
  if (background != settings.BackgroundAsLoaded) {
    const int index = backgrounds.BackgroundIndex();
    const int count = backgrounds.BackgroundCount();
    if (index == count + 1) {
      p.BackgroundName = kNoBackground;
    } else if (index >= 1 && index <= count) {
      p.BackgroundName = FileNameOnly(backgrounds.BackgroundList(index));
    }
    // Any other index names no entry: the record keeps its background.
  }

  p.TextFontSize = KeepStored(p.TextFontSize, settings.TextFontSize, settings.TextFontSizeAsLoaded);
  p.MatColor = static_cast<std::int32_t>(settings.MatColor);
  p.FontColor = static_cast<std::int32_t>(settings.FontColor);
  p.CurrentStructure = KeepStored(p.CurrentStructure, settings.CurrentStructure, CheckedStructure(p.CurrentStructure));

  settings.CardDeckAsLoaded = settings.CardDeck;
  settings.CardBackAsLoaded = settings.CardBack;
  settings.TextFontSizeAsLoaded = settings.TextFontSize;
  settings.BackgroundAsLoaded = background;
  if (!players.Write(settings.CurrentPlayer, p.Encode()) || !players.Flush()) return PlayerFileResult::WriteFailed;
  return PlayerFileResult::Ok;
}

PlayerFileResult SaveTemplate(const PlayerSettings& settings, platform::RecordFile& players) {
  if (settings.CurrentPlayer != kNoLastPlayer) return PlayerFileResult::NoSuchPlayer;
  if (!players.Write(kTemplateRecord, settings.Player.Encode()) || !players.Flush())
    return PlayerFileResult::WriteFailed;
  return PlayerFileResult::Ok;
}

QString FindNetFile(const media::Folders& folders, const QString& PlayerName) {
  const QString fileName = PlayerName + QString::fromLatin1(kNetFileSuffix);
  if (folders.UserPath.isEmpty() || !IsBareFileName(PlayerName) || !IsBareFileName(fileName)) return {};
  const QDir folder(folders.UserPath + kNetFolderName);
  if (QFileInfo(folder.filePath(fileName)).isFile()) return folder.filePath(fileName);
  const QStringList entries = folder.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
  for (const QString& entry : entries)
    if (entry.compare(fileName, Qt::CaseInsensitive) == 0) return folder.filePath(entry);
  return {};
}

std::int16_t LastPlayerOf(const PlayerRecord& settingsRecord) {
  const std::int16_t n = settingsRecord.LastPlayer();
  return IsPlayerRecordNumber(n) ? n : kNoLastPlayer;
}

std::optional<PlayerRecord> ReadSettingsRecord(const platform::RecordFile& players) {
  const QByteArray bytes = players.Read(kSettingsRecord);
  if (bytes.size() < kPlayerRecordLength) return std::nullopt;
  return PlayerRecord::Decode(bytes);
}

void SetWindowPlacement(PlayerRecord& settingsRecord, const WindowPlacement& normal) {
  settingsRecord.SetWindowState(kWindowStateNormal);
  settingsRecord.SetWindowHeight(vb::Clamp16(normal.Height));
  settingsRecord.SetWindowWidth(vb::Clamp16(normal.Width));
  settingsRecord.SetWindowTop(vb::Clamp16(normal.Top));
  settingsRecord.SetWindowLeft(vb::Clamp16(normal.Left));
}

PlayerFileResult SaveSettingsRecord(platform::RecordFile& players, std::int16_t LastPlayer, WindowShown shown,
                                    const WindowPlacement& normal) {
  std::optional<PlayerRecord> record = ReadSettingsRecord(players);
  if (!record) return PlayerFileResult::ReadFailed;
  record->SetLastPlayer(IsPlayerRecordNumber(LastPlayer) ? LastPlayer : kNoLastPlayer);
  switch (shown) {
    case WindowShown::Normal: SetWindowPlacement(*record, normal); break;
    case WindowShown::Maximized: record->SetWindowState(kWindowStateMaximized); break;
    case WindowShown::Minimized: break;
  }
  if (!players.Write(kSettingsRecord, record->Encode()) || !players.Flush()) return PlayerFileResult::WriteFailed;
  return PlayerFileResult::Ok;
}

}  // namespace play
