#pragma once
// Small services of the desktop: the single-instance lock, screen metrics
// and twips, the web browser, the processor's clock rate.

#include <QString>
#include <memory>

namespace platform {

// A second running copy is detected with an advisory lock on the file
// "Marrowdale.lock" in the per-user folder, held for the run. The system
// drops the lock when its holder ends, however it ends, so a lock left
// behind by a crash or a kill never stops a start; what the file holds
// (the holder's process and machine, for the user) never decides it. A
// link in its place is never followed: it is refused, and what it points
// to keeps its bytes.
class InstanceLock {
 public:
  explicit InstanceLock(const QString& folder);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  // True when this copy holds the lock; false when another copy holds it or
  // the lock cannot be taken (see HeldByLiveCopy and Problem).
  bool TryLock();
  // After a failed TryLock: a running copy holds the lock.
  bool HeldByLiveCopy() const { return liveCopy_; }
  // After HeldByLiveCopy: the holder's process number and machine as it
  // wrote them (0 and empty when they cannot be read).
  qint64 HolderPid() const { return holderPid_; }
  const QString& HolderHost() const { return holderHost_; }
  // After a failed TryLock that is not a running copy's: the system's
  // reason, or what is in the way ("… is a folder").
  const QString& Problem() const { return problem_; }
  // The Problem is the folder's (nothing can be written there), not the
  // lock file's.
  bool FolderProblem() const { return folderProblem_; }
  // The folder the lock lives in, and the lock file.
  QString Folder() const;
  // After a FolderProblem: the folder to name (see FolderWriteProblem).
  QString ProblemFolder() const { return problemFolder_.isEmpty() ? Folder() : problemFolder_; }
  const QString& Path() const { return path_; }

 private:
  // A link in the lock file's place is refused: false, with the Problem
  // naming it and what it points to.
  bool RefuseLink();
  // Reads the holder's process and machine from the lock file open as fd.
  void ReadHolder(int fd);

  QString path_;
  int fd_ = -1;
  bool liveCopy_ = false;
  qint64 holderPid_ = 0;
  QString holderHost_;
  QString problem_;
  bool folderProblem_ = false;
  QString problemFolder_;
};

// This machine's name as the lock records it.
QString ThisHostName();

// Why nothing can be written in the folder (made first when missing), in
// the system's words ("No space left on device", "Read-only file system");
// empty when a small file can be written there. *where gets the folder the
// problem lies in: the folder itself, or the one that refused to hold a
// missing folder, or a link that points nowhere in the folder's path.
QString FolderWriteProblem(const QString& folder, QString* where = nullptr);

// Past the user's file-size limit (ulimit -f) the system ends a program
// with SIGXFSZ at the write, without a word. With the signal ignored the
// write fails with "File too large" instead, and the game reports it as it
// does any failed write. Called once, at program start.
void IgnoreFileSizeSignal();

// Windows are laid out in twips, 1440 to the inch; the normal desktop shows
// 96 dots per inch, 15 twips to the pixel.
constexpr int kTwipsPerInch = 1440;
constexpr int kNormalDpi = 96;
constexpr int kNormalTwipsPerPixel = kTwipsPerInch / kNormalDpi;

struct ScreenMetrics {
  int widthPixels = 1024;       // HORZRES
  int heightPixels = 768;       // VERTRES
  int colorBits = 32;           // BITSPIXEL
  int logPixelsX = kNormalDpi;  // LOGPIXELSX
  int captionHeight = 23;       // SM_CYCAPTION, in pixels
  int availLeft = 0;            // the work area, pixels
  int availTop = 0;
  int availWidth = 1024;
  int availHeight = 728;
  int TwipsPerPixel() const;
  // The desktop's fonts are large: it does not show the normal 96 dots per inch.
  bool LargeFonts() const { return logPixelsX != kNormalDpi; }
  int WidthTwips() const { return widthPixels * TwipsPerPixel(); }
  int HeightTwips() const { return heightPixels * TwipsPerPixel(); }
};

// The primary screen as Qt reports it (needs a QGuiApplication).
ScreenMetrics ReadScreenMetrics();

// Twips per pixel at a screen's logical dots per inch: 1440 / dpi, 15 at
// 96; an unknown resolution counts as 96.
int TwipsPerPixelAt(int logicalDpi);
// A twips-per-pixel value handed in, or the normal 15 where it is unknown
// (0 or less), so that no window divides by nothing.
constexpr int TwipsPerPixelOrNormal(int twipsPerPixel) {
  return twipsPerPixel > 0 ? twipsPerPixel : kNormalTwipsPerPixel;
}
// The primary screen's logical dots per inch (96 without a screen).
int ScreenLogicalDpi();
// Every window converts its twips through these, on the primary screen.
int ScreenTwipsPerPixel();
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// True when the text is a well-formed absolute http or https address with a
// host; only such addresses are ever opened.
bool IsOpenableUrl(const QString& address);

class UrlOpener {
 public:
  virtual ~UrlOpener() = default;
  // Opens the address in the default browser; false when it could not.
  virtual bool Open(const QString& address) = 0;
};

std::unique_ptr<UrlOpener> CreateDesktopUrlOpener();

// The processor's clock rate in MHz from a /proc/cpuinfo text; 0 when unknown.
long CpuMHzFromCpuInfo(const QString& cpuinfo);
// The processor's rated clock rate in MHz from the text of cpufreq's
// cpuinfo_max_freq (kHz); 0 when unknown.
long CpuMHzFromMaxFreq(const QString& khz);
// The first processor's rated clock rate in MHz: the highest the system
// reports in maxFreqFile (cpufreq), else its rate in cpuinfoFile; 0 when
// unknown.
long ReadCpuMHzFrom(const QString& maxFreqFile, const QString& cpuinfoFile);
// The running machine's: ReadCpuMHzFrom of the system's own files.
long ReadCpuMHz();

}  // namespace platform
