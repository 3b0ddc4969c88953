#pragma once
// The table variables: the current player's settings as the table reads
// them (filled from the player record when a player is loaded and copied
// back when it is saved), and the desktop facts found at start-up.

#include <QString>
#include <cstdint>

namespace table {

struct TableSettings {
  QString PlayerName;                        // the player in play
  std::int16_t TextFontSize = 13;            // points of the message and turn lines
  std::int16_t AnimSpeed = 70;               // steps of a card slide
  bool SoundOn = true;                       // game sounds
  std::int16_t CardSoundSet = 0;             // 0 wood, 1 metallic, 2 no card sounds
  std::int16_t CardDeck = 1;                 // 1 the built-in faces, n >= 2 library deck n - 2
  std::int16_t CardBack = 0;                 // 0 the program's own back, n >= 1 library back n - 1
  std::uint32_t CardBackColor = 0x00800000;  // 0x00BBGGRR colour of the own back's rim
  std::uint32_t FontColor = 0x00FFFFFF;      // 0x00BBGGRR text colour of the labels
  std::uint32_t MatColor = 0x00306000;       // 0x00BBGGRR table colour without a background
  bool WoodPlaceHolders = true;              // empty piles look like wood (else metal)
  std::int16_t FirstPlayerRule = 0;          // 0 lowest Reserve, 1 highest, 2 coin toss
  QString BackgroundFile = "None";           // the player's background picture, "None" for the mat

  // Found at start-up.
  bool LargeFonts = false;           // the desktop is not at 96 dots per inch
  std::int32_t ScreenWidth = 15360;  // twips
};

constexpr std::int16_t kNoCardSounds = 2;  // CardSoundSet "No card sounds"
// FirstPlayerRule: who goes first.
constexpr std::int16_t kFirstPlayerLowestCard = 0;
constexpr std::int16_t kFirstPlayerHighestCard = 1;
constexpr std::int16_t kFirstPlayerCoinToss = 2;

}  // namespace table
