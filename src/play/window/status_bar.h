#pragma once
// The table window's status bar: a row of keyed panels with text. The
// first panel takes whatever width the others leave. A click on a panel is
// reported for any mouse button; a mouse press reports the button and the
// place first.

#include <QString>
#include <QWidget>
#include <map>
#include <vector>

#include "play/state/status_panels.h"

namespace play {

class StatusBar : public QWidget {
  Q_OBJECT
 public:
  explicit StatusBar(QWidget* parent = nullptr);

  int PanelCount() const { return static_cast<int>(panels_.size()); }
  QString Key(int panel) const;
  QString Text(int panel) const;
  void SetText(int panel, const QString& text);
  int Width(int panel) const;
  void SetWidth(int panel, int width);
  int Left(int panel) const;
  // The panel under x, 0 when none.
  int PanelAt(int x) const;
  // The tip shown while the pointer rests on the panel; empty for none.
  QString ToolTip(int panel) const;
  void SetToolTip(int panel, const QString& text);

 signals:
  void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
  void panelClick(int panel);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Panel {
    QString key;
    QString text;
    int width = 0;
  };
  bool Valid(int panel) const { return panel >= 1 && panel <= PanelCount(); }
  std::vector<Panel> panels_;
  std::map<int, QString> toolTips_;
  int pressedPanel_ = 0;
};

}  // namespace play
