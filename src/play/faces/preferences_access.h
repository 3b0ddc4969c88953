#pragma once
// What the Preferences dialog asks of the program: the player's settings
// (the truth) and the table that shows them, the pictures it previews, the
// backgrounds and structures; and the keyboard shortcuts.

#include <QImage>
#include <cstdint>
#include <optional>

#include "play/records/player.h"
#include "table/backgrounds.h"

namespace table {
class CardDeckSource;
class FrmPic;
struct TableSettings;
}  // namespace table
namespace platform {
class UiService;
class WaitService;
}  // namespace platform

namespace play {

// The backgrounds and structures of the table, as the backgrounds answer.
using TableBackgrounds = table::BackgroundPreview;

// What the Preferences dialog's Apply hands back: the player's settings as
// the dialog chose them on the tab showing, and what follows on the table.
struct PreferencesChoice {
  PlayerSettings settings;                     // the dialog's copy, with the tab's choice
  std::optional<std::uint32_t> CardBackColor;  // the colour a back chosen on the back tab stands on
  bool reloadBacks = false;                    // the back pictures are loaded again, whether the back changed or not
  bool refreshPlaceHolders = false;            // the empty piles are drawn again
  bool redraw = false;                         // a change was made since the tab was shown: every pile is repainted
};

class PreferencesTable {
 public:
  virtual ~PreferencesTable() = default;
  // The player's settings as they stand; the dialog works on a copy.
  virtual const PlayerSettings& Settings() const = 0;
  virtual const table::TableSettings& Table() const = 0;
  virtual table::FrmPic& Pictures() = 0;
  virtual platform::UiService& Ui() = 0;
  virtual platform::WaitService& Wait() = 0;
  // The card-deck library; null when no decks are installed.
  virtual table::CardDeckSource* DeckLibrary() = 0;
  // The program's own face sheet.
  virtual QImage BuiltInFaceSheet() const = 0;
  virtual int ColorBits() const = 0;
  // The backgrounds and structures, which act on the table at once.
  virtual TableBackgrounds& Backgrounds() = 0;
  // The tableau cards window, which a new deck unloads; null: none.
  virtual table::TableauCards* TableauCards() = 0;

  // Apply: the settings the dialog offers are taken from the choice into
  // the player's, the table takes its copy of them and the decks, backs
  // and place holders that follow, the player's record is written and,
  // after a change, every pile is repainted.
  void ApplyPreferences(const PreferencesChoice& choice);

 private:
  // The steps of Apply, as the owner of the player's settings takes them.
  virtual PlayerSettings& SettingsToWrite() = 0;
  // The player's settings made the table's; a new mat colour is painted.
  virtual void ShowSettings() = 0;
  virtual void SetCardBackColor(std::uint32_t bgr) = 0;
  virtual bool SavePlayer() = 0;
  virtual void RedrawTable() = 0;
  virtual void RefreshEmptyPilePictures() = 0;
  // The table's face sheet and back holder take the deck and back.
  virtual void GetCardFaces(std::int16_t& deck) = 0;
  virtual void GetCardBacks(std::int16_t& back) = 0;
};

// The keyboard shortcuts, which the Preferences dialog passes keys on to.
class ShortcutKeys {
 public:
  virtual ~ShortcutKeys() = default;
  // A key as the shortcuts take it (virtual-key code, shift state).
  virtual void KeyShortcut(int keyCode, int shift) = 0;
};

// The Preferences dialog as the Options command reaches it.
class PreferencesWindow {
 public:
  virtual ~PreferencesWindow() = default;
  // Shows the dialog modally; a second request while it is open does nothing.
  virtual void ShowPreferences() = 0;
};

}  // namespace play
