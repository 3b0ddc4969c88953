#include "platform/keep_on_top.h"

#include <QWidget>

namespace platform {

void Class1::TopForm(QWidget* form) const {
  if (form == nullptr) return;
  const bool wasOnTop = form->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
  if (wasOnTop == OnTop_) return;
  // Changing a window's flags hides it; show it again where it was.
  const bool wasVisible = form->isVisible();
  const QRect geometry = form->geometry();
  form->setWindowFlag(Qt::WindowStaysOnTopHint, OnTop_);
  if (wasVisible) {
    form->setGeometry(geometry);
    form->show();
  }
}

}  // namespace platform
