#pragma once
// The hidden holder of the face sheet that cards are cut from. It starts
// with the built-in sheet; a library deck replaces it, and reloading the
// holder puts the built-in sheet back exactly.

#include <QImage>
#include <functional>
#include <optional>
#include <utility>

namespace table {

class FrmStdSm {
 public:
  explicit FrmStdSm(QImage builtIn = {}) : builtIn_(std::move(builtIn)) {}

  // Unloads and loads the holder again: the built-in sheet is current.
  void Reload() { library_.reset(); }
  // A library deck's sheet is current.
  void UseSheet(QImage sheet) { library_ = std::move(sheet); }
  void SetBuiltIn(QImage builtIn) {
    builtIn_ = std::move(builtIn);
    loadBuiltIn_ = nullptr;
  }
  // The built-in sheet is read at its first use: a start shows no face
  // before the first deal.
  void SetBuiltIn(std::function<QImage()> load) {
    builtIn_ = QImage();
    loadBuiltIn_ = std::move(load);
  }
  const QImage& BuiltIn() const {
    if (loadBuiltIn_) std::exchange(loadBuiltIn_, nullptr)().swap(builtIn_);
    return builtIn_;
  }
  // The face sheet in use, 13 x 4 cells of one card each.
  const QImage& Sheet() const { return library_ ? *library_ : BuiltIn(); }

 private:
  mutable QImage builtIn_;
  mutable std::function<QImage()> loadBuiltIn_;
  std::optional<QImage> library_;
};

}  // namespace table
