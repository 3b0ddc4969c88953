#include "play/window/frm_play.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <cmath>

#include "media/music.h"
#include "platform/key_translator.h"
#include "platform/ui.h"
#include "platform/version.h"
#include "play/game/match_panel.h"
#include "play/state/top_level_command.h"

namespace play {

namespace {

using platform::kProgramTitle;
constexpr const char* kResetMatchTitle = "Reset Match Points";
constexpr const char* kMusicUnavailableTitle = "Music Unavailable";
constexpr int kFrameCheckMs = 50;  // how often the first show looks for the real frame
constexpr int kFrameChecks = 40;   // and for how long

}  // namespace

namespace {

// The table's own services with the neighbours it calls.
table::CardTableServices WithNeighbours(table::CardTableServices services, const FrmPlayNeighbours& neighbours) {
  services.neighbours = neighbours.counts;
  services.tableauCards = neighbours.tableauCards;
  services.backgroundPainting = neighbours.pictures;
  services.dropRules = neighbours.dropRules;
  services.popupOptions = neighbours.popupOptions;
  return services;
}

}  // namespace

FrmPlay::FrmPlay(const table::CardTableServices& services, PlayState& state, const NetState& net,
                 const platform::ScreenMetrics& screen, FrmPlayNeighbours neighbours, GameClock::Now now,
                 QWidget* parent)
    : table::CardTable(WithNeighbours(services, neighbours), parent),
      clock(std::move(now)),
      playState_(state),
      net_(net),
      screen_(screen),
      around_(std::move(neighbours)) {
  setObjectName("frmPlay");
  setWindowTitle(kProgramTitle);
  if (!pictures.icon.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(pictures.icon)));

  StatusBar1 = new StatusBar(this);
  connect(StatusBar1, &StatusBar::mouseDown, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int) { StatusBar1_MouseDown(button, x); });
  connect(StatusBar1, &StatusBar::panelClick, this, [this](int panel) { StatusBar1_PanelClick(panel); });

  Timer1.setInterval(kClockTickMs);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  tmrResize.setInterval(kResizeDelayMs);
  connect(&tmrResize, &QTimer::timeout, this, [this] { tmrResize_Timer(); });
  frameWatch_.setInterval(kFrameCheckMs);
  connect(&frameWatch_, &QTimer::timeout, this, [this] { CheckFramed(); });

  connect(this, &table::CardTable::pauseFrameClicked, this, [this] { PauseTiming(); });
  const auto minimum = table::MinimumFormSize(settings_.LargeFonts);
  MinFormWidth = minimum.MinFormWidth;
  MinFormHeight = minimum.MinFormHeight;
}

FrmPlay::~FrmPlay() = default;

// ---- The table view ----

void FrmPlay::PaintCard(table::PileControl pile, int index, table::CardCode card, int sound) {
  table::CardTable::PaintCard(pile, index, card, sound);
}

void FrmPlay::ShowEmpty(table::PileControl pile, int index) { table::CardTable::PaintCard(pile, index, 0, 88); }

void FrmPlay::BringToFront(table::PileControl pile, int index) { table::CardTable::BringToFront(Pile(pile, index)); }

void FrmPlay::EnablePiles(bool enabled) { table::CardTable::EnablePiles(enabled); }

void FrmPlay::LayOutPiles() {
  // A relayout still pending (the window manager framing the window at
  // start-up, a resize just made) is done before the first card is dealt,
  // not between the deal's slides.
  if (tmrResize.isActive() && !Animating()) RelayoutNow();
  table::CardTable::LayOutPiles();
}

namespace {

QLabel* LabelOf(const table::CardTable& t, table::TableLabel label) {
  using table::TableLabel;
  switch (label) {
    case TableLabel::lblMessage: return t.lblMessage;
    case TableLabel::lblTurn: return t.lblTurn;
    case TableLabel::StatusMsg: return t.StatusMsg;
    case TableLabel::lblWAIT: return t.lblWAIT;
    case TableLabel::lblOHandCnt: return t.lblOHandCnt;
    case TableLabel::lblOResCnt: return t.lblOResCnt;
    case TableLabel::lblOWasteCnt: return t.lblOWasteCnt;
    case TableLabel::lblPHandCnt: return t.lblPHandCnt;
    case TableLabel::lblPResCnt: return t.lblPResCnt;
    case TableLabel::lblPWasteCnt: return t.lblPWasteCnt;
  }
  return nullptr;
}

}  // namespace

void FrmPlay::SetLabel(table::TableLabel label, const QString& text) {
  if (QLabel* l = LabelOf(*this, label)) l->setText(text);
}

QString FrmPlay::Label(table::TableLabel label) const {
  const QLabel* l = LabelOf(*this, label);
  return l ? l->text() : QString();
}

void FrmPlay::SetTabCount(int pile, const QString& text) {
  if (pile >= 1 && pile <= table::kSharedPiles) lblTabCnt[pile]->setText(text);
}

void FrmPlay::SetImageVisible(table::TableImage image, bool visible) {
  QWidget* control = nullptr;
  switch (image) {
    case table::TableImage::ImgTurn1: control = ImgTurn1; break;
    case table::TableImage::ImgTurn2: control = ImgTurn2; break;
    case table::TableImage::imgIcon: control = imgIcon; break;
    case table::TableImage::cmdDone: control = cmdDone; break;
    case table::TableImage::cmdDeal: control = cmdDeal; break;
    case table::TableImage::picHand1: control = picHand[1]; break;
  }
  if (control) control->setVisible(visible);
}

void FrmPlay::SetIconPicture(const QString& file) {
  const QPixmap picture = file.isEmpty() ? QPixmap() : QPixmap(file);
  if (picture.isNull()) {
    imgIcon->clear();
    return;
  }
  imgIcon->setPixmap(picture.scaled(imgIcon->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void FrmPlay::SetLabelVisible(table::TableLabel label, bool visible) {
  if (QLabel* l = LabelOf(*this, label)) l->setVisible(visible);
}

// The logo is the media services' to paint.
void FrmPlay::ShowLogo(bool show) {
  if (pictures_) pictures_->ShowLogo(show);
}

void FrmPlay::SetCardFrameVisible(int index, bool visible) {
  if (index >= 0 && index <= 6) lblCardFrame[index]->setVisible(visible);
}

void FrmPlay::SetCardFrameBackStyle(int index, int backStyle) { SetFrameBackStyle(index, backStyle); }

void FrmPlay::SetStatusPanel(int panel, const QString& text) { StatusBar1->SetText(panel, text); }

void FrmPlay::StartClock() { StartClockAt(0); }

void FrmPlay::StartClockAt(double elapsedSeconds) {
  clock.Start(elapsedSeconds);
  fraPause->hide();
  Timer1.start();
  Timer1_Timer();
}

std::int64_t FrmPlay::ElapsedSeconds() const { return clock.ElapsedSeconds(); }

void FrmPlay::StopClock() {
  Timer1.stop();
  clock.Stop();
}

void FrmPlay::SetStatusPanelToolTip(int panel, const QString& text) { StatusBar1->SetToolTip(panel, text); }

void FrmPlay::ShowMusicUnavailable(const QString& reason) {
  musicUnavailableText_ = reason;
  StatusBar1->SetText(kPanelMusic, media::kNoMusicText);
  StatusBar1->SetToolTip(kPanelMusic, reason);
  // The panel grows to hold its text; the player's panel gives way.
  const int needed = StatusBar1->fontMetrics().horizontalAdvance(QString(media::kNoMusicText)) + 10;
  if (StatusBar1->Width(kPanelMusic) < needed) {
    StatusBar1->SetWidth(kPanelMusic, needed);
    SizeStatusBar();
  }
}

void FrmPlay::AnimateCard(table::PileControl source, int sourceIndex, table::CardCode card, table::PileControl target,
                          int targetIndex) {
  table::CardTable::AnimateCard(source, sourceIndex, card, target, targetIndex);
}

void FrmPlay::SetPileVisible(table::PileControl pile, int index, bool visible) {
  if (QWidget* box = Pile(pile, index)) box->setVisible(visible);
}

// The cover moves across to the pile, as its Left is set on the table.
void FrmPlay::MoveSmokeTo(table::PileControl pile, int index) {
  if (QWidget* box = Pile(pile, index)) picSmoke[0]->move(box->x(), picSmoke[0]->y());
}

void FrmPlay::ClearTable() { table::CardTable::ClearTable(); }

// ---- Window fitting and placement ----

table::ScreenTwips FrmPlay::ScreenInTwips() const {
  const int tpp = screen_.TwipsPerPixel();
  return {screen_.availWidth * tpp, screen_.availHeight * tpp, tpp, tpp, settings_.LargeFonts,
          screen_.availLeft * tpp,  screen_.availTop * tpp};
}

// Before the window is shown and framed, the frame is estimated: a title
// bar of the desktop's caption height and the style's border around it.
QSize FrmPlay::FrameExtra() const {
  if (!isWindow()) return {0, 0};
  if (isVisible()) return frameGeometry().size() - size();
  // Platforms that draw no windows on a screen give them no frame.
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return {0, 0};
  const int border = std::max(0, style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) - 1);
  return {2 * border, screen_.captionHeight + 2 * border};
}

void FrmPlay::RefitWhenFramed(std::function<void()> done) {
  framedDone_ = std::move(done);
  frameChecks_ = 0;
  frameWatch_.start();
  CheckFramed();
}

void FrmPlay::CheckFramed() {
  const QSize real = frameGeometry().size() - size();
  const bool framed = isVisible() && !real.isEmpty();
  if (!framed && ++frameChecks_ < kFrameChecks) return;
  frameWatch_.stop();
  if (framed && !isMaximized() && !isMinimized() && intended_.Width > 0) {
    const QPoint at = frameGeometry().topLeft();
    const bool moved = (at - placedAt_).manhattanLength() > real.width() + real.height();
    const double tpp = screen_.TwipsPerPixel();
    const bool sizeOff = std::lround(intended_.Width / tpp) != frameGeometry().width() ||
                         std::lround(intended_.Height / tpp) != frameGeometry().height();
    if (!moved && sizeOff) ApplyPlacement(intended_);
  }
  if (auto done = std::move(framedDone_)) {
    framedDone_ = nullptr;
    done();
  }
}

table::WindowTwips FrmPlay::WindowPlacementTwips() const {
  const int tpp = screen_.TwipsPerPixel();
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  const QSize outer = normal.size() + FrameExtra();
  const QPoint topLeft = isWindow() && isVisible() && !isMaximized() ? frameGeometry().topLeft() : normal.topLeft();
  return {double(topLeft.x()) * tpp, double(topLeft.y()) * tpp, double(outer.width()) * tpp,
          double(outer.height()) * tpp};
}

void FrmPlay::ApplyPlacement(const table::WindowTwips& w) {
  const double tpp = screen_.TwipsPerPixel();
  const QSize extra = FrameExtra();
  const int width = std::max(1, int(std::lround(w.Width / tpp)) - extra.width());
  const int height = std::max(1, int(std::lround(w.Height / tpp)) - extra.height());
  resize(width, height);
  move(int(std::lround(w.Left / tpp)), int(std::lround(w.Top / tpp)));
  intended_ = w;
  placedAt_ = QPoint(int(std::lround(w.Left / tpp)), int(std::lround(w.Top / tpp)));
}

void FrmPlay::FitMainWindow() {
  const auto minimum = table::MinimumFormSize(settings_.LargeFonts);
  MinFormWidth = minimum.MinFormWidth;
  MinFormHeight = minimum.MinFormHeight;
  setWindowState(Qt::WindowNoState);
  ApplyPlacement(table::FitMainWindow(ScreenInTwips()));
  ComputeTableArea();
}

void FrmPlay::ComputeTableArea() {
  const auto w = WindowPlacementTwips();
  const int tpp = screen_.TwipsPerPixel();
  const auto offsets = table::ComputeTableArea(w.Width, w.Height, tpp, tpp);
  SetTableOffsets(offsets.TableOffsetX, offsets.TableOffsetY);
}

table::StoredPlacement FrmPlay::SaveWindowPlacement() const {
  return table::SaveWindowPlacement(WindowPlacementTwips());
}

bool FrmPlay::RestoreWindowPlacement(table::StoredPlacement& stored) {
  if (stored.WindowState != 0) {
    setWindowState(Qt::WindowMaximized);
    WindowMaximized = true;
    return true;
  }
  if (table::PlacementFits(stored, ScreenInTwips(), {MinFormWidth, MinFormHeight})) {
    setWindowState(Qt::WindowNoState);
    ApplyPlacement(
        {double(stored.WindowLeft), double(stored.WindowTop), double(stored.WindowWidth), double(stored.WindowHeight)});
    return true;
  }
  FitMainWindow();
  stored = SaveWindowPlacement();
  return false;
}

// ---- Resize and relayout ----

void FrmPlay::resizeEvent(QResizeEvent* event) {
  table::CardTable::resizeEvent(event);
  PlaceStatusBar();
  Form_Resize();
}

void FrmPlay::changeEvent(QEvent* event) {
  table::CardTable::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) Form_Resize();
}

void FrmPlay::Form_Resize() {
  if (state_.StartingUp) return;
  if (isMinimized()) {
    if (lastMinimised_) return;
    lastMinimised_ = true;
    if (!fraPause->isVisible()) {
      const bool wasPaused = clock.GamePaused;
      PauseTiming();
      minimisePaused_ = !wasPaused && clock.GamePaused && clock.PauseStartTime != 0;
    }
    around_.frame->MainWindowMinimised();
    return;
  }
  if (around_.splash->IsOpen() && !WindowMaximized) return;
  around_.frame->MainWindowShown(windowState());
  around_.menus->UnloadMenuWindow();
  WindowMaximized = windowState() != Qt::WindowNoState;
  if (lastMinimised_) {
    lastMinimised_ = false;
    // Only the clock stopped by the minimise resumes; a pause the player
    // made stays, and so does a clock that was not running.
    if (minimisePaused_ && !fraPause->isVisible()) SetPauseFrozen(false);
    minimisePaused_ = false;
    return;
  }
  tmrResize.stop();
  tmrResize.start();
}

void FrmPlay::tmrResize_Timer() {
  // The table is laid out once the user lets go of the window frame, and
  // never under a sliding card: it would go home to a stale place.
  if (QGuiApplication::mouseButtons() & Qt::LeftButton) return;
  if (Animating()) return;
  RelayoutNow();
}

void FrmPlay::RelayoutNow() {
  tmrResize.stop();
  if (isMinimized()) return;
  const auto w = WindowPlacementTwips();
  const double tpp = screen_.TwipsPerPixel();
  if (!isMaximized() && (w.Width < MinFormWidth || w.Height < MinFormHeight)) {
    const QSize extra = FrameExtra();
    resize(std::max<int>(width(), int(std::ceil(MinFormWidth / tpp)) - extra.width()),
           std::max<int>(height(), int(std::ceil(MinFormHeight / tpp)) - extra.height()));
    tmrResize.stop();
  }
  LayoutTable();
}

void FrmPlay::LayoutTable() {
  if (tableauCards_ && tableauCards_->TableauCardsWindowShown()) tableauCards_->HideTableauCardsWindow();
  PlaceStatusBar();
  SizeStatusBar();
  ComputeTableArea();
  ArrangePiles();
  ArrangeControls();
  if (pictures_ && pictures_->Listed()) pictures_->ShowBackground();
}

void FrmPlay::PlaceStatusBar() {
  StatusBar1->setGeometry(0, height() - StatusBar1->height(), width(), StatusBar1->height());
  StatusBar1->raise();
}

void FrmPlay::SizeStatusBar() {
  if (state_.StartingUp) return;
  const int available = WindowMaximized ? screen_.widthPixels : width();
  int others = 0;
  for (int i = 2; i <= StatusBar1->PanelCount(); ++i) others += StatusBar1->Width(i);
  StatusBar1->SetWidth(kPanelPlayer, std::max(0, available - others));
  MusicPanelLeft = StatusBar1->Left(kPanelMusic);
  MusicPanelWidth = StatusBar1->Width(kPanelMusic);
  MatchPanelLeft = StatusBar1->Left(kPanelMatch);
  MatchPanelWidth = StatusBar1->Width(kPanelMatch);
}

// ---- Status bar ----

void FrmPlay::StatusBar1_MouseDown(Qt::MouseButton button, int x) {
  TopLevelCommand command(wait_, playState_, this);
  if (button != Qt::RightButton) return;
  if (x >= MusicPanelLeft && x < MusicPanelLeft + MusicPanelWidth) {
    // Set first: the menu waits, and the click that ends the press comes
    // during that wait.
    IgnorePanelClick = true;
    around_.music->ShowMusicMenu();
    return;
  }
  if (x < MatchPanelLeft || x >= MatchPanelLeft + MatchPanelWidth) return;
  if (!around_.match->MatchOn() || net_.Online()) return;
  IgnorePanelClick = true;
  if (ui_.MsgBox("Change # of points to play to?", platform::vbYesNo | platform::vbQuestion, kResetMatchTitle) ==
      platform::vbNo)
    return;
  const auto typed =
      ui_.InputBox("Enter Match Points:", kResetMatchTitle, QString::number(around_.match->MatchPoints()));
  if (!typed) return;
  const auto points = ParseMatchPoints(*typed, around_.match->MatchPoints(), around_.match->MatchScore(),
                                       around_.match->OppMatchScore());
  if (!points) return;
  around_.match->SetMatchPoints(*points);
  StatusBar1->SetText(kPanelMatch, MatchPanelText(*points));
}

void FrmPlay::StatusBar1_PanelClick(int panel) {
  TopLevelCommand command(wait_, playState_, this);
  if (IgnorePanelClick) {
    IgnorePanelClick = false;
    return;
  }
  const QString key = StatusBar1->Key(panel);
  if (key == "Undo") {
    around_.menus->KeyShortcut(platform::kVkBackspace, 0);
  } else if (key == "Elapsed") {
    PauseTiming();
  } else if (key == "Music") {
    if (!around_.music->MusicUnavailable()) {
      if (around_.music->IsMP3Playing()) around_.music->StopMP3();
      around_.music->RequestStopMusic();
    } else {
      ui_.MsgBox(musicUnavailableText_.isEmpty() ? QString("The game cannot play music on this computer.")
                                                 : musicUnavailableText_,
                 platform::vbExclamation, kMusicUnavailableTitle);
    }
  }
}

FrmPlay::InSight FrmPlay::PlacesInSight() const {
  InSight sights;
  std::vector<QRect>* places = &sights.piles;
  const auto add = [&places](const QWidget* w) {
    if (w) places->emplace_back(w->mapToGlobal(QPoint(0, 0)), w->size());
  };
  const QRect frame = frameGeometry();
  places->emplace_back(frame.left(), frame.top(), frame.width(), std::max(1, geometry().top() - frame.top()));
  add(picMenu);
  for (int i = 1; i <= 3; ++i) {
    add(picPlayer[i]);
    add(picOpponent[i]);
  }
  for (int i = 1; i <= table::kSharedPiles; ++i) {
    add(picCenter[i]);
    add(picTableau[i]);
    add(lblTabCnt[i]);
  }
  for (const QWidget* w :
       {lblOHandCnt, lblOResCnt, lblOWasteCnt, lblPHandCnt, lblPResCnt, lblPWasteCnt, imgOStock, imgOReserve, imgOWaste,
        imgPStock, imgPReserve, imgPWaste, imglblTableauL, imglblTableauR, imglblCenters})
    add(w);
  add(cmdDeal);
  add(cmdDone);
  add(StatusBar1);
  places = &sights.lines;
  for (const QWidget* w : {lblMessage, lblTurn, StatusMsg, lblWAIT, ImgTurn1, ImgTurn2}) add(w);
  return sights;
}

// ---- Clock and pause ----

void FrmPlay::Timer1_Timer() { StatusBar1->SetText(StatusBar1->PanelCount() - 1, clock.ShownText()); }

void FrmPlay::PauseTiming() {
  if (state_.CurrentTurn != table::Turn::Local) return;
  if (net_.Online()) return;
  SetPauseFrozen(!clock.GamePaused);
}

void FrmPlay::SetPauseFrozen(bool pause) {
  if (pause) {
    if (!clock.Pause()) return;
    Timer1.stop();
    if (!isMinimized()) {
      fraPause->raise();
      fraPause->show();
    }
  } else if (clock.Resume()) {
    fraPause->hide();
    Timer1.start();
  }
}

void FrmPlay::ClearTableFrame() {
  StatusBar1->SetText(kPanelElapsed, QString());
  StatusBar1->SetText(kPanelPlayerCards, QString());
  StatusBar1->SetText(kPanelOpponentCards, QString());
  StatusBar1->SetText(kPanelPlayer, settings_.PlayerName);
  Timer1.stop();
  clock.Reset();
  fraPause->hide();
  minimisePaused_ = false;
}

}  // namespace play
