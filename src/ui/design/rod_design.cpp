#include "platform/qt_text.h"
#include "ui/design/rod_design.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <tuple>

#include "platform/combo_box.h"
#include "platform/grid.h"
#include "platform/services_qt.h"
#include "ui/design/survey_frames.h"
#include "ui/diagnosis/diagnosis_hand_over.h"

namespace wb::design {
namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 9870 / kTwipsPerPixel;
constexpr int kClientHeight = 6585 / kTwipsPerPixel;
constexpr int kOpeningTab = 3;

QPointer<RodDesign>& the_window() {
  static QPointer<RodDesign> w;
  return w;
}

// The model box rebuilds its list each time the list is opened.
class ModelCombo : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void()> on_drop_down;
  void showPopup() override {
    if (on_drop_down) on_drop_down();
    QComboBox::showPopup();
  }
};

// The pointer shows the hourglass while a command runs.
struct BusyPointer {
  BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyPointer() { QApplication::restoreOverrideCursor(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace

void register_design_window(const ProgramFolder& folder) {
  design_window_opener() = [folder](QWidget*) {
    RodDesign& w = RodDesign::instance(folder);
    w.show();
    w.raise();
    w.activateWindow();
  };
}

RodDesign& RodDesign::instance(const ProgramFolder& folder) {
  QPointer<RodDesign>& w = the_window();
  if (!w) w = new RodDesign(folder);
  return *w;
}

RodDesign* RodDesign::existing() { return the_window(); }

RodDesign::RodDesign(const ProgramFolder& folder, QWidget* parent)
    : QWidget(parent),
      eng(folder, *services().messages, *services().shell),
      st(eng.st),
      engine_steps(eng),
      core(eng.st, engine_steps, *services().messages, *services().shell, folder),
      records(eng.st, core, *services().messages, *services().shell, folder),
      folder_(folder) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("抽油机井杆柱优化设计"));
  // Initial texts of the boxes that do not start empty.
  st.Text6[well_box::kMotorEfficiency] = "0.92";
  st.Text3[design_box::kSinkerDiaAfter] = "25";
  st.Text3[design_box::kSinkerLenAfter] = "50";
  build_ui();
  resize(kClientWidth, kClientHeight);
  if (const QScreen* s = QApplication::primaryScreen())
    move(s->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
}

// The children are destroyed by the QWidget base after the engine and the core: a box that
// loses the focus or changes then must not reach the window's handlers.
RodDesign::~RodDesign() {
  for (QObject* child : findChildren<QObject*>()) {
    disconnect(child, nullptr, this, nullptr);
    child->removeEventFilter(this);
  }
}

void RodDesign::build_ui() {
  QFont f(QStringLiteral("宋体"));
  f.setPointSizeF(9);
  setFont(f);
  auto* top = new QVBoxLayout(this);
  top->setContentsMargins(4, 4, 4, 4);
  top->setSpacing(3);

  auto* row = new QHBoxLayout;
  auto combo = [this, row](const char* caption, int width) {
    row->addWidget(new QLabel(QString::fromUtf8(caption), this));
    auto* c = new ModelCombo(this);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(width);
    row->addWidget(c);
    return c;
  };
  JName_Comb = combo("井号", 110);
  Date_Comb = combo("设计日期", 100);
  CyjType_Comb = combo("抽油机型号", 130);
  static_cast<ModelCombo*>(CyjType_Comb)->on_drop_down = [this] { CyjType_Comb_DropDown(); };
  row->addStretch(1);
  top->addLayout(row);

  SSTab1 = new QTabWidget(this);
  SSTab1->addTab(build_base_tab(), QStringLiteral("基础数据"));
  SSTab1->addTab(build_survey_tab(), QStringLiteral("斜井数据"));
  SSTab1->addTab(build_ipr_tab(), QStringLiteral("动态IPR曲线"));
  SSTab1->addTab(build_design_tab(), QStringLiteral("设计生产参数"));
  SSTab1->addTab(build_fzq_tab(), QStringLiteral("抽油杆扶正器"));
  SSTab1->addTab(build_tools_tab(), QStringLiteral("杆管附件信息"));
  SSTab1->addTab(build_structure_tab(), QStringLiteral("井身结构数据"));
  SSTab1->setCurrentIndex(kOpeningTab);
  wire_boxes();
  build_outputs();
  top->addWidget(SSTab1, 1);

  auto* buttons = new QHBoxLayout;
  auto button = [this, buttons](const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    buttons->addWidget(b);
    return b;
  };
  buttons->addStretch(1);
  Cmd_SaveToTxt = button("存成文本");
  SaveCom = button("保存");
  PrintCom = button("打印");
  pic_show = button("曲线");
  ExitCom = button("退出");
  top->addLayout(buttons);

  connect(Cmd_SaveToTxt, &QPushButton::clicked, this, [this] { Cmd_SaveToTxt_Click(); });
  connect(SaveCom, &QPushButton::clicked, this, [this] { SaveCom_Click(); });
  connect(PrintCom, &QPushButton::clicked, this, [this] { PrintCom_Click(); });
  connect(pic_show, &QPushButton::clicked, this, [this] { pic_show_Click(); });
  connect(ExitCom, &QPushButton::clicked, this, [this] { ExitCom_Click(); });

  connect(JName_Comb, &QComboBox::editTextChanged, this, [this](const QString& t) {
    if (!syncing_) st.JName_Comb = t.toStdString();
  });
  connect(Date_Comb, &QComboBox::editTextChanged, this, [this](const QString& t) {
    if (!syncing_) st.Date_Comb = t.toStdString();
  });
  connect(CyjType_Comb, &QComboBox::editTextChanged, this, [this](const QString& t) {
    if (!syncing_) st.CyjType_Comb = t.toStdString();
  });
  connect(JName_Comb, &QComboBox::activated, this, [this](int) {
    st.JName_Comb = JName_Comb->currentText().toStdString();
    JName_Comb_Click();
  });
  connect(Date_Comb, &QComboBox::activated, this, [this](int) {
    st.Date_Comb = Date_Comb->currentText().toStdString();
    Date_Comb_Click();
  });
  connect(CyjType_Comb, &QComboBox::activated, this,
          [this](int) { st.CyjType_Comb = CyjType_Comb->currentText().toStdString(); });
  // Only a choice from the list chooses, so the taken-over well is not replaced by its stored
  // design when the focus merely moves on.
  for (QComboBox* c : {JName_Comb, Date_Comb, CyjType_Comb}) choose_from_list_only(c);
  for (QComboBox* c : {JName_Comb, CyjType_Comb}) {
    c->installEventFilter(this);
    if (c->lineEdit()) c->lineEdit()->installEventFilter(this);
  }
}

QWidget* RodDesign::build_survey_tab() {
  auto* page = new QWidget;
  auto* lay = new QHBoxLayout(page);
  lay->setContentsMargins(2, 2, 2, 2);
  survey_frame = new SurveyTableFrame(eng, page);
  view_frame = new WellViewFrame(eng, page);
  lay->addWidget(survey_frame, 3);
  lay->addWidget(view_frame, 2);
  return page;
}

// ---------------------------------------------------------------- load and unload

void RodDesign::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (!loaded_) {
    loaded_ = true;
    Form_Load();
  }
}

void RodDesign::Form_Load() {
  JNname_Add();
  LoadFromDiagnosis();
  st.jx_changed = 0;
  syncing_ = true;
  for (const std::string& m : core.load_model_list()) CyjType_Comb->addItem(qs(m));
  CyjType_Comb->setEditText(qs(st.CyjType_Comb));
  syncing_ = false;
  // The survey table keeps every row read, so that a save never shortens the stored survey.
  core.load_survey();
  sync_to_widgets();
}

void RodDesign::closeEvent(QCloseEvent* e) {
  // A wanted survey save that did not happen keeps the window, and the edits, open.
  if (!went_through(core.Form_Unload())) {
    e->ignore();
    return;
  }
  e->accept();
}

void RodDesign::ExitCom_Click() { close(); }

// ---------------------------------------------------------------- commands

void RodDesign::DesignCom_Click() {
  {
    BusyPointer busy;
    // Survey edits that could not be saved stop the run, which would read the survey again.
    std::ignore = core.DesignCom_Click();
  }
  sync_to_widgets();
  apply_focus();  // a refused box
}

void RodDesign::Cmd_Reflush_Click() {
  core.Cmd_Reflush_Click([this] { Cmd_Redraw_IPR_Click(); });
  sync_to_widgets();
  apply_focus();  // a refused box
}

void RodDesign::JName_Comb_KeyPress(int key_ascii) {
  st.JName_Comb = JName_Comb->currentText().toStdString();
  core.JName_Comb_KeyPress(key_ascii);
  if (key_ascii == kEnterKey) {
    eng.Draw_box();
    sync_to_widgets();
  }
}

void RodDesign::CyjType_Comb_DropDown() {
  syncing_ = true;
  CyjType_Comb->clear();
  for (const std::string& m : core.CyjType_Comb_DropDown()) CyjType_Comb->addItem(qs(m));
  CyjType_Comb->setCurrentIndex(-1);
  CyjType_Comb->setEditText(QString());
  st.CyjType_Comb.clear();
  syncing_ = false;
}

void RodDesign::CyjType_Comb_KeyPress(int key_ascii) {
  if (!core.CyjType_Comb_KeyPress(key_ascii)) return;
  st.CyjType_Comb.clear();
  syncing_ = true;
  CyjType_Comb->setEditText(QString());
  syncing_ = false;
}

void RodDesign::refresh_survey() {
  if (survey_frame) survey_frame->refresh();
  if (view_frame) view_frame->refresh();
}

}  // namespace wb::design
