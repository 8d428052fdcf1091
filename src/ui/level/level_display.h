// The fluid-level window "动液面显示系统": a file browser for raw level files, the level
// method inputs and commands, the level library grid, and the echo shown as an overview
// strip over a wide scrollable echo picture. The test and everything computed from it
// live in `st` (core/level); the window mirrors them into its controls.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

#include "core/common/paths.h"
#include "core/level/level_test.h"

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;

namespace wb {

class DirList;
class FileList;
class Grid;
class PictureBox;

class LevelDisplay : public QWidget {
  Q_OBJECT
 public:
  explicit LevelDisplay(const ProgramFolder& folder, QWidget* parent = nullptr);
  const ProgramFolder& program_folder() const { return folder_; }

  LevelTest st;

  // The library grid's columns (row 0 the headings, row r record r).
  enum GridCol : int { kColNumber, kColWell, kColDate, kGridCols };

  // ---- controls ----
  QGroupBox* Frame1 = nullptr;
  QGroupBox* Frame2 = nullptr;
  QGroupBox* Frame3 = nullptr;
  DirList* Dir1 = nullptr;
  FileList* File1 = nullptr;
  QLineEdit* Text2 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* Text3 = nullptr;
  QLineEdit* Text4 = nullptr;
  QLineEdit* Text5 = nullptr;
  QPushButton* Command1 = nullptr;  // 按音标算
  QPushButton* Command2 = nullptr;  // 保存
  QPushButton* Command3 = nullptr;  // 按接箍算
  QPushButton* Command4 = nullptr;  // 系统自动分析计算
  QPushButton* Command6 = nullptr;  // 打印
  QLabel* Label3 = nullptr;
  Grid* Grid1 = nullptr;
  QScrollBar* VScroll1 = nullptr;   // gain 1 … 8
  PictureBox* Picture1 = nullptr;   // overview strip
  QFrame* Line1 = nullptr;          // level mark on the overview
  QWidget* Picture4 = nullptr;      // viewport of the echo picture
  QLabel* Label2 = nullptr;         // title
  PictureBox* Picture2 = nullptr;   // echo picture
  QFrame* Line2 = nullptr;          // cursor
  std::array<QFrame*, kMarkerCount> marker_lines{};   // by LevelMarker
  std::array<QLabel*, kMarkerCount> marker_labels{};
  QScrollBar* HScroll1 = nullptr;
  QMenu* ym_mnu = nullptr;
  std::array<QAction*, kMarkerCount> ym_items{};  // 井口, 音标, 接箍开始, 接箍结束, 液面
  QMenu* num1 = nullptr;
  QAction* sc_num = nullptr;  // 删除
  QAction* dy_num = nullptr;  // 打印选定

  // ---- handlers ----
  void Form_Load();
  void Dir1_Change();
  void File1_Click();
  void File1_MouseDown(Qt::MouseButton button);
  void Text2_KeyPress();
  void Command4_Click();
  void VScroll1_Change();
  void HScroll1_Change();
  void Picture1_MouseDown(Qt::MouseButton button, double x_points);
  void Picture2_MouseDown(Qt::MouseButton button, double x_points);

  // ---- markers and manual methods (level_display_library.cpp) ----
  void ym_item_Click(LevelMarker m);  // ym_jk, ym_yb, ym_jgks, ym_jgjs, ym_ym
  void Command1_Click();              // 按音标算
  void Command3_Click();              // 按接箍算

  // ---- the library ----
  void load_grid_dat();
  void Grid1_Click(int row);
  void Grid1_DblClick();
  void Grid1_KeyPress(QChar key);
  void Grid1_MouseDown(Qt::MouseButton button);
  void Command2_Click();  // 保存
  void sc_num_Click();
  void dy_num_Click();
  // Records in the library as last listed.
  int record_count() const { return record_count_; }

  // ---- printing ----
  void Command6_Click();
  // Record numbers of the marked rows, from the top.
  std::vector<std::int16_t> marked_records() const;

  // redraw_graph (8, 8): the pictures, the scales, the markers and the title.
  void redraw_graph();
  // The cursor line's position, points on the echo picture.
  double cursor_x() const { return cursor_x_; }
  // Width of the overview strip in twips.
  double overview_width_twips() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  // The library list's date column and the left column's width, from the list's font.
  void fit_library_columns();
  // Moves the marker lines and labels, the overview mark and the title to what `st` holds.
  void show_markers();
  void show_title();
  void set_commands_enabled(bool on);
  void place_vertical(QFrame* line, double x_points);
  void lay_out_picture2();

  void show_boxes();
  void read_boxes();
  // The shown gain without redrawing twice.
  void set_gain(int gain);
  // False after saying why a library step failed (a LimitedStatus as int).
  bool library_ok(int status);

  ProgramFolder folder_;
  double cursor_x_ = -100.0;
  int record_count_ = 0;
};

// Registers the window's factory with the main window's toolbar (button 11).
void register_level_window();

}  // namespace wb
