#include "play/window/menu_commands.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

#include "media/folders.h"
#include "platform/key_translator.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "platform/write_failures.h"
#include "play/records/saved_game_record.h"
#include "play/window/frm_play.h"
#include "table/busy_guard.h"

namespace play {

namespace {

QString Fixed30(const QString& text) {
  return text.left(SavedGameRecord::kDescriptionWidth).leftJustified(SavedGameRecord::kDescriptionWidth, u' ');
}

bool IsBareName(const QString& name) {
  return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') && !name.contains(u'\\') &&
         name != QLatin1String("..");
}

}  // namespace

MenuCommands::MenuCommands(const MenuServices& services, QObject* parent) : QObject(parent), s_(services) {}

MenuCommands::~MenuCommands() = default;

bool MenuCommands::ComputerMoving() const { return s_.saved.state.CurrentTurn == table::Turn::Opponent && !Online(); }

bool MenuCommands::Busy() const { return !s_.saved.guard.MayReplaceTable(); }

void MenuCommands::MenuPanelClick() {
  switch (Menu.MenuNumber) {
    case kMenuGame: GameMenu(Menu.MenuRow); break;
    case kMenuOptions: OptionsMenu(Menu.MenuRow); break;
    case kMenuInternet: InternetMenu(Menu.MenuRow); break;
    case kMenuHelp:
      if (Menu.MenuRow == kHelpWebSite) {
        HelpMenu(kHelpWebSite, s_.frmPlay.frmPic.NetLinkItem);
      } else {
        HelpMenu(Menu.MenuRow, 0);
      }
      break;
    default: break;
  }
}

// ---- Game ----

void MenuCommands::GameMenu(int n) {
  PanelHide();
  PlayState& st = s_.saved.state;
  platform::UiService& ui = s_.saved.ui;
  const bool endsGame = n == kCmdNewGame || n == kCmdMatch || n == kCmdPlayer || n == kCmdRestore ||
                        n == kCmdPreviousTurn || n == kCmdRestart || n == kCmdStalemate;
  if (st.AbortComputerTurn) {
    // The computer's turn ends at its next step; an abort no turn is left
    // to take goes.
    if (ComputerMoving()) return;
    st.AbortComputerTurn = false;
  }
  if (endsGame && !LeftTutorial(n == kCmdNewGame || n == kCmdMatch || n == kCmdPlayer || n == kCmdRestore)) return;
  if (ComputerMoving()) {
    if ((n == kCmdNewGame || n == kCmdMatch || n == kCmdPlayer || n == kCmdRestore) &&
        ui.MsgBox("End this game?", platform::vbYesNo, "Computer is playing") == platform::vbYes) {
      st.AbortComputerTurn = true;
      s_.saved.wait.Wake();
    }
    return;
  }
  if (RemoteSide() && n != kCmdSave && n != kCmdScores) return;
  // While a deal, a turn, game over, a move or a restore runs, nothing
  // that replaces the table or writes the records may start.
  const bool replaces = n == kCmdNewGame || n == kCmdMatch || n == kCmdPlayer || n == kCmdSave || n == kCmdRestore ||
                        n == kCmdPreviousTurn || n == kCmdRestart || n == kCmdStalemate;
  if (replaces && RefusedWhileBusy()) return;

  switch (n) {
    case kCmdNewGame: s_.game.NewGame(); break;
    case kCmdMatch: StartOrEndMatch(); break;
    case kCmdPlayer:
      if (!Online()) s_.windows.dialogs->ShowPlayerWindow();
      break;
    case kCmdSave: Save(); break;
    case kCmdRestore: Restore(); break;
    case kCmdPreviousTurn: PreviousTurn(); break;
    case kCmdRestart: Restart(); break;
    case kCmdStalemate: s_.game.DeclareStalemate(); break;
    case kCmdScores: s_.windows.scores->ShowScores(s_.scores.MatchOn ? 1 : 0); break;
    case kCmdExit: Exit(); break;
    default: break;
  }
}

void MenuCommands::StartOrEndMatch() {
  ScoreState& sc = s_.scores;
  platform::UiService& ui = s_.saved.ui;
  SavedGameHooks& hooks = s_.saved.hooks;
  bool justEnded = false;
  if (!sc.MatchOn) {
    // Whether the unfinished match goes on is this command's own answer,
    // never a stale one from an earlier box.
    int answer = 0;
    if (IsMatchRunning(sc.CurrentScores)) {
      answer = ui.MsgBox(QStringLiteral("Your last Match wasn't completed.\r\nDo you want to continue with that "
                                        "Match?\r\n\r\n(Click NO if you want to start a new Match\r\nand discard "
                                        "the uncompleted one)"),
                         platform::vbYesNoCancel | platform::vbQuestion, "Unfinished Match Game");
      if (answer == platform::vbCancel) return;
      if (answer == platform::vbYes) {
        sc.MatchOn = true;
        hooks.CheckMatchComplete();
      }
    }
    if (answer != platform::vbYes) {
      if (!s_.windows.dialogs->ShowMatchDialog() || !sc.MatchOn) return;
    }
    sc.CurrentScores.MatchTarget = sc.MatchPoints;
    sc.CurrentScores.MatchInProgress = 1;
    if (answer != platform::vbYes) {
      ResetScores(sc.CurrentScores, "Current Match", false, sc.MatchOn);
      hooks.CheckMatchComplete();
    }
  } else {
    if (ui.MsgBox("End this Match?", platform::vbYesNo, "Match Game") == platform::vbNo) return;
    sc.MatchOn = false;
    hooks.ShowMatchPoints(false);
    if (sc.CurrentScores.MatchGames == 0) {
      ResetScores(sc.CurrentScores, "Current Match", false, sc.MatchOn);
    } else {
      sc.CurrentScores.MatchInProgress = 0;
    }
    if (Online()) {
      s_.windows.online.SendEndGame(true);
      hooks.SaveScoreRec();
      s_.saved.state.GameEnded = true;
      hooks.ClearTable();
      s_.saved.view.SetLabel(table::TableLabel::lblTurn, "You've ended this Match.");
      s_.windows.online.ExchangeStalemateReset();
      return;
    }
    justEnded = true;
  }

  hooks.SaveScoreRec();
  if (justEnded) return;
  if (s_.saved.state.CurrentTurn != table::Turn::None && !Online() &&
      ui.MsgBox("Do you want to include the game you are currently playing in the Match?", platform::vbYesNo,
                "Match Game") == platform::vbYes) {
    hooks.ShowMatchPoints(true);
    hooks.ShowPileCounts();
    // The deal record takes the match as it now stands, so that a restart
    // or a restore of this game comes back into the match.
    platform::RecordFile& file = s_.saved.saved.SavedGamesFile;
    SavedGameRecord& rec = s_.saved.saved.GameRec;
    rec = SavedGameRecord::Decode(file.Read(kGameStartRecord));
    const ScoreRec& cs = sc.CurrentScores;
    rec.Tableau[0][kMatchPointsRow] = sc.MatchPoints;
    rec.Tableau[0][kMatchScoreRow] = cs.MatchScore;
    rec.Tableau[0][kOppMatchScoreRow] = cs.OppMatchScore;
    rec.Tableau[0][kMatchGamesRow] = cs.MatchGames;
    rec.Tableau[0][kMatchWinsRow] = cs.MatchWins;
    rec.Tableau[0][kOppMatchWinsRow] = cs.OppMatchWins;
    rec.Description = Fixed30(QString::fromLatin1(kMatchDescription));
    file.Write(kGameStartRecord, rec.Encode());
    file.Flush();
    return;
  }
  s_.game.NewGame();
}

void MenuCommands::Save() {
  platform::UiService& ui = s_.saved.ui;
  SavedGames& sv = s_.saved.saved;
  // Whatever happens below, the next save is an ordinary one again.
  struct ClearNetSave {
    bool& flag;
    ~ClearNetSave() { flag = false; }
  } clearNetSave{Commands.SavingNetGame};
  if (s_.saved.state.CurrentTurn == table::Turn::None) {
    ui.MsgBox("There's no game to save!", platform::vbOKOnly, "Unable to Save");
    return;
  }
  const SaveChoice choice = s_.windows.dialogs->ShowSaveDialog(0, Commands.SavingNetGame);
  if (choice.Cancelled) return;
  sv.SaveSlot = choice.Slot;
  const int slot = sv.SaveSlot;
  if (slot < kFirstSaveSlot || slot > kLastSaveSlot) return;
  FillGameRecord(s_.saved);
  bool saved = false;
  {
    // One failure, one box: this one, which says what was being saved.
    const platform::RecordFile::Unreported unreported(sv.SavedGamesFile);
    saved = SaveInSlot(sv, slot, sv.GameRec, choice.Description);
  }
  if (!saved)
    ui.MsgBox("The game could not be saved.\r\n\r\n" + sv.SavedGamesFile.Path() + "\r\n" +
                  platform::SystemReason(sv.SavedGamesFile.LastError()),
              platform::vbExclamation, "Unable to Save");
}

void MenuCommands::Restore() {
  platform::UiService& ui = s_.saved.ui;
  SavedGames& sv = s_.saved.saved;
  PlayState& st = s_.saved.state;

  if (st.IsDeveloperView) {
    const std::optional<QString> typed =
        ui.InputBox("Use backup4.sav or enter backup4 filename (i.e. backup4-2.sav).\r\nType SAME to open current file",
                    "Switch files", QString::fromLatin1(kSavedGamesFileName));
    const QString name = typed ? typed->trimmed() : QString();
    // An empty answer keeps the file in use; only a bare name in the data
    // folder is opened, and a failed open goes back to the old file.
    if (!name.isEmpty() && name != QLatin1String("SAME")) {
      const QString oldPath = sv.SavedGamesFile.Path();
      if (!IsBareName(name)) {
        ui.MsgBox("Only a file name in the game's data folder can be used.", platform::vbExclamation, "Switch files");
      } else {
        sv.SavedGamesFile.Close();
        if (!sv.SavedGamesFile.Open(s_.folders.DataPath + name, kSavedGameRecordLength)) {
          sv.SavedGamesFile.Open(oldPath, kSavedGameRecordLength);
          ui.MsgBox("The file " + name + " could not be opened. The current file stays in use.",
                    platform::vbExclamation, "Switch files");
        }
      }
    }
  }

  const SaveChoice choice = s_.windows.dialogs->ShowSaveDialog(1, Commands.SavingNetGame);
  Commands.NetSecureGame = choice.NetSecureGame;
  if (choice.Cancelled) return;
  sv.SaveSlot = choice.Slot;
  if (sv.SaveSlot == kEvenTurnBackupRecord) {
    if (st.TurnCount == 0) {
      if (st.IsDeveloperView) {
        const std::optional<QString> typed = ui.InputBox("TurnCount 1 or 2?", kPreviousTurnTitle, QString());
        st.TurnCount = static_cast<std::int16_t>(vb::Val(typed.value_or(QString())));
      } else {
        ui.MsgBox("No move to restore!", platform::vbOKOnly | platform::vbCritical, kPreviousTurnTitle);
        return;
      }
    }
    Commands.RestoringPreviousTurn = true;
    if (st.TurnCount % 2 == 0) sv.SaveSlot = kOddTurnBackupRecord;
  } else if (sv.SaveSlot < kFirstSaveSlot || sv.SaveSlot > kLastSaveSlot) {
    return;
  }
  s_.frmPlay.cmdDeal->hide();
  RestoreContext ctx = s_.game.CurrentRestoreContext();
  ctx.RestoringPreviousTurn = Commands.RestoringPreviousTurn;
  restored_ = RestoreGame(s_.saved, ctx, sv.SaveSlot, GameFile::SavedGames, false,
                          Refusal{"That saved game could not be restored.", "Restore"}) == RestoreResult::Restored;
  Commands.RestoringPreviousTurn = false;
}

bool MenuCommands::RestoreCommand() {
  restored_ = false;
  GameMenu(kCmdRestore);
  return restored_;
}

void MenuCommands::PreviousTurn() {
  PlayState& st = s_.saved.state;
  if (st.TurnCount == 0 && !st.IsDeveloperView) {
    s_.saved.ui.MsgBox(kNoPreviousTurnText, platform::vbOKOnly | platform::vbInformation, kPreviousTurnTitle);
    return;
  }
  Commands.RestoringPreviousTurn = true;
  RestoreContext ctx = s_.game.CurrentRestoreContext();
  ctx.RestoringPreviousTurn = true;
  const int record = PreviousTurnBackupRecord(st.TurnCount);
  s_.saved.saved.SaveSlot = static_cast<std::int16_t>(record);
  RestoreGame(s_.saved, ctx, record, GameFile::SavedGames, false, Refusal{kNoPreviousTurnText, kPreviousTurnTitle});
  Commands.RestoringPreviousTurn = false;
}

void MenuCommands::Restart() {
  if (s_.saved.ui.MsgBox("Restart this game?", platform::vbYesNo, "Restart") == platform::vbNo) return;
  s_.saved.saved.SaveSlot = kGameStartRecord;
  RestoreGame(s_.saved, s_.game.CurrentRestoreContext(), kGameStartRecord, GameFile::SavedGames, true,
              Refusal{"There is no game to restart.", "Restart"});
}

void MenuCommands::Exit() {
  // The tutorial's computer turn waits for Next; the table closes under it
  // as through its close box.
  if (s_.saved.state.ComputerThinking && !s_.saved.state.TutorialMode) return;
  // Closing the table window runs the leaving of the table.
  s_.frmPlay.close();
}

// ---- Options ----

// Offline a command that must wait for the deal, a turn or a move does
// nothing; online the player is told to wait, whoever's turn it is.
bool MenuCommands::RefusedWhileBusy() {
  if (!Busy()) return false;
  if (Online()) {
    PanelHide();
    s_.saved.ui.MsgBox(kWaitForTurnText, platform::vbOKOnly | platform::vbInformation, kOnlineTitle);
  }
  return true;
}

bool MenuCommands::LeftTutorial(bool endsComputerTurn) {
  if (!s_.saved.state.TutorialMode) return true;
  PanelHide();
  if (!s_.windows.tutorial->LeaveTutorial()) return false;
  if (ComputerMoving() ? endsComputerTurn : !Busy()) return true;
  s_.saved.ui.MsgBox(kTutorialLeftText, platform::vbOKOnly | platform::vbInformation, kTutorialTitle);
  return false;
}

bool MenuCommands::RefusedInPeersTurn() {
  if (!Online() || s_.saved.state.CurrentTurn != table::Turn::Opponent) return false;
  PanelHide();
  s_.saved.ui.MsgBox(kWaitForTurnText, platform::vbOKOnly | platform::vbInformation, kOnlineTitle);
  return true;
}

void MenuCommands::OptionsMenu(int row) {
  PanelHide();
  if ((row == kOptSpeed || row == kOptPreferences || row == kOptAddRemoveBackground) && RefusedInPeersTurn()) return;
  switch (row) {
    case kOptSpeed: s_.windows.dialogs->ShowSpeedWindow(); break;
    case kOptWhoGoesFirst:
      s_.player.Player.FirstPlayerRule = s_.player.FirstPlayerRule;
      s_.playerChanges.WritePlayerRecord();
      break;
    case kOptPreferences: s_.windows.preferences->ShowPreferences(); break;
    case kOptStructure: s_.backgrounds.NextStructure(platform::kVkSpace); break;
    case kOptBackground: s_.backgrounds.NextBackground(platform::kVkSpace); break;
    default: break;
  }
}

// ---- Internet ----

void MenuCommands::InternetMenu(int row) {
  PanelHide();
  platform::UiService& ui = s_.saved.ui;
  PlayState& st = s_.saved.state;
  SavedGames& sv = s_.saved.saved;
  switch (row) {
    case kNetConnect:
      // Going online replaces the table; never under the computer's turn.
      // Ending the connection works at every moment, as the peer's own end
      // does.
      if (!Online() && (!LeftTutorial() || ComputerMoving() || Busy())) return;
      s_.windows.network->SetupInternet();
      break;
    case kNetScores: s_.windows.scores->ShowScores(3); break;
    case kNetSave:
      if (st.CurrentTurn != table::Turn::None && Online()) {
        if (RefusedWhileBusy()) return;
        Commands.SavingNetGame = true;
        GameMenu(kCmdSave);
      } else {
        ui.MsgBox("There's no Internet game to save!", platform::vbOKOnly, kOnlineTitle);
      }
      break;
    case kNetSendSaved:
      if (RefusedWhileBusy()) return;
      s_.windows.onlineRestore->NetRestoreGame();
      break;
    case kNetBackup:
      if (RefusedWhileBusy()) return;
      if (st.TurnCount == 0) {
        ui.MsgBox(kNoPreviousTurnText, platform::vbOKOnly | platform::vbInformation, kPreviousTurnTitle);
        return;
      }
      Commands.RestoringPreviousTurn = true;
      sv.SaveSlot = static_cast<std::int16_t>(PreviousTurnBackupRecord(st.TurnCount));
      s_.windows.onlineRestore->NetRestoreGame();
      Commands.RestoringPreviousTurn = false;
      break;
    case kNetRestart:
      if (RefusedWhileBusy()) return;
      if (st.TurnCount == 0) {
        ui.MsgBox("No current game to restart! Start a new game.", platform::vbOKOnly | platform::vbCritical,
                  "Marrowdale Online Game");
        return;
      }
      if (ui.MsgBox("Start this game over from the beginning?", platform::vbOKCancel, "Restart Game") ==
          platform::vbCancel)
        return;
      Commands.NetRestartPending = true;
      sv.SaveSlot = kGameStartRecord;
      s_.windows.onlineRestore->NetRestoreGame();
      Commands.NetRestartPending = false;
      break;
    case kNetStalemate: {
      if (RefusedWhileBusy()) return;
      const QString version = s_.net.PeerVersion();
      if (version < QLatin1String("40")) {
        ui.MsgBox("Your Opponent has an older version of the game.\r\nUnable to Declare Stalemate",
                  platform::vbOKOnly | platform::vbInformation, "Declare Stalemate");
        return;
      }
      s_.game.DeclareStalemate();
      break;
    }
    case kNetMatch: GameMenu(kCmdMatch); break;
    case kNetNewGame: GameMenu(kCmdNewGame); break;
    default: break;
  }
}

// ---- Help ----

void MenuCommands::HelpMenu(int row, int choice) {
  PanelHide();
  if ((row == kHelpTutorial || row == kHelpSampleGame) && Online()) {
    s_.saved.ui.MsgBox("The tutorial and Sample Games are not available while playing online.",
                       platform::vbOKOnly | platform::vbInformation, kOnlineTitle);
    return;
  }
  switch (row) {
    case kHelpManual: s_.hooks.ShowHelp("Contents", "Contents"); break;
    case kHelpTutorial: s_.windows.tutorial->OpenTutorial(); break;
    case kHelpSampleGame:
      if (!LeftTutorial()) break;
      s_.sample.SampleGameMode = true;
      GameMenu(kCmdNewGame);
      // A deal that was refused leaves no sample game asked for.
      s_.sample.SampleGameMode = false;
      break;
    case kHelpStatusBar: ToggleStatusBar(); break;
    case kHelpWebSite:
      // There is no site to open: the user is told so, and where this
      // computer's addresses are found instead.
      if (choice == 1 || choice == 2)
        s_.saved.ui.MsgBox(QString::fromLatin1(platform::kNoWebSiteText) +
                               (choice == 2 ? QStringLiteral("\r\n\r\nWhen you host a game, the chat window "
                                                             "shows this computer's Internet addresses.")
                                            : QString()),
                           platform::vbOKOnly | platform::vbInformation, "Marrowdale Site");
      break;
    case kHelpAbout: s_.windows.dialogs->ShowAboutWindow(); break;
    default: break;
  }
}

void MenuCommands::ToggleStatusBar() {
  StatusBar* bar = s_.frmPlay.StatusBar1;
  bar->setVisible(bar->isHidden());
}

}  // namespace play
