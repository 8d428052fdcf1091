#include "ui/design/pic_show.h"

#include <QKeyEvent>
#include <QLabel>

#include "core/common/trim.h"
#include "core/design/workbench/well_file_names.h"
#include "core/workbench/main_picture.h"
#include "platform/picture_box.h"
#include "platform/services_qt.h"
#include "ui/design/mm_lines_overlay.h"
#include "core/common/messages.h"

namespace wb::design {
namespace {

constexpr double kTwipsPerPx = 15.0;  // 1440 twips per inch at 96 pixels per inch
constexpr double kPxPerMm = 96.0 / 25.4;
// Design-time layout, twips.
constexpr int kClientW = 11160, kClientH = 7515;
constexpr int kPicLeft = 120, kPicTop = 240, kPicW = 10815, kPicH = 6975;
constexpr int kLabelLeft = 360;
constexpr double kCursorStartMm = 6960 * 25.4 / 1440;  // the hidden cursor's design height
constexpr double kArrowStepMm = 2.0;
const QColor kCursorColor(255, 255, 192);

int px(double twips) { return static_cast<int>(twips / kTwipsPerPx + 0.5); }
int twips(int px) { return static_cast<int>(px * kTwipsPerPx); }

QPointer<PicShow>& the_window() {
  static QPointer<PicShow> w;
  return w;
}

}  // namespace

PicShow::PicShow(ProgramFolder folder, Source source)
    : QWidget(nullptr), folder_(std::move(folder)), source_(std::move(source)), line_y_(kCursorStartMm) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("杆柱设计相关参数曲线"));
  setFocusPolicy(Qt::StrongFocus);
  Picture1 = new PictureBox(this);
  Picture1->setGeometry(px(kPicLeft), px(kPicTop), px(kPicW), px(kPicH));
  Picture1->setFocusPolicy(Qt::StrongFocus);
  // The platform's background colour, on which the white zero lines and pump line show.
  const QColor bg = palette().color(QPalette::Window);
  Picture1->canvas().back_color = rgb(bg.red(), bg.green(), bg.blue());
  Line1 = new MmLinesOverlay(Picture1, kCursorColor, kPxPerMm);
  Label1 = new QLabel(this);
  Label1->move(px(kLabelLeft), px(kPicTop + kPicH + 80));
  connect(Picture1, &PictureBox::mouse_down, this,
          [this](Qt::MouseButton b, double x, double y) { Picture1_MouseDown(b, x, y); });
  take_source();
  resize(px(kClientW), px(kClientH));
}

PicShow* PicShow::instance() { return the_window().data(); }

PicShow* PicShow::pic_show_Click(DesignState& st, const ProgramFolder& folder, Source source) {
  if (const std::optional<Refusal> refusal = pic_show_refusal(st)) {
    services().messages->show(refusal->message, "", MsgButtons::Ok);
    return nullptr;
  }
  PicShow* w = the_window().data();
  if (!w) {
    w = new PicShow(folder, std::move(source));
    the_window() = w;
    w->show();
  } else {
    w->show();
    w->raise();
  }
  w->activateWindow();
  w->setWindowTitle(QString::fromStdString(pic_show_caption(st.JName_Comb)));
  return w;
}

void PicShow::take_source() {
  if (!source_) return;
  if (const DesignState* st = source_()) data_ = CurvesData::from(*st);
}

void PicShow::resizeEvent(QResizeEvent*) { Form_Resize(); }

void PicShow::Form_Resize() {
  const PicShowLayout l = pic_show_layout(twips(width()), twips(height()), kPicTop, twips(Picture1->width()),
                                          twips(Picture1->height()));
  const int w = px(l.picture_width), h = px(l.picture_height);
  Picture1->setGeometry(Picture1->x(), Picture1->y(), w, h);
  if (Picture1->canvas().image().size() != QSize(w, h)) Picture1->canvas().resize(w, h);
  Label1->move(Label1->x(), px(l.label_top));
  take_source();
  scale_ = paint_show(Picture1->canvas(), data_);
  place_cursor();
  Picture1->update();
}

void PicShow::place_cursor() {
  const double right = Picture1->canvas().area_width_mm() - 5.0;
  if (line_visible_) Line1->set_lines({QLineF(10.0, line_y_, right, line_y_)});
}

void PicShow::Picture1_MouseDown(Qt::MouseButton button, double, double y_mm) {
  if (button == Qt::RightButton) {
    save_picture();
    return;
  }
  if (y_mm < kCurvesPlotTop) return;
  line_y_ = y_mm;
  line_visible_ = true;
  place_cursor();
  take_source();
  const PickValues v = Get_picDat(y_mm, scale_, data_.profile, data_.last_node);
  Label1->setText(QString::fromStdString(pick_readout_line(v)));
  Label1->adjustSize();
}

void PicShow::Picture1_KeyDown(int key) {
  if (key == Qt::Key_Up) Picture1_MouseDown(Qt::LeftButton, 50, line_y_ - kArrowStepMm);
  else if (key == Qt::Key_Down) Picture1_MouseDown(Qt::LeftButton, 50, line_y_ + kArrowStepMm);
}

void PicShow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down) {
    Picture1_KeyDown(e->key());
    return;
  }
  QWidget::keyPressEvent(e);
}

void PicShow::save_picture() {
  take_source();
  const auto name = curves_bmp_name(data_.well);
  if (!name) {
    services().messages->show(unsafe_well_name_text(data_.well), "", MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  FileDialogRequest req;
  req.title = "杆柱设计相关参数曲线另存为图片文件";
  req.filter = kPictureFilter;
  req.initial_dir = path_text(folder_.image());
  req.file_name = *name;
  const std::string path = services().files->save_file(req);
  if (path.empty()) return;
  if (!Picture1->save_bmp(QString::fromStdString(path)))
    services().messages->show(picture_not_saved_text(path), "", MsgButtons::Ok, MsgIcon::Warning);
}

}  // namespace wb::design
