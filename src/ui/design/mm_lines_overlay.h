// Line controls over a picture box: thin lines given in the picture's millimetres, drawn on
// top of the picture without touching its drawing (a redraw of the picture keeps them, and
// moving them leaves no trace). The overlay covers its parent and lets the mouse through.
#pragma once

#include <QColor>
#include <QLineF>
#include <QWidget>
#include <vector>

namespace wb::design {

class MmLinesOverlay : public QWidget {
  Q_OBJECT
 public:
  // `px_per_mm`: the picture's pixels per millimetre (96 dpi pictures: 96 / 25.4).
  MmLinesOverlay(QWidget* picture, QColor color, double px_per_mm);

  // Lines in millimetres; an empty list hides them.
  void set_lines(std::vector<QLineF> lines_mm);
  const std::vector<QLineF>& lines() const { return lines_; }

 protected:
  void paintEvent(QPaintEvent*) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  QColor color_;
  double px_per_mm_;
  std::vector<QLineF> lines_;
};

}  // namespace wb::design
