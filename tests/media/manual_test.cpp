// The manual as the build makes it: the collection beside the executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResult>
#include <QHelpSearchResultWidget>
#include <QImageReader>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextDocument>
#include <QWindow>
#include <QXmlStreamReader>
#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "media/help_backend.h"
#include "media/help_window.h"
#include "media/html_help.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "support/fake_ui.h"
#include "support/temp_home.h"

namespace media {
namespace {

QString Collection() { return QStringLiteral(MARROWDALE_MANUAL_DIR) + "/Marrowdale.qhc"; }

// The keywords of the help project, as name and target.
std::vector<std::pair<QString, QString>> ProjectKeywords() {
  QFile f(SourceFile("manual/Marrowdale.qhp"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&f);
  std::vector<std::pair<QString, QString>> keywords;
  while (!xml.atEnd()) {
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("keyword"))
      keywords.emplace_back(xml.attributes().value("name").toString(), xml.attributes().value("ref").toString());
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return keywords;
}

// The anchors a page defines.
std::set<QString> Anchors(const QString& html) {
  std::set<QString> names;
  static const QRegularExpression rx(R"re(<a\s+name="([^"]+)")re");
  for (auto it = rx.globalMatch(html); it.hasNext();) names.insert(it.next().captured(1));
  return names;
}

QString ReadSource(const QString& relative) {
  QFile f(SourceFile(relative));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << relative.toStdString();
  return QString::fromUtf8(f.readAll());
}

// A page's text as the reader sees it: no tags, entities decoded, white space collapsed.
QString PlainText(const QString& html) {
  QTextDocument doc;
  doc.setHtml(html);
  return doc.toPlainText().simplified();
}

// The keys the table's key handler answers, named as the manual names them:
// the plain keys, then those with Ctrl, then those with Ctrl and Shift.
std::set<QString> HandledKeys() {
  const QString source = ReadSource("src/play/window/keyboard_shortcuts.cpp");
  const int begin = source.indexOf("void MenuCommands::KeyShortcut(");
  const int end = source.indexOf("void MenuCommands::DeveloperKey(");
  EXPECT_TRUE(begin >= 0 && end > begin);
  const QString body = source.mid(begin, end - begin);
  const int ctrl = body.indexOf("if (Shift == platform::kCtrlMask)");
  const int ctrlShift = body.indexOf("(platform::kShiftMask | platform::kCtrlMask)");
  EXPECT_TRUE(ctrl > 0 && ctrlShift > ctrl);
  static const std::map<QString, QString> kNames = {{"Escape", "Esc"}, {"Back", "Backspace"}};
  static const QRegularExpression rx(R"re((?:case |KeyCode == )(?:platform::)?kVk(\w+))re");
  std::set<QString> keys;
  for (auto it = rx.globalMatch(body); it.hasNext();) {
    const auto m = it.next();
    const QString prefix = m.capturedStart() > ctrlShift ? "Ctrl+Shift+" : m.capturedStart() > ctrl ? "Ctrl+" : "";
    const QString name = m.captured(1);
    keys.insert(prefix + (kNames.count(name) ? kNames.at(name) : name));
  }
  return keys;
}

// The manual's key table: each key of a row's first cell, with the text of the row's menu-row cell.
std::map<QString, QString> ManualKeyTable() {
  QFile f(SourceFile("manual/menus.html"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  const QString html = QString::fromUtf8(f.readAll());
  static const QRegularExpression table(R"re(<table class="keys">(.*?)</table>)re",
                                        QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression row(R"re(<tr><td>(.*?)</td><td>(.*?)</td>)re",
                                      QRegularExpression::DotMatchesEverythingOption);
  std::map<QString, QString> keys;
  for (auto it = row.globalMatch(table.match(html).captured(1)); it.hasNext();) {
    const auto m = it.next();
    for (const QString& key : m.captured(1).split(", ")) keys[key.trimmed()] = PlainText(m.captured(2));
  }
  return keys;
}

class ManualTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QFile::exists(Collection())) << Collection().toStdString();
    engine = std::make_unique<QHelpEngineCore>(Collection());
    engine->setReadOnly(true);
    ASSERT_TRUE(engine->setupData()) << engine->error().toStdString();
    ASSERT_EQ(engine->registeredDocumentations().size(), 1);
  }
  QByteArray Page(const QUrl& url) const {
    QUrl page = url;
    page.setFragment(QString());
    return engine->fileData(page);
  }
  std::unique_ptr<QHelpEngineCore> engine;
};

TEST_F(ManualTest, EveryKeywordAndEveryLinkLeadsToAPage) {
  const auto keywords = ProjectKeywords();
  ASSERT_GT(keywords.size(), 20u);
  for (const auto& [name, ref] : keywords) {
    const QList<QHelpLink> links = engine->documentsForKeyword(name);
    ASSERT_FALSE(links.isEmpty()) << name.toStdString();
    const QUrl url = links.first().url;
    const QByteArray page = Page(url);
    EXPECT_FALSE(page.isEmpty()) << name.toStdString() << " -> " << url.toString().toStdString();
    if (url.hasFragment()) {
      EXPECT_TRUE(Anchors(QString::fromUtf8(page)).count(url.fragment()))
          << name.toStdString() << " -> missing anchor " << url.fragment().toStdString();
    }
  }
  // What the connection and chat windows ask for.
  EXPECT_TRUE(engine->documentsForKeyword("Online").first().url.path().endsWith("/online.html"));
  EXPECT_TRUE(engine->documentsForKeyword("Chat Window").first().url.path().endsWith("/chat.html"));

  const QString ns = engine->registeredDocumentations().first();
  const QList<QUrl> files = engine->files(ns, QStringList());
  int pages = 0;
  static const QRegularExpression href(R"re(href="([^"]+)")re");
  for (const QUrl& file : files) {
    if (!file.path().endsWith(".html")) continue;
    ++pages;
    const QString html = QString::fromUtf8(engine->fileData(file));
    for (auto it = href.globalMatch(html); it.hasNext();) {
      const QUrl target = file.resolved(QUrl(it.next().captured(1)));
      if (target.scheme() != "qthelp") continue;
      const QByteArray page = Page(target);
      EXPECT_FALSE(page.isEmpty()) << file.toString().toStdString() << " links to " << target.toString().toStdString();
      if (target.hasFragment() && !page.isEmpty()) {
        EXPECT_TRUE(Anchors(QString::fromUtf8(page)).count(target.fragment())) << target.toString().toStdString();
      }
    }
    static const QRegularExpression img(R"re(<img src="([^"]+)")re");
    for (auto it = img.globalMatch(html); it.hasNext();) {
      const QUrl picture = file.resolved(QUrl(it.next().captured(1)));
      EXPECT_FALSE(engine->fileData(picture).isEmpty())
          << file.toString().toStdString() << " shows " << picture.toString().toStdString();
    }
  }
  EXPECT_GE(pages, 10);
}

// The pages in the order the Contents tab lists them, each with the title
// its entry there shows: the sections of the help project in document
// order, a page counted where it first appears.
std::vector<std::pair<QString, QString>> ContentsPages() {
  QFile f(SourceFile("manual/Marrowdale.qhp"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&f);
  std::vector<std::pair<QString, QString>> pages;
  std::map<QString, QString> titles;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("section")) continue;
    const QString ref = xml.attributes().value("ref").toString();
    const QString page = ref.section('#', 0, 0);
    if (!ref.contains('#')) titles[page] = xml.attributes().value("title").toString();
    if (std::none_of(pages.begin(), pages.end(), [&](const auto& p) { return p.first == page; }))
      pages.emplace_back(page, QString());
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  for (auto& [page, title] : pages) {
    EXPECT_TRUE(titles.count(page)) << page.toStdString() << " has no entry of its own in the contents";
    title = titles[page];
  }
  return pages;
}

// Every page ends in one line of links: the page before it and the page
// after it in the Contents tab's order, named as the Contents tab names
// them, and the contents page itself; every page of the help project is
// on that chain.
TEST_F(ManualTest, EveryPageLeadsOnToTheNextPageOfTheContents) {
  const auto pages = ContentsPages();
  ASSERT_GE(pages.size(), 10u);
  EXPECT_EQ(pages.front().first, "index.html");
  static const QRegularExpression navLine(R"re(<p class="nav">(.*?)</p>)re",
                                          QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression link(R"re(<a href="([^"]+)"(?: rel="(prev|next)")?>([^<]*)</a>)re");
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const QString& page = pages[i].first;
    SCOPED_TRACE(page.toStdString());
    const QString html = ReadSource("manual/" + page);
    auto lines = navLine.globalMatch(html);
    if (!lines.hasNext()) {
      ADD_FAILURE() << "no line of links";
      continue;
    }
    const QString nav = lines.next().captured(1);
    EXPECT_FALSE(lines.hasNext()) << "more than one line of links";
    std::map<QString, std::pair<std::string, std::string>> links;  // prev, next or contents: target and text
    for (auto it = link.globalMatch(nav); it.hasNext();) {
      const auto m = it.next();
      const QString role = m.captured(2).isEmpty() ? QStringLiteral("contents") : m.captured(2);
      EXPECT_FALSE(links.count(role)) << "two " << role.toStdString() << " links";
      links[role] = {m.captured(1).toStdString(), m.captured(3).toStdString()};
    }
    if (i > 0) {
      EXPECT_EQ(links["prev"].first, pages[i - 1].first.toStdString()) << "the link to the page before";
      EXPECT_EQ(links["prev"].second, "Previous: " + pages[i - 1].second.toStdString());
      EXPECT_EQ(links["contents"].first, "index.html") << "the link to the contents";
    } else {
      EXPECT_FALSE(links.count("prev")) << "the first page links back";
    }
    if (i + 1 < pages.size()) {
      EXPECT_EQ(links["next"].first, pages[i + 1].first.toStdString()) << "the link to the page after";
      EXPECT_EQ(links["next"].second, "Next: " + pages[i + 1].second.toStdString());
    } else {
      EXPECT_FALSE(links.count("next")) << "the last page leads on";
    }
  }
  static const QRegularExpression projectPage(R"re(<file>([^<]+\.html)</file>)re");
  for (auto it = projectPage.globalMatch(ReadSource("manual/Marrowdale.qhp")); it.hasNext();) {
    const QString file = it.next().captured(1);
    EXPECT_TRUE(std::any_of(pages.begin(), pages.end(), [&](const auto& p) { return p.first == file; }))
        << file.toStdString() << " is not in the contents";
  }
}

// Every key the table answers is in the manual's key table, and nothing
// else is; a key that a menu row shows names that row there; every row of
// the menu lists is described.
TEST_F(ManualTest, TheKeyTableHoldsEveryKeyWithItsMenuRow) {
  const std::set<QString> handled = HandledKeys();
  ASSERT_GE(handled.size(), 25u);
  const std::map<QString, QString> table = ManualKeyTable();
  for (const QString& key : handled)
    EXPECT_TRUE(table.count(key)) << "missing from the key table: " << key.toStdString();
  for (const auto& [key, row] : table)
    EXPECT_TRUE(handled.count(key)) << "the key table names a key the table ignores: " << key.toStdString();

  const QString rows = ReadSource("src/dialogs/menu_rows.cpp");
  const QString menusPage = PlainText(QString::fromUtf8(
      engine->fileData(QUrl("qthelp://" + engine->registeredDocumentations().first() + "/doc/menus.html"))));
  static const QRegularExpression rowRx(R"re(Row\(((?:[^()"]|"[^"]*")*?),\s*\d+(?:,\s*"([^"]*)")?\))re");
  static const QRegularExpression literal(R"re("([^"]*)")re");
  int captions = 0;
  for (auto it = rowRx.globalMatch(rows); it.hasNext();) {
    const auto m = it.next();
    const QString keys = m.captured(2);
    for (auto lit = literal.globalMatch(m.captured(1)); lit.hasNext();) {
      const QString caption = lit.next().captured(1).simplified();
      ++captions;
      EXPECT_TRUE(menusPage.contains(caption)) << "menu row not described: " << caption.toStdString();
      if (keys.isEmpty() || keys == "-") continue;
      ASSERT_TRUE(table.count(keys)) << keys.toStdString();
      EXPECT_TRUE(table.at(keys).contains(caption)) << keys.toStdString() << " does not name " << caption.toStdString();
    }
  }
  EXPECT_GE(captions, 35);
}

// The key a menu row shows is the key the manual gives that row in the menu
// lists, wherever the row is named there with a key; a row without a key is
// named without one.
TEST_F(ManualTest, TheMenuListsGiveEachRowTheKeyItShows) {
  const QString rows = ReadSource("src/dialogs/menu_rows.cpp");
  const QString page = ReadSource("manual/menus.html");
  const int begin = page.indexOf(R"(<a name="game">)");
  const int end = page.indexOf(R"(<a name="keys">)");
  ASSERT_TRUE(begin > 0 && end > begin);
  const QString lists = page.mid(begin, end - begin).simplified();
  static const QRegularExpression rowRx(R"re(Row\(((?:[^()"]|"[^"]*")*?),\s*\d+(?:,\s*"([^"]*)")?\))re");
  static const QRegularExpression literal(R"re("([^"]*)")re");
  int keyed = 0;
  for (auto it = rowRx.globalMatch(rows); it.hasNext();) {
    const auto m = it.next();
    const QString keys = m.captured(2);
    for (auto lit = literal.globalMatch(m.captured(1)); lit.hasNext();) {
      const QString caption = lit.next().captured(1).simplified();
      // "<b>Start Match</b> or <b>End Match</b> (F3)" gives both rows their key.
      const QRegularExpression named("<b>" + QRegularExpression::escape(caption) +
                                     R"re(</b>(?: or <b>[^<]*</b>)? ?(\(([^)]*)\))?)re");
      int withKey = 0;
      for (auto n = named.globalMatch(lists); n.hasNext();) {
        const auto found = n.next();
        if (found.captured(1).isEmpty()) continue;
        ++withKey;
        EXPECT_EQ(found.captured(2).toStdString(), keys.toStdString()) << caption.toStdString();
      }
      if (!keys.isEmpty()) {
        ++keyed;
        EXPECT_GE(withKey, 1) << "the manual gives no key for " << caption.toStdString() << " (" << keys.toStdString()
                              << ")";
      }
    }
  }
  EXPECT_GE(keyed, 25);
}

// Every picture a page shows is in the help project, is made by one of the
// picture tools, and has the shape the page gives it; no picture lies in
// manual/ unshown.
TEST_F(ManualTest, EveryPictureIsShownMadeByAToolAndOfItsShape) {
  QString tools;
  for (QDirIterator it(SourceFile("tools"), {"*.cpp"}, QDir::Files); it.hasNext();) {
    QFile f(it.next());
    if (f.open(QIODevice::ReadOnly)) tools += QString::fromUtf8(f.readAll());
  }
  const QString project = ReadSource("manual/Marrowdale.qhp");
  static const QRegularExpression img(R"re(<img src="([^"]+)"[^>]*width="(\d+)" height="(\d+)")re");
  std::set<QString> shown;
  for (QDirIterator it(SourceFile("manual"), {"*.html"}, QDir::Files); it.hasNext();) {
    const QString html = ReadSource("manual/" + QFileInfo(it.next()).fileName());
    for (auto m = img.globalMatch(html); m.hasNext();) {
      const auto found = m.next();
      const QString name = found.captured(1);
      shown.insert(name);
      EXPECT_TRUE(project.contains("<file>" + name + "</file>")) << name.toStdString() << " is not in the help project";
      EXPECT_TRUE(tools.contains('"' + name + '"')) << "no tool in tools/ makes " << name.toStdString();
      const QSize size = QImageReader(SourceFile("manual/" + name)).size();
      ASSERT_TRUE(size.isValid()) << name.toStdString() << " is missing or unreadable";
      // Shown at its own shape: the height the page gives is the picture's,
      // scaled to the width the page gives, to the pixel.
      EXPECT_NEAR(found.captured(3).toDouble(), found.captured(2).toDouble() * size.height() / size.width(), 1.0)
          << name.toStdString();
      EXPECT_LE(found.captured(2).toInt(), size.width()) << name.toStdString() << " is shown larger than it is";
    }
  }
  EXPECT_GE(shown.size(), 10u);
  for (QDirIterator it(SourceFile("manual"), {"*.png"}, QDir::Files); it.hasNext();) {
    const QString name = QFileInfo(it.next()).fileName();
    EXPECT_TRUE(shown.count(name)) << name.toStdString() << " lies in manual/ but no page shows it";
  }
}

// Every window title the program sets is a keyword of the index, leading
// to a page that speaks of that window by its title.
TEST_F(ManualTest, TheIndexFindsEveryWindowByItsTitle) {
  std::map<QString, QString> constants;
  QStringList sources;
  for (QDirIterator it(SourceFile("src"), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    QFile f(it.next());
    if (f.open(QIODevice::ReadOnly)) sources << QString::fromUtf8(f.readAll());
  }
  static const QRegularExpression constant(R"re(constexpr char (k\w+)\[\] = "([^"]*)";)re");
  for (const QString& text : sources)
    for (auto it = constant.globalMatch(text); it.hasNext();) {
      const auto m = it.next();
      constants[m.captured(1)] = m.captured(2);
    }
  static const QRegularExpression set(R"re(setWindowTitle\((?:QString::fromLatin1\()?("([^"]*)"|k\w+))re");
  std::set<QString> titles;
  for (const QString& text : sources)
    for (auto it = set.globalMatch(text); it.hasNext();) {
      const auto m = it.next();
      titles.insert(m.captured(2).isEmpty() ? constants[m.captured(1)] : m.captured(2));
    }
  // The pile viewer of the developer's view is no window a player meets.
  titles.erase("frmView");
  ASSERT_GE(titles.size(), 12u);
  for (const QString& title : titles) {
    ASSERT_FALSE(title.isEmpty());
    const QList<QHelpLink> links = engine->documentsForKeyword(title);
    ASSERT_FALSE(links.isEmpty()) << "no index entry for the window " << title.toStdString();
    EXPECT_TRUE(PlainText(QString::fromUtf8(Page(links.first().url))).contains(title))
        << title.toStdString() << " -> " << links.first().url.toString().toStdString();
  }
}

// The real help window, offscreen: F1 opens the contents, the connection
// dialog's Help opens "Online"; closing leaves no window behind.
TEST(HelpWindowTest, OpensAtTheKeywordAndClosesEveryWindow) {
  platform::FakeUi ui;
  auto backend = CreateQtHelpBackend(ui);
  const QString chm = Collection();

  HelpRequest contents;
  contents.command = HelpCommand::DisplayToc;
  contents.file = chm + ">Size";
  const HelpWindowHandle first = backend->HtmlHelp(contents);
  EXPECT_NE(first, 0);

  HelpRequest plain;  // the keyword's default topic comes first, without a window type
  plain.command = HelpCommand::DisplayTopic;
  plain.file = chm;
  EXPECT_EQ(backend->HtmlHelp(plain), first) << "one help window for the manual";

  HelpRequest keyword;
  keyword.command = HelpCommand::KeywordLookup;
  keyword.file = chm;
  keyword.keywords = "Online";
  keyword.window = "Size";
  EXPECT_EQ(backend->HtmlHelp(keyword), first) << "the window of that type is reused";

  HelpWindow* window = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* h = qobject_cast<HelpWindow*>(w); h && h->isVisible()) window = h;
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "help never keeps the program running";
  EXPECT_EQ(window->parentWidget(), nullptr);
  EXPECT_TRUE(window->CurrentPage().path().endsWith("/online.html")) << window->CurrentPage().toString().toStdString();
  // The contents are read in the background; the picture shows them.
  platform::WaitService wait;
  wait.WaitUntil([&] { return window->Engine().contentModel()->rowCount() > 0; }, 10);
  window->grab().save(QStringLiteral(MARROWDALE_BINARY_DIR) + "/help_window.png");

  HelpRequest topic;
  topic.command = HelpCommand::DisplayTopic;
  topic.file = chm + ">Size";
  topic.topic = "rules.html#stop";
  EXPECT_EQ(backend->HtmlHelp(topic), first);
  EXPECT_EQ(window->CurrentPage().fileName(), "rules.html");
  EXPECT_EQ(window->CurrentPage().fragment(), "stop");

  HelpRequest close;
  close.command = HelpCommand::CloseAll;
  backend->HtmlHelp(close);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_FALSE(qobject_cast<HelpWindow*>(w) && w->isVisible());
}

// The help window that is shown now.
HelpWindow* ShownHelpWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* h = qobject_cast<HelpWindow*>(w); h && h->isVisible()) return h;
  return nullptr;
}

// A page by its path and by its number in the project's topic-number
// table; a keyword no page has: the default page, else the box asked for;
// Esc closes the window.
TEST(HelpWindowTest, TopicsByPathAndNumberMissedKeywordsAndEsc) {
  platform::FakeUi ui;
  auto backend = CreateQtHelpBackend(ui);
  HelpRequest topic;
  topic.file = Collection() + ">Size";
  topic.topic = "/scores.html#high";
  const HelpWindowHandle handle = backend->HtmlHelp(topic);
  EXPECT_NE(handle, 0);
  HelpWindow* window = ShownHelpWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->CurrentPage().fileName(), "scores.html");
  EXPECT_EQ(window->CurrentPage().fragment(), "high");

  // Every number of the table leads to its page.
  const std::map<int, QString> numbers = {{1, "index.html"},     {2, "rules.html"},           {3, "scoring.html"},
                                          {4, "howtoplay.html"}, {5, "menus.html"},           {6, "preferences.html"},
                                          {7, "players.html"},   {8, "scores.html"},          {9, "online.html"},
                                          {10, "chat.html"},     {11, "troubleshooting.html"}};
  HelpRequest number;
  number.command = HelpCommand::HelpContext;
  number.file = Collection();
  for (const auto& [id, page] : numbers) {
    number.topicId = id;
    EXPECT_EQ(backend->HtmlHelp(number), handle) << id;
    EXPECT_EQ(window->CurrentPage().fileName(), page) << id;
  }
  number.topicId = 99;
  EXPECT_EQ(backend->HtmlHelp(number), 0) << "a number the table does not give shows nothing";
  EXPECT_EQ(window->CurrentPage().fileName(), "troubleshooting.html");

  HelpRequest missed;
  missed.command = HelpCommand::KeywordLookup;
  missed.file = Collection();
  missed.keywords = "qwertyuiop";
  missed.url = "players.html";
  missed.msgText = "not used while a default page is given";
  EXPECT_EQ(backend->HtmlHelp(missed), handle);
  EXPECT_EQ(window->CurrentPage().fileName(), "players.html");
  EXPECT_TRUE(ui.boxes.empty());
  missed.url.clear();
  missed.msgTitle = "Marrowdale Help";
  missed.msgText = "No topic is found for that word.";
  EXPECT_EQ(backend->HtmlHelp(missed), handle);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].text, "No topic is found for that word.");
  EXPECT_EQ(ui.boxes[0].title, "Marrowdale Help");
  EXPECT_EQ(ui.boxes[0].owner.data(), window) << "the box stands over the help window";
  EXPECT_EQ(window->CurrentPage().fileName(), "players.html");

  HelpRequest search;
  search.command = HelpCommand::DisplaySearch;
  search.file = Collection();
  backend->HtmlHelp(search);
  EXPECT_EQ(window->Tabs()->tabText(window->Tabs()->currentIndex()).toStdString(), "Search");
  search.command = HelpCommand::DisplayIndex;
  backend->HtmlHelp(search);
  EXPECT_EQ(window->Tabs()->tabText(window->Tabs()->currentIndex()).toStdString(), "Index");

  // Esc closes the window wherever the reader is: in the page, the
  // contents, the index's look-up line or the search words.
  const std::vector<std::function<QWidget*(HelpWindow&)>> places = {
      [](HelpWindow& w) -> QWidget* { return w.findChild<HelpBrowser*>(); },
      [](HelpWindow& w) -> QWidget* { return w.Engine().contentWidget(); },
      [](HelpWindow& w) -> QWidget* { return w.Tabs()->widget(1)->findChild<QLineEdit*>(); },
      [](HelpWindow& w) -> QWidget* { return w.Engine().searchEngine()->queryWidget()->findChild<QLineEdit*>(); },
  };
  for (std::size_t i = 0; i < places.size(); ++i) {
    backend->HtmlHelp(topic);
    QPointer<HelpWindow> closing = ShownHelpWindow();
    ASSERT_FALSE(closing.isNull());
    QWidget* place = places[i](*closing);
    ASSERT_NE(place, nullptr) << i;
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(place, &esc);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull() || !closing->isVisible()) << i;
    EXPECT_EQ(ShownHelpWindow(), nullptr) << i;
  }
}

// HHShowOnTop: the help window stands over the caller's window. The caller
// is its transient parent, and it is of the kind a window manager keeps
// above its transient parent (a dialog; a plain window with one is stacked
// like any other), with its own title buttons. When the caller goes, the
// help window stays where it was, on its own.
TEST(HelpWindowTest, HHShowOnTopKeepsTheHelpWindowAboveItsCaller) {
  platform::FakeUi ui;
  auto backend = CreateQtHelpBackend(ui);
  HTMLHelpWrapper help(*backend, ui, MARROWDALE_MANUAL_DIR);
  help.SetCHMFile(Collection());
  help.SetHHWindow("Size");
  QWidget caller;
  caller.setGeometry(100, 100, 300, 200);
  caller.show();
  const auto hWnd = static_cast<HelpWindowHandle>(caller.winId());
  ASSERT_NE(help.HHDisplayContents(hWnd), 0);
  HelpWindow* window = ShownHelpWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_NE(window->windowHandle(), nullptr);
  EXPECT_EQ(window->windowHandle()->transientParent(), nullptr) << "without HHShowOnTop the help is on its own";

  help.HHShowOnTop = true;
  EXPECT_NE(help.HHDisplayContents(hWnd), 0);
  EXPECT_EQ(ShownHelpWindow(), window);
  ASSERT_NE(window->windowHandle(), nullptr);
  EXPECT_EQ(window->windowHandle()->transientParent(), caller.windowHandle());
  EXPECT_EQ(window->windowHandle()->type(), Qt::Dialog);
  const Qt::WindowFlags buttons = window->windowHandle()->flags();
  EXPECT_TRUE(buttons.testFlag(Qt::WindowMinimizeButtonHint) && buttons.testFlag(Qt::WindowMaximizeButtonHint) &&
              buttons.testFlag(Qt::WindowCloseButtonHint));
  const QRect place = window->geometry();

  caller.hide();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowHandle()->transientParent(), nullptr);
  EXPECT_EQ(window->windowHandle()->type(), Qt::Window);
  EXPECT_EQ(window->geometry(), place);
  EXPECT_TRUE(ui.boxes.empty());
}

// A keyword no page has, with neither a default page nor a box to show,
// opens the Index tab with the word typed and the list narrowed to the
// entries that hold it, also when the look-up itself opened the window
// and the index is still being read.
TEST(HelpWindowTest, AKeywordNoPageHasOpensTheIndexNarrowedToIt) {
  platform::FakeUi ui;
  auto backend = CreateQtHelpBackend(ui);
  HelpRequest missed;
  missed.command = HelpCommand::KeywordLookup;
  missed.file = Collection();
  missed.keywords = "Scor;qwertyuiop";
  EXPECT_NE(backend->HtmlHelp(missed), 0);
  HelpWindow* window = ShownHelpWindow();
  ASSERT_NE(window, nullptr);
  QHelpIndexModel* model = window->Engine().indexModel();
  bool created = false;
  QObject::connect(model, &QHelpIndexModel::indexCreated, [&created] { created = true; });
  platform::WaitService wait;
  wait.WaitUntil([&] { return created; }, 10);
  ASSERT_TRUE(created);
  EXPECT_EQ(window->Tabs()->tabText(window->Tabs()->currentIndex()).toStdString(), "Index");
  EXPECT_EQ(window->Tabs()->widget(1)->findChild<QLineEdit*>()->text(), "Scor");
  const auto listed = [&] { return model->stringList(); };
  ASSERT_FALSE(listed().isEmpty());
  for (const QString& entry : listed()) EXPECT_TRUE(entry.contains("scor", Qt::CaseInsensitive)) << entry.toStdString();
  EXPECT_TRUE(ui.boxes.empty());

  // With the window open, another word narrows the list at once.
  missed.keywords = "Sav";
  backend->HtmlHelp(missed);
  EXPECT_EQ(ShownHelpWindow(), window);
  ASSERT_FALSE(listed().isEmpty());
  for (const QString& entry : listed()) EXPECT_TRUE(entry.contains("sav", Qt::CaseInsensitive)) << entry.toStdString();
}

// A literal text popup: a small frameless window at the cursor in the
// popup's colours and font.
TEST(HelpWindowTest, ATextPopupShowsItsTextInItsColoursAndFont) {
  platform::FakeUi ui;
  auto backend = CreateQtHelpBackend(ui);
  HelpRequest popup;
  popup.command = HelpCommand::DisplayTextPopup;
  popup.popup.text = "Drop it <b>here</b>";
  popup.popup.textColor = 0x0000FF;  // red
  popup.popup.backColor = 0xFFFF00;  // cyan
  popup.popup.font = "Serif, 14, ascii, Bold Italic ";
  EXPECT_EQ(backend->HtmlHelp(popup), 0);
  TextPopup* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* p = qobject_cast<TextPopup*>(w); p && p->isVisible()) shown = p;
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->text(), "Drop it <b>here</b>");
  EXPECT_EQ(shown->textFormat(), Qt::PlainText);
  EXPECT_TRUE(shown->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(shown->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(shown->palette().color(QPalette::Window), QColor(0, 255, 255));
  EXPECT_TRUE(shown->font().bold() && shown->font().italic() && !shown->font().underline());
  EXPECT_EQ(shown->font().pointSize(), 14);

  QPointer<TextPopup> open = shown;
  HelpRequest close;
  close.command = HelpCommand::CloseAll;
  backend->HtmlHelp(close);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(open.isNull() || !open->isVisible());
}

// The full-text search of the help window reads the index the build made
// beside the collection, which stays read-only: words that are in no
// keyword are found on the pages that hold them.
TEST(HelpWindowTest, TheSearchTabFindsWordsOnThePagesThatHoldThem) {
  HelpWindow window(Collection());
  ASSERT_TRUE(window.Ready());
  QHelpSearchEngine* search = window.Engine().searchEngine();
  platform::WaitService wait;
  const auto pagesFor = [&](const QString& words) {
    bool done = false;
    const auto connection = QObject::connect(search, &QHelpSearchEngine::searchingFinished, [&done] { done = true; });
    window.ShowSearch(words);
    wait.WaitUntil([&] { return done; }, 10);
    QObject::disconnect(connection);
    std::set<QString> pages;
    for (const QHelpSearchResult& r : search->searchResults(0, search->searchResultCount()))
      pages.insert(r.url().fileName());
    return pages;
  };
  EXPECT_TRUE(pagesFor("House").count("rules.html"));
  EXPECT_EQ(window.Tabs()->tabText(window.Tabs()->currentIndex()).toStdString(), "Search");
  const std::set<QString> backspace = pagesFor("Backspace");
  EXPECT_TRUE(backspace.count("howtoplay.html"));
  EXPECT_TRUE(backspace.count("menus.html"));
  EXPECT_TRUE(pagesFor("firewall").count("troubleshooting.html"));
  EXPECT_TRUE(pagesFor("qwertyuiop").empty());

  // A result opens its page at the section where the words first appear,
  // or at the top when they appear above the first section.
  const auto openResult = [&](const QString& words, const QString& page) {
    pagesFor(words);
    for (const QHelpSearchResult& r : search->searchResults(0, search->searchResultCount()))
      if (r.url().fileName() == page) emit search->resultWidget()->requestShowLink(r.url());
    EXPECT_EQ(window.CurrentPage().fileName(), page) << words.toStdString();
    return window.CurrentPage().fragment().toStdString();
  };
  EXPECT_EQ(openResult("firewall", "troubleshooting.html"), "connection");
  EXPECT_EQ(openResult("Houses", "rules.html"), "first");
  EXPECT_EQ(openResult("\"match points\"", "scoring.html"), "matchsetup");
  EXPECT_EQ(openResult("winner", "scoring.html"), "game");
  EXPECT_EQ(openResult("Troubleshooting", "troubleshooting.html"), "");
}

}  // namespace
}  // namespace media
