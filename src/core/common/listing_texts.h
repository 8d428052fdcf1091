// A listing's texts in one block each, for a grid filled straight from views
// (Grid::set_rows_text) without a string for each row or cell: a library at the limit lists
// 32 767 rows.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>


namespace wb {

// The texts "1", "2", … "n" of numbered rows.
class RowNumbers {
 public:
  explicit RowNumbers(std::size_t n) {
    text_.resize(n * 6);  // up to five digits each at the record limit; grown past it
    ends_.reserve(n);
    std::size_t at = 0;
    for (std::size_t i = 1; i <= n; ++i) {
      char digits[24];
      const auto r = std::to_chars(digits, digits + sizeof digits, i);
      const auto len = static_cast<std::size_t>(r.ptr - digits);
      if (at + len > text_.size()) text_.resize(std::max(text_.size() * 2, at + len));
      text_.replace(at, len, digits, len);
      at += len;
      ends_.push_back(at);
    }
    text_.resize(at);
  }
  // The text of row number i (1-based, 1 ≤ i ≤ n).
  std::string_view operator()(std::size_t i) const {
    const std::size_t begin = i > 1 ? ends_[i - 2] : 0;
    return std::string_view(text_).substr(begin, ends_[i - 1] - begin);
  }

 private:
  std::string text_;
  std::vector<std::size_t> ends_;
};

// Rows of `cols` texts each, added cell by cell in row order: the texts back to back in one
// block and where each ends.
class ListingTexts {
 public:
  explicit ListingTexts(std::size_t cols = 1) : cols_(cols) {}
  void reserve(std::size_t rows, std::size_t bytes) {
    ends_.reserve(rows * cols_);
    text_.reserve(bytes);
  }
  void clear() {
    text_.clear();
    ends_.clear();
  }
  void add(std::string_view cell) {
    text_.insert(text_.end(), cell.begin(), cell.end());
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
  }
  std::size_t cols() const { return cols_; }
  std::size_t rows() const { return ends_.size() / cols_; }
  // Row r's (0-based) text in column c (0-based, below cols).
  std::string_view cell(std::size_t r, std::size_t c) const {
    const std::size_t k = r * cols_ + c;
    const std::size_t begin = k > 0 ? ends_[k - 1] : 0;
    return std::string_view(text_.data() + begin, ends_[k] - begin);
  }

 private:
  std::size_t cols_;
  std::vector<char> text_;
  std::vector<std::uint32_t> ends_;
};

// A keyed library as a list shows it: each record's well and test texts (0-based record),
// made from kept keys (`source`, core/common/record_keys.h) and true while they are the
// library's.
struct KeyListing {
  std::size_t size() const { return texts.rows(); }
  std::string_view well_name(std::size_t i) const { return texts.cell(i, 0); }
  std::string_view test_date(std::size_t i) const { return texts.cell(i, 1); }
  ListingTexts texts{2};
  std::shared_ptr<const void> source;  // the keys it was made from
};

}  // namespace wb
