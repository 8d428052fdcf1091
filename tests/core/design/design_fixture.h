// A design engine on a temporary program folder with scripted message boxes and a beep
// counter, and helpers to lay out a survey or a straight well path.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/design/engine/rod_design_engine.h"
#include "../workbench/temp_program_folder.h"

namespace wb::design::test {

struct ScriptedMessages : MessageService {
  std::vector<std::string> texts;
  std::vector<std::string> titles;
  std::deque<MsgAnswer> answers;  // Yes/Ok when empty
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons b, MsgIcon) override {
    texts.push_back(text);
    titles.push_back(title);
    if (!answers.empty()) {
      const MsgAnswer a = answers.front();
      answers.pop_front();
      return a;
    }
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
};

struct CountingShell : ShellService {
  int beeps = 0;
  bool open_document(const std::string&) override { return true; }
  void beep() override { ++beeps; }
};


// The worked vertical well of the design efficiency (powers, loads, fluid, before-design
// string), with the same operating point and string in the after-design column.
inline void set_worked_well(DesignState& st) {
  auto& T6 = st.Text6;
  T6[20] = "20";
  T6[21] = "12";
  T6[25] = "24";
  T6[16] = "60";
  T6[17] = "30";
  T6[23] = "30";
  T6[24] = "0.92";
  T6[9] = "30";
  T6[31] = "80";
  T6[3] = "50";
  T6[10] = "1.0";
  T6[11] = "0.5";
  T6[7] = "80";
  T6[5] = "0.86";
  T6[6] = "0.84";
  T6[2] = "8";
  T6[13] = "62";
  auto& T3 = st.Text3;
  T3[4] = "3";
  T3[5] = "6";
  T3[0] = "30";
  T3[1] = "800";
  T3[2] = "1200";
  T3[3] = "70";
  T3[26] = "38";
  T3[6] = "100";
  T3[9] = "500";
  T3[8] = "600";
  T3[12] = "30";
  T3[13] = "800";
  T3[14] = "1200";
  T3[15] = "70";
  T3[16] = "3";
  T3[17] = "6";
  T3[27] = "38";
  T3[18] = "100";
  T3[21] = "500";
  T3[20] = "600";
  st.Text4 = "794";
  st.kin_visc = 0.5f;
  }

// An engine on a fresh program folder with its fakes.
struct DesignRig {
  DesignRig() { eng.SetupGrids(); }

  // Survey rows (depth, inclination, azimuth) into Grid1, plus the empty entry row.
  void survey(const std::vector<std::array<std::string, 3>>& rows) {
    auto& g = eng.st.Grid1;
    g.set_rows(static_cast<int>(rows.size()) + 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int r = static_cast<int>(i) + 1;
      g.set_text(r, 0, std::to_string(r));
      for (int c = 0; c < 3; ++c) g.set_text(r, c + 1, rows[i][static_cast<std::size_t>(c)]);
    }
    g.set_text(g.rows() - 1, 0, std::to_string(g.rows() - 1));
  }

  wb::test::TempProgram tmp;
  ScriptedMessages msgs;
  CountingShell shell;
  RodDesignEngine eng{tmp.prog, msgs, shell};
};

class DesignTest : public ::testing::Test, public DesignRig {};

}  // namespace wb::design::test
