#include "net/chat_lines.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "support/temp_home.h"
#include "support/test_files.h"

namespace net {
namespace {

// A user folder with a few sounds and icons, and files just outside it that
// a path in a line would reach.
struct MediaFolders {
  MediaFolders() {
    user = home.Path() + "/User/";
    for (const char* f : {"Sounds/applause.wav", "Sounds/coin_flip.wav", "Sounds/slap.wav", "Sounds/ab.wav",
                          "Icons/smile.gif", "Icons/Wink.gif", "x.wav", "evil.gif"})
      WriteFile(user + f);
    QDir().mkpath(user + "Sounds/dir.wav");
    context.UserPath = user;
    context.DataPath = "/data/";
  }
  QString Relative(const QString& path) const { return path.startsWith(user) ? path.mid(user.size()) : path; }
  TempHome home;
  QString user;
  ChatReceiveContext context;
};

TEST(ChatLines, EachReceivedLineGivesItsLogLabelStatusAndSound) {
  MediaFolders m;
  struct Case {
    const char* line;
    const char* log;
    const char* message;  // nullptr: the label is left alone
    const char* status;
    const char* sound;  // relative to the user folder, or the data folder's
    bool icon;
    const char* iconFile;
    bool slap;
  };
  const Case cases[] = {
      {"SY  3#Ann: hello", "Ann: hello", "hello", nullptr, "/data/~110.tmp", false, "", false},
      {"SY  1#$-MD: Host has restarted this game.", "MD: Host has restarted this game.",
       "Host has restarted this game.", "Host has restarted this game.", "/data/~108.tmp", false, "", false},
      {"SY  2#--: Hal goes first.", "--: Hal goes first.", "Hal goes first.", nullptr, "", false, "", false},
      {"SY  4#Ann: WAV applause.wav", "", "Sound from Ann: applause", nullptr, "Sounds/applause.wav", false, "", false},
      {"SY  4#--: WAV coin_flip", "", nullptr, nullptr, "Sounds/coin_flip.wav", false, "", false},
      {"SY  4#Ann: WAV AB", "", "Sound from Ann: AB", nullptr, "Sounds/ab.wav", false, "", false},
      {"SY  5#Ann: <slap> there", "", "Ann: sent SLAP!", nullptr, "", false, "", true},
      {"SY  5#Ann: <smack>", "", "Ann: sent SLAP!", nullptr, "", false, "", true},
      {"SY  5#Ann: <SLA", "Ann: <SLA", "<SLA", nullptr, "/data/~110.tmp", false, "", false},
      {"SY  6#Ann: ICO smile.gif!hi", "Ann: PIC <smile> hi", "\r\n\r\nhi", nullptr, "/data/~110.tmp", true,
       "Icons/smile.gif", false},
      {"SY  6#Ann: ICO frown.gif!hi", "Ann: PIC <frown.gif Picture not found!> hi", "\r\n\r\nhi", nullptr,
       "/data/~110.tmp", true, "", false},
      // No "!": an empty icon name, the whole body kept.
      {"SY  6#Ann: ICO smile.gif", "Ann: PIC < Picture not found!> ICO smile.gif", "\r\n\r\nICO smile.gif", nullptr,
       "/data/~110.tmp", true, "", false},
      {"SY  7#Ann: kovra whatever", "", nullptr, nullptr, "", false, "", false},
      {"SY  8#Bob Quit!^", "Bob Quit!", "Bob Quit!", nullptr, "/data/~110.tmp", false, "", false},
      // A typed line ending so is plain text.
      {"SY  8#Ann: I Quit!^", "Ann: I Quit!^", "I Quit!^", nullptr, "/data/~110.tmp", false, "", false},
      // Peer-named files never leave their folder.
      {"SY  9#Ann: WAV ../../x.wav", "", "Sound from Ann: ../../x", nullptr, "", false, "", false},
      {"SY  9#Ann: WAV ../x", "", "Sound from Ann: ../x", nullptr, "", false, "", false},
      {"SY  9#Ann: WAV *.wav", "", "Sound from Ann: *", nullptr, "", false, "", false},
      {"SY  9#Ann: WAV dir.wav", "", "Sound from Ann: dir", nullptr, "", false, "", false},
      {"SY  9#Ann: ICO *!x", "Ann: PIC <* Picture not found!> x", "\r\n\r\nx", nullptr, "/data/~110.tmp", true, "",
       false},
      {"SY  9#Ann: ICO ../evil.gif!x", "Ann: PIC <../evil.gif Picture not found!> x", "\r\n\r\nx", nullptr,
       "/data/~110.tmp", true, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ChatReceipt r = ReadChatLine(c.line, m.context);
    EXPECT_TRUE(r.chat);
    EXPECT_EQ(r.log, c.log);
    EXPECT_EQ(r.message, c.message ? std::optional<QString>(c.message) : std::nullopt);
    EXPECT_EQ(r.status, c.status ? std::optional<QString>(c.status) : std::nullopt);
    EXPECT_EQ(m.Relative(r.sound), c.sound);
    EXPECT_EQ(r.iconShown, c.icon);
    EXPECT_EQ(m.Relative(r.iconFile), c.iconFile);
    EXPECT_EQ(r.slap, c.slap);
    EXPECT_FALSE(r.busyRefused);
    EXPECT_TRUE(r.link.isEmpty());
  }
  // An absolute path and an overlong name resolve to nothing, even where
  // the file is there.
  EXPECT_EQ(ResolveSound(m.user, m.user + "x.wav"), "");
  EXPECT_EQ(ResolveSound(m.user, QString(300, 'a')), "");
  EXPECT_EQ(ResolveIcon(m.user, "SMILE.GIF"), m.user + "Icons/smile.gif");
  EXPECT_EQ(ReadChatLine("SY no separator", m.context).chat, false);
}

TEST(ChatLines, QuitLinksAndTheBusyRefusalDependOnTheSide) {
  MediaFolders m;
  m.context.remote = true;
  const ChatReceipt hostEnded = ReadChatLine("SY  8#Bob Quit!^", m.context);
  EXPECT_TRUE(hostEnded.remoteQuit);
  EXPECT_EQ(hostEnded.log, "Bob ended the game.") << "the host ended it; nobody quit";
  EXPECT_FALSE(hostEnded.message) << "the end itself tells the table";
  EXPECT_FALSE(ReadChatLine("SY  8#Bob: Quit!^", m.context).remoteQuit);
  const ChatReceipt link = ReadChatLine("SY  3#Ann: https://example.org/page", m.context);
  EXPECT_EQ(link.link, "https://example.org/page");
  EXPECT_EQ(link.log, "Ann: https://example.org/page");
  EXPECT_TRUE(link.sound.isEmpty());
  EXPECT_EQ(ReadChatLine("SY  3#Ann: HTTPX:evil", m.context).link, "");
  EXPECT_EQ(ReadChatLine("SY  3#Ann: http:/x", m.context).link, "");

  const QString busy = "SY  1#MD: So you want to play with us? Sorry I'm busy!";
  EXPECT_FALSE(ReadChatLine(busy, m.context).busyRefused);  // the host's IP line came, and a game is on
  m.context.joining = true;                                 // greeted, no game yet: the host took another caller
  EXPECT_TRUE(ReadChatLine(busy, m.context).busyRefused);
  EXPECT_FALSE(ReadChatLine("SY  1#Hal: MD: So you want to play with us? Sorry I'm busy!", m.context).busyRefused);
  m.context.joining = false;
  m.context.peerVersionEmpty = true;
  EXPECT_TRUE(ReadChatLine(busy, m.context).busyRefused);
  m.context.remote = false;
  EXPECT_FALSE(ReadChatLine(busy, m.context).busyRefused);
  EXPECT_FALSE(ReadChatLine("SY  8#Bob Quit!^", m.context).remoteQuit);
}

TEST(ChatLines, SendBuildsTheBodyAndTheEcho) {
  MediaFolders m;
  const auto find = [&m](const QString& name) -> std::optional<ChosenIcon> {
    if (ResolveIcon(m.user, name + ".gif").isEmpty()) return std::nullopt;
    return ChosenIcon{name + ".gif", name};
  };
  struct Case {
    const char* input;
    bool send;
    const char* body;
    const char* log;
    const char* sound;
    bool slap;
  };
  const Case cases[] = {
      {"  hello ", true, "hello", "Ann: hello", "", false},
      {"   ", false, "", "", "", false},
      {"<SLAP>", true, "<SMACK>", "Sent: You slapped your opponent! ", "", false},
      {"<slap> you", true, "<slap> you", "Sent: You slapped your opponent! ", "", false},
      {"<SMACK>", true, "<SMACK>", "Sent: Smack Slap! (Ouch!) ", "", true},
      {"WAV applause", true, "WAV applause.wav", "Sent: WAV applause", "Sounds/applause.wav", false},
      {"wav Applause.WAV ", true, "WAV Applause.WAV", "Sent: WAV Applause.WAV", "Sounds/applause.wav", false},
      {"WAV ", false, "", "", "", false},
      {"WAV ../x", true, "WAV ../x.wav", "Sent: WAV ../x", "", false},
      {"hi ;-)", true, "ICO Wink.gif!hi ", "Ann: PIC <Wink> hi ;-)", "", false},
      {"so :-( sad", true, "so  sad", "Ann: so :-( sad", "", false},  // no Sad icon: nothing chosen
      {"a >:O b", true, "a  b", "Ann: a >:O b", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    const ChatSend s = ComposeChatSend(c.input, std::nullopt, "Ann", m.user, find);
    EXPECT_EQ(s.send, c.send);
    if (!c.send) continue;
    EXPECT_EQ(s.body, c.body);
    EXPECT_EQ(s.log, c.log);
    EXPECT_EQ(m.Relative(s.sound), c.sound);
    EXPECT_EQ(s.slap, c.slap);
  }
  const ChatSend iconOnly = ComposeChatSend("", ChosenIcon{"smile.gif", "smile"}, "Ann", m.user, find);
  EXPECT_EQ(iconOnly.body, "ICO smile.gif!");
  EXPECT_EQ(iconOnly.log, "Ann: PIC <smile>");
}

TEST(ChatLines, APeersSoundsAndSlapsPlayAtMostAFewInAnySecond) {
  EffectBudget budget;
  for (qint64 t : {0, 10, 20, 30}) EXPECT_TRUE(budget.Take(t)) << t;
  EXPECT_FALSE(budget.Take(40));
  EXPECT_FALSE(budget.Take(999));
  EXPECT_TRUE(budget.Take(1000));  // the first has left the span
  EXPECT_FALSE(budget.Take(1009));
  EXPECT_TRUE(budget.Take(1010));
  MediaFolders m;
  EXPECT_TRUE(ReadChatLine("SY  5#Ann: <smack>", m.context).effect);
  EXPECT_TRUE(ReadChatLine("SY  4#--: WAV coin_flip", m.context).effect);
  EXPECT_FALSE(ReadChatLine("SY  3#Ann: hello", m.context).effect);
}

TEST(ChatLines, TheLogKeepsItsEndPastTheLimit) {
  const QString full(kChatLogLimit, 'a');
  EXPECT_EQ(TrimChatLog(full), full);
  const QString over = full + 'z';
  EXPECT_EQ(TrimChatLog(over), over.right(kChatLogKeep));
}

}  // namespace
}  // namespace net
