// WellBaseRecord: the well base data of one well test, 2000 bytes, the record of
// sys/wellbase.dat. Two windows write the same record of a test, each only its own fields:
// the efficiency window the well, production, rod-string data and the curves of one stroke
// (writer S: Save_Well_Base), the counterbalance window the pumping-unit model and the
// counterweights (writer B: Save_WellBase). A save of one window keeps the other's fields.
//
// Layout: packed little-endian; I2 fields marked ×f hold the value times f rounded to the
// nearest integer (halves to even) and refuse a value that does not fit 16 bits; text
// fields are GBK padded with blanks; curves are Fourier coefficient blocks, sine block
// b(0..M-1) then cosine block a(0..M-1) (a(0) twice the mean, b(0) 0). Reserved bytes are
// kept as read. A text field read back keeps its padding; keys are compared after removing
// blanks at both ends (trim_blanks), case-sensitively.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/bytes.h"
#include "core/common/key_match.h"
#include "core/common/messages.h"
#include "core/common/paths.h"
#include "core/common/record_store.h"
#include "core/common/refusal.h"
#include "core/common/services.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr std::size_t kWellBaseRecordSize = 2000;
inline constexpr const char* kWellBaseFileName = "wellbase.dat";
// The well base library as its messages name it.
inline constexpr const char* kWellBaseLibraryName = "井基础数据库";

// The efficiency window's 49 boxes Text1(0..48) as text (the same type as the window
// state's box array).
using EffiBoxTexts = std::array<std::string, 49>;
// The counterbalance window's 28 parameter boxes Text2(0..27) as text.
inline constexpr std::size_t kBalanceBoxCount = 28;
using BalanceBoxTexts = std::array<std::string, kBalanceBoxCount>;

struct WellBaseRecord {
  // One crank counterweight group.
  struct CrankGroup {
    std::int16_t count = 0;   // blocks in the group
    std::int16_t weight = 0;  // weight of one block, kN ×1000
    std::int16_t pos = 0;     // position, m ×1000
    static constexpr std::size_t kSize = 6;
    static const RecordLayout<CrankGroup>& layout();
  };

  std::string well_name;                      // 0, 16 bytes; key 1 (S, B)
  std::string test_date;                      // 16, 12 bytes; key 2 (S, B)
  std::int16_t point_num = 0;                 // 28, points per stroke of the stored curves (S)
  std::int16_t sys_effi = 0;                  // 30, system efficiency, % ×100 (S)
  std::string cyj_model;                      // 32, 30 bytes, pumping-unit model (S, B)
  std::string motor_model;                    // 62, 16 bytes (S)
  std::int16_t real_stroke = 0;               // 78, measured stroke, m ×1000 (S)
  std::int16_t crank_blocks = 0;              // 80, crank blocks (B)
  std::int16_t crank_block_wt = 0;            // 82, average crank block weight, kN ×1000 (B)
  std::int16_t crank_block_pos = 0;           // 84, average crank block position, m ×1000 (B)
  std::int16_t wiring_mode = 0;               // 86, 1..4 (S)
  std::array<std::uint8_t, 4> reserved_88{};  // 88
  std::array<std::uint8_t, 4> reserved_92{};  // 92
  std::string block_unit;                     // 96, 20 bytes, block / production unit (S)
  std::int16_t pump_dia = 0;                  // 116, pump bore, mm (S)
  float liquid_rate = 0;                      // 118, daily liquid, t/d (S)
  std::int16_t water_cut = 0;                 // 122, % ×10 (S)
  std::int16_t oil_rate = 0;                  // 124, daily oil, t/d ×100 (S)
  std::int16_t gas_oil_ratio = 0;             // 126, m3/t (S)
  float viscosity = 0;                        // 128, mPa.s (S)
  std::int16_t wellhead_temp = 0;             // 132, °C ×100 (S)
  float rod_len_1 = 0;                        // 134, 1 in rods, m (S)
  float rod_len_7_8 = 0;                      // 138, 7/8 in rods, m (S)
  float rod_len_3_4 = 0;                      // 142, 3/4 in rods, m (S)
  float rod_len_5_8 = 0;                      // 146, 5/8 in rods, m (S)
  float liquid_density = 0;                   // 150, t/m3 (S)
  std::int16_t tubing_press = 0;              // 154, MPa ×1000 (S)
  std::int16_t casing_press = 0;              // 156, MPa ×1000 (S)
  float fluid_level = 0;                      // 158, dynamic fluid level, m (S)
  float pump_depth = 0;                       // 162, pump setting depth, m (S)
  std::int16_t nom_stroke = 0;                // 166, nominal stroke, m ×1000 (S)
  std::int16_t nom_spm = 0;                   // 168, nominal strokes per minute ×100 (S)
  std::array<std::uint8_t, 8> reserved_170{};  // 170
  std::int16_t theo_max_load = 0;             // 178, kN ×100 (S)
  std::int16_t theo_min_load = 0;             // 180, kN ×100 (S)
  std::int16_t reserved_182 = 0;              // 182
  std::int16_t crank_pos_max = 0;             // 184, largest crank block position, m ×1000 (B)
  std::int16_t gearbox_torque = 0;            // 186, gearbox rated torque, kN·m (B)
  std::int16_t beam_front_arm = 0;            // 188, m ×1000 (B)
  std::int16_t max_stroke = 0;                // 190, largest stroke of the unit, m ×1000 (B)
  std::int16_t balance_arm = 0;               // 192, m ×1000 (B)
  std::int16_t balance_arm_angle = 0;         // 194, degrees (B)
  std::int16_t beam_block_wt = 0;             // 196, beam block weight, kN ×1000 (B)
  std::int16_t beam_blocks = 0;               // 198, beam blocks installed (B)
  std::int16_t beam_blocks_max = 0;           // 200, most beam blocks that fit (B)
  std::int16_t reserved_202 = 0;              // 202
  float rod_len_1_1_8 = 0;                    // 204, 1-1/8 in rods, m (S)
  float sinker_len = 0;                       // 208, sinker-bar length, m (S)
  std::int16_t sinker_dia = 0;                // 212, sinker-bar diameter, mm (S)
  std::int16_t crank_pos_min = 0;             // 214, smallest crank block position, m ×1000 (B)
  std::int16_t crank_spacing = 0;             // 216, spacing of blocks on one side, m ×1000 (B)
  float crank_angle0 = 0;                     // 218, initial crank angle, degrees (B)
  std::array<CrankGroup, 4> crank_group{};    // 222, 4 × (count, weight, position) (B)
  std::int16_t balance_mode = 0;              // 246, 0 crank, 1 beam, 2 combined (B)
  std::int16_t act_stroke = 0;                // 248, actual stroke, m ×1000 (B)
  std::array<std::uint8_t, 134> reserved_250{};  // 250
  std::array<float, 16> ss_sin{}, ss_cos{};   // 384, 448: displacement, m (S)
  std::array<float, 32> pp_sin{}, pp_cos{};   // 512, 640: active power, kW (S)
  std::array<float, 32> gg_sin{}, gg_cos{};   // 768, 896: load, kN (S)
  std::array<float, 32> ii_sin{}, ii_cos{};   // 1024, 1152: current, A (S)
  std::array<float, 32> uu_sin{}, uu_cos{};   // 1280, 1408: voltage, V (S)
  std::array<std::uint8_t, 464> reserved_1536{};  // 1536

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  // Whether the record holds electric curves: twice the mean voltage above 10 V.
  bool has_electric_curves() const { return uu_cos[0] > 10.0f; }
  static const RecordLayout<WellBaseRecord>& layout();
};

std::filesystem::path well_base_path(const ProgramFolder& prog);

// First record (1-based, 0 when none) whose trimmed key equals the trimmed well and test
// texts as they would be stored (a text longer than its field matches by its stored part).
// `rec` receives the match. Damaged when the library's length is not whole records.
StoreStatus find_well_base(const std::filesystem::path& lib, const std::string& well, const std::string& test,
                           WellBaseRecord& rec, std::size_t& found);
// Whether a record holds that key (for the record limit's check of a save).
KeyMatch well_base_key_match(const std::string& well, const std::string& test);

enum class [[nodiscard]] SaveOutcome {
  Saved,       // written (record, appended say where)
  Declined,    // the user answered No to the overwrite question; nothing written
  OutOfRange,  // a value does not fit its 16-bit field (field names it); nothing written
  Damaged,     // the library's length is not whole records; nothing written
  IoError,     // the library could not be read or replaced; the old file stays
  Full,        // a new key in a library at the record limit, or a file beyond it; nothing written
};

struct [[nodiscard]] WellBaseSaveResult {
  SaveOutcome outcome = SaveOutcome::Saved;
  std::size_t record = 0;  // the record written (1-based)
  bool appended = false;
  std::string field;       // OutOfRange: the caption of the box whose value does not fit
};

// ---- Efficiency window (writer S, reader Get_Well_Base) ----

// What Save_Well_Base stores: the efficiency window's boxes and the curves of one stroke.
// The curve spans hold at least gt_num (card) or iu_num (electric) samples; a shorter span
// skips that curve block.
struct EffiWellBaseSource {
  EffiBoxTexts boxes;
  int gt_num = 0;  // card points per stroke
  int iu_num = 0;  // electric points per stroke
  int cs_fs = 0;   // wiring mode 1..4
  std::span<const float> sss, ggs;       // displacement m, load kN
  std::span<const float> uus, iis, pps;  // voltage V, current A, active power kW
};

// Sets the S fields of `rec` from the source: texts trimmed, numbers parsed from the box
// text (empty or non-numeric is 0), point_num := iu_num, wiring_mode := cs_fs; card
// coefficients (16 displacement, 32 load terms) when gt_num >= 200, electric ones (32 terms
// each) when iu_num >= 200; the blocks of a curve not stored are zeroed. Returns the caption
// of the first box whose value does not fit its 16-bit field (rec then partly filled).
[[nodiscard]] std::optional<std::string> fill_well_base_effi(WellBaseRecord& rec, const EffiWellBaseSource& src);

// The question before a test's stored records are overwritten (title kWarningTitle), asked by
// the efficiency window's save and the well base store: the trimmed well, then "井本次测试已有记录，要覆盖吗？".
inline std::string test_overwrite_question(const std::string& well) { return well + "井本次测试已有记录，要覆盖吗？"; }
// A library of the efficiency window's save that could not be written (title kSaveTitle):
// what it holds, then its file; it keeps what it held.
inline std::string library_not_written_text(const std::string& what, const std::string& path) {
  return what + "未能写入 " + path + "，原有数据保持不变。";
}

// Stores the source under trimmed box 0 + box 23. An existing record asks first
// (test_overwrite_question) and keeps its B fields; a new record starts
// cleared. A value beyond its field is refused with a message naming the box, a damaged
// library with "非法的文件格式!"/"不能打开!", a failed write with a message; the library is
// then left as it was. A new key in a library at the record limit, or a library beyond it,
// is refused (SaveOutcome::Full) with library_full_text or over_limit_text.
// `ask_overwrite` false: the caller has asked already.
WellBaseSaveResult Save_Well_Base(const ProgramFolder& prog, const EffiWellBaseSource& src, MessageService& msg,
                                  bool ask_overwrite = true);

// What Get_Well_Base takes from the record of a test.
struct WellBaseCurves {
  bool found = false;  // a record of the key exists (counts and wiring mode valid)
  int gt_num = 0;      // := point_num
  int iu_num = 0;      // := point_num
  int cs_fs = 0;       // := wiring_mode
  bool has_curves = false;  // uu_cos[0] > 10: the curves below were rebuilt
  // Rebuilt by Fourier_Synth, indices 0..count (the last one 0): uus, iis, pps over iu_num
  // points with 32 terms, ggs over gt_num with 32, sss over gt_num with 16. qqs is not rebuilt.
  std::vector<float> uus, iis, pps, ggs, sss;
  // Set when the record's count or curves are damaged (a count beyond the 3000 samples of a
  // stroke, a coefficient that is no number or beyond any curve): nothing of the stroke is
  // taken (counts 0, no curves) and this names what is wrong for the user.
  std::string damage;
  // The record's doubtful fields (well_base_doubts) when its stroke was taken: the window
  // names them (well_base_doubts_text, title kWellBaseDoubtsTitle).
  std::vector<std::string> doubts;
};
inline constexpr const char* kWellBaseDamagedTitle = "井基础数据已损坏";
// What makes the record's stroke unusable (see WellBaseCurves::damage); no value when sound.
[[nodiscard]] std::optional<Refusal> well_base_curve_damage(const WellBaseRecord& rec);
WellBaseCurves Get_Well_Base(const ProgramFolder& prog, const std::string& well, const std::string& test);

// The fields of a record that neither window writes: a value beyond what its quantity can
// be, control characters in a text, a damaged stroke (well_base_curve_damage). One line
// each; empty when the record is sound. The limits are the table in well_base_checks.cpp.
std::vector<std::string> well_base_doubts(const WellBaseRecord& rec);
// The message naming them (shown when the record is taken, and before one is stored).
std::string well_base_doubts_text(const std::vector<std::string>& doubts, const std::string& path);
inline constexpr const char* kWellBaseDoubtsTitle = "井基础数据可能已损坏";
// The doubts of the record Save_Well_Base would write for `src` (the stored record of the
// key with the source's fields set, or a cleared one); empty when sound, or when the
// library cannot be read or a value does not fit (the save itself reports those).
std::vector<std::string> well_base_save_doubts(const ProgramFolder& prog, const EffiWellBaseSource& src);

// ---- Counterbalance window (writer B, reader Get_Dat_From_WellBase) ----

struct BalanceWellBaseSource {
  std::string Cur_Well;        // well number
  std::string Cur_Test;        // test time
  BalanceBoxTexts Text2;       // parameter boxes 0..27
  std::string Comb_Cyj_Mode;   // model text of the list
  int balance_mode = 0;        // 0 crank, 1 beam, 2 combined (selected Option1)
};

// Sets the B fields of `rec` (key, model through Trim_Blank_Nul, counterweights, mode).
// Returns the label of the first box whose value does not fit its field.
std::optional<std::string> fill_well_base_balance(WellBaseRecord& rec, const BalanceWellBaseSource& src);

// Stores the balance fields under Cur_Well + Cur_Test without a question, keeping the S
// fields of an existing record; a new record starts cleared. Failures as Save_Well_Base.
WellBaseSaveResult Save_WellBase(const ProgramFolder& prog, const BalanceWellBaseSource& src, MessageService& msg);

// What Get_Dat_From_WellBase shows: when found, the model text for Comb_Cyj_Mode (set it
// first: its change handler writes boxes 6 and 4, which `boxes` then overwrites), the texts
// of balance boxes 0..26 (empty where the record gives nothing), box 27 only when the record
// holds a positive actual stroke, and the mode for Option1_Click.
struct BalanceWellBaseView {
  bool found = false;
  std::string cyj_model;
  std::array<std::string, 27> boxes;
  std::optional<std::string> box27;
  int balance_mode = 0;
  // The record's doubtful fields (well_base_doubts): the window names them when it shows it.
  std::vector<std::string> doubts;
};
BalanceWellBaseView balance_view_of(const WellBaseRecord& rec);
BalanceWellBaseView Get_Dat_From_WellBase(const ProgramFolder& prog, const std::string& Cur_Well,
                                          const std::string& Cur_Test);

// A key text as stored in a field of `width` bytes, blanks trimmed at both ends.
std::string stored_blank_key(const std::string& text, std::size_t width);

}  // namespace wb
