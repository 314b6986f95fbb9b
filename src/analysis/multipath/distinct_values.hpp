// DistinctValues: dense numbers for the distinct values of an index column.
//
// While a column is written, each value gets the next number when first
// seen; `finish` then sorts the distinct values by their key and renumbers
// the column to match, so that number i names the i-th value in key order.
// Runs of one value (the usual case: results come grouped) cost one
// comparison of values.
#pragma once

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <span>
#include <unordered_map>
#include <vector>

namespace skyloam {

template <class Value, std::uint64_t (*Key)(const Value&)>
class DistinctValues {
 public:
  std::int32_t number_of(const Value& value) {
    if (!values_.empty() && value == last_value_) return last_number_;
    const auto [entry, added] =
        numbers_.try_emplace(Key(value), static_cast<std::int32_t>(values_.size()));
    if (added) values_.push_back(value);
    last_value_ = value;
    last_number_ = entry->second;
    return last_number_;
  }

  // The distinct values in key order; `column` (numbers from number_of)
  // renumbered to index them.
  std::vector<Value> finish(std::span<std::int32_t> column) const {
    std::vector<std::int32_t> order(values_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::int32_t a, std::int32_t b) { return Key(values_[a]) < Key(values_[b]); });
    std::vector<Value> sorted;
    std::vector<std::int32_t> renumber(values_.size());
    sorted.reserve(values_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
      sorted.push_back(values_[order[i]]);
      renumber[order[i]] = static_cast<std::int32_t>(i);
    }
    if (!std::is_sorted(order.begin(), order.end())) {
      for (std::int32_t& number : column) number = renumber[number];
    }
    return sorted;
  }

 private:
  std::unordered_map<std::uint64_t, std::int32_t> numbers_;
  std::vector<Value> values_;  // by number
  Value last_value_{};
  std::int32_t last_number_ = 0;
};

}  // namespace skyloam
