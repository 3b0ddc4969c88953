#include "play/state/utilities.h"

#include <QLocale>
#include <QTime>
#include <string_view>

#include "media/help_viewer.h"
#include "platform/ui.h"
#include "platform/vb.h"
#include "platform/version.h"
#include "platform/wait.h"
#include "table/table_geometry.h"
#include "table/table_view.h"

namespace play {

namespace {

constexpr char kCrLf[] = "\r\n";

// Tested in this order; the first one found is the one reported.
constexpr char kForbiddenCharacters[] = "!\"*./:<>?\\|";

QString ColourClass(int bits) {
  switch (bits) {
    case 4: return "(16 Color)";
    case 8: return "(256 Color)";
    case 16: return "(High Color)";
    case 24:
    case 32: return "(True Color)";
    default: return {};
  }
}

}  // namespace

void Pause(platform::WaitService& wait, double seconds) {
  // The wait service reads a monotonic clock, so a pause that spans
  // midnight waits its full time instead of ending there.
  if (seconds <= 0) return;
  wait.Pause(seconds);
}

float SpeedFactor(int level) {
  switch (level) {
    case 1: return 1.0f;
    case 2: return 0.7f;
    case 3: return 0.5f;
    case 4: return 0.3f;
    case 5: return 0.1f;
    case 6: return 0.05f;
    default: return 0.0f;
  }
}

void ShowTurnStatus(const PlayState& state, bool online, table::TableView& view) {
  using table::TableImage;
  if (state.CurrentTurn == table::Turn::Local) {
    view.SetLabel(table::TableLabel::lblTurn, kYourTurnText);
    view.SetImageVisible(TableImage::ImgTurn1, true);
    view.SetImageVisible(TableImage::ImgTurn2, false);
    return;
  }
  if (!online && !state.TutorialMode) view.SetLabel(table::TableLabel::lblTurn, kNotYourTurnText);
  view.SetImageVisible(TableImage::ImgTurn2, true);
  view.SetImageVisible(TableImage::ImgTurn1, false);
}

QString FileNameCharactersText() {
  return QString("Please do not use the following characters:  ") + kCrLf + kCrLf + "/ \\ : * . ? ! < > | \"" + kCrLf +
         kCrLf + "Please re-enter.";
}

bool ValidFileName(const QString& name, platform::UiService& ui) {
  // A blank name would make a player file named only by its extension.
  if (vb::Trim(name).isEmpty()) {
    ui.MsgBox(kBlankNameText, platform::vbExclamation, kBlankNameTitle);
    return true;
  }
  for (const char c : std::string_view(kForbiddenCharacters)) {
    if (name.contains(QChar(c))) {
      ui.MsgBox(FileNameCharactersText(), platform::vbExclamation, kFileNameTitle);
      return true;
    }
  }
  return false;
}

long GetCpuMHz(bool setAnimation, AnimSpeedFields speed, const std::function<long()>& readMHz) {
  long mhz = readMHz ? readMHz() : 0;
  if (mhz < 0) mhz = 0;
  if (setAnimation) speed.AnimSpeed = table::kDefaultSlideSpeed;
  speed.PlayerAnimSpeed = speed.AnimSpeed;
  return mhz;
}

QString CurrentTimeText() {
  // The long time format of the locale without its time zone, which could
  // hold a capital M ("GMT") and would then read as a 12-hour clock.
  QString format = QLocale::system().timeFormat(QLocale::LongFormat);
  format.remove('t');
  return QLocale::system().toString(QTime::currentTime(), format.simplified());
}

QString SystemInfoText(const SystemInfo& info) {
  const platform::ScreenMetrics& m = info.screen;
  const int twipsPerPixel = m.TwipsPerPixel();
  QString t;
  t += "Resolution: " + QString(kCrLf) + kCrLf + vb::D(m.WidthTwips()) + " X " + vb::D(m.HeightTwips()) + " twips";
  t += kCrLf + vb::Str(static_cast<long long>(m.widthPixels)) + " X " +
       vb::Str(static_cast<long long>(m.heightPixels)) + " pixels";
  t += kCrLf + vb::Str(static_cast<long long>(m.colorBits)) + " bits per pixel  " + ColourClass(m.colorBits);
  t += kCrLf + QString(m.LargeFonts() ? "Large Fonts" : "Normal (small fonts)");
  t += QString(kCrLf) + kCrLf + "This window:";
  t += kCrLf + vb::Str(static_cast<long long>(info.windowWidthTwips)) + " x " +
       vb::Str(static_cast<long long>(info.windowHeightTwips)) + " twips";
  t += kCrLf + vb::Str(double(info.windowWidthTwips) / twipsPerPixel) + " x " +
       vb::Str(double(info.windowHeightTwips) / twipsPerPixel) + " pixels";
  t += kCrLf + QString("Titlebar height: ") + vb::Str(static_cast<long long>(m.captionHeight));
  t += QString(kCrLf) + kCrLf + "CPU Speed: " + vb::D(vb::Clamp16(info.cpuMHz)) + " MHz";
  t += QString(kCrLf) + kCrLf + "Current time: " + info.timeText +
       (info.timeText.contains('M') ? " 12 hr time" : " 24 hr time");
  return t;
}

void ShowSystemInfo(const SystemInfo& info, QString& Message, platform::UiService& ui) {
  Message = SystemInfoText(info);
  ui.MsgBox(Message, platform::vbInformation, platform::kProgramTitle);
}

void ShowSystemInfo(int windowWidthTwips, int windowHeightTwips, AnimSpeedFields speed, QString& Message,
                    platform::UiService& ui) {
  SystemInfo info;
  info.screen = platform::ReadScreenMetrics();
  info.windowWidthTwips = windowWidthTwips;
  info.windowHeightTwips = windowHeightTwips;
  info.cpuMHz = GetCpuMHz(false, speed);
  info.timeText = CurrentTimeText();
  ShowSystemInfo(info, Message, ui);
}

void OpenURL(const QString& address, platform::UrlOpener& opener, platform::UiService& ui) {
  if (!platform::IsOpenableUrl(address)) {
    qWarning("not opening the address %s", qPrintable(address));
    return;
  }
  if (!opener.Open(address)) ui.MsgBox(kBrowserFailedText, platform::vbOKOnly, platform::kProgramTitle);
}

void ShowHelp(const QString& command, const QString& keyword, std::unique_ptr<media::HTMLHelp>& HelpObject,
              const std::function<std::unique_ptr<media::HTMLHelp>()>& makeViewer, const QString& AppPath) {
  if (command == "Close") {
    // Nothing was opened when there is no viewer yet; none is made to close it.
    if (HelpObject) HelpObject->HHClose();
    HelpObject.reset();
    return;
  }
  if (!HelpObject && makeViewer) HelpObject = makeViewer();
  if (!HelpObject) return;
  QString folder = AppPath;
  if (folder.endsWith('/')) folder.chop(1);
  HelpObject->SetCHMFile(folder + "/" + kHelpFile);
  HelpObject->SetHHWindow(kHelpWindow);
  if (command == "Keyword") {
    HelpObject->SetHHKeyword(keyword);
    HelpObject->HHDisplayKeyword();
  } else if (command == "Contents") {
    HelpObject->HHDisplayContents();
  }
}

QString WindowSizeMessage(const WindowSizes& sizes) {
  return "Pop-up Height: " + vb::Str(sizes.PopupHeight) + " ScaleHeight: " + vb::Str(sizes.PopupScaleHeight) +
         "\r\nPop-up Width: " + vb::Str(sizes.PopupWidth) +
         "\r\nCard Height Twips: " + vb::Str(table::CardHeightTwips) + " Pixels: " + vb::Str(table::CardHeight) +
         "\r\nCard Pic Height: " + vb::Str(sizes.CardPicHeight);
}

}  // namespace play
