#pragma once
// The help engine under the HTMLHelp class: one entry point that takes a
// command, a help file name and the command's data, the way the class
// issues its commands. The Qt implementation shows the manual's Qt Help
// collection in the program's own help window; the recording fake keeps
// every call for tests.

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace media {

using HelpWindowHandle = std::intptr_t;

enum class HelpCommand : int {
  DisplayTopic = 0,
  DisplayToc = 1,
  KeywordLookup = 13,
  CloseAll = 18,
};

struct HelpRequest {
  HelpCommand command = HelpCommand::DisplayTopic;
  QString file;      // "help.chm" or "help.chm>window"; empty for CloseAll
  QString topic;     // a topic path inside the file
  QString keywords;  // a look-up's keywords, separated by ";"
  QString window;    // the window type a look-up shows its topic in; empty: the file's
};

class HelpBackend {
 public:
  virtual ~HelpBackend() = default;
  // Carries out one command; the handle of the window it shows, 0 for none.
  virtual HelpWindowHandle HtmlHelp(const HelpRequest& request) = 0;
};

// The collection that stands for a help file name: "Marrowdale.chm" (with
// a window type after it or not) is read from "Marrowdale.qhc" in the same
// folder.
QString HelpCollectionFor(const QString& chmFile);

// The manual in the program's own help window, over Qt Help. The help
// windows have no owner and never keep the program running.
std::unique_ptr<HelpBackend> CreateQtHelpBackend();

// Keeps every request; answers with handles 1, 2, ... for commands that
// show a window.
class RecordingHelpBackend : public HelpBackend {
 public:
  HelpWindowHandle HtmlHelp(const HelpRequest& request) override {
    calls.push_back(request);
    if (request.command == HelpCommand::CloseAll) return 0;
    return ++lastHandle;
  }

  std::vector<HelpRequest> calls;
  HelpWindowHandle lastHandle = 0;
};

}  // namespace media
