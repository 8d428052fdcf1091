// PhfxRecord: one saved counterbalance analysis, 2148 bytes, the record of sys/phfx.dat.
// It keeps the parameter boxes, the balance mode, the model and the curves of the stroke as
// Fourier coefficients, so that the analysis can be repeated without the test file.
//
// Layout: packed little-endian. I2 fields marked ×1000 hold the box value times 1000
// rounded half to even (−32.768 … 32.767); a value that does not fit is refused, never
// wrapped. Curves: per curve the sine block b(0..M-1) then the cosine block a(0..M-1); the
// save computes terms 0..30 (displacement 0..14) and leaves the last slot as the buffer
// held it; the reader sums every slot. Reserved bytes are kept as read. Keys are compared
// after removing blanks at both ends.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/balance/balance_analysis.h"
#include "core/common/bytes.h"
#include "core/common/key_match.h"
#include "core/common/listing_texts.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr std::size_t kPhfxRecordSize = 2148;
inline constexpr const char* kPhfxFileName = "phfx.dat";
// The counterbalance library as its messages name it.
inline constexpr const char* kPhfxLibraryName = "平衡分析数据库";
inline constexpr const char* kPhfxBackupName = "phfx_bak.dat";

struct PhfxRecord {
  struct CrankGroup {
    std::int16_t count = 0;   // blocks
    std::int16_t weight = 0;  // one block, kN ×1000
    std::int16_t pos = 0;     // position, m ×1000
    static constexpr std::size_t kSize = 6;
    static const RecordLayout<CrankGroup>& layout();
  };
  std::string well_name;             // 0, 16 bytes; key 1
  std::string test_date;             // 16, 12 bytes; key 2
  std::int16_t point_num = 0;        // 28, points per stroke
  std::int16_t crank_blocks = 0;     // 30, box 0
  std::int16_t crank_block_wt = 0;   // 32, box 1, kN ×1000
  std::int16_t crank_block_pos = 0;  // 34, box 2, m ×1000
  std::int16_t wiring_mode = 0;      // 36, 1..4
  float rms_current = 0;             // 38, A
  float rms_power = 0;               // 42, kW
  std::int16_t crank_pos_max = 0;    // 46, box 3, m ×1000
  std::int16_t crank_pos_min = 0;    // 48, box 24, m ×1000
  std::int16_t crank_spacing = 0;    // 50, box 25, m ×1000
  float crank_angle0 = 0;            // 52, box 26, degrees
  std::array<CrankGroup, 4> crank_group{};  // 56, boxes (14,13,12) … (23,22,21)
  std::int16_t balance_mode = 0;     // 80, 0 crank, 1 beam, 2 combined
  std::int16_t beam_front_arm = 0;   // 82, box 5, m ×1000
  std::int16_t act_stroke = 0;       // 84, box 27, m ×1000
  std::int16_t max_stroke = 0;       // 86, box 6, m ×1000
  std::int16_t balance_arm = 0;      // 88, box 7, m ×1000
  float balance_arm_angle = 0;       // 90, box 8, degrees
  std::int16_t beam_block_wt = 0;    // 94, box 9, kN ×1000
  std::int16_t beam_blocks = 0;      // 96, box 10
  std::int16_t beam_blocks_max = 0;  // 98, box 11
  std::array<std::uint8_t, 146> reserved_100{};  // 100
  std::array<float, 32> pp_sin{}, pp_cos{};  // 246, 374: active power, kW
  std::array<float, 32> qq_sin{}, qq_cos{};  // 502, 630: reactive power, kvar
  std::array<float, 32> ii_sin{}, ii_cos{};  // 758, 886: current, A
  std::array<float, 32> uu_sin{}, uu_cos{};  // 1014, 1142: voltage, V
  std::array<float, 16> ss_sin{}, ss_cos{};  // 1270, 1334: displacement, m
  std::array<float, 32> gg_sin{}, gg_cos{};  // 1398, 1526: load, kN
  std::string cyj_model;             // 1654, 30 bytes
  float gearbox_torque = 0;          // 1684, box 4, kN·m
  std::array<std::uint8_t, 460> reserved_1688{};  // 1688

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<PhfxRecord>& layout();
};

std::filesystem::path phfx_path(const ProgramFolder& prog);

// Fills the saved fields from the window: key, counts, parameters from the boxes, mode,
// model and the coefficients of the held stroke. Returns the caption of the first box whose
// value does not fit its field (the record is then partly filled and must not be written).
[[nodiscard]] std::optional<std::string> fill_phfx(PhfxRecord& rec, const HeldStroke& h, const ParameterBoxes& text2,
                                     BalanceMode mode, const std::string& model);

// The boxes a record shows: boxes 0..26 (empty where the record gives nothing), box 27
// only with a positive actual stroke, the model and the mode.
struct PhfxView {
  ParameterBoxes boxes;
  bool has_box27 = false;
  std::string cyj_model;
  int balance_mode = 0;
};
PhfxView phfx_view(const PhfxRecord& rec);

// Rebuilds the held stroke from a record: key, counts, RMS values and the six curves
// (copies of the electric ones as received). The kind of test is not changed.
void stroke_from_phfx(const PhfxRecord& rec, HeldStroke& h);

// ---- the library ----

// First record (1-based; 0 when none) of the trimmed key (KeyOccurrence::First); `rec` receives it.
StoreStatus find_phfx(const std::filesystem::path& lib, const std::string& well, const std::string& test,
                      PhfxRecord& rec, std::size_t& found);
StoreStatus read_phfx(const std::filesystem::path& lib, std::size_t r, PhfxRecord& rec);
// Whether a record of the library holds the key, compared as find_phfx does.
KeyMatch phfx_key_match(const std::string& well, const std::string& test);
// The trimmed well and test of every record (trimmed_key_listing, kept while the library is
// unchanged): what the lists and the print selection's grid show. Never null; empty unless Ok
// (a file beyond the record limit lists nothing).
StoreStatus phfx_listing(const std::filesystem::path& lib, std::shared_ptr<const KeyListing>& out);
// Trimmed well names, each once, in record order (none that `wells` holds already is added);
// test times of one well in record order. Both from phfx_listing.
StoreStatus phfx_wells(const std::filesystem::path& lib, std::vector<std::string>& wells);
StoreStatus phfx_tests(const std::filesystem::path& lib, const std::string& well, std::vector<std::string>& tests);
// Deletes records first..last and the record `row` (1-based; row 0 none) in one atomic
// rewrite of the library in its own folder (read into one buffer); bounds beyond the library
// are clipped and a reversed range is taken in order. A missing library is left missing.
StoreStatus delete_phfx_range(const std::filesystem::path& lib, std::size_t first, std::size_t last, std::size_t row);

// The summary record of the key in sys/DlPh.dat takes the crank counterweights of the boxes
// and the advice, or is appended with the key and zero results. Built in a local buffer.
StoreStatus save_balance_summary(const ProgramFolder& prog, const std::string& well, const std::string& test,
                                 const ParameterBoxes& text2, const std::string& advice);
// Whether a summary record holds the key, compared as save_balance_summary does.
KeyMatch balance_summary_key_match(const std::string& well, const std::string& test);

}  // namespace wb
