// The card, electric and waveform libraries: save (replace or append by trimmed key),
// listing, deletion through the backup file, export to the first free single-test name,
// and the refusals that leave a library as it was.
#include "core/workbench/test_libraries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/common/record_store.h"
#include "temp_program_folder.h"

using namespace wb;
using wb::test::ascii_at;
using wb::test::file_bytes;
using wb::test::i16_at;
using wb::test::put_bytes;

namespace {

namespace fs = std::filesystem;

// A card of well `well` taken at `date`, as the record builder leaves it in the state.
TestState card_state(const std::string& well, const std::string& date) {
  TestState st;
  st.Text1[2] = well;
  st.sgt_rec.test_date = date;
  st.sgt_rec.point_num = 500;
  st.sgt_rec.ss_cos[0] = 2.0f;
  return st;
}

Bytes raw_card(const std::string& well16, const std::string& date12) {
  Bytes b(kSgtRecordSize, 0);
  std::copy(well16.begin(), well16.end(), b.begin());
  std::copy(date12.begin(), date12.end(), b.begin() + 16);
  return b;
}

}  // namespace

TEST(TestLibraries, SaveAppendsNewKeysAndReplacesTheSameKey) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  TestState a = card_state("W1", "200401011230");
  auto r = sgt_save_new(a, lib);
  EXPECT_EQ(r.status, LibStatus::Ok);
  EXPECT_EQ(r.result, 1u);  // a missing library is created with record 1
  TestState b = card_state("W2", "200401011230");
  EXPECT_EQ(sgt_save_new(b, lib).result, 2u);
  ASSERT_EQ(fs::file_size(lib), 1024u);

  a.Text1[4] = "35.5";  // theoretical maximum load, kN -> 3550
  r = sgt_save_new(a, lib);
  EXPECT_EQ(r.status, LibStatus::Ok);
  EXPECT_EQ(r.result, 0u);
  auto bytes = file_bytes(lib);
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(ascii_at(bytes, 0, 16), "W1              ");
  EXPECT_EQ(ascii_at(bytes, 16, 12), "200401011230");
  EXPECT_EQ(i16_at(bytes, 28), 500);
  EXPECT_EQ(i16_at(bytes, 46), 3550);
  EXPECT_EQ(ascii_at(bytes, 512, 16), "W2              ");
  EXPECT_EQ(i16_at(bytes, 512 + 46), 0);
}

TEST(TestLibraries, AppendToFiveRecordsGivesSix) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Electric);
  Bytes all;
  for (int i = 1; i <= 5; ++i) {
    DntRecord d;
    d.well_name = "W" + std::to_string(i);
    d.test_date = "200401011230";
    Bytes b = d.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  put_bytes(lib, all);
  TestState st;
  st.Text1[2] = " W9 ";
  st.dnt_rec.test_date = "200401011230";
  auto r = Pow_save_new(st, lib);
  EXPECT_EQ(r.result, 6u);
  EXPECT_EQ(fs::file_size(lib), 6u * 1024u);
  EXPECT_EQ(st.dnt_rec.well_name, "W9");  // blanks removed at both ends
}

TEST(TestLibraries, KeysCompareAfterTrimmingBlanksAndNuls) {
  struct Case {
    const char* name;
    std::string stored_well, stored_date;  // 16 and 12 bytes as on disk
    std::string typed_well, date;
    std::size_t expected;  // 0 replaced, 2 appended
  };
  const Case cases[] = {
      {"blank padding", "W1              ", "200401011230", "W1", "200401011230", 0},
      {"NUL padding", std::string("W1") + std::string(14, '\0'), std::string("2004010112") + std::string(2, '\0'),
       "W1", "2004010112", 0},
      {"leading blanks typed", "W1              ", "200401011230", "   W1  ", "200401011230", 0},
      {"case differs", "w1              ", "200401011230", "W1", "200401011230", 2},
      {"inner blank differs", "W 1             ", "200401011230", "W1", "200401011230", 2},
      {"date differs", "W1              ", "200401011230", "W1", "200401011231", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempProgram tmp;
    const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
    put_bytes(lib, raw_card(c.stored_well, c.stored_date));
    TestState st = card_state(c.typed_well, c.date);
    EXPECT_EQ(sgt_save_new(st, lib).result, c.expected);
  }
}

TEST(TestLibraries, LongWellNameIsFoundAgainBySavingTwice) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  TestState st = card_state("北一区中块第十二号井西", "200401011230");  // 11 characters, 22 GBK bytes
  EXPECT_EQ(sgt_save_new(st, lib).result, 1u);
  EXPECT_EQ(sgt_save_new(st, lib).result, 0u);
  EXPECT_EQ(fs::file_size(lib), 512u);
}

TEST(TestLibraries, StaticLoadFieldsRoundHalvesToEvenAndKeepWhatDoesNotFit) {
  struct Case {
    const char* text;
    std::int16_t expected;  // theo_max_load, kN x100; 777 stands for "kept as it was"
  };
  const Case cases[] = {{"0.125", 12}, {"0.375", 38}, {"", 0}, {"12.5kN", 1250}, {"400", 777}, {"-327.68", -32768}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    TestState st;
    st.sgt_rec.theo_max_load = 777;
    st.Text1[4] = c.text;
    refresh_sgt_from_boxes(st);
    EXPECT_EQ(st.sgt_rec.theo_max_load, c.expected);
  }
  TestState st;
  st.Text1[1] = "0.3";
  st.Text1[3] = "3";
  st.Text1[5] = "20.25";
  refresh_sgt_from_boxes(st);
  EXPECT_EQ(st.sgt_rec.stroke_loss, 300);
  EXPECT_EQ(st.sgt_rec.theo_stroke, 3000);
  EXPECT_EQ(st.sgt_rec.theo_min_load, 2025);
}

TEST(TestLibraries, DamagedOrReadOnlyLibraryIsRefusedAndLeftAsItWas) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  Bytes damaged = raw_card("W1              ", "200401011230");
  damaged.resize(700, 0x55);
  put_bytes(lib, damaged);

  TestState st = card_state("W9", "200401011230");
  EXPECT_EQ(sgt_save_new(st, lib).status, LibStatus::Damaged);
  std::vector<GridRow> rows;
  EXPECT_EQ(Load_Grid_Dat(lib, kSgtRecordSize, rows), LibStatus::Damaged);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(delete_library_record(tmp.prog, LibraryKind::Card, 1).status, LibStatus::Damaged);
  EXPECT_EQ(file_bytes(lib), damaged);
  auto msg = library_failure_message(LibOperation::Save, LibStatus::Damaged, lib);
  EXPECT_EQ(msg.text, "非法的文件格式!");
  EXPECT_EQ(msg.title, "不能打开!");

  Bytes good = raw_card("W1              ", "200401011230");
  put_bytes(lib, good);
  fs::permissions(lib, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  auto r = sgt_save_new(st, lib);
  EXPECT_EQ(r.status, LibStatus::IoError);
  EXPECT_EQ(r.result, 0u);
  EXPECT_EQ(delete_library_record(tmp.prog, LibraryKind::Card, 1).status, LibStatus::IoError);
  EXPECT_EQ(file_bytes(lib), good);
  EXPECT_FALSE(fs::exists(tmp.prog.sys() / "sgt_bak.dat"));
  fs::permissions(lib, fs::perms::owner_all);
}

TEST(TestLibraries, ListingShowsNumberNameAndDateAsStored) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Card);
  Bytes two = raw_card("W1              ", "200401011230");
  Bytes second = raw_card(std::string("W2") + std::string(14, '\0'), "200402021015");
  two.insert(two.end(), second.begin(), second.end());
  put_bytes(lib, two);
  std::vector<GridRow> rows;
  ASSERT_EQ(Load_Grid_Dat(lib, kSgtRecordSize, rows), LibStatus::Ok);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].number, "1");
  EXPECT_EQ(rows[0].well_name, "W1              ");  // all 16 characters, not trimmed
  EXPECT_EQ(rows[0].test_date, "200401011230");
  EXPECT_EQ(rows[1].number, "2");
  EXPECT_EQ(rows[1].well_name, "W2              ");  // NULs shown as blanks

  put_bytes(lib, {});
  EXPECT_EQ(Load_Grid_Dat(lib, kSgtRecordSize, rows), LibStatus::Ok);
  EXPECT_TRUE(rows.empty());
  EXPECT_FALSE(fs::exists(lib));  // an empty library is deleted when listed
  EXPECT_EQ(Load_Grid_Dat(lib, kSgtRecordSize, rows), LibStatus::Ok);  // missing: no rows
}

TEST(TestLibraries, DeletionMovesLaterRecordsDownThroughTheBackupFile) {
  test::TempProgram tmp;
  const fs::path lib = library_path(tmp.prog, LibraryKind::Wave);
  const fs::path bak = tmp.prog.sys() / "xbt_bak.dat";
  Bytes all;
  for (int i = 1; i <= 4; ++i) {
    XbtRecord x;
    x.well_name = "W" + std::to_string(i);
    x.test_date = "200401011230";
    Bytes b = x.encode();
    all.insert(all.end(), b.begin(), b.end());
  }
  put_bytes(lib, all);
  put_bytes(bak, Bytes(10, 1));  // left over from an interrupted deletion

  auto r = delete_library_record(tmp.prog, LibraryKind::Wave, 2);
  EXPECT_EQ(r.status, LibStatus::Ok);
  EXPECT_TRUE(r.relist);
  EXPECT_FALSE(fs::exists(bak));
  std::vector<GridRow> rows;
  ASSERT_EQ(Load_Grid_Dat(lib, kXbtRecordSize, rows), LibStatus::Ok);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].well_name.substr(0, 2), "W1");
  EXPECT_EQ(rows[1].well_name.substr(0, 2), "W3");
  EXPECT_EQ(rows[2].well_name.substr(0, 2), "W4");
  EXPECT_EQ(rows[2].number, "3");

  // Row 0 or a row beyond the last rewrites the library unchanged.
  Bytes before = file_bytes(lib);
  for (long long n : {0LL, 4LL, 99LL}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(delete_library_record(tmp.prog, LibraryKind::Wave, n).status, LibStatus::Ok);
    EXPECT_EQ(file_bytes(lib), before);
  }

  // Deleting the only record leaves an empty library, which the next listing deletes.
  put_bytes(lib, Bytes(all.begin(), all.begin() + 1024));
  EXPECT_TRUE(delete_library_record(tmp.prog, LibraryKind::Wave, 1).relist);
  EXPECT_EQ(fs::file_size(lib), 0u);
  EXPECT_EQ(Load_Grid_Dat(lib, kXbtRecordSize, rows), LibStatus::Ok);
  EXPECT_FALSE(fs::exists(lib));
  // With nothing left there is nothing to relist.
  auto again = delete_library_record(tmp.prog, LibraryKind::Wave, 1);
  EXPECT_EQ(again.status, LibStatus::Ok);
  EXPECT_FALSE(again.relist);
}

TEST(TestLibraries, ExportTakesTheFirstFreeNumber) {
  // Whatever stands under a name takes it, followed or not: a folder, a link to nothing, a
  // link to a folder, a FIFO.
  enum class Entry { File, Folder, DanglingLink, FolderLink, Fifo };
  struct Case {
    const char* name;
    std::vector<std::string> existing;  // files
    std::string expected;  // empty: no free name
    std::vector<std::pair<std::string, Entry>> others = {};
  };
  std::vector<std::string> all99;
  for (int k = 1; k <= 99; ++k) all99.push_back(std::string("W1.g") + (k < 10 ? "0" : "") + std::to_string(k));
  const Case cases[] = {
      {"none yet", {}, "W1.g01"},
      {"two taken", {"W1.g01", "W1.g02"}, "W1.g03"},
      {"gap first", {"W1.g02"}, "W1.g01"},
      {"other case counts as taken", {"w1.G01"}, "W1.g02"},
      {"other wells and kinds do not count", {"W2.g01", "W1.d01", "W1.o01"}, "W1.g01"},
      {"all 99 taken", all99, ""},
      {"a folder", {}, "W1.g02", {{"W1.g01", Entry::Folder}}},
      {"a folder in other case", {}, "W1.g02", {{"w1.G01", Entry::Folder}}},
      {"a dangling link", {"W1.g01"}, "W1.g03", {{"W1.g02", Entry::DanglingLink}}},
      {"a link to a folder", {}, "W1.g02", {{"W1.g01", Entry::FolderLink}}},
      {"a FIFO", {}, "W1.g02", {{"W1.g01", Entry::Fifo}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempProgram tmp;
    for (const auto& e : c.existing) put_bytes(tmp.prog.data() / e, Bytes(3, 7));
    for (const auto& [name, kind] : c.others) {
      const fs::path p = tmp.prog.data() / name;
      switch (kind) {
        case Entry::File: put_bytes(p, Bytes(3, 7)); break;
        case Entry::Folder: fs::create_directory(p); break;
        case Entry::DanglingLink: fs::create_symlink(tmp.prog.root / "nowhere", p); break;
        case Entry::FolderLink: fs::create_directory_symlink(tmp.prog.sys(), p); break;
        case Entry::Fifo: ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); break;
      }
    }
    TestState st = card_state(" W1 ", "200401011230");
    st.Text1[3] = "3";
    auto r = main_to_sgt(st, tmp.prog);
    // The entries found are left as they were.
    for (const auto& [name, kind] : c.others) {
      const fs::file_type t = fs::symlink_status(tmp.prog.data() / name).type();
      EXPECT_EQ(t == fs::file_type::symlink, kind == Entry::DanglingLink || kind == Entry::FolderLink) << name;
    }
    EXPECT_FALSE(fs::exists(tmp.prog.root / "nowhere"));
    if (c.expected.empty()) {
      EXPECT_EQ(r.status, LibStatus::NoFreeName);
      EXPECT_EQ(list_files(tmp.prog.data(), "*").size(), c.existing.size());
      continue;
    }
    ASSERT_EQ(r.status, LibStatus::Ok);
    EXPECT_EQ(r.path, tmp.prog.data() / c.expected);
    auto bytes = file_bytes(r.path);
    ASSERT_EQ(bytes.size(), 512u);
    EXPECT_EQ(ascii_at(bytes, 0, 16), "W1              ");
    EXPECT_EQ(i16_at(bytes, 44), 3000);  // the static fields are refreshed from the boxes
    EXPECT_EQ(bytes, st.sgt_rec.encode());
  }
}

TEST(TestLibraries, ExportRefusesWellNamesThatLeaveTheDataFolder) {
  for (const char* well : {"../evil", "a/b", "a\\b", "..", "", "   "}) {
    SCOPED_TRACE(well);
    test::TempProgram tmp;
    TestState st;
    st.Text1[2] = well;
    st.dnt_rec.well_name = "KEEP";
    auto r = main_to_dnt(st, tmp.prog);
    EXPECT_EQ(r.status, LibStatus::UnsafeName);
    EXPECT_EQ(st.dnt_rec.well_name, "KEEP");
    EXPECT_TRUE(list_files(tmp.prog.data(), "*").empty());
    EXPECT_TRUE(list_files(tmp.prog.root, "*.d*").empty());
    EXPECT_FALSE(library_failure_message(LibOperation::Export, r.status, {}, well).text.empty());
  }
}

// A file name may have 255 bytes: 80 Chinese characters (240 bytes) and ".g01" are
// exported; 84 (252 bytes) are refused with a message that says the name is too long.
TEST(TestLibraries, LongWellNamesUpTo255Bytes) {
  const auto chinese = [](int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += "井";
    return s;
  };
  {
    test::TempProgram tmp;
    TestState st = card_state(chinese(80), "200401011230");
    auto r = main_to_sgt(st, tmp.prog);
    ASSERT_EQ(r.status, LibStatus::Ok);
    EXPECT_EQ(r.path, tmp.prog.data() / u8path(chinese(80) + ".g01"));
    EXPECT_EQ(list_files(tmp.prog.data(), "*").size(), 1u);
  }
  {
    test::TempProgram tmp;
    TestState st = card_state(chinese(84), "200401011230");
    auto r = main_to_sgt(st, tmp.prog);
    EXPECT_EQ(r.status, LibStatus::UnsafeName);
    EXPECT_TRUE(list_files(tmp.prog.data(), "*").empty());
    const std::string text = library_failure_message(LibOperation::Export, r.status, {}, chinese(84)).text;
    EXPECT_NE(text.find("太长"), std::string::npos) << text;
  }
  for (const auto& [name, safe] : std::vector<std::pair<std::string, bool>>{
           {std::string(251, 'a'), true}, {std::string(252, 'a'), false}, {"../x", false}}) {
    EXPECT_EQ(is_safe_file_stem(name, kTestFileSuffixBytes), safe) << name;
    EXPECT_EQ(file_stem_too_long(name, kTestFileSuffixBytes), name.size() == 252) << name;
  }
}

TEST(TestLibraries, ElectricAndWaveExportsAreOneRecordLong) {
  test::TempProgram tmp;
  TestState st;
  st.Text1[2] = "W7";
  st.xbt_rec.order_num = 5;
  auto x = main_to_xbt(st, tmp.prog);
  ASSERT_EQ(x.status, LibStatus::Ok);
  EXPECT_EQ(x.path.filename(), "W7.x01");
  EXPECT_EQ(fs::file_size(x.path), 1024u);
  auto d = main_to_dnt(st, tmp.prog);
  EXPECT_EQ(d.path.filename(), "W7.d01");
  EXPECT_EQ(fs::file_size(d.path), 1024u);
}

TEST(TestLibraries, CaptionsAndTooltipsNameTheLibraries) {
  ASSERT_NE(library_by_caption("功图数据主库"), nullptr);
  EXPECT_EQ(library_by_caption("功图数据主库")->kind, LibraryKind::Card);
  EXPECT_EQ(library_by_caption("电力曲线主库")->kind, LibraryKind::Electric);
  EXPECT_EQ(library_by_caption("波形分析主库")->kind, LibraryKind::Wave);
  EXPECT_EQ(library_by_caption("主库"), nullptr);
  EXPECT_EQ(library_by_export_tooltip("电力曲线数据出库")->kind, LibraryKind::Electric);
  EXPECT_EQ(library_by_export_tooltip("数据出库"), nullptr);
}

// What a store would keep otherwise than the boxes show, found before writing.
TEST(TestLibraries, StoreCheckNamesUnstorableBoxesAndChangedNames) {
  std::string forty;
  for (int i = 0; i < 40; ++i) forty += "井";
  struct Case {
    std::string name;
    int box;
    const char* value;
    std::vector<std::string> unstored;
    bool cut, changed;
    std::string stored;
  } cases[] = {
      {"示范井1", 4, "55.5", {}, false, false, "示范井1"},
      {"示范井1", 4, "400", {"理论最大负荷"}, false, false, "示范井1"},
      {"示范井1", 3, "45", {"标称冲程"}, false, false, "示范井1"},
      {"示范井1", 1, "-40", {"冲程损失"}, false, false, "示范井1"},
      {forty, 4, "1", {}, true, false, "井井井井井井井井"},
      {"  ABCDEFGHIJKLMNOPQ ", 4, "1", {}, true, false, "ABCDEFGHIJKLMNOP"},
      {"W😀1", 4, "1", {}, false, true, "W?1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name + " " + c.value);
    TestState st;
    st.Text1[2] = c.name;
    st.Text1[c.box] = c.value;
    const StoreCheck k = check_store(st, LibraryKind::Card);
    EXPECT_EQ(k.unstored, c.unstored);
    EXPECT_EQ(k.name_cut, c.cut);
    EXPECT_EQ(k.name_changed, c.changed);
    EXPECT_EQ(k.stored_well, c.stored);
    EXPECT_EQ(store_check_question(k).empty(), k.ok());
    // Other kinds have no boxes to refresh, only the name.
    EXPECT_TRUE(check_store(st, LibraryKind::Wave).unstored.empty());
    // The refresh itself reports the same boxes and leaves their fields as they were.
    st.sgt_rec.theo_max_load = 1234;
    st.sgt_rec.theo_stroke = 2345;
    st.sgt_rec.stroke_loss = 345;
    EXPECT_EQ(refresh_sgt_from_boxes(st), c.unstored);
    if (!c.unstored.empty() && c.box == 4) {
      EXPECT_EQ(st.sgt_rec.theo_max_load, 1234);
    }
  }
}

// The kind of a single-test file is the first letter of its suffix, whatever the suffix's
// length, and never a letter of the folders or of the name before it.
TEST(TestLibraries, FileKindIsTheFirstLetterOfTheSuffix) {
  struct Case {
    const char* path;
    TestKind kind;
  } cases[] = {
      {"data/示范井1.o01", kKindJoint}, {"data/W.O02", kKindJoint},      {"W.g01", kKindCard},
      {"W.d99", kKindElectric},         {"W.x03", kKindWave},            {"W.o1", kKindJoint},
      {"Jo.d1", kKindElectric},         {"a.b.g07", kKindCard},          {"W.dat", kKindElectric},
      {"W", kKindNone},                 {"W.", kKindNone},               {"W.t01", kKindNone},
      {"data.o01/W", kKindNone},        {"W.o01 ", kKindJoint},
  };
  for (const Case& c : cases) EXPECT_EQ(test_kind_of_file(u8path(c.path)), c.kind) << c.path;
}
