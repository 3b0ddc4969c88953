#include "play/player_in_play.h"

#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "play/game/match_panel.h"
#include "play/records/player_record.h"
#include "play/rules/apply_move.h"
#include "play/start_up.h"
#include "play/state/utilities.h"
#include "play/window/frm_play.h"

namespace play {

void FillTableSettings(const PlayerSettings& player, table::TableSettings& table) {
  table.PlayerName = player.PlayerName;
  table.TextFontSize = player.TextFontSize;
  table.AnimSpeed = player.AnimSpeed;
  table.SoundOn = player.SoundOn;
  table.CardSoundSet = player.CardSoundSet;
  table.CardDeck = player.CardDeck;
  table.CardBack = player.CardBack;
  table.FontColor = player.FontColor;
  table.MatColor = player.MatColor;
  table.WoodPlaceHolders = player.WoodPlaceHolders;
  table.FirstPlayerRule = player.FirstPlayerRule;
  table.BackgroundFile = vb::TrimRecord(player.Player.BackgroundName);
}

PlayerInPlay::PlayerInPlay(const PlayerInPlayParts& parts)
    : p_(parts),
      deckLibrary_(p_.cardDeckRoot.isEmpty() ? table::CardDeckLibrary::DefaultRoot() : p_.cardDeckRoot),
      deckSource_(deckLibrary_),
      services_{p_.playersFile, p_.folders, p_.state,
                p_.view,        *this,      p_.backgrounds,
                *this,          *this,      p_.tableSettings.LargeFonts} {}

PlayerInPlay::~PlayerInPlay() = default;

// ---- The player's record ----

void PlayerInPlay::WritePlayerRecord() {
  if (!IsPlayerRecordNumber(p_.player.CurrentPlayer)) return;
  if (!p_.playersFile.Write(p_.player.CurrentPlayer, p_.player.Player.Encode()) || !p_.playersFile.Flush())
    p_.ui.MsgBox(PlayerFileResultText(PlayerFileResult::WriteFailed), platform::vbExclamation, platform::kProgramTitle);
}

void PlayerInPlay::SaveCurrentPlayer() {
  const PlayerFileResult result = play::SavePlayer(p_.player, p_.backgrounds, p_.playersFile);
  if (result == PlayerFileResult::WriteFailed)
    p_.ui.MsgBox(PlayerFileResultText(result), platform::vbExclamation, platform::kProgramTitle);
}

bool PlayerInPlay::SavePlayer() {
  return play::SavePlayer(p_.player, p_.backgrounds, p_.playersFile) == PlayerFileResult::Ok;
}

PlayerFileResult PlayerInPlay::ChangePlayer(std::int16_t n) {
  if (!IsPlayerRecordNumber(n)) return PlayerFileResult::NoSuchPlayer;
  const std::int16_t previous = p_.player.CurrentPlayer;
  p_.player.CurrentPlayer = n;
  const PlayerFileResult result = LoadPlayer(n, p_.player, services_);
  if (result != PlayerFileResult::Ok) {
    p_.player.CurrentPlayer = previous;
    if (IsPlayerRecordNumber(previous)) LoadPlayer(previous, p_.player, services_);
    p_.ui.MsgBox(PlayerFileResultText(result), platform::vbExclamation, platform::kProgramTitle);
    return result;
  }
  // The choice survives whatever ends this run; the window's placement in
  // the settings record stays as it is.
  SaveSettingsRecord(p_.playersFile, n, WindowShown::Minimized, {});
  return result;
}

// ---- The player's settings on the table ----

void PlayerInPlay::ApplySettings(const PlayerSettings& settings) {
  FillTableSettings(settings, p_.tableSettings);
  p_.moves.ThinkDelay = settings.ThinkDelay;
  // The mat colour shows wherever no background picture is painted.
  p_.view.SetFormBackColor(p_.tableSettings.MatColor);
  p_.view.SetLabelColors();
}

void PlayerInPlay::ShowSettings() {
  const std::uint32_t matBefore = p_.tableSettings.MatColor;
  ApplySettings(p_.player);
  // The mat colour is painted into the table's picture: a new one shows
  // once the background is painted again.
  if (p_.tableSettings.MatColor != matBefore && p_.backgrounds.Listed()) p_.backgrounds.ShowBackground();
}

void PlayerInPlay::SoundChosen(bool SoundOn, std::int16_t CardSoundSet) {
  p_.player.SoundOn = SoundOn;
  p_.player.CardSoundSet = CardSoundSet;
  ApplySettings(p_.player);
  SaveCurrentPlayer();
}

void PlayerInPlay::FirstPlayerChosen(std::int16_t FirstPlayerRule) {
  p_.player.FirstPlayerRule = FirstPlayerRule;
  ApplySettings(p_.player);
}

void PlayerInPlay::SetEmptyPilePictures() { p_.view.SetEmptyPilePictures(); }
void PlayerInPlay::RefreshEmptyPilePictures() { p_.view.RefreshEmptyPilePictures(); }
void PlayerInPlay::RedrawTable() { p_.view.RedrawTable(); }
void PlayerInPlay::ShowDealButton() { p_.view.SetImageVisible(table::TableImage::cmdDeal, true); }

// ---- The card decks ----

table::FrmPic& PlayerInPlay::Pictures() { return p_.view.frmPic; }
table::CardDeckSource* PlayerInPlay::DeckLibrary() { return deckLibrary_.DecksQuantity() > 0 ? &deckSource_ : nullptr; }
QImage PlayerInPlay::BuiltInFaceSheet() const { return p_.view.frmStdSm.BuiltIn(); }

void PlayerInPlay::GetCardFaces(std::int16_t& deck) {
  table::ClsDLL cls(DeckLibrary(), p_.view.frmStdSm, p_.view.frmPic);
  cls.GetCardFaces(deck);
}

void PlayerInPlay::GetCardBacks(std::int16_t& back) {
  table::ClsDLL cls(DeckLibrary(), p_.view.frmStdSm, p_.view.frmPic);
  std::int16_t preview = 0;
  bool small = false;
  cls.GetCardBacks(back, nullptr, preview, small);
}

// ---- The score record and the opponents file ----

void PlayerInPlay::LoadScoreRec() { play::LoadScoreRec(p_.scores, p_.scoreStore); }
void PlayerInPlay::ResumeMatch() { play::ResumeMatch(p_.scores, p_.view); }

void PlayerInPlay::CloseNetFile() {
  p_.netFile.Close();
  p_.net.NetFileOpen = false;
}

bool PlayerInPlay::OpenNetFile(const QString& path) {
  p_.net.NetFileOpen = p_.netFile.Open(path, kNetScoreRecordLength);
  return p_.net.NetFileOpen;
}

void PlayerInPlay::LoadNetPlayerList() { p_.network->LoadNetPlayerList(); }

}  // namespace play
