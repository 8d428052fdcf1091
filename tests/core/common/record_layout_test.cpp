// The field tables of the records: every field inside its record, no two fields on one byte,
// every byte of a whole record some field's, names given once. (Where each field lies is
// pinned by the stored bytes of record_bytes_test.cpp.)
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/balance/phfx_record.h"
#include "core/common/dlph_record.h"
#include "core/common/record_layout.h"
#include "core/common/test_records.h"
#include "core/design/engine/rod_design_record.h"
#include "core/diagnosis/bgt_record.h"
#include "core/records/gt_ym_record.h"
#include "core/efficiency/well_base_record.h"
#include "core/level/dym_record.h"
#include "core/level/level_file.h"

namespace wb {
namespace {

struct Checked {
  std::string name;
  std::size_t size;
  bool whole;
  std::vector<FieldInfo> fields;
  std::vector<std::string> problems;  // found by the check
};

template <class R>
Checked check(const char* name) {
  const RecordLayout<R>& l = R::layout();
  Checked c{name, l.size(), l.coverage() == LayoutCoverage::Whole, {}, {}};
  for (const FieldCodec<R>& f : l.fields()) c.fields.push_back(f.info);

  std::vector<const char*> owner(c.size, nullptr);
  std::set<std::string> names;
  for (const FieldInfo& f : c.fields) {
    if (!names.insert(f.name).second) c.problems.push_back(std::string(f.name) + " named twice");
    if (f.count == 0 || f.width == 0 || f.stride < f.width) {
      c.problems.push_back(std::string(f.name) + " has no bytes or overlaps itself");
      continue;
    }
    if (f.end() > c.size) {
      c.problems.push_back(std::string(f.name) + " ends at " + std::to_string(f.end()) + ", past the record");
      continue;
    }
    for (std::size_t k = 0; k < f.count; ++k)
      for (std::size_t i = f.at(k); i < f.at(k) + f.width; ++i) {
        if (owner[i]) c.problems.push_back(std::string(f.name) + " lies on " + owner[i] + " at " + std::to_string(i));
        owner[i] = f.name;
      }
  }
  if (c.whole)
    for (std::size_t i = 0; i < c.size; ++i)
      if (!owner[i]) {
        c.problems.push_back("byte " + std::to_string(i) + " is no field's");
        break;
      }
  return c;
}

std::vector<Checked> all_layouts() {
  return {
      check<SgtRecord>("SgtRecord"),
      check<DntRecord>("DntRecord"),
      check<XbtRecord>("XbtRecord"),
      check<OrgFileHeader>("OrgFileHeader"),
      check<DlPhRecord>("DlPhRecord"),
      check<PhfxRecord>("PhfxRecord"),
      check<PhfxRecord::CrankGroup>("PhfxRecord::CrankGroup"),
      check<WellBaseRecord>("WellBaseRecord"),
      check<WellBaseRecord::CrankGroup>("WellBaseRecord::CrankGroup"),
      check<GtYmRecord>("GtYmRecord"),
      check<BgtRecord>("BgtRecord"),
      check<design::RodDesignRecord>("RodDesignRecord"),
      check<DymRecord>("DymRecord"),
      check<LevelFileHeader>("LevelFileHeader"),
  };
}

TEST(RecordLayout, FieldsTileTheirRecord) {
  for (const Checked& c : all_layouts()) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.fields.empty());
    for (const std::string& p : c.problems) ADD_FAILURE() << p;
  }
}

}  // namespace
}  // namespace wb
