// Runs Google Benchmark inside a QApplication on the offscreen platform, so the window
// benchmarks can build, show and paint real windows without a display.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "platform/fonts.h"

int main(int argc, char** argv) {
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" WB_TEST_SCREEN);
  QApplication app(argc, argv);
  wb::install_font_substitutions();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
