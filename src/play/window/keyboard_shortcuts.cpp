// The keyboard shortcuts of the table window, the list window and the
// preferences window: the menu commands by key, and the few actions that
// have no menu row.
#include "media/folders.h"
#include "platform/key_translator.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/game/undo.h"
#include "play/state/utilities.h"
#include "play/window/frm_play.h"
#include "play/window/menu_commands.h"
#include "table/picture_box.h"

namespace play {

namespace {

constexpr int kLastArrowKey = platform::kVkDown;

}  // namespace

void MenuCommands::KeyShortcut(int KeyCode, int Shift) {
  if (KeyCode == platform::kVkEscape) {
    PanelHide();
    return;
  }
  PlayState& st = s_.saved.state;
  const bool offline = !Online();
  const bool host = Online() && IsHost();

  if (Shift == 0) {
    // While a connection is set up the function keys wait, except the two
    // that end it and leave the program, which work at every moment.
    if (KeyCode > kLastArrowKey && KeyCode != platform::kVkF9 && KeyCode != platform::kVkF12 && s_.net.SettingUp())
      return;
    switch (KeyCode) {
      case platform::kVkF1: HelpMenu(kHelpManual, 0); break;
      case platform::kVkF2:
        if (offline || host) GameMenu(kCmdNewGame);
        break;
      case platform::kVkF3:
        if (offline || host) GameMenu(kCmdMatch);
        break;
      case platform::kVkF4:
        if (offline)
          GameMenu(kCmdPreviousTurn);
        else if (host)
          InternetMenu(kNetBackup);
        break;
      case platform::kVkF5: OptionsMenu(kOptSpeed); break;
      case platform::kVkF6: OptionsMenu(kOptPreferences); break;
      case platform::kVkF7: HelpMenu(kHelpTutorial, 0); break;
      case platform::kVkF8: GameMenu(kCmdScores); break;
      case platform::kVkF9: InternetMenu(kNetConnect); break;
      case platform::kVkF12:
        // Online the key leaves as the window's close box does, whoever's
        // turn it is: a close under a running wait completes when that
        // command returns, and the peer is told.
        if (Online()) {
          PanelHide();
          s_.frmPlay.close();
        } else {
          GameMenu(kCmdExit);
        }
        break;
      case platform::kVkUp:
      case platform::kVkDown: s_.backgrounds.NextBackground(KeyCode); break;
      case platform::kVkLeft:
      case platform::kVkRight: SwitchPlaceHolders(); break;
      case platform::kVkBackspace:
        if (offline && st.CurrentTurn == table::Turn::Local && LeftTutorial()) {
          UndoLastMove(s_.saved, s_.game.CurrentRestoreContext());
        }
        break;
      case platform::kVkDelete:
        if (offline && st.CurrentTurn == table::Turn::Local && LeftTutorial()) {
          UndoThisTurn(s_.saved, s_.game.CurrentRestoreContext());
        }
        break;
      case platform::kVkEnd:
        if (s_.music.IsMP3Playing()) s_.music.StopMP3();
        s_.music.RequestStopMusic();
        break;
      default: break;
    }
    return;
  }

  if (Shift == platform::kCtrlMask) {
    switch (KeyCode) {
      case platform::kVkUp:
      case platform::kVkDown: s_.backgrounds.NextStructure(KeyCode); break;
      case platform::kVkBackspace:
        if (offline)
          GameMenu(kCmdPreviousTurn);
        else if (host)
          InternetMenu(kNetBackup);
        break;
      case platform::kVkS: GameMenu(kCmdSave); break;
      case platform::kVkR:
        // The host restores an online game through the connection, so both
        // tables stay the same.
        if (host) {
          InternetMenu(kNetSendSaved);
        } else {
          GameMenu(kCmdRestore);
        }
        break;
      case platform::kVkP: GameMenu(kCmdPlayer); break;
      case platform::kVkX:
        if (host)
          InternetMenu(kNetStalemate);
        else
          GameMenu(kCmdStalemate);
        break;
      case platform::kVkDelete:
        s_.saved.ui.MsgBox("What are you trying to Delete?", platform::vbOKOnly, platform::kProgramTitle);
        break;
      case platform::kVkF2:
        if (offline)
          GameMenu(kCmdRestart);
        else if (host)
          InternetMenu(kNetRestart);
        break;
      case platform::kVkF8: HelpMenu(kHelpStatusBar, 0); break;
      case platform::kVkF10:
        if (s_.saved.state.IsDeveloperView) ShowWindowSizes();
        break;
      case platform::kVkF11: s_.hooks.ShowSystemInfo(); break;
      case platform::kVkF12: s_.sound.Play(s_.folders.UserPath + "Sounds/cash_register.wav"); break;
      default: break;
    }
    return;
  }

  if ((Shift & 7) == (platform::kShiftMask | platform::kCtrlMask)) {
    if (KeyCode == platform::kVkF2) {
      SampleGames& sample = s_.sample;
      sample.SampleDealReversed = !sample.SampleDealReversed;
      s_.saved.ui.MsgBox(QStringLiteral("Sample Game Deal Reversed: ") +
                             (sample.SampleDealReversed ? QStringLiteral("True") : QStringLiteral("False")),
                         platform::vbOKOnly | platform::vbInformation, "Sample Games");
      return;
    }
    DeveloperKey(KeyCode);
  }
}

void MenuCommands::DeveloperKey(int KeyCode) {
  // Pressing Ctrl and Shift themselves is part of typing the sequence.
  if (KeyCode == platform::kVkShift || KeyCode == platform::kVkControl || KeyCode == platform::kVkAlt) return;
  int& step = Commands.DevKeyStep;
  if (KeyCode == kDevKeys[0]) {
    step = step == 2 ? 3 : 1;
  } else if (KeyCode == kDevKeys[1]) {
    step = step == 1 ? 2 : 0;
  } else if (KeyCode == kDevKeys[3]) {
    if (step == 3) s_.saved.state.IsDeveloperView = !s_.saved.state.IsDeveloperView;
    step = 0;
  } else {
    step = 0;
  }
}

void MenuCommands::ShowWindowSizes() {
  const table::FrmHold& hold = s_.cardWindows.MadeTableauCardsWindow();
  const int tpp = s_.TwipsPerPixel;
  const table::PictureBox* first = hold.Picture8[1];
  const WindowSizes sizes{hold.frameGeometry().height() * tpp, hold.height() * tpp, hold.frameGeometry().width() * tpp,
                          first ? first->height() * tpp : 0};
  s_.saved.ui.MsgBox(WindowSizeMessage(sizes), platform::vbOKOnly | platform::vbInformation, platform::kProgramTitle);
}

void MenuCommands::SwitchPlaceHolders() {
  PlayerSettings& p = s_.player;
  p.WoodPlaceHolders = !p.WoodPlaceHolders;
  p.CardSoundSet = p.WoodPlaceHolders ? kCardSoundWood : kCardSoundMetallic;
  s_.playerChanges.PlayerSettingsChanged();
  s_.frmPlay.RefreshEmptyPilePictures();
  s_.frmPlay.RedrawTable();
}

}  // namespace play
