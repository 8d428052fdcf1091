// The design window opened as the diagnosis window's "杆柱设计" opens it, with a fake diagnosis
// window (`Diag`) and the engine's steps replaced by `Steps`; closed again after each test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>

#include "core/common/paths.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/diagnosis_hand_over.h"
#include "ui_fakes.h"

namespace wb::design {

template <class Diag, class Steps>
class DesignWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ProgramFolder{tmp.path()}.create_folders();
    diagnosis_hand_over_provider() = [this]() -> DiagnosisHandOver* { return &diag; };
    register_design_window(ProgramFolder{tmp.path()});
    design_window_opener()(nullptr);
    w = RodDesign::existing();
    ASSERT_NE(w, nullptr);
    w->set_steps(steps);
    QApplication::processEvents();
  }
  void TearDown() override {
    if (w) {
      w->st.jx_changed = 0;
      w->close();
    }
    QApplication::processEvents();
    diagnosis_hand_over_provider() = nullptr;
    design_window_opener() = nullptr;
  }

  wb::test::ScopedFakeServices fakes;
  wb::test::TempProgramFolder tmp;
  Diag diag;
  Steps steps;
  QPointer<RodDesign> w;
};

}  // namespace wb::design
