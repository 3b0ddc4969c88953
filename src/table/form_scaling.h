#pragma once
// Two utilities of a borderless window that sizes itself: scaling a window and
// every control on it by a pair of factors, and drawing its frame with two
// arrays of lines along its edges (light on the left and top, grey on the
// right and bottom).

#include <QColor>
#include <QWidget>
#include <array>
#include <cstdint>

namespace table {

inline constexpr double kDesignWidthTwips = 12000;  // the size the factors refer to
inline constexpr double kDesignHeightTwips = 9000;
inline constexpr int kScaleFitScreen = 4;  // ScaleForm modes
inline constexpr int kScaleToggle = 5;
inline constexpr int kSizeLarger = 2;  // sizes of the toggle
inline constexpr int kSizeSmaller = 3;

struct ScaleFactors {
  double ScaleFactorX = 1.0;
  double ScaleFactorY = 1.0;
  bool operator==(const ScaleFactors&) const = default;
};

// The factors for a mode: 4 fits the screen (sizes in twips), 5 toggles the
// size (2 larger, 3 smaller, another size keeps them); any other mode keeps
// the previous factors.
ScaleFactors ScaleFactorsFor(int mode, int size, ScaleFactors previous, std::int32_t ScreenWidth,
                             std::int32_t ScreenHeight);

// A line control of a window's frame, with its end points in twips.
class FrameLine : public QWidget {
  Q_OBJECT
 public:
  FrameLine(QWidget* parent, int twipsPerPixel);
  void SetEnds(int X1, int Y1, int X2, int Y2);
  void SetBorderColor(std::uint32_t bgr);
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  std::uint32_t BorderColor = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int twipsPerPixel_;
};

// The two line arrays of a window: Line1 vertical, Line2 horizontal.
struct FormLines {
  std::array<FrameLine*, 4> Line1{};
  std::array<FrameLine*, 4> Line2{};
};

// Keeps the factors of the last scaling between calls.
class FormScaling {
 public:
  // Scales the window and each control directly on it, except the one
  // named "imgAvatar", frame lines and menus; combo boxes are moved but keep
  // their size, and images keep their font.
  void ScaleForm(QWidget& window, int mode, int size, std::int32_t ScreenWidth, std::int32_t ScreenHeight);

 private:
  ScaleFactors factors_;
};

// Creates the missing lines and places all four of each array along the
// window's edges for its current size. Calling it again moves the same lines.
void PlaceFormLines(QWidget& window, FormLines& lines, int twipsPerPixel);

}  // namespace table
