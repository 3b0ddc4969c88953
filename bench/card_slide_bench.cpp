// Card slides at real pace, through the table window and the wait service
// as the game runs them: the opening deal from the first card to the
// player's turn, one slide across the table at every setting of the speed
// scale (briefly: the fastest, the default and the slowest), how often the
// window paints while a card slides and at how many places the card is
// seen on its way.

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>

#include "../tests/play/frm_play_rig.h"
#include "brief.h"
#include "platform/ui.h"
#include "platform/wait.h"
#include "play/window/frm_play.h"
#include "table/card_slide.h"
#include "table/deal.h"
#include "table/sound_effects.h"

namespace {

using Clock = std::chrono::steady_clock;
using table::PileControl;

class Silence : public table::SoundEffects {
 public:
  void PlaySfx(int) override {}
};

class PlayerFirst : public table::DealHooks {
 public:
  table::Turn WhoGoesFirst(int) override { return table::Turn::Local; }
  void WhoseTurn() override {}
  void SaveGameRecord() override {}
};

// Counts the paints of the table and of one moving pile picture while on.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* table) : table_(table) { qApp->installEventFilter(this); }
  ~PaintCounter() override { qApp->removeEventFilter(this); }

  bool on = false;
  QWidget* moving = nullptr;
  long tablePaints = 0;  // the table beneath, where the card has uncovered it
  long wholeTable = 0;   // of these, paints of the whole table
  long cardPaints = 0;   // the moving picture
  long cardPlaces = 0;   // its moves while shown: the places it is seen at

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (on && moving && watched == moving && event->type() == QEvent::Move && moving->isVisible()) ++cardPlaces;
    if (!on || event->type() != QEvent::Paint) return false;
    if (watched == table_) {
      ++tablePaints;
      if (QRegion(table_->rect()).subtracted(static_cast<QPaintEvent*>(event)->region()).isEmpty()) ++wholeTable;
    } else if (moving && watched == moving) {
      ++cardPaints;
    }
    return false;
  }

 private:
  QWidget* table_;
};

platform::ScreenMetrics Screen() {
  platform::ScreenMetrics s;
  s.widthPixels = 1366;
  s.heightPixels = 768;
  s.availWidth = 1366;
  s.availHeight = 728;
  return s;
}

// The table window, shown, with the player's settings of a new player.
struct TableWindow {
  TableWindow() {
    wait.SetTimeScale(1);
    settings.PlayerName = "Ann";
    settings.ScreenWidth = Screen().WidthTwips();
    window = std::make_unique<play::FrmPlay>(
        table::CardTableServices{piles, state, settings, wait, ui, nullptr,
                                 QStringLiteral(MARROWDALE_SOURCE_DIR "/Data/pictures/")},
        state, net, Screen(), testing_support::Quietly(neighbours));
    window->SetFixedSizes();
    window->SetEmptyPilePictures();
    window->FitMainWindow();
    window->ClearTable();
    window->LayoutTable();
    window->show();
    wait.Pause(0.3);  // shown and painted before anything is timed
  }

  table::PileArrays piles;
  play::PlayState state;
  play::NetState net;
  table::TableSettings settings;
  platform::WaitService wait;
  platform::SilentUi ui;
  testing_support::QuietNeighbours neighbours;
  std::unique_ptr<play::FrmPlay> window;
};

// Made once the application runs, and gone before it ends.
std::unique_ptr<TableWindow> theWindow;

TableWindow& Window() {
  if (!theWindow) theWindow = std::make_unique<TableWindow>();
  return *theWindow;
}

// New Game's deal at the default speed of today's machines: both decks
// dealt card by card, with the deal's own pauses (about 4.3 s of it).
void Deal(benchmark::State& bench) {
  TableWindow& w = Window();
  w.settings.AnimSpeed = 270;
  PlayerFirst hooks;
  Silence silence;
  table::DealServices services{w.piles, w.state, *w.window, silence, w.wait, w.ui, hooks};
  std::uint32_t seed = 1;
  PaintCounter paints(w.window.get());
  for (auto _ : bench) {
    w.window->ClearTable();
    table::ShuffleDecks(w.piles, table::SeededRandom(seed++));
    w.wait.Pause(0.05);
    paints.on = true;
    const auto start = Clock::now();
    table::DealNewGame(services, 0, table::DealOpening{});
    paints.on = false;
    bench.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  for (const auto& [name, count] :
       {std::pair{"table_paints", paints.tablePaints}, std::pair{"whole_table_paints", paints.wholeTable}})
    bench.counters[name] = benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
}

// The deal's longest slide, the player's Stock to the far Tableau pile.
void Slide(benchmark::State& bench) {
  TableWindow& w = Window();
  w.settings.AnimSpeed = static_cast<std::int16_t>(bench.range(0));
  w.window->ClearTable();
  w.state.CurrentTurn = table::Turn::Opponent;
  w.window->Dealing = true;
  table::PictureBox* stock = w.window->picPlayer[1];
  PaintCounter paints(w.window.get());
  long slides = 0;
  for (auto _ : bench) {
    stock->show();
    w.wait.Pause(0.05);
    paints.moving = stock;
    paints.on = true;
    const auto start = Clock::now();
    w.window->AnimateCard(PileControl::picPlayer, 1, 0, PileControl::picTableau, 8);
    bench.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    paints.on = false;
    ++slides;
  }
  w.window->Dealing = false;
  const auto perSlide = [slides](long n) {
    return slides ? static_cast<double>(n) / static_cast<double>(slides) : 0.0;
  };
  bench.counters["table_paints"] = perSlide(paints.tablePaints);
  bench.counters["whole_table_paints"] = perSlide(paints.wholeTable);
  bench.counters["card_paints"] = perSlide(paints.cardPaints);
  bench.counters["card_places"] = perSlide(paints.cardPlaces);
  bench.counters["steps"] =
      static_cast<double>(table::SlidePath(stock->pos(), w.window->picTableau[8]->pos(), w.settings.AnimSpeed).size());
}

}  // namespace

int main(int argc, char** argv) {
  const bool brief = bench::TakeBrief(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Brief: one deal and one slide at the fastest, the default and the
  // slowest speed.
  benchmark::RegisterBenchmark("Deal", Deal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
  auto* slide = benchmark::RegisterBenchmark("Slide", Slide);
  // The speed window's settings, fastest to slowest.
  constexpr int kScale[] = {2,   10,  20,  45,  70,  95,  120, 150, 180, 210, 240,
                            270, 300, 330, 360, 390, 420, 450, 480, 510, 540};
  for (int speed : kScale)
    if (!brief || speed == 2 || speed == 270 || speed == 540) slide->Arg(speed);
  slide->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(brief ? 1 : 8);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  theWindow.reset();
  return 0;
}
