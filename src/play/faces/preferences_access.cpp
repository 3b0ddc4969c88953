#include "play/faces/preferences_access.h"

namespace play {

namespace {

// The settings the Preferences dialog offers. The others stay the owner's:
// the structure and background keys act on the table at once meanwhile.
void TakePreferences(const PlayerSettings& chosen, PlayerSettings& player) {
  player.CardDeck = chosen.CardDeck;
  player.CardBack = chosen.CardBack;
  player.MatColor = chosen.MatColor;
  player.FontColor = chosen.FontColor;
  player.TextFontSize = chosen.TextFontSize;
  player.CardSoundSet = chosen.CardSoundSet;
  player.SoundOn = chosen.SoundOn;
  player.NoIntroMusic = chosen.NoIntroMusic;
  player.WoodPlaceHolders = chosen.WoodPlaceHolders;
}

}  // namespace

void PreferencesTable::ApplyPreferences(const PreferencesChoice& choice) {
  PlayerSettings& player = SettingsToWrite();
  const std::int16_t deckBefore = player.CardDeck;
  const std::int16_t backBefore = player.CardBack;
  TakePreferences(choice.settings, player);
  if (choice.CardBackColor) SetCardBackColor(*choice.CardBackColor);
  // The player's settings are the truth; the table takes its copy, then
  // the pictures that follow from it.
  ShowSettings();
  if (player.CardDeck != deckBefore) {
    std::int16_t deck = player.CardDeck;
    GetCardFaces(deck);
  }
  if (player.CardBack != backBefore || choice.reloadBacks) {
    std::int16_t back = player.CardBack;
    GetCardBacks(back);
  }
  if (choice.refreshPlaceHolders) RefreshEmptyPilePictures();
  SavePlayer();
  if (choice.redraw) RedrawTable();
}

}  // namespace play
