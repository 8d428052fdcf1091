// The print settings every printing window shares: the two protocol variables
// Print_State and Print_Copies, the settings of the current printer (device, quality,
// paper-size code, zoom, orientation), and the print-settings dialog's controls as plain
// data with its load, OK and Cancel steps, so that the dialog's rules run without a window.
//
// Paper-size codes as the settings store them: 8 A3, 9 A4, 12 B4, 13 B5 and 39 US
// standard fan-fold (14 7/8 x 11 in). Quality -4 high ... -1 draft; orientation 1
// portrait, 2 landscape.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wb {

inline constexpr std::int16_t kPaperA3 = 8;
inline constexpr std::int16_t kPaperA4 = 9;
inline constexpr std::int16_t kPaperB4 = 12;
inline constexpr std::int16_t kPaperB5 = 13;
inline constexpr std::int16_t kPaperFanfoldUS = 39;

inline constexpr std::int16_t kQualityHigh = -4;
inline constexpr std::int16_t kQualityMedium = -3;
inline constexpr std::int16_t kQualityLow = -2;
inline constexpr std::int16_t kQualityDraft = -1;

inline constexpr std::int16_t kPortrait = 1;
inline constexpr std::int16_t kLandscape = 2;

// Print_State values: a caller sets kPrintPending before showing the dialog; Cancel (and,
// here, closing the dialog window) sets kPrintCancelled; anything else means print.
inline constexpr std::int16_t kPrintPending = -1;
inline constexpr std::int16_t kPrintCancelled = 2;

// The paper box texts. The fan-fold text is put there by callers; the dialog never maps it.
inline constexpr const char* kPaperTextA3 = "A3, 297 x 420 毫米";
inline constexpr const char* kPaperTextA4 = "A4, 210 x 297 毫米";
inline constexpr const char* kPaperTextB4 = "B4, 250 x 354 毫米";
inline constexpr const char* kPaperTextB5 = "B5, 182 x 257 毫米";
inline constexpr const char* kPaperTextFanfold = "宽行打印纸(381)";

inline constexpr const char* kPrintDlgCaption = "打印对话框";

// Shared protocol state; both 0 at start-up.
inline std::int16_t Print_State = 0;
inline std::int16_t Print_Copies = 0;

struct PaperSize {
  double width_mm = 0;
  double height_mm = 0;
};

// The sheet of a paper code as the printer lays it out: portrait is the size as the code
// defines it (fan-fold is 377.8 mm wide and 279.4 mm high), landscape swaps the sides.
// Empty for a code the system does not use.
std::optional<PaperSize> paper_size_mm(std::int16_t code, std::int16_t orientation);

// The paper code of one of the dialog's four paper texts; empty for any other text.
[[nodiscard]] std::optional<std::int16_t> paper_code_for_text(std::string_view text);

// Settings of the current printer. device_index -1 (and an empty name) is the system's
// default printer.
struct PrinterSettings {
  int device_index = -1;
  std::string device_name;
  std::int16_t quality = kQualityHigh;
  std::int16_t paper_code = kPaperA4;
  std::int32_t zoom = 100;  // percent
  std::int16_t orientation = kPortrait;

  std::optional<PaperSize> page_mm() const { return paper_size_mm(paper_code, orientation); }
};

// The current printer of the program: the dialog's OK writes it, callers set paper and
// orientation per copy, and the platform printer applies it when a page starts.
PrinterSettings& current_printer();

// The dialog's controls. Every combo box has an editable text besides its list.
struct PrintDlgState {
  std::vector<std::string> combo1_items;  // installed printers, platform order
  std::string combo1_text;
  std::vector<std::string> combo2_items;  // quality
  std::string combo2_text;
  std::vector<std::string> combo3_items;  // paper
  std::string combo3_text;
  bool combo3_enabled = true;
  bool option1 = false;        // "横向" selected; "纵向" (Option2) otherwise
  std::string text1 = "100";   // zoom, percent
  std::string text2 = "1";     // copies
  int vscroll1 = 0;            // copies spin, 0..32767

  // Refill the paper box with the dialog's own four papers.
  void set_standard_papers();
  // Item i of the paper box, or empty when the list has no such item.
  std::optional<std::string> combo3_item(std::size_t i) const;
};

inline constexpr int kCopiesSpinMax = 32767;

// Form_Load: the printers, the quality and paper lists and their preset texts; the printer
// box shows `default_printer_text` (what the registry read answered).
void print_dlg_load(PrintDlgState& dlg, const std::vector<std::string>& printers,
                    const std::string& default_printer_text);

// OK (after the window is hidden): applies printer, quality, paper, zoom and orientation to
// `printer` and sets `copies`. Texts that match no item leave their setting unchanged; a
// zoom or copies number that does not fit its integer leaves that value unchanged.
void print_dlg_ok(const PrintDlgState& dlg, PrinterSettings& printer, std::int16_t& copies);

// Cancel: no setting changes; the protocol state becomes "cancelled".
void print_dlg_cancel(std::int16_t& print_state);

// Text2_Change: the spin position for a copies text (the leading number, rounded, kept in
// the spin's range 0..32767).
int copies_spin_for_text(std::string_view text);
// VScroll1_Change: the copies text for a spin position.
std::string copies_text_for_spin(int position);

// The copies box as OK takes it: a whole number from 1 to 32767 (blanks around it allowed);
// anything else is refused with kCopiesRefusedMessage.
[[nodiscard]] std::optional<int> copies_from_text(std::string_view text);
inline constexpr const char* kCopiesRefusedMessage = "打印份数应为1～32767的整数，请重新输入。";

// What the printer box shows when the printing system knows no printer: the pages then go
// to a PDF file the user names.
inline constexpr const char* kNoPrinterText = "PDF 文件（未安装打印机）";
// The printer box's text at load: the default printer the printing system names, else the
// first installed one, else kNoPrinterText.
std::string printer_box_text(const std::vector<std::string>& printers, const std::string& default_printer);
// The printer box's text when the dialog opens again over a list read afresh: the user's
// choice `shown` while that printer is still installed, else as at load.
std::string printer_box_text_again(const std::vector<std::string>& printers, const std::string& shown,
                                   const std::string& default_printer);

// Why a job did not go to the printer the user chose.
std::string printer_gone_message(const std::string& printer);     // no longer installed
std::string printer_refuses_message(const std::string& printer);  // its queue takes no jobs
std::string printer_paused_message(const std::string& printer);   // its queue holds the jobs

}  // namespace wb
