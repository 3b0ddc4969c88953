#pragma once
// Synthetic mouse events sent straight to a widget, as the window system
// would deliver them to the widget under the pressed button.

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace testing_support {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonPress, local, button, button);
}
inline void MoveMouse(QWidget* w, QPoint local) {
  SendMouse(w, QEvent::MouseMove, local, Qt::NoButton, Qt::LeftButton);
}
inline void Release(QWidget* w, QPoint local, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(w, QEvent::MouseButtonRelease, local, button, Qt::NoButton);
}
inline void DoubleClick(QWidget* w, QPoint local) {
  SendMouse(w, QEvent::MouseButtonDblClick, local, Qt::LeftButton, Qt::LeftButton);
}

// Presses the picture at `grab`, moves it so that its top left corner comes
// to `to` (in its parent's coordinates) and lets go there.
inline void DragTo(QWidget* w, QPoint to, QPoint grab = {10, 10}) {
  Press(w, grab);
  MoveMouse(w, grab + (to - w->pos()));
  Release(w, grab);
}

}  // namespace testing_support
