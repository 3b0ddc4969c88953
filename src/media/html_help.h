#pragma once
// The HTMLHelp class: the settings of a help request kept as properties,
// each display method turned into one or two commands of the help engine,
// text popups, the registration of help files by name and the checks of
// the help components. Its messages are its own boxes, captioned
// "HTML Help Class".

#include <QString>
#include <cstdint>

#include "media/help_backend.h"
#include "media/help_viewer.h"

namespace platform {
class SettingsStore;
class UiService;
}  // namespace platform

namespace media {

inline constexpr char kHelpClassTitle[] = "HTML Help Class";
// Where the registrations of help files are kept: one value per file name,
// its folder ending in "/".
inline constexpr char kHelpRegistryApp[] = "Brackwell";
inline constexpr char kHelpRegistrySection[] = "HTML Help";

// "Major.Minor.Build.Revision" as the checks print a component's version:
// the minor number with at least two digits; then the third and fourth
// numbers with at least two digits each, or, when the third is 0, the
// fourth alone with at least four.
QString FormatComponentVersion(const std::array<int, 4>& version);
// Compares two dotted versions number by number (a missing number is 0;
// text that is not a number counts as 0). Negative, 0 or positive.
int CompareVersions(const QString& a, const QString& b);
// The release names of the help engine and page viewer versions; "unknown"
// for a version not in the tables.
QString HelpEngineReleaseName(const QString& version);
QString PageViewerReleaseName(const QString& version);
// The versions the minimum codes name (16-26 and 256-273); empty outside.
QString HelpEngineMinimum(int code);
QString PageViewerMinimum(int code);

// The popup kinds of HHPopupType.
inline constexpr int kPopupNone = 0;
inline constexpr int kPopupFromFile = 1;
inline constexpr int kPopupResourceString = 2;
inline constexpr int kPopupText = 4;

class HTMLHelpWrapper : public HTMLHelp {
 public:
  // programFolder: where a help file named without a folder is looked for.
  HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, platform::SettingsStore& settings,
                  QString programFolder);

  // The help viewer as ShowHelp drives it (no owner window).
  void SetCHMFile(const QString& path) override { CHMFile = path; }
  void SetHHWindow(const QString& name) override { HHWindow = name; }
  void SetHHKeyword(const QString& keyword) override { HHKeyword = keyword; }
  long HHDisplayKeyword() override { return static_cast<long>(HHDisplayKeyword(0)); }
  long HHDisplayContents() override { return static_cast<long>(HHDisplayContents(0)); }
  void HHClose() override;

  // The display methods; hWnd is the caller's window, the owner only when
  // HHShowOnTop is set. Each answers the handle it stores (0 for none).
  void HHDeleteJumpURLSysMenu(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayTopicURL(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayTopicID(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplaySearch(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayKeyword(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayIndex(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayContents(HelpWindowHandle hWnd);
  HelpWindowHandle HHDisplayALink(HelpWindowHandle hWnd);
  void HHDisplayPopup(HelpWindowHandle hWnd);
  void HHInvokeWhatsThisHelp(HelpWindowHandle hWnd);
  // A help file's name for the kind: 1 the library in the program folder,
  // 2 its popup file; anything else "".
  QString HHSetHelpFile(int Kind) const;

  // Registration of help files by name.
  bool HHCheckRegistry(const QString& FileName);
  void HHRegister(const QString& FileName);
  void HHUnRegister(const QString& FileName);

  // The installation checks.
  bool HHInstalled();
  QString HHVersion();
  QString IEVersion();
  QString HHFriendlyName();
  QString IEFriendlyName();
  bool HHVerifyMinConfig(int MinHH, int MinIE);

  // True when the name ends in ".chm" (any case); otherwise tells so.
  bool IsChmFile(const QString& FileName);
  bool IsTxtPopupFile(const QString& FileName);
  // Completes a name without a folder from its registration or the program
  // folder, then answers whether its collection is there; tells when not.
  bool EnsureFileExists(QString& FileName);

  HelpWindowHandle HHWndHandle();
  QString HHRegFileName() const { return regFileName_; }
  QString HHRegFilePath() const { return regFilePath_; }
  bool HHRegFileExists() const { return regFileExists_; }

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
  HelpWindowHandle Owner(HelpWindowHandle hWnd) const { return HHShowOnTop ? hWnd : 0; }
  bool Ready();
  HelpWindowHandle Issue(HelpWindowHandle hWnd, HelpRequest request);
  // Runs the component check; the version text, empty when it failed.
  QString CheckComponent(HelpComponent component);
  void Warn(const QString& text);
  void Inform(const QString& text);
  void Critical(const QString& text);

  HelpBackend& backend_;
  platform::UiService& ui_;
  platform::SettingsStore& settings_;
  QString programFolder_;
  HelpWindowHandle wndHandle_ = 0;
  QString regFileName_, regFilePath_;
  bool regFileExists_ = false;
  QString hhVersion_, ieVersion_;
};

}  // namespace media
