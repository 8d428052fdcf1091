// The design window's tab "动态IPR曲线": the inflow-performance chart with its design point,
// the well schematic with the draggable level marker, the boxes for the design flowing
// pressure, the rate and the level, and the panel's picture save ("存IPR图"). The view's
// rules are core (IprView); this widget mirrors its boxes and draws its pictures.
#pragma once

#include <QWidget>
#include <array>

#include "core/common/paths.h"
#include "core/design/workbench/ipr_view.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace wb {
class PictureBox;
}

namespace wb::design {

class MmLinesOverlay;

// The well drawing with the liquid column and the level marker, in twips of its own
// (1335 × 3255); a left drag moves the marker, a right click asks for the pop-up menu.
class WellSchematic : public QWidget {
  Q_OBJECT
 public:
  WellSchematic(IprView& ipr, QWidget* parent);

 signals:
  void menu_requested(QPoint global_pos);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;

 private:
  IprView& ipr_;
};

class IprTab : public QWidget {
  Q_OBJECT
 public:
  IprTab(DesignState& st, ProgramFolder folder, QWidget* parent = nullptr);

  IprView ipr;

  QFrame* Picture1 = nullptr;        // the panel the picture save copies
  PictureBox* Picture6 = nullptr;    // chart, mm
  MmLinesOverlay* design_legs = nullptr;  // Line1 and Line2
  WellSchematic* Picture3 = nullptr;
  std::array<QLineEdit*, 3> Text7{};  // 0 level, 1 rate, 2 design flowing pressure
  QLineEdit* Text8 = nullptr;
  QLineEdit* Text9 = nullptr;
  QLineEdit* Text11 = nullptr;
  std::array<QLabel*, 11> Label10{};
  QPushButton* Cmd_Redraw_IPR = nullptr;
  QMenu* IPR = nullptr;
  QAction* IPR_SAVE = nullptr;

  // The design window calls these: its refresh command and date choice redraw, and its tab
  // control reports every change of tab with the new tab's caption.
  void Cmd_Redraw_IPR_Click();
  void SSTab1_Click(const QString& caption);
  // "另存IPR曲线为图片".
  void IPR_SAVE_Click();
  // Mirrors the view's boxes, labels, legs and schematic into the widgets.
  void refresh();

 signals:
  // The tab entry changed a caption of the design window (the efficiency before the design).
  void design_labels_changed();

 private:
  void box_edited(int which, const QString& text);
  DesignState& st_;
  ProgramFolder folder_;
  bool refreshing_ = false;
};

}  // namespace wb::design
