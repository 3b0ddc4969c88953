#pragma once
// What the Preferences dialog asks of the program: the player's settings
// (the truth) and the table that shows them, the pictures it previews, the
// backgrounds and structures; and the keyboard shortcuts.

#include <QImage>
#include <cstdint>

#include "play/player.h"
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

class PreferencesTable {
 public:
  virtual ~PreferencesTable() = default;
  virtual PlayerSettings& Settings() = 0;
  virtual const table::TableSettings& Table() const = 0;
  virtual table::FrmPic& Pictures() = 0;
  virtual platform::UiService& Ui() = 0;
  virtual platform::WaitService& Wait() = 0;
  // The card-deck library; null when no decks are installed.
  virtual table::CardDeckSource* DeckLibrary() = 0;
  // The program's own face sheet.
  virtual QImage BuiltInFaceSheet() const = 0;
  virtual int ColorBits() const = 0;
  // The backgrounds; null until start-up provides them.
  virtual TableBackgrounds* Backgrounds() = 0;
  // The tableau cards window, which a new deck unloads; null: none.
  virtual table::TableauCards* TableauCards() = 0;

  // The player's settings made the table's, and the table repainted.
  virtual void ApplyPreferences() = 0;
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
