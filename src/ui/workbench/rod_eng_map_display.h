// The main window: browses the data folder, shows one test at a time, and dispatches the
// user's work through its toolbar. Its test state lives in `st` (core); the boxes mirror
// the state's texts. Feature code sits in rod_eng_map_display_<feature>.cpp.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <array>

#include "core/common/paths.h"
#include "core/workbench/test_state.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "platform/picture_box.h"

namespace wb {

class BoxLineEdit;

class RodEngMapDisplay : public QMainWindow {
  Q_OBJECT
 public:
  explicit RodEngMapDisplay(const ProgramFolder& folder, QWidget* parent = nullptr);
  ~RodEngMapDisplay() override;

  const ProgramFolder& program_folder() const { return folder_; }

  // The test state and its mirror in the boxes.
  TestState st;
  void sync_to_widgets();    // state texts -> boxes, captions, tooltips, visibility
  void sync_from_widgets();  // boxes -> state texts

  // ---- controls (names as the window's design has them) ----
  QWidget* Picture2 = nullptr;                  // toolbar strip
  std::array<QToolButton*, 15> Image1{};        // toolbar buttons
  PictureBox* Picture1 = nullptr;               // main picture
  QGroupBox* Frame1 = nullptr;                  // file browser
  DirList* Dir1 = nullptr;
  FileList* File1 = nullptr;
  QGroupBox* Frame2 = nullptr;                  // library grid
  Grid* Grid1 = nullptr;
  QGroupBox* Frame3 = nullptr;                  // period adjustment
  QLineEdit* R_iu = nullptr;
  QLineEdit* CircleDot = nullptr;
  std::array<QPushButton*, 6> adjust{};
  QGroupBox* Frame4 = nullptr;                  // appended data
  std::array<BoxLineEdit*, 6> Text1{};
  QGroupBox* Frame5 = nullptr;                  // measured results
  std::array<QLineEdit*, 16> Text3{};
  QLineEdit* Text2 = nullptr;                   // path box
  QLabel* Label2 = nullptr;
  QCheckBox* Chk_Start = nullptr;
  QPushButton* Command1 = nullptr;              // print preview
  QPushButton* Command2 = nullptr;              // exit
  QMenu* num = nullptr;                         // grid menu
  QAction* sc_num = nullptr;                    // "删除"
  QAction* dy_num = nullptr;                    // "打印选定"

  // ---- start-up and window handlers ----
  void Form_Load();
  void Dir1_Change();
  void File1_Click();
  void File1_MouseDown(Qt::MouseButton button);
  void Text1_GotFocus(int index);
  void Text1_LostFocus(int index);
  void Text1_KeyPress(int index);  // Enter
  void Text2_KeyPress();           // Enter
  void dy_num_Click();
  void Command2_Click();

  // ---- test readers (full path of the file) ----
  void open_joint_test(const QString& path);    // tx_org, joint tests (.oNN)
  void open_card_file(const QString& path);     // tx_G (.gNN)
  void open_electric_file(const QString& path); // tx_d (.dNN)
  void open_wave_file(const QString& path);     // tx_x (.xNN)

  // ---- period frame ----
  void adjust_Click(int index);
  void CircleDot_KeyPress();  // Enter in the period box
  void Chk_Start_Click();

  // ---- charts ----
  void disp_ll_sgt();  // static-load lines over the card

  // ---- toolbar, grid, main picture ----
  void Image1_Click(int index);
  void Grid1_MouseDown(int row, int col, Qt::MouseButton button);
  void Grid1_DblClick(int row, int col);
  void sc_num_Click();
  void Picture1_MouseDown(Qt::MouseButton button, double x_mm, double y_mm);

  // ---- preview of the waveform page ----
  void Command1_Click();

  // Puts the data folder back in the browser with the joint-test pattern.
  void show_data_folder();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  void build_ui();
  QWidget* build_toolbar();
  QGroupBox* build_period_frame();
  QGroupBox* build_text1_frame();
  QGroupBox* build_text3_frame();
  ProgramFolder folder_;
};

// A text box that reports focus changes and Enter to its window.
class BoxLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  using QLineEdit::QLineEdit;
 signals:
  void got_focus();
  void lost_focus();
  void enter_pressed();

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
};

// Ellipse-shaped splash window; shows the main window after 1.5 s, a click or a key.
class FrmSplash : public QWidget {
  Q_OBJECT
 public:
  explicit FrmSplash(std::function<void()> show_main, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void finish();
  std::function<void()> show_main_;
  QTimer* Timer1 = nullptr;
  bool done_ = false;
};

}  // namespace wb
