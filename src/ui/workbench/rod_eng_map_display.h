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
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <array>

#include "core/common/paths.h"
#include "core/workbench/joint_pipeline.h"
#include "core/workbench/test_libraries.h"
#include "core/workbench/test_state.h"
#include "platform/file_browser.h"
#include "platform/grid.h"
#include "platform/picture_box.h"
#include "ui/workbench/analysis_windows.h"

namespace wb {

class BoxLineEdit;
class Canvas;

class RodEngMapDisplay : public QMainWindow, public MainWindowLink {
  Q_OBJECT
 public:
  explicit RodEngMapDisplay(const ProgramFolder& folder, QWidget* parent = nullptr);
  ~RodEngMapDisplay() override;

  const ProgramFolder& program_folder() const override { return folder_; }
  // True once the window is closing: the program ends and other windows close without asking.
  bool ending() const { return ending_; }

  // The test state and its mirror in the boxes.
  TestState st;
  void sync_to_widgets() override;    // state texts -> boxes, captions, tooltips, visibility
  void sync_from_widgets() override;  // boxes -> state texts
  TestState& test() override { return st; }
  QWidget* window_widget() override { return this; }

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
  std::array<BoxLineEdit*, kAppendedBoxCount> Text1{};
  QGroupBox* Frame5 = nullptr;                  // measured results
  std::array<QLineEdit*, kResultBoxCount> Text3{};
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
  // Start-up work for the time the splash shows (rod_eng_map_display_warm_up.cpp): renders
  // the window once off screen and draws a made-up joint test's views on a throwaway picture,
  // so the first paint and the first test opened find fonts, glyphs and code loaded. The
  // window's state and pictures are left as they were.
  void warm_up();
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
  void open_joint_test(const std::filesystem::path& path);    // tx_org, joint tests (.oNN)
  void open_card_file(const std::filesystem::path& path);     // tx_G (.gNN)
  void open_electric_file(const std::filesystem::path& path); // tx_d (.dNN)
  void open_wave_file(const std::filesystem::path& path);     // tx_x (.xNN)

  // ---- period frame ----
  void adjust_Click(int index);
  void CircleDot_KeyPress();  // Enter in the period box
  void Chk_Start_Click();
  // Captions and tooltips of the adjust buttons (idempotent; called when the frame is built
  // and again when a joint test is opened).
  void setup_period_frame();

  // ---- charts ----
  void disp_ll_sgt();  // static-load lines over the card
  // The views of the main picture, drawn from `st` on Picture1. They neither read nor write
  // the boxes: callers sync before and after.
  void draw_card();                        // RodEngMapDisplay_Card: the first gt_num samples
  void draw_card_points(int points);       // RodEngMapDisplay_G: a stored card's rebuilt points
  void draw_electric_curves();             // iup_line_form(iu_num)
  void draw_electric_curves(int points);   // iup_line_form(points), e.g. 144 for a stored record
  void draw_energy_panel();                // disp_data, fills st.DnCs
  JointCharts joint_charts();              // the three callbacks of tx_org, drawing on Picture1

  // ---- waveform and line-loss analysis (rod_eng_map_display_electric.cpp) ----
  void draw_xbt_1(float xx, float yy);  // waveform curves on Picture1 (callers pass 5, 7)
  void draw_xbt_2(float xx, float yy);  // harmonic bars on Picture1 (callers pass 5, 3)
  // The waveform report page of xbt_rec on a printer (ends with a new page, the job stays
  // open) or on a preview page picture (sized to A4 and cleared first).
  void xbt_prt_page(Canvas& printer);
  void xbt_prt_page(PictureBox* page);
  // Toolbar button 5 once its file-pattern check passed: switches the view kind to 5 and
  // draws the line-loss view from the samples of the test shown.
  void line_loss_view();
  // The line-loss view from samples 0..iu_num-1 (an electric record: its 144 rebuilt points).
  void Get_Line_Lose(std::int16_t iu_num);
  // The same estimate in the alternative layout on Picture1, and as one printer job.
  void Get_Line_Lose_prt(std::int16_t iu_num);
  void Get_Line_Lose_print(std::int16_t iu_num);

  // ---- toolbar, grid, main picture ----
  void Image1_Click(int index);
  void Grid1_MouseDown(int row, int col, Qt::MouseButton button);
  void Grid1_DblClick(int row, int col);
  // "删除" of the grid menu (and the right button on the grid): the chosen record of the
  // library on screen, after a question naming the library, the well and the date.
  void sc_num_Click();
  // The library the grid lists on screen; nullptr while the grid is hidden or lists none.
  const LibraryInfo* shown_library() const;
  void Picture1_MouseDown(Qt::MouseButton button, double x_mm, double y_mm);
  // Library grid (rod_eng_map_display_grid.cpp): list a library into Grid1 (a damaged one
  // is refused with a message), load the chosen row, toggle print marks with p or P.
  void Load_Grid_Dat_sgt(const std::filesystem::path& fil_nam);
  void Load_Grid_Dat_Pow(const std::filesystem::path& fil_nam);
  void Load_Grid_Dat_Wav(const std::filesystem::path& fil_nam);
  void Grid1_Click();
  void Grid1_KeyPress(int key_ascii);
  void Save_Pic_Bmp();  // right button on Picture1
  // Analysis windows of the toolbar (rod_eng_map_display_toolbar.cpp): shows the window,
  // creating it through its registered factory on the first show; nullptr when none is
  // registered yet. analysis_window() is the window if it exists.
  QWidget* show_analysis_window(AnalysisWindow w);
  QWidget* analysis_window(AnalysisWindow w) const;

  // ---- preview of the waveform page ----
  void Command1_Click();

  // ---- printing the marked library rows (rod_eng_map_display_print.cpp) ----
  // Toolbar button 8 "打印图表": checks the marks, runs the print dialog, prints the copies.
  void print_marked_command();
  // The batch print of the marked rows on `printer` (one job); works on a copy of `st`.
  void prt_main_marked(Canvas& printer);

  // Puts the data folder back in the browser with the joint-test pattern.
  void show_data_folder();
  // Opens the program's help file (the help key).
  void show_help();

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
  bool ending_ = false;
  std::int16_t line_loss_source_kind_ = kKindNone;  // kind shown before the line-loss view
  void show_correlation();                           // st.R_iu into its box
  std::array<QPointer<QWidget>, kAnalysisWindowCount> analysis_windows_{};
};

// Width in pixels that shows the longest text result box Text3(index) is given, whole.
int result_box_width(const QLineEdit& box, int index);

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
  // `elapsed_ms` is the time already spent since the program started: the 1.5 s count from
  // there, not from whenever the event loop gets round to the splash.
  explicit FrmSplash(std::function<void()> show_main, QWidget* parent = nullptr, qint64 elapsed_ms = 0);
  // Called once, just after the splash's first paint, while the splash stays up: the place
  // to build the main window so that the timer only has to show it.
  std::function<void()> after_first_paint;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void finish();
  std::function<void()> show_main_;
  QTimer* Timer1 = nullptr;
  bool done_ = false;
  bool painted_ = false;
};

}  // namespace wb
