// The program started from a folder whose name is in GBK bytes (as an archive from a Windows
// share unpacks): it says the folder cannot be named and ends, making nothing in that folder
// or in its parent.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>
#include <filesystem>

#include "ui_fakes.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

TEST(ProgramFolderName, GbkFolderIsRefusedAndNothingIsMade) {
  test::TempProgramFolder tmp;
  const fs::path parent = tmp.path() / "parent";
  const fs::path folder = parent / fs::path("\xca\xbe\xb7\xb6\xbe\xae");  // "示范井" in GBK
  fs::create_directories(folder);
  fs::copy_file(fs::path(WB_WORKBENCH_BIN), folder / "rod_workbench");
  // QProcess names its program in UTF-8 text: it is started from its own folder instead.
  const fs::path here = fs::current_path();
  fs::current_path(folder);
  QProcess program;
  program.start(QStringLiteral("./rod_workbench"), {});
  fs::current_path(here);
  ASSERT_TRUE(program.waitForStarted(30000));
  QByteArray said;
  EXPECT_TRUE(QTest::qWaitFor([&] {
    said += program.readAllStandardError();
    return said.contains("不是UTF-8") || program.state() == QProcess::NotRunning;
  }, 60000));
  EXPECT_TRUE(said.contains("不是UTF-8")) << said.toStdString();
  program.kill();  // its message box waits for a click
  program.waitForFinished(30000);
  std::vector<fs::path> made;
  for (const auto& e : fs::recursive_directory_iterator(parent)) made.push_back(e.path());
  EXPECT_EQ(made, (std::vector<fs::path>{folder, folder / "rod_workbench"}));
}

}  // namespace
}  // namespace wb
