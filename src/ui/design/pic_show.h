// The curves window "杆柱设计相关参数曲线": the design profile against depth in a window of
// its own, a pick by mouse or arrow keys with its readout line, and the picture saved as a
// BMP on a right click. It draws from the design window's state while that window lives and
// keeps a copy of the last profile and well name afterwards, so it goes on working when the
// design window has closed.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "core/common/paths.h"
#include "core/design/workbench/depth_curves.h"

class QLabel;

namespace wb {
class PictureBox;
}

namespace wb::design {

class MmLinesOverlay;

class PicShow : public QWidget {
  Q_OBJECT
 public:
  // The design's state while the design window lives, nullptr afterwards.
  using Source = std::function<const DesignState*()>;
  PicShow(ProgramFolder folder, Source source);

  // The design window's "曲线": the two checks, then the one curves window shown (or only
  // brought forward when open) and captioned after the current well. Returns the window,
  // nullptr when a check refused.
  static PicShow* pic_show_Click(DesignState& st, const ProgramFolder& folder, Source source);
  // The open curves window, if any.
  static PicShow* instance();

  PictureBox* Picture1 = nullptr;
  QLabel* Label1 = nullptr;
  MmLinesOverlay* Line1 = nullptr;

  // Lays the window out and draws (also run on every resize).
  void Form_Resize();
  // Any button but the right one picks height y (mm); the right one saves the picture.
  void Picture1_MouseDown(Qt::MouseButton button, double x_mm, double y_mm);
  // Up and Down move the pick by 2 mm.
  void Picture1_KeyDown(int key);

  double cursor_y_mm() const { return line_y_; }
  const CurvesData& data() const { return data_; }

 protected:
  void resizeEvent(QResizeEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void take_source();
  void place_cursor();
  void save_picture();
  ProgramFolder folder_;
  Source source_;
  CurvesData data_;
  CurvesScale scale_;
  double line_y_;              // cursor height, mm
  bool line_visible_ = false;
};

}  // namespace wb::design
