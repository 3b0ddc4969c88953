#include "net/quick_chat_record.h"

#include "platform/recordfile.h"
#include "platform/vb.h"

namespace net {

ChatSavRecord ChatSavRecord::Decode(const QByteArray& bytes) {
  ChatSavRecord r;
  if (bytes.size() < kChatSavRecordLength) return r;
  r.Text = vb::TrimRecord(platform::ByteReader(bytes).Text(kTextOffset, kTextWidth));
  return r;
}

QByteArray ChatSavRecord::Encode() const {
  QByteArray bytes(kChatSavRecordLength, ' ');
  platform::ByteWriter(bytes).Text(kTextOffset, kTextWidth, Text);
  return bytes;
}

}  // namespace net
