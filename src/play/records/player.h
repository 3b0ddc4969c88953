#pragma once
// The player in play: the current player's record as stored, and the table
// variables filled from it when the player is loaded and copied back into
// it when the player is saved (players.h).

#include <QString>
#include <cstdint>

#include "play/records/player_record.h"
#include "table/card_deck.h"

namespace play {

struct PlayerSettings {
  PlayerRecord Player;             // the current player's record as stored; borrowed by code that reads other records
  std::int16_t CurrentPlayer = 0;  // record number 1..10 of the player in play, 0 = none

  QString PlayerName;                                     // the player's name without leading and trailing blanks
  float ThinkDelay = 0.0f;                                // seconds between the computer's moves
  std::int16_t TextFontSize = kNormalTextSize;            // points of the table's texts and of the tip window
  std::int16_t CurrentStructure = kFirstStructure;        // structure picture 1000..1004 over the background
  std::int16_t AnimSpeed = 70;                            // card slide divisor 2..540
  bool SoundOn = true;                                    // game sounds on
  bool NoIntroMusic = false;                              // no music at start-up
  std::int16_t CardSoundSet = kCardSoundWood;             // 0 wood, 1 metallic, 2 no card sounds
  std::int16_t CardDeck = table::kBuiltInDeck;            // 1 the built-in faces, n >= 2 library deck n - 2
  std::int16_t CardBack = table::kOwnBack;                // 0 the program's own back, n >= 1 library back n - 1
  std::uint32_t FontColor = 0x00FFFFFF;                   // label colour, 0x00BBGGRR
  std::uint32_t MatColor = 0x00006400;                    // mat colour without a background picture, 0x00BBGGRR
  bool WoodPlaceHolders = true;                           // empty-pile pictures in wood (else metal)
  std::int16_t FirstPlayerRule = kFirstPlayerLowestCard;  // 0 lowest Reserve card, 1 highest, 2 coin toss

  // The deck and back numbers the card-deck library put in force for the
  // stored ones when the player was loaded. While they stay in force the
  // stored numbers are saved back, so a deck missing today is shown again
  // once it is installed.
  std::int16_t CardDeckAsLoaded = table::kBuiltInDeck;
  std::int16_t CardBackAsLoaded = table::kOwnBack;
  // Likewise the text size put in force for the stored one, and the
  // background entry in force ("None", a listed picture, or empty): while
  // they stay, the stored bytes are saved back.
  std::int16_t TextFontSizeAsLoaded = kNormalTextSize;
  QString BackgroundAsLoaded;
};

}  // namespace play
