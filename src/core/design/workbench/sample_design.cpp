#include "core/design/workbench/sample_design.h"

#include "core/design/engine/rod_design_engine.h"
#include "core/design/workbench/design_records.h"
#include "core/design/workbench/design_takeover.h"
#include "core/diagnosis/diagnosis_records.h"

namespace wb::design {

namespace {

struct Quiet : MessageService {
  MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
};
struct NoShell : ShellService {
  bool open_document(const std::string&) override { return false; }
  void beep() override {}
};
// The lightest-rod design of grade D, as a fresh design window starts.
struct Controls : DesignControls {
  void set_Text6(DesignState& st, int i, const std::string& t) override { st.Text6.at(static_cast<std::size_t>(i)) = t; }
  void Text6_Change(DesignState&, int) override {}
  std::int16_t design_mode(const DesignState&) const override { return 1; }
  void select_design_mode(DesignState&, std::int16_t) override {}
  std::string rod_grade(const DesignState&) const override { return "D"; }
  void select_rod_grade(DesignState&, const std::string&) override {}
  void beep() override {}
};

}  // namespace

bool write_sample_design(const ProgramFolder& prog, const std::string& well, const std::string& design_date) {
  Quiet quiet;
  NoShell shell;
  DiagnosisIo dio{quiet};
  DiagnosisState diag;
  diagnosis_load(diag, prog, dio);
  diag.Text1[diag_box::kWell] = well;
  const DiagnosisView view{[&](std::string& w, std::int16_t& dda) { cygsj(diag, w, dda, dio); },
                           [&](int i) { return diag.Text1.at(static_cast<std::size_t>(i)); },
                           [&] { return diag.Text5; }, [&] { return diag.Text6; }};
  RodDesignEngine eng(prog, quiet, shell);
  Controls controls;
  if (LoadFromDiagnosis(eng.st, view, controls) != 5) return false;
  eng.st.Date_Comb = design_date;
  eng.st.CyjType_Comb = diag.Text1[48];
  eng.st.Text3[27] = "25";  // the sinker bar a fresh window proposes
  eng.st.Text3[18] = "50";
  eng.st.Text6[24] = "0.92";
  eng.st.Text6[23] = "37";
  eng.st.Text10[50] = "按最轻杆设计，D级杆；扶正器按侧向力布置。";
  eng.st.Text10[51] = "采油工艺研究所";
  eng.st.Text10[52] = "示范";
  eng.SetupGrids();
  eng.DesignCom_Click();
  DesignRecords rec;
  rec.path = design_record_path(prog);
  DesignRecordIo io{quiet, controls};
  return SaveDesignRecord(eng.st, rec, io);
}

}  // namespace wb::design
