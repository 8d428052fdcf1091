// The glossary's tables of the efficiency boxes and the statistics columns agree with the
// efficiency record's field table: which field each box fills and each column shows, in
// which unit, under which header.
#include "core/records/gt_ym_fields.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/statistics/effi_stat_table.h"

namespace wb {
namespace {

std::string read_glossary() {
  std::ifstream in(std::string(WB_DOCS_DIR) + "/GLOSSARY.md");
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string trimmed(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The rows of the table under `heading`, keyed by their first cell (a number), each row's
// cells trimmed. Rows end at the first line that is not a table row.
std::map<int, std::vector<std::string>> table_under(const std::string& text, const std::string& heading) {
  std::map<int, std::vector<std::string>> rows;
  std::size_t at = text.find(heading);
  if (at == std::string::npos) return rows;
  std::istringstream in(text.substr(at));
  std::string line;
  std::getline(in, line);  // the heading
  bool in_table = false;
  while (std::getline(in, line)) {
    if (line.empty() && !in_table) continue;
    if (line.empty() || line[0] != '|') break;
    in_table = true;
    std::vector<std::string> cells;
    std::size_t p = 1;
    for (std::size_t q; (q = line.find('|', p)) != std::string::npos; p = q + 1) cells.push_back(trimmed(line.substr(p, q - p)));
    if (cells.empty() || cells[0].empty() || cells[0].find_first_not_of("0123456789") != std::string::npos) continue;
    rows[std::stoi(cells[0])] = cells;
  }
  return rows;
}

// How the glossary names row i's field: the member, or vals[k].
std::string field_label(std::size_t i) {
  return i < kGtYmFirstVal ? kGtYmFields[i].name : "vals[" + std::to_string(i - kGtYmFirstVal) + "]";
}

TEST(GtYmFields, GlossaryBoxesNameTheFieldAndUnitOfTheTable) {
  const auto rows = table_under(read_glossary(), "### `Text1` — efficiency boxes");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kEffiBoxCount));
  for (std::size_t i = 0; i < kGtYmFieldCount; ++i) {
    const GtYmField& f = kGtYmFields[i];
    SCOPED_TRACE(f.name);
    // index | caption | unit | meaning | record field | name
    const auto& box = rows.at(f.box);
    ASSERT_EQ(box.size(), 6u);
    if (f.box2 == kNoBox) {
      EXPECT_EQ(box[4], "`" + field_label(i) + "`");
      const std::string u = f.unit;
      EXPECT_EQ(box[2], f.form == GtYmForm::Pair ? u + " \"/\" " + u : u);
    } else {
      EXPECT_EQ(box[4], "`" + field_label(i) + "` before \"/\"");
      EXPECT_EQ(box[2], f.unit);
      const auto& second = rows.at(f.box2);
      EXPECT_EQ(second[4], "`" + field_label(i) + "` after \"/\"");
      EXPECT_EQ(second[2], f.unit2);
    }
  }
}

TEST(GtYmFields, GlossaryColumnsNameTheFieldAndHeaderOfTheTable) {
  const auto rows = table_under(read_glossary(), "### `Grid1` columns");
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kStatColCount));
  for (int c = 0; c < kStatColCount; ++c) {
    SCOPED_TRACE(c);
    // column | header | unit | record field | name
    const auto& row = rows.at(c);
    ASSERT_EQ(row.size(), 5u);
    const StatColumn& col = kStatColumns[static_cast<std::size_t>(c)];
    EXPECT_EQ(row[1], "\"" + std::string(col.caption) + "\"");
    EXPECT_EQ(row[2], col.unit);
    const std::size_t field = kStatColField[static_cast<std::size_t>(c)];
    if (field == kNoField) {
      EXPECT_EQ(row[3].find('`'), std::string::npos);
      continue;
    }
    // The field comes first in the cell, a description may follow.
    EXPECT_EQ(row[3].substr(0, row[3].find(' ')), "`" + field_label(field) + "`");
  }
}

}  // namespace
}  // namespace wb
