// Joint tests and the period frame: opening a raw joint test runs the pipeline in core; the
// period buttons, the typed period and Chk_Start act on the test state and redraw.
#include <QApplication>

#include "core/workbench/org_decode.h"
#include "platform/services_qt.h"
#include "ui/workbench/rod_eng_map_display.h"

namespace wb {
namespace {

constexpr const char* kAdjustCaptions[6] = {"-10", "-1", "+1", "+10", "高", "低"};
constexpr const char* kAdjustTips[6] = {"周期减少10点(0.2秒)", "周期减少1点(0.02秒)", "周期增加1点(0.02秒)",
                                        "周期增加10点(0.2秒)", "提高周期分析条件", "降低周期分析条件"};

}  // namespace

void RodEngMapDisplay::setup_period_frame() {
  for (int i = 0; i < 6; ++i) {
    if (!adjust[i]) continue;
    if (adjust[i]->text().isEmpty()) adjust[i]->setText(QString::fromUtf8(kAdjustCaptions[i]));
    adjust[i]->setToolTip(QString::fromUtf8(kAdjustTips[i]));
  }
}

void RodEngMapDisplay::open_joint_test(const std::filesystem::path& path) {
  setup_period_frame();
  sync_from_widgets();
  const std::optional<Refusal> refused = open_joint_test_file(st, path_text(path), joint_charts());
  Chk_Start->setEnabled(st.chk_start_enabled);
  Picture1->update();
  sync_to_widgets();
  if (refused) {
    services().messages->show(refused->message, kOrgRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
    return;
  }
  // A damaged file is shown for what it is worth, but the user learns at once what is wrong.
  if (!st.org_doubts.empty())
    services().messages->show(org_doubts_text(st.org_doubts, path_shown_text(path)), kOrgDoubtsTitle, MsgButtons::Ok,
                              MsgIcon::Warning);
}

void RodEngMapDisplay::adjust_Click(int index) {
  const bool rerun = index == 4 || index == 5;
  if (rerun) QApplication::setOverrideCursor(Qt::WaitCursor);
  sync_from_widgets();
  wb::adjust_Click(st, index, joint_charts());
  Chk_Start->setEnabled(st.chk_start_enabled);
  Picture1->update();
  sync_to_widgets();
  if (rerun) QApplication::restoreOverrideCursor();
}

void RodEngMapDisplay::CircleDot_KeyPress() {
  sync_from_widgets();
  if (wb::CircleDot_KeyPress(st, 13, joint_charts())) Picture1->update();
  sync_to_widgets();
}

void RodEngMapDisplay::Chk_Start_Click() {
  sync_from_widgets();  // the box's new state
  wb::Chk_Start_Click(st, joint_charts());
  Picture1->update();
  sync_to_widgets();
}

}  // namespace wb
