#include "net/quick_chat_record.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/recordfile.h"
#include "support/golden_bytes.h"

namespace net {
namespace {

TEST(ChatSavRecord, TextIsStoredBlankPaddedInWindows1252) {
  ChatSavRecord r;
  r.Text = "Bien jou\u00e9 !";
  QByteArray b(100, '\0');
  golden::PutText(b, 0, 100, QByteArray("Bien jou\xE9 !"));
  EXPECT_EQ(r.Encode(), b);
  EXPECT_EQ(ChatSavRecord::Decode(b).Text, "Bien jou\u00e9 !");
}

TEST(ChatSavRecord, ReadingTrimsLeadingAndTrailingBlanks) {
  QByteArray b(100, ' ');
  golden::PutBytes(b, 0, "   good game ");
  EXPECT_EQ(ChatSavRecord::Decode(b).Text, "good game");
}

TEST(ChatSavRecord, LongTextIsCutAtOneHundredCharacters) {
  ChatSavRecord r;
  r.Text = QString(100, 'a') + QString(20, 'b');
  const QByteArray b = r.Encode();
  EXPECT_EQ(b, QByteArray(100, 'a'));
  EXPECT_EQ(ChatSavRecord::Decode(b).Text, QString(100, 'a'));
}

TEST(ChatSavRecord, EmptyShortOrNulRecordsHoldNoText) {
  EXPECT_TRUE(ChatSavRecord::Decode(QByteArray()).Text.isEmpty());
  EXPECT_TRUE(ChatSavRecord::Decode(QByteArray(99, 'x')).Text.isEmpty());
  EXPECT_TRUE(ChatSavRecord::Decode(QByteArray(100, '\0')).Text.isEmpty());
  EXPECT_TRUE(ChatSavRecord::Decode(QByteArray(100, ' ')).Text.isEmpty());
  EXPECT_EQ(ChatSavRecord{}.Encode(), QByteArray(100, ' '));
}

TEST(ChatSavRecord, TwentyButtonsRoundTripThroughRecordFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(kChatSavFileName);
  auto textOf = [](int i) { return i % 3 == 0 ? QString() : QString("Quick line %1 \u00e0 vous").arg(i); };
  {
    platform::RecordFile file;
    ASSERT_TRUE(file.Open(path, kChatSavRecordLength));
    for (int i = 1; i <= kQuickChatButtons; ++i) ASSERT_TRUE(file.Write(i, ChatSavRecord{textOf(i)}.Encode()));
  }
  EXPECT_EQ(QFile(path).size(), 2000);
  platform::RecordFile file;
  ASSERT_TRUE(file.Open(path, kChatSavRecordLength, true));
  for (int i = 1; i <= kQuickChatButtons; ++i) EXPECT_EQ(ChatSavRecord::Decode(file.Read(i)).Text, textOf(i)) << i;
  EXPECT_EQ(ChatSavRecord::Decode(file.Read(kQuickChatButtons + 1)), ChatSavRecord{});
}

}  // namespace
}  // namespace net
