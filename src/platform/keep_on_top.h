#pragma once
// Keeps a window above the other windows of the desktop, or lets it go back
// to the normal order. The owner writes OnTop, then hands its window to
// TopForm; nothing changes on screen until then. The object keeps no
// reference to the window.

class QWidget;

namespace platform {

class Class1 {
 public:
  bool OnTop() const { return OnTop_; }
  // Stores the flag only.
  void SetOnTop(bool onTop) { OnTop_ = onTop; }
  // Applies the stored flag to the window at once, keeping its place, size
  // and visibility. A null window is ignored.
  void TopForm(QWidget* form) const;

 private:
  bool OnTop_ = false;  // True: the window handed to TopForm stays above the others
};

}  // namespace platform
