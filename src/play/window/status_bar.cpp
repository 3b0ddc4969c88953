#include "play/window/status_bar.h"

#include "play/game/match_panel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>
#include <algorithm>

#include "platform/vb.h"
#include "play/records/score_record.h"

namespace play {

namespace {

// A panel's text stands this far inside its width: the frame's pixel and
// the text's margins on either side.
constexpr int kPanelTextRoom = 2 + 4 + 2;

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setObjectName("StatusBar1");
  panels_ = {
      {"Player", "", 200},
      {"PlayerCards", "", 110},
      {"OpponentCards", "", 110},
      {"Match", "", 110},
      {"NumMatchGames", "", 60},
      {"MatchScoresPlayer", "", 60},
      {"MatchScoreOpp", "", 60},
      {"Undo", "Undo", 50},
      {"Music", "Music", 60},
      {"Elapsed", "", 70},
      {"", "", 20},
  };
  setFixedHeight(fontMetrics().height() + 8);
  // The match panel is as wide as its longest text, the won match at the
  // highest target, in the bar's own font: it shows whole at any window
  // width, and the player's panel gives up the room.
  const int matchText = std::max(fontMetrics().horizontalAdvance(MatchPanelText(kHighestMatchTarget)),
                                 fontMetrics().horizontalAdvance(MatchCompletePanelText(kHighestMatchTarget)));
  SetWidth(kPanelMatch, std::max(Width(kPanelMatch), matchText + kPanelTextRoom + 1));
}

QString StatusBar::Key(int panel) const { return Valid(panel) ? panels_[panel - 1].key : QString(); }

QString StatusBar::Text(int panel) const { return Valid(panel) ? panels_[panel - 1].text : QString(); }

void StatusBar::SetText(int panel, const QString& text) {
  if (!Valid(panel)) return;
  panels_[panel - 1].text = text;
  update();
}

int StatusBar::Width(int panel) const { return Valid(panel) ? panels_[panel - 1].width : 0; }

void StatusBar::SetWidth(int panel, int width) {
  if (!Valid(panel)) return;
  panels_[panel - 1].width = std::max(0, width);
  update();
}

int StatusBar::Left(int panel) const {
  int left = 0;
  for (int i = 1; i < panel && i <= PanelCount(); ++i) left += panels_[i - 1].width;
  return left;
}

int StatusBar::PanelAt(int x) const {
  int left = 0;
  for (int i = 1; i <= PanelCount(); ++i) {
    const int w = panels_[i - 1].width;
    if (x >= left && x < left + w) return i;
    left += w;
  }
  return 0;
}

QString StatusBar::ToolTip(int panel) const {
  const auto it = toolTips_.find(panel);
  return it == toolTips_.end() ? QString() : it->second;
}

void StatusBar::SetToolTip(int panel, const QString& text) {
  if (!Valid(panel)) return;
  if (text.isEmpty()) {
    toolTips_.erase(panel);
  } else {
    toolTips_[panel] = text;
  }
}

bool StatusBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QString tip = ToolTip(PanelAt(help->pos().x()));
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  int left = 0;
  for (const Panel& panel : panels_) {
    const QRect r(left + 1, 1, panel.width - 2, height() - 2);
    if (panel.width > 2) {
      p.setPen(palette().color(QPalette::Mid));
      p.drawLine(r.topLeft(), r.topRight());
      p.drawLine(r.topLeft(), r.bottomLeft());
      p.setPen(palette().color(QPalette::Light));
      p.drawLine(r.bottomLeft(), r.bottomRight());
      p.drawLine(r.topRight(), r.bottomRight());
      p.setPen(palette().color(QPalette::WindowText));
      p.drawText(r.adjusted(4, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, panel.text);
    }
    left += panel.width;
  }
}

void StatusBar::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  pressedPanel_ = PanelAt(at.x());
  emit mouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void StatusBar::mouseReleaseEvent(QMouseEvent* event) {
  const int panel = PanelAt(event->position().toPoint().x());
  if (panel != 0 && panel == pressedPanel_) emit panelClick(panel);
  pressedPanel_ = 0;
}

}  // namespace play
