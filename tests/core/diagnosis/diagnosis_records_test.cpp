// The diagnosis record file and the well selection, on files built in each test.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

#include "core/common/gbk.h"
#include "core/common/record_limit.h"
#include "core/common/test_records.h"
#include "core/common/trim.h"
#include "core/diagnosis/diagnosis_records.h"
#include "core/records/gt_ym_checks.h"
#include "core/records/gt_ym_record.h"
#include "diagnosis_test_util.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using diag_test::FakeMessages;
using test::ascii_at;
using test::file_bytes;

struct Window {
  diag_test::TempProgram prog;
  DiagnosisState st;
  FakeMessages msg;
  DiagnosisIo io{msg, nullptr};
  Window() { diagnosis_load(st, prog.prog, io); }
  fs::path bgt() const { return prog.prog.sys() / "bgt.dat"; }
  // Types a test into the boxes and refreshes it with its own card, as the user would.
  void type_test(const std::string& well, const std::string& date, const std::string& bore) {
    st.Text1[diag_box::kWell] = well;
    st.Text1[diag_box::kDate] = date;
    diag_test::fill_well_boxes(st, well);
    st.Text1[diag_box::kDate] = date;
    st.Text1[diag_box::kBore] = bore;
    st.Bgt_Rec.card = diag_test::pumped_card(well);
    refresh_diagnosis(st, io);
  }
};

TEST(BgtRecord, LayoutOffsets) {
  BgtRecord r;
  r.well_name = "W1";
  r.test_date = "20240301";
  r.params[0] = "56";
  r.params[25] = "38";
  r.diag_text = "A\nB";
  r.card.well_name = "W1";
  r.card.max_load = 5231;
  r.diag_params[7] = "2.967";
  r.cyj_model = "CYJ10";
  r.plunger_stroke = "2.75";
  r.motor_model = "Y250";
  r.wellhead_temp = "35";
  r.powers = {10.5f, 6.25f, 3, 12};
  const Bytes b = r.encode();
  ASSERT_EQ(b.size(), 1445u);
  EXPECT_EQ(ascii_at(b, 0, 16), "W1              ");
  EXPECT_EQ(ascii_at(b, 16, 15), "20240301       ");
  EXPECT_EQ(ascii_at(b, 31, 12), "56          ");
  EXPECT_EQ(ascii_at(b, 31 + 12 * 25, 12), "38          ");
  EXPECT_EQ(ascii_at(b, 343, 5), "A\r\nB ");
  EXPECT_EQ(ascii_at(b, 631, 2), "W1");
  EXPECT_EQ(test::i16_at(b, 631 + 32), 5231);
  EXPECT_EQ(ascii_at(b, 1143, 64), std::string(64, ' '));
  EXPECT_EQ(ascii_at(b, 1207 + 56, 8), "2.967   ");
  EXPECT_EQ(ascii_at(b, 1271, 5), "CYJ10");
  EXPECT_EQ(ascii_at(b, 1291, 4), "2.75");
  EXPECT_EQ(ascii_at(b, 1299, 4), "Y250");
  EXPECT_EQ(ascii_at(b, 1319, 2), "35");
  float p1 = 0;
  std::memcpy(&p1, b.data() + 1331, 4);
  EXPECT_EQ(p1, 6.25f);
  EXPECT_EQ(ascii_at(b, 1343, 100), std::string(100, ' '));
  EXPECT_EQ(b[1443], 0x0D);
  EXPECT_EQ(b[1444], 0x0A);
  BgtRecord back;
  ASSERT_TRUE(back.decode(b));
  EXPECT_EQ(back.encode(), b);
  EXPECT_FALSE(back.decode(Bytes(1444, ' ')));
}

TEST(BgtRecord, AdviceIsCutAtTheFieldOnAWholeCharacterAndLineBreak) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t want_bytes;  // GBK bytes kept
  };
  auto repeat = [](const std::string& t, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += t;
    return out;
  };
  std::string sixty_lines;
  for (int i = 0; i < 60; ++i) sixty_lines += "第" + std::to_string(i % 10) + "行\n";
  const Case cases[] = {
      {"145 Chinese characters keep 144", repeat("油", 145), 288},
      {"an odd byte left over is not split", "A" + repeat("油", 144), 287},
      {"sixty lines: CR LF kept whole", sixty_lines, 287},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string kept = advice_for_field(c.text);
    EXPECT_EQ(gbk_width(kept), c.want_bytes);
    EXPECT_NE(kept.back(), '\r');
    BgtRecord r;
    r.diag_text = c.text;
    BgtRecord back;
    ASSERT_TRUE(back.decode(r.encode()));
    EXPECT_EQ(trim_blanks(back.diag_text), kept);
  }
}

// Save W1 with box 5 "56", again with "70" (replaced in place), then W2 (appended).
TEST(DiagnosisRecords, SaveReplacesByKeyAndAppends) {
  Window w;
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(w.st.Text7, "1");
  EXPECT_FALSE(w.st.Rec_Changed);
  w.st.set_box(diag_box::kBore, "70");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(w.st.Text7, "1");
  w.type_test("W2", "20240302", "44");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(w.st.Text7, "2");
  EXPECT_TRUE(w.msg.texts.empty());
  const Bytes b = file_bytes(w.bgt());
  ASSERT_EQ(b.size(), 2890u);
  EXPECT_EQ(ascii_at(b, 31, 12), "70          ");
  EXPECT_EQ(b[1443], 0x0D);
  EXPECT_EQ(b[1444], 0x0A);
  EXPECT_EQ(ascii_at(b, 1445, 2), "W2");
  EXPECT_EQ(w.st.well_list, (std::vector<std::string>{"W1", "W2"}));
  // The stored card is the refreshed one of the record's own well.
  BgtRecord r1;
  ASSERT_TRUE(r1.decode(Bytes(b.begin(), b.begin() + 1445)));
  EXPECT_EQ(trim_blanks(r1.card.well_name), "W1");
  EXPECT_NE(r1.card.gg_cos[0], 0.0f);
}

TEST(DiagnosisRecords, KeysAreComparedAsStored) {
  Window w;
  // 17 bytes: "井" is cut whole from the 16-byte field, never split.
  const std::string long_well = "ABCDEFGHIJKLMNO井";
  ASSERT_EQ(gbk_width(long_well), 17u);
  w.type_test(long_well, "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  w.st.Text1[diag_box::kWell] = long_well;
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  const Bytes b = file_bytes(w.bgt());
  ASSERT_EQ(b.size(), 1445u);
  EXPECT_EQ(ascii_at(b, 0, 16), "ABCDEFGHIJKLMNO ");
  // A name in another letter case is another well.
  w.type_test("abcdefghijklmno", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(file_bytes(w.bgt()).size(), 2890u);
}

// The card of another well is never stored under this one; a replaced record keeps its own.
TEST(DiagnosisRecords, OnlyTheWellsOwnCardIsStored) {
  Window w;
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  const Bytes first = file_bytes(w.bgt());
  // A new well typed without a refresh: the last refreshed card is W1's.
  w.st.Text1[diag_box::kWell] = "W3";
  w.st.Text1[diag_box::kDate] = "20240305";
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  ASSERT_EQ(w.msg.texts.size(), 1u);
  EXPECT_NE(w.msg.texts[0].find("不带功图"), std::string::npos);
  Bytes b = file_bytes(w.bgt());
  BgtRecord r2;
  ASSERT_TRUE(r2.decode(Bytes(b.begin() + 1445, b.end())));
  EXPECT_EQ(r2.card.encode(), SgtRecord{}.encode());
  // W1 saved again while W3's (empty) card is current: W1 keeps its stored card.
  w.st.refreshed_card = SgtRecord{};
  w.st.refreshed_card.well_name = "W3";
  w.st.Text1[diag_box::kWell] = "W1";
  w.st.Text1[diag_box::kDate] = "20240301";
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_NE(w.msg.texts.back().find("保留原来"), std::string::npos);
  b = file_bytes(w.bgt());
  EXPECT_TRUE(std::equal(first.begin() + 631, first.begin() + 1143, b.begin() + 631));
}

// A new record starts blank; a replaced one keeps the fields the window never sets.
TEST(DiagnosisRecords, UnsetFieldsAreNotInherited) {
  Window w;
  BgtRecord seeded;
  seeded.well_name = "W9";
  seeded.test_date = "20200101";
  seeded.params[21] = "KEEP";
  seeded.reserved_1343.fill('R');
  test::put_bytes(w.bgt(), seeded.encode());
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  w.type_test("W9", "20200101", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  const Bytes b = file_bytes(w.bgt());
  ASSERT_EQ(b.size(), 2890u);
  EXPECT_EQ(ascii_at(b, 31 + 12 * 21, 12), "KEEP        ");           // record 1 replaced
  EXPECT_EQ(ascii_at(b, 1343, 3), "RRR");
  EXPECT_EQ(ascii_at(b, 1445 + 31 + 12 * 21, 12), std::string(12, ' '));  // record 2 new
  EXPECT_EQ(ascii_at(b, 1445 + 1343, 100), std::string(100, ' '));
}

TEST(DiagnosisRecords, SaveRefusals) {
  Window w;
  w.type_test("W1", "", "56");
  EXPECT_FALSE(Cmd_Save_Click(w.st, w.io));
  ASSERT_EQ(w.msg.texts.size(), 1u);
  EXPECT_EQ(w.msg.texts[0], kEmptyKeyText);
  EXPECT_EQ(w.msg.titles[0], kEmptyKeyTitle);
  EXPECT_TRUE(w.st.Rec_Changed);
  EXPECT_FALSE(fs::exists(w.bgt()));

  // A file of 1444 bytes is never written.
  test::put_bytes(w.bgt(), Bytes(1444, ' '));
  w.type_test("W1", "20240301", "56");
  EXPECT_FALSE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(w.msg.texts.back(), kBadFormatText);
  EXPECT_EQ(file_bytes(w.bgt()).size(), 1444u);
  EXPECT_TRUE(w.st.Rec_Changed);

  // No sys folder.
  fs::remove_all(w.prog.prog.sys());
  EXPECT_FALSE(Cmd_Save_Click(w.st, w.io));
  EXPECT_NE(w.msg.texts.back().find("保存失败"), std::string::npos);
  EXPECT_TRUE(w.st.Rec_Changed);
}

TEST(DiagnosisRecords, ReadOnlySysFolderIsReported) {
  Window w;
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  const Bytes before = file_bytes(w.bgt());
  fs::permissions(w.prog.prog.sys(), fs::perms::owner_write, fs::perm_options::remove);
  fs::permissions(w.bgt(), fs::perms::owner_write, fs::perm_options::remove);
  w.type_test("W2", "20240302", "56");
  const bool saved = Cmd_Save_Click(w.st, w.io);
  fs::permissions(w.prog.prog.sys(), fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(w.bgt(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_FALSE(saved);
  EXPECT_NE(w.msg.texts.back().find("保存失败"), std::string::npos);
  EXPECT_EQ(file_bytes(w.bgt()), before);
}

// Five records; deleting record 2 shows the former record 3 as number 2.
TEST(DiagnosisRecords, DeleteShowsTheFollowingRecord) {
  Window w;
  for (int i = 1; i <= 5; ++i) {
    w.type_test("W" + std::to_string(i), "2024030" + std::to_string(i), "56");
    ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  }
  // A work file left by an interrupted deletion does not get into the file.
  test::put_bytes(w.prog.prog.sys() / kDeleteWorkFile, Bytes(100, 'X'));
  set_Text7(w.st, "2", w.io);
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W2");
  w.msg.answers = {MsgAnswer::Yes};
  Cmd_Review_Click(w.st, 2, w.io);
  EXPECT_EQ(file_bytes(w.bgt()).size(), 4u * 1445);
  EXPECT_EQ(w.st.Text7, "2");
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W3");
  EXPECT_EQ(w.st.well_list, (std::vector<std::string>{"W1", "W3", "W4", "W5"}));
  EXPECT_FALSE(fs::exists(w.prog.prog.sys() / kDeleteWorkFile));
  // The last record: the new last one is shown.
  set_Text7(w.st, "4", w.io);
  Cmd_Review_Click(w.st, 2, w.io);
  EXPECT_EQ(w.st.Text7, "3");
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W4");
  // A number that is not the shown key's deletes nothing.
  w.st.Text1[diag_box::kWell] = "W1";
  const std::size_t shown_before = w.msg.texts.size();
  Cmd_Review_Click(w.st, 2, w.io);
  EXPECT_EQ(file_bytes(w.bgt()).size(), 3u * 1445);
  EXPECT_EQ(w.msg.texts.size(), shown_before + 2);  // the question and the refusal
  // No: nothing happens.
  w.st.Text1[diag_box::kWell] = "W4";
  w.msg.answers = {MsgAnswer::No};
  Cmd_Review_Click(w.st, 2, w.io);
  EXPECT_EQ(file_bytes(w.bgt()).size(), 3u * 1445);
}

TEST(DiagnosisRecords, DeleteOfTheOnlyRecordIsRefusedSilently) {
  Window w;
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  Cmd_Review_Click(w.st, 2, w.io);
  EXPECT_EQ(file_bytes(w.bgt()).size(), 1445u);
  EXPECT_EQ(w.msg.texts.size(), 1u);  // only the question
}

TEST(DiagnosisRecords, RecordNumberBoxAndSteps) {
  Window w;
  for (int i = 1; i <= 3; ++i) {
    w.type_test("W" + std::to_string(i), "20240301", "56");
    ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  }
  struct Case {
    const char* text;
    const char* shown;  // well shown afterwards (the previous stays when nothing is shown)
  };
  w.st.Text7 = "3";
  for (const Case& c : {Case{"abc", "W3"}, Case{"2.5", "W2"}, Case{"40000", "W2"}, Case{"0", "W2"},
                        Case{"1.5", "W2"}, Case{"3", "W3"}, Case{"0.6", "W1"}}) {
    SCOPED_TRACE(c.text);
    set_Text7(w.st, c.text, w.io);
    EXPECT_EQ(w.st.Text1[diag_box::kWell], c.shown);
  }
  EXPECT_EQ(record_number("2.5"), 2);
  EXPECT_EQ(record_number("3.5"), 4);
  EXPECT_EQ(record_number("40000"), 0);
  w.st.Text7 = "1";
  Cmd_Review_Click(w.st, 0, w.io);  // "←" on record 1
  EXPECT_EQ(w.st.Text7, "1");
  Cmd_Review_Click(w.st, 1, w.io);
  EXPECT_EQ(w.st.Text7, "2");
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W2");
  EXPECT_FALSE(w.st.Rec_Changed);
  set_Text7(w.st, "3", w.io);
  Cmd_Review_Click(w.st, 1, w.io);  // "→" on the last record
  EXPECT_EQ(w.st.Text7, "3");
  w.st.Text7 = "";
  Cmd_Review_Click(w.st, 1, w.io);  // "→" with an empty box shows record 1
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W1");
}

TEST(DiagnosisRecords, DamagedAndShortFilesAreReadAsFarAsWholeRecords) {
  struct Case {
    std::size_t bytes;
    std::size_t wells;
    bool refused;  // by the path box
  };
  for (const Case& c : {Case{0, 0, false}, Case{1444, 0, true}, Case{2891, 2, true}}) {
    SCOPED_TRACE(c.bytes);
    diag_test::TempProgram prog;
    Bytes content;
    for (int i = 1; i <= 2; ++i) {
      BgtRecord r;
      r.well_name = "W" + std::to_string(i);
      const Bytes b = r.encode();
      content.insert(content.end(), b.begin(), b.end());
    }
    content.resize(c.bytes, ' ');
    test::put_bytes(prog.prog.sys() / "bgt.dat", content);
    DiagnosisState st;
    FakeMessages msg;
    DiagnosisIo io{msg};
    diagnosis_load(st, prog.prog, io);
    EXPECT_EQ(msg.texts.size(), c.refused ? 1u : 0u);
    EXPECT_EQ(st.Text3.empty(), c.refused);
    // A refused library is not kept: nothing is read from it or saved into it.
    EXPECT_EQ(st.Bgt_Path, c.refused ? fs::path() : prog.prog.sys() / "bgt.dat");
    EXPECT_EQ(st.well_list.size(), c.refused ? 0u : c.wells);
    EXPECT_EQ(bgt_well_names(prog.prog.sys() / "bgt.dat").size(), c.wells);
    if (c.refused) {
      st.Text1[diag_box::kWell] = "W3";
      st.Text1[diag_box::kDate] = "20240301";
      diag_test::fill_well_boxes(st, "W3");
      st.Text1[diag_box::kBore] = "56";
      msg.texts.clear();
      EXPECT_FALSE(Cmd_Save_Click(st, io));
      ASSERT_EQ(msg.texts.size(), 1u);
      EXPECT_NE(msg.texts[0].find("未保存"), std::string::npos) << msg.texts[0];
      EXPECT_EQ(test::file_bytes(prog.prog.sys() / "bgt.dat").size(), c.bytes);
    }
  }
}

TEST(DiagnosisRecords, LoadWithoutFilesAndTheFirstSave) {
  Window w;
  EXPECT_TRUE(w.st.well_list.empty());
  EXPECT_EQ(w.st.Bgt_Path, w.bgt());
  EXPECT_FALSE(fs::exists(w.bgt()));
  EXPECT_FALSE(w.st.Rec_Changed);
  EXPECT_EQ(w.st.Text1[8], "0.86");
  EXPECT_EQ(w.st.Text2, "110");
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  EXPECT_EQ(file_bytes(w.bgt()).size(), 1445u);
}

TEST(DiagnosisRecords, WellAndDateListsAndCygsj) {
  Window w;
  w.type_test("W1", "20240301", "56");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  w.type_test("W1", "20240401", "57");
  w.st.Text1[diag_box::kAdvice] = "建议加深泵挂";
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
  w.type_test("W2", "20240301", "44");
  ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));

  w.st.Comb_WellName = "W1";
  Comb_WellName_Click(w.st, w.io);
  EXPECT_EQ(w.st.date_list, (std::vector<std::string>{"20240301", "20240401"}));
  w.st.Comb_WellName = "W2";
  Comb_WellName_Click(w.st, w.io);  // a single date is loaded at once
  EXPECT_EQ(w.st.Text1[diag_box::kDate], "20240301");
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "44");

  // cygsj loads the well's last date; with the record unchanged nothing is asked.
  std::string well = "W1";
  std::int16_t dda = 0;
  w.msg.texts.clear();
  cygsj(w.st, well, dda, w.io);
  EXPECT_EQ(dda, 0);
  EXPECT_TRUE(w.msg.texts.empty());
  EXPECT_EQ(w.st.Text1[diag_box::kDate], "20240401");
  EXPECT_EQ(w.st.Text1[diag_box::kAdvice], "建议加深泵挂");
  EXPECT_FALSE(w.st.Text1[diag_box::kPumpEfficiency].empty());

  // Another letter case: the message, dda 3, the date list emptied, the boxes kept.
  std::string lower = "w1";
  cygsj(w.st, lower, dda, w.io);
  EXPECT_EQ(dda, 3);
  ASSERT_EQ(w.msg.texts.size(), 1u);
  EXPECT_EQ(w.msg.texts[0], cygsj_missing_text("w1"));
  EXPECT_TRUE(w.st.date_list.empty());
  EXPECT_EQ(w.st.Comb_WellName, "w1");
  EXPECT_EQ(w.st.Text1[diag_box::kWell], "W1");

  // Unsaved edits are offered for saving first.
  w.st.set_box(diag_box::kBore, "99");
  w.msg.answers = {MsgAnswer::Yes};
  std::string w2 = "W2";
  dda = 0;
  cygsj(w.st, w2, dda, w.io);
  EXPECT_EQ(w.msg.texts[1], kAskSaveText);
  w.st.Comb_WellName = "W1";
  Comb_WellName_Click(w.st, w.io);
  w.st.Comb_TestTime = "20240401";
  Comb_TestTime_Click(w.st, w.io);
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "99");
}

// Edits the user chose to save when the window closes or the design window takes another
// well, but whose save is refused (no test date): the edits stay on show, the window stays
// open and no other well is taken.
TEST(DiagnosisRecords, RefusedSaveOnLeavingKeepsTheEdits) {
  for (const bool closing : {true, false}) {
    SCOPED_TRACE(closing ? "close" : "design window's well");
    Window w;
    w.type_test("W1", "20240301", "56");
    ASSERT_TRUE(Cmd_Save_Click(w.st, w.io));
    w.st.set_box(diag_box::kBore, "99");
    w.st.Text1[diag_box::kDate] = "";
    ASSERT_TRUE(w.st.Rec_Changed);
    w.msg.texts.clear();
    w.msg.answers = {MsgAnswer::Yes};
    if (closing) {
      EXPECT_FALSE(diagnosis_unload(w.st, w.io));
    } else {
      std::string well = "W1";
      std::int16_t dda = 0;
      cygsj(w.st, well, dda, w.io);
      EXPECT_EQ(dda, 3);
    }
    ASSERT_EQ(w.msg.texts.size(), 2u);
    EXPECT_EQ(w.msg.texts[0], kAskSaveText);
    EXPECT_EQ(w.msg.texts[1], kEmptyKeyText);
    EXPECT_TRUE(w.st.Rec_Changed);
    EXPECT_EQ(w.st.Text1[diag_box::kBore], "99");
    EXPECT_EQ(w.st.Text1[diag_box::kDate], "");
  }
  // Saved, or not asked to: the window may close.
  Window w;
  w.type_test("W1", "20240301", "56");
  w.msg.answers = {MsgAnswer::Yes};
  EXPECT_TRUE(diagnosis_unload(w.st, w.io));
  EXPECT_FALSE(w.st.Rec_Changed);
  EXPECT_TRUE(diagnosis_unload(w.st, w.io));
}

// Base data from the efficiency records.
// A damaged record's powers are floats of any bit pattern: what is no number shows blank.
TEST(DiagnosisRecords, PowersThatAreNoNumberShowBlank) {
  DiagnosisState st;
  st.Bgt_Rec.powers = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       -std::numeric_limits<float>::infinity(), 12.5f};
  BgtRecode_To_Text(st);
  EXPECT_EQ(st.Text1[diag_box::kInputPower], "");
  EXPECT_EQ(st.Text1[diag_box::kRodPower], "");
  EXPECT_EQ(st.Text1[diag_box::kUsefulPower], "");
  EXPECT_EQ(st.Text1[diag_box::kRmsPower], "12.5");
}

TEST(DiagnosisRecords, LoadEffiTakesTheFirstMatchingTest) {
  Window w;
  auto effi = [](const std::string& well, const std::string& date, const std::string& sinker, const std::string& bore) {
    GtYmRecord r;
    r.well_name = well;
    r.cyj_model = "CYJ10-3-37HB";
    r.motor_model = "Y250M-8";
    r.vals[kValTestDate] = date;
    r.vals[kValSinker] = sinker;
    r.vals[kValPumpDia] = bore;
    r.vals[kValRealSpm] = "6.2";
    r.vals[kValInputPower] = "12.50";
    r.vals[kValRmsPower] = "abc";
    r.vals[kValRodLen1_1_8] = "100";
    return r.encode();
  };
  Bytes lib;
  for (const Bytes& b : {effi("W1", "0611081230", "12.5/38", "56"), effi("W1", "0611081455", "9/25", "70"),
                         effi("W2", "0611081230", "20", "44")}) {
    lib.insert(lib.end(), b.begin(), b.end());
  }
  test::put_bytes(w.prog.prog.sys() / "gt_ym.dat", lib);

  w.st.Text1[diag_box::kWell] = "W1";
  w.st.Text1[diag_box::kDate] = "06110812";  // matches both W1 tests on 8 characters: the first wins
  w.st.Text1[diag_box::kStroke] = "4.2";
  Load_Effi(w.st, w.st.Gt_Ym_Path, w.io);
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "56");
  EXPECT_EQ(w.st.Text1[diag_box::kStroke], "3");
  EXPECT_EQ(w.st.Text1[diag_box::kSpm], "6.2");
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerLen], "12.5");
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerDia], "38     ");  // to the end of the 12-character field
  EXPECT_EQ(w.st.Text1[48], "CYJ10-3-37HB");
  EXPECT_EQ(w.st.Text1[52], "12.5");
  EXPECT_EQ(w.st.Text1[55], "0");
  EXPECT_EQ(w.st.Text1[diag_box::kRods118], "100");
  EXPECT_TRUE(w.st.Rec_Changed);

  w.st.Text1[diag_box::kWell] = "W2";
  Load_Effi(w.st, w.st.Gt_Ym_Path, w.io);  // vals[0] without "/": both sinker boxes emptied
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerLen], "");
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerDia], "");
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "44");

  w.st.Text1[diag_box::kWell] = "W3";
  w.st.Text1[diag_box::kBore] = "kept";
  Load_Effi(w.st, w.st.Gt_Ym_Path, w.io);
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "kept");

  // A file of another length: refused when chosen, nothing taken.
  lib.resize(lib.size() - 3);
  test::put_bytes(w.prog.prog.sys() / "bad.dat", lib);
  w.st.Text4 = path_text(w.prog.prog.sys() / "bad.dat");
  EXPECT_FALSE(path_box_change(w.st, PathBox::Efficiency, w.io));
  EXPECT_EQ(w.msg.texts.back(), kBadFormatText);
  EXPECT_EQ(w.msg.titles.back(), kBadFormatTitle);
  EXPECT_TRUE(w.st.Text4.empty());
  EXPECT_EQ(w.st.Gt_Ym_Path, w.prog.prog.sys() / "gt_ym.dat");
  Load_Effi(w.st, w.prog.prog.sys() / "bad.dat", w.io);
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "kept");
}

// A damaged efficiency file: named once when it is taken in Text4; Load_Effi passes over a
// refused record and leaves a damaged field's box blank.
TEST(DiagnosisRecords, LoadEffiFromADamagedFile) {
  Window w;
  auto effi = [](const std::string& well, const std::string& bore, const std::string& power) {
    GtYmRecord r;
    r.well_name = well;
    r.vals[kValTestDate] = "0611081230";
    r.vals[kValSinker] = "1E+40/25";
    r.vals[kValPumpDia] = bore;
    r.vals[kValInputPower] = power;
    return r.encode();
  };
  Bytes lib;
  Bytes older = effi("W1", "44", "9");
  Bytes refused = effi("W1", "56", "9");
  refused[604] = 0;  // not a line of the file: shifted or foreign bytes
  for (const Bytes& b : {refused, effi("W1", "1e999", "1E+300"), older}) lib.insert(lib.end(), b.begin(), b.end());
  const fs::path file = w.prog.prog.sys() / "damaged.dat";
  test::put_bytes(file, lib);

  const std::size_t before = w.msg.texts.size();
  w.st.Text4 = path_text(file);
  EXPECT_TRUE(path_box_change(w.st, PathBox::Efficiency, w.io));
  ASSERT_EQ(w.msg.texts.size(), before + 1);
  EXPECT_EQ(w.msg.titles.back(), kGtYmDamagedTitle);
  for (const char* want : {"第 1 条记录", "第 2 条记录（W1）", "加重杆长/径、泵径、输入功率"})
    EXPECT_NE(w.msg.texts.back().find(want), std::string::npos) << want << "\n" << w.msg.texts.back();

  w.st.Text1[diag_box::kWell] = "W1";
  w.st.Text1[diag_box::kDate] = "06110812";
  w.st.Text1[diag_box::kBore] = "kept";
  Load_Effi(w.st, w.st.Gt_Ym_Path, w.io);  // the first usable match: record 2
  EXPECT_EQ(w.st.Text1[diag_box::kBore], "");
  EXPECT_EQ(w.st.Text1[52], "");
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerLen], "");
  EXPECT_EQ(w.st.Text1[diag_box::kSinkerDia], "");
  EXPECT_EQ(w.msg.texts.size(), before + 1);  // nothing more is said
}

// Files of every path box beyond the 16-bit record numbers are refused by name, never
// listed cut; one at the limit is taken.
TEST(DiagnosisRecords, PathBoxesRefuseAFileBeyondTheRecordLimit) {
  struct Case {
    PathBox box;
    std::string DiagnosisState::*text;
    std::size_t record;
  } cases[] = {{PathBox::Records, &DiagnosisState::Text3, kBgtRecordSize},
               {PathBox::Efficiency, &DiagnosisState::Text4, kGtYmRecordSize},
               {PathBox::Cards, &DiagnosisState::Text8, kSgtRecordSize}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    Window w;
    const fs::path file = w.prog.prog.sys() / "many.dat";
    {
      std::ofstream f(file, std::ios::binary);
    }
    fs::resize_file(file, (kMaxLibraryRecords + 1) * c.record);
    const std::size_t before = w.msg.texts.size();
    w.st.*c.text = path_text(file);
    EXPECT_FALSE(path_box_change(w.st, c.box, w.io));
    ASSERT_EQ(w.msg.texts.size(), before + 1);
    EXPECT_EQ(w.msg.texts.back(), over_limit_text(file, kMaxLibraryRecords + 1));
    EXPECT_NE(w.msg.texts.back().find(path_text(file)), std::string::npos);
    EXPECT_TRUE((w.st.*c.text).empty());

    fs::resize_file(file, kMaxLibraryRecords * c.record);
    w.st.*c.text = path_text(file);
    EXPECT_TRUE(path_box_change(w.st, c.box, w.io));
  }
}

}  // namespace
}  // namespace wb
