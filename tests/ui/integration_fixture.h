// The fixture of the integration tests that end windows: the sample folder a new user starts
// from, with the main window showing the joint test 示范井1, and the services faked. The
// windows that live as single instances (the diagnosis and design windows) go with it.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "core/level/synthetic_level.h"
#include "core/samples/synthetic_tests.h"
#include "integration_workbench.h"
#include "ui/design/rod_design.h"
#include "ui/diagnosis/well_diagnosis.h"
#include "ui/workbench/rod_eng_map_display.h"
#include "ui_fakes.h"

namespace wb::test {

struct Workbench {
  enum class Samples {
    JointTest,  // the joint test alone
    All,        // and the diagnosed sample well, the level template and the level test 示范井1.y01
  };

  ScopedFakeServices fakes;
  TempProgramFolder tmp;
  ProgramFolder prog{tmp.path()};
  std::unique_ptr<RodEngMapDisplay> main;

  explicit Workbench(Samples samples = Samples::All) {
    prog.create_folders();
    SyntheticJointParams p;
    EXPECT_TRUE(write_synthetic_joint_test(prog.data() / u8path("示范井1.o01"), p));
    if (samples == Samples::All) {
      EXPECT_TRUE(write_sample_diagnosis(prog, p, "20060512"));
      EXPECT_TRUE(write_level_template(prog.sys() / kLevelTemplateFile));
      EXPECT_TRUE(write_synthetic_level_test(prog.data() / u8path("示范井1.y01"), SyntheticLevelParams{}));
    }
    main = start_workbench(prog);
  }
  ~Workbench() {
    if (WellDiagnosis* d = WellDiagnosis::existing()) delete d;
    if (design::RodDesign* d = design::RodDesign::existing()) delete d;
    end_workbench(main);
  }
};

}  // namespace wb::test
