// The record limit of the main window's libraries: a new key in a library that holds 32 767
// records is refused and the file left as it was, a key already there is still replaced, and
// a file of more records is refused for listing and saving alike.
#include <gtest/gtest.h>

#include <fstream>

#include "core/common/record_limit.h"
#include "core/workbench/test_libraries.h"
#include "temp_program_folder.h"

using namespace wb;
namespace fs = std::filesystem;

namespace {

// `n` records of `len` bytes, each keyed ("W", "D<i>"), straight into the file.
void write_keyed(const fs::path& p, std::size_t len, std::size_t n) {
  std::ofstream f(p, std::ios::binary);
  std::vector<char> rec(len, ' ');
  for (std::size_t i = 0; i < n; ++i) {
    std::fill(rec.begin(), rec.begin() + 28, ' ');
    rec[0] = 'W';
    const std::string d = "D" + std::to_string(i);
    std::copy(d.begin(), d.end(), rec.begin() + 16);
    f.write(rec.data(), static_cast<std::streamsize>(len));
  }
}

struct Kind {
  const char* name;
  std::size_t len;
  SaveResult (*save)(TestState&, const fs::path&);
  void (*key)(TestState&, const std::string& date);
};

const Kind kKinds[] = {
    {"card", kSgtRecordSize, &sgt_save_new, [](TestState& st, const std::string& d) { st.sgt_rec.test_date = d; }},
    {"electric", kDntRecordSize, &Pow_save_new, [](TestState& st, const std::string& d) { st.dnt_rec.test_date = d; }},
    {"waveform", kXbtRecordSize, &Wav_Save_new, [](TestState& st, const std::string& d) { st.xbt_rec.test_date = d; }},
};

}  // namespace

TEST(LibraryLimit, AFullLibraryRefusesANewKeyAndReplacesAnOldOne) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.name);
    test::TempProgram tmp;
    const fs::path lib = tmp.prog.sys() / "lib.dat";
    write_keyed(lib, k.len, kMaxLibraryRecords);
    const auto size = fs::file_size(lib);
    TestState st;
    st.Text1[appended_box::kWell] = "W";
    k.key(st, "new");
    EXPECT_EQ(k.save(st, lib).status, LibStatus::Full);
    EXPECT_EQ(fs::file_size(lib), size);
    k.key(st, "D32766");
    const SaveResult replaced = k.save(st, lib);
    EXPECT_EQ(replaced.status, LibStatus::Ok);
    EXPECT_EQ(replaced.result, 0u);
    EXPECT_EQ(fs::file_size(lib), size);
  }
}

TEST(LibraryLimit, AFileBeyondTheLimitIsNeitherListedNorWritten) {
  for (const Kind& k : kKinds) {
    SCOPED_TRACE(k.name);
    test::TempProgram tmp;
    const fs::path lib = tmp.prog.sys() / "lib.dat";
    write_keyed(lib, k.len, kMaxLibraryRecords + 1);
    std::vector<GridRow> rows;
    EXPECT_EQ(Load_Grid_Dat(lib, k.len, rows), LibStatus::OverLimit);
    EXPECT_TRUE(rows.empty());
    TestState st;
    st.Text1[appended_box::kWell] = "W";
    k.key(st, "D5");
    EXPECT_EQ(k.save(st, lib).status, LibStatus::OverLimit);
    EXPECT_EQ(fs::file_size(lib), (kMaxLibraryRecords + 1) * k.len);
  }
}

TEST(LibraryLimit, MessagesNameTheLibraryAndTheFile) {
  test::TempProgram tmp;
  const fs::path sgt = tmp.prog.sys() / "Sgt.dat";
  write_keyed(sgt, kSgtRecordSize, kMaxLibraryRecords + 2);
  const UserMessage over = library_failure_message(LibOperation::List, LibStatus::OverLimit, sgt);
  EXPECT_EQ(over.text, over_limit_text(sgt, kMaxLibraryRecords + 2));
  EXPECT_NE(over.text.find(path_text(sgt)), std::string::npos);
  EXPECT_NE(over.text.find("32769"), std::string::npos);
  const UserMessage full = library_failure_message(LibOperation::Save, LibStatus::Full, sgt);
  EXPECT_EQ(full.text, "功图数据主库已有32767条记录，不能再追加新记录。\n主库未作改动。");
}
