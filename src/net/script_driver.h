#pragma once
// A scripted run of the whole program, for the test that plays an online
// game between two real copies of it. It is inert unless the environment
// variable MARROWDALE_TEST_SCRIPT names a command file.
//
// The driver issues what the menus and buttons issue, one command of the
// file at a time: host or connect, New Game, Deal, the local side's turn
// played by the computer's search through the human's own mouse path, the
// end of the turn, a chat line, a dump of the table, the end of the
// connection, exit. Message boxes are answered from the script or by their
// default button, and every line sent and received is traced to a file.
//
// Commands, one a line ("#" starts a comment):
//   trace FILE              every line sent ("> ") and received ("< "), and notes ("# ")
//   host PORT [ADDRESS]     the Internet menu's connect row, hosting
//   connect ADDRESS PORT    the same, joining
//   wait CONDITION          listening | connected | deal-button | my-turn | offline |
//                           chat TEXT (in the chat window) |
//                           turns-ended N (N by each side, and the turn has passed)
//   newgame | deal | end
//   play [N]                the local side's moves by the computer's search, at most N
//   chat TEXT               the chat window's Send with TEXT typed
//   dump FILE               every pile of the table, written to FILE
//   answer TEXT BUTTON      boxes whose text holds TEXT are answered yes, no, ok or cancel
//   quit                    the connect row again: ends the connection
//   exit                    the Game menu's Exit
// A command ending in " &" may wait as long as it likes: the next ones run
// meanwhile, as a player uses the menus while the program waits for the
// peer. Every other command has returned before the next begins.
//
// The copy needs a player already made: a first start opens the player
// window, which no script answers.

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/ui.h"
#include "play/state/play_state.h"
#include "table/game_state.h"

namespace platform {
class WaitService;
}
namespace play {
class FrmPlay;
class HumanTurn;
class MenuCommands;
class TurnCycle;
struct NetState;
}  // namespace play
namespace table {
struct PileArrays;
}

namespace net {

class Connection;

inline constexpr char kTestScriptVariable[] = "MARROWDALE_TEST_SCRIPT";
// The program's exit code when a script command could not do its work.
constexpr int kScriptFailedExitCode = 3;
constexpr double kScriptWaitSeconds = 45;
// A turn played by the search stops after this many moves.
constexpr int kMaxScriptedMoves = 150;

// The command file named by the environment; empty: no scripted run.
QString TestScriptPath();

// The button a message box's Enter would press.
int DefaultButton(int style);

// Message boxes answered without being shown: by the first rule whose text
// the box holds, else by the box's default button. Input boxes take their
// default text; choosers are cancelled.
class ScriptedUi : public platform::QtUi {
 public:
  int MsgBox(const QString& text, int style, const QString& title) override;
  std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
  std::optional<platform::ChosenFile> GetOpenFileName(const platform::OpenFileRequest&) override {
    return std::nullopt;
  }
  std::optional<unsigned> ChooseColor(unsigned) override { return std::nullopt; }

  void Answer(const QString& fragment, int button) { rules_.push_back({fragment, button}); }
  // Told of every box and its answer.
  void SetNote(std::function<void(const QString&)> note) { note_ = std::move(note); }

 private:
  struct Rule {
    QString fragment;
    int button = 0;
  };
  std::vector<Rule> rules_;
  std::function<void(const QString&)> note_;
};

// What the driver presses and reads of the running program.
struct ScriptedParts {
  platform::WaitService& wait;     // a close asked for during a command waits for its end
  play::PlayState& state;          // the turn; a close asked for meanwhile is noted here
  play::FrmPlay& table;            // the piles' windows, the Deal button, the rule message
  const play::NetState& net;       // the connection as the game sees it
  const table::PileArrays& piles;  // the cards the search plays from
  play::MenuCommands& menus;       // the menus' commands
  play::TurnCycle& turns;          // the Deal button's press
  play::HumanTurn& human;          // the player's own mouse path and Done
};

class ScriptDriver : public QObject {
 public:
  ScriptDriver(const QString& scriptPath, const ScriptedParts& parts, Connection& connection, ScriptedUi& ui);
  // Runs the script from the event loop, from now on.
  void Run();

 private:
  struct Step {
    int lineNo = 0;
    QString command;
    QString rest;  // the text after the command
    bool background = false;
  };

  void Tick();
  void Execute(const Step& step);
  bool Holds(const QString& condition) const;
  void Note(const QString& text);
  void CountTurnEnds(bool sent, const QString& line);
  [[noreturn]] void Fail(const QString& why);

  void PlayBySearch(int maxMoves);
  void EndTurn();
  bool MakeObligedMove();
  QString RuleMessage();
  void PressStock();
  bool Drag(table::PileControl source, int index, table::PileControl target, int targetIndex);
  void Dump(const QString& path);

  ScriptedParts p_;
  Connection& connection_;
  ScriptedUi& ui_;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  int foreground_ = 0;     // commands running that the next one waits for
  bool starting_ = false;  // a command is about to run
  QElapsedTimer clock_;    // since the script began
  QElapsedTimer waiting_;  // since the current wait began
  bool waitStarted_ = false;
  int turnsEndedHere_ = 0;   // turns this side ended, exchange complete
  int turnsEndedThere_ = 0;  // turns the peer ended, replayed here
  bool ownEndPending_ = false;
  bool peerEndPending_ = false;
  bool lastEndOwn_ = false;  // the last turn ended was this side's
  QTimer timer_;
  QFile trace_;
};

}  // namespace net
