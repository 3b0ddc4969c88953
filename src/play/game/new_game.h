#pragma once
// Starting a game: the table is cleared, the two decks are shuffled, taken
// from the next numbered sample game or, online, from the host, dealt out,
// and the side that goes first begins. Also the Deal button's click.

#include <QString>
#include <cstdint>

#include "platform/built_later.h"
#include "play/game/saved_games.h"
#include "play/state/net_state.h"
#include "table/deal.h"

namespace platform {
class SettingsStore;
}

namespace table {
class BusyGuard;
}

namespace play {

struct SampleGames {
  bool SampleGameMode = false;        // the next deal is the next numbered sample game; cleared by every deal
  std::int16_t SampleGameNumber = 0;  // the sample game on the table, 0 for a shuffled game
  bool SampleDealReversed = false;    // the sample game is dealt with the sides' decks swapped
};

// Where the number of the last sample game dealt is kept.
inline constexpr char kSampleSettingKey[] = "Tip Number";
inline constexpr int kFirstSampleGame = 1;
inline constexpr int kLastSampleGame = 10;

inline constexpr char kChooseSampleGamePrompt[] = "Choose Sample Game";
inline constexpr char kChooseSampleGameTitle[] = "Sample Game";
inline constexpr char kAllSampleGamesPlayedText[] =
    "How are you doing so far? You've played 10 different games.\r\n\r\n"
    "Out of the 10 sample games, at least 5 of them are winnable if you play your cards right!\r\n\r\n"
    "Don't forget to read the User's Manual for helpful information about improving your game. "
    "The sample games now begin again with the first.";
inline constexpr char kSampleReversedText[] = " REVERSED";
inline constexpr char kTutorialDealText[] =
    "\r\n\r\n\r\n\r\nAfter the deal is complete, click the Next button below to continue.";
inline constexpr char kTutorialGameMissingText[] = "The tutorial's game could not be read from the saved-games file.";
// Waits for the online peer's turn and replays it on the table; returns
// when the turn is the local player's again, the game has ended or the peer
// is gone.
class OpponentTurn {
 public:
  virtual ~OpponentTurn() = default;
  virtual void Opponent() = 0;
};

// The online game start; network play implements it. Absent: offline.
class NewGameNetwork : public OpponentTurn {
 public:
  virtual ~NewGameNetwork() = default;
  // NetIsHost is 1.
  virtual bool IsHost() const = 0;
  // Which side decides who moves first, and whether this side shows the
  // coin toss the other side decided.
  virtual table::DealOpening Opening() const = 0;
  // NetResyncBusy: true when the host has just handed the whole table
  // over; the flag is cleared by asking.
  virtual bool TakeResyncBusy() = 0;
  // The host sends both shuffled decks; the remote waits for them and reads
  // them into the Reserve arrays, mirrored.
  // Each answers whether the exchange completed.
  virtual bool HostGameStart() = 0;
  virtual bool RemoteGameStart() = 0;
};

// The tutorial window (frmTip); the tutorial implements it.
class NewGameTutorial {
 public:
  virtual ~NewGameTutorial() = default;
  // Appends to the tip text lblTipText.
  virtual void AppendTipText(const QString& text) = 0;
  // Hides the pointing hand picHand(0).
  virtual void HidePointingHand() = 0;
};

class NewGameHooks {
 public:
  virtual ~NewGameHooks() = default;
  // Plays the computer's whole turn.
  virtual void ComputerTurn() = 0;
  // The top-level command is over: a close requested meanwhile is
  // completed now.
  virtual void FinishTopLevelCommand() = 0;
};

struct NewGameServices {
  table::DealServices deal;  // piles, state, view, sounds, waits, boxes and the deal's hooks
  SavedGameServices& saved;  // the move file and the tutorial's restore
  table::BusyGuard& guard;
  platform::SettingsStore& settings;  // the sample-game counter
  SampleGames& sample;
  const table::RandomSource& random;
  QString AppPath;  // the program's folder, ending in "/"
  const QString& PlayerName;
  const std::int16_t& FirstPlayerRule;
  NewGameHooks& hooks;
  const NetState& net;
  NewGameNetwork* network = nullptr;               // null: offline
  platform::BuiltLater<NewGameTutorial> tutorial;  // none: no tutorial window
  bool* StalemateDeclared = nullptr;               // game over's stalemate flag; null: none kept
};

enum class NewGameResult {
  Started,   // dealt; the human moves, or the game ended in the computer's first turn
  Busy,      // another action is changing the table; nothing was done
  BadDecks,  // the decks could not be dealt; the table is empty and the Deal button back
  Exiting,   // the window is closing; stopped after the first turn
  Stopped,   // the online exchange did not complete; nothing was dealt
};

// The sample game to deal next: the stored counter plus one, at least 1. In
// the developer view the user may choose another; an empty, cancelled or
// non-number answer (or one below 1) keeps the proposed game. Past the last
// sample game the user is told so and the first one comes again.
std::int16_t NextSampleGameNumber(const platform::SettingsStore& settings, platform::UiService& ui,
                                  bool IsDeveloperView);

// Starts a new game (Game menu, Internet menu, tutorial, scores window and
// the Deal button).
NewGameResult NewGame(NewGameServices& s);

// The Deal button: the tutorial's prepared game in the tutorial, else a new
// game. A click while another action changes the table does nothing and
// leaves the button where it is.
void cmdDeal_Click(NewGameServices& s, const RestoreContext& ctx);

}  // namespace play
