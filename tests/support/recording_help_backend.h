#pragma once
// A help engine for the tests: it shows nothing and keeps every call.

#include <vector>

#include "media/help_backend.h"

namespace media {

// Keeps every request; answers with handles 1, 2, ... for commands that
// show a window.
class RecordingHelpBackend : public HelpBackend {
 public:
  HelpWindowHandle HtmlHelp(const HelpRequest& request) override {
    calls.push_back(request);
    if (request.command == HelpCommand::CloseAll || request.command == HelpCommand::DisplayTextPopup) return 0;
    return ++lastHandle;
  }

  std::vector<HelpRequest> calls;
  HelpWindowHandle lastHandle = 0;
};

}  // namespace media
