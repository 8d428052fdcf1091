// Stand-ins for what a window asks of its user and its controls, shared by the fuzz targets
// that drive a window's store without a window.
#pragma once

#include <cstdint>
#include <string>

#include "core/common/services.h"
#include "core/design/workbench/design_records.h"

namespace wbfuzz {

// Every message is answered OK.
struct OkAnswers : wb::MessageService {
  wb::MsgAnswer show(const std::string&, const std::string&, wb::MsgButtons, wb::MsgIcon) override {
    return wb::MsgAnswer::Ok;
  }
};

// The design window's option buttons and grade list as plain values: a choice the window
// would not offer leaves them as they were.
struct DesignControlsFake : wb::design::DesignControls {
  std::int16_t mode = 1;
  std::string grade;
  void set_Text6(wb::design::DesignState& st, int i, const std::string& t) override {
    st.Text6.at(static_cast<std::size_t>(i)) = t;
  }
  void Text6_Change(wb::design::DesignState&, int) override {}
  std::int16_t design_mode(const wb::design::DesignState&) const override { return mode; }
  void select_design_mode(wb::design::DesignState&, std::int16_t code) override {
    mode = code == 1 ? 1 : code == 4 ? 4 : 3;
  }
  std::string rod_grade(const wb::design::DesignState&) const override { return grade; }
  void select_rod_grade(wb::design::DesignState&, const std::string& letter) override {
    if (letter == "C" || letter == "D" || letter == "K" || letter == "H") grade = letter;
  }
  void beep() override {}
};

}  // namespace wbfuzz
