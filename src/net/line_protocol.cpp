#include "net/line_protocol.h"

#include <QRegularExpression>
#include <algorithm>

#include "platform/vb.h"
#include "play/records/score_record.h"

namespace net {

namespace {

QString NoLineBreaks(QString text) {
  text.replace(QChar('\r'), QChar(' '));
  text.replace(QChar('\n'), QChar(' '));
  return text;
}

QString Tagged(const char* tag, const QString& payload) {
  return QString::fromLatin1(tag) + QChar(' ') + NoLineBreaks(payload);
}

// A whole number that fits the 16-bit fields the program keeps it in.
bool Number16(const QString& digits, std::int16_t& value) {
  bool ok = false;
  const int n = digits.toInt(&ok);
  if (!ok || n < -32768 || n > 32767) return false;
  value = static_cast<std::int16_t>(n);
  return true;
}

// A "#"-separated list of Str numbers, each field ended by "#", with the
// given text before the first field; counts the fields.
bool NumberList(const QString& list, int& fields) {
  static const QRegularExpression field(QStringLiteral("^ ?(-?\\d{1,5})#"));
  fields = 0;
  int pos = 0;
  while (pos < list.size()) {
    const QRegularExpressionMatch m = field.match(list.mid(pos, 10));
    std::int16_t value = 0;
    if (!m.hasMatch() || !Number16(m.captured(1), value)) return false;
    pos += static_cast<int>(m.capturedLength(0));
    ++fields;
  }
  return fields > 0;
}

// A field that may hold the game time, in whatever form: it has a digit.
bool GameTimeField(const QString& field) {
  for (QChar c : field) {
    if (c.isDigit()) return true;
  }
  return false;
}

bool PileName(const QString& name) {
  return name == QLatin1String(kPicPlayer) || name == QLatin1String(kPicOpponent) ||
         name == QLatin1String(kPicTableau) || name == QLatin1String(kPicCenter);
}

NetMessage Violation() {
  NetMessage m;
  m.violation = true;
  return m;
}

}  // namespace

QString NetVersionText(int major, int minor, int revision) {
  return vb::Str(major) + "." + vb::Str(minor) + "." + vb::Str(revision);
}

QString IpLine(const QString& versionText, int socketIndex) {
  return Tagged(kTagIP, versionText + "^" + vb::Str(socketIndex));
}
QString IpAnswer(const QString& versionText) { return Tagged(kTagIP, versionText); }
QString NmLine(const QString& playerName) { return Tagged(kTagNM, playerName); }
QString GsLine(int matchPoints) { return QString::fromLatin1(kTagGS) + vb::Str(matchPoints); }
QString TrLine(int turn) { return Tagged(kTagTR, vb::Str(turn)); }
QString DkLine(const QString& list) { return Tagged(kTagDK, "#" + list); }
QString PcLine(const QString& fromPile, int fromIndex, const QString& toPile, int toIndex) {
  return Tagged(kTagPC,
                fromPile + "#" + vb::Trim(vb::Str(fromIndex)) + "#" + toPile + "#" + vb::Trim(vb::Str(toIndex)));
}
QString RcLine(const QString& list) { return Tagged(kTagRC, list); }
QString EgLine(const QString& word) { return word.isEmpty() ? QString::fromLatin1(kTagEG) : Tagged(kTagEG, word); }
QString ChatLine(int sequence, const QString& text) { return Tagged(kTagSY, vb::Str(sequence) + "#" + text); }

QByteArray Line(const QString& text) { return vb::ToCp1252(NoLineBreaks(text)) + '\n'; }

void AppendNetNumber(QString& list, int value) { list += vb::Str(value) + "#"; }

std::int16_t NextNetNumber(const QString& data, std::int16_t& pos) {
  const int found = vb::InStr(data, QStringLiteral("#"), pos + 1);
  if (found == 0) {
    pos = static_cast<std::int16_t>(data.size());
    return 0;
  }
  pos = static_cast<std::int16_t>(found);
  return vb::CInt(vb::Val(vb::Mid(data, found + 1)));
}

QString CleanPeerName(const QString& name) {
  QString clean;
  for (QChar c : name) {
    if (c.category() != QChar::Other_Control) clean += c;
  }
  return vb::Trim(vb::Trim(clean).left(kPeerNameWidth));
}

QString PeerVersionDigits(const QString& line) { return vb::Trim(vb::Mid(line, 5, 1)) + vb::Trim(vb::Mid(line, 8, 1)); }

void GetTabOrder(const QString& peerVersion, bool host, TabOrder& order) {
  for (int i = 1; i <= table::kSharedPiles; ++i) order.Out[i] = static_cast<std::int16_t>(table::kSharedPiles + 1 - i);
  if (QString::compare(peerVersion, QLatin1String(kCurrentPeerVersion)) >= 0) return;
  if (host) {
    order.Out = {0, 5, 6, 7, 8, 4, 3, 2, 1};
    order.In = {0, 8, 7, 6, 5, 1, 2, 3, 4};
  } else {
    order.Out = {0, 1, 2, 3, 4, 8, 7, 6, 5};
    order.In = order.Out;
  }
}

NetMessage ParseNetLine(const QString& line, bool host) {
  const QString tag = line.left(2);
  if (line.size() > 2 && line[2] != QChar(' ')) {
    // A known tag glued to other text is no line of the game; anything else
    // is a tag this program does not know.
    static const QStringList known{kTagIP, kTagNM, kTagGS, kTagDK, kTagTR, kTagGO, kTagPC,
                                   kTagWT, kTagOK, kTagRC, kTagRS, kTagEG, kTagSY};
    return known.contains(tag) ? Violation() : NetMessage{};
  }
  const bool bare = line.size() == 2;
  const QString payload = line.mid(3);
  NetMessage m;

  if (tag == QLatin1String(kTagSY)) {
    m.chat = true;
    return m;
  }
  if (tag == QLatin1String(kTagIP)) {
    // Host: the remote's answer carries the version only; remote: the
    // host's line carries the socket index after "^".
    static const QRegularExpression hostIp(QStringLiteral("^ (\\d{1,5})\\. (\\d{1,5})\\. (\\d{1,5})\\^ (\\d{1,5})$"));
    static const QRegularExpression answer(QStringLiteral("^ (\\d{1,5})\\. (\\d{1,5})\\. (\\d{1,5})$"));
    const QRegularExpressionMatch ipm = (host ? answer : hostIp).match(payload);
    if (!ipm.hasMatch()) return Violation();
    for (int i = 1; i <= ipm.lastCapturedIndex(); ++i) {
      std::int16_t part = 0;
      if (!Number16(ipm.captured(i), part)) return Violation();
    }
    m.kind = kMsgIP;
    m.version = PeerVersionDigits(line);
    return m;
  }
  if (tag == QLatin1String(kTagNM)) {
    m.text = CleanPeerName(payload);
    if (m.text.isEmpty()) return Violation();
    m.kind = kMsgNM;
    return m;
  }
  if (tag == QLatin1String(kTagGS)) {
    if (host) {
      if (!bare) return Violation();
    } else {
      static const QRegularExpression points(QStringLiteral("^\\d{1,4}$"));
      std::int16_t value = 0;
      if (!points.match(payload).hasMatch() || !Number16(payload, value)) return Violation();
      if (value != kNoMatch && (value < play::kLowestMatchTarget || value > play::kHighestMatchTarget))
        return Violation();
      m.value = value;
      m.hasValue = true;
    }
    m.kind = kMsgGS;
    return m;
  }
  if (tag == QLatin1String(kTagDK)) {
    if (host) {
      if (!bare) return Violation();
    } else {
      int fields = 0;
      if (!payload.startsWith('#') || !NumberList(payload.mid(1), fields) ||
          (fields != kDeckFields && fields != kDeckFieldsInMatch))
        return Violation();
      m.text = vb::Trim(payload);
    }
    m.kind = kMsgDK;
    return m;
  }
  if (tag == QLatin1String(kTagTR)) {
    if (host) {
      if (!bare) return Violation();
    } else {
      if (payload != QLatin1String(" 1") && payload != QLatin1String(" 2")) return Violation();
      m.value = static_cast<std::int16_t>(payload[1].digitValue());
      m.hasValue = true;
    }
    m.kind = kMsgTR;
    return m;
  }
  if (tag == QLatin1String(kTagPC)) {
    if (!bare) {
      static const QRegularExpression move(QStringLiteral("^(pic[A-Za-z]+)#([1-8])#(pic[A-Za-z]+)#([1-8])$"));
      const QRegularExpressionMatch mm = move.match(payload);
      if (!mm.hasMatch() || !PileName(mm.captured(1)) || !PileName(mm.captured(3))) return Violation();
      m.hasMove = true;
      m.fromPile = mm.captured(1);
      m.fromIndex = static_cast<std::int16_t>(mm.captured(2).toInt());
      m.toPile = mm.captured(3);
      m.toIndex = static_cast<std::int16_t>(mm.captured(4).toInt());
    }
    m.kind = kMsgPC;
    return m;
  }
  if (tag == QLatin1String(kTagWT)) {
    if (!bare) {
      if (payload.size() != 1 || !payload[0].isDigit()) return Violation();
      m.value = static_cast<std::int16_t>(payload[0].digitValue());
      m.hasValue = true;
    }
    m.kind = kMsgWT;
    return m;
  }
  if (tag == QLatin1String(kTagRC)) {
    if (host) {
      if (!bare) return Violation();
    } else {
      // Numbers, and one field for the game time, which a program may write
      // in a form of its own; the list is checked whole when it is read.
      const QString list = vb::Trim(payload);
      if (!list.endsWith('#')) return Violation();
      bool timeSeen = false;
      const QStringList fields = list.left(list.size() - 1).split('#');
      for (const QString& field : fields) {
        std::int16_t value = 0;
        if (Number16(field.trimmed(), value)) continue;
        if (timeSeen || !GameTimeField(field)) return Violation();
        timeSeen = true;
      }
      m.text = list;
    }
    m.kind = kMsgRC;
    return m;
  }
  if (tag == QLatin1String(kTagEG)) {
    if (!bare) {
      // Only the host announces a stalemate or an ended match.
      if (host || (payload != QLatin1String(kEndStalemate) && payload != QLatin1String(kEndMatch))) return Violation();
      m.text = payload;
    }
    m.kind = kMsgEG;
    return m;
  }
  const auto bareKind = [&](std::int16_t kind) {
    if (!bare) return Violation();
    m.kind = kind;
    return m;
  };
  if (tag == QLatin1String(kTagGO)) return bareKind(kMsgGO);
  if (tag == QLatin1String(kTagOK)) return bareKind(kMsgOK);
  if (tag == QLatin1String(kTagRS)) return bareKind(kMsgRS);
  return NetMessage{};
}

bool LineSplitter::Append(const QByteArray& bytes) {
  if (overflowed_) return false;
  // Taken lines are dropped only once they are half the buffer, so that
  // taking a line costs no copy of the rest.
  if (head_ > 0 && head_ >= buffer_.size() / 2) {
    buffer_.remove(0, head_);
    head_ = 0;
  }
  const qsizetype oldSize = buffer_.size();
  buffer_ += bytes;
  if (buffer_.size() - head_ > kMaxQueuedBytes) {
    Clear();
    overflowed_ = true;
    return false;
  }
  // Only the lines touched by the new bytes need a look.
  qsizetype start = oldSize == head_ ? head_ : std::max(head_, buffer_.lastIndexOf('\n', oldSize - 1) + 1);
  while (start <= buffer_.size()) {
    qsizetype end = buffer_.indexOf('\n', start);
    const qsizetype length = (end < 0 ? buffer_.size() : end) - start;
    if (length > kMaxLineBytes) {
      Clear();
      overflowed_ = true;
      return false;
    }
    if (end < 0) break;
    start = end + 1;
  }
  return true;
}

bool LineSplitter::TakeLine(QByteArray& line) {
  const qsizetype end = buffer_.indexOf('\n', head_);
  if (end < 0) return false;
  line = buffer_.mid(head_, end - head_);
  if (line.endsWith('\r')) line.chop(1);
  head_ = end + 1;
  if (head_ == buffer_.size()) {
    buffer_.clear();
    head_ = 0;
  }
  return true;
}

}  // namespace net
