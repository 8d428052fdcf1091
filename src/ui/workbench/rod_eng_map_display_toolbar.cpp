// The toolbar's commands: browsing the kinds of test files with their libraries, saving and
// exporting the shown test, the line-loss view, printing marked records, the report
// workbooks, and opening the analysis windows with the hand-over of a joint test.
#include <QApplication>
#include <exception>
#include <tuple>

#include "core/common/dlph_record.h"
#include "core/common/stroke.h"
#include "core/common/trim.h"
#include "core/workbench/batch_print.h"
#include "core/workbench/bottom_dead_centre.h"
#include "core/workbench/dlph_summary.h"
#include "core/workbench/org_decode.h"
#include "core/workbench/report_workbooks.h"
#include "core/workbench/workbench_messages.h"
#include "platform/excel_export.h"
#include "platform/print_dialog.h"
#include "platform/qt_text.h"
#include "platform/services_qt.h"
#include "platform/system_printer.h"
#include "ui/workbench/rod_eng_map_display_libs.h"
#include "core/common/messages.h"

namespace wb {

namespace fs = std::filesystem;

AnalysisWindowRegistry& analysis_windows() {
  static AnalysisWindowRegistry registry;
  return registry;
}

namespace {

// Said when a toolbar command stops on a fault; the fault's own description follows.
inline constexpr const char* kCommandFailedText = "命令未能完成：";
inline constexpr const char* kAboutTitle = "关于本程序";
inline constexpr const char* kAboutText =
    "抽油机井测试分析工作台 1.0\n\n"
    "联合测试、示功图、电力曲线和电力波形的分析与管理；\n"
    "系统效率、平衡、井下诊断、动液面分析和抽油杆柱设计。";

// Saves the shown test into its library; false (after telling the user) when it failed.
bool save_checked(const SaveResult& r, const fs::path& lib, std::size_t* result = nullptr) {
  if (result) *result = r.result;
  if (r.status == LibStatus::Ok) return true;
  show_library_failure(LibOperation::Save, r.status, lib);
  return false;
}

// Asks before a store that would keep something else than the boxes show; false when the
// user declines (nothing is written then).
bool confirm_store(const StoreCheck& c, const char* title) {
  const std::string q = store_check_question(c);
  return q.empty() || services().messages->show(q, title, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes;
}

// Asks before a stored record with doubtful numbers is stored again; false when the user
// declines.
bool confirm_doubtful_record(const TestState& st) {
  return st.record_doubts.empty() ||
         services().messages->ask_yes_no(record_doubts_message(st) + kStoreAnywayQuestion, kRecordDoubtsTitle);
}

// The card and the electric record of a joint test built from the stroke and stored; with
// `summary` also the power/balance summary. False when a store failed, or when the test
// comes from a damaged raw file and the user chose not to store it.
bool store_joint_test(RodEngMapDisplay& w, bool summary) {
  const ProgramFolder& prog = w.program_folder();
  // Results of a damaged raw file would reload from the libraries as if they were sound.
  if (!w.st.org_doubts.empty() &&
      !services().messages->ask_yes_no(org_doubts_text(w.st.org_doubts, path_shown_text(u8path(w.st.Text2))) + kStoreAnywayQuestion,
                                       kOrgDoubtsTitle))
    return false;
  RecordBuildReport built = Pow_Sgt_Dat_Prep(w.st);
  StoreCheck check = check_well_name(w.st.Text1[appended_box::kWell]);
  check.unstored = built.unstored;
  check.unstored_zeroed = true;
  if (!confirm_store(check, "数据入库")) return false;
  const fs::path sgt = prog.sys() / library_info(LibraryKind::Card).file_name;
  const fs::path dnt = prog.sys() / library_info(LibraryKind::Electric).file_name;
  // A library at the record limit refuses the test before any of them is written.
  const std::string well = trim_blanks(w.st.Text1[appended_box::kWell]);
  const std::pair<fs::path, LibStatus> rooms[] = {
      {sgt, room_for_key(sgt, kSgtRecordSize, well, w.st.sgt_rec.test_date)},
      {dnt, room_for_key(dnt, kDntRecordSize, well, w.st.dnt_rec.test_date)},
      {prog.sys() / kDlPhFileName, summary ? room_for_key(prog.sys() / kDlPhFileName, kDlPhRecordSize, well,
                                                          w.st.org_head.test_date)
                                           : LibStatus::Ok}};
  for (const auto& [path, room] : rooms)
    if (room != LibStatus::Ok) {
      show_library_failure(LibOperation::Save, room, path);
      return false;
    }
  if (!save_checked(sgt_save_new(w.st, sgt), sgt)) return false;
  if (!save_checked(Pow_save_new(w.st, dnt), dnt)) return false;
  if (!summary) return true;
  SummaryResult s = Save_DlPh_Pow(prog, w.st, data_type().DlPh_Rec);
  if (s.status == StoreStatus::Ok) return true;
  show_library_failure(LibOperation::Save,
                       s.full                             ? LibStatus::Full
                       : s.over_limit                     ? LibStatus::OverLimit
                       : s.status == StoreStatus::Damaged ? LibStatus::Damaged
                                                          : LibStatus::IoError,
                       prog.sys() / kDlPhFileName);
  return false;
}

void list_library(RodEngMapDisplay& w, LibraryKind kind, const fs::path& lib) {
  switch (kind) {
    case LibraryKind::Card: w.Load_Grid_Dat_sgt(lib); break;
    case LibraryKind::Electric: w.Load_Grid_Dat_Pow(lib); break;
    case LibraryKind::Wave: w.Load_Grid_Dat_Wav(lib); break;
  }
}

// Buttons 2, 3, 4 and 12: the browser shows one kind of test file and the library frame
// the matching library.
struct BrowseSetup {
  const char* frame1_caption;
  const char* pattern;
  const LibraryInfo* library;  // nullptr: the joint tests, no library
};

void browse(RodEngMapDisplay& w, const BrowseSetup& b) {
  w.st.frame1_caption = b.frame1_caption;
  w.File1->set_path(w.Dir1->path());
  w.File1->set_pattern(QString::fromUtf8(b.pattern));
  if (!b.library) {
    w.Frame2->setVisible(false);
    w.st.frame3_visible = true;
    w.st.frame3_enabled = false;
    w.st.R_iu.clear();
    w.st.CircleDot.clear();
    return;
  }
  w.Frame2->setVisible(true);
  w.st.frame3_visible = false;
  w.st.frame2_caption = b.library->caption;
  w.Frame2->setTitle(qs(w.st.frame2_caption));
  list_library(w, b.library->kind, w.program_folder().sys() / b.library->file_name);
}

// Button 7: the shown test into its library; after an append the library is listed.
void save_shown_test(RodEngMapDisplay& w) {
  TestState& st = w.st;
  if (st.read_sgt_dnt_org == kKindJoint) {
    store_joint_test(w, false);
    return;
  }
  LibraryKind kind;
  switch (st.read_sgt_dnt_org) {
    case kKindCard: kind = LibraryKind::Card; break;
    case kKindElectric: kind = LibraryKind::Electric; break;
    case kKindWave: kind = LibraryKind::Wave; break;
    default: return;
  }
  if (!confirm_doubtful_record(st) || !confirm_store(check_store(st, kind), "数据入库")) return;
  const LibraryInfo& lib = library_info(kind);
  const fs::path path = w.program_folder().sys() / lib.file_name;
  SaveResult r = kind == LibraryKind::Card       ? sgt_save_new(st, path)
                 : kind == LibraryKind::Electric ? Pow_save_new(st, path)
                                                 : Wav_Save_new(st, path);
  std::size_t result = 0;
  if (!save_checked(r, path, &result) || result == 0) return;
  st.frame2_caption = lib.caption;
  w.Frame2->setTitle(qs(st.frame2_caption));
  list_library(w, kind, path);
}

// Button 0: the record of the library row loaded last into a new single-test file.
void export_loaded_record(RodEngMapDisplay& w) {
  const LibraryInfo* lib = library_by_export_tooltip(w.st.image1_tooltip[0]);
  if (!lib) return;
  if (!confirm_doubtful_record(w.st)) return;
  if (is_safe_file_stem(trim_blanks(w.st.Text1[appended_box::kWell]), kTestFileSuffixBytes) && !confirm_store(check_store(w.st, lib->kind), "数据出库")) return;
  ExportResult r = export_current(w.st, w.program_folder(), lib->kind);
  w.File1->refresh();
  if (r.status != LibStatus::Ok)
    show_library_failure(LibOperation::Export, r.status, r.path.empty() ? w.program_folder().data() : r.path,
                         trim_blanks(w.st.Text1[appended_box::kWell]));
}

// The hand-over of a joint test to the counterbalance window.
void hand_over_balance(RodEngMapDisplay& w, QWidget* win) {
  auto* h = dynamic_cast<BalanceHandOver*>(win);
  if (!h) return;
  TestState& st = w.st;
  h->sh_ow(st.uus, st.iis, st.pps, st.qqs, st.sss, st.ggs, st.iu_num, st.dnt_rec.wiring_mode, st.read_sgt_dnt_org);
}

// The hand-over of a joint test to the single-well efficiency window.
void hand_over_efficiency(RodEngMapDisplay& w, QWidget* win) {
  auto* h = dynamic_cast<EfficiencyHandOver*>(win);
  if (!h) return;
  TestState& st = w.st;
  std::int16_t tx_main = 1;
  h->sh_ow(st.uus, st.iis, st.pps, st.qqs, st.sss, st.ggs, st.gt_num, st.iu_num, st.org_head.wiring_mode, tx_main,
           st.read_sgt_dnt_org);
}

}  // namespace

QWidget* RodEngMapDisplay::analysis_window(AnalysisWindow which) const {
  return analysis_windows_[static_cast<int>(which)];
}

QWidget* RodEngMapDisplay::show_analysis_window(AnalysisWindow which) {
  QPointer<QWidget>& win = analysis_windows_[static_cast<int>(which)];
  if (!win) {
    const AnalysisWindowFactory& make = analysis_windows()[which];
    if (!make) return nullptr;
    win = make(*this);
    if (!win) return nullptr;
  }
  win->show();
  win->raise();
  win->activateWindow();
  return win;
}

void RodEngMapDisplay::Image1_Click(int index) {
  sync_from_widgets();
  st.picture1_tooltip.clear();
  // A change of folder makes the file list follow it with the joint-test pattern.
  Dir1->set_path(program_folder().data());

  const bool joint = st.read_sgt_dnt_org == kKindJoint;
  // A failure inside a command ends that command and is said, so that it is not taken for
  // done; what was done before stays done.
  try {
    switch (index) {
      case 0:
        export_loaded_record(*this);
        break;
      case 1: {
        if (joint && !store_joint_test(*this, true)) break;
        sync_to_widgets();
        QWidget* win = show_analysis_window(AnalysisWindow::Balance);
        if (joint && win) hand_over_balance(*this, win);
        break;
      }
      case 2:
        browse(*this, {"联合测试文件", "*.o*", nullptr});
        break;
      case 3:
        browse(*this, {"电力曲线文件", "*.d*", &library_info(LibraryKind::Electric)});
        break;
      case 4:
        browse(*this, {"功图数据文件", "*.g*", &library_info(LibraryKind::Card)});
        break;
      case 12:
        browse(*this, {"波形分析文件", "*.x*", &library_info(LibraryKind::Wave)});
        break;
      case 5: {
        const QString p = File1->pattern();
        if (p != QLatin1String("*.x*") && p != QLatin1String("*.g*")) line_loss_view();
        break;
      }
      case 7:
        save_shown_test(*this);
        break;
      case 8:
        sync_to_widgets();
        print_marked_command();
        break;
      case 9: {
        if (joint) {
          draw_card();
          st.disp_state = 3;
          st.picture1_tooltip = kTipDrawPower;
          if (!store_joint_test(*this, true)) break;
        }
        sync_to_widgets();
        QWidget* win = show_analysis_window(AnalysisWindow::Efficiency);
        if (joint && win && (st.gt_num >= kMinStrokePoints || st.iu_num >= kMinStrokePoints))
          hand_over_efficiency(*this, win);
        break;
      }
      case 10: {
        XlsxWorkbookWriter writer;
        // The workbooks tell the user what was copied, opened or missing.
        std::ignore =
            run_report_workbooks(program_folder(), today_yyyymmdd(), &writer, *services().messages, *services().shell);
        break;
      }
      case 11:
        Picture1->canvas().cls();
        show_analysis_window(AnalysisWindow::Level);
        break;
      case 13:
        services().messages->show(kAboutText, kAboutTitle, MsgButtons::Ok, MsgIcon::Info);
        show_help();
        break;
      case 14:
        Picture1->canvas().cls();
        show_analysis_window(AnalysisWindow::Diagnosis);
        break;
      default:  // 6: the common steps only
        break;
    }
  } catch (const std::exception& e) {
    services().messages->show(std::string(kCommandFailedText) + e.what(), "", MsgButtons::Ok, MsgIcon::Warning);
  }
  Picture1->update();
  sync_to_widgets();
}

}  // namespace wb
