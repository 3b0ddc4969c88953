#include "platform/system.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "support/child_process.h"

using namespace platform;

TEST(InstanceLockTest, SecondLockInTheSameFolderFailsWhileTheFirstIsHeld) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("User");  // made when missing
  {
    InstanceLock first(folder);
    ASSERT_TRUE(first.TryLock());
    EXPECT_TRUE(first.TryLock());  // asking again keeps it
    InstanceLock second(folder);
    EXPECT_FALSE(second.TryLock());
    EXPECT_TRUE(second.HeldByLiveCopy());
    EXPECT_EQ(second.HolderPid(), QCoreApplication::applicationPid());
    EXPECT_EQ(second.HolderHost(), ThisHostName());
  }
  InstanceLock after(folder);
  EXPECT_TRUE(after.TryLock());
}

// Only a live holder stops a start: what a killed copy left in the file
// (nothing, or noise) does not, while a copy in another process that holds
// it does until it ends. A folder in the lock file's place is named.
TEST(InstanceLockTest, OnlyALiveCopyHoldsTheLockWhateverTheFileHolds) {
  QTemporaryDir dir;
  const QString folder = dir.path();
  const QString path = dir.filePath("Marrowdale.lock");
  for (const QByteArray& left :
       {QByteArray(), QByteArray("\x8f\x00\xffgarbage\n\n\x01", 13), QByteArray("4000000\nsomewhere-else\n")}) {
    {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write(left);
    }
    InstanceLock lock(folder);
    EXPECT_TRUE(lock.TryLock()) << left.toHex().toStdString();
  }

  int toChild[2], toParent[2];
  ASSERT_EQ(pipe(toChild), 0);
  ASSERT_EQ(pipe(toParent), 0);
  const pid_t child = fork();
  if (child == 0) {
    InstanceLock held(folder);
    const char ok = held.TryLock() ? 'y' : 'n';
    if (write(toParent[1], &ok, 1) != 1) _exit(2);
    char go = 0;
    if (read(toChild[0], &go, 1) != 1) _exit(3);  // holds it until told
    _exit(0);
  }
  char ok = 0;
  ASSERT_EQ(read(toParent[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  {
    InstanceLock second(folder);
    EXPECT_FALSE(second.TryLock());
    EXPECT_TRUE(second.HeldByLiveCopy());
    EXPECT_EQ(second.HolderPid(), child);
    EXPECT_TRUE(second.Problem().isEmpty());
  }
  // Killed, not ended: the system drops its lock all the same.
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  {
    InstanceLock after(folder);
    EXPECT_TRUE(after.TryLock());
  }

  ASSERT_TRUE(QFile::remove(path));
  ASSERT_TRUE(QDir().mkdir(path));
  InstanceLock blocked(folder);
  EXPECT_FALSE(blocked.TryLock());
  EXPECT_FALSE(blocked.HeldByLiveCopy());
  EXPECT_FALSE(blocked.FolderProblem());
  EXPECT_TRUE(blocked.Problem().contains(path + " is a folder")) << blocked.Problem().toStdString();
}

// The lock file is written over when the lock is taken; a link planted in
// its place (to a file, to nowhere, to a folder) is refused by name and
// whatever it points to stays as it was.
TEST(InstanceLockTest, ALinkInTheLocksPlaceIsRefusedAndWhatItPointsToKeepsItsBytes) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Marrowdale.lock");
  const QString precious = dir.filePath("precious.txt");
  const QByteArray bytes = "a letter the user wrote, longer than any lock holder's line\n";
  {
    QFile f(precious);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  const QString nowhere = dir.filePath("nowhere.txt");
  for (const QString& target : {precious, nowhere, dir.filePath("sub")}) {
    QFile::remove(path);
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
    if (target.endsWith("sub")) {
      ASSERT_TRUE(QDir().mkdir(target));
    }
    InstanceLock lock(dir.path());
    EXPECT_FALSE(lock.TryLock()) << target.toStdString();
    EXPECT_FALSE(lock.HeldByLiveCopy());
    EXPECT_FALSE(lock.FolderProblem());
    EXPECT_TRUE(lock.Problem().startsWith(path + " is a link to " + target)) << lock.Problem().toStdString();
    EXPECT_TRUE(lock.Problem().contains("Remove the link")) << lock.Problem().toStdString();
  }
  // A hard link shares the other file's bytes: refused as well.
  QFile::remove(path);
  ASSERT_EQ(link(QFile::encodeName(precious).constData(), QFile::encodeName(path).constData()), 0);
  InstanceLock hard(dir.path());
  EXPECT_FALSE(hard.TryLock());
  EXPECT_TRUE(hard.Problem().startsWith(path + " is a hard link")) << hard.Problem().toStdString();
  QFile f(precious);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), bytes);
  EXPECT_FALSE(QFile::exists(nowhere));

  // A plain file in its place again takes the lock.
  ASSERT_TRUE(QFile::remove(path));
  InstanceLock plain(dir.path());
  EXPECT_TRUE(plain.TryLock()) << plain.Problem().toStdString();
}

// Under a file-size limit smaller than the probe, the folder check gives the
// system's reason, not a full disk.
TEST(FolderWriteProblemTest, AFileSizeLimitIsToldAsSuch) {
  QTemporaryDir dir;
  EXPECT_EQ(FolderWriteProblem(dir.path()), QString());
  const int status = testing_support::InChildUnderFileSizeLimit(1024, [&] {
    const QString problem = FolderWriteProblem(dir.path());
    return problem == QString::fromLocal8Bit(std::strerror(EFBIG)) ? 0 : 1;
  });
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

TEST(ScreenMetricsTest, ReadsThePrimaryScreen) {
  const ScreenMetrics screen = ReadScreenMetrics();
  EXPECT_GT(screen.widthPixels, 0);
  EXPECT_GT(screen.heightPixels, 0);
  EXPECT_GT(screen.logPixelsX, 0);
  EXPECT_EQ(screen.TwipsPerPixel(), 1440 / screen.logPixelsX);
  EXPECT_LE(screen.availWidth, screen.widthPixels);
}

TEST(UrlTest, OnlyWellFormedAbsoluteWebAddressesOpen) {
  for (const char* good : {"http://example.com", "https://example.com/rules/page.html?x=1#top",
                           "HTTPS://Example.com:8080/", "http://192.168.1.10/"}) {
    EXPECT_TRUE(IsOpenableUrl(good)) << good;
  }
  for (const char* bad : {"",
                          "javascript:alert(1)",
                          "file:///etc/passwd",
                          "ftp://example.com",
                          "example.com",
                          "/relative/path",
                          "//example.com",
                          "http://",
                          "https:///path",
                          "http:example.com",
                          " http://example.com",
                          "http://example.com ",
                          "http://exa mple.com",
                          "http://example.com/\n",
                          "http://exam\tple.com",
                          "http://example.com/\x01",
                          "http:\\\\example.com",
                          "http://good.com@evil.com/",
                          "http://user:pw@example.com/",
                          "mailto:someone@example.com"}) {
    EXPECT_FALSE(IsOpenableUrl(bad)) << bad;
  }
  EXPECT_FALSE(IsOpenableUrl(QString("http://example.com/") + QChar(0x200E)));  // direction mark
  EXPECT_FALSE(IsOpenableUrl(QString("http://example.com/") + QChar(0x85)));
  EXPECT_FALSE(IsOpenableUrl("http://example.com/" + QString(3000, 'a')));
}

TEST(UrlTest, TheOpenerRefusesWhatIsNotOpenable) {
  auto opener = CreateDesktopUrlOpener();
  EXPECT_FALSE(opener->Open("javascript:alert(1)"));
  EXPECT_FALSE(opener->Open("file:///etc/passwd"));
  EXPECT_FALSE(opener->Open("http://"));
}

TEST(CpuMHzTest, ReadsTheFirstProcessorsRate) {
  const QString two =
      "processor\t: 0\nvendor_id\t: Some\ncpu MHz\t\t: 2400.000\ncache size\t: 512 KB\n\n"
      "processor\t: 1\ncpu MHz\t\t: 3100.000\n";
  EXPECT_EQ(CpuMHzFromCpuInfo(two), 2400);
  EXPECT_EQ(CpuMHzFromCpuInfo("processor : 0\r\ncpu MHz : 1799.6\r\n"), 1800);
  // The first processor without a rate: none, not the second's.
  EXPECT_EQ(CpuMHzFromCpuInfo("processor : 0\nmodel : x\n\nprocessor : 1\ncpu MHz : 900\n"), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo(""), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo("processor : 0\nBogoMIPS : 48.00\n"), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo("cpu MHz : fast\n"), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo("cpu MHz : -5\n"), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo("cpu MHz : 1e300\n"), 0);
  EXPECT_EQ(CpuMHzFromCpuInfo("cpu MHz :\n"), 0);
  EXPECT_GE(ReadCpuMHz(), 0);
}

TEST(CpuMHzTest, TheRatedRateComesBeforeTheMomentaryOne) {
  QTemporaryDir dir;
  const auto write = [&](const QString& name, const QByteArray& text) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  };
  write("cpuinfo", "processor\t: 0\ncpu MHz\t\t: 800.000\n");
  const QString cpuinfo = dir.filePath("cpuinfo");
  // A laptop saving power runs at 800 MHz of its rated 3.6 GHz.
  write("max", "3600000\n");
  EXPECT_EQ(ReadCpuMHzFrom(dir.filePath("max"), cpuinfo), 3600);
  EXPECT_EQ(ReadCpuMHzFrom(dir.filePath("none"), cpuinfo), 800);
  for (const QByteArray& bad : {QByteArray("fast\n"), QByteArray("-1\n"), QByteArray("0\n"), QByteArray("")}) {
    write("max", bad);
    EXPECT_EQ(ReadCpuMHzFrom(dir.filePath("max"), cpuinfo), 800) << bad.constData();
  }
  EXPECT_EQ(CpuMHzFromMaxFreq("2399600"), 2400);
  EXPECT_EQ(ReadCpuMHzFrom(dir.filePath("none"), dir.filePath("none")), 0);
}
