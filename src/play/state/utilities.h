#pragma once
// Small procedures many parts of the game share: the pause that keeps the
// window alive, the computer's speed factor, the turn line, the player-name
// check, the processor speed and the animation speed derived from it, the
// system information box, opening a web page and the calls into the
// manual.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/system.h"
#include "play/state/play_state.h"
#include "table/card_slide.h"
#include "table/game_state.h"

namespace platform {
class UiService;
class UrlOpener;
class WaitService;
}  // namespace platform

namespace media {
class HTMLHelp;
}

namespace table {
class TableView;
}

namespace play {

// Waits the given seconds while window events run; ends at once when the
// program is closing. 0 or less returns at once without running events.
void Pause(platform::WaitService& wait, double seconds);

// Seconds between the computer's moves for speed level 1..6; 0 for any
// other level.
float SpeedFactor(int level);

// The turn line and the turn pictures for whose turn it is. Online or in
// the tutorial the opponent's turn keeps the line's text.
void ShowTurnStatus(const PlayState& state, bool online, table::TableView& view);

inline constexpr char kYourTurnText[] = "\r\nIt's still your turn.";
inline constexpr char kNotYourTurnText[] = "\r\nIt's NOT your turn.";

// Checks a player name that becomes a file name. Shows why and returns
// true when the name is rejected; false when it may be used.
bool ValidFileName(const QString& name, platform::UiService& ui);

inline constexpr char kFileNameTitle[] = "Non-standard filename character";
inline constexpr char kBlankNameTitle[] = "Blank name";
inline constexpr char kBlankNameText[] = "Please enter a name that is not blank.\r\n\r\nPlease re-enter.";
QString FileNameCharactersText();

// Where the animation speed lives: the table's value and the one in the
// player record in memory.
struct AnimSpeedFields {
  std::int16_t& AnimSpeed;
  std::int16_t& PlayerAnimSpeed;
};

// The processor's clock rate in MHz (0 when unknown). With setAnimation the
// animation speed becomes the default slide's (table::kDefaultSlideSpeed)
// on every machine: a slide lasts a set time, so a slower processor needs
// no fewer steps and a clock that cannot be read changes nothing. In both
// cases the player record takes the animation speed in force.
long GetCpuMHz(bool setAnimation, AnimSpeedFields speed, const std::function<long()>& readMHz = platform::ReadCpuMHz);

// What the system information box reports.
struct SystemInfo {
  platform::ScreenMetrics screen;
  int windowWidthTwips = 0;  // the main window
  int windowHeightTwips = 0;
  long cpuMHz = 0;
  QString timeText;  // the current time as the user's locale writes it
};

// The current time as text in the user's locale, with seconds.
QString CurrentTimeText();
QString SystemInfoText(const SystemInfo& info);
// Builds Message from the information and shows it.
void ShowSystemInfo(const SystemInfo& info, QString& Message, platform::UiService& ui);
// The same for the running machine: the primary screen, the main window's
// size in twips, the processor (GetCpuMHz without setting the animation)
// and the time now.
void ShowSystemInfo(int windowWidthTwips, int windowHeightTwips, AnimSpeedFields speed, QString& Message,
                    platform::UiService& ui);

// Opens a web page in the default browser. Only a well-formed absolute
// http or https address with a host is opened; anything else is ignored.
void OpenURL(const QString& address, platform::UrlOpener& opener, platform::UiService& ui);

inline constexpr char kBrowserFailedText[] = "Unable to launch default browser";

// The manual: "Close" closes every help window and releases the viewer,
// "Keyword" opens the topic of the keyword, "Contents" the contents. The
// viewer is made on first use by makeViewer.
void ShowHelp(const QString& command, const QString& keyword, std::unique_ptr<media::HTMLHelp>& HelpObject,
              const std::function<std::unique_ptr<media::HTMLHelp>()>& makeViewer, const QString& AppPath);

inline constexpr char kHelpFile[] = "Marrowdale.qhc";
inline constexpr char kHelpWindow[] = "Size";

// The developer's window-size message: the tableau cards window's sizes and
// the card size, all in twips but the card's height in pixels.
struct WindowSizes {
  int PopupHeight = 0;       // the window with its frame
  int PopupScaleHeight = 0;  // its inside
  int PopupWidth = 0;
  int CardPicHeight = 0;  // its first card picture
};
QString WindowSizeMessage(const WindowSizes& sizes);

}  // namespace play
