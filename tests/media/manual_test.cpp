// The manual as the build makes it: the collection beside the executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QRegularExpression>
#include <QTabWidget>
#include <QXmlStreamReader>
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
  }
  EXPECT_GE(pages, 9);
}

// The real help window, offscreen: F1 opens the contents, the connection
// dialog's Help opens "Online"; closing leaves no window behind.
TEST(HelpWindowTest, OpensAtTheKeywordAndClosesEveryWindow) {
  auto backend = CreateQtHelpBackend();
  const QString chm = QStringLiteral(MARROWDALE_MANUAL_DIR) + "/Marrowdale.chm";
  ASSERT_TRUE(backend->CollectionOpens(chm));
  EXPECT_FALSE(backend->CollectionOpens(QStringLiteral(MARROWDALE_MANUAL_DIR) + "/Missing.chm"));

  HelpRequest contents;
  contents.command = HelpCommand::DisplayToc;
  contents.file = chm + ">Size";
  const HelpWindowHandle first = backend->HtmlHelp(0, contents);
  EXPECT_NE(first, 0);

  HelpRequest plain;  // the keyword's default topic comes first, without a window type
  plain.command = HelpCommand::DisplayTopic;
  plain.file = chm;
  EXPECT_EQ(backend->HtmlHelp(0, plain), first) << "one help window for the manual";

  HelpRequest keyword;
  keyword.command = HelpCommand::KeywordLookup;
  keyword.file = chm;
  keyword.lookup.keywords = "Online";
  keyword.lookup.window = "Size";
  EXPECT_EQ(backend->HtmlHelp(0, keyword), first) << "the window of that type is reused";

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
  EXPECT_EQ(backend->HtmlHelp(0, topic), first);
  EXPECT_EQ(window->CurrentPage().fileName(), "rules.html");
  EXPECT_EQ(window->CurrentPage().fragment(), "stop");

  HelpRequest close;
  close.command = HelpCommand::CloseAll;
  backend->HtmlHelp(0, close);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<HelpWindow*>(w) && w->isVisible());
}

}  // namespace
}  // namespace media
