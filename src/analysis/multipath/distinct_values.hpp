// DistinctValues: dense numbers for the distinct values of an index column.
//
// While a column is written, each value gets the next number when first
// seen; `finish` then sorts the distinct values by their key and renumbers
// the column to match, so that number i names the i-th value in key order.
// Runs of one value (the usual case: results come grouped) cost one
// comparison of values. A column written in chunks, each with its own
// numbers, is renumbered by `finish_chunks`.
#pragma once

#include <algorithm>
#include <cstdint>
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
    std::vector<Value> sorted = sorted_values({this, 1});
    renumber(sorted, column);
    return sorted;
  }

  // The distinct values of all `chunks` together, in key order.
  static std::vector<Value> sorted_values(std::span<const DistinctValues> chunks) {
    std::vector<Value> sorted;
    for (const DistinctValues& chunk : chunks) {
      sorted.insert(sorted.end(), chunk.values_.begin(), chunk.values_.end());
    }
    std::sort(sorted.begin(), sorted.end(), [](const Value& a, const Value& b) { return Key(a) < Key(b); });
    sorted.erase(std::unique(sorted.begin(), sorted.end(),
                             [](const Value& a, const Value& b) { return Key(a) == Key(b); }),
                 sorted.end());
    return sorted;
  }

  // Renumbers this chunk's part of a column to index `sorted`, which holds
  // every value the chunk saw.
  void renumber(const std::vector<Value>& sorted, std::span<std::int32_t> chunk_column) const {
    std::vector<std::int32_t> to_sorted(values_.size());
    bool unchanged = true;
    for (std::size_t number = 0; number < values_.size(); ++number) {
      const auto at = std::lower_bound(sorted.begin(), sorted.end(), values_[number],
                                       [](const Value& a, const Value& b) { return Key(a) < Key(b); });
      to_sorted[number] = static_cast<std::int32_t>(at - sorted.begin());
      unchanged = unchanged && to_sorted[number] == static_cast<std::int32_t>(number);
    }
    if (unchanged) return;
    for (std::int32_t& number : chunk_column) number = to_sorted[number];
  }

 private:
  std::unordered_map<std::uint64_t, std::int32_t> numbers_;
  std::vector<Value> values_;  // by number
  Value last_value_{};
  std::int32_t last_number_ = 0;
};

}  // namespace skyloam
