#pragma once
// The player's opponents file ("Net/<player>.net" in the user's folder):
// one score record per opponent met online, record n the n-th opponent met.
// Listing its opponents, and finding or adding the record of the opponent
// just met, which then becomes the score record in force.

#include <QString>

#include "play/records/score_records.h"
#include "play/state/net_state.h"

namespace media {
struct Folders;
}

namespace net {

// The opponent's picture when none is known, also the player's own before he
// chooses one (in AppPath + "Data/" + kAvatarsFolder).
inline constexpr char kDefaultAvatar[] = "~MD^.jpg";
inline constexpr char kAvatarsFolder[] = "Avatars/";

struct OpponentsFile {
  play::NetState& net;       // NetPlayerCount, NetPlayerNames, NetFileOpen, OpponentName
  play::NetScoreFile& file;  // the file, NetScoreRecNo and the record buffer NetScoreRec
  play::ScoreState& scores;  // the record in force
  play::ScoreStore& store;
  const media::Folders& folders;
  const QString& PlayerName;
};

// Counts the leading records with a name and lists their names; reads the
// current opponent's record back into the buffer.
void LoadNetPlayerList(OpponentsFile& f);

enum class OpponentRecord {
  InFile,    // the opponent's record of the file is in force
  InMemory,  // the file could not be opened or written: a fresh record in memory only
};

// Finds the record of OpponentName (letter case aside) or appends a fresh
// one, creating the file and its folder when the player has none; then
// makes it the record in force. OpponentAvatar: the picture shown for the
// opponent, kept or forgotten as the record says.
OpponentRecord OpenNetPlayerFile(OpponentsFile& f, QString& OpponentAvatar, table::TableView& view);

}  // namespace net
