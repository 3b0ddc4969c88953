#include "net/script_driver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "net/connection.h"
#include "net/frm_chat.h"
#include "net/search_for_local_side.h"
#include "platform/recordfile.h"
#include "platform/winsock.h"
#include "play/game/human_turn.h"
#include "play/rules/rule_checks.h"
#include "play/rules/table_search.h"
#include "play/state/top_level_command.h"
#include "play/turn_cycle.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/picture_box.h"

namespace net {

namespace {

using table::PileControl;

constexpr int kTickMs = 20;

QString OneLine(QString text) {
  text.replace(QLatin1String("\r\n"), QLatin1String(" | "));
  text.replace('\n', QLatin1String(" | "));
  return text;
}

QString MoveText(const SearchMove& m) {
  return play::PileControlName(m.source) + " " + QString::number(m.sourceIndex) + " -> " +
         play::PileControlName(m.target) + " " + QString::number(m.targetIndex) + " card " + QString::number(m.card);
}

QString PileText(const auto& pile, int count) {
  QStringList cards;
  for (int i = 1; i <= count && i < static_cast<int>(pile.size()); ++i) cards << QString::number(pile[i]);
  return QString::number(count) + " :" + (cards.isEmpty() ? QString() : " " + cards.join(' '));
}

}  // namespace

QString TestScriptPath() { return qEnvironmentVariable(kTestScriptVariable); }

int DefaultButton(int style) {
  using namespace platform;
  static const std::vector<std::vector<int>> buttons = {
      {vbOK},        {vbOK, vbCancel},   {vbAbort, vbRetry, vbIgnore}, {vbYes, vbNo, vbCancel},
      {vbYes, vbNo}, {vbRetry, vbCancel}};
  const int kind = style & kButtonsMask;
  const std::vector<int>& row = kind < static_cast<int>(buttons.size()) ? buttons[kind] : buttons[0];
  const int chosen = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
  return row[std::min<std::size_t>(chosen, row.size() - 1)];
}

int ScriptedUi::MsgBox(const QString& text, int style, const QString& title) {
  int answer = DefaultButton(style);
  for (const Rule& rule : rules_) {
    if (text.contains(rule.fragment)) {
      answer = rule.button;
      break;
    }
  }
  if (note_) note_("box \"" + OneLine(title) + "\": " + OneLine(text) + " -> " + QString::number(answer));
  return answer;
}

std::optional<QString> ScriptedUi::InputBox(const QString& prompt, const QString&, const QString& defaultText) {
  if (note_) note_("input box: " + OneLine(prompt) + " -> " + defaultText);
  return defaultText;
}

ScriptDriver::ScriptDriver(const QString& scriptPath, const ScriptedParts& parts, Connection& connection,
                           ScriptedUi& ui)
    : p_(parts), connection_(connection), ui_(ui) {
  QFile file(scriptPath);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) Fail("the script cannot be read: " + scriptPath);
  QTextStream in(&file);
  for (int lineNo = 1; !in.atEnd(); ++lineNo) {
    QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    Step step;
    step.lineNo = lineNo;
    if (line.endsWith(QLatin1String(" &"))) {
      step.background = true;
      line.chop(2);
      line = line.trimmed();
    }
    const qsizetype blank = line.indexOf(' ');
    step.command = blank < 0 ? line : line.left(blank);
    step.rest = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    steps_.push_back(step);
  }
  ui_.SetNote([this](const QString& text) { Note(text); });
  connection_.SetLineTap([this](bool sent, const QString& line) {
    QString text = line;
    while (text.endsWith('\n') || text.endsWith('\r')) text.chop(1);
    CountTurnEnds(sent, text);
    if (!trace_.isOpen()) return;
    trace_.write((sent ? "> " : "< ") + text.toUtf8() + "\n");
    trace_.flush();
  });
  connect(&timer_, &QTimer::timeout, this, &ScriptDriver::Tick);
}

// A turn has ended on both tables once the discard that ends it has been
// answered and its "WT"s exchanged.
void ScriptDriver::CountTurnEnds(bool sent, const QString& line) {
  const bool discard = line.startsWith(QLatin1String("PC ")) && line.endsWith(QLatin1String("#picOpponent#3"));
  if (discard) {
    (sent ? ownEndPending_ : peerEndPending_) = true;
  } else if (line == QLatin1String("WT")) {
    if (!sent && ownEndPending_) {
      ownEndPending_ = false;
      ++turnsEndedHere_;
      lastEndOwn_ = true;
    } else if (sent && peerEndPending_) {
      peerEndPending_ = false;
      ++turnsEndedThere_;
      lastEndOwn_ = false;
    }
  }
}

void ScriptDriver::Run() {
  clock_.start();
  timer_.start(kTickMs);
}

void ScriptDriver::Note(const QString& text) {
  if (!trace_.isOpen()) return;
  trace_.write("# " + text.toUtf8() + " (" + QByteArray::number(clock_.elapsed()) + " ms)\n");
  trace_.flush();
}

void ScriptDriver::Fail(const QString& why) {
  Note("FAILED: " + why);
  std::fprintf(stderr, "script failed: %s\n", qPrintable(why));
  std::fflush(stderr);
  // The run is over: nothing the program would still do on its way out
  // may hide the failure or hang the test.
  std::_Exit(kScriptFailedExitCode);
}

// A command waits until the one before it has returned, unless that one was
// sent to the background.
void ScriptDriver::Tick() {
  if (foreground_ > 0 || starting_ || next_ >= steps_.size()) return;
  const Step step = steps_[next_];
  if (step.command == QLatin1String("wait")) {
    if (!waitStarted_) {
      waitStarted_ = true;
      waiting_.start();
    }
    if (!Holds(step.rest)) {
      if (waiting_.elapsed() > kScriptWaitSeconds * 1000)
        Fail("line " + QString::number(step.lineNo) + ": wait " + step.rest);
      return;
    }
    waitStarted_ = false;
    ++next_;
    Note("waited for " + step.rest);
    return;
  }
  ++next_;
  if (!step.background) ++foreground_;
  starting_ = true;
  // Run from an event of its own: a timer is not run again inside its own
  // handler, so the ticks go on while the command waits.
  QMetaObject::invokeMethod(
      this,
      [this, step] {
        // As the menu bar's commands do, a close asked for while the
        // command runs is completed when it returns.
        play::TopLevelCommand command(p_.wait, p_.state, &p_.table);
        starting_ = false;
        Note(step.command + (step.rest.isEmpty() ? QString() : " " + step.rest) + (step.background ? " &" : ""));
        Execute(step);
        if (!step.background) --foreground_;
        Note("done: " + step.command);
      },
      Qt::QueuedConnection);
}

bool ScriptDriver::Holds(const QString& condition) const {
  const play::NetState& net = p_.net;
  const play::PlayState& st = p_.state;
  if (condition == QLatin1String("listening")) return connection_.Winsock1(0).State() == platform::sckListening;
  if (condition == QLatin1String("connected")) return connection_.HandshakeDone() && net.PeerPresent();
  if (condition == QLatin1String("deal-button")) return net.PeerPresent() && !p_.table.cmdDeal->isHidden();
  if (condition == QLatin1String("my-turn")) return st.CurrentTurn == table::Turn::Local && !st.GameEnded;
  if (condition.startsWith(QLatin1String("turns-ended "))) {
    const int n = condition.mid(12).toInt();
    // ... and the turn has passed: the peer's turn replayed here, or this
    // side's own begun.
    return turnsEndedHere_ >= n && turnsEndedThere_ >= n &&
           st.CurrentTurn == (lastEndOwn_ ? table::Turn::Opponent : table::Turn::Local);
  }
  if (condition == QLatin1String("offline")) return !play::IsOnline(net.NetConnIndex);
  if (condition.startsWith(QLatin1String("chat "))) {
    const FrmChat* chat = connection_.frmChat();
    return chat && chat->Log().contains(condition.mid(5));
  }
  return false;
}

void ScriptDriver::Execute(const Step& step) {
  const QString& c = step.command;
  const QStringList words = step.rest.split(' ', Qt::SkipEmptyParts);
  play::MenuCommands& menus = p_.menus;
  if (c == QLatin1String("trace")) {
    trace_.setFileName(step.rest);
    if (!trace_.open(QIODevice::WriteOnly | QIODevice::Truncate)) Fail("the trace cannot be written: " + step.rest);
  } else if (c == QLatin1String("host") && !words.isEmpty()) {
    const int port = words[0].toInt();
    connection_.SetListenAddress(words.value(1));
    connection_.SetConnectDialog([port] { return ConnectChoice{true, true, QString(), port}; });
    menus.InternetMenu(play::kNetConnect);
  } else if (c == QLatin1String("connect") && words.size() == 2) {
    const QString address = words[0];
    const int port = words[1].toInt();
    connection_.SetConnectDialog([address, port] { return ConnectChoice{true, false, address, port}; });
    menus.InternetMenu(play::kNetConnect);
  } else if (c == QLatin1String("newgame")) {
    menus.InternetMenu(play::kNetNewGame);
  } else if (c == QLatin1String("deal")) {
    p_.turns.cmdDeal_Click();
  } else if (c == QLatin1String("play")) {
    PlayBySearch(words.isEmpty() ? kMaxScriptedMoves : std::clamp(words[0].toInt(), 0, kMaxScriptedMoves));
  } else if (c == QLatin1String("end")) {
    EndTurn();
  } else if (c == QLatin1String("chat")) {
    FrmChat* chat = connection_.frmChat();
    if (!chat) Fail("no chat window to send from");
    chat->Text2->setText(step.rest);
    connection_.Command1_Click();
  } else if (c == QLatin1String("dump")) {
    Dump(step.rest);
  } else if (c == QLatin1String("answer") && words.size() >= 2) {
    static const QStringList names = {"ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
    const qsizetype button = names.indexOf(words.last().toLower());
    if (button < 0) Fail("line " + QString::number(step.lineNo) + ": no such button " + words.last());
    ui_.Answer(step.rest.left(step.rest.lastIndexOf(' ')).trimmed(), static_cast<int>(button) + platform::vbOK);
  } else if (c == QLatin1String("quit")) {
    if (!play::IsOnline(p_.net.NetConnIndex)) Fail("quit while offline");
    menus.InternetMenu(play::kNetConnect);
  } else if (c == QLatin1String("exit")) {
    menus.GameMenu(play::kCmdExit);
  } else {
    Fail("line " + QString::number(step.lineNo) + ": cannot read \"" + step.command + " " + step.rest + "\"");
  }
}

// ---- The local side's turn ----

// Moves until the search has none left for the local side. A card the
// search moves from one Tableau pile to another twice in a turn would go
// back and forth: the turn stops there.
void ScriptDriver::PlayBySearch(int maxMoves) {
  const play::PlayState& st = p_.state;
  const table::PileArrays& p = p_.piles;
  std::vector<table::CardCode> movedOnTableau;
  for (int moves = 0; moves < maxMoves; ++moves) {
    if (st.CurrentTurn != table::Turn::Local || st.GameEnded || !p_.net.PeerPresent()) return;
    std::optional<SearchMove> m = NextSearchMove(p, st);
    const auto tableauToTableau = [](const SearchMove& x) {
      return x.source == PileControl::picTableau && x.target == PileControl::picTableau;
    };
    if (m && tableauToTableau(*m) &&
        std::find(movedOnTableau.begin(), movedOnTableau.end(), m->card) != movedOnTableau.end())
      m.reset();
    const bool handHidden = m && m->source == PileControl::picPlayer && m->sourceIndex == play::kStockPile &&
                            !(st.StockTurned && play::StockTop(p, play::kLocalSide) == m->card);
    // The computer is not held to the rules that oblige a player to make
    // some moves first; when the search is stuck on them, they are made.
    if (!m || (handHidden && !st.StockTurned && !play::CanTurnStock(p, table::Turn::Local).Legal())) {
      if (MakeObligedMove()) continue;
      return;
    }
    const QString what = MoveText(*m);
    if (tableauToTableau(*m)) movedOnTableau.push_back(m->card);
    if (m->source == PileControl::picPlayer && m->sourceIndex == play::kStockPile) {
      // The Hand card is turned up first, as a press on the Stock does; an
      // empty Stock takes the Waste back before.
      for (int press = 0; press < 2 && !(st.StockTurned && play::StockTop(p, play::kLocalSide) == m->card); ++press)
        PressStock();
      if (!(st.StockTurned && play::StockTop(p, play::kLocalSide) == m->card)) {
        Note("the Hand card the search would play is not turned up: " + what);
        return;
      }
    }
    Note("search: " + what);
    if (!Drag(m->source, m->sourceIndex, m->target, m->targetIndex)) {
      Note("refused by the rules: " + what);
      return;
    }
  }
}

// The Hand card onto the own Waste, or the Done button when the Hand is
// empty; the peer's turn is then replayed before this returns.
void ScriptDriver::EndTurn() {
  const play::PlayState& st = p_.state;
  const table::PileArrays& p = p_.piles;
  if (st.CurrentTurn != table::Turn::Local || st.GameEnded) Fail("end of a turn that is not the local player's");
  for (int tries = 0; tries < kMaxScriptedMoves; ++tries) {
    // A move the rules asked for first may have ended the game.
    if (st.CurrentTurn != table::Turn::Local || st.GameEnded) return;
    if (p.StockCount[play::kLocalSide] == 0 && !st.StockTurned) {
      p_.human.cmdDone_Click();
      return;
    }
    if (!st.StockTurned) {
      PressStock();
      if (!st.StockTurned && !MakeObligedMove()) Fail("the Stock could not be turned: " + RuleMessage());
      continue;
    }
    if (Drag(PileControl::picPlayer, play::kStockPile, PileControl::picPlayer, play::kWastePile)) return;
    if (!MakeObligedMove()) Fail("the Hand card was refused on the Waste: " + RuleMessage());
  }
  Fail("the turn could not be ended");
}

// The first of the moves the rules oblige the player to make that they
// accept.
bool ScriptDriver::MakeObligedMove() {
  const table::PileArrays& p = p_.piles;
  for (const SearchMove& m : ObligedMoves(p, p_.state.StockTurned)) {
    Note("obliged: " + MoveText(m));
    if (Drag(m.source, m.sourceIndex, m.target, m.targetIndex)) return true;
  }
  return false;
}

QString ScriptDriver::RuleMessage() { return OneLine(p_.table.Label(table::TableLabel::lblMessage)); }

void ScriptDriver::PressStock() {
  play::HumanTurn& human = p_.human;
  const table::PictureBox* stock = p_.table.Pile(PileControl::picPlayer, play::kStockPile);
  if (!stock) return;
  human.picPlayer_MouseDown(play::kStockPile, Qt::LeftButton, stock->width() / 2, stock->height() / 2);
  human.picPlayer_MouseUp(play::kStockPile);
}

// Pressed on the source pile, moved over the target and let go there, as
// the mouse does; true when the table changed.
bool ScriptDriver::Drag(PileControl source, int index, PileControl target, int targetIndex) {
  play::FrmPlay& table = p_.table;
  const table::PictureBox* from = table.Pile(source, index);
  const table::PictureBox* to = table.Pile(target, targetIndex);
  if (!from || !to) return false;
  const table::PileArrays before = p_.piles;
  const QPoint grab(from->width() / 2, from->height() / 2);
  const QPoint over = grab + (to->pos() - from->pos());
  play::HumanTurn& human = p_.human;
  if (source == PileControl::picPlayer) {
    human.picPlayer_MouseDown(index, Qt::LeftButton, grab.x(), grab.y());
    human.picPlayer_MouseMove(index, over.x(), over.y());
    human.picPlayer_MouseUp(index);
  } else if (source == PileControl::picTableau) {
    human.picTableau_MouseDown(index, Qt::LeftButton, grab.x(), grab.y());
    human.picTableau_MouseMove(index, over.x(), over.y());
    human.picTableau_MouseUp(index);
  } else {
    return false;
  }
  return p_.piles != before;
}

// ---- The table as text ----

void ScriptDriver::Dump(const QString& path) {
  const table::PileArrays& p = p_.piles;
  const play::PlayState& st = p_.state;
  QString text =
      "turn " + QString::number(table::TurnCode(st.CurrentTurn)) + " " + QString::number(st.TurnCount) + "\n";
  for (int side = 0; side < table::kSides; ++side) {
    const QString s = "side " + QString::number(side);
    text += s + " reserve " + QString::number(p.ReserveFaceDown[side]) + " " +
            PileText(p.Reserve[side], p.ReserveCount[side]) + "\n";
    text += s + " stock " + PileText(p.Stock[side], p.StockCount[side]) + "\n";
    text += s + " waste " + PileText(p.Waste[side], p.WasteCount[side]) + "\n";
  }
  for (int i = 1; i <= table::kSharedPiles; ++i)
    text += "tableau " + QString::number(i) + " " + PileText(p.Tableau[i], p.TableauCount[i]) + "\n";
  for (int i = 1; i <= table::kSharedPiles; ++i)
    text += "center " + QString::number(i) + " " + PileText(p.Center[i], p.CenterCount[i]) + "\n";
  if (const QString reason = platform::ReplaceWholeFile(path, text.toUtf8()); !reason.isEmpty())
    Fail("the table cannot be written to " + path + ": " + reason);
}

}  // namespace net
