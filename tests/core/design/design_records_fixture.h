// A design state with the window's option buttons and well-data change handling stood in by
// a recording fake, on a temporary program folder with scripted message boxes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/design/workbench/design_records.h"
#include "design_fixture.h"

namespace wb::design::test {

struct FakeControls : DesignControls {
  std::int16_t mode = 1;          // code of the selected mode option, 0 none
  std::string grade;              // letter of the selected grade option
  std::vector<int> changes;       // Text6 change handling, by box
  std::vector<std::pair<std::string, int>> calls;  // option selections in order
  int beeps = 0;

  void set_Text6(DesignState& st, int index, const std::string& text) override {
    std::string& box = st.Text6.at(static_cast<std::size_t>(index));
    if (box == text) return;
    box = text;
    Text6_Change(st, index);
  }
  void Text6_Change(DesignState&, int index) override { changes.push_back(index); }
  std::int16_t design_mode(const DesignState&) const override { return mode; }
  void select_design_mode(DesignState&, std::int16_t code) override {
    mode = code == 1 ? 1 : code == 3 || code == 4 ? code : 0;
    calls.emplace_back("mode", code);
  }
  std::string rod_grade(const DesignState&) const override { return grade; }
  void select_rod_grade(DesignState& st, const std::string& letter) override {
    static const std::pair<const char*, const char*> kStress[] = {{"C", "620"}, {"D", "794"}, {"K", "588"}, {"H", "890"}};
    for (const auto& [g, s] : kStress)
      if (letter == g) {
        grade = g;
        st.Text4 = s;  // as the grade option's click does
      }
    calls.emplace_back("grade:" + letter, 0);
  }
  void beep() override { ++beeps; }
};

struct RecordsFixture {
  wb::test::TempProgram tmp;
  ScriptedMessages msg;
  FakeControls controls;
  DesignRecordIo io{msg, controls};
  DesignState st;
  DesignRecords rec;
  RecordsFixture() { rec.path = design_record_path(tmp.prog); }
};

}  // namespace wb::design::test
