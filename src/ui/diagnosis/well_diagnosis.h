// The diagnosis window "泵功图计算及油井井诊断界面": picks or takes a well's test, shows its
// base data in the boxes Text1(0..55), computes and draws the pump card, keeps the
// diagnosis records, prints the report and exports the advice. Its state is the core
// DiagnosisState `st`; the boxes mirror its texts and every command runs in the core.
#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <array>

#include "core/common/paths.h"
#include "core/diagnosis/diagnosis_records.h"
#include "platform/picture_box.h"
#include "ui/diagnosis/diagnosis_hand_over.h"

namespace wb {

class DiagBox;
class DiagAdviceBox;

class WellDiagnosis : public QWidget, public DiagnosisHandOver {
  Q_OBJECT
 public:
  // Makes the window and runs its load step; it is shown by the caller.
  explicit WellDiagnosis(const ProgramFolder& folder, QWidget* parent = nullptr);
  ~WellDiagnosis() override;

  // The one diagnosis window of the program, made (load step run, not shown) when missing.
  static WellDiagnosis& instance(const ProgramFolder& folder);
  static WellDiagnosis* existing();

  DiagnosisState st;
  void sync_to_widgets();
  void sync_from_widgets();

  // DiagnosisHandOver
  void cygsj(std::string& Well_Name, std::int16_t& dda) override;
  std::string Text1(int index) const override;
  std::string Text5() const override { return st.Text5; }
  std::string Text6() const override { return st.Text6; }

  // ---- controls (names as the window's design has them) ----
  QGroupBox* chart_frame = nullptr;  // "地面功图及泵功图"
  PictureBox* Picture1 = nullptr;
  std::array<QPushButton*, 5> Cmd_Ref_Com{};  // 0 "刷新功图", 1 "＋", 2 "－", 3 "×", 4 "÷"
  std::array<QWidget*, kDiagBoxCount> Text1_{};  // DiagBox, or the advice box at 31
  QLineEdit* Text2 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLineEdit* Text4 = nullptr;
  QLineEdit* Text5_ = nullptr;
  QLineEdit* Text6_ = nullptr;
  QLineEdit* Text7 = nullptr;
  QLineEdit* Text8 = nullptr;
  QComboBox* Comb_WellName = nullptr;
  QComboBox* Comb_TestTime = nullptr;
  std::array<QPushButton*, 3> Cmd_Review{};
  QPushButton *Cmd_View_BGT_Data = nullptr, *Cmd_View_BaseData = nullptr, *Cmd_View_Sgt_Data = nullptr;
  QPushButton *Cmd_ReLoad_BaseData = nullptr, *Command2 = nullptr;
  QPushButton *Calc_Pf_Com = nullptr, *Calc_Cyzs_Com = nullptr;
  QPushButton *Cmd_Out_to_TXT = nullptr, *Cmd_Design = nullptr, *Cmd_Save = nullptr, *Cmd_Prnt = nullptr,
              *Cmd_Exit = nullptr;
  QGroupBox* extra_frame = nullptr;   // "附加参数"
  QGroupBox* design_frame = nullptr;  // "参数设计", hidden

  QLineEdit* box(int index) const;  // Text1(index) for a single-line box

  // ---- commands ----
  void Cmd_Ref_Com_Click(int index);
  void Calc_Pf_Com_Click();
  void Calc_Cyzs_Com_Click();
  void Cmd_Review_Click(int index);
  void Cmd_Save_Click();
  void Cmd_Prnt_Click();
  void Cmd_Out_to_TXT_Click();
  void Cmd_Design_Click();
  void Comb_WellName_Click();
  void Comb_TestTime_Click();
  void Cmd_View_Click(PathBox box);
  void Cmd_ReLoad_BaseData_Click();
  void Picture1_MouseDown(Qt::MouseButton button);
  // Keys of the boxes: Up/Down/Enter moves along the tab chain; Enter in 4 and 9 runs their step.
  void Text1_KeyDown(int index, int key);
  void Text1_GotFocus(int index);
  void Text1_LostFocus(int index);

  const ProgramFolder& program_folder() const { return folder_; }

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  void build_ui();
  void after_core();  // mirror the state, repaint, honour a focus request
  DiagnosisIo io();
  void move_in_chain(int index, int step);
  void path_edited(PathBox box);

  ProgramFolder folder_;
  bool syncing_ = false;
};

// Registers the diagnosis window with the main window's toolbar (button 14) and as the
// design window's source of wells.
void register_diagnosis_window(const ProgramFolder& folder);

}  // namespace wb
