#pragma once
// The table's background picture, tiled over the window (or the plain mat
// colour, "None"), and the structure picture drawn over it; the list of
// background pictures the player steps through, adds to and removes from;
// the logo and the tutorial's hands painted on the table.

#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>

namespace media {
struct Folders;
class PictureReports;
class StdPNG;
}  // namespace media

namespace platform {
class UiService;
}

namespace table {

class CardTable;
class PictureBox;
struct GameState;
struct TableSettings;

inline constexpr char kBackgroundNone[] = "None";          // the mat colour, no picture
inline constexpr char kBackgroundRemoved[] = "~removed";   // right after the current picture was deleted
inline constexpr char kProgramBackgrounds[] = "Data/Backgrounds/";  // under AppPath
inline constexpr char kUserBackgrounds[] = "Backgrounds-4";         // under UserPath
inline constexpr int kMaxBackgroundName = 40;              // the player record's field
inline constexpr std::int16_t kStructureFirst = 1000;
inline constexpr std::int16_t kStructureLast = 1004;
inline constexpr std::int16_t kLastLightStructure = 1001;  // the Tableau counts are black up to here
inline constexpr double kSmallLogoWidthTwips = 15585;     // up to this window width the small logo shows
// A background picture larger than this is not read: the bytes a file
// declares would be asked for before a pixel is seen (a 2 KB file may
// claim 30000 x 30000), and no window needs so large a tile.
inline constexpr qint64 kMaxBackgroundPixels = 16'000'000;
inline constexpr char kBackgroundProblemTitle[] = "Background Picture";

// True for a name whose last three characters, upper-cased, are JPG, GIF or BMP.
bool IsBackgroundFile(const QString& name);
// The text after the last "/"; the whole text when it holds none.
QString FileNameOnly(const QString& path);
// The background pictures of the two folders (each ending in "/"): first
// the program's, then the user's, each sorted by name.
QStringList ListBackgroundFiles(const QString& programFolder, const QString& userFolder);
// The index after a step: Space or Down forward, any other key back, with
// "None" (count + 1) between the last picture and the first.
int StepBackgroundIndex(int index, int count, int key);
// The structure after k: Down or Space the next, Up the one before (both
// wrapping within 1000..1004); any other k is the structure itself, and one
// outside 1000..1004 is 1000.
std::int16_t StepStructure(std::int16_t current, int k);
// The picture repeated over the target from its top-left corner. A picture
// without pixels tiles nothing.
void TileBackground(const QImage& picture, QImage& target);
// "Data/1003.dat" under the program's folder.
QString StructurePicture(const QString& AppPath, int n);
// Reads a background picture whole; on failure `picture` is left alone and
// the answer is why, as a sentence for the player (empty on success).
QString ReadBackgroundPicture(const QString& path, QImage& picture);
// The message that a background picture cannot be shown.
QString BackgroundProblemText(const QString& path, const QString& reason);

// A window beside the table that shows the table's background too; it
// knows itself whether it is showing one now.
class BackgroundFollower {
 public:
  virtual ~BackgroundFollower() = default;
  // The picture to tile, or (null) the mat colour.
  virtual void FollowBackground(const QImage* picture, std::uint32_t MatColor) = 0;
};

class Backgrounds {
 public:
  // CurrentStructure is the player's field, kept current here.
  Backgrounds(CardTable& table, GameState& state, const TableSettings& settings, platform::UiService& ui,
              media::Folders& folders, std::int16_t& CurrentStructure, int twipsPerPixel);
  ~Backgrounds();
  Backgrounds(const Backgrounds&) = delete;
  Backgrounds& operator=(const Backgrounds&) = delete;

  void SetFollower(BackgroundFollower* follower) { follower_ = follower; }

  // Rebuilds the list and finds the index for the name; a name not listed
  // becomes the first picture's ("None" with no pictures).
  void LoadBackgroundList(QString& BackgroundName);
  int BackgroundCount() const { return int(list_.size()); }
  int BackgroundIndex() const { return index_; }
  void SetBackgroundIndex(int index);
  // The picture's full path; empty outside 1..BackgroundCount.
  QString BackgroundList(int index) const;
  // True once the list was loaded: the table then paints its background.
  bool Listed() const { return listed_; }

  // Paints the current background and redraws structure and logo over it.
  void ShowBackground();
  // Steps the background by a key (Space or Down forward, else back) and shows it.
  void NextBackground(int key);
  // Sets or steps the structure (see StepStructure) and draws it over the bare background.
  void NextStructure(int k);
  std::int16_t CurrentStructure() const { return currentStructure_; }
  // The loaded background picture (null when "None" is shown).
  const QImage& Picture() const { return picture_; }

  // "Add" or "Remove" a background picture chosen in the UI service's file chooser.
  void ManageBackground(const QString& action);

  // The structure picture painted over the table window; false when it
  // could not be loaded.
  bool ShowStructure(std::int16_t n);
  // The logo shown (painted into picLogo) or hidden.
  void ShowLogo(bool show);
  // The tutorial's two hands, down and up, painted into their 29 x 55 boxes.
  void ShowHand(const std::array<PictureBox*, 2>& picHand);
  // Where a picture that cannot be painted is told of, once per file; the
  // splash window tells through it too.
  media::PictureReports& PictureReports() { return *pictureReports_; }

  bool ShowStartLogo = false;  // the first painting after start-up also shows the logo

 private:
  void PaintBackground();
  void SetTableauCountColor(std::uint32_t color);
  int WindowWidthTwips() const;

  CardTable& table_;
  GameState& state_;
  const TableSettings& settings_;
  platform::UiService& ui_;
  media::Folders& folders_;
  std::int16_t& currentStructure_;
  int twipsPerPixel_;
  BackgroundFollower* follower_ = nullptr;
  std::unique_ptr<media::StdPNG> png_;   // the one PNG object of the table window
  std::unique_ptr<media::PictureReports> pictureReports_;  // logos and hands that could not be painted

  QStringList list_;               // full paths of the pictures
  int index_ = 0;                  // 1..count a picture, count + 1 "None"
  QString name_;                   // file name of the chosen background, "None" or "~removed"
  bool listed_ = false;
  QImage picture_;                 // the loaded background picture
  QImage snapshot_;                // the painted background, without structure
  QSet<QString> unreadable_;       // pictures that failed twice: shown as "None" for the run
  QSet<QString> toldUnreadable_;   // path and reason of each failure the player was told of
  bool structureReported_ = false; // a missing structure is reported once
};

}  // namespace table
