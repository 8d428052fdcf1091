// The statistics window's state without its widgets: the file shown (`cur_file`), the table
// as the grid shows it, the two boxes of the report, the field and value lists of the filter
// and its match list (`tj_jlh`), and the operations of the window's buttons. The window
// mirrors the grid and the boxes; every decision is here so it runs without a window.
//
//   load step:         load_library        (also the reload after a deletion of the library)
//   "打开":            open_file           (a damaged file is refused; nothing changes)
//   field chosen:      choose_field        (empties the match list, refills the value list)
//   value chosen:      choose_value        (rebuilds the match list)
//   "执行统计":        run_filter          (false: no condition, the caller asks for one)
//   right click:       deletion_question, then delete_confirmed and reload
//
// Every load empties the match list, so it never names records of another file or of
// earlier contents. The records parsed last are kept with the file's size and modification
// time: a load, a field or value choice or a filter that finds the file so works from them
// rather than reading and parsing it again. An empty library is deleted on load (the record-store convention); a
// file the user opened is never deleted or written by loading.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/common/file_identity.h"
#include "core/statistics/effi_stat_delete.h"
#include "core/statistics/effi_stat_table.h"

namespace wb {

// The filter field list's text before a field is chosen (the state and the window both set it).
inline constexpr const char* kPickText = "请选择";

class EffiStatState {
 public:
  explicit EffiStatState(std::filesystem::path library);

  const std::filesystem::path& library() const { return library_; }
  std::filesystem::path cur_file;
  StatGrid grid;
  std::string Text1;  // 制表单位, typed by the user
  std::string Text2;  // 制表日期, yyyymmdd
  std::vector<std::string> Combo1_items;
  std::string Combo1_text;  // kPickText until a field is chosen
  std::vector<std::string> Combo2_items;
  std::vector<int> tj_jlh;  // matched record numbers; its size is tj_jls
  // What the last load found damaged in the file it tabulated (the window names it once).
  std::vector<GtYmFinding> findings;

  int tj_jls() const { return static_cast<int>(tj_jlh.size()); }
  bool shows_library() const;

  // The load step: the field list reset, the library tabulated. Damaged when its length is
  // not whole records (the table then shows its headers only).
  StatFileStatus load_library(const std::string& today);
  // The open button with a chosen file. Damaged: refused, nothing changes.
  StatFileStatus open_file(const std::filesystem::path& file, const std::string& today);
  // The reload after a right click: the library through the load step; another file shown
  // is tabulated again as the open button does.
  StatFileStatus reload(const std::string& today);

  void choose_field(const std::string& field);
  void choose_value(const std::string& value);
  // The filtered table. Without a match list, or when the file shown can no longer be read
  // whole, nothing changes.
  enum class [[nodiscard]] Filter {
    Shown,        // the table shows the matched records
    NoCondition,  // no match list: nothing to show
    Damaged,      // the file is no longer whole records
    IoError,      // the file cannot be read
    OverLimit,    // the file holds more records than the limit now
  };
  Filter run_filter(const std::string& today);

  // The deletion of the confirmed rows from the file shown (see effi_stat_delete.h).
  StatDeleteStatus delete_confirmed(int a, int b, int r, int& removed);

 private:
  // The records of `file` as read_stat_records gives them, from the kept parse while the
  // file is unchanged.
  struct Parsed {
    bool valid = false;
    std::filesystem::path file;
    FileIdentity identity;
    StatFileStatus status = StatFileStatus::Empty;
    StatRecords records;
    std::vector<GtYmFinding> findings;
  };
  const Parsed& parsed(const std::filesystem::path& file);
  StatFileStatus tabulate(const std::filesystem::path& file, const std::string& today, bool refuse_damaged);
  std::filesystem::path library_;
  Parsed parsed_;
};

}  // namespace wb
