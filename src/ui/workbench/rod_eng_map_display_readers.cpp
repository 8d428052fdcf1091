// Card, electric and waveform tests from single-test files and library rows.
#include "core/common/paths.h"
#include "platform/services_qt.h"
#include "ui/workbench/rod_eng_map_display_libs.h"

namespace wb {

ReaderCharts reader_charts(RodEngMapDisplay& w) {
  ReaderCharts c;
  c.RodEngMapDisplay_G = [&w](TestState&, int points) { w.draw_card_points(points); };
  c.iup_line_form = [&w](TestState&, int period) { w.draw_electric_curves(period); };
  c.draw_xbt_1 = [&w](TestState&, float xx, float yy) { w.draw_xbt_1(xx, yy); };
  c.refresh_picture = [&w] { w.Picture1->update(); };
  return c;
}

void show_library_failure(LibOperation op, LibStatus status, const std::filesystem::path& path,
                          std::string_view well) {
  if (status == LibStatus::Ok) return;
  UserMessage m = library_failure_message(op, status, path, well);
  services().messages->show(m.text, m.title, MsgButtons::Ok, MsgIcon::Warning);
}

void show_read_failure(LibraryKind kind, ReadStatus status, const std::filesystem::path& path,
                       RecordSource source) {
  const std::string text = read_failure_text(kind, status, path, source);
  if (!text.empty()) services().messages->show(text, kRecordRefusedTitle, MsgButtons::Ok, MsgIcon::Warning);
}

void show_record_findings(const TestState& st, ReadStatus status, LibraryKind kind, const RecordFindings& f,
                          const std::filesystem::path& path) {
  if (status == ReadStatus::Unusable) {
    services().messages->show(record_refusal_message(kind, f, path), kRecordRefusedTitle, MsgButtons::Ok,
                              MsgIcon::Warning);
    return;
  }
  // A doubtful record is shown for what it is worth, but the user learns at once what is wrong.
  if (status == ReadStatus::Ok && !st.record_doubts.empty())
    services().messages->show(record_doubts_message(st), kRecordDoubtsTitle, MsgButtons::Ok, MsgIcon::Warning);
}

void open_stored(RodEngMapDisplay& w, LibraryKind kind, const std::filesystem::path& path, long long rec,
                 RecordSource source) {
  w.sync_from_widgets();
  RecordFindings f;
  ReadStatus s = open_stored_test(w.st, kind, path, rec, source, reader_charts(w), &f);
  // The path box names the file of the test on screen: a refused file leaves both as they were.
  if (s == ReadStatus::Ok) w.st.Text2 = path_text(path);
  w.Picture1->update();
  w.sync_to_widgets();
  show_read_failure(kind, s, path, source);
  show_record_findings(w.st, s, kind, f, path);
}

void RodEngMapDisplay::open_card_file(const std::filesystem::path& path) {
  open_stored(*this, LibraryKind::Card, path, 1, RecordSource::SingleTestFile);
}

void RodEngMapDisplay::open_electric_file(const std::filesystem::path& path) {
  open_stored(*this, LibraryKind::Electric, path, 1, RecordSource::SingleTestFile);
}

void RodEngMapDisplay::open_wave_file(const std::filesystem::path& path) {
  open_stored(*this, LibraryKind::Wave, path, 1, RecordSource::SingleTestFile);
}

}  // namespace wb
