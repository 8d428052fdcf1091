// Fakes and fixtures of the efficiency tests: a message service that records what was
// asked and answers as scripted, and a box array of a plausible test.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/efficiency/well_base_record.h"

namespace wb::test {

struct ScriptedMessages : MessageService {
  struct Shown {
    std::string text, title;
    MsgButtons buttons;
  };
  std::vector<Shown> shown;
  std::deque<MsgAnswer> answers;  // answers to questions, in order; Yes when exhausted
  MsgAnswer show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) override {
    shown.push_back({text, title, buttons});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return MsgAnswer::Yes;
    MsgAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
};

struct RecordingShell : ShellService {
  std::vector<std::string> opened, edited;
  int beeps = 0;
  bool ok = true;
  bool open_document(const std::string& path) override {
    opened.push_back(path);
    return ok;
  }
  bool open_in_text_editor(const std::string& path) override {
    edited.push_back(path);
    return ok;
  }
  void beep() override { ++beeps; }
};

// The boxes of one efficiency test (well W1, test 0611081230).
inline EffiBoxTexts sample_effi_boxes(const std::string& well = "W1", const std::string& test = "0611081230") {
  EffiBoxTexts b;
  b[0] = well;
  b[1] = "采油一矿";
  b[2] = "CYJ10-3-37HB";
  b[3] = "Y250M-8";
  b[4] = "56";
  b[5] = "35.2";
  b[6] = "80";
  b[7] = "7";
  b[8] = "30";
  b[9] = "1.5";
  b[10] = "35";
  b[11] = "300";
  b[12] = "400";
  b[13] = "500";
  b[14] = "200";
  b[15] = "0.95";
  b[16] = "2.5";
  b[17] = "0.8";
  b[18] = "850";
  b[19] = "1200";
  b[20] = "350";
  b[21] = "3";
  b[22] = "6";
  b[23] = test;
  b[24] = "100";
  b[25] = "12.35";
  b[26] = "6.2";
  b[27] = "3.11";
  b[28] = "50.2";
  b[29] = "50.2";
  b[30] = "25.2";
  b[31] = "12.5/10.8";
  b[32] = "14.1/9.3";
  b[33] = "60.5";
  b[34] = "380.2";
  b[35] = "25.3";
  b[36] = "16.6";
  b[37] = "11.2";
  b[38] = "0.74";
  b[39] = "27.1";
  b[40] = "13.5";
  b[41] = "2.95";
  b[42] = "5.9";
  b[43] = "55.21";
  b[44] = "22.4";
  b[45] = "58.3";
  b[46] = "20.1";
  b[47] = "1200";
  b[48] = "25";
  return b;
}

}  // namespace wb::test
