// The frames of the design window's tab "斜井数据": "斜井数据表" (the survey grid, its entry
// boxes, the shortcut menu and "更新") and "三维井眼曲线" (the 3D well path, the view-azimuth
// scroll bar and box, and the rotation button). Both work on the design engine the window
// owns; the window sets the well name in the engine's state and calls the operations below.
#pragma once

#include <QGroupBox>
#include <QTimer>
#include <array>

#include "core/design/engine/rod_design_engine.h"

class QLineEdit;
class QMenu;
class QAction;
class QPushButton;
class QScrollBar;

namespace wb {
class Grid;
class PictureBox;
}

namespace wb::design {

class SurveyTableFrame : public QGroupBox {
  Q_OBJECT
 public:
  SurveyTableFrame(RodDesignEngine& eng, QWidget* parent = nullptr);

  // What the design window calls.
  void load_survey();        // Get_JXdat, then the grid shown
  DesignOutcome save_survey();  // save_jx (a failure or refusal has been told), then the grid shown
  void compute_trajectory();  // CalcTrajectory, then the grid shown
  void reset_grid();         // the Grid1 layout of SetupGrids
  bool survey_changed() const { return eng_.st.jx_changed != 0; }
  // Mirrors the engine's grid and boxes into the widgets.
  void refresh();

  Grid* Grid1 = nullptr;
  std::array<QLineEdit*, 9> Text1{};
  QPushButton* Cmd_Recalc = nullptr;
  QMenu* JXdataEdit = nullptr;
  QAction *num_in = nullptr, *num_del = nullptr, *all_del = nullptr, *past = nullptr, *Men_copy = nullptr;

 signals:
  // The well path was computed (the 3D view redraws itself through the engine).
  void trajectory_computed();

 protected:
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  void take_selection();
  void refresh_grid();
  void refresh_boxes();
  void note_top_row();
  void cell_clicked(int row, int col, Qt::MouseButton button);
  RodDesignEngine& eng_;
  bool refreshing_ = false;
};

class WellViewFrame : public QGroupBox {
  Q_OBJECT
 public:
  WellViewFrame(RodDesignEngine& eng, QWidget* parent = nullptr);
  ~WellViewFrame() override;

  // Mirrors the view azimuth and the rotation state into the controls.
  void refresh();

  PictureBox* Picture_3D = nullptr;
  QScrollBar* HScroll_FW = nullptr;
  QLineEdit* Text_FW = nullptr;
  QPushButton* Cmd_Tran_Well = nullptr;
  QTimer Timer_Tran;

 private:
  void save_picture();
  RodDesignEngine& eng_;
  bool refreshing_ = false;
};

}  // namespace wb::design
