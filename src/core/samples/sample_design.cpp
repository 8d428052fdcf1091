#include "core/samples/sample_design.h"

#include "core/design/engine/rod_design_engine.h"
#include "core/design/workbench/design_record_commands.h"
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
  EngineSteps steps(eng);
  DesignWindowCore core(eng.st, steps, quiet, shell, prog);
  DesignRecordCommands controls(eng.st, core, quiet, shell, prog);
  if (LoadFromDiagnosis(eng.st, view, controls) != DesignOutcome::done) return false;
  eng.st.rod_grade = 5;  // D级杆, lightest rod string
  eng.st.Date_Comb = design_date;
  eng.st.CyjType_Comb = diag.Text1[diag_box::kCyjModel];
  eng.st.Text3[design_box::kSinkerDiaAfter] = "25";  // the sinker bar a fresh window proposes
  eng.st.Text3[design_box::kSinkerLenAfter] = "50";
  eng.st.Text6[well_box::kMotorEfficiency] = "0.92";
  eng.st.Text6[well_box::kMotorRatedPower] = "37";
  eng.st.Text6[well_box::kLayerTemp] = "80";  // formation temperature, ℃
  eng.st.Text6[well_box::kOilViscositySurface] = "25";  // surface oil viscosity, mPa·s
  const std::pair<int, const char*> structure[] = {{0, "2005-06-18"}, {1, "S2"},   {2, "5.2"},   {3, "4.8"},
                                                   {5, "1620"},       {6, "1598"}, {7, "850"},   {8, "1432"},
                                                   {9, "1468"},       {10, "273"}, {11, "302"},  {12, "140"},
                                                   {13, "1615"}};
  for (auto [box, text] : structure) eng.st.Text10[static_cast<std::size_t>(box)] = text;
  eng.st.Text10[tool_box::kNotes] = "按最轻杆设计，D级杆；扶正器按侧向力布置。";
  eng.st.Text10[tool_box::kUnit] = "采油工艺研究所";
  eng.st.Text10[tool_box::kDesigner] = "示范";
  eng.SetupGrids();
  eng.DesignCom_Click();
  DesignRecordIo io{quiet, controls};
  return SaveDesignRecord(eng.st, controls.records, io) == DesignOutcome::done;
}

}  // namespace wb::design
