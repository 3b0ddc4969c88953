#pragma once
// The HTMLHelp class: the settings of a help request kept as properties,
// each display method turned into one or two commands of the help engine,
// and text popups. Its messages are its own boxes, captioned
// "HTML Help Class".
//
// The help file is the manual's Qt Help collection (".qhc"). Help files
// are not registered anywhere and the help components are not checked:
// the collection is found by its path, and the help engine is part of the
// program.

#include <QString>
#include <cstdint>
#include <functional>

#include "media/help_backend.h"
#include "media/help_viewer.h"

namespace platform {
class UiService;
}  // namespace platform

namespace media {

inline constexpr char kHelpClassTitle[] = "HTML Help Class";
// The ending of a help file's name.
inline constexpr char kHelpFileExtension[] = ".qhc";
// The ending of a text-popup file's name.
inline constexpr char kPopupFileExtension[] = ".txt";
// What HHSetHelpFile names.
inline constexpr char kLibraryHelpFile[] = "Library.qhc";
inline constexpr char kLibraryPopupFile[] = "Library.txt";

// The popup kinds of HHPopupType.
inline constexpr std::int32_t kPopupNone = 0;
inline constexpr std::int32_t kPopupFromFile = 1;
inline constexpr std::int32_t kPopupResourceString = 2;
inline constexpr std::int32_t kPopupText = 4;

inline constexpr char kDefaultPopupFont[] = "Arial";
inline constexpr char kDefaultPopupSize[] = "10";

// The program's strings by number, for popups of kind 2; "" for a number
// the program has no string for.
using ProgramStrings = std::function<QString(std::int32_t)>;

class HTMLHelpWrapper : public HTMLHelp {
 public:
  // programFolder: where a help file named without a folder is looked for.
  HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, QString programFolder,
                  ProgramStrings programStrings = {});

  // The help viewer as ShowHelp drives it (no owner window).
  void SetCHMFile(const QString& path) override { CHMFile = path; }
  void SetHHWindow(const QString& name) override { HHWindow = name; }
  void SetHHKeyword(const QString& keyword) override { HHKeyword = keyword; }
  long HHDisplayKeyword() override { return static_cast<long>(HHDisplayKeyword(0)); }
  long HHDisplayContents() override { return static_cast<long>(HHDisplayContents(0)); }
  void HHClose() override;

  // The display methods; hWnd is the caller's window (its winId()), the
  // owner of the help window only when HHShowOnTop is set. Each answers the
  // handle it stores for HHWndHandle (0 for none).
  void HHDeleteJumpURLSysMenu(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayTopicURL(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayTopicID(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplaySearch(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayKeyword(HelpWindowHandle hWnd);
  // Stores its handle only when a window type is set.
  HelpWindowHandle HHDisplayIndex(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayContents(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayALink(HelpWindowHandle hWnd);
  // A text popup at the mouse cursor, standing over hWnd.
  void HHDisplayPopup(HelpWindowHandle hWnd);
  // Turns the pointer into the what's-this pointer.
  void HHInvokeWhatsThisHelp(HelpWindowHandle hWnd);
  // A help file's name for the kind, not stored: 1 the library in the
  // program folder, 2 its popup file; anything else "".
  QString HHSetHelpFile(int Kind) const;

  // True when the name ends in ".qhc" (any case); otherwise tells so.
  bool IsChmFile(const QString& FileName);
  // True when the name ends in ".txt" (any case); otherwise tells so.
  bool IsTxtPopupFile(const QString& FileName);
  // Completes a name without a folder from the program folder, then
  // answers whether the file is there; tells when not.
  bool EnsureFileExists(QString& FileName);

  // The handle of the help window the last display showed; tells when
  // there is none.
  HelpWindowHandle HHWndHandle();

  // The settings of a request.
  QString HHWindow;
  QString HHTopicURL;
  std::int32_t HHTopicID = 0;
  QString HHMsgTitle;
  QString HHMsgText;
  QString HHKeyword;
  QString HHDefaultURL;
  QString HHALink;
  QString CHMFile;
  bool HHShowOnTop = false;
  QString HHPopupFile;
  std::int32_t HHPopupID = 0;
  QString HHPopupText;
  std::int32_t HHPopupType = kPopupNone;
  std::uint32_t HHPopupTextColor = 0, HHPopupBackColor = 0;
  std::uint32_t HHPopupCustomTextColor = 0, HHPopupCustomBackColor = 0;
  bool HHPopupCustomColors = false;
  QString HHPopupTextFont, HHPopupTextSize;
  bool HHPopupTextBold = false, HHPopupTextItalic = false, HHPopupTextUnderline = false;

 private:
  // The file argument: CHMFile, with ">" and the window type when one is set.
  QString FileArgument() const;
  // A request of that command on the help file (and its window type).
  HelpRequest OnFile(HelpCommand command) const;
  // The window type of a look-up: empty when none is set.
  QString LookupWindow() const;
  HelpWindowHandle Owner(HelpWindowHandle hWnd) const { return HHShowOnTop ? hWnd : 0; }
  bool Ready();
  HelpWindowHandle Issue(HelpWindowHandle hWnd, HelpRequest request);
  HelpRequest Lookup(HelpCommand command, const QString& names) const;
  void Warn(const QString& text);

  HelpBackend& backend_;
  platform::UiService& ui_;
  QString programFolder_;
  ProgramStrings programStrings_;
  HelpWindowHandle wndHandle_ = 0;  // the window the last display showed
};

}  // namespace media
