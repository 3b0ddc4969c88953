#pragma once
// The chat window: the running log, the input line with its chosen icon,
// twenty quick-chat buttons whose texts are kept in Chat.sav, the sound and
// icon lists, text size, the size toggle, the keep-on-top pin, the help
// badge and the opponent's avatar, which the player picks and can slap. It
// only shows the connection; the connection object owns the sockets and the
// opponent's record, sends what the window asks for and releases the window
// with deleteLater.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QRect>

#include "net/chat_lines.h"
#include "net/quick_chat_record.h"
#include "platform/keep_on_top.h"
#include "platform/system.h"
#include "table/form_scaling.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class SoundChannel;
class UiService;
}  // namespace platform

namespace net {

inline constexpr char kChatCaption[] = "Marrowdale Chat";
inline constexpr char kEmptyButtonTip[] = "Right-click button to store text";
inline constexpr char kButtonPrompt[] = "Enter button text:";
inline constexpr char kSelectSound[] = "-Select Sound:";
inline constexpr char kAddSound[] = "(add sound to list)";
inline constexpr char kSelectIcon[] = "-Select Icon:";
inline constexpr char kDeleteWavTitle[] = "Delete wav";
inline constexpr char kBuiltInSoundText[] =
    "You can't delete that sound, only sounds that you've added can be deleted.";
inline constexpr char kDeleteTitle[] = "Delete";
inline constexpr char kDeleteQuestion[] = "Delete this wavfile? ";
inline constexpr char kAvatarsDir[] = "Avatars";
inline constexpr char kAvatarTitle[] = "Change/Import Avatar";
inline constexpr char kSlapGoneSound[] = "~118.tmp";  // in DataPath
inline constexpr char kChatHelpKeyword[] = "Chat Window";
// The opponent's record keeps the avatar's file name in this many characters.
constexpr int kAvatarNameLimit = 20;

// What the chat window leaves in sight when it opens over the table (on the
// screen): above all the piles and controls, then the message lines.
struct ChatSights {
  std::vector<QRect> piles;
  std::vector<QRect> lines;
};
struct ChatPlace {
  QPoint at;
  std::int64_t pilesCovered = 0;  // pixels of them the window covers there
  std::int64_t linesCovered = 0;
  bool Clear() const { return pilesCovered == 0 && linesCovered == 0; }
};
// What the window is given: the folders, the boxes and file chooser, the
// sound channel, the screen, the label colour (0x00BBGGRR), whether a
// connection is still being set up, the opponent's avatar and where a
// chosen one is kept, and the manual.
struct FrmChatParts {
  QString UserPath;
  QString DocsPath;
  platform::UiService* ui = nullptr;
  platform::SoundChannel* sound = nullptr;
  std::function<bool()> settingUp;
  QString AppPath;
  QString DataPath;
  platform::ScreenMetrics screen;
  std::uint32_t FontColor = 0x00FFFFFF;
  QString* OpponentAvatar = nullptr;
  std::function<void(const QString&)> KeepAvatar;
  std::function<void(const QString&)> ShowHelpKeyword;
  bool showDefaultAvatar = false;  // the host shows the default at once
  // What the window must leave in sight when it opens over the table (the
  // table's piles, lines and controls, on the screen).
  std::function<ChatSights()> tableInSight;
  // Moves the table's lines out from where they stand (true) or back, and
  // tells what is in sight then; where no place is clear of them otherwise.
  std::function<ChatSights(bool aside)> linesAside;
  std::optional<QPoint> place;  // where the player put the window last; it opens there
};

// The name an avatar picture is imported under: its own when it fits the
// record's field, else its name cut to fit, made unique in the folder with
// "~1", "~2"... before the extension.
QString AvatarImportName(const QString& folder, const QString& fileName);

// Where the chat window's top-left corner goes (pixels, on the screen): at
// the play window's right edge, level with its top, when the work area has
// room there; else inside the work area at the place nearest the play
// window's top-right corner that covers nothing of `sights`; where no place
// is clear, where it covers least of the piles, then of the lines.
ChatPlace ChatPlacement(const QRect& playWindow, QSize chat, const QRect& workArea, const ChatSights& sights);

class FrmChat : public QWidget {
  Q_OBJECT
 public:
  explicit FrmChat(FrmChatParts parts = {}, QWidget* parent = nullptr);
  // Stores the quick-chat texts in Chat.sav.
  ~FrmChat() override;
  // Where the player has moved the window to; none while it stands where it
  // opened.
  std::optional<QPoint> MovedTo() const;

  QLabel* lblChat = nullptr;
  QPlainTextEdit* Text1 = nullptr;                            // the chat log
  QWidget* Picture1 = nullptr;                                // the input frame
  QLabel* imgIcon = nullptr;                                  // the chosen icon
  QLineEdit* Text2 = nullptr;                                 // the input line
  QPushButton* Command1 = nullptr;                            // Send
  std::array<QPushButton*, kQuickChatButtons + 1> CmdChat{};  // 1..20
  QLineEdit* txtbutton = nullptr;
  QListWidget* LstWavs = nullptr;
  QListWidget* LstIcons = nullptr;
  QPushButton* cmdShowSounds = nullptr;
  QPushButton* cmdIcon = nullptr;
  std::array<QPushButton*, 2> cmdText{};
  QPushButton* cmdSize = nullptr;
  QPushButton* cmdOnTop = nullptr;
  std::array<QIcon, 2> imgPin;  // 0 pressed in, 1 pulled out
  QLabel* imgHelp = nullptr;
  QLabel* ImgAvatar = nullptr;
  QLabel* imgSlap = nullptr;
  std::array<QCursor, 2> imgMouse;  // over the avatar, over the slap

  std::array<QString, kQuickChatButtons + 1> QuickChatTexts;
  bool IconChosen = false;
  QStringList IconFiles;  // entry i belongs to list row i
  QString WavFile;
  int EditIndex = 0;
  bool SizeToggle = false;
  bool PinToggle = false;

  QString Log() const;
  void SetLog(const QString& text);
  // Appends the text as it stands (lines begin with their own CR LF) and
  // scrolls to the end.
  void AppendLog(const QString& text);
  // The log has been cut to kept, an end of what it holds: its front goes,
  // without the rest being written anew.
  void KeepLogEnd(const QString& kept);
  // The log focused with the caret at its end.
  void FocusLogEnd();
  // The log's caret at its end and in view; the focus stays where it is.
  void ScrollLogEnd();

  void GetSoundList();
  void GetIconList();
  void IconShow(bool show, const QString& path = QString());
  // The icon chosen for the next line, and the icon list's entry of a name.
  std::optional<ChosenIcon> ChosenIconEntry() const;
  std::optional<ChosenIcon> FindIcon(const QString& listName) const;

  void CmdChat_Click(int index);
  void CmdChat_RightClick(int index);
  void txtbutton_Enter();
  void LstWavs_Click(int row);
  void LstWavs_Delete(int row);
  void LstIcons_Click(int row);
  void Add_Sounds();
  void cmdOnTop_Click();
  void cmdSize_Click();
  void cmdText_Click(int index);
  void imgHelp_Click();
  // The named avatar fitted into the box beside the log.
  void ScaleAvatar(const QString& Name);
  void Add_Avatars();
  void AvatarSlap();
  // A button released on the avatar: the right one chooses, Ctrl with
  // another shows the default for now, else a slap.
  void ImgAvatar_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift);
  void imgSlap_Click();
  // The picture file the avatar shows; empty before any.
  QString ShownAvatar() const { return shownAvatar_; }
  // The table's background tiled over the window, or (null) the mat colour
  // (0x00BBGGRR).
  void ShowBackground(const QImage& picture, std::uint32_t MatColor);

 signals:
  void sendClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  // F9 and F12 reach the table's keys from here too: the connection can be
  // ended and the program left whichever window has the focus.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QString SoundsFolder() const;
  QString AvatarsFolder() const;
  QString& Avatar();
  QString PicturePath(const QString& name) const;
  void FitToScreen();
  void ArrangeChatButtons();
  void LayoutInput();
  void PlaceSlap();
  void LoadQuickChat();
  void SaveQuickChat() const;
  void SetButtonTip(int index);

  FrmChatParts parts_;
  void PlaceOverTable(const QWidget* table);
  platform::Class1 keepOnTop_;
  QPoint openedAt_;  // where the window was placed when it opened
  table::FormScaling scaling_;
  table::FormLines lines_;
  int logNarrowing_ = 0;  // pixels taken off the log on a middling screen
  QRect avatarBox_;
  QString shownAvatar_;
  QString ownAvatar_;  // the opponent's avatar when the owner keeps none
  // Places and fonts before the window shrank: enlarging again restores them
  // exactly instead of gathering rounding.
  struct Placed {
    QWidget* widget;
    QRect geometry;
    QFont font;
  };
  std::vector<Placed> beforeShrink_;
  QSize sizeBeforeShrink_;
};

}  // namespace net
