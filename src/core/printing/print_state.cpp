#include "core/printing/print_state.h"

#include <cmath>
#include <limits>

#include "core/common/number_text.h"

namespace wb {

std::optional<PaperSize> paper_size_mm(std::int16_t code, std::int16_t orientation) {
  PaperSize s;
  switch (code) {
    case kPaperA3: s = {297.0, 420.0}; break;
    case kPaperA4: s = {210.0, 297.0}; break;
    case kPaperB4: s = {250.0, 354.0}; break;
    case kPaperB5: s = {182.0, 257.0}; break;
    case kPaperFanfoldUS: s = {14.875 * 25.4, 11.0 * 25.4}; break;  // 377.825 x 279.4
    default: return std::nullopt;
  }
  if (orientation == kLandscape) std::swap(s.width_mm, s.height_mm);
  return s;
}

std::optional<std::int16_t> paper_code_for_text(std::string_view text) {
  if (text == kPaperTextA3) return kPaperA3;
  if (text == kPaperTextA4) return kPaperA4;
  if (text == kPaperTextB4) return kPaperB4;
  if (text == kPaperTextB5) return kPaperB5;
  return std::nullopt;
}

PrinterSettings& current_printer() {
  static PrinterSettings settings;
  return settings;
}

void PrintDlgState::set_standard_papers() {
  combo3_items = {kPaperTextA3, kPaperTextA4, kPaperTextB4, kPaperTextB5};
}

std::optional<std::string> PrintDlgState::combo3_item(std::size_t i) const {
  if (i >= combo3_items.size()) return std::nullopt;
  return combo3_items[i];
}

void print_dlg_load(PrintDlgState& dlg, const std::vector<std::string>& printers,
                    const std::string& default_printer_text) {
  dlg.combo1_items = printers;
  dlg.combo2_items = {"高", "中", "低", "草稿"};
  dlg.set_standard_papers();
  dlg.combo3_text = kPaperTextA4;
  dlg.combo2_text = "高";
  dlg.combo1_text = default_printer_text;
}

void print_dlg_ok(const PrintDlgState& dlg, PrinterSettings& printer, std::int16_t& copies) {
  for (std::size_t i = 0; i < dlg.combo1_items.size(); ++i) {
    if (dlg.combo1_items[i] == dlg.combo1_text) {
      printer.device_index = static_cast<int>(i);
      printer.device_name = dlg.combo1_items[i];
      break;
    }
  }
  for (std::size_t i = 0; i < dlg.combo2_items.size() && i < 4; ++i) {
    if (dlg.combo2_items[i] == dlg.combo2_text) {
      printer.quality = static_cast<std::int16_t>(static_cast<int>(i) - 4);
      break;
    }
  }
  // The paper text is compared once per item of the list: an empty list sets nothing.
  if (!dlg.combo3_items.empty()) {
    if (auto code = paper_code_for_text(dlg.combo3_text)) printer.paper_code = *code;
  }
  double zoom = std::nearbyint(num_val(dlg.text1));
  if (std::isfinite(zoom) && zoom >= std::numeric_limits<std::int32_t>::min() &&
      zoom <= std::numeric_limits<std::int32_t>::max())
    printer.zoom = static_cast<std::int32_t>(zoom);
  printer.orientation = dlg.option1 ? kLandscape : kPortrait;
  if (auto n = to_i16(num_val(dlg.text2))) copies = *n;
}

void print_dlg_cancel(std::int16_t& print_state) { print_state = kPrintCancelled; }

int copies_spin_for_text(std::string_view text) {
  double v = std::nearbyint(num_val(text));
  if (!std::isfinite(v) || v < 0) return 0;
  if (v > kCopiesSpinMax) return kCopiesSpinMax;
  return static_cast<int>(v);
}

std::string copies_text_for_spin(int position) { return std::to_string(position); }

std::optional<int> copies_from_text(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty() || text.size() > 5) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > kCopiesSpinMax) return std::nullopt;
  return n;
}

std::string printer_box_text(const std::vector<std::string>& printers, const std::string& default_printer) {
  if (printers.empty()) return kNoPrinterText;
  return default_printer.empty() ? printers.front() : default_printer;
}

std::string printer_box_text_again(const std::vector<std::string>& printers, const std::string& shown,
                                   const std::string& default_printer) {
  for (const std::string& p : printers)
    if (p == shown) return shown;
  return printer_box_text(printers, default_printer);
}

std::string printer_gone_message(const std::string& printer) {
  return "打印机“" + printer + "”已不存在，未打印。请重新选择打印机。";
}

std::string printer_refuses_message(const std::string& printer) {
  return "打印机“" + printer + "”不接受打印任务，未打印。";
}

std::string printer_paused_message(const std::string& printer) {
  return "打印机“" + printer + "”已暂停：打印任务已送到它的队列，在打印机恢复后才会打印。";
}

}  // namespace wb
