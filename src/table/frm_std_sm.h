#pragma once
// The hidden holder of the face sheet that cards are cut from. It starts
// with the built-in sheet; a library deck replaces it, and reloading the
// holder puts the built-in sheet back exactly.

#include <QImage>

namespace table {

class FrmStdSm {
 public:
  explicit FrmStdSm(QImage builtIn = {}) : builtIn_(std::move(builtIn)) { Reload(); }

  // Unloads and loads the holder again: the built-in sheet is current.
  void Reload() { imgALL = builtIn_; }
  void SetBuiltIn(QImage builtIn) { builtIn_ = std::move(builtIn); }
  const QImage& BuiltIn() const { return builtIn_; }

  QImage imgALL;  // the face sheet in use, 13 x 4 cells of one card each

 private:
  QImage builtIn_;
};

}  // namespace table
