// The efficiency statistics window "机械采油井系统效率统计分析": the efficiency records of
// many wells as one table with an average row, the filter of the frame "统计范围", deletion
// with the right mouse button, the text export and the printed report. Its state and every
// decision live in EffiStatState (core/statistics/effi_stat_state.h); the window mirrors the
// grid and the two boxes and shows the messages.
#pragma once

#include <QWidget>
#include <string>

#include "core/common/paths.h"
#include "core/statistics/effi_stat_state.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wb {

class Grid;

class SysEffiAssemble : public QWidget {
  Q_OBJECT
 public:
  explicit SysEffiAssemble(ProgramFolder prog, QWidget* parent = nullptr);

  EffiStatState st;

  QPushButton* Command2 = nullptr;  // "打开"
  QPushButton* Command1 = nullptr;  // "打印"
  QPushButton* Command4 = nullptr;  // "存成文本文件"
  QGroupBox* Frame2 = nullptr;      // "统计范围"
  QComboBox* Combo1 = nullptr;      // field
  QComboBox* Combo2 = nullptr;      // value
  QPushButton* Command3 = nullptr;  // "执行统计"
  QGroupBox* Frame1 = nullptr;
  QLineEdit* Text1 = nullptr;       // 制表单位
  QLineEdit* Text2 = nullptr;       // 制表日期
  Grid* Grid1 = nullptr;

  void Form_Load();
  void Command2_Click();
  void Command1_Click();
  void Command3_Click();
  void Command4_Click();
  void Combo1_Click();
  void Combo2_Click();
  // The grid's mouse-down: the right button (2) deletes the selected rows' records after a
  // question, then reloads the table.
  void Grid1_MouseDown(int button);
  void kill_jl();
  void Form_Resize();

  // Today as yyyymmdd (tests may fix it).
  static std::string& today_override();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void build_ui();
  void sync_to_widgets();
  void sync_grid();
  void sync_boxes_from_widgets();
  // Says what a load of `file` found wrong (the damaged records only when it was `opened`).
  void show_status(StatFileStatus s, bool opened, const std::filesystem::path& file);
  ProgramFolder prog_;
};

// Shows the statistics window without blocking: created (and loaded) on first use, or again
// after the user closed it; brought to the front while it is open.
SysEffiAssemble* show_sys_effi_assemble(const ProgramFolder& prog);
// The window shown, if any.
SysEffiAssemble* sys_effi_assemble_window();
// Lets the efficiency window's "效率统计" show this window (the program does this at start).
void register_sys_effi_assemble(const ProgramFolder& prog);

}  // namespace wb
