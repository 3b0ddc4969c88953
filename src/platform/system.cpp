#include "platform/system.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QSysInfo>
#include <QUrl>
#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr int kMaxUrlLength = 2048;
// A clock rate above this is not a reading but a malformed line.
constexpr double kMaxCpuMHz = 1.0e6;

bool IsControlOrBlank(QChar c) {
  const char16_t u = c.unicode();
  return u <= 0x20 || (u >= 0x7F && u <= 0x9F) || c.isSpace() || c.category() == QChar::Other_Format;
}

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

InstanceLock::InstanceLock(const QString& folder)
    : path_(QDir(folder).absoluteFilePath(QStringLiteral("Marrowdale.lock"))) {}

InstanceLock::~InstanceLock() {
  // Closing the file drops the lock; the file stays for the next start.
  if (fd_ >= 0) ::close(fd_);
}

QString InstanceLock::Folder() const { return QFileInfo(path_).absolutePath(); }

QString ThisHostName() { return QSysInfo::machineHostName(); }

bool InstanceLock::TryLock() {
  if (fd_ >= 0) return true;
  liveCopy_ = false;
  holderPid_ = 0;
  holderHost_.clear();
  problem_.clear();
  folderProblem_ = false;
  if (!QDir().mkpath(Folder())) {
    folderProblem_ = true;
    problem_ = FolderWriteProblem(Folder(), &problemFolder_);
    if (problem_.isEmpty()) problem_ = SystemReason(ENOTDIR);
    return false;
  }
  const QByteArray name = QFile::encodeName(path_);
  struct stat there {};
  if (::lstat(name.constData(), &there) == 0) {
    if (S_ISLNK(there.st_mode)) return RefuseLink();
    if (S_ISDIR(there.st_mode)) {
      problem_ = path_ + QStringLiteral(
                             " is a folder; the game keeps its lock file under that name. "
                             "Move or remove the folder, then start the game again.");
      return false;
    }
  }
  // Close-on-exec: a program the game starts (the web browser) must not
  // inherit the lock and keep it after the game has ended. No link is
  // followed: the holder is written over the file, which would cut short
  // whatever a link there points to.
  int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  // A lock file that may only be read still takes the lock.
  if (fd < 0 && (errno == EACCES || errno == EROFS))
    fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  // A link made since the look above.
  if (fd < 0 && errno == ELOOP) return RefuseLink();
  // A hard link shares its bytes with a file elsewhere, which the holder's
  // line would overwrite.
  if (fd >= 0 && ::fstat(fd, &there) == 0 && S_ISREG(there.st_mode) && there.st_nlink > 1) {
    ::close(fd);
    problem_ = path_ + QStringLiteral(
                           " is a hard link to another file; the game keeps its lock file under that name and "
                           "never writes through a link. Remove it, then start the game again.");
    return false;
  }
  if (fd >= 0 && (::fstat(fd, &there) != 0 || !S_ISREG(there.st_mode))) {
    ::close(fd);
    problem_ = path_ + QStringLiteral(
                           " is not a plain file; the game keeps its lock file under that name. "
                           "Move or remove it, then start the game again.");
    return false;
  }
  if (fd < 0) {
    const int error = errno;
    problem_ = FolderWriteProblem(Folder(), &problemFolder_);
    folderProblem_ = !problem_.isEmpty();
    if (problem_.isEmpty()) problem_ = path_ + QStringLiteral(": ") + SystemReason(error);
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EWOULDBLOCK) {
      liveCopy_ = true;
      ReadHolder(fd);
    } else if (error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS) {
      // A file system that keeps no locks cannot tell of a second copy;
      // the game starts unguarded rather than never.
      fd_ = fd;
      return true;
    } else {
      problem_ = path_ + QStringLiteral(": ") + SystemReason(error);
    }
    ::close(fd);
    return false;
  }
  fd_ = fd;
  // Who holds it, for a second copy to tell the user. A failure to write
  // this changes nothing: the lock is held all the same.
  const QByteArray holder =
      QByteArray::number(QCoreApplication::applicationPid()) + '\n' + ThisHostName().toUtf8() + '\n';
  if (::ftruncate(fd_, 0) == 0 && ::pwrite(fd_, holder.constData(), holder.size(), 0) == holder.size()) ::fsync(fd_);
  return true;
}

bool InstanceLock::RefuseLink() {
  const QString target = QFileInfo(path_).symLinkTarget();
  problem_ = path_ + QStringLiteral(" is a link") + (target.isEmpty() ? QString() : QStringLiteral(" to ") + target) +
             QStringLiteral(
                 ", not a file of its own; the game keeps its lock file under that name and never "
                 "writes through a link. Remove the link, then start the game again.");
  return false;
}

void InstanceLock::ReadHolder(int fd) {
  std::array<char, 512> buffer{};
  const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), 0);
  if (got <= 0) return;
  const QList<QByteArray> lines = QByteArray(buffer.data(), got).split('\n');
  bool ok = false;
  const qint64 pid = lines.value(0).toLongLong(&ok);
  if (ok && pid > 0) holderPid_ = pid;
  const QString host = QString::fromUtf8(lines.value(1)).trimmed();
  bool printable = !host.isEmpty() && host.size() <= 255;
  for (QChar c : host) printable = printable && !IsControlOrBlank(c);
  if (printable) holderHost_ = host;
}

QString FolderWriteProblem(const QString& folder, QString* where) {
  const QString path = QDir::cleanPath(QDir(folder).absolutePath());
  if (where) *where = path;
  QStringList missing;
  for (QString p = path; !QFileInfo::exists(p) && p != QFileInfo(p).path(); p = QFileInfo(p).path()) missing.prepend(p);
  for (const QString& m : missing) {
    // A link left pointing nowhere stands where a folder should be made.
    if (const QFileInfo link(m); link.isSymLink()) {
      if (where) *where = m;
      return m + " is a link to " + link.symLinkTarget() + ", which does not exist";
    }
    if (::mkdir(QFile::encodeName(m).constData(), 0777) != 0 && errno != EEXIST) {
      const int error = errno;
      // A folder that may not be written is the one to name, not the one
      // that could not be made in it.
      if (where && (error == EACCES || error == EPERM || error == EROFS)) *where = QFileInfo(m).path();
      return SystemReason(error);
    }
  }
  // A whole block, written through to the disk, so that a full disk tells.
  const QByteArray probe =
      QFile::encodeName(path + "/.marrowdale-probe-" + QString::number(QCoreApplication::applicationPid()));
  const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return SystemReason(errno);
  const std::array<char, 4096> block{};
  // A short write is followed by another, which tells why it stopped (a
  // file-size limit: "File too large", a full disk: "No space left").
  int error = 0;
  for (std::size_t done = 0; error == 0 && done < block.size();) {
    const ssize_t written = ::write(fd, block.data() + done, block.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0)
      error = written < 0 ? errno : ENOSPC;
    else
      done += static_cast<std::size_t>(written);
  }
  bool ok = error == 0;
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = errno;
  }
  ::close(fd);
  ::unlink(probe.constData());
  return ok ? QString() : SystemReason(error);
}

void IgnoreFileSizeSignal() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}

int TwipsPerPixelAt(int logicalDpi) {
  if (logicalDpi <= 0 || logicalDpi > kTwipsPerInch) logicalDpi = kNormalDpi;
  return kTwipsPerInch / logicalDpi;
}

int ScreenMetrics::TwipsPerPixel() const { return TwipsPerPixelAt(logPixelsX); }

int ScreenLogicalDpi() {
  const QScreen* screen =
      qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
  return screen ? qRound(screen->logicalDotsPerInchX()) : kNormalDpi;
}

int ScreenTwipsPerPixel() { return TwipsPerPixelAt(ScreenLogicalDpi()); }
int TwipsToPixels(int twips) { return twips / ScreenTwipsPerPixel(); }
int PixelsToTwips(int pixels) { return pixels * ScreenTwipsPerPixel(); }

ScreenMetrics ReadScreenMetrics() {
  ScreenMetrics m;
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return m;
  const QRect g = screen->geometry();
  const QRect avail = screen->availableGeometry();
  m.widthPixels = g.width();
  m.heightPixels = g.height();
  m.colorBits = screen->depth();
  const int dpi = ScreenLogicalDpi();
  if (dpi > 0) m.logPixelsX = dpi;
  m.availLeft = avail.left();
  m.availTop = avail.top();
  m.availWidth = avail.width();
  m.availHeight = avail.height();
  // The window manager draws the real caption; the style's title bar is the
  // closest figure known before a window is shown.
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::style()) {
    const int caption = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    if (caption > 0) m.captionHeight = caption;
  }
  return m;
}

bool IsOpenableUrl(const QString& address) {
  if (address.isEmpty() || address.size() > kMaxUrlLength) return false;
  for (QChar c : address)
    if (IsControlOrBlank(c) || c == u'\\') return false;
  const QUrl url(address, QUrl::StrictMode);
  if (!url.isValid() || url.isRelative()) return false;
  const QString scheme = url.scheme().toLower();
  if (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")) return false;
  // "http:host" has no authority: only "scheme://host..." is an address.
  if (!address.mid(scheme.size()).startsWith(QStringLiteral("://"))) return false;
  // "http://trusted@elsewhere" would take the user elsewhere.
  const QString rest = address.mid(scheme.size() + 3);
  qsizetype end = rest.size();
  for (QChar stop : {u'/', u'?', u'#'}) {
    const qsizetype at = rest.indexOf(stop);
    if (at >= 0 && at < end) end = at;
  }
  if (rest.left(end).contains(u'@') || !url.userInfo().isEmpty()) return false;
  return !url.host().isEmpty();
}

namespace {

class DesktopUrlOpener : public UrlOpener {
 public:
  bool Open(const QString& address) override {
    if (!IsOpenableUrl(address)) return false;
    return QDesktopServices::openUrl(QUrl(address, QUrl::StrictMode));
  }
};

}  // namespace

std::unique_ptr<UrlOpener> CreateDesktopUrlOpener() { return std::make_unique<DesktopUrlOpener>(); }

long CpuMHzFromCpuInfo(const QString& cpuinfo) {
  bool inFirst = false;
  const QStringList lines = cpuinfo.split(u'\n');
  for (const QString& raw : lines) {
    const QString line = raw.trimmed();
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0) continue;
    const QString key = line.left(colon).trimmed();
    if (key.compare(QStringLiteral("processor"), Qt::CaseInsensitive) == 0) {
      if (inFirst) return 0;  // the first processor had no rate
      inFirst = true;
      continue;
    }
    if (key.compare(QStringLiteral("cpu MHz"), Qt::CaseInsensitive) != 0) continue;
    bool ok = false;
    const double mhz = line.mid(colon + 1).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || mhz <= 0 || mhz >= kMaxCpuMHz) return 0;
    return std::lround(mhz);
  }
  return 0;
}

long CpuMHzFromMaxFreq(const QString& khz) {
  bool ok = false;
  const qlonglong value = khz.trimmed().toLongLong(&ok);
  if (!ok || value <= 0 || static_cast<double>(value) / 1000.0 >= kMaxCpuMHz) return 0;
  return std::lround(static_cast<double>(value) / 1000.0);
}

long ReadCpuMHzFrom(const QString& maxFreqFile, const QString& cpuinfoFile) {
  // The momentary rate of cpuinfo is a fraction of the rated one while a
  // machine saves power; cpufreq knows the rated one.
  QFile rated(maxFreqFile);
  if (rated.open(QIODevice::ReadOnly | QIODevice::Text)) {
    const long mhz = CpuMHzFromMaxFreq(QString::fromLatin1(rated.read(64)));
    if (mhz > 0) return mhz;
  }
  QFile file(cpuinfoFile);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return 0;
  return CpuMHzFromCpuInfo(QString::fromLatin1(file.readAll()));
}

long ReadCpuMHz() {
  return ReadCpuMHzFrom(QStringLiteral("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"),
                        QStringLiteral("/proc/cpuinfo"));
}

}  // namespace platform
