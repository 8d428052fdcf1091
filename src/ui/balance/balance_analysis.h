// The counterbalance window "抽油机井平衡分析专家系统": takes a joint test from the main window,
// holds the unit and counterweight parameters in its boxes, runs the counterbalance analysis
// (core/balance) and shows the advice and the power chart.
//
// The window is made once and kept; closing it only hides it, and showing it again runs
// the load step on the stroke it still holds (the boxes start from their defaults again, as
// a window whose controls were rebuilt). The analysis state lives in `state`; the boxes are
// read into the engine's texts when a command runs.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <string>

#include "core/balance/balance_analysis.h"
#include "core/balance/phfx_record.h"
#include "core/common/paths.h"
#include "platform/picture_box.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {

class BalanceAnalysis : public QWidget, public BalanceHandOver {
  Q_OBJECT
 public:
  BalanceAnalysis(MainWindowLink& main, const ProgramFolder& folder, QWidget* parent = nullptr);

  void sh_ow(SampleArray& uus1, SampleArray& iis1, SampleArray& pps1, SampleArray& qqs1, SampleArray& sss1,
             SampleArray& ggs1, std::int16_t& gt_num1, std::int16_t& cs_fs1, std::int16_t& DispCurveType1) override;

  // ---- state ----
  BalanceState state;
  std::string Phfx_File;  // balance-record library shown in the data-file box
  PhfxRecord Phfx_Rec;    // the record last read or written
  bool Disp_I_Flag = true, Disp_P_Flag = true;
  bool Disp_NetT_Flag = true, Disp_LoadT_Flag = true, Disp_BalT_Flag = true;

  // ---- controls (names as the window's design has them) ----
  QGroupBox* Frame_History = nullptr;  // "历史数据查询"
  QLineEdit* Text3 = nullptr;          // data file
  QComboBox* Comb_WellName = nullptr;
  QComboBox* Comb_TestTime = nullptr;
  QLineEdit* Text7 = nullptr;          // record number
  QPushButton* Cmd_View_PHFX_Data = nullptr;  // "浏览"
  std::array<QPushButton*, 3> Cmd_Review{};
  QTabWidget* SSTab1 = nullptr;
  std::array<QRadioButton*, 3> Option1{};
  QComboBox* Comb_Cyj_Mode = nullptr;
  QGroupBox* Frame1 = nullptr;  // crank parameters
  QGroupBox* Frame2 = nullptr;  // beam parameters
  QWidget* Crank_Groups = nullptr;  // the four crank block groups
  QWidget* File_Names = nullptr;    // the three file-name boxes
  std::array<QLineEdit*, kParameterBoxCount> Text2{};
  std::array<QLineEdit*, 3> Text4{};
  QCheckBox* Check1 = nullptr;
  QCheckBox* Chk_Load = nullptr;
  QCheckBox* Check2 = nullptr;
  QPlainTextEdit* Text1 = nullptr;  // advice
  PictureBox* Picture1 = nullptr;   // power chart
  PictureBox* Picture2 = nullptr;   // torque chart
  PictureBox* Picture3 = nullptr;   // allowed load (nothing draws on it)
  std::array<QLabel*, 8> Label1{};  // legends 0, 1, 2, 6, 7
  QPushButton* Command1 = nullptr;  // "自动分析"
  std::array<QToolButton*, 5> adjust{};
  QPushButton* ReturnCMD = nullptr;
  QPushButton* Cmd_Save = nullptr;
  QPushButton* Cmd_Prnt = nullptr;

  // ---- handlers and operations ----
  void Form_Load();
  // The analysis step; when the checks refuse the boxes, their message goes into the advice
  // box and is returned (empty otherwise).
  std::string Run_PH_Analysis(int step);
  void Option1_Click(int index);
  void Adj_Adj_Flag();
  void Text2_Change(int index);
  void Comb_Cyj_Mode_Change();
  void Label1_Click(int index);
  void Check1_Click();
  void Check2_Click();
  void Advice_Export();
  // Balance records.
  void Cmd_Save_Click();
  void Text3_Change();
  void Cmd_View_PHFX_Data_Click();
  void Find_WellNmae_To_Comb();
  void Comb_WellName_Click();
  void Comb_TestTime_Click();
  void Text7_Change();
  void Cmd_Review_Click(int index);
  void BlcRecode_To_Text();
  void Get_Dat_From_Phfx();
  // Deletes records first..last (or the single record `row` when first == last) after the
  // question; true when the library was rewritten.
  bool kill_jl(int first, int last, int row);
  // Printing: the selection window, its list of the library, and the print run (fw 1 the
  // current test, 2 the listed records); the window's own test is left as it was.
  void Cmd_Prnt_Click();
  void prt_grid();
  void print_ph(int fw, const std::vector<int>& records, QWidget* caller);
  class BalancePrint* print_window() const { return print_window_; }
  // Draws the power chart from the last analysis (no new forecast, the advice stays).
  void Disp_PH();
  void Disp_Twist();

  BalanceMode selected_mode() const;
  ParameterBoxes parameter_texts() const;
  void set_parameter_texts(const ParameterBoxes& t);
  // The advice box's text as it was set (CR LF kept).
  const std::string& advice_text() const { return text1_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  void build();
  void build_parameters(QWidget* page);
  void reset_controls();
  void prepare_held_stroke();
  void load_well_base();
  void set_text1(const std::string& text);
  void show_boxes(const PhfxView& v, bool with_box27);
  void set_record_number(std::size_t r);
  void save_chart(PictureBox* pic, const char* title, const char* suffix);
  std::string proposed_file_name(const std::string& suffix) const;
  void write_intermediate_files(const std::vector<IntermediateFile>& files);

  MainWindowLink& main_;
  ProgramFolder folder_;
  std::string text1_;
  bool loaded_ = false;
  bool updating_groups_ = false;
  class BalancePrint* print_window_ = nullptr;
};

// Registers the window's factory in analysis_windows() (toolbar button 1).
void register_balance_window();

}  // namespace wb
