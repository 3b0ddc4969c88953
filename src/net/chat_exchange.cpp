// The connection's side of the chat: the chat window it makes and
// releases, the chat lines the peer sends (shown, sounded, their links
// offered) and the player's own, sent from the window's Send.

#include "net/connection.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "net/chat_lines.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/wait.h"
#include "play/state/top_level_command.h"
#include "play/window/frm_play.h"
#include "table/game_state.h"
#include "table/table_view.h"

namespace net {

using table::TableLabel;

FrmChat& Connection::Chat() {
  if (!frmChat_) {
    FrmChatParts chatParts;
    chatParts.UserPath = parts_.folders.UserPath;
    chatParts.DocsPath = parts_.folders.DocsPath;
    chatParts.ui = &parts_.ui;
    chatParts.sound = &parts_.sound;
    chatParts.settingUp = [this] { return parts_.net.SettingUp(); };
    chatParts.AppPath = parts_.folders.AppPath;
    chatParts.DataPath = parts_.folders.DataPath;
    chatParts.screen = platform::ReadScreenMetrics();
    const std::optional<ChatLook> look = chatLook_ ? std::optional<ChatLook>(chatLook_()) : std::nullopt;
    if (look) chatParts.FontColor = look->FontColor;
    chatParts.OpponentAvatar = &OpponentAvatar_;
    chatParts.KeepAvatar = [this](const QString& name) { KeepAvatar(name); };
    chatParts.ShowHelpKeyword = [this](const QString& keyword) { parts_.hooks.ShowHelpKeyword(keyword); };
    chatParts.showDefaultAvatar = Host();
    if (auto* table = dynamic_cast<play::FrmPlay*>(parts_.mainWindow)) {
      const auto inSight = [table] {
        const play::FrmPlay::InSight sights = table->PlacesInSight();
        return ChatSights{sights.piles, sights.lines};
      };
      chatParts.tableInSight = inSight;
      chatParts.linesAside = [table, inSight](bool aside) {
        table->SetLinesBelowPiles(aside);
        return inSight();
      };
    }
    chatParts.place = chatPlace_;
    frmChat_ = new FrmChat(std::move(chatParts), parts_.mainWindow);
    if (look) {
      frmChat_->ShowBackground(look->picture, look->MatColor);
    } else if (chatMatColor_) {
      frmChat_->ShowBackground(chatPicture_, *chatMatColor_);
    }
    connect(frmChat_, &FrmChat::sendClicked, this, &Connection::Command1_Click);
  }
  return *frmChat_;
}

// The picture chosen for the opponent goes into his record once it is in
// force, and is stored unless the connection is still being set up.
void Connection::KeepAvatar(const QString& name) {
  if (!HandshakeDone()) return;
  parts_.netScores.NetScoreRec.AvatarFile = name;
  parts_.scores.CurrentScores.AvatarFile = name;
  if (!parts_.net.SettingUp()) play::SaveScoreRec(parts_.scores, parts_.scoreStore);
}

// Released later, never under the handler or the wait that still shows it.
void Connection::ReleaseChat() {
  if (!frmChat_) return;
  if (const std::optional<QPoint> moved = frmChat_->MovedTo()) chatPlace_ = moved;
  // The lines come back from where they made room for the window.
  if (auto* table = dynamic_cast<play::FrmPlay*>(parts_.mainWindow)) table->SetLinesBelowPiles(false);
  frmChat_->hide();
  frmChat_->deleteLater();
  frmChat_ = nullptr;
}

void Connection::ChatDispatch(const QString& line, bool offerLink) {
  play::NetState& net = parts_.net;
  table::TableView& view = parts_.view;
  view.SetImageVisible(table::TableImage::imgIcon, false);
  ChatReceiveContext context;
  context.UserPath = parts_.folders.UserPath;
  context.DataPath = parts_.folders.DataPath;
  context.remote = net.NetIsHost == play::kNetRemote;
  context.peerVersionEmpty = net.PeerVersion().isEmpty();
  context.joining = parts_.state.CurrentTurn == table::Turn::None;
  const ChatReceipt r = ReadChatLine(line, context);
  if (!r.chat) return;
  parts_.state.RuleMessageShown = false;
  if (r.iconShown) {
    view.SetIconPicture(r.iconFile);
    view.SetImageVisible(table::TableImage::imgIcon, true);
  }
  if (!r.log.isEmpty()) AppendChatLog("\r\n" + r.log);
  // A flood of sounds and slaps plays a few a second; the rest shows in
  // the log as the line came.
  const bool effectSkipped = r.effect && !effectBudget_.Take(effectClock_.elapsed());
  if (effectSkipped) AppendChatLog("\r\n" + r.speaker + r.body);
  if (r.slap && !effectSkipped) AvatarSlap();
  if (!r.sound.isEmpty() && !effectSkipped &&
      (!r.alert || !alertClock_.isValid() || alertClock_.elapsed() >= kChatAlertGapMs)) {
    if (r.alert) alertClock_.start();
    parts_.sound.Play(r.sound);
  }
  if (r.status) SetStatus(TableLabel::StatusMsg, *r.status, true);
  if (r.message) view.SetLabel(TableLabel::lblMessage, *r.message);
  if (r.busyRefused) {
    parts_.ui.MsgBox(kBusyRefusedText, platform::vbCritical, kBusyRefusedTitle);
    NetCleanUp();
    net.NetMsgKind = 0;
    return;
  }
  if (!r.link.isEmpty() && offerLink) OfferLink(r.speaker, r.link);
  if (r.remoteQuit && !quitSaveAsked_ && !quitAskQueued_) {
    // The question comes a moment later, without waiting here; the "GO"
    // that follows, even within the moment, asks only once.
    quitAskQueued_ = true;
    const int ms = static_cast<int>(std::lround(kQuitNoticePauseSeconds * 1000 * parts_.wait.TimeScale()));
    QTimer::singleShot(ms, this, [this] {
      play::TopLevelCommand command(parts_.wait, parts_.state, parts_.mainWindow);
      quitAskQueued_ = false;
      React([this] {
        if (quitSaveAsked_ || parts_.wait.Exiting()) return;
        quitSaveAsked_ = true;
        AskSaveAtEnd();
      });
    });
  }
}

void Connection::EnableChatSend(bool enabled) {
  if (frmChat_) frmChat_->Command1->setEnabled(enabled);
}

void Connection::AppendChatLog(const QString& text) {
  if (!frmChat_) return;
  // Appended; a log grown past its limit loses its front.
  const QString log = frmChat_->Log() + text;
  frmChat_->AppendLog(text);
  if (log.size() > kChatLogLimit) frmChat_->KeepLogEnd(TrimChatLog(log));
  // The caret goes to the end; the focus stays where the player types.
  frmChat_->ScrollLogEnd();
}

// A link from the peer opens only when the player agrees; while one
// question is open, further links are only logged.
void Connection::OfferLink(const QString& speaker, const QString& address) {
  if (linkQuestionOpen_) return;
  linkQuestionOpen_ = true;
  const QString who = vb::Trim(speaker).isEmpty() ? QString::fromLatin1(kUnnamedOpponent) : vb::Trim(speaker);
  const int answer =
      parts_.ui.MsgBox(who + " sent a web link:\r\n\r\n" + address + "\r\n\r\nOpen it in your browser?",
                       platform::vbYesNo | platform::vbQuestion | platform::vbDefaultButton2, kLinkTitle);
  linkQuestionOpen_ = false;
  if (answer != platform::vbYes) return;
  if (!urlOpener_) {
    if (!desktopOpener_) desktopOpener_ = platform::CreateDesktopUrlOpener();
    urlOpener_ = desktopOpener_.get();
  }
  if (platform::IsOpenableUrl(address)) urlOpener_->Open(address);
}

void Connection::FollowMainWindow(bool minimised) {
  if (!frmChat_) return;
  if (minimised) {
    frmChat_->hide();
  } else if (play::IsOnline(parts_.net.NetConnIndex)) {
    frmChat_->show();
  }
}

void Connection::FollowBackground(const QImage* picture, std::uint32_t MatColor) {
  if (!parts_.net.Online()) return;
  chatPicture_ = picture ? *picture : QImage();
  chatMatColor_ = MatColor;
  if (frmChat_) frmChat_->ShowBackground(chatPicture_, MatColor);
}

void Connection::AvatarSlap() {
  if (frmChat_) return frmChat_->AvatarSlap();
  const QString slap = ResolveSound(parts_.folders.UserPath, QString::fromLatin1(kSlapSound));
  if (!slap.isEmpty()) parts_.sound.Play(slap);
}

void Connection::Command1_Click() {
  play::NetState& net = parts_.net;
  if (!frmChat_ || !play::IsPeerPresent(net.NetConnIndex)) return;
  FrmChat* chat = frmChat_;
  const ChatSend s =
      ComposeChatSend(chat->Text2->text(), chat->ChosenIconEntry(), parts_.PlayerName, parts_.folders.UserPath,
                      [chat](const QString& name) { return chat->FindIcon(name); });
  if (!s.send) return;
  ++net.ChatSeq;
  SendNetMessage(ChatLine(net.ChatSeq, parts_.PlayerName + ": " + s.body), play::kNetPeerSocket);
  if (!play::IsOnline(net.NetConnIndex)) {
    ReleaseChat();
    return;
  }
  if (s.iconUsed && frmChat_) frmChat_->IconShow(false);
  if (!s.sound.isEmpty()) parts_.sound.Play(s.sound);
  if (s.slap) AvatarSlap();
  AppendChatLog("\r\n" + s.log);
  if (frmChat_) frmChat_->Text2->clear();
}

}  // namespace net
