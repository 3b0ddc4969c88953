#include "media/html_help.h"

#include <QFileInfo>
#include <QWhatsThis>

#include "media/folders.h"
#include "platform/settings.h"
#include "platform/ui.h"

namespace media {

namespace {

struct Release {
  const char* version;
  const char* name;
};

constexpr Release kEngineReleases[] = {
    {"4.72.7290.00", "1.0"},  {"4.72.7323.00", "1.1"},   {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"}, {"4.73.8252.00", "1.2"},   {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"}, {"4.73.8561.00", "1.22"}, {"4.74.8566.00", "1.3 Windows 2000 Beta"},
    {"4.74.8637.00", "1.3 IE 5.5 Platform Preview Beta"}, {"4.74.8702.00", "1.3"},
};

constexpr Release kViewerReleases[] = {
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
    {"5.00.2721.1400", "5.0d (ImportExport Favorites Issue Update)"},
    {"5.00.2919.800", "5.x (Windows 2000 RC1, build 5.00.2072)"},
    {"5.00.2919.3800", "5.x (Windows 2000 RC2, build 5.00.2128)"},
    {"5.00.2919.6307", "5.01"},
    {"5.50.3825.1300", "5.5 Platform Preview"},
};

constexpr const char* kEngineMinimums[] = {
    "4.72.7290", "4.72.7323", "4.72.7325", "4.72.8164.0", "4.73.8252", "4.73.8412",
    "4.73.8474", "4.73.8561", "4.74.8566", "4.74.8637", "4.74.8702",
};
constexpr int kFirstEngineCode = 16;

constexpr const char* kViewerMinimums[] = {
    "4.70.1155",      "4.70.1158",      "4.70.1215",      "4.70.1300",      "4.71.1008.3",    "4.71.1712.5",
    "4.72.2106.7",    "4.72.3110.03",   "4.72.3612.1707", "5.00.0518.5",    "5.00.0910.1308", "5.00.2014.213",
    "5.00.2314.1000", "5.00.2614.3500", "5.0.2717.2000",  "5.00.2721.1400", "5.00.2919.800",  "5.00.2919.3800",
};
constexpr int kFirstViewerCode = 256;

template <std::size_t N>
QString ReleaseName(const Release (&table)[N], const QString& version) {
  if (version.trimmed().isEmpty()) return "unknown";
  for (const Release& r : table)
    if (CompareVersions(version, r.version) == 0) return r.name;
  return "unknown";
}

bool HasFolder(const QString& name) { return name.contains('/') || name.contains('\\'); }

// The name after the last folder separator.
QString NamePart(const QString& path) {
  const int cut = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return path.mid(cut + 1);
}

constexpr char kDefaultPopupFont[] = "Arial";
constexpr char kDefaultPopupSize[] = "10";

}  // namespace

QString FormatComponentVersion(const std::array<int, 4>& v) {
  QString text = QString::number(v[0]) + "." + QString::number(v[1]).rightJustified(2, '0') + ".";
  if (v[2] > 0)
    text += QString::number(v[2]).rightJustified(2, '0') + "." + QString::number(v[3]).rightJustified(2, '0');
  else
    text += QString::number(v[3]).rightJustified(4, '0');
  return text;
}

int CompareVersions(const QString& a, const QString& b) {
  const QStringList x = a.trimmed().split('.');
  const QStringList y = b.trimmed().split('.');
  for (qsizetype i = 0; i < std::max(x.size(), y.size()); ++i) {
    const qlonglong p = i < x.size() ? x[i].toLongLong() : 0;
    const qlonglong q = i < y.size() ? y[i].toLongLong() : 0;
    if (p != q) return p < q ? -1 : 1;
  }
  return 0;
}

QString HelpEngineReleaseName(const QString& version) { return ReleaseName(kEngineReleases, version); }
QString PageViewerReleaseName(const QString& version) { return ReleaseName(kViewerReleases, version); }

QString HelpEngineMinimum(int code) {
  const int i = code - kFirstEngineCode;
  return i >= 0 && i < static_cast<int>(std::size(kEngineMinimums)) ? QString(kEngineMinimums[i]) : QString();
}

QString PageViewerMinimum(int code) {
  const int i = code - kFirstViewerCode;
  return i >= 0 && i < static_cast<int>(std::size(kViewerMinimums)) ? QString(kViewerMinimums[i]) : QString();
}

HTMLHelpWrapper::HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, platform::SettingsStore& settings,
                                 QString programFolder)
    : backend_(backend), ui_(ui), settings_(settings), programFolder_(StripBackslash(programFolder)) {}

void HTMLHelpWrapper::Warn(const QString& text) { ui_.MsgBox(text, platform::vbExclamation, kHelpClassTitle); }
void HTMLHelpWrapper::Inform(const QString& text) { ui_.MsgBox(text, platform::vbInformation, kHelpClassTitle); }
void HTMLHelpWrapper::Critical(const QString& text) { ui_.MsgBox(text, platform::vbCritical, kHelpClassTitle); }

// ---- Files ----

bool HTMLHelpWrapper::IsChmFile(const QString& FileName) {
  if (FileName.endsWith(".chm", Qt::CaseInsensitive)) return true;
  Warn(FileName + " is not a valid HTML Help file.");
  return false;
}

bool HTMLHelpWrapper::IsTxtPopupFile(const QString& FileName) {
  if (FileName.endsWith(".txt", Qt::CaseInsensitive)) return true;
  Warn("The file specified as the text popup source, '" + FileName + "', is not a valid popup file.");
  return false;
}

bool HTMLHelpWrapper::EnsureFileExists(QString& FileName) {
  if (!HasFolder(FileName)) {
    HHCheckRegistry(FileName);
    FileName = !regFileName_.isEmpty() ? AddBackslash(regFilePath_) + regFileName_
                                       : programFolder_ + "/" + FileName;
  }
  const QString collection = HelpCollectionFor(FileName);
  if (QFileInfo(collection).isFile()) return true;
  Warn("The file " + collection + " does not exist.\nPlease make sure the correct path and file name have been "
       "specified.");
  return false;
}

QString HTMLHelpWrapper::HHSetHelpFile(int Kind) const {
  if (Kind == 1) return programFolder_ + "/Library.chm";
  if (Kind == 2) return "Library.txt";
  return {};
}

// ---- Display ----

QString HTMLHelpWrapper::FileArgument() const {
  return HHWindow.trimmed().isEmpty() ? CHMFile : CHMFile + ">" + HHWindow;
}

bool HTMLHelpWrapper::Ready() { return IsChmFile(CHMFile) && EnsureFileExists(CHMFile); }

HelpWindowHandle HTMLHelpWrapper::Issue(HelpWindowHandle hWnd, HelpRequest request) {
  wndHandle_ = backend_.HtmlHelp(Owner(hWnd), request);
  return wndHandle_;
}

void HTMLHelpWrapper::HHDeleteJumpURLSysMenu(HelpWindowHandle) {
  // The help window has no jump-to-address item to remove.
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayTopicURL(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::DisplayTopic;
  r.file = FileArgument();
  r.topic = HHTopicURL;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayTopicID(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::HelpContext;
  r.file = FileArgument();
  r.topicId = HHTopicID;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplaySearch(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::DisplaySearch;
  r.file = FileArgument();
  r.searchExecute = true;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayKeyword(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  // The file's default topic first, then the keyword's topic over it.
  HelpRequest open;
  open.command = HelpCommand::DisplayTopic;
  open.file = CHMFile;
  Issue(hWnd, open);
  HelpRequest r;
  r.command = HelpCommand::KeywordLookup;
  r.file = CHMFile;
  r.lookup.keywords = HHKeyword;
  r.lookup.url = HHDefaultURL;
  r.lookup.msgText = HHMsgText;
  r.lookup.msgTitle = HHMsgTitle;
  r.lookup.window = HHWindow.trimmed().isEmpty() ? QString() : HHWindow;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayIndex(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::DisplayIndex;
  r.file = FileArgument();
  const HelpWindowHandle handle = backend_.HtmlHelp(Owner(hWnd), r);
  if (!HHWindow.trimmed().isEmpty()) wndHandle_ = handle;
  return handle;
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayContents(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::DisplayToc;
  r.file = FileArgument();
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayALink(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::ALinkLookup;
  r.file = CHMFile;
  r.lookup.keywords = HHALink;
  r.lookup.url = HHDefaultURL;
  r.lookup.msgText = HHMsgText;
  r.lookup.msgTitle = HHMsgTitle;
  r.lookup.window = HHWindow.trimmed().isEmpty() ? QString() : HHWindow;
  return Issue(hWnd, r);
}

void HTMLHelpWrapper::HHClose() {
  HelpRequest r;
  r.command = HelpCommand::CloseAll;
  backend_.HtmlHelp(0, r);
}

void HTMLHelpWrapper::HHDisplayPopup(HelpWindowHandle hWnd) {
  if (HHPopupType == kPopupNone) return;
  if (HHPopupType == kPopupFromFile && !Ready()) return;

  HelpRequest r;
  r.command = HelpCommand::DisplayTextPopup;
  if (HHPopupType == kPopupText) {
    if (HHPopupText.isEmpty()) return;
    r.popup.text = HHPopupText;
  } else {
    r.popup.textId = HHPopupID;
  }
  r.popup.textColor = HHPopupCustomColors ? HHPopupCustomTextColor : HHPopupTextColor;
  r.popup.backColor = HHPopupCustomColors ? HHPopupCustomBackColor : HHPopupBackColor;
  if (HHPopupTextFont.isEmpty()) HHPopupTextFont = kDefaultPopupFont;
  if (HHPopupTextSize.isEmpty()) HHPopupTextSize = kDefaultPopupSize;
  r.popup.font = HHPopupTextFont + ", " + HHPopupTextSize + ", ascii, " + (HHPopupTextBold ? "Bold " : "") +
                 (HHPopupTextItalic ? "Italic " : "") + (HHPopupTextUnderline ? "Underline" : "");

  bool show = true;
  if (HHPopupType == kPopupFromFile) {
    r.file = CHMFile + "::/" + HHPopupFile;
    show = IsTxtPopupFile(HHPopupFile);
  } else if (HHPopupType == kPopupResourceString || HHPopupType == kPopupText) {
    r.nullFile = true;
  } else {
    show = false;
  }
  if (show) backend_.HtmlHelp(hWnd, r);

  HHPopupTextColor = HHPopupBackColor = HHPopupCustomTextColor = HHPopupCustomBackColor = 0;
  HHPopupTextFont = kDefaultPopupFont;
  HHPopupTextSize = kDefaultPopupSize;
  HHPopupTextBold = HHPopupTextItalic = HHPopupTextUnderline = false;
}

void HTMLHelpWrapper::HHInvokeWhatsThisHelp(HelpWindowHandle) { QWhatsThis::enterWhatsThisMode(); }

HelpWindowHandle HTMLHelpWrapper::HHWndHandle() {
  if (wndHandle_ == 0) Warn("No HTML Help window handle to retrieve.");
  return wndHandle_;
}

// ---- Registration ----

bool HTMLHelpWrapper::HHCheckRegistry(const QString& FileName) {
  if (FileName.isEmpty()) return false;
  regFileExists_ = false;
  if (!IsChmFile(FileName)) return false;
  const QString name = NamePart(FileName);
  const QString folder = settings_.GetSetting(kHelpRegistryApp, kHelpRegistrySection, name, QString());
  if (folder.isEmpty()) {
    regFileName_.clear();
    regFilePath_.clear();
    return false;
  }
  regFileName_ = name;
  regFilePath_ = folder;
  QString registered = AddBackslash(folder) + name;
  regFileExists_ = EnsureFileExists(registered);
  return false;
}

void HTMLHelpWrapper::HHRegister(const QString& FileName) {
  if (FileName.isEmpty() || !IsChmFile(FileName)) return;
  HHCheckRegistry(FileName);
  if (!regFileName_.isEmpty()) {
    Inform("The file " + FileName + " is already registered.  HHRegister will not be run as no action need be taken.");
    return;
  }
  QString completed = FileName;
  if (!EnsureFileExists(completed)) return;
  if (!HasFolder(completed)) {
    Warn("Cannot register " + FileName + " without having a supplied path.\"");
    return;
  }
  const QString name = NamePart(completed);
  const QString folder = completed.left(completed.size() - name.size());
  settings_.SaveSetting(kHelpRegistryApp, kHelpRegistrySection, name, folder);
  if (settings_.GetSetting(kHelpRegistryApp, kHelpRegistrySection, name, QString()) != folder) {
    Warn("HTML Help Class: HHRegister Error");
    HHCheckRegistry(FileName);
  }
}

void HTMLHelpWrapper::HHUnRegister(const QString& FileName) {
  if (FileName.isEmpty() || !IsChmFile(FileName)) return;
  HHCheckRegistry(FileName);
  if (regFileName_.isEmpty()) {
    Inform("The file " + FileName + " is not registered.  HHUnRegister will not be run as no action need be taken.");
    return;
  }
  // An empty value is no registration.
  settings_.SaveSetting(kHelpRegistryApp, kHelpRegistrySection, NamePart(FileName), QString());
  HHCheckRegistry(FileName);
}

// ---- Installation checks ----

bool HTMLHelpWrapper::HHInstalled() {
  const QString file = CHMFile.isEmpty() ? programFolder_ + "/Marrowdale.chm" : CHMFile;
  return backend_.CollectionOpens(HasFolder(file) ? file : programFolder_ + "/" + file);
}

QString HTMLHelpWrapper::CheckComponent(HelpComponent component) {
  const bool engine = component == HelpComponent::Engine;
  const HelpComponentFacts facts = backend_.Component(component);
  if (!facts.registered) {
    Critical(engine ? "The Qt Help engine is not installed.  Please install the package libqt6help6."
                    : "The help window's page viewer (Qt Widgets) is not installed.  Please install the package "
                      "libqt6widgets6.");
    return {};
  }
  if (!facts.present) {
    Critical(engine ? "The Qt Help engine cannot read help collections: its SQLite driver is missing.  Please "
                      "install the package libqt6sql6-sqlite."
                    : "The help window's page viewer cannot show pages.  Please reinstall the package "
                      "libqt6widgets6.");
    return {};
  }
  return FormatComponentVersion(facts.version);
}

QString HTMLHelpWrapper::HHVersion() {
  hhVersion_ = CheckComponent(HelpComponent::Engine);
  return hhVersion_;
}

QString HTMLHelpWrapper::IEVersion() {
  ieVersion_ = CheckComponent(HelpComponent::PageViewer);
  return ieVersion_;
}

QString HTMLHelpWrapper::HHFriendlyName() { return HelpEngineReleaseName(HHVersion()); }
QString HTMLHelpWrapper::IEFriendlyName() { return PageViewerReleaseName(IEVersion()); }

bool HTMLHelpWrapper::HHVerifyMinConfig(int MinHH, int MinIE) {
  bool engineMet = false, viewerMet = false;
  const QString engine = HHVersion();
  const QString engineMin = HelpEngineMinimum(MinHH);
  if (engineMin.isEmpty()) hhVersion_ = "unknown";
  else engineMet = !engine.isEmpty() && CompareVersions(engine, engineMin) >= 0;
  const QString viewer = IEVersion();
  const QString viewerMin = PageViewerMinimum(MinIE);
  if (viewerMin.isEmpty()) ieVersion_ = "unknown";
  else viewerMet = !viewer.isEmpty() && CompareVersions(viewer, viewerMin) >= 0;
  return engineMet && viewerMet;
}

}  // namespace media
