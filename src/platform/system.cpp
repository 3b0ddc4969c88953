#include "platform/system.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QSysInfo>
#include <QUrl>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
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

// The lock's owner is a process that still runs (on this machine; one on
// another machine sharing the folder is taken to run).
bool LockOwnerLives(const QLockFile& lock) {
  qint64 pid = 0;
  QString host, application;
  if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0) return false;
  if (host != QSysInfo::machineHostName()) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

InstanceLock::InstanceLock(const QString& folder)
    : lock_(std::make_unique<QLockFile>(folder + QStringLiteral("/Marrowdale.lock"))) {
  // The game holds the lock for hours: age alone never makes it stale. A
  // lock left by a copy that crashed is still taken over, as its process
  // is gone.
  lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::Folder() const { return QFileInfo(lock_->fileName()).absolutePath(); }

bool InstanceLock::TryLock() {
  if (lock_->isLocked()) return true;
  liveCopy_ = false;
  problem_.clear();
  if (QDir().mkpath(Folder()) && lock_->tryLock(0)) return true;
  // A lock that another copy holds is only "already running" while that
  // copy lives: a lock left behind that cannot be taken over, or one that
  // cannot be written at all, is a problem of the folder.
  if (lock_->error() == QLockFile::LockFailedError && LockOwnerLives(*lock_)) {
    liveCopy_ = true;
    return false;
  }
  problem_ = FolderWriteProblem(Folder());
  if (problem_.isEmpty()) {
    if (lock_->error() == QLockFile::LockFailedError) {
      liveCopy_ = true;  // nothing wrong with the folder: someone holds it
    } else {
      problem_ = lock_->error() == QLockFile::PermissionError ? SystemReason(EACCES)
                                                               : QStringLiteral("the lock file could not be written");
    }
  }
  return false;
}

QString FolderWriteProblem(const QString& folder) {
  const QString path = QDir::cleanPath(QDir(folder).absolutePath());
  QStringList missing;
  for (QString p = path; !QFileInfo::exists(p) && p != QFileInfo(p).path(); p = QFileInfo(p).path())
    missing.prepend(p);
  for (const QString& m : missing)
    if (::mkdir(QFile::encodeName(m).constData(), 0777) != 0 && errno != EEXIST) return SystemReason(errno);
  // A whole block, written through to the disk, so that a full disk tells.
  const QByteArray probe =
      QFile::encodeName(path + "/.marrowdale-probe-" + QString::number(QCoreApplication::applicationPid()));
  const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return SystemReason(errno);
  const std::array<char, 4096> block{};
  const ssize_t written = ::write(fd, block.data(), block.size());
  int error = written < 0 ? errno : ENOSPC;
  bool ok = written == static_cast<ssize_t>(block.size());
  if (ok && ::fsync(fd) != 0) {
    ok = false;
    error = errno;
  }
  ::close(fd);
  ::unlink(probe.constData());
  return ok ? QString() : SystemReason(error);
}

int TwipsPerPixelAt(int logicalDpi) {
  constexpr int kTwipsPerInch = 1440, kNormalDpi = 96;
  if (logicalDpi <= 0 || logicalDpi > kTwipsPerInch) logicalDpi = kNormalDpi;
  return kTwipsPerInch / logicalDpi;
}

int ScreenMetrics::TwipsPerPixel() const { return TwipsPerPixelAt(logPixelsX); }

int ScreenLogicalDpi() {
  const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                              ? QGuiApplication::primaryScreen() : nullptr;
  return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
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
