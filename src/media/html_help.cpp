#include "media/html_help.h"

#include <QFileInfo>

#include "media/folders.h"
#include "platform/ui.h"

namespace media {

namespace {

bool HasFolder(const QString& name) { return name.contains('/') || name.contains('\\'); }

}  // namespace

HTMLHelpWrapper::HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, QString programFolder)
    : backend_(backend), ui_(ui), programFolder_(StripBackslash(programFolder)) {}

void HTMLHelpWrapper::Warn(const QString& text) { ui_.MsgBox(text, platform::vbExclamation, kHelpClassTitle); }

bool HTMLHelpWrapper::IsChmFile(const QString& FileName) {
  if (FileName.endsWith(".chm", Qt::CaseInsensitive)) return true;
  Warn(FileName + " is not a valid HTML Help file.");
  return false;
}

bool HTMLHelpWrapper::EnsureFileExists(QString& FileName) {
  if (!HasFolder(FileName)) FileName = programFolder_ + "/" + FileName;
  const QString collection = HelpCollectionFor(FileName);
  if (QFileInfo(collection).isFile()) return true;
  Warn("The file " + collection + " does not exist.\nPlease make sure the correct path and file name have been "
       "specified.");
  return false;
}

QString HTMLHelpWrapper::FileArgument() const {
  return HHWindow.trimmed().isEmpty() ? CHMFile : CHMFile + ">" + HHWindow;
}

bool HTMLHelpWrapper::Ready() { return IsChmFile(CHMFile) && EnsureFileExists(CHMFile); }

long HTMLHelpWrapper::HHDisplayKeyword() {
  if (!Ready()) return 0;
  // The file's default topic first, then the keyword's topic over it.
  HelpRequest open;
  open.command = HelpCommand::DisplayTopic;
  open.file = CHMFile;
  backend_.HtmlHelp(open);
  HelpRequest r;
  r.command = HelpCommand::KeywordLookup;
  r.file = CHMFile;
  r.keywords = HHKeyword;
  r.window = HHWindow.trimmed().isEmpty() ? QString() : HHWindow;
  return static_cast<long>(backend_.HtmlHelp(r));
}

long HTMLHelpWrapper::HHDisplayContents() {
  if (!Ready()) return 0;
  HelpRequest r;
  r.command = HelpCommand::DisplayToc;
  r.file = FileArgument();
  return static_cast<long>(backend_.HtmlHelp(r));
}

void HTMLHelpWrapper::HHClose() {
  HelpRequest r;
  r.command = HelpCommand::CloseAll;
  backend_.HtmlHelp(r);
}

}  // namespace media
