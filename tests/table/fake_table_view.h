#pragma once
// A table view that records what the game logic asked of the window.

#include <map>
#include <utility>
#include <vector>

#include "table/table_view.h"

namespace testing_support {

class FakeTableView : public table::TableView {
 public:
  struct Paint {
    table::PileControl pile;
    int index;
    table::CardCode card;
    int sound;
    bool operator==(const Paint&) const = default;
  };

  void PaintCard(table::PileControl pile, int index, table::CardCode card, int sound) override {
    paints.push_back({pile, index, card, sound});
  }
  void ShowEmpty(table::PileControl pile, int index) override { empties.emplace_back(pile, index); }
  void BringToFront(table::PileControl pile, int index) override { fronts.emplace_back(pile, index); }
  void EnablePiles(bool enabled) override { pilesEnabled = enabled; }
  void LayOutPiles() override { ++layouts; }
  void SetLabel(table::TableLabel label, const QString& text) override { labels[label] = text; }
  QString Label(table::TableLabel label) const override {
    auto it = labels.find(label);
    return it == labels.end() ? QString() : it->second;
  }
  void SetTabCount(int pile, const QString& text) override { tabCounts[pile] = text; }
  void SetImageVisible(table::TableImage image, bool visible) override { images[image] = visible; }
  void SetIconPicture(const QString& file) override { iconPicture = file; }
  void SetCardFrameVisible(int index, bool visible) override { cardFrames[index] = visible; }
  void SetCardFrameBackStyle(int index, int backStyle) override { cardFrameStyles[index] = backStyle; }
  void SetStatusPanel(int panel, const QString& text) override { panels[panel] = text; }
  void StartClock() override { ++clockStarts; }
  void StartClockAt(double elapsedSeconds) override { clockStartedAt.push_back(elapsedSeconds); }
  std::int64_t ElapsedSeconds() const override { return elapsedSeconds; }
  void StopClock() override {
    ++clockStops;
    clockRunning = false;
  }
  void SetLabelVisible(table::TableLabel label, bool visible) override { labelsVisible[label] = visible; }
  void ShowLogo(bool show) override {
    logoShown = show;
    ++logoCalls;
  }
  void SetStatusPanelToolTip(int panel, const QString& text) override { panelToolTips[panel] = text; }
  void SizeStatusBar() override { ++statusBarSizings; }
  struct Slide {
    table::PileControl source;
    int sourceIndex;
    table::CardCode card;
    table::PileControl target;
    int targetIndex;
    bool operator==(const Slide&) const = default;
  };
  void AnimateCard(table::PileControl source, int sourceIndex, table::CardCode card, table::PileControl target,
                   int targetIndex) override {
    slides.push_back({source, sourceIndex, card, target, targetIndex});
  }
  void SetPileVisible(table::PileControl pile, int index, bool visible) override {
    pileVisible[{pile, index}] = visible;
  }
  void MoveSmokeTo(table::PileControl pile, int index) override { smokeMoves.emplace_back(pile, index); }
  void ClearTable() override { ++tableClears; }

  std::vector<Paint> paints;
  std::vector<std::pair<table::PileControl, int>> empties;
  std::vector<std::pair<table::PileControl, int>> fronts;
  bool pilesEnabled = true;
  int layouts = 0;
  std::map<table::TableLabel, QString> labels;
  std::map<int, QString> tabCounts;
  std::map<table::TableImage, bool> images;
  QString iconPicture;
  std::map<int, bool> cardFrames;
  std::map<int, int> cardFrameStyles;
  std::map<int, QString> panels;
  int clockStarts = 0;
  std::vector<double> clockStartedAt;
  std::int64_t elapsedSeconds = 0;
  int clockStops = 0;
  bool clockRunning = false;  // set by tests; StopClock clears it
  std::map<table::TableLabel, bool> labelsVisible;
  bool logoShown = false;
  int logoCalls = 0;
  std::map<int, QString> panelToolTips;
  int statusBarSizings = 0;
  std::vector<Slide> slides;
  std::map<std::pair<table::PileControl, int>, bool> pileVisible;
  std::vector<std::pair<table::PileControl, int>> smokeMoves;
  int tableClears = 0;
};

}  // namespace testing_support
