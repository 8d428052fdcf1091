// DlPhRecord: the power/balance summary of one well test, 1264 bytes, the record of
// sys/DlPh.dat. Three windows write the same record of a test, each only its own fields:
// the main window the energy indicators, the efficiency window the models, strokes and
// efficiencies, the counterbalance window the counterweights and the advice.
//
// The shared buffer DlPh_Rec lives in DataType, the one instance the program's windows
// share (tests make their own). The energy values DnCs it copies are TestState::DnCs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/common/bytes.h"
#include "core/common/key_match.h"

namespace wb {

template <class R>
class RecordLayout;

inline constexpr const char* kDlPhFileName = "DlPh.dat";  // in sys/
// The summary library as its messages name it.
inline constexpr const char* kDlPhLibraryName = "功率平衡汇总库DlPh.dat";
inline constexpr std::size_t kDlPhRecordSize = 1264;

struct DlPhRecord {
  std::string well_name;                  // 0, 16 bytes; key 1
  std::string test_date;                  // 16, 12 bytes; key 2
  std::string cyj_model;                  // 28, 30 bytes: pumping-unit model
  std::string motor_model;                // 58, 16 bytes
  float real_stroke = 0;                  // 74, measured stroke, m
  float real_spm = 0;                     // 78, measured strokes per minute, 1/min
  std::int16_t crank_blocks = 0;          // 82, crank counterweight blocks
  float crank_block_pos = 0;              // 84, average block position, m
  float crank_block_wt = 0;               // 88, average weight of one block, kN
  std::array<std::uint8_t, 4> reserved_92{};  // 92
  std::string balance_advice;             // 96, 600 bytes: adjustment advice in words
  std::array<float, 16> dn_cs{};          // 696: [0] pump efficiency %, [1..15] energy indicators
  float sys_effi = 0;                     // 760, system efficiency, %
  std::array<std::uint8_t, 500> reserved_764{};  // 764, never set; kept as read
  // The text fields' bytes as read, written back while their text is unchanged, so the
  // fields a window does not own keep their bytes through its save.
  std::array<std::uint8_t, 16> well_name_raw{};
  std::array<std::uint8_t, 12> test_date_raw{};
  std::array<std::uint8_t, 30> cyj_model_raw{};
  std::array<std::uint8_t, 16> motor_model_raw{};
  std::array<std::uint8_t, 600> balance_advice_raw{};

  Bytes encode() const;
  // False (record unchanged) when `b` is shorter than a record.
  [[nodiscard]] bool decode(const Bytes& b);
  static const RecordLayout<DlPhRecord>& layout();
};

// Module Data_Type: the summary buffer shared by the main, efficiency and counterbalance
// windows. Every writer reads records into it while searching, so between saves it holds
// the last record read.
struct DataType {
  DlPhRecord DlPh_Rec;
};

// The program's one instance (its windows share it); tests build their own DataType.
DataType& data_type();

// Whether a stored summary record is the one of `well` and `test`, given as stored keys
// (record_key or stored_key of the typed texts): its two key fields, trimmed of blanks and
// NULs, are those texts. Compares the key fields' bytes only (key_match.h).
KeyMatch dlph_key_match(const std::string& well, const std::string& test);

}  // namespace wb
