// The single-well system-efficiency window ("单井系统效率分析界面"). The main window's
// efficiency button shows it and hands it the stroke of a joint test through `sh_ow`; the
// user completes the production data in the 49 boxes `Text1` and computes the efficiencies.
// Its state (box texts, stroke, members) is `st` in core; the boxes mirror the texts.
//
// Box behaviour: a box turns blue with white text while it has the focus and light grey
// with black text when it loses it; Enter and Down move to the next box of the box tab
// order, Up to the previous one; leaving boxes 5, 6, 19 and 25 updates the derived boxes
// and, for 25, rescales the electric curves. Box 2 (the unit model) lies hidden under the
// model list and follows it.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "core/efficiency/effi_records.h"
#include "core/efficiency/sys_effi_state.h"
#include "core/efficiency/well_base_record.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {

class MainWindowLink;

// The model list: an editable drop-down list that is refilled each time it opens.
class ModelCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> on_drop_down;
  void showPopup() override {
    if (on_drop_down) on_drop_down();
    QComboBox::showPopup();
  }
};

class SysEffiAnalysis : public QWidget, public EfficiencyHandOver {
  Q_OBJECT
 public:
  explicit SysEffiAnalysis(MainWindowLink& main, QWidget* parent = nullptr);

  SysEffiState st;
  void sync_to_widgets();  // st.Text1 -> boxes (only where they differ)

  // ---- controls (names as the window's design has them) ----
  std::array<QLineEdit*, kEffiBoxCount> Text1{};  // Efficiency_Boxes
  QGroupBox* Frame_Base = nullptr;                // "基础数据"
  QGroupBox* Frame_Effi = nullptr;                // "系统效率"
  QGroupBox* xl_tab = nullptr;                    // boxes 31..46
  ModelCombo* Comb_CyjMode = nullptr;
  QGroupBox* Frame_Query = nullptr;               // "数据查询"
  QLineEdit* Text3 = nullptr;                     // efficiency library
  QComboBox* Comb_WellName = nullptr;
  QComboBox* Comb_TestTime = nullptr;
  QLineEdit* Text7 = nullptr;                     // record number
  std::array<QPushButton*, 3> Cmd_Review{};       // ← → ×
  QPushButton* Cmd_View_Effi_Data = nullptr;
  QGroupBox* Frame_Curves = nullptr;              // "曲线数据来源"
  QLineEdit* Text8 = nullptr;                     // card library
  QLineEdit* Text4 = nullptr;                     // power-curve library
  QPushButton* Cmd_View_Sgt_Dat = nullptr;
  QPushButton* Cmd_View_Pow_Dat = nullptr;
  QPushButton* Cmd_Calc = nullptr;
  QPushButton* Cmd_View = nullptr;
  QPushButton* Cmd_Prnt = nullptr;
  QPushButton* Cmd_Save = nullptr;
  QPushButton* Cmd_Exit = nullptr;
  QPushButton* Cmd_Stat = nullptr;

  // The hand-over of a joint test from the main window.
  void sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1, SampleArray& sss1,
             SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& iu_num1, std::int16_t& cs_fs1,
             std::int16_t& tx_main1, std::int16_t& read_sgt_dnt_org1) override;

  // ---- handlers ----
  void Form_Load();
  void Cmd_Calc_Click();
  void Cmd_View_Click();  // calculation, then the report in the preview window
  void Cmd_Prnt_Click();  // the report through the print dialog, as the boxes stand
  void Cmd_Save_Click();
  void Cmd_Exit_Click();
  void Cmd_Stat_Click();
  void Comb_CyjMode_Click();
  void Comb_CyjMode_DropDown();
  void Comb_CyjMode_KeyPress(int key_ascii);
  void Get_Cyj_Mode_to_comb_cyjmode();
  // Record browser and library boxes (sys_effi_analysis_records.cpp).
  // "当前记录需要保存吗?" when the boxes were edited, and the save (Text7 then names the record).
  [[nodiscard]] EditedSave offer_save_edited();
  void EffiRecode_To_Text();  // the record numbered in Text7, then its curves from the libraries
  void Find_WellNmae_To_Comb();
  void Comb_WellName_Click();
  void Comb_TestTime_Click();
  void Cmd_Review_Click(int index);
  void Text7_KeyUp();
  void Text3_Change();
  void Text8_Change();
  void Text4_Change();
  void Cmd_View_Effi_Data_Click();
  void Cmd_View_Sgt_Dat_Click();
  void Cmd_View_Pow_Dat_Click();
  void Text1_Change(int index);
  void Text1_GotFocus(int index);
  void Text1_LostFocus(int index);
  void Text1_KeyDown(int index, int key);  // Qt key code
  void Text1_KeyPress(int index, int key_ascii);

  // Tab position of a box in the window's tab order (boxes 31..46 and 2 after the others).
  static int tab_position(int box);

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void build_ui();
  QGroupBox* build_base_frame();
  QGroupBox* build_effi_frame();
  QGroupBox* build_xl_tab();
  QGroupBox* build_query_frame();
  QGroupBox* build_curve_frame();
  QLineEdit* make_box(int index, QWidget* parent);
  void move_focus(int index, int step);
  void set_colours(int index, const QColor& back, const QColor& text);
  void connect_records();
  bool calculate();  // Cmd_Calc_Click; false when an input was missing or unusable
  void load_library_curves();  // Get_Sgt_Dat, then Get_Pow_Dat, for boxes 0 and 23
  void apply_well_base();      // Get_Well_Base for boxes 0 and 23
  EffiWellBaseSource well_base_source() const;  // what Save_Well_Base stores
  MainWindowLink& main_;
  QString shown_text7_;  // Text7 of the record the boxes hold (what an edited record is saved under)
};

// How the efficiency statistics window is shown once it exists (it sets this at start);
// the button "效率统计" does nothing while it is empty.
std::function<void()>& sys_effi_assemble_opener();

// Puts the window's factory into analysis_windows() (the program does this at start).
void register_sys_effi_analysis();

}  // namespace wb
