#pragma once
// The record of "Chat.sav" in the user's folder: the stored text of one
// quick-chat button, records 1..20 in button order.

#include <QByteArray>
#include <QString>

namespace net {

constexpr int kChatSavRecordLength = 100;
constexpr int kQuickChatButtons = 20;
inline constexpr char kChatSavFileName[] = "Chat.sav";

struct ChatSavRecord {
  static constexpr int kTextOffset = 0;
  static constexpr int kTextWidth = kChatSavRecordLength;

  // Trimmed of blanks (and of the NULs of a record never written) on
  // reading; an empty text means none is stored.
  QString Text;

  // The first kChatSavRecordLength bytes; a shorter input gives the empty
  // record.
  static ChatSavRecord Decode(const QByteArray& bytes);
  // Exactly kChatSavRecordLength bytes: the text cut or blank-padded.
  QByteArray Encode() const;

  bool operator==(const ChatSavRecord&) const = default;
};

}  // namespace net
