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

class DesignTest : public ::testing::Test {
 protected:
  DesignTest() : eng(tmp.prog, msgs, shell) { eng.SetupGrids(); }

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
  RodDesignEngine eng;
};

}  // namespace wb::design::test
