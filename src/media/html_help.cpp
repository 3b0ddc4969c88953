#include "media/html_help.h"

#include <QFileInfo>
#include <QWhatsThis>

#include "media/folders.h"
#include "platform/ui.h"

namespace media {

namespace {

bool HasFolder(const QString& name) { return name.contains('/') || name.contains('\\'); }

}  // namespace

HTMLHelpWrapper::HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, QString programFolder,
                                 ProgramStrings programStrings)
    : backend_(backend),
      ui_(ui),
      programFolder_(StripBackslash(programFolder)),
      programStrings_(std::move(programStrings)) {}

void HTMLHelpWrapper::Warn(const QString& text) { ui_.MsgBox(text, platform::vbExclamation, kHelpClassTitle); }

// ---- Files ----

bool HTMLHelpWrapper::IsChmFile(const QString& FileName) {
  if (FileName.endsWith(kHelpFileExtension, Qt::CaseInsensitive)) return true;
  Warn(FileName + " is not a valid HTML Help file.");
  return false;
}

bool HTMLHelpWrapper::IsTxtPopupFile(const QString& FileName) {
  if (FileName.endsWith(kPopupFileExtension, Qt::CaseInsensitive)) return true;
  Warn("The file specified as the text popup source, '" + FileName + "', is not a valid popup file.");
  return false;
}

bool HTMLHelpWrapper::EnsureFileExists(QString& FileName) {
  if (!HasFolder(FileName)) FileName = programFolder_ + "/" + FileName;
  if (QFileInfo(FileName).isFile()) return true;
  Warn("The file " + FileName +
       " does not exist.\nPlease make sure the correct path and file name have been "
       "specified.");
  return false;
}

QString HTMLHelpWrapper::HHSetHelpFile(int Kind) const {
  if (Kind == 1) return programFolder_ + "/" + kLibraryHelpFile;
  if (Kind == 2) return kLibraryPopupFile;
  return {};
}

HelpWindowHandle HTMLHelpWrapper::HHWndHandle() {
  if (wndHandle_ == 0) Warn("No HTML Help window handle to retrieve.");
  return wndHandle_;
}

// ---- Display ----

QString HTMLHelpWrapper::LookupWindow() const { return HHWindow.trimmed().isEmpty() ? QString() : HHWindow; }

QString HTMLHelpWrapper::FileArgument() const { return LookupWindow().isEmpty() ? CHMFile : CHMFile + ">" + HHWindow; }

bool HTMLHelpWrapper::Ready() { return IsChmFile(CHMFile) && EnsureFileExists(CHMFile); }

HelpWindowHandle HTMLHelpWrapper::Issue(HelpWindowHandle hWnd, HelpRequest request) {
  request.owner = Owner(hWnd);
  wndHandle_ = backend_.HtmlHelp(request);
  return wndHandle_;
}

HelpRequest HTMLHelpWrapper::Lookup(HelpCommand command, const QString& names) const {
  HelpRequest r;
  r.command = command;
  r.file = CHMFile;
  r.keywords = names;
  r.url = HHDefaultURL;
  r.msgText = HHMsgText;
  r.msgTitle = HHMsgTitle;
  r.window = LookupWindow();
  return r;
}

void HTMLHelpWrapper::HHDeleteJumpURLSysMenu(HelpWindowHandle) {
  // The window manager owns the system menu of every window on this
  // desktop, and the help window adds no jump-to-address item to it: there
  // is nothing to remove.
}

HelpRequest HTMLHelpWrapper::OnFile(HelpCommand command) const {
  HelpRequest r;
  r.command = command;
  r.file = FileArgument();
  return r;
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayTopicURL(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r = OnFile(HelpCommand::DisplayTopic);
  r.topic = HHTopicURL;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayTopicID(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r = OnFile(HelpCommand::HelpContext);
  r.topicId = HHTopicID;
  return Issue(hWnd, r);
}

HelpWindowHandle HTMLHelpWrapper::HHDisplaySearch(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r = OnFile(HelpCommand::DisplaySearch);
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
  return Issue(hWnd, Lookup(HelpCommand::KeywordLookup, HHKeyword));
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayIndex(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  HelpRequest r = OnFile(HelpCommand::DisplayIndex);
  r.owner = Owner(hWnd);
  const HelpWindowHandle handle = backend_.HtmlHelp(r);
  if (!LookupWindow().isEmpty()) wndHandle_ = handle;
  return handle;
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayContents(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  return Issue(hWnd, OnFile(HelpCommand::DisplayToc));
}

HelpWindowHandle HTMLHelpWrapper::HHDisplayALink(HelpWindowHandle hWnd) {
  if (!Ready()) return 0;
  return Issue(hWnd, Lookup(HelpCommand::ALinkLookup, HHALink));
}

void HTMLHelpWrapper::HHClose() {
  HelpRequest r;
  r.command = HelpCommand::CloseAll;
  backend_.HtmlHelp(r);
}

void HTMLHelpWrapper::HHDisplayPopup(HelpWindowHandle hWnd) {
  if (HHPopupType == kPopupNone) return;
  if (HHPopupType == kPopupFromFile && !Ready()) return;

  HelpRequest r;
  r.command = HelpCommand::DisplayTextPopup;
  r.owner = hWnd;
  if (HHPopupType == kPopupText) {
    // Nothing to show: the settings stay for the next popup.
    if (HHPopupText.isEmpty()) return;
    r.popup.text = HHPopupText;
  } else if (HHPopupType == kPopupResourceString) {
    if (programStrings_) r.popup.text = programStrings_(HHPopupID);
  } else {
    r.popup.textId = HHPopupID;
  }
  r.popup.textColor = HHPopupCustomColors ? HHPopupCustomTextColor : HHPopupTextColor;
  r.popup.backColor = HHPopupCustomColors ? HHPopupCustomBackColor : HHPopupBackColor;
  if (HHPopupTextFont.isEmpty()) HHPopupTextFont = kDefaultPopupFont;
  if (HHPopupTextSize.isEmpty()) HHPopupTextSize = kDefaultPopupSize;
  r.popup.font = HHPopupTextFont + ", " + HHPopupTextSize + ", ascii, " + (HHPopupTextBold ? "Bold " : "") +
                 (HHPopupTextItalic ? "Italic " : "") + (HHPopupTextUnderline ? "Underline" : "");

  bool show = false;
  if (HHPopupType == kPopupFromFile) {
    r.file = CHMFile + "::/" + HHPopupFile;
    show = IsTxtPopupFile(r.file);
  } else if (HHPopupType == kPopupResourceString) {
    // A number the program has no string for shows nothing.
    show = !r.popup.text.isEmpty();
  } else if (HHPopupType == kPopupText) {
    show = true;
  }
  if (show) backend_.HtmlHelp(r);

  HHPopupTextColor = HHPopupBackColor = HHPopupCustomTextColor = HHPopupCustomBackColor = 0;
  HHPopupTextFont = kDefaultPopupFont;
  HHPopupTextSize = kDefaultPopupSize;
  HHPopupTextBold = HHPopupTextItalic = HHPopupTextUnderline = false;
}

void HTMLHelpWrapper::HHInvokeWhatsThisHelp(HelpWindowHandle) {
  // The what's-this mode is the application's: the next click on any of
  // its windows shows that control's what's-this text.
  QWhatsThis::enterWhatsThisMode();
}

}  // namespace media
