// Runs GoogleTest inside a QApplication (offscreen platform, set by ctest).
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/fonts.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  wb::install_font_substitutions();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
