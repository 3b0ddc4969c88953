#include "media/help_window.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>

#include "media/help_backend.h"
#include "platform/ui.h"

namespace media {

namespace {

constexpr char kHelpWindowTitle[] = "Marrowdale Help";
constexpr char kManualFolder[] = "doc";

bool IsWebAddress(const QUrl& url) { return url.scheme() == "http" || url.scheme() == "https"; }

// The address of a file of the collection's documentation by its path
// inside it ("rules.html#stop"); invalid when the collection holds none.
QUrl DocumentationUrl(const QHelpEngineCore& engine, const QString& path) {
  const QStringList docs = engine.registeredDocumentations();
  if (docs.isEmpty()) return {};
  QUrl url;
  url.setScheme("qthelp");
  url.setHost(docs.first());
  const int mark = path.indexOf('#');
  url.setPath("/" + QString(kManualFolder) + "/" + (mark < 0 ? path : path.left(mark)));
  if (mark >= 0) url.setFragment(path.mid(mark + 1));
  return url;
}

// The words of a full-text query as a pattern that finds each at the start
// of a word, a quoted phrase as a whole; operators and the "*" of a
// wildcard dropped.
QRegularExpression QueryWords(const QString& query) {
  static const QRegularExpression term(R"re("([^"]*)"|([\w']+))re");
  static const QRegularExpression word(R"re([\w']+)re");
  QStringList terms;
  for (auto it = term.globalMatch(query); it.hasNext();) {
    const auto m = it.next();
    QStringList words;
    for (auto w = word.globalMatch(m.captured(1) + m.captured(2)); w.hasNext();)
      words << QRegularExpression::escape(w.next().captured(0));
    if (!words.isEmpty()) terms << words.join("\\W+");
  }
  if (terms.isEmpty()) return {};
  return QRegularExpression("\\b(?:" + terms.join('|') + ")",
                            QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

// The anchor of the section of a page where one of the words first
// appears; empty when they appear first above the page's first section.
QString SectionOfFirstHit(const QString& html, const QRegularExpression& words) {
  if (!words.isValid() || words.pattern().isEmpty()) return {};
  QTextDocument page;
  page.setHtml(html);
  QString section;
  for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QStringList anchors = fragment.charFormat().anchorNames();
      if (!anchors.isEmpty()) section = anchors.last();
      if (words.match(fragment.text()).hasMatch()) return section;
    }
  }
  return {};
}

}  // namespace

// ---- The page browser ----

HelpBrowser::HelpBrowser(QHelpEngine& engine, QWidget* parent) : QTextBrowser(parent), engine_(engine) {
  setOpenLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
    if (IsWebAddress(link)) {
      QDesktopServices::openUrl(link);
      return;
    }
    const QUrl target = link.isRelative() ? source().resolved(link) : link;
    if (target.scheme() == "qthelp") setSource(target);
  });
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
  loading_ = name;
  QTextBrowser::doSetSource(name, type);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
  const QUrl url = name.isRelative() ? loading_.resolved(name) : name;
  if (url.scheme() == "qthelp") {
    const QByteArray data = engine_.fileData(url);
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
      return QString::fromUtf8(data);
    return data;
  }
  return {};
}

// ---- The window ----

HelpWindow::HelpWindow(const QString& collectionFile) : QWidget(nullptr, Qt::Window) {
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(kHelpWindowTitle);
  engine_ = std::make_unique<QHelpEngine>(collectionFile);
  engine_->setReadOnly(true);
  ready_ = QFileInfo(collectionFile).isFile() && engine_->setupData() && !engine_->registeredDocumentations().isEmpty();

  tabs_ = new QTabWidget;
  QHelpContentWidget* contents = engine_->contentWidget();
  tabs_->addTab(contents, "Contents");

  auto* indexPage = new QWidget;
  auto* indexLayout = new QVBoxLayout(indexPage);
  indexLayout->setContentsMargins(4, 4, 4, 4);
  indexLayout->addWidget(new QLabel("Type in the keyword to find:"));
  lookFor_ = new QLineEdit;
  lookFor_->setClearButtonEnabled(true);
  indexLayout->addWidget(lookFor_);
  QHelpIndexWidget* index = engine_->indexWidget();
  indexLayout->addWidget(index);
  tabs_->addTab(indexPage, "Index");

  // Full-text search: every word of every page, from the index the build
  // made beside the collection.
  QHelpSearchEngine* search = engine_->searchEngine();
  searchPage_ = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage_);
  searchLayout->setContentsMargins(4, 4, 4, 4);
  QHelpSearchQueryWidget* query = search->queryWidget();
  QHelpSearchResultWidget* results = search->resultWidget();
  searchLayout->addWidget(query);
  searchLayout->addWidget(results, 1);
  tabs_->addTab(searchPage_, "Search");

  browser_ = new HelpBrowser(*engine_);
  auto* bar = new QToolBar;
  bar->addAction("Back", browser_, &QTextBrowser::backward);
  bar->addAction("Forward", browser_, &QTextBrowser::forward);
  bar->addAction("Home", this, [this] { Show(DefaultTopic()); });

  auto* right = new QWidget;
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  rightLayout->addWidget(bar);
  rightLayout->addWidget(browser_);

  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(right);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({240, 620});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(splitter);

  connect(contents, &QHelpContentWidget::linkActivated, this, [this](const QUrl& url) { Show(url); });
  connect(index, &QHelpIndexWidget::documentActivated, this,
          [this](const QHelpLink& document, const QString&) { Show(document.url); });
  connect(index, &QHelpIndexWidget::documentsActivated, this,
          [this](const QList<QHelpLink>& documents, const QString&) {
            if (!documents.isEmpty()) Show(documents.first().url);
          });
  connect(query, &QHelpSearchQueryWidget::search, search, [search, query] { search->search(query->searchInput()); });
  connect(results, &QHelpSearchResultWidget::requestShowLink, this, &HelpWindow::ShowSearchHit);
  connect(lookFor_, &QLineEdit::textChanged, index, [index](const QString& text) { index->filterIndices(text); });
  connect(lookFor_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
  // The index is read in the background and comes whole: a word typed
  // before it is there filters it once it is.
  connect(engine_->indexModel(), &QHelpIndexModel::indexCreated, index, [this, index] {
    if (!lookFor_->text().isEmpty()) index->filterIndices(lookFor_->text());
  });

  connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents,
          [contents] { contents->expandToDepth(0); });
  if (ready_) {
    engine_->contentModel()->createContents(QString());
    engine_->indexModel()->createIndex(QString());
  } else {
    browser_->setPlainText("The manual could not be opened from " + collectionFile + ".");
  }
}

HelpWindow::~HelpWindow() = default;

QUrl HelpWindow::TopicUrl(const QString& topic) const { return DocumentationUrl(*engine_, topic); }

QUrl HelpWindow::DefaultTopic() const { return TopicUrl("index.html"); }

void HelpWindow::Show(const QUrl& url) {
  if (!ready_ || !url.isValid()) return;
  if (IsWebAddress(url)) {
    QDesktopServices::openUrl(url);
    return;
  }
  browser_->setSource(url);
}

void HelpWindow::ShowTopic(const QString& topic) {
  QString path = topic;
  while (path.startsWith('/')) path.remove(0, 1);
  if (path.startsWith(QString(kManualFolder) + "/")) path.remove(0, int(qstrlen(kManualFolder)) + 1);
  Show(path.isEmpty() ? DefaultTopic() : TopicUrl(path));
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  if (browser_->source().isEmpty()) Show(DefaultTopic());
}

void HelpWindow::ShowIndex(const QString& lookFor) {
  tabs_->setCurrentIndex(1);
  if (!lookFor.isEmpty()) lookFor_->setText(lookFor);
  lookFor_->setFocus();
  if (browser_->source().isEmpty()) Show(DefaultTopic());
}

void HelpWindow::ShowSearch(const QString& words) {
  tabs_->setCurrentWidget(searchPage_);
  QHelpSearchEngine* search = engine_->searchEngine();
  if (!words.isEmpty()) {
    search->queryWidget()->setSearchInput(words);
    search->search(words);
  }
  search->queryWidget()->setFocus();
  if (browser_->source().isEmpty()) Show(DefaultTopic());
}

bool HelpWindow::ShowKeyword(const QString& keyword) {
  if (!ready_) return false;
  for (const QString& k : keyword.split(';', Qt::SkipEmptyParts)) {
    const QList<QHelpLink> links = engine_->documentsForKeyword(k.trimmed());
    if (!links.isEmpty()) {
      Show(links.first().url);
      return true;
    }
  }
  return false;
}

bool HelpWindow::ShowTopicNumber(int number) {
  if (!ready_) return false;
  const QList<QHelpLink> links = engine_->documentsForIdentifier(QString::number(number));
  if (links.isEmpty()) return false;
  Show(links.first().url);
  return true;
}

QUrl HelpWindow::CurrentPage() const { return browser_->source(); }

void HelpWindow::ShowSearchHit(const QUrl& page) {
  QUrl at = page;
  if (ready_ && page.scheme() == "qthelp" && page.fragment().isEmpty()) {
    const QString section = SectionOfFirstHit(QString::fromUtf8(engine_->fileData(page)),
                                              QueryWords(engine_->searchEngine()->searchInput()));
    if (!section.isEmpty()) at.setFragment(section);
  }
  Show(at);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

// ---- The text popup ----

namespace {

constexpr int kPopupMargin = 6;      // the usual margins, in pixels
constexpr int kPopupMaxWidth = 420;  // longer lines wrap

// 0x00BBGGRR; 0 is the property's empty value and gives the usual colour.
QColor PopupColor(std::uint32_t bgr, const QColor& usual) {
  if (bgr == 0) return usual;
  return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

}  // namespace

QFont PopupFont(const QString& fontText) {
  const QStringList parts = fontText.split(',');
  QFont font;
  if (!parts.value(0).trimmed().isEmpty()) font.setFamily(parts.value(0).trimmed());
  bool ok = false;
  const double size = parts.value(1).trimmed().toDouble(&ok);
  if (ok && size > 0) font.setPointSizeF(size);
  const QStringList styles = parts.value(3).split(' ', Qt::SkipEmptyParts);
  font.setBold(styles.contains("Bold", Qt::CaseInsensitive));
  font.setItalic(styles.contains("Italic", Qt::CaseInsensitive));
  font.setUnderline(styles.contains("Underline", Qt::CaseInsensitive));
  return font;
}

TextPopup::TextPopup(const QString& text, const HelpPopup& look, QWidget* owner)
    : QLabel(owner, Qt::Popup | Qt::FramelessWindowHint) {
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_QuitOnClose, false);
  setTextFormat(Qt::PlainText);
  setText(text);
  setWordWrap(true);
  setMargin(kPopupMargin);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setFont(PopupFont(look.font));
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, PopupColor(look.textColor, colours.color(QPalette::ToolTipText)));
  colours.setColor(QPalette::Window, PopupColor(look.backColor, colours.color(QPalette::ToolTipBase)));
  setPalette(colours);
  setAutoFillBackground(true);
  setMaximumWidth(kPopupMaxWidth);
}

void TextPopup::ShowAt(const QPoint& globalPos) {
  adjustSize();
  QRect place(globalPos, size());
  if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
    const QRect avail = screen->availableGeometry();
    if (place.right() > avail.right()) place.moveRight(avail.right());
    if (place.bottom() > avail.bottom()) place.moveBottom(avail.bottom());
    if (place.left() < avail.left()) place.moveLeft(avail.left());
    if (place.top() < avail.top()) place.moveTop(avail.top());
  }
  move(place.topLeft());
  show();
}

void TextPopup::mousePressEvent(QMouseEvent*) { close(); }
void TextPopup::keyPressEvent(QKeyEvent*) { close(); }

// ---- The help engine the HTMLHelp class drives ----

QString PopupFileTopic(const QString& source, int id) {
  QStringList found;
  bool in = false;
  for (const QString& line : source.split('\n')) {
    const QString t = line.trimmed();
    if (t.startsWith(".topic", Qt::CaseInsensitive)) {
      if (in) break;
      bool number = false;
      in = t.mid(6).trimmed().section(' ', 0, 0).toInt(&number) == id && number;
      continue;
    }
    if (in) found << t;
  }
  return found.join('\n').trimmed();
}

namespace {

// The named window geometries: where and how large a help window of that
// type opens, before the user moves it.
QRect NamedGeometry(const QString& windowType) {
  QRect rect(80, 60, 900, 660);
  if (windowType.compare("Size", Qt::CaseInsensitive) == 0) rect = QRect(60, 40, 960, 700);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    rect.setWidth(std::min(rect.width(), avail.width()));
    rect.setHeight(std::min(rect.height(), avail.height()));
    rect.moveTopLeft(avail.topLeft() + rect.topLeft());
    if (!avail.contains(rect)) rect.moveTopLeft(avail.topLeft());
  }
  return rect;
}

// A file argument: the collection, then a window type after ">" or a file
// inside the collection after "::/".
struct ParsedFile {
  QString collection;
  QString windowType;
  QString innerFile;
};

ParsedFile Parse(const QString& file) {
  ParsedFile p;
  QString rest = file;
  const int window = rest.indexOf('>');
  if (window >= 0) {
    p.windowType = rest.mid(window + 1).trimmed();
    rest.truncate(window);
  }
  const int inner = rest.indexOf("::");
  if (inner >= 0) {
    p.innerFile = rest.mid(inner + 2);
    while (p.innerFile.startsWith('/')) p.innerFile.remove(0, 1);
    rest.truncate(inner);
  }
  p.collection = rest.replace('\\', '/');
  return p;
}

// A help window asked for over a window (the caller's, or an open modal
// dialog) stands over it and can be used while a dialog is open; when that
// window goes, the help window stays, on its own again. Window managers
// keep a window above its transient parent only when it is of a transient
// kind (Qt tells them the parent only for those), so it is a dialog for
// that time, with the buttons of a plain window.
class StandsOver : public QObject {
 public:
  static constexpr Qt::WindowFlags kOverFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

  StandsOver(QWidget* help, QWidget* window) : QObject(help), help_(help), window_(window) {
    setObjectName(kName);
    const QRect place = help->geometry();
    help->setParent(window, kOverFlags);
    help->setGeometry(place);
    window->installEventFilter(this);
  }

  // owner: the window asked for; none: an open modal dialog, if any.
  static void Place(QWidget* help, QWidget* owner) {
    QWidget* window = owner ? owner->window() : QApplication::activeModalWidget();
    if (!window || window == help || help->parentWidget() == window) return;
    delete help->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly);
    new StandsOver(help, window);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == window_ && event->type() == QEvent::Hide && help_) {
      window_->removeEventFilter(this);
      const bool shown = help_->isVisible();
      const QRect place = help_->geometry();
      help_->setParent(nullptr, Qt::Window);
      help_->setGeometry(place);
      if (shown) help_->show();
      deleteLater();
    }
    return false;
  }

 private:
  static constexpr char kName[] = "standsOver";
  QPointer<QWidget> help_;
  QPointer<QWidget> window_;
};

// The caller's window by its native id; none for 0 or a window not ours.
QWidget* CallerWindow(HelpWindowHandle owner) { return owner == 0 ? nullptr : QWidget::find(static_cast<WId>(owner)); }

class QtHelpBackend : public HelpBackend {
 public:
  explicit QtHelpBackend(platform::UiService& ui) : ui_(ui) {}
  ~QtHelpBackend() override {
    delete popup_.data();
    for (auto& [key, entry] : windows_) delete entry.window.data();
  }

  HelpWindowHandle HtmlHelp(const HelpRequest& request) override {
    if (request.command == HelpCommand::CloseAll) {
      CloseAll();
      return 0;
    }
    if (request.command == HelpCommand::DisplayTextPopup) {
      ShowPopup(request);
      return 0;
    }
    const ParsedFile file = Parse(request.file);
    const QString type = request.window.isEmpty() ? file.windowType : request.window;
    auto [found, handle] = WindowFor(file.collection, type);
    QPointer<HelpWindow> window = found;
    if (!window) return 0;
    switch (request.command) {
      case HelpCommand::DisplayTopic: window->ShowTopic(request.topic); break;
      case HelpCommand::HelpContext:
        if (!window->ShowTopicNumber(request.topicId)) return 0;
        break;
      case HelpCommand::DisplayToc: window->ShowContents(); break;
      case HelpCommand::DisplayIndex: window->ShowIndex(); break;
      case HelpCommand::DisplaySearch: window->ShowSearch(); break;
      case HelpCommand::KeywordLookup:
      case HelpCommand::ALinkLookup:
        if (window->ShowKeyword(request.keywords)) break;
        if (!request.url.isEmpty()) {
          window->ShowTopic(request.url);
        } else if (!request.msgText.isEmpty()) {
          {
            platform::UiService::OwnedBy over(ui_, window->isVisible() ? window.data() : nullptr);
            ui_.MsgBox(request.msgText, platform::vbOKOnly, request.msgTitle);
          }
          // The box was the answer; a window shown before stays as it is.
          return window && window->isVisible() ? handle : 0;
        } else {
          window->ShowIndex(request.keywords.section(';', 0, 0));
        }
        break;
      case HelpCommand::DisplayTextPopup:
      case HelpCommand::CloseAll: break;
    }
    StandsOver::Place(window, CallerWindow(request.owner));
    window->show();
    window->raise();
    window->activateWindow();
    return handle;
  }

 private:
  // One help window per collection. The window type of the request that
  // first names one places it; a later request of another type reuses it.
  std::pair<HelpWindow*, HelpWindowHandle> WindowFor(const QString& collection, const QString& type) {
    if (collection.isEmpty()) return {nullptr, 0};
    auto it = windows_.find(collection);
    if (it != windows_.end() && it->second.window) {
      Entry& entry = it->second;
      if (entry.type.isEmpty() && !type.isEmpty()) {
        entry.type = type;
        entry.window->setGeometry(NamedGeometry(type));
      }
      return {entry.window, entry.handle};
    }
    auto* window = new HelpWindow(collection);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setGeometry(NamedGeometry(type));
    const HelpWindowHandle handle = ++lastHandle_;
    windows_[collection] = {window, handle, type};
    return {window, handle};
  }

  void CloseAll() {
    if (popup_) popup_->close();
    for (auto& [key, entry] : windows_)
      if (entry.window) entry.window->close();
    windows_.clear();
  }

  // The text of a popup: its own, or its topic in a popup file inside a
  // collection.
  QString PopupText(const HelpRequest& request) {
    if (!request.popup.text.isEmpty() || request.file.isEmpty()) return request.popup.text;
    const ParsedFile file = Parse(request.file);
    if (file.collection.isEmpty() || file.innerFile.isEmpty()) return {};
    QHelpEngineCore reader(file.collection);
    reader.setReadOnly(true);
    if (!QFileInfo(file.collection).isFile() || !reader.setupData()) return {};
    const QUrl url = DocumentationUrl(reader, file.innerFile);
    if (!url.isValid()) return {};
    return PopupFileTopic(QString::fromUtf8(reader.fileData(url)), request.popup.textId);
  }

  // One popup at a time, at the mouse cursor.
  void ShowPopup(const HelpRequest& request) {
    const QString text = PopupText(request);
    if (text.isEmpty()) return;
    if (popup_) popup_->close();
    popup_ = new TextPopup(text, request.popup, CallerWindow(request.owner));
    popup_->ShowAt(QCursor::pos());
  }

  struct Entry {
    QPointer<HelpWindow> window;
    HelpWindowHandle handle = 0;
    QString type;  // the window type it was placed by; empty: none yet
  };
  platform::UiService& ui_;
  std::map<QString, Entry> windows_;
  HelpWindowHandle lastHandle_ = 0;
  QPointer<TextPopup> popup_;
};

}  // namespace

std::unique_ptr<HelpBackend> CreateQtHelpBackend(platform::UiService& ui) {
  return std::make_unique<QtHelpBackend>(ui);
}

}  // namespace media
