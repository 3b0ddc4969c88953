#pragma once
// The help engine under the HTMLHelp class: one entry point that takes a
// command, a help file name and the command's data, the way the class
// issues its commands, plus the facts the installation checks read. The Qt
// implementation shows the manual's Qt Help collection in the program's own
// help window; the recording fake keeps every call for tests.

#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace media {

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

// The data of a keyword or A-link look-up.
struct HelpLookup {
  QString keywords;          // one or more, separated by ";"
  QString url;               // the topic shown when none is found
  QString msgText;           // the box shown when none is found
  QString msgTitle;
  QString window;            // the window type to show the topic in; empty: the file's
  bool indexOnFail = false;  // open the index when none is found
};

// The data of a text popup.
struct HelpPopup {
  int textId = 0;             // the topic number in a popup file, or a string number
  QString text;               // literal text
  std::uint32_t textColor = 0;  // 0x00BBGGRR; 0 the default
  std::uint32_t backColor = 0;
  QString font;               // "face, size, ascii, styles"
};

struct HelpRequest {
  HelpCommand command = HelpCommand::DisplayTopic;
  QString file;               // "help.chm", "help.chm>window" or "help.chm::/popups.txt"; may be empty
  bool nullFile = false;      // no file at all (popups of literal text)
  QString topic;              // a topic path inside the file
  long topicId = 0;           // a context number
  bool searchExecute = false; // a search runs at once
  HelpLookup lookup;
  HelpPopup popup;
};

enum class HelpComponent { Engine, PageViewer };

// What the installation checks learn of a component.
struct HelpComponentFacts {
  bool registered = false;   // the component is part of this installation
  bool present = false;      // and can do its work
  std::array<int, 4> version{};
};

class HelpBackend {
 public:
  virtual ~HelpBackend() = default;
  // Carries out one command; the handle of the window it shows, 0 for none.
  virtual HelpWindowHandle HtmlHelp(HelpWindowHandle owner, const HelpRequest& request) = 0;
  // The help engine opens the collection that stands for this help file.
  virtual bool CollectionOpens(const QString& chmFile) = 0;
  virtual HelpComponentFacts Component(HelpComponent component) = 0;
};

// The collection that stands for a help file name: "Marrowdale.chm" (with
// a window type or popup file after it or not) is read from
// "Marrowdale.qhc" in the same folder.
QString HelpCollectionFor(const QString& chmFile);

// The manual in the program's own help window, over Qt Help. The help
// windows have no owner and never keep the program running.
std::unique_ptr<HelpBackend> CreateQtHelpBackend();

// Keeps every request; answers with handles 1, 2, ... for commands that
// show a window, and with the facts it is given.
class RecordingHelpBackend : public HelpBackend {
 public:
  struct Call {
    HelpWindowHandle owner;
    HelpRequest request;
  };
  HelpWindowHandle HtmlHelp(HelpWindowHandle owner, const HelpRequest& request) override {
    calls.push_back({owner, request});
    if (request.command == HelpCommand::CloseAll || request.command == HelpCommand::DisplayTextPopup) return 0;
    return ++lastHandle;
  }
  bool CollectionOpens(const QString& chmFile) override {
    opened.push_back(chmFile);
    return collectionOpens;
  }
  HelpComponentFacts Component(HelpComponent component) override {
    return component == HelpComponent::Engine ? engine : pageViewer;
  }

  std::vector<Call> calls;
  std::vector<QString> opened;
  HelpWindowHandle lastHandle = 0;
  bool collectionOpens = true;
  HelpComponentFacts engine{true, true, {6, 4, 2, 0}};
  HelpComponentFacts pageViewer{true, true, {6, 4, 2, 0}};
};

}  // namespace media
