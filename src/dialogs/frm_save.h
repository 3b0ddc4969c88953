#pragma once
// The "Saved Games" dialog: ten slots of the saved-games file to save the
// game on the table into, or to restore or delete a saved game from. It
// only chooses; the Game menu's Save and Restore do the writing and the
// restoring. Deleting a slot is the one change it makes to the file.

#include <QDateTime>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

#include "play/faces/menu_windows.h"
#include "play/state/play_state.h"

namespace platform {
class RecordFile;
class UiService;
}  // namespace platform
namespace play {
struct NetState;
struct SampleGames;
struct ScoreState;
}  // namespace play
namespace table {
struct GameState;
}

namespace dialogs {

constexpr int kPreviousTurnSlot = 11;

// One slot as the dialog shows it.
struct SlotView {
  QString Text;
  bool Enabled = true;
};

// The ten slots (index 1..10) read from the file: in save mode every slot
// is enabled and shows its description or "game" and its number; in
// restore mode a slot without a game is empty and disabled. A description
// marked as an online game ("^^") is shown without its marker.
std::array<SlotView, 11> LoadSlots(bool restore, const platform::RecordFile& file);

// The default description a click puts into slot in save mode.
struct DescriptionContext {
  bool MatchOn = false;
  bool SampleGameMode = false;
  std::int16_t SampleGameNumber = 0;
  bool SavingNetGame = false;
  QString OtherPlayer;  // the opponent's name on the host, the host's on the remote
};
QString DefaultDescription(const DescriptionContext& c, const QDateTime& now);

// The description handed to the caller for the slot's text: blank gives
// "saved game" and the slot; "Match " goes in front during a match unless
// the text begins with "Match"; a typed online marker is dropped and only a
// NET SAVE while connected puts one in front.
QString FinalDescription(const QString& slotText, int slot, bool MatchOn, bool netSave, bool connected);

// What the dialog reads, and the one file it changes.
struct SaveDialogParts {
  const QWidget& table;  // the table window, which the dialog stands beside
  platform::UiService& ui;
  platform::RecordFile& savedGamesFile;  // the slots; a deleted slot is written here
  const play::PlayState& state;          // whether a game is on the table; the developer view
  const play::NetState& net;             // online, and the other player's name
  const play::ScoreState& scores;        // whether a match is on
  const play::SampleGames& sample;       // a sample game keeps its own description
  bool savingNetGame = false;            // the game saved is an online one
};

class FrmSave : public QWidget {
  Q_OBJECT
 public:
  explicit FrmSave(const SaveDialogParts& parts, QWidget* parent = nullptr);

  // 0 prepares the save mode, any other value the restore mode.
  void LoadForm(int bRestore);

  void Text1_Click(int i);
  void Text1_MouseDown(int i, Qt::MouseButton button);
  void cmdSave_Click();
  void Command2_Click();

  std::array<QLineEdit*, 12> Text1{};
  QPushButton* cmdSave = nullptr;
  QPushButton* Command2 = nullptr;
  QLabel* lblHelp = nullptr;
  QLabel* lblDelete = nullptr;
  QLabel* Label1 = nullptr;
  int SelectedSlot = 0;
  std::array<QString, 11> SlotText;
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
  // The choice, once the dialog has closed.
  const play::SaveChoice& Choice() const { return choice_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool Restoring() const;
  void NormalColours(int i);
  void CloseByCode();

  SaveDialogParts p_;
  play::SaveChoice choice_;
  bool closingByCode_ = false;
};

}  // namespace dialogs
