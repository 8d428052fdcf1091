// The program folder taken from the executable's link, byte for byte, and refused when its
// name cannot be named exactly in the program's texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/common/paths.h"
#include "../workbench/temp_program_folder.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

TEST(ExecutableFolder, TakesTheFolderOfTheLinkByteForByteOrRefusesIt) {
  test::TempProgram tmp;
  struct Case {
    std::string folder;  // bytes of the folder's name
    bool taken;
  };
  const Case cases[] = {
      {"plain", true},
      {"示范井 folder", true},
      {"\xca\xbe\xb7\xb6\xbe\xae", false},  // "示范井" in GBK
      {"bad\xff\xfe", false},
      {"\xc0\xaf", false},          // an overlong "/"
      {"\xed\xa0\x80", false},      // a UTF-16 surrogate
      {"cut\xe7\xa4", false},       // a character cut short
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const fs::path dir = tmp.prog.root / fs::path(c.folder);
    fs::create_directories(dir);
    const fs::path link = tmp.prog.root / "exe";
    fs::remove(link);
    fs::create_symlink(dir / "rod_workbench", link);
    const ExecutableFolder got = executable_folder(link);
    EXPECT_EQ(got.refusal.has_value(), !c.taken);
    EXPECT_EQ(got.root.native(), c.taken ? dir.native() : std::string());
    if (!c.taken) {
      EXPECT_NE(got.refusal->message.find("不是UTF-8"), std::string::npos);
    }
  }
  // The GBK folder is named as GBK reads it; a link that cannot be read is refused too.
  fs::remove(tmp.prog.root / "exe");
  fs::create_symlink(tmp.prog.root / fs::path("\xca\xbe\xb7\xb6\xbe\xae") / "rod_workbench", tmp.prog.root / "exe");
  EXPECT_NE(executable_folder(tmp.prog.root / "exe").refusal->message.find("示范井"), std::string::npos);
  const ExecutableFolder none = executable_folder(tmp.prog.root / "missing");
  ASSERT_TRUE(none.refusal.has_value());
  EXPECT_TRUE(none.root.empty());
}

// A folder that cannot be made is named with why, the others are made all the same.
TEST(ProgramFolderMake, NamesTheFoldersThatCannotBeMade) {
  test::TempProgram tmp;
  const ProgramFolder prog{tmp.prog.root / "fresh"};
  fs::create_directories(prog.root);
  { std::ofstream(prog.image()) << "a file where the folder goes"; }
  const std::optional<Refusal> said = prog.make_folders();
  ASSERT_TRUE(said.has_value());
  EXPECT_NE(said->message.find(path_text(prog.image())), std::string::npos) << said->message;
  EXPECT_EQ(said->message.find(path_text(prog.data())), std::string::npos);
  for (const fs::path& p : {prog.data(), prog.sys(), prog.report()}) EXPECT_TRUE(fs::is_directory(p)) << p;
  fs::remove(prog.image());
  EXPECT_EQ(prog.make_folders(), std::nullopt);
  EXPECT_TRUE(fs::is_directory(prog.image()));
}

}  // namespace
}  // namespace wb
