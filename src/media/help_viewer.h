#pragma once
// The help viewer: the program's manual with its contents and keyword
// look-up, in the program's own help window. It shows its own messages
// when something fails; callers only ask.

#include <QString>

namespace media {

class HTMLHelp {
 public:
  virtual ~HTMLHelp() = default;
  // The help file to open.
  virtual void SetCHMFile(const QString& path) = 0;
  // The name of the help window to open ("Size").
  virtual void SetHHWindow(const QString& name) = 0;
  // The keyword of the next look-up.
  virtual void SetHHKeyword(const QString& keyword) = 0;
  // Opens the help at the topic of the keyword.
  virtual long HHDisplayKeyword() = 0;
  // Opens the help at its table of contents.
  virtual long HHDisplayContents() = 0;
  // Closes every help window the program opened.
  virtual void HHClose() = 0;
};

}  // namespace media
