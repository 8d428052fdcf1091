// Runs GoogleTest inside a QApplication (offscreen platform on a 1920 x 1200 screen, set by
// ctest, or here when the test is run by hand).
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/fonts.h"

int main(int argc, char** argv) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" WB_TEST_SCREEN);
  QApplication app(argc, argv);
  wb::install_font_substitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
