// The records of a write whose values are all the same, such as a row of an
// array given one value for all cells: rendered once, then written for
// every row without rendering a field again.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "format/descriptor_list.h"
#include "format/record_render.h"

namespace format {

class UniformRow {
 public:
  // `count` values, all `value` (std::int32_t or float), through `list`.
  template <typename Value>
  UniformRow(const DescriptorList& list, Value value, std::size_t count) {
    const std::size_t per_record = list.size();
    if (count == 0) {  // a write without values is one empty record
      has_last_ = true;
      return;
    }
    full_count_ = count / per_record;
    const std::size_t rest = count % per_record;
    has_last_ = rest > 0;
    const std::vector<Value> values(full_count_ > 0 ? per_record : rest, value);
    full_.resize(list.columns_of_first(values.size()));
    put_record(full_.data(), list, std::span<const Value>(values));
    // A short last record holds the first fields of a full one.
    if (has_last_) last_ = full_.substr(0, list.columns_of_first(rest));
    if (full_count_ == 0) full_.clear();
  }

  // Calls `each(std::string_view)` for every record, without line end.
  template <typename Each>
  void for_each_record(Each&& each) const {
    for (std::size_t i = 0; i < full_count_; ++i) each(std::string_view(full_));
    if (has_last_) each(std::string_view(last_));
  }

 private:
  std::string full_;
  std::size_t full_count_ = 0;
  std::string last_;
  bool has_last_ = false;
};

}  // namespace format
