// The manual as the build makes it: the collection beside the executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchResult>
#include <QImageReader>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <algorithm>
#include <map>
#include <set>

#include "media/help_backend.h"
#include "media/help_window.h"
#include "platform/wait.h"
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
  const QString source = ReadSource("src/play/keyboard_shortcuts.cpp");
  const int begin = source.indexOf("void MenuCommands::KeyShortcut(");
  const int end = source.indexOf("void MenuCommands::DeveloperKey(");
  EXPECT_TRUE(begin >= 0 && end > begin);
  const QString body = source.mid(begin, end - begin);
  const int ctrl = body.indexOf("if (Shift == platform::kCtrlMask)");
  const int ctrlShift = body.indexOf("(platform::kShiftMask | platform::kCtrlMask)");
  EXPECT_TRUE(ctrl > 0 && ctrlShift > ctrl);
  static const std::map<QString, QString> kNames = {{"Escape", "Esc"}, {"Back", "Backspace"}};
  static const QRegularExpression rx(R"re((?:case |KeyCode == )kVk(\w+))re");
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
      EXPECT_FALSE(engine->fileData(picture).isEmpty()) << file.toString().toStdString() << " shows "
                                                        << picture.toString().toStdString();
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
  for (const QString& key : handled) EXPECT_TRUE(table.count(key)) << "missing from the key table: " << key.toStdString();
  for (const auto& [key, row] : table)
    EXPECT_TRUE(handled.count(key)) << "the key table names a key the table ignores: " << key.toStdString();

  const QString rows = ReadSource("src/dialogs/menu_rows.cpp");
  const QString menusPage = PlainText(QString::fromUtf8(engine->fileData(
      QUrl("qthelp://" + engine->registeredDocumentations().first() + "/doc/menus.html"))));
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
        EXPECT_GE(withKey, 1) << "the manual gives no key for " << caption.toStdString() << " (" << keys.toStdString() << ")";
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
  auto backend = CreateQtHelpBackend();
  const QString chm = QStringLiteral(MARROWDALE_MANUAL_DIR) + "/Marrowdale.chm";

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
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<HelpWindow*>(w) && w->isVisible());
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
}

}  // namespace
}  // namespace media
