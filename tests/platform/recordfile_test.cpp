#include "platform/recordfile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/system.h"
#include "platform/ui.h"
#include "platform/write_failures.h"
#include "support/child_process.h"
#include "support/fake_ui.h"

using platform::ByteReader;
using platform::ByteWriter;
using platform::RecordFile;

using testing_support::InChild;
using testing_support::InChildUnderFileSizeLimit;

namespace {

QByteArray FileBytes(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return f.readAll();
}

}  // namespace

TEST(ByteCodec, WritesLittleEndianAtOffsetsByteExact) {
  QByteArray rec(24, '\xAA');
  ByteWriter w(rec);
  w.I16(0, -2);
  w.I32(2, 0x12345678);
  w.F64(6, 1.0);
  w.F32(14, -2.0f);
  w.Text(18, 4, "ab");
  w.Bytes(22, QByteArray("\x01\x02", 2));
  EXPECT_EQ(rec.toHex(' '), QByteArray("fe ff 78 56 34 12 00 00 00 00 00 00 f0 3f 00 00 00 c0 61 62 20 20 01 02"));

  ByteReader r(rec);
  EXPECT_EQ(r.I16(0), -2);
  EXPECT_EQ(r.I32(2), 0x12345678);
  EXPECT_EQ(r.F64(6), 1.0);
  EXPECT_EQ(r.F32(14), -2.0f);
  EXPECT_EQ(r.Text(18, 4), "ab  ");
  EXPECT_EQ(r.Bytes(22, 2), QByteArray("\x01\x02", 2));
}

TEST(ByteCodec, OutsideTheBytesReadsZeroAndWritesAreCut) {
  QByteArray rec("\x01\x02\x03\x04", 4);
  ByteReader r(rec);
  EXPECT_EQ(r.I16(3), 0);  // straddles the end
  EXPECT_EQ(r.I32(-1), 0);
  EXPECT_EQ(r.F64(0), 0.0);
  EXPECT_EQ(r.Bytes(2, 4), QByteArray("\x03\x04\x00\x00", 4));
  EXPECT_EQ(r.Bytes(-2, 3), QByteArray("\x00\x00\x01", 3));
  EXPECT_EQ(r.Text(0, 0), "");

  ByteWriter w(rec);
  w.I32(2, 0x7F7E7D7C);
  w.Text(-1, 3, "xyz");
  w.I16(100, 5);
  EXPECT_EQ(rec, QByteArray("\x79\x7A\x7C\x7D", 4));
  EXPECT_EQ(rec.size(), 4);
}

TEST(ByteCodec, TextIsWindows1252) {
  QByteArray rec(6, '\0');
  ByteWriter(rec).Text(0, 6, QString::fromUtf8("caf\u00e9\u20ac"));
  EXPECT_EQ(rec, QByteArray("caf\xE9\x80 "));
  EXPECT_EQ(ByteReader(rec).Text(0, 6), QString::fromUtf8("caf\u00e9\u20ac "));
}

TEST(RecordFileTest, RecordsFromOneWithZeroFilledGaps) {
  QTemporaryDir dir;
  const QString path = dir.filePath("players.dat");
  RecordFile f;
  ASSERT_TRUE(f.Open(path, 4));
  EXPECT_TRUE(f.IsOpen());
  EXPECT_EQ(f.Path(), path);
  EXPECT_EQ(f.RecordLength(), 4);
  EXPECT_EQ(f.RecordCount(), 0);
  EXPECT_EQ(f.Read(1), QByteArray(4, '\0'));

  ASSERT_TRUE(f.Write(3, "abcd"));
  ASSERT_TRUE(f.Write(1, "xy"));      // padded with zeros
  ASSERT_TRUE(f.Write(2, "123456"));  // cut to the record length
  ASSERT_TRUE(f.Flush());
  EXPECT_EQ(f.RecordCount(), 3);
  EXPECT_EQ(FileBytes(path), QByteArray("xy\0\0"
                                        "1234"
                                        "abcd",
                                        12));
  EXPECT_EQ(f.Read(2), "1234");
  EXPECT_EQ(f.Read(9), QByteArray(4, '\0'));

  ASSERT_TRUE(f.Write(5, "eeee"));
  ASSERT_TRUE(f.Flush());
  EXPECT_EQ(FileBytes(path).mid(12), QByteArray("\0\0\0\0"
                                                "eeee",
                                                8));

  // Record 0 and below are never touched.
  EXPECT_FALSE(f.Write(0, "zzzz"));
  EXPECT_FALSE(f.Write(-1, "zzzz"));
  EXPECT_TRUE(f.Read(0).isEmpty());
  EXPECT_EQ(FileBytes(path).left(4), QByteArray("xy\0\0", 4));
}

TEST(RecordFileTest, ShortLastRecordReadsWithZeroTailAndIsExtended) {
  QTemporaryDir dir;
  const QString path = dir.filePath("short.dat");
  {
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::WriteOnly));
    raw.write("abcdef");
  }
  RecordFile f;
  ASSERT_TRUE(f.Open(path, 4));
  EXPECT_EQ(f.RecordCount(), 1);
  EXPECT_EQ(f.Read(2), QByteArray("ef\0\0", 4));
  ASSERT_TRUE(f.Write(3, "wxyz"));
  f.Close();
  EXPECT_EQ(FileBytes(path), QByteArray("abcdef\0\0wxyz", 12));
}

TEST(RecordFileTest, ReadOnlyAndFailedOpens) {
  QTemporaryDir dir;
  const QString path = dir.filePath("ro.dat");
  RecordFile f;
  EXPECT_FALSE(f.Open(path, 4, true));  // missing, and not created
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_FALSE(f.IsOpen());
  EXPECT_TRUE(f.Read(1).isEmpty());
  EXPECT_FALSE(f.Write(1, "abcd"));
  EXPECT_FALSE(f.Flush());
  EXPECT_EQ(f.RecordCount(), 0);

  EXPECT_FALSE(f.Open(dir.filePath("no/such/folder/x.dat"), 4));
  EXPECT_FALSE(f.Open(path, 0));

  ASSERT_TRUE(f.Open(path, 4));
  ASSERT_TRUE(f.Write(1, "abcd"));
  f.Close();
  EXPECT_FALSE(f.IsOpen());
  EXPECT_TRUE(f.Path().isEmpty());

  ASSERT_TRUE(f.Open(path, 4, true));
  EXPECT_EQ(f.Read(1), "abcd");
  EXPECT_FALSE(f.Write(1, "zzzz"));
  EXPECT_EQ(f.Read(1), "abcd");
}

TEST(RecordFileTest, AWrittenRecordSurvivesAKillingOfTheProgram) {
  QTemporaryDir dir;
  const QString path = dir.filePath("backup4.sav");
  const int status = InChild([&] {
    RecordFile f;
    if (!f.Open(path, 4)) return 1;
    f.Write(1, "aaaa");
    f.Write(13, "dddd");
    raise(SIGKILL);  // no close, no flush, no destructor
    return 2;
  });
  ASSERT_TRUE(WIFSIGNALED(status));
  const QByteArray bytes = FileBytes(path);
  ASSERT_EQ(bytes.size(), 13 * 4);
  EXPECT_EQ(bytes.left(4), "aaaa");
  EXPECT_EQ(bytes.right(4), "dddd");
}

TEST(RecordFileTest, AWriteThatFailsPartWayLeavesTheFileAsItWasAndIsToldOncePerFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath("backup4.sav");
  const QString other = dir.filePath("players4.sav");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("aaaabbbbXY");  // two records and the start of a third
  }
  const QByteArray before = FileBytes(path);
  // No file may grow beyond 10 bytes: record 3 gets two bytes in before
  // its write fails, record 5 cannot even be reached.
  const int status = InChildUnderFileSizeLimit(10, [&] {
    platform::FakeUi ui;
    platform::WriteFailures failures(ui);
    RecordFile f, g;
    f.ReportFailuresTo(&failures);
    g.ReportFailuresTo(&failures);
    if (!f.Open(path, 4) || !g.Open(other, 4)) return 1;
    const bool third = f.Write(3, "cccc");
    const bool fifth = f.Write(5, "eeee");
    const bool second = f.Write(2, "BBBB");  // in place, inside the limit
    if (third || fifth || !second || f.LastError() != "File too large") return 2;
    if (ui.boxes.size() != 1 || ui.boxes[0].text != platform::WriteFailedText(path, "File too large") ||
        ui.boxes[0].title != "Marrowdale" || ui.boxes[0].icon() != platform::vbExclamation)
      return 4;
    // Another file is told of on its own.
    if (g.Write(4, "dddd") || ui.boxes.size() != 2 || !ui.boxes[1].text.contains(other)) return 5;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  QByteArray expected = before;
  expected.replace(4, 4, "BBBB");
  EXPECT_EQ(FileBytes(path), expected);
  EXPECT_EQ(FileBytes(other), QByteArray());
}

// As the program starts: a write past the file-size limit does not end
// the program but fails, and the user is told the system's reason.
TEST(RecordFileTest, AWriteUnderAFileSizeLimitReportsFileTooLarge) {
  QTemporaryDir dir;
  const QString path = dir.filePath("backup4.sav");
  const int status = InChild([&] {
    platform::IgnoreFileSizeSignal();
    platform::IgnoreFileSizeSignal();  // asking twice changes nothing
    const rlimit limit{1024, 1024};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 3;
    platform::FakeUi ui;
    platform::WriteFailures failures(ui);
    RecordFile f;
    f.ReportFailuresTo(&failures);
    if (!f.Open(path, 1852)) return 1;
    if (f.Write(1, QByteArray(1852, 'g')) || f.LastError() != "File too large") return 2;
    if (ui.boxes.size() != 1 || ui.boxes[0].text != platform::WriteFailedText(path, "File too large")) return 4;
    return 0;
  });
  ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(QFileInfo(path).size(), 0);
}

// Records that belong together, and a copied file, land whole or not at
// all: where the file may not grow, the file keeps every byte, nothing
// half written is left beside it, and the reason is the system's.
TEST(RecordFileTest, RecordsWrittenTogetherLandWholeOrNotAtAll) {
  QTemporaryDir dir;
  const QString path = dir.filePath("backup4.sav");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("aaaabbbbXY");  // two records and the start of a third
  }
  {
    RecordFile f;
    ASSERT_TRUE(f.Open(path, 4));
    EXPECT_FALSE(f.IsCut(2));
    EXPECT_TRUE(f.IsCut(3));
    EXPECT_FALSE(f.IsCut(4));
    ASSERT_TRUE(f.WriteTogether({{1, "AAAA"}, {4, "DDDD"}}));
    EXPECT_EQ(f.Read(1), "AAAA");  // the file in use is the new one
    ASSERT_TRUE(f.Write(2, "BBBB"));
  }
  const QByteArray before = FileBytes(path);
  EXPECT_EQ(before, QByteArray("AAAABBBBXY\0\0DDDD", 16));
  const QString big = dir.filePath("big.sav");
  {
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(40, 'x'));
  }

  const int status = InChildUnderFileSizeLimit(18, [&] {
    RecordFile f;
    if (!f.Open(path, 4)) return 1;
    // Record 1 fits in place, record 5 would grow the file past the limit.
    if (f.WriteTogether({{1, "1111"}, {5, "5555"}}) || f.LastError() != "File too large") return 2;
    if (platform::CopyWholeFile(big, dir.filePath("copy.sav")) != "File too large") return 4;
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(path), before);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"backup4.sav", "big.sav"}));

  EXPECT_EQ(platform::CopyWholeFile(path, dir.filePath("copy.sav")), QString());
  EXPECT_EQ(FileBytes(dir.filePath("copy.sav")), before);
  EXPECT_FALSE(platform::CopyWholeFile(path, dir.filePath("copy.sav")).isEmpty());  // never over a file
}
