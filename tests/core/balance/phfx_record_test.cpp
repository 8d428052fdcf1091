#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/balance/phfx_browser.h"
#include "core/balance/phfx_record.h"
#include "phfx_test_library.h"
#include "../common/journal_folder.h"
#include "core/common/bytes.h"
#include "core/common/dlph_record.h"
#include "core/common/gbk.h"
#include "core/common/record_store.h"

namespace wb {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path root;
  TempDir() {
    root = fs::temp_directory_path() / ("phfx_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "sys");
  }
  ~TempDir() { fs::remove_all(root); }
};

float f32_at(const Bytes& b, std::size_t off) {
  float v;
  std::memcpy(&v, b.data() + off, 4);
  return v;
}
std::int16_t i16_at(const Bytes& b, std::size_t off) { return static_cast<std::int16_t>(b[off] | (b[off + 1] << 8)); }

HeldStroke held(int n) {
  std::vector<float> u(n), i(n), p(n), q(n), s(n), g(n);
  for (int k = 0; k < n; ++k) {
    const double t = 2 * 3.14159265358979 * k / n;
    p[k] = static_cast<float>(8 + 5 * std::sin(t));
    u[k] = 380;
    q[k] = 4;
    i[k] = static_cast<float>(20 + 3 * std::cos(t));
    s[k] = static_cast<float>(1.5 * (1 - std::cos(t)));
    g[k] = static_cast<float>(40 + 10 * std::sin(t));
  }
  HeldStroke h;
  take_stroke(h, u.data(), i.data(), p.data(), q.data(), s.data(), g.data(), n, 4, 3);
  h.Cur_Well = "井A";
  h.Cur_Test = "200601011200";
  h.Rms_I = 20.5f;
  h.Rms_P = 9.25f;
  return h;
}

ParameterBoxes boxes() {
  ParameterBoxes t = default_parameter_boxes();
  t[1] = "12.5";
  t[2] = "1.25";
  t[8] = "7.5";
  t[9] = "4";
  t[10] = "3";
  t[13] = "6";
  t[12] = "1.1";
  return t;
}

TEST(PhfxRecord, FieldsAtTheirOffsets) {
  PhfxRecord rec;
  rec.reserved_100.fill(0x5A);
  rec.reserved_1688.fill(0xA5);
  rec.pp_sin[31] = 7.0f;  // a last slot the save does not compute stays
  ASSERT_FALSE(fill_phfx(rec, held(500), boxes(), BalanceMode::Combined, " CYJ10-3-37 "));
  const Bytes b = rec.encode();
  ASSERT_EQ(b.size(), 2148u);
  EXPECT_EQ(gbk_to_utf8(std::string(b.begin(), b.begin() + 16)), "井A" + std::string(13, ' '));  // 3 GBK bytes
  EXPECT_EQ(i16_at(b, 28), 500);
  EXPECT_EQ(i16_at(b, 30), 2);      // crank blocks
  EXPECT_EQ(i16_at(b, 32), 12500);  // 12.5 kN ×1000
  EXPECT_EQ(i16_at(b, 34), 1250);
  EXPECT_EQ(i16_at(b, 36), 4);
  EXPECT_FLOAT_EQ(f32_at(b, 38), 20.5f);
  EXPECT_FLOAT_EQ(f32_at(b, 42), 9.25f);
  EXPECT_EQ(i16_at(b, 46), 2100);
  EXPECT_FLOAT_EQ(f32_at(b, 52), 6.0f);
  EXPECT_EQ(i16_at(b, 56), 2);     // group 1: count, weight, position
  EXPECT_EQ(i16_at(b, 58), 6000);
  EXPECT_EQ(i16_at(b, 60), 1100);
  EXPECT_EQ(i16_at(b, 80), 2);
  EXPECT_EQ(i16_at(b, 82), 4000);
  EXPECT_FLOAT_EQ(f32_at(b, 90), 7.5f);
  EXPECT_EQ(i16_at(b, 94), 4000);
  EXPECT_EQ(i16_at(b, 96), 3);
  EXPECT_EQ(i16_at(b, 98), 10);
  EXPECT_EQ(b[100], 0x5A);
  // Coefficients from the single-precision codec over 500 points: a few 1e-3 of the mean.
  EXPECT_NEAR(f32_at(b, 246 + 4), 5.0, 1e-2);       // active power: sine block first, term 1
  EXPECT_NEAR(f32_at(b, 374), 16.0, 1e-2);          // cosine term 0: twice the mean
  EXPECT_FLOAT_EQ(f32_at(b, 246 + 31 * 4), 7.0f);   // term 31 kept
  EXPECT_NEAR(f32_at(b, 886 + 4), 3.0, 1e-2);       // current cosine term 1
  EXPECT_NEAR(f32_at(b, 1334 + 4), -1.5, 1e-2);     // displacement cosine term 1
  EXPECT_NEAR(f32_at(b, 1398 + 4), 10.0, 3e-2);     // load sine term 1
  EXPECT_EQ(std::string(b.begin() + 1654, b.begin() + 1664), "CYJ10-3-37");
  EXPECT_FLOAT_EQ(f32_at(b, 1684), 37.0f);
  EXPECT_EQ(b[2147], 0xA5);

  PhfxRecord back;
  ASSERT_TRUE(back.decode(b));
  EXPECT_EQ(back.encode(), b);
}

TEST(PhfxRecord, ValuesBeyondTheirFieldsAreRefused) {
  struct Case {
    int box;
    const char* text;
    const char* caption;
  } cases[] = {{9, "40", "平衡块单重 kN"}, {1, "33", "平均块重kN"}, {10, "40000", "已装平衡块数"}, {16, "-33", "单块重 kN"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ParameterBoxes t = boxes();
    t[static_cast<std::size_t>(c.box)] = c.text;
    PhfxRecord rec;
    const auto bad = fill_phfx(rec, held(300), t, BalanceMode::Beam, "");
    ASSERT_TRUE(bad.has_value());
    EXPECT_EQ(*bad, c.caption);
  }
}

TEST(PhfxRecord, ViewAndStrokeComeBackFromTheRecord) {
  PhfxRecord rec;
  const HeldStroke h = held(400);
  ASSERT_FALSE(fill_phfx(rec, h, boxes(), BalanceMode::Beam, "M-2.5-26"));
  const PhfxView v = phfx_view(rec);
  EXPECT_EQ(v.boxes[1], "12.5");
  EXPECT_EQ(v.boxes[2], "1.25");
  EXPECT_EQ(v.boxes[4], "37");
  EXPECT_EQ(v.boxes[8], "7.5");
  EXPECT_EQ(v.boxes[12], "1.1");
  EXPECT_EQ(v.boxes[15], "");  // group 2 is empty
  EXPECT_FALSE(v.has_box27);
  EXPECT_EQ(v.balance_mode, 1);
  EXPECT_EQ(v.cyj_model, "M-2.5-26");

  HeldStroke back;
  back.DispCurveType = 3;
  stroke_from_phfx(rec, back);
  EXPECT_EQ(back.gt_num, 400);
  EXPECT_EQ(back.Cur_Well, "井A");
  EXPECT_EQ(back.cs_fs, 4);
  for (int k : {0, 100, 250}) {
    const std::size_t i = static_cast<std::size_t>(k);
    // The single-precision codec both ways: within 0.1 % of the curves' size.
    EXPECT_NEAR(back.pps[i], h.pps[i], 0.02);
    EXPECT_NEAR(back.ggs[i], h.ggs[i], 0.05);
    EXPECT_NEAR(back.sss[i], h.sss[i], 0.005);
    EXPECT_EQ(back.pps_org[i], back.pps[i]);
  }
}

// A library of records W1 … Wn, test "20060101120k".
void library(const fs::path& lib, int n) {
  std::vector<PhfxRecord> recs(static_cast<std::size_t>(n));
  for (int k = 1; k <= n; ++k) {
    PhfxRecord& r = recs[static_cast<std::size_t>(k - 1)];
    r.well_name = "W" + std::to_string(k);
    r.test_date = "20060101120" + std::to_string(k % 10);
    r.point_num = static_cast<std::int16_t>(k);
  }
  test::write_phfx_library(lib, recs);
}

std::vector<int> point_nums(const fs::path& lib) { return test::phfx_point_nums(lib); }

TEST(PhfxLibrary, RangeDeletes) {
  TempDir d;
  const fs::path lib = d.root / "sys" / "phfx.dat";
  struct Case {
    std::size_t first, last;
    std::vector<int> left;
  } cases[] = {
      {2, 4, {1, 5, 6}},
      {4, 2, {1, 5, 6}},        // reversed: the same rows
      {5, 99, {1, 2, 3, 4}},    // beyond the count: clipped
      {3, 3, {1, 2, 4, 5, 6}},  // one record
      {0, 0, {1, 2, 3, 4, 5, 6}},
      {1, 6, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    library(lib, 6);
    ASSERT_EQ(delete_phfx_range(lib, c.first, c.last, 0), StoreStatus::Ok);
    EXPECT_EQ(point_nums(lib), c.left);
  }
  // A library of a wrong length is refused and left as it was.
  {
    std::ofstream(lib, std::ios::binary) << std::string(2148 + 7, 'x');
  }
  EXPECT_EQ(delete_phfx_range(lib, 1, 1, 0), StoreStatus::Damaged);
  EXPECT_EQ(fs::file_size(lib), 2155u);
}

// A save of the library left committed but not completed (a failed rename) is completed
// before the rows are deleted: the deletion is made on the saved library, never undone by it.
TEST(PhfxLibrary, RangeDeleteCompletesASaveLeftUnfinished) {
  TempDir d;
  const fs::path lib = d.root / "sys" / "phfx.dat";
  library(lib, 6);
  const fs::path saved = d.root / "saved.dat";
  library(saved, 4);
  std::vector<std::uint8_t> content;
  ASSERT_TRUE(read_file(saved, content));
  test::plant_committed_save(d.root, "sys/phfx.dat", content);
  ASSERT_EQ(delete_phfx_range(lib, 2, 2, 0), StoreStatus::Ok);
  EXPECT_EQ(point_nums(lib), (std::vector<int>{1, 3, 4}));
  EXPECT_FALSE(save_pending(d.root / "sys" / kSaveJournalName));
}

TEST(PhfxLibrary, FindListsAndKeys) {
  TempDir d;
  const fs::path lib = d.root / "sys" / "phfx.dat";
  library(lib, 3);
  std::vector<Bytes> all;
  RecordStore store(lib, kPhfxRecordSize);
  PhfxRecord extra;
  extra.well_name = "W2";
  extra.test_date = "200602021200";
  extra.point_num = 9;
  ASSERT_EQ(store.write(4, extra.encode()), StoreStatus::Ok);
  PhfxRecord r;
  std::size_t found = 0;
  ASSERT_EQ(find_phfx(lib, " W2 ", "200602021200", r, found), StoreStatus::Ok);
  EXPECT_EQ(found, 4u);
  EXPECT_EQ(r.point_num, 9);
  std::vector<std::string> wells, tests;
  ASSERT_EQ(phfx_wells(lib, wells), StoreStatus::Ok);
  EXPECT_EQ(wells, (std::vector<std::string>{"W1", "W2", "W3"}));
  ASSERT_EQ(phfx_tests(lib, "W2", tests), StoreStatus::Ok);
  EXPECT_EQ(tests, (std::vector<std::string>{"200601011202", "200602021200"}));
  EXPECT_EQ(find_phfx(lib, "W9", "x", r, found), StoreStatus::Ok);
  EXPECT_EQ(found, 0u);
}

struct ScriptedAnswers : MessageService {
  std::vector<std::string> shown;
  std::vector<MsgAnswer> answers;  // in order; Yes when exhausted
  MsgAnswer show(const std::string& text, const std::string&, MsgButtons buttons, MsgIcon) override {
    shown.push_back(text);
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return MsgAnswer::Yes;
    const MsgAnswer a = answers.front();
    answers.erase(answers.begin());
    return a;
  }
};

// ←, → and × of the counterbalance window, on a library of three records.
TEST(PhfxLibrary, BrowseAndDeleteTheShownRecord) {
  TempDir d;
  const fs::path lib = d.root / "sys" / "phfx.dat";
  const ProgramFolder prog{d.root};
  library(lib, 3);
  EXPECT_EQ(phfx_review_target(lib, "2", 0), 1u);
  EXPECT_EQ(phfx_review_target(lib, "3", 1), 3u);
  EXPECT_EQ(phfx_review_target(d.root / "sys" / "none.dat", "1", 1), 0u);  // an empty library shows none

  struct Case {
    const char* what;
    const char* text7;
    MsgAnswer answer;
    bool deleted;
    std::size_t next;
    bool same_number;
    std::vector<int> left;
  } cases[] = {
      {"the middle one: the third takes its number", "2", MsgAnswer::Yes, true, 2, true, {1, 3}},
      {"the last one: the new last is shown", "3", MsgAnswer::Yes, true, 2, false, {1, 2}},
      {"No keeps it", "2", MsgAnswer::No, false, 0, false, {1, 2, 3}},
      {"no record shown: asked, nothing deleted", "7", MsgAnswer::Yes, false, 0, false, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    library(lib, 3);
    ScriptedAnswers msg;
    msg.answers = {c.answer};
    const PhfxDeleteResult r = delete_phfx_record(lib, prog, c.text7, msg);
    EXPECT_EQ(msg.shown, std::vector<std::string>{kDeleteRecordQuestion});
    EXPECT_EQ(r.deleted, c.deleted);
    EXPECT_EQ(r.next, c.next);
    EXPECT_EQ(r.same_number, c.same_number);
    EXPECT_EQ(point_nums(lib), c.left);
  }
  // The only record goes too, and the library's file with it.
  library(lib, 1);
  ScriptedAnswers msg;
  const PhfxDeleteResult last = delete_phfx_record(lib, prog, "1", msg);
  EXPECT_TRUE(last.deleted);
  EXPECT_EQ(last.next, 0u);
  // A library that is not whole records is not asked about.
  {
    std::ofstream(lib, std::ios::binary) << std::string(kPhfxRecordSize + 7, 'x');
  }
  ScriptedAnswers none;
  EXPECT_FALSE(delete_phfx_record(lib, prog, "1", none).deleted);
  EXPECT_TRUE(none.shown.empty());
  EXPECT_FALSE(phfx_review_target(lib, "1", 1));
}

TEST(BalanceSummary, UpdatesTheRecordOfTheKeyOrAppends) {
  TempDir d;
  ProgramFolder prog{d.root};
  RecordStore store(prog.sys() / "DlPh.dat", kDlPhRecordSize);
  for (int k = 1; k <= 3; ++k) {
    DlPhRecord r;
    r.well_name = k == 2 ? std::string("W2\0\0", 4) : "W" + std::to_string(k);  // trailing NULs still match
    r.test_date = "200601011200";
    r.sys_effi = 30.0f + k;
    r.cyj_model = "M";
    ASSERT_EQ(store.write(static_cast<std::size_t>(k), r.encode()), StoreStatus::Ok);
  }
  ParameterBoxes t = boxes();
  ASSERT_EQ(save_balance_summary(prog, "W2", "200601011200", t, "建议"), StoreStatus::Ok);
  std::size_t n = 0;
  ASSERT_EQ(store.count(n), StoreStatus::Ok);
  EXPECT_EQ(n, 3u);
  Bytes b;
  ASSERT_EQ(store.read(2, b), StoreStatus::Ok);
  DlPhRecord r;
  ASSERT_TRUE(r.decode(b));
  EXPECT_EQ(r.crank_blocks, 2);
  EXPECT_FLOAT_EQ(r.crank_block_wt, 12.5f);
  EXPECT_FLOAT_EQ(r.crank_block_pos, 1.25f);
  EXPECT_FLOAT_EQ(r.sys_effi, 32.0f);  // the efficiency window's field stays
  EXPECT_EQ(r.cyj_model.substr(0, 1), "M");
  EXPECT_EQ(r.balance_advice.substr(0, 6), "建议");

  ASSERT_EQ(save_balance_summary(prog, "W9", "200601011200", t, "x"), StoreStatus::Ok);
  ASSERT_EQ(store.count(n), StoreStatus::Ok);
  EXPECT_EQ(n, 4u);
  ASSERT_EQ(store.read(4, b), StoreStatus::Ok);
  ASSERT_TRUE(r.decode(b));
  EXPECT_EQ(r.well_name.substr(0, 2), "W9");
  EXPECT_FLOAT_EQ(r.sys_effi, 0.0f);
}

}  // namespace
}  // namespace wb
