// The rod-string design window "抽油机井杆柱优化设计": the well, date and model boxes, seven
// tabs of inputs and results, and the command buttons. Its state is the engine's DesignState;
// the boxes mirror its texts and every command runs in the core (DesignWindowCore and the
// engine). Files: rod_design.cpp (frame, load, unload, commands), rod_design_tabs.cpp (the
// input tabs and their keys), rod_design_fzq.cpp (the centralizer table),
// rod_design_records.cpp (save, well and date choice) and rod_design_outputs.cpp (IPR,
// curves, report, prints, text tables).
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <array>

#include "core/common/paths.h"
#include "core/design/engine/rod_design_engine.h"
#include "core/design/workbench/design_record_commands.h"
#include "core/design/workbench/design_window_core.h"

class QKeyEvent;
class QMenu;
class QAction;

namespace wb {
class Grid;
}

namespace wb::design {

class SurveyTableFrame;
class WellViewFrame;
class IprTab;

class RodDesign : public QWidget {
  Q_OBJECT
 public:
  explicit RodDesign(const ProgramFolder& folder, QWidget* parent = nullptr);
  ~RodDesign() override;

  // The one design window, made when missing (its load step runs when it is first shown).
  static RodDesign& instance(const ProgramFolder& folder);
  static RodDesign* existing();

  RodDesignEngine eng;
  DesignState& st;
  EngineSteps engine_steps;
  DesignWindowCore core;
  DesignRecordCommands records;  // the record store and the takeover behind the hooks

  // Tests put a recording fake in place of the engine's steps.
  void set_steps(DesignSteps& steps) { core.set_steps(steps); }

  void sync_to_widgets();

  // ---- commands ----
  void ExitCom_Click();
  void DesignCom_Click();
  void Cmd_Reflush_Click();
  void JName_Comb_KeyPress(int key_ascii);
  void CyjType_Comb_DropDown();
  void CyjType_Comb_KeyPress(int key_ascii);
  void ImportExcel_Click();
  void Grid2_MouseUp(Qt::MouseButton button, const QPoint& global_pos);

  // ---- the record store's commands (rod_design_records.cpp) ----
  void SaveCom_Click();     // "保存"
  void JName_Comb_Click();  // a well chosen in the list
  void Date_Comb_Click();   // a design date chosen
  // The record store and the takeover (rod_design_records.cpp).
  void JNname_Add();                    // the wells of the design record file into JName_Comb
  void LoadFromDiagnosis();             // the diagnosed well's data into the boxes (diagnosis_hand_over())
  std::vector<std::string> com2_find();  // the design dates of the well in JName_Comb
  void LoadDesignRecord();              // the design of the well and date in the boxes
  void SaveDesignRecord();              // the boxes into the design record file
  // ---- curves, inflow-performance view, printing and text tables (rod_design_outputs.cpp) ----
  void Cmd_Redraw_IPR_Click();
  void pic_show_Click();
  void PrintCom_Click();
  void Cmd_SaveToTxt_Click();
  void RodPrint_Click();

  // ---- controls (names as the window's design has them) ----
  QComboBox* JName_Comb = nullptr;
  QComboBox* Date_Comb = nullptr;
  QComboBox* CyjType_Comb = nullptr;
  QTabWidget* SSTab1 = nullptr;
  std::array<QLineEdit*, 28> Text3{};
  std::array<QLineEdit*, 34> Text6{};
  std::array<QLineEdit*, 73> Text10{};  // 50 is the notes box, see Text10_notes
  QPlainTextEdit* Text10_notes = nullptr;
  std::array<QLabel*, 20> Label3{};
  QLineEdit* Text2 = nullptr;
  QLineEdit* Text4 = nullptr;
  QLineEdit* Text5 = nullptr;
  QRadioButton* Option2 = nullptr;
  QRadioButton* Option3 = nullptr;
  std::array<QRadioButton*, 2> Option1{};
  std::array<QRadioButton*, 5> grade_options{};  // Option4 .. Option8
  QGroupBox* design_options = nullptr;            // "设计选项", out of view
  QPushButton *Cmd_Reflush = nullptr, *DesignCom = nullptr, *Cmd_Redraw_IPR = nullptr;
  QPushButton *Cmd_SaveToTxt = nullptr, *SaveCom = nullptr, *PrintCom = nullptr, *pic_show = nullptr,
              *ExitCom = nullptr;
  SurveyTableFrame* survey_frame = nullptr;
  WellViewFrame* view_frame = nullptr;
  QWidget* ipr_area = nullptr;  // the IPR picture and its boxes go here
  IprTab* ipr_tab = nullptr;    // inside ipr_area
  Grid* Grid2 = nullptr;
  QLineEdit* txtEdit = nullptr;
  QMenu* ShortcutMenu = nullptr;  // "扶正器打印"
  QAction *RodPrint = nullptr, *mnuSep = nullptr, *ImportExcel = nullptr, *mnuAdd = nullptr, *mnuIns = nullptr,
          *mnuDel = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  void build_ui();
  QWidget* build_base_tab();
  QWidget* build_survey_tab();
  QWidget* build_ipr_tab();
  QWidget* build_design_tab();
  QWidget* build_fzq_tab();
  QWidget* build_tools_tab();
  QWidget* build_structure_tab();
  void wire_boxes();
  void build_outputs();
  void Form_Load();
  void apply_focus();
  void refresh_fzq();
  void refresh_survey();
  void PlaceCellEditor();
  void set_cell_editor_geometry(int row);  // over the depth cell of `row`
  bool text3_event(int i, QEvent* ev);
  bool small_box_event(QLineEdit* box, QEvent* ev);
  bool txtEdit_event(QKeyEvent* k);

  ProgramFolder folder_;
  bool loaded_ = false;
  bool cell_editor_placed_ = false;
  int cell_editor_row_ = 1;  // the row whose depth cell the editor covers
  bool syncing_ = false;
};

// Registers the design window as what the diagnosis button "杆柱设计" opens.
void register_design_window(const ProgramFolder& folder);

}  // namespace wb::design
