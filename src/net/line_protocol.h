#pragma once
// The line protocol between two copies of the game: one text line per
// message, a two-letter tag, an optional payload after one blank, ended by a
// line feed. This module builds the lines, cuts the received bytes into
// lines, and parses them strictly: anything a legitimate peer never sends is
// reported as a violation instead of being half understood.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

#include "table/piles.h"

namespace net {

// NetMsgKind values.
constexpr std::int16_t kMsgNone = 0;
constexpr std::int16_t kMsgIP = 1;
constexpr std::int16_t kMsgNM = 2;
constexpr std::int16_t kMsgGS = 3;
constexpr std::int16_t kMsgDK = 4;
constexpr std::int16_t kMsgTR = 5;
constexpr std::int16_t kMsgGO = 6;  // also: the peer was lost
constexpr std::int16_t kMsgPC = 7;
constexpr std::int16_t kMsgWT = 8;
constexpr std::int16_t kMsgOK = 9;
constexpr std::int16_t kMsgNeutral = 10;  // never parsed; matches no kind
constexpr std::int16_t kMsgRC = 12;
constexpr std::int16_t kMsgRS = 13;
constexpr std::int16_t kMsgEG = 15;

inline constexpr char kTagIP[] = "IP";
inline constexpr char kTagNM[] = "NM";
inline constexpr char kTagGS[] = "GS";
inline constexpr char kTagDK[] = "DK";
inline constexpr char kTagTR[] = "TR";
inline constexpr char kTagGO[] = "GO";
inline constexpr char kTagPC[] = "PC";
inline constexpr char kTagWT[] = "WT";
inline constexpr char kTagOK[] = "OK";
inline constexpr char kTagRC[] = "RC";
inline constexpr char kTagRS[] = "RS";
inline constexpr char kTagEG[] = "EG";
inline constexpr char kTagSY[] = "SY";  // a chat line
inline constexpr char kEndStalemate[] = "STALEMATE";
inline constexpr char kEndMatch[] = "ENDMATCH";

// Pile names on the wire.
inline constexpr char kPicPlayer[] = "picPlayer";
inline constexpr char kPicOpponent[] = "picOpponent";
inline constexpr char kPicTableau[] = "picTableau";
inline constexpr char kPicCenter[] = "picCenter";

// A received line longer than this is not a line of the game.
constexpr int kMaxLineBytes = 16 * 1024;
// More received bytes than this waiting to be handled are a flood, not a game.
constexpr int kMaxQueuedBytes = 1024 * 1024;
// The game time of a handed-over table takes at most this many characters.
constexpr int kGameTimeWidth = 9;
// Peer names are kept to the width of the opponents file's name field.
constexpr int kPeerNameWidth = 20;
// Cards in the DK list, and with the six match values of a match.
constexpr int kDeckFields = table::kSides * table::kDeckSize;
constexpr int kDeckFieldsInMatch = kDeckFields + 6;
// GS: 0 no match, else the match points.
constexpr int kNoMatch = 0;
// TR: 1 the remote moves first, 2 the host.
constexpr int kRemoteFirst = 1;
constexpr int kHostFirst = 2;
// Peers older than this lack the stalemate exchange, the coin notice and
// the mirrored tableau order.
inline constexpr char kCurrentPeerVersion[] = "40";

// " 4. 0. 0": each number with Str's leading blank.
QString NetVersionText(int major, int minor, int revision);

// Outgoing lines. The payload never carries a line break: CR and LF become
// blanks. Line() adds the line feed and gives the bytes on the wire.
QString IpLine(const QString& versionText, int socketIndex);  // host, on accepting
QString IpAnswer(const QString& versionText);                 // remote's answer
QString NmLine(const QString& playerName);
QString GsLine(int matchPoints);      // host: "GS 0", "GS 100"
QString TrLine(int turn);             // host: "TR  2"
QString DkLine(const QString& list);  // host: "DK #..."
QString PcLine(const QString& fromPile, int fromIndex, const QString& toPile, int toIndex);
QString RcLine(const QString& list);
QString EgLine(const QString& word);                  // "EG", "EG STALEMATE"
QString ChatLine(int sequence, const QString& text);  // "SY  7#text"
QByteArray Line(const QString& text);

// Appends Str(value) & "#" to a number list (DK, RC).
void AppendNetNumber(QString& list, int value);
// Moves pos to the next "#" after it in data and returns the number behind
// that "#" (0 when there is none).
std::int16_t NextNetNumber(const QString& data, std::int16_t& pos);

// The name a peer gave, made safe to show and store: control characters
// removed, trimmed, cut to 20. Empty when nothing is left.
QString CleanPeerName(const QString& name);

// The peer's version digits from a received IP line ("40").
QString PeerVersionDigits(const QString& line);

// Tableau numbers: Out translates an own pile into the peer's numbering, In
// a received one into the own (older peers only).
// Index 0 is unused.
struct TabOrder {
  std::array<std::int16_t, table::kSharedPiles + 1> Out{};
  std::array<std::int16_t, table::kSharedPiles + 1> In{};
};
void GetTabOrder(const QString& peerVersion, bool host, TabOrder& order);

// One received line, parsed.
struct NetMessage {
  std::int16_t kind = kMsgNone;  // kMsgNone: a tag this program does not know, ignored
  bool violation = false;        // a line no legitimate peer sends
  bool chat = false;             // an "SY" line, for the chat
  QString text;                  // NM name, DK and RC lists, EG word
  bool hasValue = false;
  std::int16_t value = 0;  // GS points, TR turn, WT value
  QString version;         // IP: the peer's version digits
  bool hasMove = false;    // PC carrying a move
  QString fromPile, toPile;
  std::int16_t fromIndex = 0, toIndex = 0;
};

// Parses one line (without its line feed) as received by the host or the
// remote; each side expects the other's half of every exchange.
NetMessage ParseNetLine(const QString& line, bool host);

// The received bytes of one socket cut into lines. A line may come in
// pieces and several may come at once; each complete line is taken off the
// front in order, its line feed (and a CR before it) removed.
class LineSplitter {
 public:
  // False when a line has grown past kMaxLineBytes or more than
  // kMaxQueuedBytes wait: the stream is not the game's, and the splitter
  // keeps nothing more.
  bool Append(const QByteArray& bytes);
  bool HasLine() const { return buffer_.indexOf('\n', head_) >= 0; }
  bool TakeLine(QByteArray& line);
  bool Overflowed() const { return overflowed_; }
  bool Empty() const { return head_ == buffer_.size(); }
  // The bytes not yet taken as lines.
  qsizetype Waiting() const { return buffer_.size() - head_; }
  void Clear() {
    buffer_.clear();
    head_ = 0;
    overflowed_ = false;
  }

 private:
  QByteArray buffer_;
  qsizetype head_ = 0;  // lines before it have been taken
  bool overflowed_ = false;
};

}  // namespace net
