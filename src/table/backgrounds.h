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

#include "platform/built_later.h"
#include "table/card_table.h"

namespace media {
struct Folders;
class PictureReports;
class StdPNG;
}  // namespace media

namespace platform {
class UiService;
}

namespace table {

// The file chooser's filter for the pictures a player may add.
inline constexpr char kPictureFilter[] = "Pictures (*.jpg;*.gif;*.bmp)|*.jpg;*.gif;*.bmp";
inline constexpr char kBackgroundNone[] = "None";                   // the mat colour, no picture
inline constexpr char kBackgroundRemoved[] = "~removed";            // right after the current picture was deleted
inline constexpr char kProgramBackgrounds[] = "Data/Backgrounds/";  // under AppPath
inline constexpr char kUserBackgrounds[] = "Backgrounds-4";         // under UserPath
inline constexpr int kMaxBackgroundName = 40;                       // the player record's field
inline constexpr std::int16_t kStructureFirst = 1000;
inline constexpr std::int16_t kStructureLast = 1004;
inline constexpr std::int16_t kLastLightStructure = 1001;  // the Tableau counts are black up to here
inline constexpr double kSmallLogoWidthTwips = 15585;      // up to this window width the small logo shows
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

// The structure picture over the background, as game over steps it.
class StructureChoice {
 public:
  virtual ~StructureChoice() = default;
  virtual int CurrentStructure() const = 0;  // 1000..1004
  // Steps or sets the structure and draws it (see StepStructure).
  virtual void NextStructure(int value) = 0;
};

// The background list and picture, as loading, saving and leaving a player
// use them.
class BackgroundChoice {
 public:
  virtual ~BackgroundChoice() = default;
  // Rebuilds the list and finds the index for the (trimmed) name; may
  // replace the name by the first picture's when it is not listed.
  virtual void LoadBackgroundList(QString& BackgroundName) = 0;
  virtual int BackgroundCount() const = 0;
  // 1..BackgroundCount a picture; BackgroundCount + 1 the "None" entry.
  virtual int BackgroundIndex() const = 0;
  virtual void SetBackgroundIndex(int index) = 0;
  // The picture's full path; "" outside 1..BackgroundCount.
  virtual QString BackgroundList(int index) const = 0;
  // The table window's picture cleared: the plain mat colour.
  virtual void ClearTablePicture() = 0;
  virtual void ShowBackground() = 0;
};

// The backgrounds and structures as the Preferences dialog previews and
// chooses them.
class BackgroundPreview {
 public:
  virtual ~BackgroundPreview() = default;
  // Tiles the current background picture over the surface. False when no
  // picture is chosen ("None") or it cannot be drawn.
  virtual bool TileBackground(QImage& surface) = 0;
  // Key 32 or 40 the next background, any other the previous; shown at once.
  virtual void NextBackground(int keyCode) = 0;
  // 40 or 32 the next structure, 38 the previous, any other value taken as it comes.
  virtual void NextStructure(int value) = 0;
  // The background list: its length, a picture's full path (1-based), and
  // the entry in force.
  virtual int BackgroundCount() const = 0;
  virtual QString BackgroundList(int index) const = 0;
  virtual void SetBackgroundIndex(int index) = 0;
};

// The tutorial's two hand pictures, picHand(0) pointing down and picHand(1)
// pointing up, painted into their boxes.
class HandPictures {
 public:
  virtual ~HandPictures() = default;
  virtual void ShowHand() = 0;
};

class Backgrounds : public StructureChoice,
                    public BackgroundChoice,
                    public BackgroundPreview,
                    public BackgroundPainting,
                    public HandPictures {
 public:
  // CurrentStructure is the player's field, kept current here. follower:
  // a window that shows the background too; none: no such window.
  Backgrounds(CardTable& table, GameState& state, const TableSettings& settings, platform::UiService& ui,
              media::Folders& folders, std::int16_t& CurrentStructure, int twipsPerPixel,
              platform::BuiltLater<BackgroundFollower> follower = {});
  ~Backgrounds() override;
  Backgrounds(const Backgrounds&) = delete;
  Backgrounds& operator=(const Backgrounds&) = delete;

  // Rebuilds the list and finds the index for the name; a name not listed
  // becomes the first picture's ("None" with no pictures).
  void LoadBackgroundList(QString& BackgroundName) override;
  int BackgroundCount() const override { return int(list_.size()); }
  int BackgroundIndex() const override { return index_; }
  void SetBackgroundIndex(int index) override;
  // The picture's full path; empty outside 1..BackgroundCount.
  QString BackgroundList(int index) const override;
  // True once the list was loaded: the table then paints its background.
  bool Listed() const override { return listed_; }

  // Paints the current background and redraws structure and logo over it.
  void ShowBackground() override;
  // The table's picture cleared: the plain mat colour shows.
  void ClearTablePicture() override;
  // The loaded picture tiled over the surface; false while no list is
  // loaded or "None" is shown.
  bool TileBackground(QImage& surface) override;
  // Steps the background by a key (Space or Down forward, else back) and shows it.
  void NextBackground(int key) override;
  // Sets or steps the structure (see StepStructure) and draws it over the bare background.
  void NextStructure(int k) override;
  int CurrentStructure() const override { return currentStructure_; }
  // The loaded background picture (null when "None" is shown).
  const QImage& Picture() const { return picture_; }

  // "Add" or "Remove" a background picture chosen in the UI service's file chooser.
  void ManageBackground(const QString& action);

  // The structure picture painted over the table window; false when it
  // could not be loaded.
  bool ShowStructure(std::int16_t n);
  // The logo shown (painted into picLogo) or hidden.
  void ShowLogo(bool show) override;
  // The tutorial's two hands, down and up, painted into the table's 29 x 55
  // boxes picHand.
  void ShowHand() override;
  // Where a picture that cannot be painted is told of, once per file; the
  // splash window tells through it too.
  media::PictureReports& PictureReports() { return *pictureReports_; }

  bool ShowStartLogo = false;  // the first painting after start-up also shows the logo

 private:
  void PaintBackground();
  void RepaintBackground();  // the table's picture as PaintBackground last painted it
  void SetTableauCountColor(std::uint32_t color);
  int WindowWidthTwips() const;

  CardTable& table_;
  GameState& state_;
  const TableSettings& settings_;
  platform::UiService& ui_;
  media::Folders& folders_;
  std::int16_t& currentStructure_;
  int twipsPerPixel_;
  platform::BuiltLater<BackgroundFollower> follower_;
  std::unique_ptr<media::StdPNG> png_;                     // the one PNG object of the table window
  std::unique_ptr<media::PictureReports> pictureReports_;  // logos and hands that could not be painted

  QStringList list_;  // full paths of the pictures
  int index_ = 0;     // 1..count a picture, count + 1 "None"
  QString name_;      // file name of the chosen background, "None" or "~removed"
  bool listed_ = false;
  QImage picture_;                  // the loaded background picture
  QSize paintedSize_;               // the background last painted, without structure: its size
  std::uint32_t paintedColor_ = 0;  // and its mat colour
  bool bare_ = false;               // the table's picture holds that background alone
  QSet<QString> unreadable_;        // pictures that failed twice: shown as "None" for the run
  QSet<QString> toldUnreadable_;    // path and reason of each failure the player was told of
  bool structureReported_ = false;  // a missing structure is reported once
};

}  // namespace table
