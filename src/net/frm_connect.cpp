#include "net/frm_connect.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "platform/ui.h"
#include "platform/vb.h"

namespace net {

namespace {

constexpr int kDialogTopBelowMain = 20;  // pixels below the main window's top edge

}  // namespace

AddressCheck CheckHostAddress(const QString& text) {
  const QString s = vb::Trim(text);
  if (s.isEmpty() || s.size() > kMaxAddressLength) return AddressCheck::NotValid;
  int start = 2;
  for (int dot = 0; dot < 3; ++dot) {
    const int found = vb::InStr(s, QStringLiteral("."), start);
    if (found == 0) return AddressCheck::NotDotted;
    start = found + 1;
  }
  return AddressCheck::Ok;
}

int ParsePort(const QString& text) {
  static const QRegularExpression digits(QStringLiteral("^\\d{1,5}$"));
  const QString s = text.trimmed();
  if (!digits.match(s).hasMatch()) return 0;
  const int port = s.toInt();
  return port >= kLowestPort && port <= kHighestPort ? port : 0;
}

QString HostAddressLog(const QStringList& addresses) {
  QString log = QStringLiteral(
      "Give your opponent one of these addresses. Behind a router, give the router's Internet address "
      "instead; the router must pass the port on to this computer.\r\n\r\nHOST IP ADDRESS:");
  for (const QString& a : addresses) log += "\r\n" + a;
  return log;
}

FrmConnect::FrmConnect(const QString& PlayerName, platform::UiService& ui, std::function<void()> showHelp,
                       QWidget* mainWindow)
    : QDialog(mainWindow), ui_(ui) {
  setWindowTitle(kConnectCaption);
  setModal(true);
  Label4 = new QLabel(QStringLiteral("Internet Play"), this);
  QFont heading = Label4->font();
  heading.setBold(true);
  heading.setPointSize(heading.pointSize() + 4);
  Label4->setFont(heading);
  lblPlayerName = new QLabel(QStringLiteral("Your online player name is: "), this);
  lblName = new QLabel(PlayerName, this);
  lblName->setToolTip(QStringLiteral("Change your player name BEFORE connecting"));
  lblSetup = new QLabel(QStringLiteral("One player must act as Host for an Internet game. The other player should "
                                       "click the Remote option and then enter in the IP Address that the Host "
                                       "player gives you."),
                        this);
  lblSetup->setWordWrap(true);
  Option1 = new QRadioButton(QStringLiteral("You are the HOST player"), this);
  Option2 = new QRadioButton(QStringLiteral("You are the REMOTE player"), this);
  Option1->setChecked(true);
  Label5 = new QLabel(QStringLiteral("Click CONNECT to get your IP ADDRESS"), this);
  Text2 = new QLineEdit(QString::fromLatin1(kExampleAddress), this);
  Text2->setToolTip(QStringLiteral("The HOST must give you this number."));
  Text2->hide();
  Label6 = new QLabel(QStringLiteral("PORT Number:"), this);
  Text3 = new QLineEdit(QString::fromLatin1(kDefaultPortText), this);
  Text3->setToolTip(QStringLiteral("Leave the PORT# alone, unless you have a problem!"));
  cmdConnect = new QPushButton(QStringLiteral("Connect"), this);
  cmdConnect->setDefault(true);
  cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  cmdHelp = new QPushButton(QStringLiteral("&Help"), this);

  auto* grid = new QGridLayout(this);
  grid->addWidget(Label4, 0, 0, 1, 3);
  grid->addWidget(lblPlayerName, 1, 0);
  grid->addWidget(lblName, 1, 1, 1, 2);
  grid->addWidget(lblSetup, 2, 0, 1, 3);
  grid->addWidget(Option1, 3, 0, 1, 3);
  grid->addWidget(Option2, 4, 0, 1, 3);
  grid->addWidget(Label5, 5, 0, 1, 3);
  grid->addWidget(Text2, 6, 0, 1, 3);
  grid->addWidget(Label6, 7, 0);
  grid->addWidget(Text3, 7, 1);
  grid->addWidget(cmdConnect, 8, 0);
  grid->addWidget(cmdCancel, 8, 1);
  grid->addWidget(cmdHelp, 8, 2);
  // The dialog grows and shrinks with the address box.
  grid->setSizeConstraint(QLayout::SetFixedSize);
  lblSetup->setFixedWidth(400);

  connect(Option1, &QRadioButton::clicked, this, &FrmConnect::Option1_Click);
  connect(Option2, &QRadioButton::clicked, this, &FrmConnect::Option2_Click);
  connect(cmdConnect, &QPushButton::clicked, this, &FrmConnect::cmdConnect_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(cmdHelp, &QPushButton::clicked, this, [showHelp] {
    if (showHelp) showHelp();
  });

  if (mainWindow) {
    const QRect main = mainWindow->frameGeometry();
    move(main.left() + width(), main.top() + kDialogTopBelowMain);
  }
}

void FrmConnect::Option1_Click() {
  Label5->setText(QStringLiteral("Click CONNECT to get your IP ADDRESS"));
  Text2->hide();
  cmdConnect->setText(QStringLiteral("Connect"));
}

void FrmConnect::Option2_Click() {
  Label5->setText(QStringLiteral("Enter the Host's IP Address here:"));
  Label5->show();
  Text2->show();
  SelectAddress();
  cmdConnect->setText(QStringLiteral("Ready to Connect"));
}

void FrmConnect::SelectAddress() {
  Text2->setFocus();
  Text2->selectAll();
}

void FrmConnect::cmdConnect_Click() {
  ConnectChoice choice;
  choice.host = Option1->isChecked();
  if (!choice.host) {
    switch (CheckHostAddress(Text2->text())) {
      case AddressCheck::NotValid:
        ui_.MsgBox(kAddressNotValidText, platform::vbCritical, kLanGameTitle);
        SelectAddress();
        return;
      case AddressCheck::NotDotted:
        ui_.MsgBox(kAddressDotsText, platform::vbCritical, kAddressDotsTitle);
        SelectAddress();
        return;
      case AddressCheck::Ok: break;
    }
    choice.hostIP = vb::Trim(Text2->text());
  }
  choice.port = ParsePort(Text3->text());
  if (choice.port == 0) {
    ui_.MsgBox(kPortText, platform::vbCritical, kLanGameTitle);
    Text3->setFocus();
    Text3->selectAll();
    return;
  }
  choice.confirmed = true;
  choice_ = choice;
  Option1->hide();
  Option2->hide();
  if (choice.host) Label5->setText(QStringLiteral("WAIT... Your IP Address will appear when ready:"));
  accept();
}

}  // namespace net
