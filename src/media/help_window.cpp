#include "media/help_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <map>

#include "media/help_backend.h"

namespace media {

namespace {

constexpr char kHelpWindowTitle[] = "Marrowdale Help";
constexpr char kManualFolder[] = "doc";

bool IsWebAddress(const QUrl& url) { return url.scheme() == "http" || url.scheme() == "https"; }

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
  ready_ = QFileInfo(collectionFile).isFile() && engine_->setupData() &&
           !engine_->registeredDocumentations().isEmpty();

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
  connect(query, &QHelpSearchQueryWidget::search, search,
          [search, query] { search->search(query->searchInput()); });
  connect(results, &QHelpSearchResultWidget::requestShowLink, this, [this](const QUrl& url) { Show(url); });
  connect(lookFor_, &QLineEdit::textChanged, index, [index](const QString& text) { index->filterIndices(text); });
  connect(lookFor_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);

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

QUrl HelpWindow::TopicUrl(const QString& topic) const {
  const QStringList docs = engine_->registeredDocumentations();
  if (docs.isEmpty()) return {};
  QUrl url;
  url.setScheme("qthelp");
  url.setHost(docs.first());
  const int mark = topic.indexOf('#');
  url.setPath("/" + QString(kManualFolder) + "/" + (mark < 0 ? topic : topic.left(mark)));
  if (mark >= 0) url.setFragment(topic.mid(mark + 1));
  return url;
}

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

QUrl HelpWindow::CurrentPage() const { return browser_->source(); }

// ---- The help engine the HTMLHelp class drives ----

QString HelpCollectionFor(const QString& chmFile) {
  QString file = chmFile;
  const int window = file.indexOf('>');
  if (window >= 0) file.truncate(window);
  file.replace('\\', '/');
  const QFileInfo info(file);
  const QString folder = info.path();
  return (folder == "." && !file.startsWith("./") ? QString() : folder + "/") + info.completeBaseName() + ".qhc";
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

struct ParsedFile {
  QString collection;
  QString windowType;
};

ParsedFile Parse(const QString& file) {
  ParsedFile p;
  QString rest = file;
  const int window = rest.indexOf('>');
  if (window >= 0) {
    p.windowType = rest.mid(window + 1).trimmed();
    rest.truncate(window);
  }
  if (!rest.isEmpty()) p.collection = HelpCollectionFor(rest);
  return p;
}

// A help window asked for from a modal dialog stands over that dialog and
// can be used while the dialog is open; when the dialog goes, the help
// window stays, on its own again.
class OverModalDialog : public QObject {
 public:
  OverModalDialog(QWidget* help, QWidget* dialog) : QObject(help), help_(help), dialog_(dialog) {
    const QRect place = help->geometry();
    help->setParent(dialog, Qt::Window);
    help->setGeometry(place);
    dialog->installEventFilter(this);
  }

  static void Place(QWidget* help) {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == help || help->parentWidget() == dialog) return;
    new OverModalDialog(help, dialog);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == dialog_ && event->type() == QEvent::Hide && help_) {
      dialog_->removeEventFilter(this);
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
  QPointer<QWidget> help_;
  QPointer<QWidget> dialog_;
};

class QtHelpBackend : public HelpBackend {
 public:
  ~QtHelpBackend() override {
    for (auto& [key, entry] : windows_) delete entry.window.data();
  }

  HelpWindowHandle HtmlHelp(const HelpRequest& request) override {
    if (request.command == HelpCommand::CloseAll) {
      CloseAll();
      return 0;
    }
    const ParsedFile file = Parse(request.file);
    const QString type = request.window.isEmpty() ? file.windowType : request.window;
    auto [window, handle] = WindowFor(file.collection, type);
    if (!window) return 0;
    switch (request.command) {
      case HelpCommand::DisplayTopic: window->ShowTopic(request.topic); break;
      case HelpCommand::DisplayToc: window->ShowContents(); break;
      case HelpCommand::KeywordLookup:
        if (!window->ShowKeyword(request.keywords)) window->ShowIndex(request.keywords.section(';', 0, 0));
        break;
      case HelpCommand::CloseAll: break;
    }
    OverModalDialog::Place(window);
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
    for (auto& [key, entry] : windows_)
      if (entry.window) entry.window->close();
    windows_.clear();
  }

  struct Entry {
    QPointer<HelpWindow> window;
    HelpWindowHandle handle = 0;
    QString type;  // the window type it was placed by; empty: none yet
  };
  std::map<QString, Entry> windows_;
  HelpWindowHandle lastHandle_ = 0;
};

}  // namespace

std::unique_ptr<HelpBackend> CreateQtHelpBackend() { return std::make_unique<QtHelpBackend>(); }

}  // namespace media
