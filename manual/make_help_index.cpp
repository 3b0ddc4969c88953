// Builds the full-text search index of the manual's help collection while
// the program is built: the help window opens the collection read-only and
// finds the index ready beside it, so searching works from the first open
// even where the program's folder cannot be written.
//
// Usage: make_help_index COLLECTION.qhc

#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEngineCore>
#include <QHelpSearchEngine>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
  // The indexer reads the pages as rich text, which needs fonts: a GUI
  // application on the offscreen platform.
  QGuiApplication app(argc, argv);
  if (argc != 2 || !QFileInfo(QString::fromLocal8Bit(argv[1])).isFile()) {
    std::fprintf(stderr, "usage: make_help_index COLLECTION.qhc\n");
    return 2;
  }
  QHelpEngineCore engine(QString::fromLocal8Bit(argv[1]));
  // The collection is set up before the search engine exists: a search
  // engine present at set-up starts an indexing run of its own, and its
  // end, reported first, would end this program while the full run below
  // is still writing, leaving half an index.
  if (!engine.setupData()) {
    std::fprintf(stderr, "make_help_index: %s\n", qPrintable(engine.error()));
    return 1;
  }
  QHelpSearchEngine search(&engine);
  bool finished = false;
  QObject::connect(&search, &QHelpSearchEngine::indexingFinished, &app, [&] {
    finished = true;
    app.quit();
  });
  // A whole manual is indexed in well under a second; a minute means the
  // indexer is stuck.
  QTimer::singleShot(60000, &app, &QGuiApplication::quit);
  search.reindexDocumentation();
  app.exec();
  if (!finished) {
    std::fprintf(stderr, "make_help_index: the index was not finished\n");
    return 1;
  }
  return 0;
}
