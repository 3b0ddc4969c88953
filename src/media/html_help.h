#pragma once
// The HTMLHelp class: the settings of a help request kept as properties,
// each display method turned into one or two commands of the help engine.
// Its messages are its own boxes, captioned "HTML Help Class".

#include <QString>

#include "media/help_backend.h"
#include "media/help_viewer.h"

namespace platform {
class UiService;
}  // namespace platform

namespace media {

inline constexpr char kHelpClassTitle[] = "HTML Help Class";

class HTMLHelpWrapper : public HTMLHelp {
 public:
  // programFolder: where a help file named without a folder is looked for.
  HTMLHelpWrapper(HelpBackend& backend, platform::UiService& ui, QString programFolder);

  void SetCHMFile(const QString& path) override { CHMFile = path; }
  void SetHHWindow(const QString& name) override { HHWindow = name; }
  void SetHHKeyword(const QString& keyword) override { HHKeyword = keyword; }
  // Each answers the handle of the window it showed (0 for none).
  long HHDisplayKeyword() override;
  long HHDisplayContents() override;
  void HHClose() override;

  // True when the name ends in ".chm" (any case); otherwise tells so.
  bool IsChmFile(const QString& FileName);
  // Completes a name without a folder from the program folder, then
  // answers whether its collection is there; tells when not.
  bool EnsureFileExists(QString& FileName);

  // The settings of a request.
  QString HHWindow;
  QString HHKeyword;
  QString CHMFile;

 private:
  // The file argument: CHMFile, with ">" and the window type when one is set.
  QString FileArgument() const;
  bool Ready();
  void Warn(const QString& text);

  HelpBackend& backend_;
  platform::UiService& ui_;
  QString programFolder_;
};

}  // namespace media
