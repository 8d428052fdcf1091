// The level library sys/Dym.dat: fixed records of 20131 bytes numbered from 1, keyed by
// well name and test date compared after Trim_Blank_Nul on both sides. Saving a key that
// is there overwrites its record, otherwise appends. Deleting writes the other records
// into sys/Level_bak.dat and renames it over the library; a library found empty when it
// is listed is deleted. A library that is not a whole number of records is damaged: it is
// reported and never written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/listing_texts.h"
#include "core/common/paths.h"
#include "core/common/record_limit.h"
#include "core/common/record_store.h"
#include "core/level/dym_record.h"

namespace wb {

inline constexpr const char* kDymFile = "Dym.dat";
inline constexpr const char* kDymBackupFile = "Level_bak.dat";

struct LevelLibraryRow {
  std::string well_name;  // as stored, padding included
  std::string test_date;
};

// The rows of the grid packed: every record's well and test texts (decoded, padding kept)
// back to back in one block, so a library at the limit lists without a string a row.
using LevelListing = KeyListing;

class LevelLibrary {
 public:
  explicit LevelLibrary(const ProgramFolder& folder);
  const std::filesystem::path& path() const { return store_.path(); }
  std::filesystem::path backup_path() const;

  // The rows of the grid (load_grid_dat), reading only the key bytes of each record. An
  // empty file is deleted; a missing one lists nothing; one of more records than the limit
  // is refused (OverLimit) and lists nothing.
  LimitedStatus list(std::vector<LevelLibraryRow>& rows) const;
  // The same rows packed, kept while the library is unchanged (kept_record_keys): the grid
  // filled again after a save or a load lists from them. Never null.
  LimitedStatus listing(std::shared_ptr<const LevelListing>& out) const;
  StoreStatus read(int record, DymRecord& out) const;
  // Save_Level_Data: `record` receives the number written. A new key in a library that
  // holds the limit is refused (Full), as is any save into a file beyond it (OverLimit).
  LimitedStatus save(const DymRecord& rec, int& record);
  // sd_dat_save: one marker (x in picture points, stored x 1.2).
  StoreStatus save_marker(int record, LevelMarker m, float x);
  // ym_fs_save: the level depth and method, with the sound speed the method used.
  StoreStatus save_level(int record, float depth, std::int16_t method, float speed);
  // sc_num: removes a record through Level_bak.dat.
  StoreStatus remove(int record);

 private:
  template <class Change>
  StoreStatus update(int record, Change change);
  RecordStore store_;
};

// The record link after record `removed` was deleted: cleared (0) when it was the linked
// one, one lower when an earlier one went.
std::int16_t cur_rec_after_delete(std::int16_t cur_rec, int removed);

// The delete confirmation: "确实要删除 3号记录吗?" (a blank in the sign's place).
std::string delete_question(int record);

}  // namespace wb
