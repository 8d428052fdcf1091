// The print preview window: one report page on the screen as the page procedure that
// prints it draws it. The page picture Picture2 (an A4 sheet once a page procedure sized
// it) sits inside the viewport Picture1; two scroll bars move it when it does not fit. The
// window draws nothing itself: a caller shows it and hands Picture2's canvas to the same
// page procedure it uses for the printer.
//
// Geometry is that of the window's design, in pixels at 96 per inch (15 twips each): the
// viewport 8 px from the left and top, scroll bars 17 px thick.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/common/canvas.h"
#include "platform/picture_box.h"

class QScrollBar;

namespace wb {

class PrintPreview : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kViewportLeft = 8;   // 120 twips
  static constexpr int kViewportTop = 8;    // 120 twips
  static constexpr int kBarThickness = 17;  // 255 twips

  // Shows the preview without blocking: created on first use with its design caption and
  // geometry, brought to the front when already open. Closing it destroys it.
  static PrintPreview* show_preview();
  // The open preview, or nullptr.
  static PrintPreview* current();

  QWidget* Picture1 = nullptr;     // viewport
  PictureBox* Picture2 = nullptr;  // page
  QScrollBar* HScroll1 = nullptr;
  QScrollBar* VScroll1 = nullptr;

  // Makes the page picture an A4 sheet (210 x 297 mm) and returns its canvas in millimetres
  // for a page procedure, in the drawing state of a fresh canvas. What was drawn before stays
  // until the procedure clears it.
  Canvas& page_a4();

  void Form_Resize();
  void Picture2_Resize();
  void Layout_Page();
  void HScroll1_Change();
  void VScroll1_Change();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  explicit PrintPreview(QWidget* parent = nullptr);
  bool laying_out_ = false;
};

}  // namespace wb
