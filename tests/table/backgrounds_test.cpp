#include "table/backgrounds.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>
#include <csignal>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "media/folders.h"
#include "platform/key_translator.h"
#include "platform/ui.h"
#include "support/temp_home.h"
#include "support/test_files.h"
#include "table/card_table.h"
#include "table/table_rig.h"

using namespace table;

namespace {

QImage Solid(QSize size, QColor color) {
  QImage img(size, QImage::Format_ARGB32);
  img.fill(color);
  return img;
}

// A table window with its own program and user folders in a temporary place.
class BackgroundsTest : public ::testing::Test, protected testing_support::TableRig {
 protected:
  BackgroundsTest() {
    folders.AppPath = dir.path() + "/app/";
    folders.UserPath = dir.path() + "/user/";
    folders.DataPath = dir.path() + "/data/";
    folders.DocsPath = dir.path() + "/docs/";
    QDir().mkpath(folders.AppPath + kProgramBackgrounds);
    QDir().mkpath(folders.DataPath);
    settings.MatColor = 0x00004000;  // dark green
    table.resize(300, 200);
  }

  void Picture(const QString& path, QColor color, const char* format) {
    ASSERT_TRUE(Solid({16, 16}, color).save(path, format)) << path.toStdString();
  }
  QString Program(const QString& name) const { return folders.AppPath + kProgramBackgrounds + name; }
  QString User(const QString& name) const { return folders.UserPath + kUserBackgrounds + "/" + name; }
  void UserFolder() { QDir().mkpath(folders.UserPath + kUserBackgrounds); }
  // A structure picture: 20 transparent lines, then opaque red.
  void StructureFile(int n) {
    QImage s(1210, 783, QImage::Format_ARGB32);
    s.fill(Qt::transparent);
    QPainter(&s).fillRect(0, 20, 1210, 763, QColor(255, 0, 0));
    QDir().mkpath(folders.AppPath + "Data");
    ASSERT_TRUE(s.save(StructurePicture(folders.AppPath, n), "PNG"));
  }

  QTemporaryDir dir;
  media::Folders folders;
  std::int16_t structure = kStructureFirst;
  CardTable table{Services()};
  Backgrounds bg{table, state, settings, ui, folders, structure, 15};
};

TEST_F(BackgroundsTest, ListsPicturesProgramFolderFirstAndStepsThroughNone) {
  Picture(Program("B.gif"), Qt::blue, "PNG");
  Picture(Program("A.jpg"), Qt::red, "JPG");
  Picture(Program("PHOTO.Jpg"), Qt::red, "JPG");
  QFile(Program("notes.txt")).open(QIODevice::WriteOnly);
  QFile(Program("picture.jpeg")).open(QIODevice::WriteOnly);
  UserFolder();
  Picture(User("C.bmp"), Qt::green, "BMP");

  QString name = "C.bmp";
  bg.LoadBackgroundList(name);
  ASSERT_EQ(bg.BackgroundCount(), 4);
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(1)), "A.jpg");
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(2)), "B.gif");
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(3)), "PHOTO.Jpg");
  EXPECT_EQ(bg.BackgroundList(4), User("C.bmp"));
  EXPECT_EQ(bg.BackgroundIndex(), 4);

  bg.NextBackground(platform::kVkDown);
  EXPECT_EQ(bg.BackgroundIndex(), 5);
  EXPECT_EQ(bg.BackgroundList(bg.BackgroundIndex()), "");
  EXPECT_EQ(table.FormPicture().pixelColor(5, 5), ColorFromBgr(settings.MatColor));
  bg.NextBackground(platform::kVkSpace);
  EXPECT_EQ(bg.BackgroundIndex(), 1);
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(bg.BackgroundIndex())), "A.jpg");
  bg.NextBackground(platform::kVkUp);
  EXPECT_EQ(bg.BackgroundIndex(), 5);
}

TEST_F(BackgroundsTest, NamesIndexesAndEmptyListsStayInRange) {
  Picture(Program("MyCork.gif"), Qt::blue, "PNG");
  Picture(Program("Slate.bmp"), Qt::gray, "BMP");
  // The stored name matches the end of a path, as it always did.
  QString name = "Cork.gif";
  bg.LoadBackgroundList(name);
  EXPECT_EQ(bg.BackgroundIndex(), 1);
  // A name no longer listed: the first picture, when no index was kept.
  Backgrounds fresh{table, state, settings, ui, folders, structure, 15};
  name = "Gone.jpg";
  fresh.LoadBackgroundList(name);
  EXPECT_EQ(fresh.BackgroundIndex(), 1);
  EXPECT_EQ(name, "MyCork.gif");

  // A kept index past a list that shrank is brought back into range.
  bg.SetBackgroundIndex(3);
  QFile::remove(Program("Slate.bmp"));
  QFile::remove(Program("MyCork.gif"));
  name = "Slate.bmp";
  bg.LoadBackgroundList(name);
  EXPECT_EQ(bg.BackgroundCount(), 0);
  EXPECT_EQ(bg.BackgroundIndex(), 1);  // "None"

  // No pictures at all: a fresh list gives "None", never an empty name.
  Backgrounds none{table, state, settings, ui, folders, structure, 15};
  name = "Cork.gif";
  none.LoadBackgroundList(name);
  EXPECT_EQ(name, kBackgroundNone);
  EXPECT_EQ(none.BackgroundIndex(), 1);
  none.ShowBackground();
  none.NextBackground(platform::kVkDown);
  EXPECT_EQ(none.BackgroundIndex(), 1);
}

TEST_F(BackgroundsTest, AnUnreadablePictureShowsTheMatButKeepsItsName) {
  QFile bad(Program("Broken.gif"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("not a picture at all");
  bad.close();
  QString name = "Broken.gif";
  bg.LoadBackgroundList(name);
  bg.ShowBackground();
  EXPECT_EQ(bg.BackgroundIndex(), 1);
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(bg.BackgroundIndex())), "Broken.gif");
  EXPECT_EQ(table.FormPicture().pixelColor(10, 10), ColorFromBgr(settings.MatColor));
  // Shown again in the same run: no endless retry, the same mat.
  bg.ShowBackground();
  EXPECT_EQ(table.FormPicture().pixelColor(10, 10), ColorFromBgr(settings.MatColor));
}

// Little-endian and big-endian fields of the crafted headers below.
QByteArray LE16(int v) { return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF); }
QByteArray LE32(qint64 v) { return LE16(int(v & 0xFFFF)) + LE16(int((v >> 16) & 0xFFFF)); }
QByteArray BE32(quint32 v) { return QByteArray(1, char(v >> 24)) + char(v >> 16) + char(v >> 8) + char(v); }
quint32 Crc32(const QByteArray& bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (char c : bytes) {
    crc ^= quint8(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// Each picture that cannot be shown is told once, with the file and why:
// not again when the table is painted again, stepped past and back, or
// laid out anew; a picture added again under that name is tried afresh.
TEST_F(BackgroundsTest, EachUnreadablePictureIsToldOnceWithItsReason) {
  const auto write = [](const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  };
  write(Program("A-empty.gif"), {});
  // 30000 x 30000 pixels declared in a few bytes.
  write(Program("B-huge.bmp"), "BM" + LE32(70) + LE32(0) + LE32(54) + LE32(40) + LE32(30000) + LE32(30000) + LE16(1) +
                                   LE16(24) + LE32(0) + LE32(0) + LE32(0) + LE32(0) + LE32(0) + LE32(0) +
                                   QByteArray(16, 'x'));
  write(Program("C-huge.gif"), "GIF89a" + LE16(30000) + LE16(30000) + QByteArray("\x00\x00\x00", 3) + "," + LE16(0) +
                                   LE16(0) + LE16(30000) + LE16(30000) + QByteArray("\x00\x02\x02\x44\x01\x00;", 7));
  // A picture of another kind under a JPEG's name, with a chunk it cannot be shown without.
  const auto chunk = [](const char* type, const QByteArray& data) {
    const QByteArray td = type + data;
    return BE32(quint32(data.size())) + td + BE32(Crc32(td));
  };
  const QByteArray row = QByteArray(1, 0) + QByteArray(2, char(0x80));
  const QByteArray pixels = qCompress(row + row).mid(4);
  write(Program("D-hostile.jpg"), QByteArray("\x89PNG\r\n\x1a\n", 8) +
                                      chunk("IHDR", BE32(2) + BE32(2) + QByteArray("\x08\0\0\0\0", 5)) +
                                      chunk("ABCD", "data") + chunk("IDAT", pixels) + chunk("IEND", {}));
  const auto told = [&] {
    QStringList texts;
    for (const auto& box : ui.boxes)
      if (box.title == kBackgroundProblemTitle) {
        EXPECT_EQ(box.icon(), platform::vbExclamation);
        texts << box.text;
      }
    return texts;
  };
  const QString unreadable = "The picture cannot be read: Unable to read image data.";
  const QStringList expected = {
      BackgroundProblemText(Program("A-empty.gif"), "The file is empty."),
      BackgroundProblemText(Program("B-huge.bmp"), unreadable),
      BackgroundProblemText(Program("C-huge.gif"),
                            "The picture is 30000 x 30000 pixels; a background may have at most 16 million pixels."),
      BackgroundProblemText(Program("D-hostile.jpg"), unreadable)};
  EXPECT_EQ(expected[0], Program("A-empty.gif") +
                             "\r\n\r\nThe file is empty.\r\n\r\n"
                             "The table shows its plain colour instead.");

  QString name = "A-empty.gif";
  bg.LoadBackgroundList(name);
  ASSERT_EQ(bg.BackgroundCount(), 4);
  bg.ShowBackground();
  bg.ShowBackground();
  for (int i = 0; i < 3; ++i) {
    bg.NextBackground(platform::kVkDown);
    bg.ShowBackground();
  }
  EXPECT_EQ(told(), expected);
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(bg.BackgroundIndex())), "D-hostile.jpg");
  EXPECT_EQ(table.FormPicture().pixelColor(10, 10), ColorFromBgr(settings.MatColor));
  for (int i = 0; i < 5; ++i) bg.NextBackground(platform::kVkUp);
  EXPECT_EQ(told(), expected);

  // Added to the user's pictures it is another file, told of in turn; a
  // good picture added under its name then shows.
  QDir().mkpath(folders.DocsPath);
  const QString docs = folders.DocsPath + "E-hostile.jpg";
  ASSERT_TRUE(QFile::copy(Program("D-hostile.jpg"), docs));
  ui.files.push_back(platform::ChosenFile{docs, "E-hostile.jpg"});
  bg.ManageBackground("Add");
  ASSERT_EQ(told().size(), 5);
  EXPECT_EQ(told().back(), BackgroundProblemText(User("E-hostile.jpg"), unreadable));
  QFile::remove(docs);
  Picture(docs, Qt::yellow, "JPG");
  ui.files.push_back(platform::ChosenFile{docs, "E-hostile.jpg"});
  bg.ManageBackground("Add");
  EXPECT_EQ(told().size(), 5);
  EXPECT_EQ(bg.BackgroundList(bg.BackgroundIndex()), User("E-hostile.jpg"));
  EXPECT_FALSE(bg.Picture().isNull());
}

TEST_F(BackgroundsTest, TilesInPixelsAndAZeroSizedPictureTilesNothing) {
  QImage target(50, 30, QImage::Format_ARGB32);
  target.fill(Qt::white);
  QImage tile(20, 20, QImage::Format_ARGB32);
  tile.fill(Qt::black);
  tile.setPixelColor(0, 0, Qt::red);
  TileBackground(tile, target);
  EXPECT_EQ(target.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(40, 20), QColor(Qt::red));
  EXPECT_EQ(target.pixelColor(49, 29), QColor(Qt::black));
  QImage untouched = target;
  TileBackground(QImage(), target);
  EXPECT_EQ(target, untouched);
}

TEST_F(BackgroundsTest, StructureKeysWrapAndStrangeNumbersBecomeTheFirst) {
  EXPECT_EQ(StepStructure(1004, platform::kVkDown), 1000);
  EXPECT_EQ(StepStructure(1003, platform::kVkSpace), 1004);
  EXPECT_EQ(StepStructure(1000, platform::kVkUp), 1004);
  EXPECT_EQ(StepStructure(1001, 1003), 1003);
  EXPECT_EQ(StepStructure(1001, 999), 1000);
  EXPECT_EQ(StepStructure(1001, 37), 1000);  // Left is no step key
}

TEST_F(BackgroundsTest, AStructureIsDrawnFromItsOffsetLineAndPutBack) {
  StructureFile(1000);
  StructureFile(1003);
  QString name = kBackgroundNone;
  bg.LoadBackgroundList(name);
  bg.SetBackgroundIndex(bg.BackgroundCount() + 1);
  bg.ShowBackground();
  const QColor mat = ColorFromBgr(settings.MatColor);

  // Offsets 0: the structure's first 20 lines are clear, red below.
  bg.NextStructure(1003);
  EXPECT_EQ(structure, 1003);
  EXPECT_EQ(table.FormPicture().pixelColor(5, 10), mat);
  EXPECT_EQ(table.FormPicture().pixelColor(5, 25), QColor(255, 0, 0));
  EXPECT_EQ(table.lblTabCnt[1]->palette().color(QPalette::WindowText), QColor(Qt::white));

  // Shifted up by 40 lines and right by 10: the red starts at the top.
  table.SetTableOffsets(10, 40);
  table.ArrangePiles();
  bg.NextStructure(1000);
  EXPECT_EQ(table.FormPicture().pixelColor(5, 0), mat);
  EXPECT_EQ(table.FormPicture().pixelColor(15, 0), QColor(255, 0, 0));
  EXPECT_EQ(table.lblTabCnt[1]->palette().color(QPalette::WindowText), QColor(Qt::black));

  // The bare background comes back under a structure that cannot be shown,
  // the first structure is taken, and the user is told once.
  table.SetTableOffsets(0, 0);
  table.ArrangePiles();
  bg.NextStructure(1002);
  EXPECT_EQ(structure, 1000);
  EXPECT_EQ(table.FormPicture().pixelColor(5, 25), QColor(255, 0, 0));
  bg.NextStructure(1004);
  EXPECT_EQ(ui.boxes.size(), 1u);
}

// A logo or hand picture that cannot be painted is told of once per file,
// and the logo's box keeps hidden.
TEST_F(BackgroundsTest, AMissingLogoOrHandIsToldOnce) {
  QString name = "None";
  bg.LoadBackgroundList(name);
  bg.ShowLogo(true);
  bg.ShowLogo(true);
  bg.ShowHand();
  bg.ShowHand();
  ASSERT_EQ(ui.boxes.size(), 3u);
  EXPECT_TRUE(ui.boxes[0].text.startsWith(folders.DataPath + "splash.tmp\r\n")) << ui.boxes[0].text.toStdString();
  EXPECT_TRUE(ui.boxes[1].text.startsWith(folders.DataPath + "handD.tmp\r\n"));
  EXPECT_TRUE(ui.boxes[2].text.startsWith(folders.DataPath + "handU.tmp\r\n"));
  EXPECT_EQ(ui.boxes[0].icon(), platform::vbExclamation);
  EXPECT_FALSE(ui.boxes[0].title.isEmpty());
  EXPECT_TRUE(table.picLogo->isHidden());

  // A picture that is there again paints without a word.
  ASSERT_TRUE(QFile::copy(SourceFile("Data/embedded/splash.png"), folders.DataPath + "splash.tmp"));
  bg.ShowLogo(true);
  EXPECT_EQ(ui.boxes.size(), 3u);
  EXPECT_FALSE(table.picLogo->isHidden());
}

TEST_F(BackgroundsTest, AddCopiesIntoTheUserFolderAndRemoveDeletesOnlyThere) {
  QDir().mkpath(folders.DocsPath);
  Picture(folders.DocsPath + "Mine.bmp", Qt::yellow, "BMP");
  Picture(Program("Shipped.bmp"), Qt::gray, "BMP");
  QString name = "Shipped.bmp";
  bg.LoadBackgroundList(name);

  // Add asks the UI service for the file, with a filter that lists the
  // three picture types in either case, and creates the user's folder.
  ui.files.push_back(platform::ChosenFile{folders.DocsPath + "Mine.bmp", "Mine.bmp"});
  bg.ManageBackground("Add");
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "ADD Background Picture");
  EXPECT_EQ(ui.fileRequests[0].initialFolder, folders.DocsPath);
  EXPECT_EQ(platform::QtFileFilter(ui.fileRequests[0].filter), "Pictures (*.jpg *.JPG *.gif *.GIF *.bmp *.BMP)");
  EXPECT_TRUE(QFile::exists(User("Mine.bmp")));
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(bg.BackgroundIndex())), "Mine.bmp");
  EXPECT_EQ(bg.BackgroundList(bg.BackgroundIndex()), User("Mine.bmp"));

  // A name the player record cannot hold is refused.
  const QString longName = QString(41, 'x') + ".bmp";
  Picture(folders.DocsPath + longName, Qt::yellow, "BMP");
  ui.files.push_back(platform::ChosenFile{folders.DocsPath + longName, longName});
  bg.ManageBackground("Add");
  EXPECT_FALSE(QFile::exists(User(longName)));

  // Remove outside the user's folder deletes nothing, even when confirmed.
  ui.QueueAnswer(platform::vbYes);
  ui.files.push_back(platform::ChosenFile{Program("Shipped.bmp"), "Shipped.bmp"});
  bg.ManageBackground("Remove");
  EXPECT_TRUE(QFile::exists(Program("Shipped.bmp")));

  // Removing the current picture shows the first of the rebuilt list.
  ui.answers.clear();
  ui.QueueAnswer(platform::vbYes);
  ui.files.push_back(platform::ChosenFile{User("Mine.bmp"), "Mine.bmp"});
  bg.ManageBackground("Remove");
  EXPECT_EQ(ui.fileRequests.back().initialFolder, folders.UserPath + kUserBackgrounds);
  EXPECT_FALSE(QFile::exists(User("Mine.bmp")));
  EXPECT_EQ(bg.BackgroundIndex(), 1);
  EXPECT_EQ(FileNameOnly(bg.BackgroundList(bg.BackgroundIndex())), "Shipped.bmp");
}

// A picture that cannot be copied (here: a file-size limit, as a full disk
// would) is told with the file and the system's reason, and a picture of
// the same name already there is kept as it was.
TEST_F(BackgroundsTest, AFailedAddNamesTheFileAndTheSystemsReasonAndKeepsThePictureThere) {
  QDir().mkpath(folders.DocsPath);
  UserFolder();
  Picture(User("Mine.bmp"), Qt::gray, "BMP");
  ASSERT_TRUE(Solid({64, 64}, Qt::yellow).save(folders.DocsPath + "Mine.bmp", "BMP"));
  const QByteArray before = FileBytes(User("Mine.bmp"));
  ASSERT_GT(QFileInfo(folders.DocsPath + "Mine.bmp").size(), before.size() + 512);

  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{static_cast<rlim_t>(before.size() + 512), static_cast<rlim_t>(before.size() + 512)};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    ui.files.push_back(platform::ChosenFile{folders.DocsPath + "Mine.bmp", "Mine.bmp"});
    bg.ManageBackground("Add");
    if (ui.boxes.size() != 1) _exit(1);
    const QString& text = ui.boxes[0].text;
    _exit(text.contains(User("Mine.bmp")) && text.contains("File too large") ? 0 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(FileBytes(User("Mine.bmp")), before);
  EXPECT_EQ(QDir(folders.UserPath + kUserBackgrounds).entryList(QDir::Files | QDir::Hidden), QStringList{"Mine.bmp"});

  // Without the limit the same add replaces it.
  ui.files.push_back(platform::ChosenFile{folders.DocsPath + "Mine.bmp", "Mine.bmp"});
  bg.ManageBackground("Add");
  for (const auto& box : ui.boxes) EXPECT_FALSE(box.text.contains("Mine.bmp")) << box.text.toStdString();
  EXPECT_EQ(FileBytes(User("Mine.bmp")), FileBytes(folders.DocsPath + "Mine.bmp"));
}

}  // namespace
