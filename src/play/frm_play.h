#pragma once
// The table window: the program's main window.

#include <QWidget>

namespace play {

class FrmPlay : public QWidget {
  Q_OBJECT
 public:
  explicit FrmPlay(QWidget* parent = nullptr);
};

}  // namespace play
