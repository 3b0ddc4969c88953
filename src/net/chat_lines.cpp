#include "net/chat_lines.h"

#include <QDir>
#include <QFileInfo>

#include "platform/system.h"
#include "platform/vb.h"

namespace net {

namespace {

bool BareName(const QString& name) {
  if (name.isEmpty() || name.size() > kMediaNameLimit || name.startsWith('.')) return false;
  for (const QChar c : name) {
    if (c.unicode() < 0x20 || c.unicode() == 0x7F) return false;
    if (QStringLiteral("/\\:*?\"<>|").contains(c)) return false;
  }
  return true;
}

bool HasExtension(const QString& name, const QStringList& extensions) {
  for (const QString& e : extensions)
    if (name.endsWith('.' + e, Qt::CaseInsensitive)) return true;
  return false;
}

// The name without a final extension of four characters, as the lists and
// labels show it; a shorter name stands whole.
QString WithoutExtension(const QString& name) {
  const int dot = name.lastIndexOf('.');
  return dot > 0 && name.size() - dot == 4 ? name.left(dot) : name;
}

QString Upper(const QString& s, int n) { return vb::Left(s, n).toUpper(); }

}  // namespace

QString ResolveMediaName(const QString& folder, QString name, const QStringList& extensions, const QString& added) {
  name = vb::Trim(name);
  if (!HasExtension(name, extensions)) {
    if (added.isEmpty()) return {};
    name += '.' + added;
  }
  if (!BareName(name)) return {};
  const QDir dir(folder);
  // The folder is listed, never searched by pattern: the name is only compared.
  for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
    if (info.isFile() && !info.isSymLink() && info.fileName().compare(name, Qt::CaseInsensitive) == 0)
      return info.absoluteFilePath();
  }
  return {};
}

QString ResolveSound(const QString& UserPath, const QString& name) {
  return ResolveMediaName(UserPath + kSoundsFolder, name, {QStringLiteral("wav")}, QStringLiteral("wav"));
}

QString ResolveIcon(const QString& UserPath, const QString& name) {
  return ResolveMediaName(UserPath + kIconsFolder, name, {QStringLiteral("gif"), QStringLiteral("jpg")});
}

QString TrimChatLog(const QString& log) { return log.size() > kChatLogLimit ? log.right(kChatLogKeep) : log; }

ChatReceipt ReadChatLine(const QString& line, const ChatReceiveContext& context) {
  ChatReceipt r;
  const int n = vb::InStr(line, QStringLiteral("#"));
  if (!line.startsWith(QLatin1String("SY")) || n == 0) return r;
  r.chat = true;
  r.sequence = vb::CInt(vb::Val(vb::Mid(line, 4, n - 4)));
  const QString rest = vb::Trim(vb::Mid(line, n + 1));
  QString speaker;
  QString body = rest;
  if (const int p = vb::InStr(rest, QStringLiteral(":")); p > 0) {
    speaker = vb::Left(rest, p + 1);
    if (vb::Left(speaker, 5) == QLatin1String("$-MD:")) speaker = kHostSpeaker;
    body = vb::Mid(rest, p + 2);
  }
  r.speaker = speaker;

  if (Upper(body, 4) == QLatin1String("HTTP")) {
    // Shown as text; only a well-formed address is offered for opening.
    r.log = speaker + body;
    if (platform::IsOpenableUrl(vb::Trim(body))) r.link = vb::Trim(body);
    r.body = body;
    return r;
  }
  if (Upper(body, 5) == QLatin1String("KOVRA")) return r;
  if (Upper(body, 4) == QLatin1String("WAV ")) {
    const QString name = vb::Trim(vb::Mid(body, 5));
    if (speaker != QLatin1String(kNoticeSpeaker)) {
      QString shown = name;
      if (shown.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) shown.chop(4);
      r.message = "Sound from " + speaker + shown;
    }
    r.sound = ResolveSound(context.UserPath, name);
    r.effect = true;
    r.body = body;
    return r;
  }
  if (Upper(body, 7) == QLatin1String("<SMACK>") || Upper(body, 6) == QLatin1String("<SLAP>")) {
    r.slap = true;
    r.effect = true;
    r.message = speaker + "sent SLAP!";
    r.body = body;
    return r;
  }
  QString label;
  if (Upper(body, 4) == QLatin1String("ICO ")) {
    const int e = vb::InStr(body, QStringLiteral("!"));
    const QString icon = e > 0 ? vb::Mid(body, 5, e - 5) : QString();
    if (e > 0) body = vb::Mid(body, e + 1);
    r.iconShown = true;
    r.iconFile = ResolveIcon(context.UserPath, icon);
    label = r.iconFile.isEmpty() ? icon + kPictureNotFound : WithoutExtension(icon);
  }
  // Only the program's own quit notice, which has no speaker, ends a game.
  if (speaker.isEmpty() && body.endsWith(QLatin1String(kQuitMarker))) {
    body.chop(1);
    r.remoteQuit = context.remote;
    // The host's notice ends the game for both: it is logged as what it
    // is, and the end itself tells the table.
    if (r.remoteQuit) body = vb::Trim(body.chopped(QLatin1String(kQuitMarker).size() - 1)) + kHostEndedText;
  }
  r.body = body;
  r.log = r.iconShown ? speaker + "PIC <" + label + "> " + body : speaker + body;
  if (speaker == QLatin1String(kHostSpeaker)) {
    r.sound = context.DataPath + kHostNoticeSound;
    r.status = body;
  } else if (speaker != QLatin1String(kNoticeSpeaker)) {
    r.sound = context.DataPath + kChatAlertSound;
  }
  r.alert = !r.sound.isEmpty();
  if (!r.remoteQuit) r.message = r.iconShown ? "\r\n\r\n" + body : body;
  // A host that greeted this side may still take another caller (or make
  // room for newer ones): its busy line then comes after the greeting, as
  // the host sends it and no player's words can be.
  r.busyRefused =
      context.remote && (context.peerVersionEmpty ? rest.contains(QLatin1String(kBusyChatText))
                                                  : context.joining && rest == QLatin1String(kBusyChatText));
  return r;
}

bool EffectBudget::Take(qint64 nowMs) {
  if (count_ == kEffectsPerSpan && nowMs - played_[next_] < kEffectSpanMs) return false;
  played_[next_] = nowMs;
  next_ = (next_ + 1) % kEffectsPerSpan;
  if (count_ < kEffectsPerSpan) ++count_;
  return true;
}

ShortCut ShortCutCheck(const QString& text) {
  struct Face {
    const char* typed;
    const char* name;
  };
  static constexpr Face kFirst[] = {{";-)", "Wink"}, {">:0", "Angry"}, {">:O", "Angry"}, {">:o", "Angry"}};
  for (const Face& f : kFirst) {
    if (const int at = text.indexOf(QLatin1String(f.typed)); at >= 0)
      return {text.left(at) + text.mid(at + 3), QString::fromLatin1(f.name)};
  }
  const int colon = text.indexOf(':');
  if (colon < 0) return {text, {}};
  const QString after = text.mid(colon + 1, 2);
  static constexpr Face kAfterColon[] = {{"-D", "Grinning"}, {"-[", "Embarrassed"}, {"-}", "Mischievous"},
                                         {"-(", "Sad"},      {"-P", "Begging"},     {"-p", "Begging"},
                                         {"'(", "Crying"}};
  for (const Face& f : kAfterColon) {
    if (after == QLatin1String(f.typed)) return {text.left(colon) + text.mid(colon + 3), QString::fromLatin1(f.name)};
  }
  return {text, {}};
}

ChatSend ComposeChatSend(const QString& input, std::optional<ChosenIcon> icon, const QString& PlayerName,
                         const QString& UserPath,
                         const std::function<std::optional<ChosenIcon>(const QString&)>& findIcon) {
  ChatSend s;
  // The input box as it stands decides the kind of line; the log shows it
  // trimmed.
  QString box = input;
  if (vb::Trim(box).isEmpty() && !icon) return s;
  const ShortCut cut = ShortCutCheck(vb::Trim(box));
  QString text = cut.text;
  if (!cut.iconName.isEmpty() && findIcon) {
    if (auto found = findIcon(cut.iconName)) icon = found;
  }
  if (icon) {
    text = "ICO " + icon->file + "!" + text;
    box = "PIC <" + icon->listName + "> " + box;
    s.iconUsed = true;
  }
  if (text == QLatin1String("<SLAP>")) text = QStringLiteral("<SMACK>");
  if (Upper(box, 4) == QLatin1String("WAV ")) {
    // The typed name goes, as the line shows it; without one nothing does.
    QString name = vb::Trim(vb::Mid(box, 5));
    if (name.isEmpty()) return s;
    if (!name.endsWith(QLatin1String(".wav"), Qt::CaseInsensitive)) name += QLatin1String(".wav");
    text = "WAV " + name;
    s.sound = ResolveSound(UserPath, name);
    s.log = "Sent: WAV " + vb::Trim(vb::Mid(box, 5));
  } else if (Upper(box, 7) == QLatin1String("<SMACK>")) {
    s.slap = true;
    s.log = QStringLiteral("Sent: Smack Slap! (Ouch!) ");
  } else if (Upper(box, 6) == QLatin1String("<SLAP>")) {
    s.log = QStringLiteral("Sent: You slapped your opponent! ");
  } else {
    s.log = PlayerName + ": " + vb::Trim(box);
  }
  s.send = true;
  s.body = text;
  return s;
}

}  // namespace net
