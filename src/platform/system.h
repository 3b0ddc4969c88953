#pragma once
// Small services of the desktop: the single-instance lock, screen metrics
// and twips, the web browser, the processor's clock rate.

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

// A second running copy is detected with a lock file in the per-user folder.
class InstanceLock {
 public:
  explicit InstanceLock(const QString& folder);
  ~InstanceLock();
  // True when this copy holds the lock; false when another copy runs or
  // the lock could not be written (see HeldByLiveCopy and Problem).
  bool TryLock();
  // After a failed TryLock: a running copy holds the lock.
  bool HeldByLiveCopy() const { return liveCopy_; }
  // After a failed TryLock that is not a running copy's: the system's reason.
  const QString& Problem() const { return problem_; }
  // The folder the lock lives in.
  QString Folder() const;

 private:
  std::unique_ptr<QLockFile> lock_;
  bool liveCopy_ = false;
  QString problem_;
};

// Why nothing can be written in the folder (made first when missing), in
// the system's words ("No space left on device", "Read-only file system");
// empty when a small file can be written there.
QString FolderWriteProblem(const QString& folder);

struct ScreenMetrics {
  int widthPixels = 1024;     // HORZRES
  int heightPixels = 768;     // VERTRES
  int colorBits = 32;         // BITSPIXEL
  int logPixelsX = 96;        // LOGPIXELSX
  int captionHeight = 23;     // SM_CYCAPTION, in pixels
  int availLeft = 0;          // the work area, pixels
  int availTop = 0;
  int availWidth = 1024;
  int availHeight = 728;
  int TwipsPerPixel() const;
  int WidthTwips() const { return widthPixels * TwipsPerPixel(); }
  int HeightTwips() const { return heightPixels * TwipsPerPixel(); }
};

// The primary screen as Qt reports it (needs a QGuiApplication).
ScreenMetrics ReadScreenMetrics();

// Twips per pixel at a screen's logical dots per inch: 1440 / dpi, 15 at
// 96; an unknown resolution counts as 96.
int TwipsPerPixelAt(int logicalDpi);
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
