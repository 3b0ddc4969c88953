#pragma once
// The connection dialog: the player chooses to host or to join, types the
// host's address (when joining) and the port, and confirms. It opens no
// connection itself; the checks of what was typed are plain functions.

#include <QDialog>
#include <QString>
#include <QStringList>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace platform {
class UiService;
}

namespace net {

inline constexpr char kConnectCaption[] = "Marrowdale Connection";
inline constexpr char kDefaultPortText[] = "1001";
inline constexpr char kExampleAddress[] = "192.168.1.1 (example)";
constexpr int kMaxAddressLength = 15;
constexpr int kLowestPort = 1;
constexpr int kHighestPort = 65535;

enum class AddressCheck {
  Ok,
  NotValid,   // empty or longer than 15 characters
  NotDotted,  // fewer than three dots after the first column
};
// The host's address as typed, trimmed; only its length and its three dots
// are checked, the rest is the connection's to find out.
AddressCheck CheckHostAddress(const QString& text);

// The port as typed: a whole number 1..65535, blanks around it allowed;
// anything else is refused (0).
int ParsePort(const QString& text);

// The host's own addresses as the chat log shows them.
QString HostAddressLog(const QStringList& addresses);

inline constexpr char kLanGameTitle[] = "Internet/LAN Game";  // the title of the window's boxes
inline constexpr char kAddressNotValidText[] =
    "That's not a valid IP Address.\r\n\r\nPlease get your HOST'S IP Address.\r\n"
    "You need to enter it for the connection to be made.";
inline constexpr char kAddressDotsTitle[] = "Incorrect IP Address!";
inline constexpr char kAddressDotsText[] = "Not a valid number. Must be in the format:\r\nxxx.xxx.xxx.xxx";
inline constexpr char kPortText[] =
    "The PORT Number must be a whole number from 1 to 65535.\r\n\r\n"
    "Both players must use the same PORT Number.";

// What the player chose.
struct ConnectChoice {
  bool confirmed = false;
  bool host = true;
  QString hostIP;  // the remote's typed host address, trimmed
  int port = 0;
};

class FrmConnect : public QDialog {
  Q_OBJECT
 public:
  FrmConnect(const QString& PlayerName, platform::UiService& ui, std::function<void()> showHelp, QWidget* mainWindow);

  const ConnectChoice& Choice() const { return choice_; }

  QLabel* Label4 = nullptr;
  QLabel* lblPlayerName = nullptr;
  QLabel* lblName = nullptr;
  QLabel* lblSetup = nullptr;
  QRadioButton* Option1 = nullptr;
  QRadioButton* Option2 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* Text3 = nullptr;
  QPushButton* cmdConnect = nullptr;
  QPushButton* cmdCancel = nullptr;
  QPushButton* cmdHelp = nullptr;

  void Option1_Click();
  void Option2_Click();
  void cmdConnect_Click();

 private:
  void SelectAddress();

  platform::UiService& ui_;
  ConnectChoice choice_;
};

}  // namespace net
