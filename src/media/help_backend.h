#pragma once
// The help engine under the HTMLHelp class: one entry point that takes a
// command, a help file name and the command's data, the way the class
// issues its commands. The Qt implementation shows the manual's Qt Help
// collection in the program's own help window; the tests' recording one
// keeps every call.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
class UiService;
}  // namespace platform

namespace media {

// A help window, or the caller's window as its native id (QWidget::winId()).
using HelpWindowHandle = std::intptr_t;

enum class HelpCommand : int {
  DisplayTopic = 0,
  DisplayToc = 1,
  DisplayIndex = 2,
  DisplaySearch = 3,
  KeywordLookup = 13,
  DisplayTextPopup = 14,
  HelpContext = 15,
  CloseAll = 18,
  ALinkLookup = 19,
};

// The data of a text popup.
struct HelpPopup {
  int textId = 0;               // the topic number in a popup file
  QString text;                 // the text itself (a literal or a string of the program)
  std::uint32_t textColor = 0;  // 0x00BBGGRR; 0: the popup's usual colour
  std::uint32_t backColor = 0;
  QString font;  // "face, size, ascii, styles"
};

struct HelpRequest {
  HelpCommand command = HelpCommand::DisplayTopic;
  HelpWindowHandle owner = 0;  // the window the help stands over; 0: none
  // "help.qhc", "help.qhc>window" or "help.qhc::/popups.txt"; empty for
  // CloseAll and for popups of a text given here.
  QString file;
  QString topic;               // a topic path inside the file
  std::int32_t topicId = 0;    // a topic number of the file's number table
  bool searchExecute = false;  // a search runs at once
  // A keyword or A-link look-up.
  QString keywords;  // one or more, separated by ";"
  QString window;    // the window type a look-up shows its topic in; empty: the file's
  QString url;       // the topic shown when none is found
  QString msgText;   // the box shown when none is found
  QString msgTitle;
  HelpPopup popup;
};

class HelpBackend {
 public:
  virtual ~HelpBackend() = default;
  // Carries out one command; the handle of the window it shows, 0 for none.
  virtual HelpWindowHandle HtmlHelp(const HelpRequest& request) = 0;
};

// The text of topic number id in a popup file: the lines after ".topic id"
// up to the next ".topic"; empty when the file has no such topic.
QString PopupFileTopic(const QString& source, int id);

// The manual in the program's own help window, over Qt Help. The help
// windows have no owner unless asked and never keep the program running;
// the box of a look-up that finds nothing is shown through ui.
std::unique_ptr<HelpBackend> CreateQtHelpBackend(platform::UiService& ui);

}  // namespace media
