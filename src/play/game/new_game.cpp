#include "play/game/new_game.h"

#include "platform/settings.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "play/state/net_state.h"
#include "play/state/utilities.h"
#include "table/busy_guard.h"
#include "table/deal.h"
#include "table/sound_effects.h"
#include "table/table_view.h"

namespace play {

using table::TableImage;
using table::TableLabel;

namespace {

constexpr int kPlayerNamePanel = 1;

// ComputerThinking stays set from the deal to the end of the first turn,
// whichever way NewGame returns, and is cleared then: a stop for a close
// must not leave the menus restricted.
class ThinkingScope {
 public:
  explicit ThinkingScope(PlayState& state) : state_(state) { state_.ComputerThinking = true; }
  ~ThinkingScope() { state_.ComputerThinking = false; }
  ThinkingScope(const ThinkingScope&) = delete;
  ThinkingScope& operator=(const ThinkingScope&) = delete;

 private:
  PlayState& state_;
};

bool Online(const NewGameServices& s) { return s.network && s.net.Online(); }
bool RemoteSide(const NewGameServices& s) { return Online(s) && !s.network->IsHost(); }

// Deals a numbered sample game: its two stored decks go into the Reserve
// arrays, the number is kept as the next game's counter and the status bar
// names the game. False when the game was not available and the decks were
// shuffled instead.
bool LoadNumberedSampleGame(NewGameServices& s, std::int16_t number) {
  const table::SampleLoad loaded =
      table::LoadSampleGame(number, s.sample.SampleDealReversed, s.AppPath, s.deal.piles, s.deal.ui, s.random);
  if (loaded != table::SampleLoad::Loaded) return false;
  s.sample.SampleGameNumber = number;
  s.settings.SaveSetting(platform::kSettingsApp, platform::kSettingsSection, kSampleSettingKey,
                         QString::number(number));
  QString panel = s.PlayerName + kSampleGamePanel + vb::Str(static_cast<int>(number));
  if (s.sample.SampleDealReversed) panel += kSampleReversedText;
  s.deal.view.SetStatusPanel(kPlayerNamePanel, panel);
  return true;
}

}  // namespace

std::int16_t NextSampleGameNumber(const platform::SettingsStore& settings, platform::UiService& ui,
                                  bool IsDeveloperView) {
  // A counter that is missing, not a number or out of range starts again
  // from the first game rather than asking for a game that does not exist.
  long long stored =
      settings.GetNumber(platform::kSettingsApp, platform::kSettingsSection, kSampleSettingKey, kFirstSampleGame - 1);
  if (stored < kFirstSampleGame - 1 || stored > kLastSampleGame) stored = stored < 0 ? 0 : kLastSampleGame;
  long long number = stored + 1;

  if (IsDeveloperView) {
    const std::optional<QString> answer =
        ui.InputBox(kChooseSampleGamePrompt, kChooseSampleGameTitle, QString::number(number));
    if (answer) {
      bool isNumber = false;
      const long long chosen = answer->trimmed().toLongLong(&isNumber);
      if (isNumber && chosen >= kFirstSampleGame) number = chosen;
    }
  }
  if (number > kLastSampleGame) {
    ui.MsgBox(kAllSampleGamesPlayedText, platform::vbInformation, table::kSampleGamesTitle);
    number = kFirstSampleGame;
  }
  return static_cast<std::int16_t>(number);
}

NewGameResult NewGame(NewGameServices& s) {
  if (!s.guard.MayReplaceTable()) return NewGameResult::Busy;
  auto busy = s.guard.Enter(table::Activity::Deal);
  PlayState& st = s.saved.state;  // the deal's state, with what only the game reads
  table::TableView& view = s.deal.view;

  st.GameEnded = false;
  // A stalemate declared in the last game must not score this one as one.
  if (s.StalemateDeclared) *s.StalemateDeclared = false;
  st.AbortComputerTurn = false;  // an abort meant for an earlier game must not end this one
  view.SetImageVisible(TableImage::cmdDeal, false);
  s.sample.SampleGameNumber = 0;

  if (!RemoteSide(s)) view.ClearTable();
  st.TurnCount = 0;
  ThinkingScope thinking(st);

  // Both tables of an online game deal the decks the host sends: a sample
  // game asked for before going online is not dealt.
  if (Online(s)) s.sample.SampleGameMode = false;
  bool dealtSample = false;
  if (s.sample.SampleGameMode) {
    const std::int16_t number = NextSampleGameNumber(s.settings, s.deal.ui, st.IsDeveloperView);
    dealtSample = LoadNumberedSampleGame(s, number);
  }
  if (!dealtSample && !s.sample.SampleGameMode) {
    bool started = true;
    if (RemoteSide(s)) {
      view.EnablePiles(true);
      started = s.network->RemoteGameStart();
    } else {
      table::ShuffleDecks(s.deal.piles, s.random);
      if (Online(s)) started = s.network->HostGameStart();
    }
    view.SetLabelVisible(TableLabel::StatusMsg, false);
    if (!started) {
      // Nothing is dealt from decks the peer never agreed to. A connection
      // that ended meanwhile has cleared the table and said what comes next;
      // only the undealt decks go.
      if (Online(s)) {
        view.ClearTable();
      } else {
        s.deal.piles = table::PileArrays{};
      }
      view.EnablePiles(false);
      st.CurrentTurn = table::Turn::None;
      st.GameEnded = true;
      return NewGameResult::Stopped;
    }
  }

  if (Online(s) && s.network->TakeResyncBusy()) {
    // The host has handed the whole table over: nothing to deal, the
    // table shown as it now stands.
    s.deal.sfx.PlaySfx(kHandOverEffect);
    s.saved.hooks.RedrawTable();
    ShowTurnStatus(st, true, view);
  } else {
    const table::DealOpening opening = s.network ? s.network->Opening() : table::DealOpening{};
    if (table::DealNewGame(s.deal, s.FirstPlayerRule, opening) != table::DealResult::Dealt) {
      s.sample.SampleGameMode = false;
      s.sample.SampleGameNumber = 0;
      // Nothing is on the table: offer the deal again.
      st.CurrentTurn = table::Turn::None;
      st.GameEnded = true;
      view.SetImageVisible(TableImage::cmdDeal, true);
      return NewGameResult::BadDecks;
    }
  }
  s.sample.SampleGameMode = false;

  if (st.CurrentTurn == table::Turn::Opponent) {
    const QString firstPlayerMessage = view.Label(TableLabel::lblMessage);
    view.SetImageVisible(TableImage::ImgTurn2, true);
    if (Online(s)) {
      s.network->Opponent();
    } else {
      s.hooks.ComputerTurn();
    }
    if (s.deal.wait.Exiting()) return NewGameResult::Exiting;
    if (st.CurrentTurn == table::Turn::Local) view.SetImageVisible(TableImage::ImgTurn1, true);
    if (st.CurrentTurn == table::Turn::Opponent) view.SetImageVisible(TableImage::ImgTurn2, true);
    if (view.Label(TableLabel::lblMessage) == firstPlayerMessage) view.SetLabel(TableLabel::lblMessage, QString());
  } else {
    StartMoveRecords(s.saved);
    view.SetImageVisible(TableImage::ImgTurn1, true);
  }
  return NewGameResult::Started;
}

void cmdDeal_Click(NewGameServices& s, const RestoreContext& ctx) {
  // The button stays for a later click while another action still changes
  // the table (the end of a game, say); hiding it now would leave no way to
  // deal.
  if (!s.guard.MayReplaceTable()) return;
  PlayState& st = s.saved.state;  // the deal's state, with what only the game reads
  s.deal.view.SetImageVisible(TableImage::cmdDeal, false);

  if (st.TutorialMode) {
    if (s.tutorial) {
      s.tutorial->AppendTipText(kTutorialDealText);
      s.tutorial->HidePointingHand();
    }
    st.TutorialContinue = false;
    const RestoreResult restored = RestoreGame(s.saved, ctx, kTutorialRecord, GameFile::SavedGames, false,
                                               Refusal{kTutorialGameMissingText, platform::kProgramTitle});
    if (restored != RestoreResult::Restored) s.deal.view.SetImageVisible(TableImage::cmdDeal, true);
  } else {
    if (RemoteSide(s)) s.deal.view.SetLabel(TableLabel::lblMessage, QString());
    NewGame(s);
  }

  if (s.deal.wait.Exiting()) {
    st.ComputerThinking = false;
    s.hooks.FinishTopLevelCommand();
  }
}

}  // namespace play
