#pragma once
// The player record of the players file "players4.sav": records 1..10 are
// players, record 11 the installation's settings record, record 12 the
// template a new player starts from.

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "play/records/score_record.h"
#include "table/backgrounds.h"
#include "table/card_deck.h"

namespace play {

constexpr int kPlayerRecordLength = 176;
inline constexpr char kPlayersFileName[] = "players4.sav";

// Record numbers of the players file.
constexpr int kFirstPlayerRecord = 1;
constexpr int kLastPlayerRecord = 10;
constexpr int kMaxPlayers = kLastPlayerRecord - kFirstPlayerRecord + 1;
constexpr int kSettingsRecord = 11;
constexpr int kTemplateRecord = 12;
constexpr int kPlayersFileRecords = kTemplateRecord;

// Ranges and values of the settings.
constexpr int kNameWidth = 20;
constexpr int kBackgroundNameWidth = table::kMaxBackgroundName;
inline constexpr auto& kNoBackground = table::kBackgroundNone;  // the plain mat colour, no picture
inline constexpr char kDefaultBackground[] = "Cork.gif";        // taken when the stored name is blank
constexpr std::int16_t kDefaultTextFontSize = 0;                // stored 0: DefaultTextSize() below
constexpr std::int16_t kNormalTextSize = 13;                    // the default text size
constexpr std::int16_t kLargeFontsTextSize = 10;                // the default under large fonts
// The text size in force when the player has not chosen one.
constexpr std::int16_t DefaultTextSize(bool LargeFonts) { return LargeFonts ? kLargeFontsTextSize : kNormalTextSize; }
constexpr std::int16_t kFirstStructure = table::kStructureFirst;
constexpr std::int16_t kLastStructure = table::kStructureLast;
constexpr std::int16_t kMinThinkLevel = 1;
constexpr std::int16_t kMaxThinkLevel = 6;
constexpr std::int16_t kMinAnimSpeed = 2;
constexpr std::int16_t kMaxAnimSpeed = 540;
constexpr std::int16_t kCardSoundWood = 0;
constexpr std::int16_t kCardSoundMetallic = 1;
using table::kFirstPlayerCoinToss;
using table::kFirstPlayerHighestCard;
using table::kFirstPlayerLowestCard;
constexpr std::int16_t kNoLastPlayer = 0;
constexpr std::int16_t kWindowStateNormal = 0;
constexpr std::int16_t kWindowStateMaximized = 2;

struct PlayerRecord {
  // Disk offsets.
  static constexpr int kNameOffset = 0;
  static constexpr int kTextFontSizeOffset = 20;
  static constexpr int kBackgroundNameOffset = 22;
  static constexpr int kCurrentStructureOffset = 62;
  static constexpr int kThinkLevelOffset = 64;
  static constexpr int kAnimSpeedOffset = 66;
  static constexpr int kSoundOnOffset = 68;
  static constexpr int kNoIntroMusicOffset = 70;
  static constexpr int kCardSoundSetOffset = 72;
  static constexpr int kCardDeckOffset = 74;
  static constexpr int kCardBackOffset = 76;
  static constexpr int kFontColorOffset = 78;
  static constexpr int kMatColorOffset = 82;
  static constexpr int kReserved86Offset = 86;
  static constexpr int kReserved86Width = 4;
  static constexpr int kWoodPlaceHoldersOffset = 90;
  static constexpr int kReserved92Offset = 92;
  static constexpr int kReserved92Width = 6;
  static constexpr int kFirstPlayerRuleOffset = 98;
  static constexpr int kScoresOffset = 100;
  // Record 11 reuses fields: LastPlayer is the ThinkLevel field, the window
  // placement the five Scores integers MatchGames..OppMatchScore.
  static constexpr int kLastPlayerOffset = kThinkLevelOffset;
  static constexpr int kWindowStateOffset = kScoresOffset + ScoreRec::kMatchGamesOffset;
  static constexpr int kWindowHeightOffset = kScoresOffset + ScoreRec::kMatchWinsOffset;
  static constexpr int kWindowWidthOffset = kScoresOffset + ScoreRec::kOppMatchWinsOffset;
  static constexpr int kWindowTopOffset = kScoresOffset + ScoreRec::kMatchScoreOffset;
  static constexpr int kWindowLeftOffset = kScoresOffset + ScoreRec::kOppMatchScoreOffset;

  // Texts are kept as stored (blank-padded); the game trims them where it
  // uses them. Booleans are kept as the stored -1/0 integers so that a
  // record read and written again gives the same bytes.
  QString Name = NulText(kNameWidth);                          // the player's name; blank: no player
  std::int16_t TextFontSize = 0;                               // points of the table's texts; 0 the default
  QString BackgroundName = NulText(kBackgroundNameWidth);      // background file name, "None", or blank for "Cork.gif"
  std::int16_t CurrentStructure = 0;                           // structure picture 1000..1004
  std::int16_t ThinkLevel = 0;                                 // computer speed level 1..6; LastPlayer in record 11
  std::int16_t AnimSpeed = 0;                                  // card slide divisor 2..540
  std::int16_t SoundOn = 0;                                    // Boolean: game sounds on
  std::int16_t NoIntroMusic = 0;                               // Boolean: no music at start-up
  std::int16_t CardSoundSet = 0;                               // 0 wood, 1 metallic, 2 none
  std::int16_t CardDeck = 0;                                   // 1 the built-in faces, n >= 2 library deck n - 2
  std::int16_t CardBack = 0;                                   // 0 the program's own back, n >= 1 library back n - 1
  std::int32_t FontColor = 0;                                  // label colour, 0x00BBGGRR
  std::int32_t MatColor = 0;                                   // mat colour without a picture, 0x00BBGGRR
  QByteArray Reserved86 = QByteArray(kReserved86Width, '\0');  // carried unchanged
  std::int16_t WoodPlaceHolders = 0;                           // Boolean: wooden (True) or metal empty-pile pictures
  QByteArray Reserved92 = QByteArray(kReserved92Width, '\0');  // carried unchanged
  std::int16_t FirstPlayerRule = 0;                            // 0 lowest Reserve card, 1 highest, 2 coin toss
  ScoreRec Scores;                                             // statistics; window placement in record 11

  // The first kPlayerRecordLength bytes; a shorter input gives the zero
  // record PlayerRecord{}.
  static PlayerRecord Decode(const QByteArray& bytes);
  // Exactly kPlayerRecordLength bytes.
  QByteArray Encode() const;

  // The settings record's own names for the fields it reuses.
  std::int16_t LastPlayer() const { return ThinkLevel; }
  void SetLastPlayer(std::int16_t recordNo) { ThinkLevel = recordNo; }
  std::int16_t WindowState() const { return Scores.MatchGames; }
  std::int16_t WindowHeight() const { return Scores.MatchWins; }
  std::int16_t WindowWidth() const { return Scores.OppMatchWins; }
  std::int16_t WindowTop() const { return Scores.MatchScore; }
  std::int16_t WindowLeft() const { return Scores.OppMatchScore; }
  void SetWindowState(std::int16_t v) { Scores.MatchGames = v; }
  void SetWindowHeight(std::int16_t v) { Scores.MatchWins = v; }
  void SetWindowWidth(std::int16_t v) { Scores.OppMatchWins = v; }
  void SetWindowTop(std::int16_t v) { Scores.MatchScore = v; }
  void SetWindowLeft(std::int16_t v) { Scores.OppMatchScore = v; }

  bool operator==(const PlayerRecord&) const = default;
};

}  // namespace play
