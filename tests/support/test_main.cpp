// Every test executable starts an offscreen Qt application first, so that
// widgets, timers and event loops work without a display.
#include <QApplication>
#include <gmock/gmock.h>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleMock(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
