#pragma once
// Chat lines: what a received "SY" line does, and the line the chat
// window's Send builds from what the player typed. Plain functions over
// text and the user's media folders; the connection applies the results.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <functional>
#include <optional>

namespace net {

constexpr int kChatLogLimit = 4000;  // a longer log keeps only its end
constexpr int kChatLogKeep = 3700;
constexpr int kChatInputLimit = 500;  // characters the input line holds
constexpr int kMediaNameLimit = 64;   // longest file name a peer may name
// The sounds and slaps a peer asks for play at most this many times in any
// span of kEffectSpanMs; the rest are only logged.
constexpr int kEffectsPerSpan = 4;
constexpr qint64 kEffectSpanMs = 1000;

inline constexpr char kChatAlertSound[] = "~110.tmp";  // in DataPath
inline constexpr char kHostNoticeSound[] = "~108.tmp";
inline constexpr char kNoticeSpeaker[] = "--: ";
inline constexpr char kHostSpeaker[] = "MD: ";
inline constexpr char kQuitMarker[] = "Quit!^";
inline constexpr char kHostEndedText[] = " ended the game.";  // the host's quit notice, as the other side logs it
inline constexpr char kSoundsFolder[] = "Sounds";
inline constexpr char kIconsFolder[] = "Icons";
inline constexpr char kSlapSound[] = "slap.wav";
inline constexpr char kPictureNotFound[] = " Picture not found!";
// The host's answer to a caller it does not take, and what the caller's
// player is told of it.
inline constexpr char kBusyChatText[] = "MD: So you want to play with us? Sorry I'm busy!";
inline constexpr char kBusyRefusedTitle[] = "Impossible";
inline constexpr char kBusyRefusedText[] =
    "You cannot join this game now: the host is busy with another caller.\r\nYou may try again later.";
inline constexpr char kLinkTitle[] = "Open Link";

// The file a peer (or the input line) names in the folder: a bare name of at
// most kMediaNameLimit characters (no separators, wildcards, drive colons,
// control characters or leading dot) with one of the extensions (given
// without dot; `added` is appended when the name has none of them), matched
// without regard to case among the folder's regular files. Empty when the
// name is refused or no such file is there.
QString ResolveMediaName(const QString& folder, QString name, const QStringList& extensions,
                         const QString& added = QString());
QString ResolveSound(const QString& UserPath, const QString& name);
QString ResolveIcon(const QString& UserPath, const QString& name);

// The log after an append: over kChatLogLimit characters only its last
// kChatLogKeep remain.
QString TrimChatLog(const QString& log);

struct ChatReceiveContext {
  QString UserPath;  // with its trailing separator
  QString DataPath;
  bool remote = false;            // this side joined a host
  bool peerVersionEmpty = false;  // no IP line has come in yet
  bool joining = false;           // greeted, but no game on the table yet
};

// What one received chat line does.
struct ChatReceipt {
  bool chat = false;  // a well-formed chat line; nothing else is done otherwise
  int sequence = 0;
  QString speaker;
  QString body;
  QString log;                     // appended to the log, line break in front; empty: nothing
  std::optional<QString> message;  // the play window's message label
  std::optional<QString> status;   // the play window's status text, made visible
  QString sound;                   // played from file; empty: none
  bool alert = false;              // the sound is the alert of a shown line
  bool iconShown = false;          // the play window's icon made visible...
  QString iconFile;                // ...with this picture, empty when it was not found
  bool slap = false;               // the slap over the avatar
  bool effect = false;             // a sound or a slap the peer asks for: played within the budget
  QString link;                    // an openable address to offer the player
  bool remoteQuit = false;         // the host quit: the save question follows
  bool busyRefused = false;        // the host is busy: this side gives up
};

ChatReceipt ReadChatLine(const QString& line, const ChatReceiveContext& context);

// Counts the peer's sounds and slaps, so that a flood of them plays only a
// few a second, as the chat alert sounds.
class EffectBudget {
 public:
  // True when one more may play at this time (milliseconds, one clock).
  bool Take(qint64 nowMs);

 private:
  std::array<qint64, kEffectsPerSpan> played_{};  // the last ones' times, oldest at next_
  int next_ = 0;
  int count_ = 0;
};

// A typed emoticon: the text without it and the icon list name it selects
// (empty when the text holds none).
struct ShortCut {
  QString text;
  QString iconName;
};
ShortCut ShortCutCheck(const QString& text);

struct ChosenIcon {
  QString file;      // with extension, in the Icons folder
  QString listName;  // the file name without extension
};

// What Send does with the input line.
struct ChatSend {
  bool send = false;      // false: nothing is sent or shown
  QString body;           // after the speaker
  QString log;            // the local echo, line break in front
  QString sound;          // played here
  bool slap = false;      // the slap shown here
  bool iconUsed = false;  // the chosen icon went with the line
};

// `icon` is the icon chosen in the list; `findIcon` gives the icon list's
// entry of a name, for a typed emoticon.
ChatSend ComposeChatSend(const QString& input, std::optional<ChosenIcon> icon, const QString& PlayerName,
                         const QString& UserPath,
                         const std::function<std::optional<ChosenIcon>(const QString&)>& findIcon);

}  // namespace net
