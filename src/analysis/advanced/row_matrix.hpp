// RowMatrix: a dense rows x columns table of doubles in one allocation, read
// row by row (one row per scale or per band, one column per sample).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace skyloam {

class RowMatrix {
 public:
  RowMatrix() = default;
  RowMatrix(std::size_t rows, std::size_t columns)
      : rows_(rows), columns_(columns), values_(rows * columns, 0.0) {}

  std::size_t rows() const { return rows_; }
  std::size_t columns() const { return columns_; }

  std::span<double> row(std::size_t r) { return {values_.data() + r * columns_, columns_}; }
  std::span<const double> row(std::size_t r) const {
    return {values_.data() + r * columns_, columns_};
  }

  // All rows back to back, row 0 first.
  std::span<const double> values() const { return values_; }

 private:
  std::size_t rows_ = 0;
  std::size_t columns_ = 0;
  std::vector<double> values_;
};

}  // namespace skyloam
