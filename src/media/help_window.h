#pragma once
// The program's help window: the manual's contents, index and full-text
// search beside a page browser, with a keyword look-up above the index. It
// reads one Qt Help collection, read-only, and the search index the build
// makes beside it. It has no owner window unless asked for over one, never
// keeps the program running, and closes with Esc like every other window of
// the program. The text popup is the small window a help popup shows.

#include <QFont>
#include <QLabel>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <memory>

class QHelpEngine;
class QLineEdit;
class QTabWidget;

namespace media {

// The page browser: pages and pictures come from the help collection;
// addresses outside it open in the web browser.
class HelpBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  HelpBrowser(QHelpEngine& engine, QWidget* parent = nullptr);
  QVariant loadResource(int type, const QUrl& name) override;

 protected:
  void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

 private:
  QHelpEngine& engine_;
  QUrl loading_;  // the page being loaded: its style sheet and pictures are found beside it
};

struct HelpPopup;

class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // Opens the collection file read-only.
  explicit HelpWindow(const QString& collectionFile);
  ~HelpWindow() override;

  // The collection could be read and holds documentation.
  bool Ready() const { return ready_; }
  // Shows a page of the manual by its path inside the documentation
  // ("online.html"); empty: the first page of the contents.
  void ShowTopic(const QString& topic);
  void ShowContents();
  void ShowIndex(const QString& lookFor = {});
  // The Search tab; with words, searches for them at once.
  void ShowSearch(const QString& words = {});
  // Shows the first page the keyword leads to; false when none does.
  bool ShowKeyword(const QString& keyword);
  // Shows the page the project's topic-number table gives the number;
  // false when it gives none.
  bool ShowTopicNumber(int number);
  // The page shown now.
  QUrl CurrentPage() const;
  // A page the full-text search found, opened at the section where the
  // words searched for first appear.
  void ShowSearchHit(const QUrl& page);
  QHelpEngine& Engine() { return *engine_; }
  QTabWidget* Tabs() const { return tabs_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QUrl TopicUrl(const QString& topic) const;
  QUrl DefaultTopic() const;
  void Show(const QUrl& url);

  std::unique_ptr<QHelpEngine> engine_;
  bool ready_ = false;
  QTabWidget* tabs_ = nullptr;
  QLineEdit* lookFor_ = nullptr;
  QWidget* searchPage_ = nullptr;
  HelpBrowser* browser_ = nullptr;
};

// A text popup: a small frameless window of plain text in the popup's
// colours and font. A click or a key closes it, as does a click elsewhere.
class TextPopup : public QLabel {
  Q_OBJECT
 public:
  TextPopup(const QString& text, const HelpPopup& look, QWidget* owner);
  // Shows it with its top left corner at the point, kept on the screen.
  void ShowAt(const QPoint& globalPos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

// The font a popup's font text names: "face, size, charset, styles", the
// styles any of "Bold", "Italic" and "Underline".
QFont PopupFont(const QString& fontText);

}  // namespace media
